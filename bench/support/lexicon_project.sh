#!/usr/bin/env bash
# Makes a project around a copy of the generated lexicon and prints the project file's
# path: the settings folder build/bench-data/NAME-settings with a Lexicon type (record
# marker lx), the copy build/bench-data/NAME-lexicon-RECORDS.db, and bench.prj listing
# it. Run from the top of the tree after a build in build/.
#   bench/support/lexicon_project.sh NAME RECORDS
set -euo pipefail
data=build/bench-data
source_file=$(bash bench/support/lexicon_file.sh "$2")
settings="$data/$1-settings"
mkdir -p "$settings"
printf '%s\r\n' '\+DatabaseType Lexicon' '\ver 4.0' '\+mkrset' '\lngDefault Default' \
    '\mkrRecord lx' '' '\+mkr lx' '\lng Default' '\-mkr' '\-mkrset' '\mkrRecord lx' \
    '\mkrSecKey hm' '\mkrDateStamp dt' '\-DatabaseType' > "$settings/Lexicon.typ"
file="$data/$1-lexicon-$2.db"
cp "$source_file" "$file"
project="$settings/bench.prj"
printf '%s\r\n' '\+CrvProjectSettings' '\ver 4.0' '\+dblst' '' "\\+db $(realpath "$file")" '\-db' '' \
    '\-dblst' '\-CrvProjectSettings' > "$project"
echo "$project"
