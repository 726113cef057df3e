// The rules of the filter dialogs and of a window's filter choice, without widgets: the
// element choices and their small dialogs' OK, editing of the element list, OK of the
// "Filter Properties" dialog, and the texts that describe a window's filter.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/filter.h"
#include "record/date_condition.h"

namespace crv {

class CIndex;
class CLangEncSet;

// The element choices of "Filter &Elements", in the dialog's order.
enum class FilterElementChoice {
    MarkerText,
    MarkerDate,
    LangText,
    And,
    Or,
    Not,
    With,
    NonUnique,
    LeftParen,
    RightParen
};
std::vector<std::string> FilterElementChoiceLabels();
// The element of an operator choice (null for the three that open a dialog).
std::unique_ptr<CFilterElement> MakeOperatorElement(FilterElementChoice choice);

// OK of "Marker Text Filter Element": a marker of the type and a pattern that compiles.
std::unique_ptr<CFilterElement> MakeMarkerTextElement(const CFilterSet& filters,
                                                      std::string_view marker,
                                                      std::string_view pattern, CNote& error);
// OK of "Language Text Filter Element": kAnyLangText ("Any Lang.") or an encoding.
std::unique_ptr<CFilterElement> MakeLangTextElement(const CFilterSet& filters,
                                                    std::string_view langEnc,
                                                    std::string_view pattern, CNote& error);
// OK of "Marker Date": a marker and a date ("Unrecognized date:  " when it is none).
std::unique_ptr<CFilterElement> MakeMarkerDateElement(const CFilterSet& filters,
                                                      std::string_view marker,
                                                      CDateCondition::Relation rel,
                                                      std::string_view date, CNote& error);
// The "&Language:" list: "Any Lang." and then the project's encodings.
std::vector<std::string> FilterLangEncChoices(const CLangEncSet& langEncs);
// The "&Variable" list, and "&Insert into the Text": "[name]" put in at the caret, which
// moves past it.
std::vector<std::string> FilterVariableChoices(const CFilterSet& filters);
std::string InsertVariable(std::string_view text, std::size_t& caret, std::string_view name);

// "Filter Properties": the name, the element list as the user edits it, and the options.
class CFilterEditor {
public:
    // A new filter.
    CFilterEditor() = default;
    // A copy of filter's definition.
    explicit CFilterEditor(const CFilter& filter);

    std::string name;
    bool matchWhole = false;
    int mask = 3;

    const CFilterElementList& Elements() const { return m_elements; }
    std::vector<std::string> DisplayTexts() const;
    // "&First ->", "&Insert ->" (before the selected element; last when none), "&Last ->".
    void InsertFirst(std::unique_ptr<CFilterElement> element);
    void InsertBefore(std::size_t at, std::unique_ptr<CFilterElement> element);
    void InsertLast(std::unique_ptr<CFilterElement> element);
    // "&Modify...": the element at at is replaced by the one its dialog made.
    void Replace(std::size_t at, std::unique_ptr<CFilterElement> element);
    // "&Delete", "Delete &All".
    void Delete(std::size_t at);
    void DeleteAll() { m_elements.clear(); }

    // OK: parses the sequence and stores the filter (new, or editing's changes); on an
    // error the message is shown, the element it names selected (selected, -1 for none)
    // and nothing is stored.
    CFilter* Apply(CFilterSet& filters, CFilter* editing, int& selected);

    // The live count while the user edits: how many entries of base (a window's
    // unfiltered index) the sequence as it stands passes; nullopt while it does not
    // parse. Nothing is stored.
    std::optional<std::size_t> CountPassing(CFilterSet& filters, const CIndex& base) const;

private:
    CFilterElementList m_elements;
};

// A window's "&Filter records:" list: "[no filter]" and then the filters by name.
std::vector<std::string> FilterChoices(const CFilterSet& filters);
// The filter of a choice of that list; null for "[no filter]".
CFilter* FilterOfChoice(const CFilterSet& filters, std::size_t choice);
// What a window's records are: "All records [no filter]" or "Filter:  " and the name.
std::string FilterSelectionText(const CIndexFilter* filter);
// The record area of a window whose index is empty: "No matches for filter", or for an
// unfiltered index "Database is empty."; empty while the index has entries.
std::string_view EmptyIndexText(const CIndex& index);

} // namespace crv
