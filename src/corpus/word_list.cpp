#include "corpus/word_list.h"

#include <algorithm>
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

std::string VerseText(const RefGroup& g) {
    std::string out = std::to_string(g.first);
    if (g.last != g.first)
        out += "-" + std::to_string(g.last);
    return out;
}

} // namespace

void SortInCorpusOrder(std::vector<CWordRef>& refs, const std::vector<int>& position) {
    auto before = [&](const CWordRef& a, const CWordRef& b) {
        int pa = position[a.file], pb = position[b.file];
        return pa != pb ? pa < pb : a.offset < b.offset;
    };
    if (!std::is_sorted(refs.begin(), refs.end(), before))
        std::sort(refs.begin(), refs.end(), before);
}

std::vector<std::string> ReferenceLines(const std::vector<CWordRef>& refs, const CWordIndex& index,
                                        int maxRefs) {
    std::vector<RefGroup> groups;
    RefPoint last{};
    std::size_t taken = 0;
    for (const CWordRef& r : refs) {
        RefPoint point{r.book, r.chap, r.verse};
        if (taken > 0 && point == last)
            continue;
        if (maxRefs > 0 && taken == static_cast<std::size_t>(maxRefs))
            break;
        ++taken;
        last = point;
        if (!groups.empty() && groups.back().book == point.book &&
            groups.back().chap == point.chap && groups.back().last + 1 == point.verse) {
            groups.back().last = point.verse;
            continue;
        }
        groups.push_back({point.book, point.chap, point.verse, point.verse});
    }

    std::vector<std::string> lines;
    std::string line;
    const RefGroup* prev = nullptr;
    for (const RefGroup& g : groups) {
        std::string book(index.BookName(g.book));
        std::string full = book + " " + std::to_string(g.chap) + ":" + VerseText(g);
        std::string piece;
        if (prev && prev->book == g.book && prev->chap == g.chap)
            piece = "," + VerseText(g);
        else if (prev && prev->book == g.book)
            piece = "; " + std::to_string(g.chap) + ":" + VerseText(g);
        else
            piece = "; " + full;
        if (line.empty()) {
            line = full;
        } else if (line.size() + piece.size() > kMaxReferenceLine) {
            lines.push_back(std::move(line));
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
    std::vector<const CWordMap::value_type*> sorted;
    sorted.reserve(index.words.size());
    for (const auto& entry : index.words)
        sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->first < b->first; });

    std::string out = "\\_sh " + FormatHeaderValue(kDefaultHeaderNumber, typeName) + "\r\n";
    char count[64];
    for (const auto* entry : sorted) {
        out += "\r\n\\w ";
        out += entry->first;
        out += "\r\n";
        if (options.counts) {
            std::snprintf(count, sizeof count, "\\c %zu\r\n\\cz %06zu\r\n", entry->second.size(),
                          entry->second.size());
            out += count;
        }
        if (options.refs)
            for (const std::string& line : ReferenceLines(entry->second, index, options.maxRefs)) {
                out += "\\r ";
                out += line;
                out += "\r\n";
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
