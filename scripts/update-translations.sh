#!/usr/bin/env bash
# Brings the Japanese texts of the Orvane application up to date with the
# sources: every text marked for translation under Orvane/ui and Orvane/app
# (recursively) lands in Orvane/translations/Orvane_ja.ts. Texts already
# translated keep their translation, new ones arrive unfinished, texts no
# longer in the sources are dropped. Run it after changing or adding texts,
# then translate the new entries (Qt Linguist, or by hand in the .ts) and
# mark them finished; the build compiles the .ts into the program.
set -euo pipefail
cd "$(dirname "$0")/.."

lupdate=$(command -v lupdate || true)
if [[ -z "$lupdate" || "$("$lupdate" -version 2>&1)" != *" 6."* ]]; then
  lupdate=/usr/lib/qt6/bin/lupdate
fi

sources=()
for dir in Orvane/ui Orvane/app; do
  [[ -d "$dir" ]] && sources+=("$dir")
done

mkdir -p Orvane/translations
# With the repository root as include path lupdate reads the class behind
# each tr(), so the context carries its namespace as tr() does at run time.
"$lupdate" -silent -I . -locations none -no-obsolete -target-language ja_JP \
  "${sources[@]}" -ts Orvane/translations/Orvane_ja.ts
