// The word list database: one record per word of a word index with its count and its
// references grouped by book, chapter and verse ("Kelo 1:1-3,5; 2:4").
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/word_index.h"

namespace crv {

struct CWordListOptions {
    bool counts = true;
    bool refs = true;
    int maxRefs = 0; // references listed per word; 0: all
};

// The longest reference line before a new one is begun.
inline constexpr std::size_t kMaxReferenceLine = 75;

// The reference lines of a word (its references in corpus order). A new book writes its
// name, a space and chapter:verse; a new chapter of the same book "; chapter:verse"; a
// new verse of the same chapter ",verse"; consecutive verses first-last; a repeated
// verse once. A line that would pass 75 characters is ended, and the next one begins
// with the book name and chapter again. maxRefs (0: all) counts distinct references.
std::vector<std::string> ReferenceLines(const CRefList& refs, const CWordIndex& index, int maxRefs);

// Writes the word list database of index (its references in corpus order) with the
// header of typeName: records in byte order of the words, "\w", with counts "\c" and
// "\cz" (six digits with leading zeros), with references "\r" lines. Returns the number
// of records.
std::size_t WriteWordList(std::ostream& os, const CWordIndex& index,
                          const CWordListOptions& options, std::string_view typeName);

} // namespace crv
