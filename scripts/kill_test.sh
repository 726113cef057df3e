#!/usr/bin/env bash
# The long variant of the kill test: kills a saving crv resave many times at random
# moments (KILLS, default 1000), some beside a second save of the same database, and
# checks the database and its .bak after each kill.
#   scripts/kill_test.sh [KILLS]
set -euo pipefail
cd "$(dirname "$0")/.."
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
CORVANE_KILLS="${1:-1000}" ./build/tests/cli/cli_tests --gtest_filter='CrvResaveKill.*'
