#!/usr/bin/env bash
# Takes the documentation's pictures of the windows: the main window in
# both layouts, the "Timing" tab of an I2C and an SPI transaction, the
# transaction filter, trigger and I2C settings dialogs (under Xvfb, grabbed
# from the X screen) and the mode change dialog. Writes docs/images/*.png.
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
  dlg-trigger=docs/images/dlg-trigger.png dlg-i2c-setting=docs/images/dlg-i2c-setting.png \
  dlg-filter=docs/images/dlg-filter.png save-index-range=docs/images/orvane-save-index-range.png \
  hakei-mode=docs/images/orvane-hakei-mode.png
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1100x720x24" \
  "build/$preset/Orvane/ui/tests/orvane_screenshot" --timing sim/scenarios/i2c_timing_errors.scn 0 \
  docs/images/orvane-timing-i2c.png --error-timing
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1100x720x24" \
  "build/$preset/Orvane/ui/tests/orvane_screenshot" --timing sim/scenarios/spi_demo.scn 0 \
  docs/images/orvane-timing-spi.png
# The data tabs: the SPI read ID on both lines, the I2C read's packet.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1100x720x24" \
  "build/$preset/Orvane/ui/tests/orvane_screenshot" --tab "DATA MISO+MOSI" sim/scenarios/spi_demo.scn 0 \
  docs/images/orvane-dump-spi.png
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1100x720x24" \
  "build/$preset/Orvane/ui/tests/orvane_screenshot" --tab "Packet" sim/scenarios/i2c_demo.scn 2 \
  docs/images/orvane-packet-i2c.png
echo "wrote docs/images/orvane-single.png docs/images/orvane-split.png docs/images/dlg-trigger.png" \
  "docs/images/dlg-i2c-setting.png docs/images/dlg-filter.png docs/images/orvane-timing-i2c.png" \
  "docs/images/orvane-timing-spi.png"
echo "wrote docs/images/orvane-dump-spi.png docs/images/orvane-packet-i2c.png" \
  "docs/images/orvane-save-index-range.png docs/images/orvane-hakei-mode.png"
