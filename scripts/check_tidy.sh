#!/usr/bin/env bash
# clang-tidy over the sources with the project's .clang-tidy; fails on any warning.
# Slow (about 8 s a file), so it is not part of the test command.
# Usage: scripts/check_tidy.sh [BUILD_DIR] [FILE_REGEX]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# Anchored to the source tree so that moc's generated files in the build are left out.
regex=${2:-"^$PWD/src/.*\\.cpp$"}
[ -f "$build/compile_commands.json" ] || {
    echo "$build/compile_commands.json is missing: configure the build first" >&2
    exit 2
}
out=$(run-clang-tidy -p "$build" -j "$(nproc)" -quiet -extra-arg=-Wno-unknown-warning-option "$regex" 2>&1 | sed 's/\x1b\[[0-9;]*m//g')
warnings=$(grep -E '(warning|error):' <<<"$out" | sort -u || true)
if [ -n "$warnings" ]; then
    echo "$warnings"
    exit 1
fi
echo "clang-tidy: no warnings"
