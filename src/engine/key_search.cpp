// Key search: settings, matches, and the Search and Record Insert commands.
#include "engine/key_search.h"

#include <optional>
#include <utility>

#include "base/message_text.h"
#include "base/object_stream.h"
#include "base/platform.h"
#include "record/record.h"
#include "schema/sort_order.h"

namespace crv {

void CKeySearch::Write(ObjectStream& os, std::string_view name) const {
    os.WriteBeginMarker("key", name);
    SettingsObjectWriter keep(os, kept);
    os.WriteString("fldPri", key);
    os.WriteBool("MatchWhole", matchWhole);
    os.WriteChar("match_char", MatchCodeOfMask(mask));
    os.WriteEndMarker("key");
}

bool CKeySearch::Read(ObjectStream& is) {
    if (!is.ReadBeginMarker("key"))
        return false;
    key.clear();
    secondary.clear();
    matchWhole = false;
    mask = kMatchPrimary;
    kept.Clear();
    SettingsObjectReader reader(is, "key", kept);
    while (reader.Next()) {
        char c = 0;
        if (is.ReadString("fldPri", key) || is.ReadBool("MatchWhole", matchWhole))
            continue;
        if (is.ReadChar("match_char", c)) {
            int m = MatchMaskOfCode(c);
            mask = m < 0 ? kMatchPrimary : m;
            continue;
        }
        reader.Keep();
    }
    return true;
}

CKeyRecordSet::CKeyRecordSet(const CIndex& index, const CKeySearch& search) {
    const std::string typed = index.MakeTypedKey(search.key, search.secondary);
    // Every mask a search offers compares primary weights first, as the index is sorted.
    auto [first, last] = index.CandidateRange(typed);
    for (std::size_t i = first; i < last; ++i) {
        const CIndexEntry* e = index.EntryAt(i);
        if (!e->HasField() || !index.KeyMatches(typed, e->Key(), search.mask, search.matchWhole))
            continue;
        if (m_matches.size() == kMaxMatches) {
            m_more = true;
            break;
        }
        m_matches.push_back(index.PosAt(i));
    }
}

std::string MatchRowText(const CIndexEntry& entry, const CMarker* show) {
    const CField* pri = entry.Field();
    std::string text = pri ? pri->Text() : std::string();
    if (show) {
        const CField* f = entry.Record()->FindRelatedField(show, entry.Field());
        text += '\t';
        if (f)
            text += f->Text();
    }
    return text;
}

bool CPlatformKeySearchDialogs::AskKey(CKeySearch&, std::string_view, std::string_view) {
    return m_asked++ == 0;
}

CKeySearchDialogs::Choice CPlatformKeySearchDialogs::NoMatches(const CKeySearch& search) {
    auto chosen = platform().ChooseItem(FormatMessage("No Matches\nCan't find: %1", {search.key}),
                                        {"Insert", "Try Again", "Cancel"}, 2);
    if (!chosen)
        return Choice::Cancel;
    return *chosen == 0 ? Choice::Insert : *chosen == 1 ? Choice::TryAgain : Choice::Cancel;
}

CKeySearchDialogs::Choice CPlatformKeySearchDialogs::MultipleMatches(const CIndex&,
                                                                     const CKeyRecordSet& matches,
                                                                     bool canInsert,
                                                                     std::size_t& row) {
    std::vector<std::string> items;
    for (const CIndexPos& p : matches.Matches())
        items.push_back(MatchRowText(*p.Entry(), nullptr));
    return ChooseAmongMatches(std::move(items), canInsert, row);
}

CKeySearchDialogs::Choice ChooseAmongMatches(std::vector<std::string> items, bool canInsert,
                                             std::size_t& row) {
    const std::size_t n = items.size();
    if (canInsert)
        items.push_back("Insert");
    items.push_back("Try Again");
    auto chosen = platform().ChooseItem("Multiple Matches", items, 0);
    if (!chosen || *chosen >= items.size())
        return CKeySearchDialogs::Choice::Cancel;
    if (*chosen < n) {
        row = *chosen;
        return CKeySearchDialogs::Choice::Take;
    }
    if (canInsert && *chosen == n)
        return CKeySearchDialogs::Choice::Insert;
    return CKeySearchDialogs::Choice::TryAgain;
}

namespace {

// The window's position of a match found in another index of the same database.
CIndexPos PosInWindow(const CIndex& window, const CIndexPos& match) {
    CIndexPos p = window.Find(match.Record(), match.Field());
    if (!p.IsValid())
        p = window.FindRecord(match.Record());
    return p.IsValid() ? p : window.First();
}

KeyCommandResult Inserted(CIndexSet& set, CIndex& index, const CKeySearch& search) {
    return {KeyCommandResult::Outcome::Inserted, set.AddNewRecord(search.key, index)};
}

KeyCommandResult Moved(const CIndex& window, const CIndexPos& match) {
    return {KeyCommandResult::Outcome::Moved, PosInWindow(window, match)};
}

// The answer to the Multiple Matches list of matches found in searched; nullopt for
// Try Again.
std::optional<KeyCommandResult> ChooseMatch(CIndexSet& set, CIndex& index, const CKeySearch& search,
                                            const CIndex& searched, const CKeyRecordSet& matches,
                                            CKeySearchDialogs& dialogs) {
    using Choice = CKeySearchDialogs::Choice;
    std::size_t row = 0;
    Choice c = dialogs.MultipleMatches(searched, matches, true, row);
    if (c == Choice::Take && row < matches.Matches().size())
        return Moved(index, matches.Matches()[row]);
    if (c == Choice::Insert)
        return Inserted(set, index, search);
    if (c == Choice::TryAgain)
        return std::nullopt;
    return KeyCommandResult{};
}

} // namespace

KeyCommandResult RunSearchCommand(CIndexSet& set, CIndex& index, CKeySearch& search,
                                  CKeySearchDialogs& dialogs) {
    using Choice = CKeySearchDialogs::Choice;
    for (;;) {
        if (!dialogs.AskKey(search, "Search", "&Key to search for:"))
            return {};
        CKeyRecordSet matches(index, search);
        if (!matches.Found()) {
            Choice c = dialogs.NoMatches(search);
            if (c == Choice::Insert)
                return Inserted(set, index, search);
            if (c == Choice::TryAgain)
                continue;
            return {};
        }
        if (matches.Matches().size() == 1)
            return Moved(index, matches.Matches()[0]);
        if (auto result = ChooseMatch(set, index, search, index, matches, dialogs))
            return *result;
    }
}

KeyCommandResult RunRecordInsertCommand(CIndexSet& set, CIndex& index, CKeySearch& search,
                                        CKeySearchDialogs& dialogs) {
    for (;;) {
        if (!dialogs.AskKey(search, "Record Insert", "&Key to insert:"))
            return {};
        // Existing records are found by their record-marker key, whatever the window sorts by.
        CKeySearch byRecord = search;
        byRecord.secondary.clear();
        CKeyRecordSet matches(set.DefaultIndex(), byRecord);
        if (!matches.Found())
            return Inserted(set, index, search);
        if (auto result = ChooseMatch(set, index, search, set.DefaultIndex(), matches, dialogs))
            return *result;
    }
}

} // namespace crv
