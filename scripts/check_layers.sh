#!/usr/bin/env bash
# Fails when a source file includes a header from its own floor or a floor above it:
# the folders of src/ form a one-way stack, lowest first.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A floor=([zentab]=0 [base]=1 [schema]=2 [record]=3 [engine]=4
                  [interlinear]=5 [export]=5 [corpus]=5 [app]=6 [cli]=7 [gui]=7)
status=0
for dir in src/*/; do
    layer=$(basename "$dir")
    if [ -z "${floor[$layer]+x}" ]; then
        echo "src/$layer/ has no floor in scripts/check_layers.sh" >&2
        status=1
        continue
    fi
    while IFS= read -r hit; do
        target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$hit")
        [ "$target" = "$layer" ] && continue
        [ -n "${floor[$target]+x}" ] || continue
        if [ "${floor[$target]}" -ge "${floor[$layer]}" ]; then
            echo "${hit%%:#*}: src/$layer/ includes src/$target/" >&2
            status=1
        fi
    done < <(grep -rn '#include "[a-z_]*/' "$dir" || true)
done
[ $status -eq 0 ] && echo "layers: one way"
exit $status
