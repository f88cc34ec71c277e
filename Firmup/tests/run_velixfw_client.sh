#!/usr/bin/env bash
# Runs tools/velixfw_client.py against a velixd of its own (simulated device
# in firmware update mode) and checks what it prints.
# Usage: run_velixfw_client.sh VELIXD LIBRARY CLIENT PYTHON [SANITIZERS]
# Exit status 77: skipped.
set -euo pipefail
velixd=$1 library=$2 client=$3 python=$4 sanitizers=${5:-}

# An AddressSanitizer library needs its runtimes loaded before anything else
# in the interpreter; the interpreter's own allocations at exit are not ours
# to report. ThreadSanitizer cannot be brought into an uninstrumented
# process this way.
client_env=()
case "$sanitizers" in
  "") ;;
  address)
    preload=$(ldd "$library" | awk '/lib(asan|ubsan)\.so/ {print $3}' | tr '\n' ' ')
    client_env=(LD_PRELOAD="$preload" ASAN_OPTIONS=detect_leaks=0)
    ;;
  *)
    echo "skipped: a library built with -fsanitize=$sanitizers cannot be loaded into an uninstrumented interpreter"
    exit 77
    ;;
esac

folder=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$folder"
}
trap cleanup EXIT

printf 'bus i2c0\nstart\naddr 0x50 w\nstop\n' >"$folder/scenario.scn"
"$velixd" --runtime-dir "$folder" --trace-level 0 --simulate "$folder/scenario.scn" --personality update \
  2>"$folder/velixd.log" &
pid=$!

for _ in $(seq 1 200); do
  [ -S "$folder/VELIX0" ] && break
  sleep 0.05
done
if [ ! -S "$folder/VELIX0" ]; then
  echo "velixd did not publish VELIX0"
  cat "$folder/velixd.log"
  exit 1
fi

expected=$'mode=0x030b\neeprom=1.00\nflash=1.00\ncpld=1.00'
actual=$(env "${client_env[@]}" VELIX_RUNTIME_DIR="$folder" "$python" "$client" "$library")
if [ "$actual" != "$expected" ]; then
  printf 'expected:\n%s\nactual:\n%s\n' "$expected" "$actual"
  exit 1
fi
echo "$actual"
