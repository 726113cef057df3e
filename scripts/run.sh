#!/usr/bin/env bash
# Builds Corvane and runs it on the sample project. With a display, the desktop program
# starts on a working copy of the sample (build/sample, made on the first run, so that
# the example in the tree stays as it is and your edits stay between runs). Without one
# it says so and runs the headless check: the project opened with every database it
# lists (nothing is saved), then the lexicon listed in index order.
set -euo pipefail
cd "$(dirname "$0")/.."
CORVANE_BUILD_DIR=build bash scripts/build.sh
sample=examples/sample
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/src/gui/corvane ]; then
    [ -d build/sample ] || cp -r "$sample" build/sample
    exec ./build/src/gui/corvane "$(pwd)/build/sample/sample.prj"
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are not set): running the headless check instead." >&2
./build/src/cli/crv -p "$sample/sample.prj" check
./build/src/cli/crv -p "$sample/sample.prj" list "$sample/lexicon.db"
