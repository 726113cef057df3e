#!/usr/bin/env bash
# A word list of a generated corpus (100 files, about 20 MB and 3.3 million words) beside
# `tr -cs | sort | uniq -c` over the same text, in the same run; the word list again
# after one file changed; a concordance of the most frequent word with the word index up
# to date; each with crv as a whole process (wall and processor time: on a shared machine
# the processor time varies less) and inside one process; then the peak memory of the
# full build beside the corpus size. Word lists list at most 10 references per word, as
# the dialog does by default; the full build is also timed with every reference.
#   bench/corpus/run.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs="${1:-3}"
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
data=build/bench-data/corpus
if [ ! -f "$data/bench.prj" ]; then
    ./build/bench/corpus/corpus_gen "$data" 100 $((20 * 1024 * 1024)) >&2
fi
# Files written long ago, as a corpus's files are: their times are trusted.
touch -d '1 hour ago' "$data"/*.sfm
cat "$data"/*.sfm >/dev/null
size=$(cat "$data"/*.sfm | wc -c)
words=$(cat "$data"/*.sfm | tr -cs 'A-Za-z' '\n' | grep -vc '^$' || true)
echo "corpus: 100 files, $(awk -v s="$size" 'BEGIN { printf "%.1f MB", s / 1048576 }'), $words letter runs (the pipeline's words)"

# Best wall and processor time of a shell command; $before runs untimed before each run.
best_both() {
    local w c
    read -r w c < <(BEFORE="${before:-}" bash bench/support/best_times.sh "$runs" sh -c "$1")
    printf '%6d ms wall %6d ms cpu' "$w" "$c"
}
crv="$(realpath build/src/cli/crv)"
prj="$(realpath "$data/bench.prj")"
index="$data/Bench.wi"
out="$(realpath "$data")/bench-words.db"
export changed="$data/book050.sfm"

files="'$data'/*.sfm"
echo "tr -cs | sort | uniq -c (LC_ALL=C):        $(best_both "cat $files | LC_ALL=C tr -cs 'A-Za-z' '\n' | LC_ALL=C sort | uniq -c") (best of $runs)"
echo "tr -cs | sort | uniq -c (C.UTF-8):         $(best_both "cat $files | LC_ALL=C.UTF-8 tr -cs 'A-Za-z' '\n' | LC_ALL=C.UTF-8 sort | uniq -c") (best of $runs)"
wordlist="'$crv' -q -p '$prj' wordlist Bench -o '$out'"
before="rm -f '$index'"
echo "crv wordlist, no word index (full build):  $(best_both "$wordlist --max-refs 10") (whole process, best of $runs)"
echo "  the same, every reference listed:        $(best_both "$wordlist") (whole process, best of $runs)"
round=0
before='round=$((${round:-0} + 1)); printf "\\\\v 999 A changed verse %s.\r\n" "$round" >> "$changed"; touch -d "@$(( $(date +%s) - 600 - round ))" "$changed"'
echo "crv wordlist, one file changed:            $(best_both "$wordlist --max-refs 10") (whole process, best of $runs)"
before=""
echo "crv wordlist, nothing changed:             $(best_both "$wordlist --max-refs 10") (whole process, best of $runs)"
echo "crv concordance the --max 1000:            $(best_both "'$crv' -q -p '$prj' concordance Bench the --max 1000 -o '$out'") (whole process, best of $runs)"
echo "crv concordance the (all matches):         $(best_both "'$crv' -q -p '$prj' concordance Bench the -o '$out'") (whole process, best of $runs)"
echo "crv check (opening the project):           $(best_both "'$crv' -q -p '$prj' check") (whole process, best of $runs)"
ls -l "$index" | awk '{ printf "word index file: %.1f MB\n", $5 / 1048576 }'

./build/bench/corpus/corpus_bench "$data" "$runs"

rm -f "$index"
/usr/bin/time -f "%M" -o "$data/peak.txt" "$crv" -q -p "$prj" wordlist Bench -o "$out" --max-refs 10 >/dev/null
awk -v size="$size" '{ printf "peak resident memory, crv wordlist full build %8.1f MB (%.2f times the corpus)\n", $1 / 1024, $1 * 1024 / size }' "$data/peak.txt"
/usr/bin/time -f "%M" -o "$data/peak.txt" env LC_ALL=C sh -c "cat '$data'/*.sfm | tr -cs 'A-Za-z' '\n' | sort > /dev/null"
awk '{ printf "peak resident memory, sort of the pipeline    %8.1f MB\n", $1 / 1024 }' "$data/peak.txt"
rm -f "$out"
