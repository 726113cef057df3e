#!/usr/bin/env bash
# Builds Corvane and runs it on the sample project.
set -euo pipefail
cd "$(dirname "$0")/.."
CORVANE_BUILD_DIR=build bash scripts/build.sh
sample=examples/sample
./build/src/cli/crv -s "$sample" sf stats "$sample/lexicon.db"
