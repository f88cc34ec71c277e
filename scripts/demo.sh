#!/usr/bin/env bash
# Synthesizes a demo capture from the built-in scenario and shows it: the
# settings stored in the file, its first sample atoms and the first decoded
# transactions.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release -j "${JOBS:-2}" --target orvane-cli
cli=build/release/tools/orvane-cli/orvane-cli
out=build/demo
mkdir -p "$out"

"$cli" synth sim/scenarios/i2c_demo.scn -o "$out/demo.SIC" --truth "$out/demo.truth"
echo "== orvane-cli info $out/demo.SIC"
"$cli" info "$out/demo.SIC"
echo "== orvane-cli atoms $out/demo.SIC --count 40"
"$cli" atoms "$out/demo.SIC" --count 40
echo "== orvane-cli decode $out/demo.SIC --csv $out/demo.csv   (the first transactions)"
"$cli" decode "$out/demo.SIC" --csv "$out/demo.csv"
head -n 10 "$out/demo.csv"
echo "== the same transactions as the scenario made them ($out/demo.truth)"
head -n 10 "$out/demo.truth"
