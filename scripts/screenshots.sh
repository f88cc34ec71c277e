#!/usr/bin/env bash
# Takes the documentation's pictures of the windows: the main window in
# both layouts (under Xvfb, grabbed from the X screen) and the mode change
# dialog. Writes docs/images/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if ! command -v xvfb-run >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq xvfb xauth
fi
preset=${VELIX_DEMO_PRESET:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "${JOBS:-2}" --target orvane_screenshot
mkdir -p docs/images
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1100x720x24" \
  "build/$preset/Orvane/ui/tests/orvane_screenshot" sim/scenarios/i2c_demo.scn \
  docs/images/orvane-single.png docs/images/orvane-split.png \
  save-index-range=docs/images/orvane-save-index-range.png \
  hakei-mode=docs/images/orvane-hakei-mode.png
echo "wrote docs/images/orvane-single.png docs/images/orvane-split.png and the dialogs' pictures"
