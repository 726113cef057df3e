#include "record/date_condition.h"

#include "record/date_text.h"

namespace crv {

namespace {
constexpr std::string_view kUnrecognizedDate = "Unrecognized date:  ";
} // namespace

std::string_view CDateCondition::RelationCode(Relation rel) {
    switch (rel) {
    case Relation::Equal:
        return "=";
    case Relation::After:
        return ">";
    case Relation::Before:
        break;
    }
    return "<";
}

CDateCondition::Relation CDateCondition::RelationOfCode(std::string_view code) {
    if (code == "=")
        return Relation::Equal;
    if (code == ">")
        return Relation::After;
    return Relation::Before;
}

bool CDateCondition::Parse(std::string_view text, std::string& key, std::string& standard,
                           CNote& error) const {
    std::string_view trimmed = TrimDateText(text);
    bool nonstandard = false;
    if (!ParseDate(trimmed, true, false, key, nonstandard)) {
        error.AddText(kUnrecognizedDate, text);
        return false;
    }
    standard = nonstandard ? FormatDateKey(key) : std::string(trimmed);
    return true;
}

bool CDateCondition::SetDate(std::string_view typed, CNote& error) {
    std::string key, standard;
    if (!Parse(typed, key, standard, error))
        return false;
    m_key = std::move(key);
    m_text = std::move(standard);
    return true;
}

bool CDateCondition::SetStoredDate(std::string_view stored, CNote& error) {
    std::string key, standard;
    if (!Parse(stored, key, standard, error)) {
        m_key.clear();
        m_text = std::string(stored);
        return false;
    }
    m_key = std::move(key);
    m_text = std::move(standard);
    return true;
}

bool CDateCondition::Matches(std::string_view fieldText) const {
    if (m_key.empty())
        return false;
    std::string fieldKey;
    bool nonstandard = false;
    if (!ParseDate(TrimDateText(fieldText), false, false, fieldKey, nonstandard))
        return false;
    int cmp = fieldKey.compare(0, m_key.size(), m_key);
    switch (m_rel) {
    case Relation::Before:
        return cmp < 0;
    case Relation::Equal:
        return cmp == 0;
    case Relation::After:
        return cmp > 0;
    }
    return false;
}

} // namespace crv
