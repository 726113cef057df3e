#!/usr/bin/env bash
# Index figures on a generated lexicon beside `LC_ALL=C sort` of its lx values, in the
# same run:   bench/index/run.sh [RECORDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
records="${1:-200000}"
runs="${2:-3}"
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
data=build/bench-data
file=$(bash bench/support/lexicon_file.sh "$records")
sed -n 's/^\\lx \(.*\)\r$/\1/p' "$file" > "$data/lx-$records.txt"
best=""
bestCpu=""
for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %U %S" -o "$data/sort-time.txt" env LC_ALL=C sort "$data/lx-$records.txt" > /dev/null
    read -r wall user sys < "$data/sort-time.txt"
    ms=$(awk -v w="$wall" 'BEGIN { printf "%d", w * 1000 }')
    cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1000 }')
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    if [ -z "$bestCpu" ] || [ "$cpu" -lt "$bestCpu" ]; then bestCpu=$cpu; fi
done
echo "LC_ALL=C sort of $(wc -l < "$data/lx-$records.txt") lx values: $best ms (processor $bestCpu ms; best of $runs)"
./build/bench/index/index_bench "$file" "$runs"
