#!/usr/bin/env bash
# Re-sorting a window's index after a sort order change (the encoding sheet's OK),
# beside building the default index from scratch in the same run:
#   bench/sort_change/run.sh [RECORDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
records="${1:-200000}"
runs="${2:-3}"
cmake --build build -j2 --target sort_change_bench sf_lexicon_gen >/dev/null
file=$(bash bench/support/lexicon_file.sh "$records")
./build/bench/sort_change/sort_change_bench "$file" "$runs"
