#!/usr/bin/env bash
# Writes the database type of the generated lexicon (record marker lx, homonyms in hm as
# the secondary key, date stamps in dt) as Lexicon.typ into the folder DIR.
#   bench/support/lexicon_type.sh DIR
set -euo pipefail
mkdir -p "$1"
printf '%s\r\n' '\+DatabaseType Lexicon' '\ver 4.0' '\+mkrset' '\lngDefault Default' \
    '\mkrRecord lx' '' '\+mkr lx' '\lng Default' '\-mkr' '\-mkrset' '\mkrRecord lx' \
    '\mkrSecKey hm' '\mkrDateStamp dt' '\-DatabaseType' > "$1/Lexicon.typ"
