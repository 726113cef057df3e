// Searching an index by a typed key: the search settings (CKeySearch, stored as the
// object "key"), the matches of one search (CKeyRecordSet), and the logic of the Search
// and Record Insert commands with their dialogs asked through CKeySearchDialogs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/kept_entries.h"
#include "engine/index_set.h"

namespace crv {

class ObjectStream;

// The key dialog's settings: the key text with any secondary texts, match whole field,
// and the match mask (3, 23, 7 or 15).
class CKeySearch {
public:
    std::string key;
    // Texts for the index's secondary markers, in order; missing or empty ones match any.
    std::vector<std::string> secondary;
    bool matchWhole = false;
    int mask = 3;
    KeptEntries kept; // entries of the object this version does not read

    // "\+key": fldPri, MatchWhole when set, match_char p/c/e/i. Window settings name the
    // object after its command ("\+key Search").
    void Write(ObjectStream& os, std::string_view name = {}) const;
    // Reads the object when it is the current entry; unknown letters keep mask 3.
    bool Read(ObjectStream& is);
};

// The entries of an index matching a search, in index order: at most 500, the search
// still counting as found when more exist.
class CKeyRecordSet {
public:
    static constexpr std::size_t kMaxMatches = 500;

    CKeyRecordSet(const CIndex& index, const CKeySearch& search);
    bool Found() const { return !m_matches.empty(); }
    const std::vector<CIndexPos>& Matches() const { return m_matches; }
    // More entries matched than were collected.
    bool HasMore() const { return m_more; }

private:
    std::vector<CIndexPos> m_matches;
    bool m_more = false;
};

// What the Search and Record Insert commands ask of the user. The desktop program shows
// its dialogs; CPlatformKeySearchDialogs asks through the platform services.
class CKeySearchDialogs {
public:
    enum class Choice { Take, Insert, TryAgain, Cancel };
    virtual ~CKeySearchDialogs() = default;
    // The key dialog (title, prompt "&Key to search for:" or "&Key to insert:"); the
    // user edits search. False on Cancel.
    virtual bool AskKey(CKeySearch& search, std::string_view title, std::string_view prompt) = 0;
    // "No Matches" ("Can't find:" and the key): Insert, Try Again or Cancel.
    virtual Choice NoMatches(const CKeySearch& search) = 0;
    // "Multiple Matches": Take (row set to the chosen match), Insert (when canInsert),
    // Try Again or Cancel.
    virtual Choice MultipleMatches(const CIndex& index, const CKeyRecordSet& matches,
                                   bool canInsert, std::size_t& row) = 0;
};

// Through the platform: the key dialog accepts the settings as they stand once (a
// command line cannot type a new key, so a second ask cancels), the other two are item
// choices whose default is the first match or Cancel.
class CPlatformKeySearchDialogs : public CKeySearchDialogs {
public:
    bool AskKey(CKeySearch& search, std::string_view title, std::string_view prompt) override;
    Choice NoMatches(const CKeySearch& search) override;
    Choice MultipleMatches(const CIndex& index, const CKeyRecordSet& matches, bool canInsert,
                           std::size_t& row) override;

private:
    int m_asked = 0;
};

// The text of a match row of the Multiple Matches list: the matching field's text,
// then a tab and the related field of show (the type's multiple-match marker) when given.
std::string MatchRowText(const CIndexEntry& entry, const CMarker* show);

// "Multiple Matches" through the platform: the rows, then Insert (when allowed) and Try
// Again; a row taken is put in row.
CKeySearchDialogs::Choice ChooseAmongMatches(std::vector<std::string> rows, bool canInsert,
                                             std::size_t& row);

struct KeyCommandResult {
    enum class Outcome { Cancelled, Moved, Inserted };
    Outcome outcome = Outcome::Cancelled;
    CIndexPos pos; // in the window's index
};

// The Search command on a window's index: key dialog, then no match (Insert, Try
// Again), one match (move), several (the list).
KeyCommandResult RunSearchCommand(CIndexSet& set, CIndex& index, CKeySearch& search,
                                  CKeySearchDialogs& dialogs);
// The Record Insert command: a key of the record marker; no match inserts at once, any
// match shows the list (go to one, Insert anyway, Try Again).
KeyCommandResult RunRecordInsertCommand(CIndexSet& set, CIndex& index, CKeySearch& search,
                                        CKeySearchDialogs& dialogs);

} // namespace crv
