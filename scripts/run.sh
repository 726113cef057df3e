#!/usr/bin/env bash
# Builds Corvane and runs it on the sample project: the project opened with every
# database it lists (nothing is saved), then the lexicon listed in index order.
set -euo pipefail
cd "$(dirname "$0")/.."
CORVANE_BUILD_DIR=build bash scripts/build.sh
sample=examples/sample
./build/src/cli/crv -p "$sample/sample.prj" check
./build/src/cli/crv -p "$sample/sample.prj" list "$sample/lexicon.db"
