// A lexicon index of a Lookup or Parse process: a byte trie from key text to the lexicon
// entries that have it, built from the lexicon databases the index names, plus the
// reduplication and character-class patterns kept beside it. Five per process: whole-word
// lookup, prefixes, roots, suffixes (keys stored reversed), infixes.
//
// Stored form (inside the process):
//   \+triLook         (or triPref, triRoot)
//   \dbtyp TYPE
//   \+drflst ... \-drflst   (the lexicon databases, as a jump path stores them)
//   \+mrflst
//   \mkr MARKER       (one per key marker)
//   \-mrflst
//   \Out MARKER
//   \-triLook
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/unknown_entries.h"
#include "engine/db_ref.h"
#include "engine/jump.h"

namespace crv {

class CLangEnc;
class CRecord;

// What an index knows of its process: the break characters that make affix shapes, the
// encoding of the words searched (case pairs, variables, units), the gloss separator cut.
struct CTrieSettings {
    std::string breaks = "-";
    const CLangEnc* enc = nullptr;
    bool stopAtSeparator = false;
    std::string separator = ";";
};

class CLexiconTrie : private CIndexSetListener {
public:
    enum Kind { kLookup = 0, kPrefix = 1, kRoot = 2, kSuffix = 3, kInfix = 4 };
    // Search flags.
    static constexpr int kWordEnd = 1;    // matches must end at a word boundary
    static constexpr int kLowerRetry = 2; // retry with the first character lowered
    static constexpr int kLongest = 4;    // keep only the longest matches

    struct Entry {
        const CRecord* record = nullptr; // null once taken out
        std::string value;
        std::uint32_t next = 0; // next entry of the same node (index + 1; 0: none)
    };
    struct Match {
        std::size_t length = 0; // bytes of the text matched
        const Entry* entry = nullptr;
    };

    explicit CLexiconTrie(Kind kind);
    CLexiconTrie(const CLexiconTrie& other);
    CLexiconTrie& operator=(const CLexiconTrie& other);
    ~CLexiconTrie() override;

    Kind GetKind() const { return m_kind; }

    // --- settings ---
    CDbRefList& Databases() { return m_dbs; }
    const CDbRefList& Databases() const { return m_dbs; }
    std::string dbType;
    std::vector<std::string> matchMarkers;
    std::string outMarker;
    UnknownEntries unknown;
    // Reads "\+name" when it is the current entry.
    bool Read(ObjectStream& is, std::string_view name, std::string_view base,
              const CFileLocator& locate);
    void Write(ObjectStream& os, std::string_view name) const;
    // Markers renamed in the lexicon type follow.
    bool RenameMarker(std::string_view oldName, std::string_view newName);

    // --- building ---
    // Built on the first search after it was marked unbuilt.
    bool IsBuilt() const { return m_built; }
    // Built while some of its databases were not open, and one of them is open now.
    bool MissesOpenedDatabase(COpenDatabases& dbs, std::string_view base);
    void Invalidate();
    // Fills the trie from the open databases of its list (others are skipped and kept
    // in the list); progress "Building interlinear indexes", stepped every 100 records.
    void Build(COpenDatabases& dbs, std::string_view base, const CTrieSettings& settings);
    // Nothing was entered.
    bool IsEmpty() const { return m_keys == 0 && m_patterns.empty(); }
    std::size_t KeyCount() const { return m_keys; }

    // --- searching (the index must be built) ---
    // The matches at the start of text, longest first (suffixes: text is searched
    // reversed, so pass the word as it stands).
    std::vector<Match> Find(std::string_view text, int flags) const;
    // The values of the matches at the start of text; matched is the longest match's
    // length. False when nothing matched.
    bool Lookup(std::string_view text, std::vector<std::string>& results, std::size_t& matched,
                int flags) const;

    // The text of a suffix index's keys: units in reverse order, "[name]" groups whole.
    static std::string Reversed(std::string_view text, const CLangEnc* enc);

private:
    struct Node {
        std::uint32_t firstChild = 0;  // node index, 0: none
        std::uint32_t nextSibling = 0; // node index, 0: none
        std::uint32_t firstEntry = 0;  // entry index + 1, 0: none
        unsigned char byte = 0;
    };
    struct Pattern {
        std::string key;
        std::uint32_t entry = 0; // entry index
    };

    void Clear();
    void AddRecord(const CRecord& record, const CIndexSet& set);
    void AddKey(std::string_view key, const std::string& value, const CRecord* record);
    void RemoveRecord(const CRecord* record);
    std::uint32_t Child(std::uint32_t node, unsigned char byte) const;
    std::uint32_t AddChild(std::uint32_t node, unsigned char byte);
    bool AtWordEnd(std::string_view text, std::size_t pos) const;
    void FindIn(std::string_view text, int flags, std::vector<Match>& out) const;
    // Length of text matched by a pattern, 0 when it does not match.
    std::size_t MatchPattern(const Pattern& p, std::string_view text) const;
    std::string ValueOf(std::string value) const;

    // Kept current as lexicon records change; emptied when a lexicon closes.
    void OnEntriesRemoving(CIndex&, const std::vector<const CIndexEntry*>&) override {}
    void OnSetClosing(CIndexSet& set) override;
    void OnSetRenamed(CIndexSet& set, const std::string& newPath) override;
    void OnRecordsAdded(CIndexSet& set, const std::vector<CRecord*>& records) override;
    void OnRecordChanged(CIndexSet& set, CRecord* record) override;
    void OnRecordDeleting(CIndexSet& set, CRecord* record) override;
    void Listen(CIndexSet* set, CDbRef* ref);
    bool IsListening(const CIndexSet* set) const;
    void StopListening();

    Kind m_kind;
    CDbRefList m_dbs;
    bool m_built = false;
    std::size_t m_missing = 0; // references whose database was not open at the build
    CTrieSettings m_settings;
    std::vector<Node> m_nodes;
    std::vector<Entry> m_entries;
    std::vector<Pattern> m_patterns;
    std::size_t m_keys = 0;
    std::unordered_map<const CRecord*, std::vector<std::uint32_t>> m_byRecord;
    // The databases the trie was built from, each with the reference that found it.
    std::vector<std::pair<CIndexSet*, CDbRef*>> m_listening;
};

} // namespace crv
