#include "record/date_text.h"

#include <cstdio>
#include <utility>

#include "base/message_text.h"
#include "base/platform.h"
#include "record/record.h"

namespace crv {

namespace {

constexpr std::string_view kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool AllDigits(std::string_view s) {
    for (char c : s)
        if (!IsDigit(c))
            return false;
    return true;
}

bool IsDateSpace(char c) { return c == ' ' || c == '\t' || c == '\n'; }

} // namespace

std::string_view MonthAbbreviation(int month) {
    if (month < 1 || month > 12)
        return {};
    return kMonths[month - 1];
}

bool IsStampableDate(const CalendarDate& date) {
    return date.year >= kMinStampYear && date.year <= kMaxStampYear && date.month >= 1 &&
           date.month <= 12 && date.day >= 1 && date.day <= 31;
}

std::string DateStampText(const CalendarDate& date) {
    CRV_ASSERT(IsStampableDate(date));
    if (!IsStampableDate(date))
        return {};
    std::string_view month = MonthAbbreviation(date.month);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%.*s/%d", date.day, static_cast<int>(month.size()),
                  month.data(), date.year);
    return buf;
}

CalendarDate LocalDate(std::time_t moment) {
    std::tm parts{};
#if defined(_WIN32)
    if (localtime_s(&parts, &moment) != 0)
        return CalendarDate{0, 1, 1};
#else
    if (!localtime_r(&moment, &parts))
        return CalendarDate{0, 1, 1};
#endif
    return CalendarDate{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

std::string TodayText(std::time_t now) {
    CalendarDate date = LocalDate(now);
    return IsStampableDate(date) ? DateStampText(date) : std::string();
}

CDateClock::CDateClock(NowFunction now) : m_now(std::move(now)) {}

std::string CDateClock::Today() {
    std::time_t now = m_now ? m_now() : std::time(nullptr);
    std::string text = TodayText(now);
    if (text.empty() && !m_reported) {
        m_reported = true;
        CalendarDate date = LocalDate(now);
        platform().ShowMessage(
            FormatMessage("The computer's clock gives the year %1, which a date stamp cannot "
                          "show.\nRecords keep their old date stamps until the clock is set right.",
                          {std::to_string(date.year)}));
    }
    return text;
}

bool CDateClock::StampRecord(CRecord& record, CMarker* marker) {
    std::string today = Today();
    return !today.empty() && record.StampDate(marker, today);
}

bool ParseDate(std::string_view text, bool allowPartial, bool allowThreeDigitYear, std::string& key,
               bool& nonstandard) {
    nonstandard = false;
    key.clear();
    std::size_t p = 0;

    // Day: one digit (written with a leading zero) or two, then a slash.
    std::string day;
    if (text.size() >= 2 && IsDigit(text[0]) && text[1] == '/') {
        day = std::string("0") + text[0];
        nonstandard = true;
        p = 2;
    } else if (text.size() >= 3 && IsDigit(text[0]) && IsDigit(text[1]) && text[2] == '/') {
        day = std::string(text.substr(0, 2));
        p = 3;
    } else if (!allowPartial) {
        return false;
    }

    // Month: three letters and a slash, matched without regard to case.
    int month = 0;
    if (text.size() >= p + 4 && text[p + 3] == '/') {
        std::string_view name = text.substr(p, 3);
        for (int m = 0; m < 12 && !month; ++m) {
            std::string_view abbr = kMonths[m];
            if (Lower(name[0]) == Lower(abbr[0]) && Lower(name[1]) == Lower(abbr[1]) &&
                Lower(name[2]) == Lower(abbr[2]))
                month = m + 1;
        }
        if (month) {
            if (name != kMonths[month - 1])
                nonstandard = true;
            p += 4;
        }
    }
    if (!month && (!day.empty() || !allowPartial))
        return false;

    // Year: the rest of the text.
    std::string_view rest = text.substr(p);
    std::string year;
    if (rest.size() == 4 && AllDigits(rest)) {
        year = rest;
    } else if (allowThreeDigitYear && rest.size() == 3 && rest[0] == '1' && AllDigits(rest)) {
        year = std::string("20") + std::string(rest.substr(1));
        nonstandard = true;
    } else if (month && rest.size() == 2 && AllDigits(rest)) {
        year = std::string(rest[0] < '4' ? "20" : "19") + std::string(rest);
        nonstandard = true;
    } else {
        return false;
    }

    key = year;
    if (month) {
        key += static_cast<char>('0' + month / 10);
        key += static_cast<char>('0' + month % 10);
        key += day;
    }
    return true;
}

std::string FormatDateKey(std::string_view key) {
    if ((key.size() != 8 && key.size() != 6 && key.size() != 4) || !AllDigits(key))
        return {};
    std::string year(key.substr(0, 4));
    if (key.size() == 4)
        return year;
    std::string_view month = MonthAbbreviation((key[4] - '0') * 10 + (key[5] - '0'));
    if (month.empty())
        return {};
    std::string text = std::string(month) + "/" + year;
    if (key.size() == 8)
        text = std::string(key.substr(6, 2)) + "/" + text;
    return text;
}

std::string_view TrimDateText(std::string_view text) {
    while (!text.empty() && IsDateSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsDateSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

DateFieldConversion ConvertDateField(std::string_view text) {
    DateFieldConversion result;
    std::string_view trimmed = TrimDateText(text);
    std::string key;
    bool nonstandard = false;
    if (!ParseDate(trimmed, false, true, key, nonstandard)) {
        result.invalid = true;
        return result;
    }
    if (!nonstandard)
        return result;
    std::size_t trailingStart =
        static_cast<std::size_t>(trimmed.data() - text.data()) + trimmed.size();
    result.newText = FormatDateKey(key);
    result.newText += text.substr(trailingStart);
    result.changed = true;
    return result;
}

bool ConvertRecordDates(CRecord& record, const CMarker* marker, bool& invalid) {
    bool changed = false;
    bool found = false;
    for (CField& field : record) {
        if (field.Marker() != marker)
            continue;
        found = true;
        DateFieldConversion c = ConvertDateField(std::as_const(field).Text());
        if (c.invalid)
            invalid = true;
        else if (c.changed) {
            field.SetText(std::move(c.newText));
            changed = true;
        }
    }
    if (!found)
        invalid = true;
    return changed;
}

} // namespace crv
