#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs one of them.
#   scripts/fuzz.sh NAME [SECONDS]     e.g. scripts/fuzz.sh object_stream 600
# Seeds come from fuzz/corpus/NAME/ (if any); new inputs go to build-fuzz/corpus/NAME/.
set -euo pipefail
cd "$(dirname "$0")/.."
name="$1"
seconds="${2:-60}"
CORVANE_WITH_FUZZ=1 bash scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCORVANE_FUZZ=ON \
    -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "${CORVANE_JOBS:-2}" --target "${name}_fuzz"
work="build-fuzz/corpus/$name"
mkdir -p "$work"
seeds=()
[ -d "fuzz/corpus/$name" ] && seeds+=("fuzz/corpus/$name")
exec "./build-fuzz/fuzz/${name}_fuzz" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -timeout=10 "$work" "${seeds[@]}"
