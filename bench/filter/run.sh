#!/usr/bin/env bash
# Applying filters to a generated lexicon beside building its default index and beside
# `grep -c` of the same text, in the same run:   bench/filter/run.sh [RECORDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
records="${1:-200000}"
runs="${2:-3}"
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
data=build/bench-data
mkdir -p "$data"
file="$data/lexicon-$records.db"
[ -f "$file" ] || ./build/bench/sf/sf_lexicon_gen "$records" "$file"
best=""
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    count=$(LC_ALL=C grep -c '^\\ge .*walk' "$file")
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
done
echo "LC_ALL=C grep -c '^\\ge .*walk' (${count} lines): $best ms (best of $runs)"
./build/bench/filter/filter_bench "$file" "$runs"
