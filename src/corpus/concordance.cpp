#include "corpus/concordance.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "base/message_text.h"
#include "base/platform.h"
#include "base/sf_header.h"
#include "base/sf_syntax.h"
#include "corpus/corpus_messages.h"

namespace crv {

namespace {

// How far from an occurrence a phrase or the text after it is looked for.
constexpr std::size_t kFieldReach = 65536;

bool UnitBoundary(const CLangEnc& langEnc, std::string_view word, std::size_t k) {
    if (k == 0 || k >= word.size())
        return true;
    const char* p = word.data();
    const char* end = p + word.size();
    while (p < word.data() + k)
        langEnc.NextUnitCode(p, end);
    return p == word.data() + k;
}

WordPart PartFor(MatchKind kind, std::size_t k, std::size_t n) {
    bool openStart = k == 0 && (kind == MatchKind::End || kind == MatchKind::Middle);
    bool openEnd = k + 1 == n && (kind == MatchKind::Start || kind == MatchKind::Middle);
    if (openStart && openEnd)
        return WordPart::Contains;
    if (openStart)
        return WordPart::Suffix;
    return openEnd ? WordPart::Prefix : WordPart::Whole;
}

std::string_view LineAt(std::string_view bytes, std::size_t start) {
    std::size_t end = bytes.find('\n', start);
    std::string_view line =
        bytes.substr(start, (end == std::string_view::npos ? bytes.size() : end) - start);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool IsFieldText(SFLineKind kind) {
    return kind == SFLineKind::Text || kind == SFLineKind::EscapedText;
}

// Where the field holding offset o ends: before the next line that is not text.
std::size_t FieldEnd(std::string_view bytes, std::size_t o) {
    std::size_t limit = std::min(bytes.size(), o + kFieldReach);
    std::size_t nl = bytes.find('\n', o);
    while (nl != std::string_view::npos && nl + 1 < limit) {
        if (!IsFieldText(ClassifyLine(LineAt(bytes, nl + 1)).kind))
            return nl;
        nl = bytes.find('\n', nl + 1);
    }
    return limit;
}

bool IsSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

// Text as one line: every run of white space one space, none at either end.
std::string OneLine(std::string_view text) {
    std::string out;
    bool space = false;
    for (char ch : text) {
        if (IsSpace(ch)) {
            space = !out.empty();
            continue;
        }
        if (space)
            out += ' ';
        space = false;
        out += ch;
    }
    return out;
}

bool IsUtf8Continuation(char ch) { return (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }

// The byte where the last n characters of text begin.
std::size_t LastCharsStart(std::string_view text, std::size_t n) {
    std::size_t i = text.size();
    std::size_t chars = 0;
    while (i > 0 && chars < n) {
        --i;
        if (!IsUtf8Continuation(text[i]))
            ++chars;
    }
    return i;
}

// The byte where the first n characters of text end.
std::size_t FirstCharsEnd(std::string_view text, std::size_t n) {
    std::size_t i = 0;
    std::size_t chars = 0;
    while (i < text.size()) {
        if (!IsUtf8Continuation(text[i]) && chars++ == n)
            break;
        ++i;
    }
    return i;
}

class Reader {
public:
    Reader(const CCorpusScan& scan, const CConcordanceOptions& options)
        : m_scan(scan), m_chars(*scan.chars), m_options(options) {
        m_chars.ForEachWord(options.search, [&](const CWordSpan& span, std::string_view word) {
            m_mapped.emplace_back(word);
            m_written.emplace_back(options.search.substr(span.begin, span.end - span.begin));
            return true;
        });
    }

    const std::vector<std::string>& SearchWords() const { return m_mapped; }

    // The match at offset o of bytes, whose index says indexedWord begins there.
    bool MatchAt(std::string_view bytes, std::size_t o, std::string_view indexedWord,
                 CConcordanceMatch& match) const {
        if (o >= bytes.size())
            return false;
        std::size_t fieldEnd = FieldEnd(bytes, o);
        std::string_view rest = bytes.substr(o, fieldEnd - o);
        const CLangEnc& enc = m_chars.LangEnc();
        std::size_t n = m_mapped.size();
        std::size_t k = 0;
        std::size_t lastEnd = 0;
        bool ok = true;
        m_chars.ForEachWord(rest, [&](const CWordSpan& span, std::string_view word) {
            // The index says a word begins here; a file changed since then says otherwise.
            if (k == 0 && (span.begin != 0 || word != indexedWord)) {
                ok = false;
                return false;
            }
            WordPart part = PartFor(m_options.kind, k, n);
            std::string_view written = rest.substr(span.begin, span.end - span.begin);
            if (!WordPartMatches(enc, word, m_mapped[k], part) ||
                (m_options.matchCase && !WordPartMatches(enc, written, m_written[k], part))) {
                ok = false;
                return false;
            }
            lastEnd = span.end;
            return ++k < n;
        });
        if (!ok || k < n)
            return false;
        match.target = OneLine(rest.substr(0, lastEnd));
        match.before = Before(bytes, o);
        std::string after = OneLine(
            bytes.substr(o + lastEnd, std::min(fieldEnd - o - lastEnd, 4 * kContextLength)));
        std::size_t cut = FirstCharsEnd(after, kContextLength);
        if (cut < after.size()) {
            std::size_t space = after.rfind(' ', cut);
            after.resize(space != std::string::npos && space > 0 ? space : cut);
        }
        match.after = std::move(after);
        return true;
    }

private:
    // The text of the field before offset o, at most the context length, from a word's
    // beginning.
    std::string Before(std::string_view bytes, std::size_t o) const {
        std::size_t windowStart = o > 4 * kContextLength ? o - 4 * kContextLength : 0;
        std::size_t start = windowStart;
        std::size_t q = o;
        for (;;) {
            std::size_t ls = q;
            while (ls > windowStart && bytes[ls - 1] != '\n')
                --ls;
            if (ls > 0 && bytes[ls - 1] != '\n')
                break; // the window begins inside this line: it is all field text
            std::string_view line = LineAt(bytes, ls);
            SFLine l = ClassifyLine(line);
            if (l.kind == SFLineKind::Marker) {
                start = static_cast<std::size_t>(l.text.data() - bytes.data());
                if (SameName(l.name, m_scan.chapMarker) || SameName(l.name, m_scan.verseMarker)) {
                    std::size_t i = 0;
                    while (i < l.text.size() && (l.text[i] == ' ' || l.text[i] == '\t'))
                        ++i;
                    while (i < l.text.size() && l.text[i] != ' ' && l.text[i] != '\t')
                        ++i;
                    start += i;
                }
                break;
            }
            if (!IsFieldText(l.kind)) {
                start = ls + line.size();
                break;
            }
            if (ls == 0 || ls <= windowStart) {
                start = ls;
                break;
            }
            q = ls - 1;
        }
        start = std::min(std::max(start, windowStart), o);
        std::string before = OneLine(bytes.substr(start, o - start));
        std::size_t from = LastCharsStart(before, kContextLength);
        if (from > 0) {
            std::size_t space = before.find(' ', from);
            before.erase(0, space != std::string::npos && space + 1 < before.size() ? space + 1
                                                                                    : from);
        }
        return before;
    }

    const CCorpusScan& m_scan;
    const CWordChars& m_chars;
    const CConcordanceOptions& m_options;
    std::vector<std::string> m_mapped;
    std::vector<std::string> m_written;
};

void AppendField(std::string& out, std::string_view marker, std::string_view text) {
    out += '\\';
    out += marker;
    if (!text.empty()) {
        out += ' ';
        out += text;
    }
    out += "\r\n";
}

} // namespace

bool WordPartMatches(const CLangEnc& langEnc, std::string_view word, std::string_view search,
                     WordPart part) {
    switch (part) {
    case WordPart::Whole:
        return word == search;
    case WordPart::Prefix:
        return word.starts_with(search) && UnitBoundary(langEnc, word, search.size());
    case WordPart::Suffix:
        return word.ends_with(search) && UnitBoundary(langEnc, word, word.size() - search.size());
    case WordPart::Contains:
        for (std::size_t pos = word.find(search); pos != std::string_view::npos;
             pos = word.find(search, pos + 1))
            if (UnitBoundary(langEnc, word, pos) &&
                UnitBoundary(langEnc, word, pos + search.size()))
                return true;
        return false;
    }
    return false;
}

RunStatus FindConcordance(const CCorpusScan& scan, const CWordIndex& index,
                          const CConcordanceOptions& options, std::vector<CConcordanceMatch>& out) {
    out.clear();
    Reader reader(scan, options);
    const std::vector<std::string>& search = reader.SearchWords();
    if (search.empty())
        return RunStatus::Ok;

    // Each stored file's place in the corpus list.
    std::vector<int> position(0x10000, INT_MAX);
    std::vector<int> listIndex(0x10000, -1);
    for (const CIndexedFile& f : index.files) {
        auto it = std::find(scan.files.begin(), scan.files.end(), f.path);
        if (it != scan.files.end()) {
            position[f.number] = static_cast<int>(it - scan.files.begin());
            listIndex[f.number] = position[f.number];
        }
    }

    struct Candidate {
        CWordRef ref;
        const std::string* word;
    };
    std::vector<Candidate> candidates;
    WordPart firstPart = PartFor(options.kind, 0, search.size());
    const CLangEnc& enc = scan.chars->LangEnc();
    std::vector<const CWordTable::Entry*> matching;
    if (firstPart == WordPart::Whole) {
        if (const CWordTable::Entry* entry = index.words.FindEntry(search[0]))
            matching.push_back(entry);
    } else {
        for (const CWordTable::Entry& entry : index.words)
            if (WordPartMatches(enc, entry.word, search[0], firstPart))
                matching.push_back(&entry);
    }
    std::size_t total = 0;
    for (const CWordTable::Entry* entry : matching)
        total += entry->refs.size();
    candidates.reserve(total);
    for (const CWordTable::Entry* entry : matching)
        entry->refs.ForEach([&](const CWordRef& r) { candidates.push_back({r, &entry->word}); });
    // One word's references are mostly in corpus order already.
    auto before = [&](const Candidate& a, const Candidate& b) {
        int pa = position[a.ref.file], pb = position[b.ref.file];
        return pa != pb ? pa < pb : a.ref.offset < b.ref.offset;
    };
    if (!std::is_sorted(candidates.begin(), candidates.end(), before))
        std::stable_sort(candidates.begin(), candidates.end(), before);

    int loaded = -1;
    CFileBytes bytes;
    for (const Candidate& c : candidates) {
        if (options.maxMatches > 0 && out.size() >= static_cast<std::size_t>(options.maxMatches))
            break;
        int i = listIndex[c.ref.file];
        if (i < 0) {
            platform().InternalError(__FILE__, __LINE__,
                                     FormatMessage(kFileNotKept, {std::to_string(c.ref.file)}));
            continue;
        }
        if (i != loaded) {
            if (!bytes.Read(scan.paths[static_cast<std::size_t>(i)])) {
                platform().ShowMessage(
                    FormatMessage(kFailedToAccess, {scan.files[static_cast<std::size_t>(i)]}));
                return RunStatus::Failed;
            }
            loaded = i;
        }
        CConcordanceMatch match;
        match.ref = c.ref;
        if (reader.MatchAt(bytes.View(), c.ref.offset, *c.word, match))
            out.push_back(std::move(match));
    }
    return RunStatus::Ok;
}

std::string ReferenceText(const CWordIndex& index, const CWordRef& ref, bool zeros) {
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, zeros ? " %03d:%03d" : " %d:%d", ref.chap, ref.verse);
    return std::string(index.BookName(ref.book)) + numbers;
}

void WriteConcordance(std::ostream& os, const CWordIndex& index,
                      const std::vector<CConcordanceMatch>& matches, std::string_view typeName) {
    std::string out = "\\_sh " + FormatHeaderValue(kDefaultHeaderNumber, typeName) + "\r\n";
    for (const CConcordanceMatch& m : matches) {
        out += "\r\n";
        AppendField(out, "concref", ReferenceText(index, m.ref, false));
        AppendField(out, "concrefz", ReferenceText(index, m.ref, true));
        AppendField(out, "concbef", m.before);
        AppendField(out, "conctar", m.target);
        AppendField(out, "concaft", m.after);
        if (out.size() > (1u << 20)) {
            os.write(out.data(), static_cast<std::streamsize>(out.size()));
            out.clear();
        }
    }
    os.write(out.data(), static_cast<std::streamsize>(out.size()));
}

} // namespace crv
