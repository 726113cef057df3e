#!/usr/bin/env bash
# Configures and builds Corvane in build/ (or $CORVANE_BUILD_DIR). Extra arguments are
# passed to cmake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir="${CORVANE_BUILD_DIR:-build}"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${CORVANE_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$dir" -j "${CORVANE_JOBS:-2}"
