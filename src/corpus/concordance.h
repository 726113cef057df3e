// The concordance: every occurrence of a word or phrase in a corpus, found through its
// word index and read back from its file with the text before and after it.
//
// A search text of several words (a phrase) matches where its words follow each other
// in one field with nothing but non-word characters between them. The match kind applies
// to the phrase as a whole: Whole, every word equals; Start, the last word may be the
// beginning of a word; End, the first may be the end of a word; Middle, both. Words are
// compared in the index's mapped (lower-case) form, and as written with match case.
// Beginnings and ends fall between units: "n" does not begin a word that starts with
// the digraph "ng".
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/corpus.h"
#include "corpus/corpus_scan.h"

namespace crv {

struct CConcordanceOptions {
    std::string search;
    MatchKind kind = MatchKind::Whole;
    bool matchCase = false;
    int maxMatches = 0; // 0: all
};

struct CConcordanceMatch {
    CWordRef ref;
    std::string before;
    std::string target; // the text matched, as written
    std::string after;
};

// How much text is kept before and after an occurrence, in characters.
inline constexpr std::size_t kContextLength = 60;

// Whether word matches search at one end or both, between units of langEnc.
enum class WordPart { Whole, Prefix, Suffix, Contains };
bool WordPartMatches(const CLangEnc& langEnc, std::string_view word, std::string_view search,
                     WordPart part);

// The occurrences of the search text in corpus order, at most maxMatches. Failed after
// the message of a file that cannot be read back.
RunStatus FindConcordance(const CCorpusScan& scan, const CWordIndex& index,
                          const CConcordanceOptions& options, std::vector<CConcordanceMatch>& out);

// "%s %d:%d" and the sort form "%s %03d:%03d".
std::string ReferenceText(const CWordIndex& index, const CWordRef& ref, bool zeros);

// Writes the concordance database with the header of typeName: per match "\concref",
// "\concrefz", "\concbef", "\conctar", "\concaft".
void WriteConcordance(std::ostream& os, const CWordIndex& index,
                      const std::vector<CConcordanceMatch>& matches, std::string_view typeName);

} // namespace crv
