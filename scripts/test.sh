#!/usr/bin/env bash
# Builds everything and runs every test: the warnings-as-errors debug build,
# the AddressSanitizer + UBSan build, the ThreadSanitizer build, and each
# fuzz target for a short time on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=${JOBS:-2}
# A test that fails is run once more, so that one timing accident on a
# loaded machine does not hide every other result; the first failure stays
# in the log, and a test that fails twice fails the run.
retry=(--repeat until-pass:2)
fuzz_seconds=${FUZZ_SECONDS:-30}
# Compiled objects are shared between clones of the repository in ccache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

echo "== debug build, warnings as errors"
cmake --preset ci >/dev/null
cmake --build --preset ci -j "$jobs"
ctest --preset ci -j "$jobs" "${retry[@]}"

echo "== AddressSanitizer + UBSan"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --preset asan -j "$jobs" "${retry[@]}"

echo "== ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
TSAN_OPTIONS=halt_on_error=1 ctest --preset tsan -j "$jobs" "${retry[@]}"

echo "== fuzz targets, ${fuzz_seconds}s each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" --target fuzzers
for target in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$work/"
  "$target" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$work" 2>&1 | tail -n 3
  rm -rf "$work"
done
echo "== the demo on a fresh home folder (no settings file, no caches)"
fresh_home=$(mktemp -d)
HOME="$fresh_home" XDG_CONFIG_HOME="$fresh_home/.config" XDG_CACHE_HOME="$fresh_home/.cache" \
  CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}" VELIX_DEMO_PRESET=ci JOBS="$jobs" scripts/demo.sh
rm -rf "$fresh_home"

echo "all tests passed"
