// Date-stamp text: "05/Dec/1998" (two-digit day, month abbreviation, four-digit year),
// and today's date from a clock that tests can replace.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace crv {

struct CalendarDate {
    int year = 1900;
    int month = 1; // 1..12
    int day = 1;   // 1..31
};

// "Jan".."Dec" for months 1..12; empty for any other number.
std::string_view MonthAbbreviation(int month);

// The date in the date-stamp format "%02d/%s/%d".
std::string DateStampText(const CalendarDate& date);

// The calendar date of a moment on the local clock.
CalendarDate LocalDate(std::time_t moment);

// Today's date in the date-stamp format; now is the moment to take it from (the system
// clock unless a test passes its own).
std::string TodayText(std::time_t now = std::time(nullptr));

} // namespace crv
