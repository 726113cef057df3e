#!/usr/bin/env bash
# Export figures, each beside its baseline in the same run, with crv on the sample
# project's settings (the Lexicon type and its export processes, the dictionary
# formatter's tables, type and templates):
#   - standard format export of the generated lexicon in window order, beside
#     `crv sf cat` of the same file (read and written back);
#   - RTF export of the same, beside that standard format export;
#   - the dictionary formatter (all three passes) on a generated lexicon of 20,000
#     entries, beside its standard format export.
# Each figure is the whole crv process (reading the database included), best of RUNS:
# wall time, and processor time (user + system), which a busy machine disturbs less.
#   bench/export/run.sh [RECORDS] [RUNS] [DICTIONARY_RECORDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
records="${1:-200000}"
runs="${2:-3}"
dict_records="${3:-20000}"
[ -f build/build.ninja ] || CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
cmake --build build --target crv sf_lexicon_gen >/dev/null 2>&1
data=build/bench-data
file=$(bash bench/support/lexicon_file.sh "$records")
dict_file=$(bash bench/support/lexicon_file.sh "$dict_records")
settings="$data/export-settings"
rm -rf "$settings"
mkdir -p "$settings"
cp examples/sample/*.typ examples/sample/*.lng examples/sample/*.ztt examples/sample/*.dot "$settings/"
crv=./build/src/cli/crv
cat "$file" "$dict_file" >/dev/null

# Sets wall and cpu to the best of RUNS runs of a command, in ms.
measure() { read -r wall cpu < <(bash bench/support/best_times.sh "$runs" "$@"); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
row() { printf '%-36s %6d ms wall %6d ms processor%s\n' "$1" "$2" "$3" "$4"; }

size=$(stat -c %s "$file")
echo "file: $records records, $(awk -v s="$size" 'BEGIN { printf "%.1f MB", s / 1048576 }') (best of $runs)"
measure $crv -q -s "$settings" sf cat "$file" -o "$data/export-cat.db"
cat_wall=$wall cat_cpu=$cpu
row "crv sf cat (baseline)" "$cat_wall" "$cat_cpu" ""
measure $crv -q -s "$settings" export "$file" --process "Standard Format" -o "$data/export.db" \
    --window-order
sf_wall=$wall sf_cpu=$cpu
row "standard format export, window" "$sf_wall" "$sf_cpu" \
    "  $(ratio "$sf_wall" "$cat_wall") / $(ratio "$sf_cpu" "$cat_cpu") x sf cat (goal 1.5)"
measure $crv -q -s "$settings" export "$file" --process "Rich Text Format" -o "$data/export.rtf" \
    --window-order
row "RTF export, window" "$wall" "$cpu" \
    "  $(ratio "$wall" "$sf_wall") / $(ratio "$cpu" "$sf_cpu") x the SF export (goal 3)"

echo "file: $dict_records records"
measure $crv -q -s "$settings" export "$dict_file" --process "Standard Format" \
    -o "$data/export-dict.db"
row "standard format export (baseline)" "$wall" "$cpu" ""
measure $crv -q -s "$settings" export "$dict_file" --process "Polylex Formatter" \
    -o "$data/export-dict.rtf"
row "dictionary formatter, three passes" "$wall" "$cpu" "  (goal 2000 ms)"
for f in export-cat.db export.db export.rtf export-dict.db export-dict.rtf; do
    printf '  %-16s %8.1f MB\n' "$f" "$(awk -v s="$(stat -c %s "$data/$f")" 'BEGIN { print s / 1048576 }')"
done
rm -f "$data"/export-cat.db "$data"/export.db "$data"/export.rtf "$data"/export-dict.*
