// Text corpora: named lists of standard format text files in one language, with the
// markers that hold their words and references; and the project-wide set of corpora with
// the last choices of the word list and concordance dialogs (the project file's CorpusSet).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/object_stream.h"
#include "base/set.h"
#include "base/unknown_entries.h"

namespace crv {

// What the Text Corpus Properties dialog edits.
struct CCorpusProperties {
    std::string langEnc = "Default"; // the language of the words, by name
    std::vector<std::string> files;  // in processing order, as the user chose them
    std::string wordMarkers = "\\v \\q \\q2 \\m \\p";
    std::string bookMarker = "\\id";
    std::string chapMarker = "\\c";
    std::string verseMarker = "\\v";
    // Empty: beside the first file, named after the corpus (see DefaultWordIndexPath).
    std::string wordIndex;
    std::string wordListOutput = "wordlist.db";
    bool operator==(const CCorpusProperties&) const = default;
};

class CCorpus : public CSetEl {
public:
    static constexpr std::string_view kNewName = "added";

    explicit CCorpus(std::string name, CCorpusProperties props = {});

    CCorpusProperties& Properties() { return m_props; }
    const CCorpusProperties& Properties() const { return m_props; }
    const UnknownEntries& Carried() const { return m_carried; }

    // The object "\+Corpus NAME" ... "\-Corpus" (its begin line already read).
    void Read(ObjectStream& is);
    void Write(ObjectStream& os) const;

private:
    friend class CCorpusSet;
    CCorpusProperties m_props;
    UnknownEntries m_carried;
    UnknownEntries m_carriedFiles; // inside FilesList
};

// The match kinds of a concordance search, as ConcordanceSearchType stores them.
enum class MatchKind { Middle = 0, Start = 1, End = 2, Whole = 3 };

struct CWordListChoices {
    std::string corpus;
    bool counts = true;
    bool refs = true;
    bool limitRefs = true;
    int maxRefs = 10;
    bool operator==(const CWordListChoices&) const = default;
};

struct CConcordanceChoices {
    std::string corpus;
    std::string search;
    MatchKind kind = MatchKind::Whole;
    bool limitMatches = true;
    int maxMatches = 1000;
    bool matchCase = false;
    std::string output = "lookup.db";
    bool operator==(const CConcordanceChoices&) const = default;
};

class CCorpusSet {
public:
    static constexpr std::string_view kObjectName = "CorpusSet";

    CCorpusSet() = default;
    CCorpusSet(const CCorpusSet&) = delete;
    CCorpusSet& operator=(const CCorpusSet&) = delete;

    const CSet<CCorpus>& Corpora() const { return m_corpora; }
    CCorpus* Find(std::string_view name) const { return m_corpora.Search(name); }
    // A new corpus under name (made unique) with props; the set owns it.
    CCorpus* Add(std::string_view name, CCorpusProperties props = {});
    // Renames corpus (the caller checked the name) and keeps the dialogs' last choices
    // pointing at it.
    void Rename(CCorpus* corpus, std::string_view name);
    void Delete(CCorpus* corpus);
    // Refuses an empty name or one another corpus than except has, with the message.
    bool CheckName(std::string_view name, const CCorpus* except) const;

    CWordListChoices& WordList() { return m_wordList; }
    const CWordListChoices& WordList() const { return m_wordList; }
    CConcordanceChoices& Concordance() { return m_concordance; }
    const CConcordanceChoices& Concordance() const { return m_concordance; }

    // Nothing to write: no corpus, every choice at its default, nothing carried.
    bool IsDefault() const;

    // Reads "\+CorpusSet" ... "\-CorpusSet" when it is the current entry; an end line of
    // enclosingName ends an object whose own end line is missing.
    bool Read(ObjectStream& is, std::string_view enclosingName = {});
    void Write(ObjectStream& os) const;

private:
    CSet<CCorpus> m_corpora;
    CWordListChoices m_wordList;
    CConcordanceChoices m_concordance;
    UnknownEntries m_carried;
};

// The markers of a marker list text ("\v \q \q2"), without their backslashes.
std::vector<std::string> MarkerNames(std::string_view text);
// One marker name, without its backslash and surrounding white space.
std::string MarkerName(std::string_view text);

} // namespace crv
