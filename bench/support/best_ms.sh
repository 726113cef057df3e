#!/usr/bin/env bash
# Runs a command RUNS times (its output discarded) and prints the best wall time in ms.
#   bench/support/best_ms.sh RUNS COMMAND [ARGS...]
set -euo pipefail
runs="$1"
shift
best=""
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$@" > /dev/null
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
done
echo "$best"
