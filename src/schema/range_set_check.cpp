#include "schema/range_set_check.h"

#include <vector>

#include "base/message_text.h"

namespace crv {

namespace {

bool IsSpaceOrLineBreak(char c) { return c == ' ' || c == '\n'; }

bool AskToAdd(const CMarker& marker, std::string_view element) {
    std::string question =
        FormatMessage("'%1' is not in the Range Set Definition for field '\\%2'.\n\nDo you "
                      "want to add it?",
                      {element, marker.Name()});
    return platform().Ask(question, Buttons::YesNo, Answer::No, true) == Answer::Yes;
}

// Calls check(offset, length) for each element of text in order: single characters, or
// runs between spaces, tabs and LFs. Stops at the first false. A tab is never a
// character element: the text form of a range set could not hold it.
template <class Check> bool ForEachElement(std::string_view text, bool characters, Check check) {
    if (!characters)
        return ForEachRangeSetWord(text, check);
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!IsRangeSetSpace(text[i]) && !check(i, 1))
            return false;
    return true;
}

} // namespace

std::optional<TextSpan> CheckFieldAgainstRangeSet(CMarker& marker, std::string_view text) {
    CRangeSet& set = marker.RangeSet();
    if (set.IsEmpty())
        return std::nullopt;
    if (!marker.RangeSetAllowsSpaces()) {
        std::size_t start = 0;
        while (start < text.size() && !IsSpaceOrLineBreak(text[start]))
            ++start;
        if (start < text.size()) {
            std::size_t end = start;
            while (end < text.size() && IsSpaceOrLineBreak(text[end]))
                ++end;
            std::string question = FormatMessage(
                "The field \\%1 has a range set that does not allow spaces or multiple "
                "lines.\n\nDo you want to change the range set to allow spaces and multiple "
                "lines.\nIf you choose no, you must remove the spaces from this field and make "
                "it a single line.",
                {marker.Name()});
            if (platform().Ask(question, Buttons::YesNo, Answer::No, true) != Answer::Yes)
                return TextSpan{start, end - start};
            marker.SetRangeSetAllowsSpaces(true);
            if (marker.Owner())
                marker.Owner()->SetModified(true);
        }
    }
    std::optional<TextSpan> refused;
    ForEachElement(text, marker.RangeSetCharacters(), [&](std::size_t at, std::size_t n) {
        std::string_view element = text.substr(at, n);
        if (set.Contains(element))
            return true;
        if (!AskToAdd(marker, element)) {
            refused = TextSpan{at, n};
            return false;
        }
        set.AddElement(element);
        if (marker.Owner())
            marker.Owner()->SetModified(true);
        return true;
    });
    return refused;
}

RangeSetBuilder::RangeSetBuilder(const CMarker& marker, CRangeSet& set, bool characters,
                                 std::int64_t records)
    : m_set(set), m_characters(characters) {
    m_progress = platform().BeginProgress(
        FormatMessage("Building Range Set for \\%1", {marker.Name()}), records, false);
}

void RangeSetBuilder::AddText(std::string_view text) {
    // Distinct elements first: a lexicon repeats the same few values in every record.
    ForEachElement(text, m_characters, [&](std::size_t at, std::size_t n) {
        std::string_view element = text.substr(at, n);
        if (m_met.find(element) == m_met.end())
            m_met.emplace(element);
        return true;
    });
}

void RangeSetBuilder::RecordDone() {
    if (m_progress)
        m_progress->Step();
}

RangeSetBuildSummary RangeSetBuilder::Finish() {
    // Both sides are in byte order: one walk finds the elements the data lacks and those
    // the range set lacks.
    RangeSetBuildSummary s;
    std::vector<const std::string*> missing;
    const std::string* last = nullptr; // the range set may hold an element twice
    auto met = m_met.begin();
    auto takeUpTo = [&](const std::string* bound) {
        for (; met != m_met.end() && (!bound || CompareNames(*met, *bound) < 0); ++met)
            if (!last || *met != *last)
                missing.push_back(&*met);
    };
    for (const auto& el : m_set) {
        takeUpTo(&el.Name());
        if (met == m_met.end() || *met != el.Name())
            ++s.notFound;
        last = &el.Name();
    }
    takeUpTo(nullptr);
    for (const std::string* element : missing)
        m_set.Add(new CRangeSetElement(*element));
    s.added = missing.size();
    s.total = m_set.Count();
    m_progress.reset();
    std::string text = "Summary of range set elements.\n";
    text += FormatMessage("Total number:  %1\n", {std::to_string(s.total)});
    text += FormatMessage("Newly added:  %1\n", {std::to_string(s.added)});
    text += FormatMessage("Not found in the data:  %1\n", {std::to_string(s.notFound)});
    platform().ShowMessage(text, MessageKind::Information, false);
    return s;
}

} // namespace crv
