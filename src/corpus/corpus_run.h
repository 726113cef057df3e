// A word list or concordance run over a corpus: the word index brought up to date, the
// generated database type, and the results written as a new database. Every failure is
// told; the run's own failure ends with "Error in creating word list." or "Error in
// performing concordance lookup.".
#pragma once

#include <string>
#include <string_view>

#include "corpus/concordance.h"
#include "corpus/corpus.h"
#include "corpus/corpus_scan.h"
#include "corpus/word_list.h"

namespace crv {

class CDatabaseType;
class CDatabaseTypeSet;
class CLangEnc;
class CLangEncSet;

// What a run works with: the project's encodings and types, and the folder that
// relative paths of corpora and outputs are taken in.
struct CCorpusEnvironment {
    CLangEncSet& langEncs;
    CDatabaseTypeSet& types;
    std::string baseFolder;
};

// What a run made, for the window that shows it.
struct CCorpusResult {
    std::string outputPath;
    std::string typeName;
    std::size_t records = 0;
    bool rightToLeft = false; // the corpus's language is written right to left
    bool byBook = false;      // concordance references sort by "Book References"
    CIndexUpdateInfo update;
};

inline constexpr std::string_view kBookReferences = "Book References";

// The generated types: "Word List- " and the language name (markers w, c, cz, r), and
// "Concordance- " (or "Concord_Book- " with references sorted by "Book References",
// whose absence is told) with concref, concrefz, concbef, conctar, concaft. Made when
// missing, written at once; an existing type is used as it is.
CDatabaseType* WordListType(CDatabaseTypeSet& types, CLangEnc& langEnc);
CDatabaseType* ConcordanceType(CDatabaseTypeSet& types, CLangEnc& langEnc, bool& byBook);

// Whether a run may write its results to path: a file that is there and is not a word
// list or concordance (by its header's type) is replaced only when the user says so.
bool MayReplaceOutput(const std::string& path);

bool MakeWordList(CCorpusEnvironment& env, const CCorpus& corpus, const CWordListOptions& options,
                  const std::string& output, CCorpusResult& result);
bool MakeConcordance(CCorpusEnvironment& env, const CCorpus& corpus,
                     const CConcordanceOptions& options, const std::string& output,
                     CCorpusResult& result);

} // namespace crv
