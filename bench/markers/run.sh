#!/usr/bin/env bash
# Reading files whose every record brings a marker of its own (20,000 and 40,000
# distinct markers, the second file twice the first), through `crv sf stats` as a whole
# process, beside `wc -l` on the same files in the same run. Reading stays linear when
# the second time is about twice the first.
#   bench/markers/run.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs="${1:-3}"
CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
data=build/bench-data
mkdir -p "$data"
crv=./build/src/cli/crv

# Record i: \lx and a marker of its own, named in a scrambled order so that new markers
# land all over the marker set rather than at its end.
generate() {
    awk -v n="$1" 'BEGIN {
        for (i = 0; i < n; i++) {
            k = (i * 7919) % n
            printf "\\lx word%d\r\n\\m%d text of marker %d\r\n\\ge gloss %d\r\n\r\n", i, k, k, i
        }
    }' > "$2"
}

best_ms() { bash bench/support/best_ms.sh "$runs" "$@"; }

for markers in 20000 40000; do
    file="$data/markers-$markers.db"
    [ -f "$file" ] || generate "$markers" "$file"
    cat "$file" >/dev/null
    size=$(stat -c %s "$file")
    wc_ms=$(best_ms wc -l "$file")
    crv_ms=$(best_ms $crv sf stats "$file")
    printf '%6d markers (%.1f MB): wc -l %5d ms, crv sf stats %7d ms (best of %d)\n' \
        "$markers" "$(awk -v s="$size" 'BEGIN { print s / 1e6 }')" "$wc_ms" "$crv_ms" "$runs"
done
