#!/usr/bin/env bash
# The RTF exports of the sample project shown to a real word processor. LibreOffice
# (headless) converts four exports to PDF: a plain RTF export of the lexicon, a diglot
# and a triglot dictionary, and a finderlist. pdftotext must show every headword, gloss
# and letter heading in order, and the Hausa glosses, whose letters lie outside
# Windows-1252, unchanged. One PNG page of each stays in FOLDER/png for people to look
# at. Not part of the test command: it needs LibreOffice.
#   scripts/check_rtf.sh [FOLDER]        (default build/rtf-check)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build/rtf-check}")"

packages=(libreoffice-writer-nogui poppler-utils python3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq || true
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "Missing packages. Install them with:" >&2
        echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
fi

[ -f build/build.ninja ] || CORVANE_BUILD_DIR=build bash scripts/build.sh >/dev/null
cmake --build build --target crv >/dev/null
crv="$PWD/build/src/cli/crv"

rm -rf "$out"
mkdir -p "$out/sample" "$out/png"
cp examples/sample/* "$out/sample/"
prj="$out/sample/sample.prj"
db="$out/sample/lexicon.db"

# The dictionary formatter's format is a setting of the type: each run sets it first.
plx() { # FORMAT-LINES OUTPUT
    cp examples/sample/Lexicon.typ "$out/sample/Lexicon.typ"
    python3 - "$out/sample/Lexicon.typ" "$1" <<'PY'
import sys
path, lines = sys.argv[1], sys.argv[2]
s = open(path, 'rb').read()
head = b'\\+expPLX Polylex Formatter\r\n\\ver 4.0\r\n'
add = b''.join(b'\\' + l.encode() + b'\r\n' for l in lines.split() if l)
open(path, 'wb').write(s.replace(head, head + add))
PY
    "$crv" -q -p "$prj" export "$db" --process "Polylex Formatter" -o "$2"
}
"$crv" -q -p "$prj" export "$db" --process "Rich Text Format" -o "$out/plain.rtf"
plx "" "$out/diglot.rtf"
plx "Triglot" "$out/triglot.rtf"
plx "Finderlist" "$out/finderlist.rtf"
cp examples/sample/Lexicon.typ "$out/sample/Lexicon.typ"

# What the documents must show, from the sample: headwords in index order, their
# glosses, and the reversals in English order.
"$crv" -p "$prj" list "$db" --columns ge,gn > "$out/entries.txt"
"$crv" -p "$prj" list "$db" --by ge --columns lx > "$out/glosses.txt"

for name in plain diglot triglot finderlist; do
    soffice --headless --norestore --convert-to pdf --outdir "$out" "$out/$name.rtf" >/dev/null 2>&1
    [ -s "$out/$name.pdf" ] || { echo "LibreOffice made no PDF of $name.rtf" >&2; exit 1; }
    pdftotext -enc UTF-8 -bbox-layout "$out/$name.pdf" "$out/$name.html"
    pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$out/$name.pdf" "$out/png/$name"
done

python3 - "$out" "$crv" "$prj" <<'PY'
import re, subprocess, sys, unicodedata
from html import unescape
out, crv, prj = sys.argv[1:4]

def words(name, footer):
    # The text of the pages in reading order, as one line of words: on each page the
    # left column, then the right one (lines that begin left of 288 points belong to
    # the left column, whatever the gutter), each from the top; the footer, which
    # begins at the footer line (in points from the top), is left out.
    html = open('%s/%s.html' % (out, name), encoding='utf-8').read()
    text = []
    for page in html.split('<page ')[1:]:
        lines = []
        for m in re.finditer(r'<line xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>(.*?)</line>', page, re.S):
            x, y = float(m.group(1)), float(m.group(2))
            if y >= footer:
                continue
            ws = [unescape(w) for w in re.findall(r'<word[^>]*>(.*?)</word>', m.group(3), re.S)]
            lines.append((0 if x < 288 else 1, y, x, ' '.join(ws)))
        text += [l[3] for l in sorted(lines)]
    return ' '.join(' '.join(text).split())

def entries():
    rows = []
    for line in open(out + '/entries.txt', encoding='utf-8'):
        lx, ge, gn = line.rstrip('\n').split('\t')
        rows.append((lx, ge.replace('\\n', ' '), gn.replace('\\n', ' ')))
    return rows

failures = []
def in_order(name, text, items):
    at = 0
    for item in items:
        found = text.find(item, at)
        if found < 0:
            failures.append('%s: "%s" is missing or out of order' % (name, item))
            return
        at = found + len(item)

def letter(word, digraphs):
    word = word.lstrip('-=*')
    base = unicodedata.normalize('NFD', word)[0].lower()
    for d in digraphs:
        if word.lower().startswith(d):
            return d.upper() + ' - ' + d
    return base.upper() + ' - ' + base

def headings(heads, digraphs):
    seen = []
    for h in heads:
        l = letter(h, digraphs)
        if not seen or seen[-1] != l:
            seen.append(l)
    return seen

rows = entries()
plain = words('plain', 730)
in_order('plain', plain, [x for lx, ge, gn in rows for x in (lx, ge, gn)])

diglot = words('diglot', 700)
heads = [lx for lx, ge, gn in rows]
in_order('diglot headings', diglot, headings(heads, ['ng', 'ts']))
in_order('diglot', diglot, [x for lx, ge, gn in rows for x in (lx, ge)])

triglot = words('triglot', 700)
in_order('triglot', triglot, [x for lx, ge, gn in rows for x in (lx, ge, gn)])

# The finderlist: every part of every English gloss, in English order.
reversals = sorted({p.strip() for lx, ge, gn in rows for p in re.split('[,;]', ge) if p.strip()})
order = subprocess.run([crv, '-p', prj, 'sort', 'English'], input='\n'.join(reversals) + '\n',
                       capture_output=True, text=True, check=True).stdout.split('\n')
order = [r for r in order if r]
finder = words('finderlist', 700)
in_order('finderlist headings', finder, headings(order, []))
in_order('finderlist', finder, order)

# Characters outside Windows-1252 come through unchanged.
for name, text in (('plain', plain), ('triglot', triglot)):
    for word in ('ƙarami', 'yi waƙa'):
        if word not in text:
            failures.append('%s: "%s" is not there unchanged' % (name, word))

if failures:
    print('\n'.join(failures), file=sys.stderr)
    sys.exit(1)
print('rtf check: %d entries, %d reversals: plain, diglot, triglot and finderlist shown by '
      'LibreOffice in order' % (len(rows), len(order)))
PY
echo "PNG pages: $out/png"
