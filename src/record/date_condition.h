// The date test of filters: a relation (before, equal, after) and a date as typed,
// compared with the dates of field texts over the length of the condition's date key.
#pragma once

#include <string>
#include <string_view>

#include "base/note.h"

namespace crv {

class CDateCondition {
public:
    enum class Relation { Before, Equal, After };

    CDateCondition() = default;

    // The settings letter "<", "=" or ">", and back: "=" is equal, ">" after, anything
    // else before.
    static std::string_view RelationCode(Relation rel);
    static Relation RelationOfCode(std::string_view code);

    Relation Rel() const { return m_rel; }
    void SetRel(Relation rel) { m_rel = rel; }

    // A date typed by the user: refused (false, "Unrecognized date:  " and the text in
    // error, nothing changed) when it is not a date. A nonstandard date is kept in the
    // stamp form ("5/jun/01" becomes "05/Jun/2001").
    bool SetDate(std::string_view typed, CNote& error);
    // A date read from settings: kept as it stands when it is not a date, so that it is
    // written back unchanged; the condition then matches nothing (false, with the note).
    bool SetStoredDate(std::string_view stored, CNote& error);

    // The date text as it is written ("dat").
    const std::string& DateText() const { return m_text; }
    // YYYYMMDD, YYYYMM or YYYY; empty when the date could not be read.
    const std::string& Key() const { return m_key; }
    bool IsValid() const { return !m_key.empty(); }

    // Whether the date of fieldText stands in the relation to the condition's date,
    // compared over the length of the condition's key. A field that is not a full date
    // (day, month and year) never matches, nor does a condition without a date.
    bool Matches(std::string_view fieldText) const;

    bool operator==(const CDateCondition&) const = default;

private:
    // Parses text with partial dates allowed; false with the note when it is no date.
    bool Parse(std::string_view text, std::string& key, std::string& standard, CNote& error) const;

    Relation m_rel = Relation::Before;
    std::string m_text;
    std::string m_key;
};

// The filter's date test of one field text.
inline bool MatchDate(const CDateCondition& condition, std::string_view fieldText) {
    return condition.Matches(fieldText);
}

} // namespace crv
