#!/usr/bin/env bash
# Opening and saving the generated lexicon as a database document, beside `cp` of the
# same file (and `cp` followed by a flush of the copy, as a save flushes) in the same
# run; then `crv -p` on a project listing it (check opens the project and the database,
# resave opens and saves it) and the peak memory of each.
#   bench/docs/run.sh [RECORDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
records="${1:-200000}"
runs="${2:-3}"
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
data=build/bench-data
project=$(bash bench/support/lexicon_project.sh doc "$records")
settings="$data/doc-settings"
file="$data/doc-lexicon-$records.db"
cat "$file" >/dev/null
size=$(stat -c %s "$file")

best_ms() { bash bench/support/best_ms.sh "$runs" "$@"; }

echo "file: $records records, $(awk -v s="$size" 'BEGIN { printf "%.1f MB", s / 1048576 }')"
echo "cp:                                 $(best_ms cp "$file" "$data/doc-copy.db") ms (best of $runs)"
echo "cp, then flush the copy:            $(best_ms sh -c "cp '$file' '$data/doc-copy.db' && sync '$data/doc-copy.db'") ms (best of $runs)"
./build/bench/docs/doc_bench "$settings" "$file" "$runs"
crv=./build/src/cli/crv
echo "crv -p check (open):                $(best_ms $crv -q -p "$project" check) ms (whole process, best of $runs)"
echo "crv -p resave (open, save):         $(best_ms $crv -q -p "$project" resave "$file") ms (whole process, best of $runs)"
for cmd in check resave; do
    args=("$cmd")
    [ "$cmd" = resave ] && args+=("$file")
    /usr/bin/time -f "%M" -o "$data/peak.txt" $crv -q -p "$project" "${args[@]}" >/dev/null
    awk -v c="$cmd" -v size="$size" \
        '{ printf "peak resident memory, crv %-7s %8.1f MB (%.1f times the file)\n", c, $1 / 1024, $1 * 1024 / size }' \
        "$data/peak.txt"
done
/usr/bin/time -f "%M" -o "$data/peak.txt" cp "$file" "$data/doc-copy.db"
awk '{ printf "peak resident memory, cp          %8.1f MB\n", $1 / 1024 }' "$data/peak.txt"
rm -f "$data/doc-copy.db"
