#!/usr/bin/env bash
# Throughput of zentab over a deterministic 20 MB text, each figure beside its baseline in
# the same run: (a) an empty table beside cat, (b) 50 literal orthography substitutions
# beside sed and perl -pe with the same 50 substitutions, (c) a table with stores,
# switches, groups and any()/fol() tests. Builds nothing: run scripts/build.sh first.
# Best of three runs each; output goes to /dev/null.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${CORVANE_BUILD_DIR:-build}
zentab=$build/src/cli/zentab
gen=$build/bench/zentab/zentab_bench_text
if [ ! -x "$zentab" ] || [ ! -x "$gen" ]; then
    echo "not built: run bash scripts/build.sh first" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$gen" "${1:-20}" >"$work/text.txt"
bytes=$(stat -c %s "$work/text.txt")

# The 50 substitutions: from, to.
subs=(aa ā ee ē ii ī oo ō uu ū ch č sh š zh ž ng ŋ ny ñ th θ dh ð kh x̌ gh ɣ ph φ ts c kw kʷ gw gʷ
      mb ᵐb nd ⁿd ai ay au aw ei ey ou ow ua wa ia ya q ʔ x ħ j ǰ r ɾ an ã en ẽ in ĩ on õ un ũ
      am ãm ak ak̚ ek ek̚ ik ik̚ ok ok̚ uk uk̚ al ał el eł il ił ol oł ul uł as aṣ es eṣ is iṣ os oṣ)
: >"$work/empty.ztt"
: >"$work/subs.ztt"
: >"$work/subs.sed"
: >"$work/subs.pl"
for ((i = 0; i < ${#subs[@]}; i += 2)); do
    printf "'%s' > '%s'\n" "${subs[i]}" "${subs[i + 1]}" >>"$work/subs.ztt"
    printf 's/%s/%s/g\n' "${subs[i]}" "${subs[i + 1]}" >>"$work/subs.sed"
    printf 's/%s/%s/g;\n' "${subs[i]}" "${subs[i + 1]}" >>"$work/subs.pl"
done
cat >"$work/context.ztt" <<'ZTT'
begin > store(vowel) 'aeiou' endstore store(cons) 'bcdfghjklmnpqrstvwxyz' endstore
        use(words)
group(words)
'.' > dup set(sentence)
nl > nl clear(sentence) incr(lines)
',' > if(sentence) ';' else ',' endif
'ng' fol(vowel) > 'ŋ'
'ng' > 'ŋg'
any(vowel) 'q' > dup 'ʔ'
'x' prec(vowel) fol(vowel) > 'ks'
'h' fol(cons) > 'H'
'zh' > 'ž' use(quote)
group(quote)
' ' > ' ' use(words)
'aa' > 'ā'
'oo' > 'ō'
ZTT

best_of_three() {
    local best=""
    for _ in 1 2 3; do
        local start end
        start=$(date +%s.%N)
        bash -c "$1" >/dev/null
        end=$(date +%s.%N)
        best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = e - s; if (b == "" || t < b) b = t; print b }')
    done
    echo "$best"
}

row() { # label, command
    local t
    t=$(best_of_three "$2")
    awk -v l="$1" -v t="$t" -v b="$bytes" 'BEGIN { printf "%-44s %8.2f s %9.1f MB/s\n", l, t, b / 1e6 / t }'
}

printf 'Input: %s bytes\n\n' "$bytes"
printf '%-44s %10s %14s\n' "Run" "Time" "Throughput"
row "(a) zentab, empty table" "'$zentab' -q '$work/empty.ztt' '$work/text.txt'"
row "(a) baseline: cat" "cat '$work/text.txt'"
row "(b) zentab, 50 substitutions" "'$zentab' -q '$work/subs.ztt' '$work/text.txt'"
row "(b) baseline: sed, 50 substitutions" "sed -f '$work/subs.sed' '$work/text.txt'"
row "(b) baseline: perl -pe, 50 substitutions" "perl -pe \"\$(cat '$work/subs.pl')\" '$work/text.txt'"
row "(c) zentab, stores/switches/groups/any/fol" "'$zentab' -q '$work/context.ztt' '$work/text.txt'"
