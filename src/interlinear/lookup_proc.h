// The Lookup and Parse process: looks words of its From line up in lexicon tries and, as
// a Parse process, cuts them into prefixes, roots, suffixes and infixes whose forms are
// lexicon entries; failures get the failure mark, the word, a root guess or a change
// table's output.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "interlinear/interlinear_proc.h"
#include "interlinear/lexicon_trie.h"
#include "zentab/change_table.h"

namespace crv {

class CLangEnc;

// The parts a word of running text is cut into before it is looked up.
struct CSourceWord {
    std::size_t start = 0;                  // first byte of the token (after spaces)
    std::size_t end = 0;                    // end of the token (next space or line end)
    std::size_t coreStart = 0, coreEnd = 0; // the word looked up
    std::string leadPunc, trailPunc;
    char leadBreak = 0, trailBreak = 0;
    bool hasForced = false;
    std::string forced;
    std::size_t forcedEnd = 0; // after the forced gloss end
};

class CLookupProc : public CInterlinearProc {
public:
    CLookupProc(CInterlinearProcList* owner, bool parse);
    CLookupProc(const CLookupProc& other);
    ~CLookupProc() override;

    Kind GetKind() const override { return m_parse ? Kind::Parse : Kind::Lookup; }
    std::unique_ptr<CInterlinearProc> Clone() const override;

    // --- settings (keys in brackets) ---
    bool applyZT = false;         // bApplyZT
    std::string ztt;              // ZTT
    bool cr2Parse = false;        // bCR2Parse
    bool keepCap = false;         // bKeepCap
    bool keepPunc = false;        // bKeepPunc
    bool stopAtSemicolon = false; // bStopAtSemicolon
    std::string glossSeparator = ";";
    std::string failMark = "***";
    bool showFailMark = false;  // bShowFailMark (new processes: on)
    bool insertFail = false;    // bInsertFail
    bool showWord = false;      // bShowWord
    bool showRootGuess = false; // bShowRootGuess
    bool infixBefore = false;   // bInfixBefore
    bool preferPrefix = false;  // bPreferPrefix
    bool preferSuffix = false;  // bPreferSuffix (new Parse processes: on)
    bool noCompRoot = false;    // bNoCompRoot

    bool IsParse() const { return m_parse; }
    // The lexicon index of kind k (CLexiconTrie::Kind).
    CLexiconTrie& Trie(int k) { return *m_tries[static_cast<std::size_t>(k)]; }
    const CLexiconTrie& Trie(int k) const { return *m_tries[static_cast<std::size_t>(k)]; }
    // Suffix and infix indexes search the affix databases of the prefix index.
    void CopyAffixDatabases();
    // The run-time multiple-analysis switch (not saved): on, the affix search stops at
    // the first length whose stem parses and a found root ends the search; off, every
    // analysis is looked for.
    bool MultipleAnalysis() const { return m_multipleAnalysis; }
    void SetMultipleAnalysis(bool on) { m_multipleAnalysis = on; }

    ProcStatus Interlinearize(CInterlinearRun& run, CColumn& column) override;
    bool SpellCheckFails(CInterlinearRun& run, std::string_view word) override;
    void WriteProperties(ObjectStream& os) const override;
    bool ReadProperty(ObjectStream& is, CDatabaseType& type) override;
    void PropertiesConfirmed() override;
    void InvalidateIndexes() override;
    void OnMarkerUpdate(const CMarkerUpdate& update) override;

    // --- the steps, public for crv parse and the tests ---
    // Builds the indexes that are not built.
    void EnsureBuilt(COpenDatabases& dbs);
    // Every parse of word in order of discovery (duplicates kept); run gives the
    // messages' once-per-word state.
    std::vector<std::string> ParseWord(std::string_view word, bool rootGuess, bool& cyclic);
    // Whole-word lookup of text (may run past the word: phrases); matched is set.
    std::vector<std::string> LookupWord(std::string_view text, std::size_t& matched);
    // Cuts the token at pos of line.
    CSourceWord CutWord(std::string_view line, std::size_t pos) const;
    // The clean-up of a CR2 style parse's output.
    std::string CleanUp(std::string_view output) const;

private:
    struct ParseState {
        int calls = 0;
        bool cyclic = false;
        bool rootGuess = false;
        std::size_t room = 0;
    };
    bool Parse(std::string_view word, std::vector<std::string>& results, int depth,
               ParseState& state);
    bool StripPrefixes(std::string_view word, std::vector<std::string>& results, int depth,
                       ParseState& state);
    bool StripSuffixes(std::string_view word, std::vector<std::string>& results, int depth,
                       ParseState& state);
    bool StripInfixes(std::string_view word, std::vector<std::string>& results, ParseState& state);
    bool CompoundRoots(std::string_view word, std::vector<std::string>& results, ParseState& state);
    // The word's output for one position; empty status Stop when the user cancelled.
    ProcStatus ProcessWord(CInterlinearRun& run, std::string_view line, std::size_t pos,
                           std::string& output, std::size_t& extent);
    std::string FailureOutput(CInterlinearRun& run, const std::string& word, bool parsed,
                              bool& stop, const CSourceWord& sw);
    std::string Finish(const CSourceWord& sw, std::string output, std::string_view line) const;
    const CLangEnc* SourceEnc() const;
    CTrieSettings Settings() const;

    bool m_parse;
    bool m_multipleAnalysis = true;
    std::array<std::unique_ptr<CLexiconTrie>, 5> m_tries;
    CChangeTable m_table;
    bool m_tableTried = false;
    COpenDatabases* m_dbs = nullptr;
};

} // namespace crv
