#!/usr/bin/env bash
# Installs the built tree into a scratch prefix and builds a small C program against the
# installed libzentab through pkg-config, then runs it.
# Arguments: BUILD_DIR SCRATCH_DIR C_COMPILER [EXTRA_FLAGS]
set -euo pipefail
build=$1 scratch=$2 cc=$3 flags=${4:-}
rm -rf "$scratch"
mkdir -p "$scratch"
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
pc=$(dirname "$(find "$scratch/prefix" -name zentab.pc | head -1)")
cat >"$scratch/use_zentab.c" <<'C'
#include <stdio.h>
#include <string.h>
#include <zentab.h>
int main(void) {
    ZTHANDLE h = 0;
    char out[64];
    int n = (int)sizeof out;
    if (ZTLoadTableFromBuffer("'ea' > 'ä'\n", &h) != 0)
        return 1;
    if (ZTProcessBuffer(h, "pleased", 7, out, &n) != 0)
        return 2;
    ZTUnloadTable(h);
    printf("%.*s\n", n, out);
    return strncmp(out, "pläsed", (size_t)n) != 0;
}
C
export PKG_CONFIG_PATH="$pc"
# shellcheck disable=SC2046
"$cc" $flags -o "$scratch/use_zentab" "$scratch/use_zentab.c" $(pkg-config --cflags --libs zentab)
libdir=$(pkg-config --variable=libdir zentab)
LD_LIBRARY_PATH="$libdir" "$scratch/use_zentab"
test -f "$libdir/libzentab.a"
test -f "$libdir/cmake/zentab/zentabConfig.cmake"
echo "zentab installs and links: ok"
