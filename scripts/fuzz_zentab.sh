#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs one zentab target.
# Usage: scripts/fuzz_zentab.sh compile|run [SECONDS]   (default 600 seconds, one job)
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?compile or run}
seconds=${2:-600}
CORVANE_WITH_FUZZ=1 bash scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVANE_FUZZ=ON -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF -DCORVANE_BUILD_GUI=OFF >/dev/null
cmake --build build-fuzz -j "${CORVANE_JOBS:-2}" --target "zentab_${target}_fuzz"
corpus=build-fuzz/corpus-zentab-$target
mkdir -p "$corpus"
# Seeds: a few tables (and, for the run target, table NUL input).
printf "'a' > 'b'\n" >"$corpus/seed1"
printf "begin > store(v) 'aeiou' endstore use(g)\ngroup(g)\n'x' fol(v) > 'ks' back(1)\nany(v) > dup incr(n)\nendfile > out(n)\n" >"$corpus/seed2"
if [ "$target" = run ]; then
    printf "'ab' > 'x' back(1)\nprec(p) 'c' > 'C'\n\0abcabc\ncab" >"$corpus/seed3"
fi
# One job (the machine is shared); libFuzzer writes its log to fuzz-0.log in build-fuzz/.
cd build-fuzz
rm -f fuzz-0.log
ASAN_OPTIONS=detect_leaks=1 "fuzz/zentab_${target}_fuzz" -jobs=1 -max_total_time="$seconds" \
    -rss_limit_mb=2048 -timeout=10 "corpus-zentab-$target" >/dev/null 2>&1 || true
tail -n 5 fuzz-0.log
grep -E "ERROR|crash-|timeout-|leak-" fuzz-0.log && exit 1
exit 0
