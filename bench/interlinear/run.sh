#!/usr/bin/env bash
# Interlinear figures beside an awk hash join of the same words against the lexicon's
# headwords, in the same run:   bench/interlinear/run.sh [ENTRIES] [WORDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
entries="${1:-20000}"
words="${2:-10000}"
runs="${3:-5}"
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
data=build/bench-data
big=$(bash bench/support/lexicon_file.sh 200000)
./build/bench/interlinear/interlinear_bench "$data" "$entries" "$words" "$big" "$runs"
join='NR == FNR { if (sub(/^\\lx /, "")) { sub(/\r$/, ""); h[$0] = 1 }; next }
      ($0 in h) { n++ } END { print n + 0 }'
ms=$(bash bench/support/best_ms.sh "$runs" awk "$join" "$data/lexicon-affixes.db" "$data/words.txt")
found=$(awk "$join" "$data/lexicon-affixes.db" "$data/words.txt")
echo "awk hash join of the same $words words against the lexicon's headwords: $ms ms (best of $runs; $found found)"
