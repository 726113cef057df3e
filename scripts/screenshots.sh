#!/usr/bin/env bash
# scripts/screenshots.sh OUTDIR: builds the desktop program and saves PNG pictures of it
# running on (a scratch copy of) the sample project under a virtual X server: a record
# window, a browse window, two windows side by side, the Find and Replace dialogs, the
# Search dialog, a message box, the Sorting and Browse Fields dialogs, the About box,
# the print preview of the lexicon, the Export dialog, a concordance, the user guide,
# the interlinear editors, the lexicon type's properties, a marker, the filter editor, the
# language encoding sheet, the sort order dialog and the project options.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 1 ] || { echo "usage: scripts/screenshots.sh OUTDIR" >&2; exit 2; }
out="$(mkdir -p "$1" && cd "$1" && pwd)"
bash scripts/setup.sh
build="${CORVANE_BUILD_DIR:-build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "${CORVANE_JOBS:-2}" --target corvane_screenshots >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp -r examples/sample "$scratch/sample"
# A configuration folder of its own: no last project, no running instance in the way.
export CORVANE_CONFIG_DIR="$scratch/config"
xvfb-run -a -s "-screen 0 1100x720x24" "$build/src/gui/corvane_screenshots" "$out" \
    "$scratch/sample/sample.prj"
