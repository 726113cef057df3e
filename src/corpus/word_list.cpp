#include "corpus/word_list.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "base/sf_header.h"

namespace crv {

namespace {

struct RefPoint {
    std::uint8_t book;
    std::uint8_t chap;
    std::uint8_t verse;
    bool operator==(const RefPoint&) const = default;
};

// A run of verses of one chapter.
struct RefGroup {
    std::uint8_t book;
    std::uint8_t chap;
    int first;
    int last;
};

// Appends the number n.
void AppendNumber(std::string& out, int n) {
    char buf[16];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, end);
}

// "first" or "first-last".
void AppendVerses(std::string& out, const RefGroup& g) {
    AppendNumber(out, g.first);
    if (g.last != g.first) {
        out += '-';
        AppendNumber(out, g.last);
    }
}

} // namespace

std::vector<std::string> ReferenceLines(const CRefList& refs, const CWordIndex& index,
                                        int maxRefs) {
    std::vector<RefGroup> groups;
    RefPoint last{};
    std::size_t taken = 0;
    refs.ForEachWhile([&](const CWordRef& r) {
        RefPoint point{r.book, r.chap, r.verse};
        if (taken > 0 && point == last)
            return true;
        if (maxRefs > 0 && taken == static_cast<std::size_t>(maxRefs))
            return false;
        ++taken;
        last = point;
        if (!groups.empty() && groups.back().book == point.book &&
            groups.back().chap == point.chap && groups.back().last + 1 == point.verse)
            groups.back().last = point.verse;
        else
            groups.push_back({point.book, point.chap, point.verse, point.verse});
        return true;
    });

    std::vector<std::string> lines;
    std::string line, full, piece;
    const RefGroup* prev = nullptr;
    for (const RefGroup& g : groups) {
        full.assign(index.BookName(g.book));
        full += ' ';
        AppendNumber(full, g.chap);
        full += ':';
        AppendVerses(full, g);
        piece.clear();
        if (prev && prev->book == g.book && prev->chap == g.chap) {
            piece += ',';
            AppendVerses(piece, g);
        } else if (prev && prev->book == g.book) {
            piece += "; ";
            AppendNumber(piece, g.chap);
            piece += ':';
            AppendVerses(piece, g);
        } else {
            piece += "; ";
            piece += full;
        }
        if (line.empty()) {
            line = full;
        } else if (line.size() + piece.size() > kMaxReferenceLine) {
            lines.push_back(line);
            line = full;
        } else {
            line += piece;
        }
        prev = &g;
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

std::size_t WriteWordList(std::ostream& os, const CWordIndex& index,
                          const CWordListOptions& options, std::string_view typeName) {
    std::vector<const CWordTable::Entry*> sorted;
    sorted.reserve(index.words.size());
    for (const auto& entry : index.words)
        sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->word < b->word; });

    std::string out = "\\_sh " + FormatHeaderValue(kDefaultHeaderNumber, typeName) + "\r\n";
    char count[64];
    for (const auto* entry : sorted) {
        out += "\r\n\\w ";
        out += entry->word;
        out += "\r\n";
        if (options.counts) {
            std::snprintf(count, sizeof count, "\\c %zu\r\n\\cz %06zu\r\n", entry->refs.size(),
                          entry->refs.size());
            out += count;
        }
        if (options.refs) {
            for (const std::string& line : ReferenceLines(entry->refs, index, options.maxRefs)) {
                out += "\\r ";
                out += line;
                out += "\r\n";
            }
        }
        // Written in pieces, so that a large list is never held twice.
        if (out.size() > (1u << 20)) {
            os.write(out.data(), static_cast<std::streamsize>(out.size()));
            out.clear();
        }
    }
    os.write(out.data(), static_cast<std::streamsize>(out.size()));
    return sorted.size();
}

} // namespace crv
