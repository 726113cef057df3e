#!/usr/bin/env bash
# Applying filters to a generated lexicon beside building its default index and beside
# `grep -c` of the same text, in the same run:   bench/filter/run.sh [RECORDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
records="${1:-200000}"
runs="${2:-3}"
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
file=$(bash bench/support/lexicon_file.sh "$records")
count=$(LC_ALL=C grep -c '^\\ge .*walk' "$file")
best=$(LC_ALL=C bash bench/support/best_ms.sh "$runs" grep -c '^\\ge .*walk' "$file")
echo "LC_ALL=C grep -c '^\\ge .*walk' ($count lines): $best ms (best of $runs)"
./build/bench/filter/filter_bench "$file" "$runs"
