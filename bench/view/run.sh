#!/usr/bin/env bash
# Record view figures, each beside a baseline measured in the same run:
#   typing one character at a time into a 5,000-character paragraph, with automatic
#     wrapping, beside the same typing without it;
#   Reshape of the generated lexicon (crv reshape, the whole process) beside `fmt -w` over
#     the same file at the same width in characters;
#   crv text replace of a common word beside `sed -i` of the same replacement.
#   bench/view/run.sh [RECORDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
records="${1:-200000}"
runs="${2:-3}"
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
data=build/bench-data
source_file=$(bash bench/support/lexicon_file.sh "$records")
settings="$data/view-settings"
bash bench/support/lexicon_type.sh "$settings"
file="$data/view-lexicon.db"
crv=./build/src/cli/crv
best() {
    local w c
    read -r w c < <(bash bench/support/best_times.sh "$runs" "$@")
    echo "$w ms (processor $c ms)"
}

./build/bench/view/view_bench typing "$settings" "$data"

# The margin of the generated lexicon is 400 pixels; crv measures 9.5 pixels a character
# in the default font, so a line holds 42 characters.
cat "$source_file" > /dev/null
echo "file: $records records, $(awk -v s="$(stat -c %s "$source_file")" 'BEGIN { printf "%.1f MB", s / 1048576 }')"
echo "cp of the file (in both commands below):   $(best cp "$source_file" "$file")"
echo "cp, fmt -w 42 (baseline):                  $(best sh -c "cp '$source_file' '$file' && fmt -w 42 '$file' > '$data/fmt.out'") (best of $runs)"
echo "cp, crv reshape (open, reshape, save):     $(best sh -c "cp '$source_file' '$file' && $crv -q --yes -s '$settings' reshape '$file' 2>/dev/null") (best of $runs)"
cp "$source_file" "$file"
./build/bench/view/view_bench reshape "$settings" "$file"

echo "cp, sed -i 's/\\bhouse\\b/home/g' (baseline): $(best sh -c "cp '$source_file' '$file' && sed -i 's/\\bhouse\\b/home/g' '$file'") (best of $runs)"
echo "cp, crv text replace house home:           $(best sh -c "cp '$source_file' '$file' && $crv -q -s '$settings' text replace '$file' house home --whole-word --level e 2>/dev/null") (best of $runs)"
echo "cp, crv open (read and index, which every command pays): $(best sh -c "cp '$source_file' '$file' && $crv -q -s '$settings' open '$file'") (best of $runs)"
./build/bench/view/view_bench replace "$settings" "$source_file" "$runs"
echo "occurrences of the word in the file: $(grep -o '\bhouse\b' "$source_file" | wc -l)"
cp "$source_file" "$file"
$crv -s "$settings" text replace "$file" house home --whole-word --level e 2>&1 >/dev/null | head -1
rm -f "$file" "${file%.db}.bak" "$data/fmt.out"
