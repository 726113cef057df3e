#include "engine/jump.h"

#include <algorithm>
#include <cctype>

#include "base/message_text.h"
#include "base/platform.h"
#include "schema/database_type.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv {

// ---------------------------------------------------------------- the word

namespace {

bool IsGap(char c) { return c == ' ' || c == '\n'; }

bool IsWordAt(std::string_view text, std::size_t pos, const CLangEnc* enc) {
    return IsWordCharacter(enc, text, pos);
}

// The byte length of the unit at pos.
std::size_t UnitLength(std::string_view text, std::size_t pos, const CLangEnc* enc) {
    if (!enc)
        return 1;
    std::size_t p = pos;
    enc->NextUnit(text, p);
    return std::max<std::size_t>(p - pos, 1);
}

} // namespace

bool IsWordCharacter(const CLangEnc* enc, std::string_view text, std::size_t pos) {
    if (pos >= text.size())
        return false;
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c == ' ' || c == '\n' || c == '\t')
        return false;
    if (!enc)
        return c >= 0x80 || std::isalnum(c);
    if (enc->IsWordChar(text, pos))
        return true;
    const char* p = text.data() + pos;
    return c >= 0x80 && enc->NextUnitCode(p, text.data() + text.size()) == CLangEnc::kUnknownCode;
}

std::string JumpWordAt(std::string_view text, std::size_t caret, const CLangEnc* enc) {
    caret = std::min(caret, text.size());
    bool gapBefore = caret == 0 || IsGap(text[caret - 1]);
    bool gapAfter = caret == text.size() || IsGap(text[caret]);
    if (gapBefore && gapAfter)
        return {};
    std::size_t start = caret;
    while (start > 0 && !IsGap(text[start - 1]))
        --start;
    // Leading punctuation: anything before the first word character of the chunk.
    while (start < text.size() && !IsGap(text[start]) && !IsWordAt(text, start, enc))
        start += UnitLength(text, start, enc);
    std::size_t end = start;
    while (IsWordAt(text, end, enc))
        end += UnitLength(text, end, enc);
    return std::string(text.substr(start, std::min(end, text.size()) - start));
}

std::string JumpWordOfSelection(std::string_view selected) {
    if (selected.find('\n') != std::string_view::npos)
        return {};
    return std::string(selected);
}

// ---------------------------------------------------------------- matches

namespace {

std::string ShownPath(COpenDatabases& dbs, const CIndexSet& set, bool whole) {
    std::string path = dbs.PathOf(set);
    return whole ? path : std::string(DbFileName(path));
}

} // namespace

std::vector<std::string> MultipleMatchRows(const std::vector<CJumpMatch>& matches,
                                           COpenDatabases& dbs, bool showWholePath) {
    bool several = false;
    for (const CJumpMatch& m : matches)
        several |= m.db != matches.front().db;
    std::vector<std::string> rows;
    rows.reserve(matches.size());
    for (const CJumpMatch& m : matches) {
        const CMarker* show = m.db->Type() ? m.db->Type()->MultipleMatchMarker() : nullptr;
        std::string row = MatchRowText(*m.pos.Entry(), show);
        if (several) {
            row += '\t';
            row += ShownPath(dbs, *m.db, showWholePath);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<CJumpMatch> CollectJumpMatches(const CJumpScope& scope, const CKeySearch& search) {
    std::vector<CJumpMatch> out;
    auto collect = [&](CIndexSet* db, CIndex* index) {
        CKeyRecordSet found(*index, search);
        for (const CIndexPos& p : found.Matches()) {
            if (out.size() == CKeyRecordSet::kMaxMatches)
                return;
            out.push_back({db, index, p});
        }
    };
    if (!scope.refs || scope.refs->IsEmpty() || !scope.dbs) {
        if (scope.current)
            collect(scope.current, &scope.current->DefaultIndex());
        return out;
    }
    for (CDbRef& ref : *scope.refs) {
        CIndex* index = ref.GetIndex(*scope.dbs, scope.base);
        if (index)
            collect(ref.Database(*scope.dbs, scope.base), index);
    }
    return out;
}

// ---------------------------------------------------------------- the dialogs

bool CPlatformJumpDialogs::JumpTo(CKeySearch&, bool, const CLangEnc*) { return m_asked++ == 0; }

CJumpDialogs::Choice CPlatformJumpDialogs::NoMatches(const CKeySearch& search, bool canInsert) {
    std::vector<std::string> items;
    if (canInsert)
        items.push_back("Insert");
    items.push_back("Try Again");
    items.push_back("Cancel");
    auto chosen = platform().ChooseItem(FormatMessage("No Matches\nCan't find: %1", {search.key}),
                                        items, items.size() - 1);
    if (!chosen || *chosen >= items.size())
        return Choice::Cancel;
    const std::string& item = items[*chosen];
    return item == "Insert"      ? Choice::Insert
           : item == "Try Again" ? Choice::TryAgain
                                 : Choice::Cancel;
}

CJumpDialogs::Choice CPlatformJumpDialogs::MultipleMatches(const std::vector<CJumpMatch>&,
                                                           const std::vector<std::string>& rows,
                                                           bool canInsert, std::size_t& row) {
    return ChooseAmongMatches(rows, canInsert, row);
}

std::optional<std::size_t>
CPlatformJumpDialogs::SelectDatabase(const std::vector<std::string>& names) {
    auto chosen =
        platform().ChooseItem("Select Database\n&Database to insert record into:", names, 0);
    if (!chosen || *chosen >= names.size())
        return std::nullopt;
    return chosen;
}

// ---------------------------------------------------------------- the search

namespace {

// The databases of the scope that could take a new record, each with the index its
// reference searches.
std::vector<CJumpMatch> InsertTargets(const CJumpScope& scope) {
    std::vector<CJumpMatch> out;
    if (!scope.refs || scope.refs->IsEmpty() || !scope.dbs) {
        if (scope.current && !scope.current->IsReadOnly())
            out.push_back({scope.current, &scope.current->DefaultIndex(), {}});
        return out;
    }
    for (CDbRef& ref : *scope.refs) {
        CIndexSet* db = ref.Database(*scope.dbs, scope.base);
        if (!db || db->IsReadOnly())
            continue;
        bool listed = false;
        for (const CJumpMatch& m : out)
            listed |= m.db == db;
        if (!listed)
            out.push_back({db, ref.GetIndex(*scope.dbs, scope.base), {}});
    }
    return out;
}

} // namespace

CJumpResult RunJumpSearch(const CJumpScope& scope, CKeySearch& search, bool insertMode,
                          bool searchAtOnce, CJumpDialogs& dialogs, const CLangEnc* lang) {
    using Choice = CJumpDialogs::Choice;
    const std::vector<CJumpMatch> targets = InsertTargets(scope);
    const bool canInsert = !targets.empty();
    auto insert = [&]() -> CJumpResult {
        CJumpResult r;
        if (targets.empty())
            return r;
        std::size_t chosen = 0;
        if (scope.refs && !scope.refs->IsEmpty()) {
            std::vector<std::string> names;
            for (const CJumpMatch& t : targets)
                names.push_back(ShownPath(*scope.dbs, *t.db, scope.showWholePath));
            auto pick = dialogs.SelectDatabase(names);
            if (!pick)
                return r;
            chosen = *pick;
        }
        r.outcome = CJumpResult::Outcome::Insert;
        r.target = targets[chosen].db;
        r.index = targets[chosen].index;
        r.key = search.key;
        return r;
    };
    for (bool first = true;; first = false) {
        if (!(first && searchAtOnce) && !dialogs.JumpTo(search, insertMode, lang))
            return {};
        std::vector<CJumpMatch> matches = CollectJumpMatches(scope, search);
        Choice c = Choice::Cancel;
        std::size_t row = 0;
        if (matches.empty()) {
            if (insertMode)
                return canInsert ? insert() : CJumpResult{};
            c = dialogs.NoMatches(search, canInsert);
        } else if (matches.size() == 1 && !insertMode) {
            c = Choice::Take;
        } else {
            std::vector<std::string> rows =
                scope.dbs ? MultipleMatchRows(matches, *scope.dbs, scope.showWholePath)
                          : std::vector<std::string>();
            if (!scope.dbs)
                for (const CJumpMatch& m : matches)
                    rows.push_back(MatchRowText(*m.pos.Entry(), nullptr));
            c = dialogs.MultipleMatches(matches, rows, canInsert, row);
        }
        if (c == Choice::Take && row < matches.size()) {
            CJumpResult r;
            r.outcome = CJumpResult::Outcome::Found;
            r.target = matches[row].db;
            r.index = matches[row].index;
            r.pos = matches[row].pos;
            r.key = search.key;
            return r;
        }
        if (c == Choice::Insert && canInsert)
            return insert();
        if (c != Choice::TryAgain)
            return {};
    }
}

// ---------------------------------------------------------------- the path editor

CJumpPathEditor::CJumpPathEditor(const CDbRefList& path, std::string base, COpenDatabases& dbs,
                                 bool showWholePath)
    : m_path(path), m_base(std::move(base)), m_dbs(&dbs), m_open(dbs.AllOpen()),
      m_showWholePath(showWholePath) {}

std::string CJumpPathEditor::Shown(const std::string& path) const {
    return m_showWholePath ? path : std::string(DbFileName(path));
}

std::vector<std::string> CJumpPathEditor::Available() const {
    std::vector<std::string> out;
    for (CIndexSet* set : m_open)
        out.push_back(Shown(m_dbs->PathOf(*set)));
    return out;
}

std::vector<std::string> CJumpPathEditor::FieldsOf(std::size_t available) const {
    std::vector<std::string> out;
    if (available >= m_open.size())
        return out;
    const CMarkerSet& markers = m_open[available]->Markers();
    if (const CMarker* rm = markers.RecordMarker())
        out.push_back(rm->Name());
    for (const CMarker& m : markers)
        if (&m != markers.RecordMarker())
            out.push_back(m.Name());
    return out;
}

std::vector<std::string> CJumpPathEditor::InPath() const {
    std::vector<std::string> out;
    for (const CDbRef& ref : m_path) {
        std::string marker = ref.MarkerName();
        if (marker.empty()) {
            CIndexSet* db = m_dbs->FindOpen(ref.FullPath(m_base));
            if (db && db->RecordMarker())
                marker = db->RecordMarker()->Name();
        }
        out.push_back(Shown(ref.Path()) + "\t" + marker);
    }
    return out;
}

bool CJumpPathEditor::InsertAt(std::size_t at, std::size_t available, const std::string& marker) {
    if (available >= m_open.size())
        return false;
    CIndexSet* db = m_open[available];
    for (const CDbRef& ref : m_path)
        if (m_dbs->FindOpen(ref.FullPath(m_base)) == db)
            return false;
    std::string name = marker;
    if (db->RecordMarker() && name == db->RecordMarker()->Name())
        name.clear();
    auto* ref = new CDbRef(m_dbs->PathOf(*db), name);
    CDbRef* before = m_path.GetFirst();
    for (std::size_t i = 0; before && i < at; ++i)
        before = m_path.GetNext(before);
    if (before)
        m_path.InsertBefore(before, ref);
    else
        m_path.Add(ref);
    return true; // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks): the path owns it
}

bool CJumpPathEditor::AddFirst(std::size_t available, const std::string& marker) {
    return InsertAt(0, available, marker);
}

bool CJumpPathEditor::AddLast(std::size_t available, const std::string& marker) {
    return InsertAt(m_path.Count(), available, marker);
}

bool CJumpPathEditor::InsertBefore(std::size_t row, std::size_t available,
                                   const std::string& marker) {
    return InsertAt(row, available, marker);
}

void CJumpPathEditor::Remove(std::size_t row) {
    CDbRef* ref = m_path.GetFirst();
    for (std::size_t i = 0; ref && i < row; ++i)
        ref = m_path.GetNext(ref);
    if (ref)
        m_path.Delete(ref);
}

void CJumpPathEditor::Clear() { m_path.DeleteAll(); }

bool CJumpPathEditor::Apply(CDbRefList& path) const {
    bool same = path.Count() == m_path.Count();
    const CDbRef* a = path.GetFirst();
    const CDbRef* b = m_path.GetFirst();
    for (; same && a && b; a = path.GetNext(a), b = m_path.GetNext(b))
        same = a->Path() == b->Path() && a->MarkerName() == b->MarkerName();
    if (same)
        return false;
    path = m_path;
    return true;
}

} // namespace crv
