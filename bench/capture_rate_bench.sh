#!/usr/bin/env bash
# The highest device byte rate at which a 256 MB oneshot bus analyzer capture
# with live I2C decoding completes without an overrun (16 MB driver buffer,
# 131,072-byte transfers: the defaults), through the real daemon and the
# real capture command. Prints, per rate, the outcome and the CPU time the
# capture spent while live (the process's CPU time minus that of decoding the
# saved file offline, which the capture command does after the live run).
# usage: bench/capture_rate_bench.sh [BUILD_DIR] [RATES_MB_PER_S...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
shift || true
rates=("${@:-60 90 120 150 200 250}")
read -r -a rates <<< "${rates[*]}"
cli=$build/tools/orvane-cli/orvane-cli
velixd=$build/driver/daemon/velixd
velixctl=$build/tools/velixctl/velixctl
work=$(mktemp -d)
export VELIX_RUNTIME_DIR=$work/run
daemon=
cleanup() {
  [ -n "$daemon" ] && kill "$daemon" 2>/dev/null && wait "$daemon" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$velixd" --trace-level 0 --simulate sim/scenarios/i2c_demo.scn --size $((300 << 20)) 2>/dev/null &
daemon=$!
for _ in $(seq 1200); do [ -S "$VELIX_RUNTIME_DIR/VELIX0" ] && break; sleep 0.05; done

cpu_seconds() {  # cpu_seconds COMMAND... : user+system seconds of the command; its status in $work/rc
  set +e
  /usr/bin/time -f "%U %S" -o "$work/time" "$@" > /dev/null 2> "$work/err"
  echo $? > "$work/rc"
  set -e
  tail -n 1 "$work/time" | awk '{ print $1 + $2 }'
}

best=0
for rate in "${rates[@]}"; do
  "$velixctl" sim rate $((rate * 1000000)) > /dev/null
  start=$(date +%s.%N)
  total=$(cpu_seconds "$cli" capture -o "$work/c.SIC" --size 256 --driver-buffer 16 \
            --set m_AnalyzeBusChannel=1 --set SamplePeriodCode=2 --yes)
  end=$(date +%s.%N)
  if [ "$(cat "$work/rc")" != 0 ]; then
    echo "device at ${rate} MB/s: $(tr '\n' ' ' < "$work/err")"
    break
  fi
  offline=$(cpu_seconds "$cli" decode "$work/c.SIC")
  live=$(awk -v t="$total" -v o="$offline" 'BEGIN { print t - o }')
  seconds=$(awk -v r="$rate" 'BEGIN { print 268435456 / (r * 1000000) }')
  printf 'device at %4d MB/s: complete, %d bytes saved; live capture CPU %.1f s over %.1f s of streaming (%.0f%% of one core)\n' \
    "$rate" "$(($(stat -c %s "$work/c.SIC") - 1024))" "$live" "$seconds" \
    "$(awk -v l="$live" -v s="$seconds" 'BEGIN { print 100 * l / s }')"
  best=$rate
done
echo "highest rate completed without overrun: ${best} MB/s"
