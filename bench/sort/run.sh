#!/usr/bin/env bash
# Sort benchmarks: keys and comparisons per second beside ICU on the 1,000,000 lx values
# of a generated lexicon (bench/sf); crv sort on the 200,000 lx values of a 200,000-record
# lexicon beside LC_ALL=C sort on the same file, same run.
#   bash bench/sort/run.sh [WORDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
CORVANE_BUILD_DIR=build-bench CORVANE_BUILD_TYPE=Release bash scripts/build.sh -DCORVANE_BUILD_TESTS=OFF >/dev/null
bin=build-bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/sample/*.lng "$work/"

"$bin/bench/sort/sort_bench" "$work" "${1:-1000000}"

echo
"$bin/bench/sort/sort_bench" --words 200000 > "$work/lx.txt"
TIMEFORMAT=%R
best() { # best of three wall-clock seconds of a command
    local best=999999 t
    for _ in 1 2 3; do
        t=$( { time "$@" > /dev/null; } 2>&1 )
        best=$(echo "$t $best" | awk '{print ($1 < $2) ? $1 : $2}')
    done
    echo "$best"
}
crv_s=$(best "$bin/src/cli/crv" -s "$work" sort Vernacular "$work/lx.txt")
c_s=$(LC_ALL=C best sort "$work/lx.txt")
printf '%-52s %8s s\n' "crv sort Vernacular, 200,000 lines" "$crv_s"
printf '%-52s %8s s\n' "LC_ALL=C sort, same file" "$c_s"
