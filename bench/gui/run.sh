#!/usr/bin/env bash
# The desktop program on the sample project and on a project holding the generated
# lexicon (Qt's offscreen platform): start-up to the first painted window beside `crv -p
# check` of the same project, opening and scrolling a browse window, and peak memory
# beside crv's.
#   bench/gui/run.sh [RECORDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
records="${1:-200000}"
runs="${2:-3}"
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
data=build/bench-data
project=$(bash bench/support/lexicon_project.sh gui "$records")
sample="$data/gui-sample"
rm -rf "$sample" && cp -r examples/sample "$sample"
export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="qt.qpa.*=false"
export XDG_RUNTIME_DIR="$data/gui-runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export CORVANE_CONFIG_DIR="$data/gui-config"
# Best wall time and best processor time (user + system) of RUNS runs, in ms: the machine
# may be shared, and processor time varies less with what else runs.
best_times() {
    local best_wall="" best_cpu=""
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%e %U %S" -o "$data/times.txt" "$@" >/dev/null 2>&1
        read -r e u s < "$data/times.txt"
        local wall cpu
        wall=$(awk -v e="$e" 'BEGIN { printf "%d", e * 1000 }')
        cpu=$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%d", (u + s) * 1000 }')
        if [ -z "$best_wall" ] || [ "$wall" -lt "$best_wall" ]; then best_wall=$wall; fi
        if [ -z "$best_cpu" ] || [ "$cpu" -lt "$best_cpu" ]; then best_cpu=$cpu; fi
    done
    echo "$best_wall ms wall, $best_cpu ms processor"
}
crv=./build/src/cli/crv
bench=./build/bench/gui/gui_bench

for p in "$(realpath "$sample/sample.prj")" "$(realpath "$project")"; do
    echo "project $(basename "$(dirname "$p")")/$(basename "$p"):"
    echo "  crv -p check:                         $(best_times $crv -q -p "$p" check) (whole process, best of $runs)"
    echo "  corvane to the first painted window:  $(best_times $bench startup "$p") (whole process, best of $runs)"
done
echo "browse window on $records records:"
$bench browse "$(realpath "$project")" 50 2>/dev/null | sed 's/^/  /'
/usr/bin/time -f "%M" -o "$data/peak.txt" $crv -q -p "$project" check >/dev/null
awk '{ printf "  peak resident memory, crv check: %.1f MB\n", $1 / 1024 }' "$data/peak.txt"
