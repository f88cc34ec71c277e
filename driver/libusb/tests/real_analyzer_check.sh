#!/bin/sh
# A short check of velixd against a real analyzer on the USB bus, in a
# private runtime folder; the daemon is always stopped, also when a check
# fails. Exits 77 (skipped) when no analyzer is attached.
# usage: real_analyzer_check.sh VELIXD VELIXCTL
set -eu
velixd=$1
velixctl=$2

# The four identities of the analyzer, as sysfs spells them.
attached=
for device in /sys/bus/usb/devices/*; do
  [ -r "$device/idVendor" ] && [ -r "$device/idProduct" ] || continue
  case "$(cat "$device/idVendor"):$(cat "$device/idProduct")" in
    1d9a:030a|1d9a:030b|04b4:8613|1d9a:0221) attached=$(cat "$device/idVendor"):$(cat "$device/idProduct") ;;
  esac
done
if [ -z "$attached" ]; then
  echo "no analyzer attached: skipped"
  exit 77
fi

folder=$(mktemp -d)
daemon=
log="$folder/velixd.log"
cleanup() {
  [ -n "$daemon" ] && kill "$daemon" 2>/dev/null && wait "$daemon" 2>/dev/null
  [ -f "$log" ] && sed 's/^/  velixd: /' "$log" >&2
  rm -rf "$folder"
}
trap cleanup EXIT INT TERM
export VELIX_RUNTIME_DIR="$folder"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$velixd" --trace-level 1 2>"$log" &
daemon=$!
for _ in $(seq 200); do [ -S "$folder/VELIX0" ] && break; sleep 0.05; done
[ -S "$folder/VELIX0" ] || fail "velixd did not publish VELIX0 for the analyzer $attached (see its messages below)"

out=$("$velixctl" list) || fail "velixctl list: $out"
printf '%s\n' "$out" | grep -q '^interface=.*usb#vid_' || fail "no device interface listed: $out"
out=$("$velixctl" ioctl GET_DRIVER_VERSION --out 2) || fail "GET_DRIVER_VERSION: $out"

# Stopping must not wait on the device.
kill "$daemon"
for _ in $(seq 100); do kill -0 "$daemon" 2>/dev/null || break; sleep 0.05; done
kill -0 "$daemon" 2>/dev/null && fail "velixd did not stop within 5 s of SIGTERM"
wait "$daemon" || fail "velixd stopped with status $?"
daemon=
echo "velixd on the analyzer $attached: all checks passed"
