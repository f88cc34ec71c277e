#!/usr/bin/env bash
# The main job on the built-in demo: the driver daemon with the simulated
# analyzer in a private runtime folder, a live capture of a few seconds with
# orvane-cli capture (saved, reopened, decoded), and the first transactions;
# then the synthesized demo capture decoded offline beside the transactions
# the scenario made. Exits non-zero when either decode shows no I2C
# transaction of the demo scenario.
#
# VELIX_DEMO_PRESET picks the CMake preset to build and run (default:
# release); the test script runs the demo from its own debug build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

preset=${VELIX_DEMO_PRESET:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "${JOBS:-2}" --target orvane-cli velixd velixctl
build=build/$preset
cli=$build/tools/orvane-cli/orvane-cli
velixd=$build/driver/daemon/velixd
velixctl=$build/tools/velixctl/velixctl
out=$build/demo
mkdir -p "$out"

. scripts/private-velixd.sh

# The decoded rows of a CSV report that come from the demo scenario: its
# transfers to the device at 0x50.
demo_rows() { grep -c '" 50H"' "$1" || true; }

echo "== velixd --simulate sim/scenarios/i2c_demo.scn (in a private runtime folder)"
start_private_velixd "$velixd" --trace-level 0 --simulate sim/scenarios/i2c_demo.scn --size 67108864 --rate 4000000
"$velixctl" list
echo "== orvane-cli capture --bus i2c0 -o $out/capture.SIC --size 32 --duration 3 --csv $out/capture.csv"
"$cli" capture --bus i2c0 -o "$out/capture.SIC" --size 32 --duration 3 --csv "$out/capture.csv" --yes
"$cli" info "$out/capture.SIC" | head -n 12
echo "== the first captured transactions"
head -n 10 "$out/capture.csv"

"$cli" synth sim/scenarios/i2c_demo.scn -o "$out/demo.SIC" --truth "$out/demo.truth"
echo "== orvane-cli decode $out/demo.SIC --csv $out/demo.csv   (the first transactions)"
"$cli" decode "$out/demo.SIC" --csv "$out/demo.csv"
head -n 10 "$out/demo.csv"
echo "== the same transactions as the scenario made them ($out/demo.truth)"
head -n 10 "$out/demo.truth"

live=$(demo_rows "$out/capture.csv")
offline=$(demo_rows "$out/demo.csv")
echo "== I2C transactions to 50H: $live in the live capture, $offline in the synthesized file"
if [ "$live" -eq 0 ] || [ "$offline" -eq 0 ]; then
  echo "demo: no I2C transaction of the demo scenario was decoded" >&2
  exit 1
fi
