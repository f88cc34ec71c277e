# Sourced by the demo scripts: start_private_velixd VELIXD ARGS... starts the
# driver daemon in a fresh private runtime folder (exported as
# VELIX_RUNTIME_DIR, so every client finds it), waits until it publishes
# VELIX0, and stops it and removes the folder when the script exits.

velixd_pid=
stop_private_velixd() {
  [ -n "$velixd_pid" ] && kill "$velixd_pid" 2>/dev/null && wait "$velixd_pid" 2>/dev/null
  rm -rf "$VELIX_RUNTIME_DIR"
}

start_private_velixd() {
  export VELIX_RUNTIME_DIR
  VELIX_RUNTIME_DIR=$(mktemp -d)
  trap stop_private_velixd EXIT
  "$@" &
  velixd_pid=$!
  for _ in $(seq 600); do [ -S "$VELIX_RUNTIME_DIR/VELIX0" ] && return 0; sleep 0.05; done
  echo "velixd did not publish VELIX0 in $VELIX_RUNTIME_DIR" >&2
  return 1
}
