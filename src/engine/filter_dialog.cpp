#include "engine/filter_dialog.h"

#include "base/platform.h"
#include "engine/filter_parse.h"
#include "engine/index.h"
#include "schema/lang_enc_set.h"
#include "schema/var.h"

namespace crv {

std::vector<std::string> FilterElementChoiceLabels() {
    return {"Marker Text...",
            "Marker Date...",
            "Language Text...",
            "And",
            "Or",
            "Not",
            "With",
            "Non-Unique",
            "(",
            ")"};
}

std::unique_ptr<CFilterElement> MakeOperatorElement(FilterElementChoice choice) {
    FilterElementKind kind;
    switch (choice) {
    case FilterElementChoice::And:
        kind = FilterElementKind::And;
        break;
    case FilterElementChoice::Or:
        kind = FilterElementKind::Or;
        break;
    case FilterElementChoice::Not:
        kind = FilterElementKind::Not;
        break;
    case FilterElementChoice::With:
        kind = FilterElementKind::With;
        break;
    case FilterElementChoice::NonUnique:
        kind = FilterElementKind::NonUnique;
        break;
    case FilterElementChoice::LeftParen:
        kind = FilterElementKind::LeftParen;
        break;
    case FilterElementChoice::RightParen:
        kind = FilterElementKind::RightParen;
        break;
    default:
        return nullptr;
    }
    return std::make_unique<CFilterOperator>(kind);
}

std::unique_ptr<CFilterElement> MakeMarkerTextElement(const CFilterSet& filters,
                                                      std::string_view marker,
                                                      std::string_view pattern, CNote& error) {
    if (!filters.CheckMarker(marker, error))
        return nullptr;
    std::optional<CTextPattern> compiled = CompileFilterPattern(pattern, filters.VarNames(), error);
    if (!compiled)
        return nullptr;
    CFilterMarker held{std::string(marker)};
    held.Resolve(&filters.Markers());
    return std::make_unique<CFilterMarkerText>(
        held, CFilterPattern(std::string(pattern), std::move(compiled)));
}

std::unique_ptr<CFilterElement> MakeLangTextElement(const CFilterSet& filters,
                                                    std::string_view langEnc,
                                                    std::string_view pattern, CNote& error) {
    bool any = langEnc == kAnyLangText;
    if (!any && !filters.CheckLangEnc(langEnc, error))
        return nullptr;
    std::optional<CTextPattern> compiled = CompileFilterPattern(pattern, filters.VarNames(), error);
    if (!compiled)
        return nullptr;
    return std::make_unique<CFilterLangText>(
        any, std::string(langEnc), CFilterPattern(std::string(pattern), std::move(compiled)));
}

std::unique_ptr<CFilterElement> MakeMarkerDateElement(const CFilterSet& filters,
                                                      std::string_view marker,
                                                      CDateCondition::Relation rel,
                                                      std::string_view date, CNote& error) {
    if (!filters.CheckMarker(marker, error))
        return nullptr;
    CDateCondition condition;
    condition.SetRel(rel);
    if (!condition.SetDate(date, error))
        return nullptr;
    CFilterMarker held{std::string(marker)};
    held.Resolve(&filters.Markers());
    return std::make_unique<CFilterMarkerDate>(held, std::move(condition));
}

std::vector<std::string> FilterLangEncChoices(const CLangEncSet& langEncs) {
    std::vector<std::string> choices{std::string(kAnyLangText)};
    for (const auto& proxy : langEncs.Proxies())
        choices.push_back(proxy.Name());
    return choices;
}

std::vector<std::string> FilterVariableChoices(const CFilterSet& filters) {
    std::vector<std::string> names;
    for (const CVarName& v : filters.VarNames())
        names.push_back(v.Name());
    return names;
}

std::string InsertVariable(std::string_view text, std::size_t& caret, std::string_view name) {
    if (caret > text.size())
        caret = text.size();
    std::string inserted = "[" + std::string(name) + "]";
    std::string result =
        std::string(text.substr(0, caret)) + inserted + std::string(text.substr(caret));
    caret += inserted.size();
    return result;
}

// --- CFilterEditor ---

CFilterEditor::CFilterEditor(const CFilter& filter)
    : name(filter.Name()), matchWhole(filter.MatchWhole()), mask(filter.MatchMask()),
      m_elements(CloneElements(filter.Elements())) {}

std::vector<std::string> CFilterEditor::DisplayTexts() const {
    std::vector<std::string> texts;
    for (const auto& e : m_elements)
        texts.push_back(e->DisplayText());
    return texts;
}

void CFilterEditor::InsertFirst(std::unique_ptr<CFilterElement> element) {
    InsertBefore(0, std::move(element));
}

void CFilterEditor::InsertBefore(std::size_t at, std::unique_ptr<CFilterElement> element) {
    if (!element)
        return;
    if (at > m_elements.size())
        at = m_elements.size();
    m_elements.insert(m_elements.begin() + static_cast<std::ptrdiff_t>(at), std::move(element));
}

void CFilterEditor::InsertLast(std::unique_ptr<CFilterElement> element) {
    InsertBefore(m_elements.size(), std::move(element));
}

void CFilterEditor::Replace(std::size_t at, std::unique_ptr<CFilterElement> element) {
    if (element && at < m_elements.size())
        m_elements[at] = std::move(element);
}

void CFilterEditor::Delete(std::size_t at) {
    if (at < m_elements.size())
        m_elements.erase(m_elements.begin() + static_cast<std::ptrdiff_t>(at));
}

CFilter* CFilterEditor::Apply(CFilterSet& filters, CFilter* editing, int& selected) {
    selected = -1;
    // The parse names the element of an error; the set checks the name and parses again.
    CFilterElementList trial = CloneElements(m_elements);
    CFilterParseError parseError;
    CNote error;
    if (!ParseFilterElements(trial, parseError)) {
        selected = parseError.element;
        error = parseError.Note(trial);
    } else if (editing) {
        if (filters.Modify(editing, name, CloneElements(m_elements), matchWhole, mask, error))
            return editing;
    } else if (CFilter* added =
                   filters.Add(name, CloneElements(m_elements), matchWhole, mask, error)) {
        return added;
    }
    platform().ShowMessage(error.Text());
    return nullptr;
}

std::optional<std::size_t> CFilterEditor::CountPassing(CFilterSet& filters,
                                                       const CIndex& base) const {
    // A trial filter of the set (not in it) resolves its markers as a stored one does.
    CFilter trial(&filters, name, CloneElements(m_elements), matchWhole, mask);
    if (!trial.IsParsed())
        return std::nullopt;
    std::size_t count = 0;
    for (std::size_t i = 0, n = base.Count(); i < n; ++i)
        if (trial.Matches(base, i))
            ++count;
    return count;
}

// --- a window's filter ---

std::vector<std::string> FilterChoices(const CFilterSet& filters) {
    std::vector<std::string> choices{"[no filter]"};
    for (const CFilter& f : filters)
        choices.push_back(f.Name());
    return choices;
}

CFilter* FilterOfChoice(const CFilterSet& filters, std::size_t choice) {
    std::size_t i = 1;
    for (CFilter& f : filters)
        if (i++ == choice)
            return &f;
    return nullptr;
}

std::string FilterSelectionText(const CIndexFilter* filter) {
    return filter ? "Filter:  " + filter->FilterName() : std::string("All records [no filter]");
}

std::string_view EmptyIndexText(const CIndex& index) {
    if (!index.IsEmpty())
        return {};
    return index.Filter() ? "No matches for filter" : "Database is empty.";
}

} // namespace crv
