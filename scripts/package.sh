#!/usr/bin/env bash
# Builds the Debian packages: a release build installed under /usr, packed by
# cpack into build/packages/ (velix-daemon, velix-tools, libvelixfw,
# libvelixfw-dev, orvane), then checked with lintian. Exits non-zero when a
# package has a lintian error; warnings are shown.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/package
out=build/packages
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVELIX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}"
rm -rf "$out"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$PWD/../packages")
rm -rf "$out/_CPack_Packages"
ls -1 "$out"/*.deb

status=0
for deb in "$out"/*.deb; do
  echo "== lintian $(basename "$deb")"
  lintian --fail-on error --tag-display-limit 0 "$deb" || status=1
done
exit $status
