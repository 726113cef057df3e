#!/usr/bin/env bash
# Prints the path of the generated lexicon of RECORDS records, generating it first when
# it is missing. Run from the top of the tree after a build in build/.
#   bench/support/lexicon_file.sh RECORDS
set -euo pipefail
data=build/bench-data
mkdir -p "$data"
file="$data/lexicon-$1.db"
[ -f "$file" ] || ./build/bench/sf/sf_lexicon_gen "$1" "$file" >&2
echo "$file"
