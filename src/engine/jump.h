// Jumps: the word a jump starts from, the search along a jump path with its dialogs
// (Jump To, No Matches, Multiple Matches, Select Database), the close warning's test,
// and the jump path editor's rules. Windows are the application's business: the result
// names the target database, index and position.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/db_ref.h"
#include "engine/key_search.h"

namespace crv {

class CLangEnc;
class CMarker;

// Whether the unit at pos is part of a word: not a space, and defined in the
// encoding's default sort order. Bytes the encoding has no unit for at all (letters of
// a script it was not set up for) count as word characters, never as punctuation;
// without an encoding, ASCII letters and digits and every byte above ASCII do.
bool IsWordCharacter(const CLangEnc* enc, std::string_view text, std::size_t pos);

// The word at a caret in a field's text: empty between two spaces (or line breaks, or
// the text's ends); else from after the nearest space or line break before the caret,
// leading punctuation skipped, up to the first character that is not a word character.
std::string JumpWordAt(std::string_view text, std::size_t caret, const CLangEnc* enc);
// The word of a selection inside one field: the selected text, or empty across a line
// break.
std::string JumpWordOfSelection(std::string_view selected);

// One match of a jump: the database, the index searched there, the entry.
struct CJumpMatch {
    CIndexSet* db = nullptr;
    CIndex* index = nullptr;
    CIndexPos pos;
};

// The path a jump searches with the databases it can see: a database type's jump path,
// or none (the current database alone).
struct CJumpScope {
    CDbRefList* refs = nullptr; // null or empty: the current database
    std::string base;           // folder of relative paths
    COpenDatabases* dbs = nullptr;
    CIndexSet* current = nullptr;
    bool showWholePath = false;
};

// The rows of the Multiple Matches list: the matching field's text; with the database
// type's multiple-match marker, a tab and that field's text; when the matches come from
// more than one database, a tab and the database's file name (full path when asked).
std::vector<std::string> MultipleMatchRows(const std::vector<CJumpMatch>& matches,
                                           COpenDatabases& dbs, bool showWholePath);

class CJumpDialogs {
public:
    using Choice = CKeySearchDialogs::Choice;
    virtual ~CJumpDialogs() = default;
    // "Jump To" (or its Jump Insert form): the user edits the key and match settings;
    // false on Cancel. lang is the key's encoding.
    virtual bool JumpTo(CKeySearch& search, bool insertMode, const CLangEnc* lang) = 0;
    // "No Matches" ("Can't find:" and the key): Insert only when canInsert.
    virtual Choice NoMatches(const CKeySearch& search, bool canInsert) = 0;
    // "Multiple Matches": rows as MultipleMatchRows makes them; Take sets row.
    virtual Choice MultipleMatches(const std::vector<CJumpMatch>& matches,
                                   const std::vector<std::string>& rows, bool canInsert,
                                   std::size_t& row) = 0;
    // "Select Database" ("&Database to insert record into:"); nullopt on Cancel.
    virtual std::optional<std::size_t> SelectDatabase(const std::vector<std::string>& names) = 0;
};

// Through the platform services: Jump To accepts the key as given once (a second ask
// cancels), No Matches defaults to Cancel, Multiple Matches and Select Database to the
// first row. tookFirst is set when a choice among several matches was left to the
// default, so that crv can say so.
class CPlatformJumpDialogs : public CJumpDialogs {
public:
    bool JumpTo(CKeySearch& search, bool insertMode, const CLangEnc* lang) override;
    Choice NoMatches(const CKeySearch& search, bool canInsert) override;
    Choice MultipleMatches(const std::vector<CJumpMatch>& matches,
                           const std::vector<std::string>& rows, bool canInsert,
                           std::size_t& row) override;
    std::optional<std::size_t> SelectDatabase(const std::vector<std::string>& names) override;

private:
    int m_asked = 0;
};

struct CJumpResult {
    enum class Outcome { Cancelled, Found, Insert };
    Outcome outcome = Outcome::Cancelled;
    CIndexSet* target = nullptr;
    CIndex* index = nullptr; // the reference's index (default index of the current db)
    CIndexPos pos;           // the match (Found)
    std::string key;         // the key searched (Insert)
};

// Matches of search along the scope, at most 500 in all, in path order.
std::vector<CJumpMatch> CollectJumpMatches(const CJumpScope& scope, const CKeySearch& search);

// The jump search: searchAtOnce (a selection) skips the Jump To dialog on the first pass.
CJumpResult RunJumpSearch(const CJumpScope& scope, CKeySearch& search, bool insertMode,
                          bool searchAtOnce, CJumpDialogs& dialogs, const CLangEnc* lang = nullptr);

// The text of the close warning.
inline constexpr std::string_view kJumpCloseWarning =
    "This database is referenced by a jump path.  Selecting Yes and closing it will disable "
    "jumps to records within this database until it is reopened.  Do you wish to close this "
    "database anyway?";

// The jump path editor ("Jump Path"): works on a copy of the path; Apply puts it back.
class CJumpPathEditor {
public:
    CJumpPathEditor(const CDbRefList& path, std::string base, COpenDatabases& dbs,
                    bool showWholePath);

    // "&Available\nDatabases": the open databases by file name (full path when shown).
    std::vector<std::string> Available() const;
    // "Field to &Search": the markers of an available database's type, record marker first.
    std::vector<std::string> FieldsOf(std::size_t available) const;
    // "Databases\nIn &Path" with the "Field to Search" column (tab-separated).
    std::vector<std::string> InPath() const;

    // "&First >", "&Last >", "&Insert >" (before the selected row of the path); marker
    // empty for the record marker. False when the database is already in the path.
    bool AddFirst(std::size_t available, const std::string& marker);
    bool AddLast(std::size_t available, const std::string& marker);
    bool InsertBefore(std::size_t row, std::size_t available, const std::string& marker);
    // "< &Remove", "< &Clear".
    void Remove(std::size_t row);
    void Clear();
    bool ShowWholePath() const { return m_showWholePath; }
    void SetShowWholePath(bool b) { m_showWholePath = b; }
    // OK: the edited path replaces path (true when it differs).
    bool Apply(CDbRefList& path) const;

private:
    std::string Shown(const std::string& path) const;
    bool InsertAt(std::size_t at, std::size_t available, const std::string& marker);

    CDbRefList m_path;
    std::string m_base;
    COpenDatabases* m_dbs;
    std::vector<CIndexSet*> m_open;
    bool m_showWholePath;
};

} // namespace crv
