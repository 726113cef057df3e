#include "engine/filter_element.h"

#include "base/object_stream.h"
#include "engine/filter_scope.h"
#include "record/record.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv {

namespace {

// The byte column of offset in its line: bytes since the last line break before it.
// Interlinear lines are aligned by these columns.
std::size_t ColumnOf(std::string_view text, std::size_t offset) {
    std::size_t nl = offset == 0 ? std::string_view::npos : text.rfind('\n', offset - 1);
    return nl == std::string_view::npos ? offset : offset - nl - 1;
}

// Fields of marker other than the record's first (which only names the record).
template <class Visit>
bool AnyFieldAfterFirst(const CRecord& record, const CMarker* marker, Visit visit) {
    const CField* first = record.GetFirst();
    for (const CField* f = first ? record.GetNext(first) : nullptr; f; f = record.GetNext(f))
        if (f->Marker() == marker && f->Marker()->LangEnc() && visit(*f))
            return true;
    return false;
}

// Fields of marker within the scope of the entry.
template <class Test>
bool AnyFieldInScope(const CFilterContext& ctx, const CMarker* marker, Test test) {
    CFieldScope scope = MarkerElementScope(*ctx.record, ctx.field, marker);
    for (const CField* f = scope.first; f && f != scope.end; f = ctx.record->GetNext(f))
        if (f->Marker() == marker && test(*f))
            return true;
    return false;
}

const CFilterMarkerText* AsMarkerText(const CFilterElement* e) {
    return e && e->IsMarkerText() ? static_cast<const CFilterMarkerText*>(e) : nullptr;
}

// The left side of a With at column: a marker text, or a With chain.
bool MatchesAtColumn(const CFilterElement* e, const CFilterContext& ctx, std::size_t column) {
    if (const CFilterMarkerText* text = AsMarkerText(e))
        return text->MatchesAtColumn(ctx, column);
    if (e && e->Kind() == FilterElementKind::With)
        return static_cast<const CFilterOperator*>(e)->MatchesAtColumn(ctx, column);
    return false;
}

} // namespace

bool CFilterElement::IsOperand() const {
    switch (m_kind) {
    case FilterElementKind::MarkerText:
    case FilterElementKind::MarkerDate:
    case FilterElementKind::LangText:
    case FilterElementKind::NonUnique:
        return true;
    default:
        return false;
    }
}

CFilterElementList CloneElements(const CFilterElementList& elements) {
    CFilterElementList copy;
    copy.reserve(elements.size());
    for (const auto& e : elements)
        copy.push_back(e->Clone());
    return copy;
}

CFilterMarker* ElementMarker(const CFilterElement& element) {
    if (auto* text = dynamic_cast<const CFilterMarkerText*>(&element))
        return &text->Marker();
    if (auto* date = dynamic_cast<const CFilterMarkerDate*>(&element))
        return &date->Marker();
    return nullptr;
}

// --- CFilterMarker ---

CFilterMarker::CFilterMarker(std::string name) : m_name(std::move(name)) {}

CFilterMarker::CFilterMarker(const CFilterMarker& other) : m_name(other.Name()) {
    Hold(other.m_marker.Get());
}

CFilterMarker::~CFilterMarker() { Hold(nullptr); }

const std::string& CFilterMarker::Name() const { return m_marker ? m_marker->Name() : m_name; }

void CFilterMarker::Hold(CMarker* marker) {
    if (marker)
        marker->IncSettingsRef();
    if (CMarker* old = m_marker.Get())
        old->DecSettingsRef();
    m_marker = marker;
    if (marker)
        m_name = marker->Name();
}

CMarker* CFilterMarker::Resolve(CMarkerSet* markers) {
    if (!m_marker && markers)
        if (CMarker* m = markers->Search(m_name))
            Hold(m);
    return m_marker.Get();
}

void CFilterMarker::OnMarkerUpdate(const CMarkerUpdate& update) {
    if (!m_marker || update.marker != m_marker.Get())
        return;
    // A marker held by settings is never merged away; should it happen all the same,
    // the element follows the survivor rather than hold a retired marker.
    Hold(update.mergedInto ? update.mergedInto : update.marker);
}

// --- CFilterPattern ---

CPatternMatcher& CFilterPattern::Matcher(const CFilterContext& ctx) const {
    if (!m_matcher || m_matcherMask != ctx.settings.mask) {
        m_matcher.emplace(*m_pattern, ctx.settings);
        m_matcherMask = ctx.settings.mask;
    }
    return *m_matcher;
}

bool CFilterPattern::MatchesText(const CFilterContext& ctx, const CLangEnc& langEnc,
                                 std::string_view text) const {
    if (!m_pattern)
        return false;
    CTextPos pos(text, langEnc);
    return ctx.matchWhole ? Matcher(ctx).MatchWhole(pos) : Matcher(ctx).Find(pos);
}

bool CFilterPattern::MatchesAt(const CFilterContext& ctx, const CLangEnc& langEnc,
                               std::string_view text, std::size_t offset) const {
    if (!m_pattern || offset > text.size())
        return false;
    CTextPos pos(text, langEnc, offset);
    return ctx.matchWhole ? Matcher(ctx).MatchWhole(pos) : Matcher(ctx).MatchAt(pos);
}

// --- CFilterMarkerText ---

CFilterMarkerText::CFilterMarkerText(const CFilterMarker& marker, const CFilterPattern& pattern)
    : CFilterElement(FilterElementKind::MarkerText), m_marker(marker), m_pattern(pattern) {}

bool CFilterMarkerText::Matches(const CFilterContext& ctx) const {
    const CMarker* m = m_marker.Resolve(ctx.markers);
    if (!m || !m_pattern.IsCompiled() || !m->LangEnc())
        return false;
    return AnyFieldInScope(ctx, m, [&](const CField& f) {
        return m_pattern.MatchesText(ctx, *m->LangEnc(), f.Text());
    });
}

bool CFilterMarkerText::MatchesAtColumn(const CFilterContext& ctx, std::size_t column) const {
    const CMarker* m = m_marker.Resolve(ctx.markers);
    if (!m || !m_pattern.IsCompiled())
        return false;
    return AnyFieldAfterFirst(*ctx.record, m, [&](const CField& f) {
        std::string_view text = f.Text();
        for (std::size_t lineStart = 0;;) {
            std::size_t lineEnd = text.find('\n', lineStart);
            if (lineEnd == std::string_view::npos)
                lineEnd = text.size();
            if (lineStart + column <= lineEnd &&
                m_pattern.MatchesAt(ctx, *m->LangEnc(), text, lineStart + column))
                return true;
            if (lineEnd == text.size())
                return false;
            lineStart = lineEnd + 1;
        }
    });
}

bool CFilterMarkerText::AnyMatchColumn(const CFilterContext& ctx,
                                       const std::function<bool(std::size_t)>& found) const {
    const CMarker* m = m_marker.Resolve(ctx.markers);
    if (!m || !m_pattern.IsCompiled())
        return false;
    const CLangEnc* langEnc = m->LangEnc();
    return AnyFieldAfterFirst(*ctx.record, m, [&](const CField& f) {
        // As a search tries them: at the start, after each unit, and at the end.
        std::string_view text = f.Text();
        const char* p = text.data();
        const char* end = p + text.size();
        for (;;) {
            std::size_t offset = static_cast<std::size_t>(p - text.data());
            if (m_pattern.MatchesAt(ctx, *langEnc, text, offset) && found(ColumnOf(text, offset)))
                return true;
            if (p == end)
                return false;
            langEnc->NextUnitCode(p, end);
        }
    });
}

void CFilterMarkerText::Write(ObjectStream& os) const {
    os.WriteStringAlways("mkr", m_marker.Name());
    os.WriteStringAlways("txt", m_pattern.Text());
}

std::unique_ptr<CFilterElement> CFilterMarkerText::Clone() const {
    return std::make_unique<CFilterMarkerText>(m_marker, m_pattern);
}

std::string CFilterMarkerText::DisplayText() const {
    return "\\" + m_marker.Name() + " " + m_pattern.Text();
}

// --- CFilterMarkerDate ---

CFilterMarkerDate::CFilterMarkerDate(const CFilterMarker& marker, CDateCondition condition)
    : CFilterElement(FilterElementKind::MarkerDate), m_marker(marker),
      m_condition(std::move(condition)) {}

bool CFilterMarkerDate::Matches(const CFilterContext& ctx) const {
    const CMarker* m = m_marker.Resolve(ctx.markers);
    if (!m || !m_condition.IsValid())
        return false;
    return AnyFieldInScope(ctx, m,
                           [&](const CField& f) { return MatchDate(m_condition, f.Text()); });
}

void CFilterMarkerDate::Write(ObjectStream& os) const {
    os.WriteStringAlways("mkr", m_marker.Name());
    os.WriteString("rel", CDateCondition::RelationCode(m_condition.Rel()));
    os.WriteStringAlways("dat", m_condition.DateText());
}

std::unique_ptr<CFilterElement> CFilterMarkerDate::Clone() const {
    return std::make_unique<CFilterMarkerDate>(m_marker, m_condition);
}

std::string CFilterMarkerDate::DisplayText() const {
    return "\\" + m_marker.Name() + " " +
           std::string(CDateCondition::RelationCode(m_condition.Rel())) + " " +
           m_condition.DateText();
}

// --- CFilterLangText ---

CFilterLangText::CFilterLangText(bool any, std::string langName, const CFilterPattern& pattern)
    : CFilterElement(FilterElementKind::LangText), m_any(any),
      m_langName(any ? std::string() : std::move(langName)), m_pattern(pattern) {}

bool CFilterLangText::Matches(const CFilterContext& ctx) const {
    if (!m_pattern.IsCompiled())
        return false;
    for (const CField& f : *ctx.record) {
        const CLangEnc* langEnc = f.Marker()->LangEnc();
        if (!langEnc || (!AnyLang() && langEnc->Name() != m_langName))
            continue;
        if (m_pattern.MatchesText(ctx, *langEnc, f.Text()))
            return true;
    }
    return false;
}

void CFilterLangText::Write(ObjectStream& os) const {
    if (AnyLang())
        os.WriteBool("lngAny", true);
    else
        os.WriteStringAlways("lng", m_langName);
    os.WriteStringAlways("txt", m_pattern.Text());
}

std::unique_ptr<CFilterElement> CFilterLangText::Clone() const {
    return std::make_unique<CFilterLangText>(m_any, m_langName, m_pattern);
}

std::string CFilterLangText::DisplayText() const {
    return (AnyLang() ? std::string(kAnyLangText) : m_langName) + ": " + m_pattern.Text();
}

bool CFilterLangText::OnLangEncUpdate(const CLangEncUpdate& update) {
    if (!update.nameChanged || !update.langEnc || AnyLang() || m_langName != update.oldName)
        return false;
    m_langName = update.langEnc->Name();
    return true;
}

// --- operators ---

bool CFilterOperator::Matches(const CFilterContext& ctx) const {
    switch (Kind()) {
    case FilterElementKind::NonUnique: {
        // A record sorted next to itself (several fields of the sort marker) is no
        // duplicate of itself.
        auto twin = [&](const CRecord* other) {
            return other && other != ctx.record && other->GetKey() == ctx.record->GetKey();
        };
        return twin(ctx.prev) || twin(ctx.next);
    }
    case FilterElementKind::Not:
        return m_left && !m_left->Matches(ctx);
    case FilterElementKind::LeftParen:
        return m_left && m_left->Matches(ctx);
    case FilterElementKind::And:
        return m_left && m_right && m_left->Matches(ctx) && m_right->Matches(ctx);
    case FilterElementKind::Or:
        return m_left && m_right && (m_left->Matches(ctx) || m_right->Matches(ctx));
    case FilterElementKind::With: {
        const CFilterMarkerText* right = AsMarkerText(m_right);
        if (!right)
            return false;
        return right->AnyMatchColumn(
            ctx, [&](std::size_t column) { return crv::MatchesAtColumn(m_left, ctx, column); });
    }
    default:
        return false;
    }
}

bool CFilterOperator::MatchesAtColumn(const CFilterContext& ctx, std::size_t column) const {
    return Kind() == FilterElementKind::With && crv::MatchesAtColumn(m_left, ctx, column) &&
           crv::MatchesAtColumn(m_right, ctx, column);
}

void CFilterOperator::Write(ObjectStream& os) const {
    os.WriteString("fel", OperatorSettingsWord(Kind()));
}

std::unique_ptr<CFilterElement> CFilterOperator::Clone() const {
    return std::make_unique<CFilterOperator>(Kind());
}

std::string CFilterOperator::DisplayText() const {
    return std::string(OperatorDisplayText(Kind()));
}

// --- unreadable entries ---

void CFilterUnreadable::Write(ObjectStream& os) const {
    for (const auto& [key, value] : m_entries)
        os.WriteStringAlways(key, value);
}

std::unique_ptr<CFilterElement> CFilterUnreadable::Clone() const {
    return std::make_unique<CFilterUnreadable>(m_entries);
}

std::string CFilterUnreadable::DisplayText() const {
    std::string text;
    for (const auto& [key, value] : m_entries) {
        if (!text.empty())
            text += ' ';
        text += "\\" + key;
        if (!value.empty())
            text += " " + value;
    }
    return text;
}

// --- words ---

std::string_view OperatorDisplayText(FilterElementKind kind) {
    switch (kind) {
    case FilterElementKind::NonUnique:
        return "Non-Unique";
    default:
        return OperatorSettingsWord(kind);
    }
}

std::string_view OperatorSettingsWord(FilterElementKind kind) {
    switch (kind) {
    case FilterElementKind::NonUnique:
        return "NonUnique";
    case FilterElementKind::Not:
        return "Not";
    case FilterElementKind::And:
        return "And";
    case FilterElementKind::Or:
        return "Or";
    case FilterElementKind::LeftParen:
        return "(";
    case FilterElementKind::RightParen:
        return ")";
    case FilterElementKind::With:
        return "With";
    default:
        return {};
    }
}

std::optional<FilterElementKind> OperatorOfSettingsWord(std::string_view word) {
    if (word == "Non-Unique")
        return FilterElementKind::NonUnique;
    for (FilterElementKind k :
         {FilterElementKind::NonUnique, FilterElementKind::Not, FilterElementKind::And,
          FilterElementKind::Or, FilterElementKind::LeftParen, FilterElementKind::RightParen,
          FilterElementKind::With})
        if (word == OperatorSettingsWord(k))
            return k;
    return std::nullopt;
}

std::optional<CTextPattern> CompileFilterPattern(std::string_view text, CVarNameSet& names,
                                                 CNote& error) {
    std::optional<CTextPattern> pattern = CTextPattern::Compile(text, "", "", names, error);
    if (!pattern)
        error.AddText("in a marker-string filter condition");
    return pattern;
}

} // namespace crv
