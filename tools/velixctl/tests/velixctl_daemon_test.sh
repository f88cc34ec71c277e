#!/bin/sh
# velixctl against a real velixd with the simulated device, in a private
# runtime folder; the daemon is always stopped, also when a check fails.
# usage: velixctl_daemon_test.sh VELIXD VELIXCTL SCENARIO
set -eu
velixd=$1
velixctl=$2
scenario=$3
folder=$(mktemp -d)
daemon=
cleanup() {
  [ -n "$daemon" ] && kill "$daemon" 2>/dev/null && wait "$daemon" 2>/dev/null
  rm -rf "$folder"
}
trap cleanup EXIT INT TERM
export VELIX_RUNTIME_DIR="$folder"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect() {  # expect OUTPUT KEY=VALUE
  printf '%s\n' "$1" | grep -qx "$2" || fail "expected $2 in:
$1"
}

# The command-line conventions, and a first run without a daemon.
"$velixctl" --help | grep -q '^usage: velixctl' || fail "velixctl --help"
"$velixctl" list -h | grep -q '^usage: velixctl' || fail "velixctl list -h"
"$velixctl" --version | grep -q '^velixctl [0-9]' || fail "velixctl --version"
"$velixd" --version | grep -q '^velixd [0-9]' || fail "velixd --version"
# A report that cannot be written is a failure, with the reason.
status=0
err=$("$velixctl" --help 2>&1 >/dev/full) || status=$?
[ "$status" = 3 ] || fail "--help into a full device exited with $status"
printf '%s\n' "$err" | grep -q 'cannot write standard output: No space left on device' || fail "--help into a full device said: $err"
err=$("$velixd" --frobnicate 2>&1) && fail "velixd took an unknown option"
printf '%s\n' "$err" | grep -q 'unknown option: --frobnicate' || fail "velixd --frobnicate said: $err"
status=0
err=$("$velixctl" list 2>&1 >/dev/null) || status=$?
[ "$status" = 2 ] || fail "list without a daemon exited with $status"
printf '%s\n' "$err" | grep -qF "runtime folder $folder " || fail "list without a daemon does not name $folder: $err"
printf '%s\n' "$err" | grep -q 'start it with `velixd`' || fail "list without a daemon does not say how to start it: $err"

"$velixd" --trace-level 0 --simulate "$scenario" --size 1048576 --rate 20000000 --end-of-data 2>/dev/null &
daemon=$!
for _ in $(seq 200); do [ -S "$folder/VELIX0" ] && break; sleep 0.05; done
[ -S "$folder/VELIX0" ] || fail "velixd did not publish VELIX0"

out=$("$velixctl" list)
expect "$out" 'device=\\\\.\\VELIX0'
expect "$out" 'interface=\\\\?\\usb#vid_1d9a&pid_030a#velix0#{a5dcbf10-6530-11d2-901f-00c04fb951ed}'

out=$("$velixctl" ioctl GET_DRIVER_VERSION --out 2)
expect "$out" 'ok=1'
expect "$out" 'out=0201'
status=0
"$velixctl" ioctl GET_DRIVER_VERSION --out 2 >/dev/full 2>/dev/null || status=$?
[ "$status" = 3 ] || fail "a request reported into a full device exited with $status"

out=$("$velixctl" ioctl 0x220048) && fail "an unknown code succeeded"
expect "$out" 'ok=0'
expect "$out" 'driverstatus=27'

out=$("$velixctl" stream --bytes 1048576 --start c4010000000000000000 --timeout 10000)
expect "$out" 'bytes=1048576'
sent=$("$velixctl" sim sent)
expect "$sent" "$(printf '%s\n' "$out" | grep '^checksum=')"

out=$("$velixctl" sim plug update)
expect "$out" 'ok=1'
for _ in $(seq 100); do "$velixctl" list | grep -q 'pid_030b' && break; sleep 0.05; done
"$velixctl" list | grep -q 'interface=.*pid_030b' || fail "the update-mode interface did not appear"

out=$("$velixctl" sim explode) && fail "an unknown sim command succeeded"
expect "$out" 'ok=0'
echo "velixctl against velixd: all checks passed"
