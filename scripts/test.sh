#!/usr/bin/env bash
# Builds Corvane and passes every test: first a normal warning-free build, then the
# whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
# CORVANE_SKIP_SANITIZE=1 skips the second round.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/check_layers.sh
bash scripts/check_format.sh

CORVANE_BUILD_DIR=build bash scripts/build.sh -DCORVANE_WERROR=ON -DCORVANE_SANITIZE=OFF
ctest --test-dir build --output-on-failure -j "${CORVANE_JOBS:-2}"

if [ "${CORVANE_SKIP_SANITIZE:-0}" != 1 ]; then
    CORVANE_BUILD_DIR=build-sanitize CORVANE_BUILD_TYPE=Debug bash scripts/build.sh \
        -DCORVANE_WERROR=ON -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-sanitize --output-on-failure -j "${CORVANE_JOBS:-2}"
fi
echo "All tests passed."
