#!/usr/bin/env bash
# Reading and writing a 200,000-record lexicon beside `cat FILE > /dev/null` and
# `wc -l FILE` on the same file, in the same run; `crv sf stats FILE` as a whole process
# beside `wc -l FILE`; then the peak memory of a process that only reads the file, and of
# one that reads and writes it.
#   bench/sf/run.sh [RECORDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
records="${1:-200000}"
runs="${2:-5}"
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
data=build/bench-data
file=$(bash bench/support/lexicon_file.sh "$records")
cat "$file" >/dev/null
./build/bench/sf/sf_bench "$file" "$runs"
wc_ms=$(bash bench/support/best_ms.sh "$runs" wc -l "$file")
stats_ms=$(bash bench/support/best_ms.sh "$runs" ./build/src/cli/crv sf stats "$file")
awk -v w="$wc_ms" -v s="$stats_ms" -v size="$(stat -c %s "$file")" -v r="$runs" 'BEGIN {
    printf "whole process: wc -l %d ms, crv sf stats %d ms (%.1f MB/s, %.1f times wc -l; best of %d)\n",
        w, s, size / 1e3 / (s > 0 ? s : 1), s / (w > 0 ? w : 1), r }'
for mode in read-only read-write; do
    /usr/bin/time -f "%M" -o "$data/peak.txt" ./build/bench/sf/sf_bench "--$mode" "$file"
    awk -v m="$mode" -v size="$(stat -c %s "$file")" \
        '{ printf "peak resident memory, %-10s %8.1f MB (%.1f times the file)\n", m, $1 / 1024, $1 * 1024 / size }' \
        "$data/peak.txt"
done
