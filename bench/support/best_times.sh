#!/usr/bin/env bash
# Runs a command RUNS times (its output discarded) and prints the best wall time and the
# best processor time (user plus system, the command's children included) in ms, as
# "WALL ms (processor CPU ms)". On a shared machine the processor time varies less.
#   bench/support/best_times.sh RUNS COMMAND [ARGS...]
set -euo pipefail
runs="$1"
shift
times=$(mktemp)
trap 'rm -f "$times"' EXIT
best=""
bestCpu=""
for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %U %S" -o "$times" "$@" > /dev/null
    read -r wall user sys < "$times"
    ms=$(awk -v w="$wall" 'BEGIN { printf "%d", w * 1000 }')
    cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1000 }')
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    if [ -z "$bestCpu" ] || [ "$cpu" -lt "$bestCpu" ]; then bestCpu=$cpu; fi
done
echo "$best ms (processor $bestCpu ms)"
