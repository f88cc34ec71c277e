#!/usr/bin/env bash
# The application on the built-in demo: the driver daemon with the simulated
# analyzer (the I2C demo scenario, streaming as a quiet bus after it) in a
# private runtime folder, and Orvane connected to it. With a capture file
# named, Orvane opens it; "Capture Setting (START Sampling)" captures from
# the simulated analyzer. Closing Orvane stops the daemon.
#
#   scripts/demo-gui.sh [FILE.SIC]
#   scripts/demo-gui.sh --synth     (opens a capture synthesized from the demo scenario)
#
# VELIX_DEMO_PRESET picks the CMake preset (default: release).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

preset=${VELIX_DEMO_PRESET:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "${JOBS:-2}" --target Orvane orvane-cli velixd
build=build/$preset
velixd=$build/driver/daemon/velixd

file=${1:-}
if [ "$file" = "--synth" ]; then
  file=$build/demo/demo-gui.SIC
  mkdir -p "$(dirname "$file")"
  "$build/tools/orvane-cli/orvane-cli" synth sim/scenarios/i2c_demo.scn -o "$file"
fi

. scripts/private-velixd.sh
start_private_velixd "$velixd" --trace-level 0 --simulate sim/scenarios/i2c_demo.scn --rate 4000000
echo "velixd is serving the simulated analyzer in $VELIX_RUNTIME_DIR"
"$build/Orvane/app/Orvane" ${file:+"$file"}
