#!/usr/bin/env bash
# Runs a command RUNS times (its output discarded) and prints the best wall time and the
# best processor time (user + system, children included) in ms: "WALL CPU". On a shared
# machine the processor time varies less. BEFORE, when set, is run by the shell before
# each run (to change a file, say) and is not timed.
#   [BEFORE=...] bench/support/best_times.sh RUNS COMMAND [ARGS...]
set -euo pipefail
runs="$1"
shift
times=$(mktemp)
trap 'rm -f "$times"' EXIT
wall="" cpu=""
for _ in $(seq "$runs"); do
    if [ -n "${BEFORE:-}" ]; then eval "$BEFORE"; fi
    /usr/bin/time -f "%e %U %S" -o "$times" "$@" > /dev/null
    read -r w u s < "$times"
    w=$(awk -v w="$w" 'BEGIN { printf "%d", w * 1000 }')
    c=$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%d", (u + s) * 1000 }')
    if [ -z "$wall" ] || [ "$w" -lt "$wall" ]; then wall=$w; fi
    if [ -z "$cpu" ] || [ "$c" -lt "$cpu" ]; then cpu=$c; fi
done
echo "$wall $cpu"
