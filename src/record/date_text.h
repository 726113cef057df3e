// Dates: the date-stamp text "05/Dec/1998", today's date from a clock that tests can
// replace, date texts parsed into sortable keys (YYYYMMDD, YYYYMM or YYYY) and back, and
// the conversion of older stamps with two-digit years.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace crv {

class CMarker;
class CRecord;

struct CalendarDate {
    int year = 1900;
    int month = 1; // 1..12
    int day = 1;   // 1..31
};

// The years a stamp can show: its year has four digits. A clock outside them is broken.
inline constexpr int kMinStampYear = 1900;
inline constexpr int kMaxStampYear = 9999;

// "Jan".."Dec" for months 1..12; empty for any other number.
std::string_view MonthAbbreviation(int month);

// Whether date can be written as a stamp (year 1900..9999, month 1..12, day 1..31).
bool IsStampableDate(const CalendarDate& date);

// The date in the date-stamp format "%02d/%s/%d"; the date must be stampable.
std::string DateStampText(const CalendarDate& date);

// The calendar date of a moment on the local clock; year 0 when the system cannot
// convert the moment.
CalendarDate LocalDate(std::time_t moment);

// Today's date in the date-stamp format, taken at now; empty when the clock gives a
// date that cannot be a stamp.
std::string TodayText(std::time_t now = std::time(nullptr));

// The clock records are stamped from. A broken clock (a year a stamp cannot show) is
// reported once per clock, and no record is stamped while it stays broken, so that no
// stamp is ever replaced by a wrong one.
class CDateClock {
public:
    using NowFunction = std::function<std::time_t()>;
    // The system clock unless a test gives its own.
    explicit CDateClock(NowFunction now = {});

    // Today's stamp text; empty (after the message, the first time) when broken.
    std::string Today();
    // Stamps record's field of marker with today's date; false when the clock is broken
    // or the field would grow past the field limit.
    bool StampRecord(CRecord& record, CMarker* marker);

private:
    NowFunction m_now;
    bool m_reported = false;
};

// --- parsing ---

// Parses a date text: an optional day ("5/" or "05/"), a month ("Dec/", any case), a
// year (four digits; "1" and two digits for 2000-2099 when three-digit years are
// allowed; two digits after a month: 00-39 for 2000-2039, 40-99 for 1940-1999). Without
// partial dates a day and a month must be present; with them "Jun/2001" and "2001" are
// dates too. On success key is YYYYMMDD, YYYYMM or YYYY, and nonstandard tells whether
// the text differs from the form FormatDateKey writes.
bool ParseDate(std::string_view text, bool allowPartial, bool allowThreeDigitYear, std::string& key,
               bool& nonstandard);

// The inverse of parsing: "05/Dec/1998", "Dec/1998" or "1998" for a key of 8, 6 or 4
// characters; empty for anything else.
std::string FormatDateKey(std::string_view key);

// Trims space, tab and LF at both ends.
std::string_view TrimDateText(std::string_view text);

// --- converting older stamps ---

struct DateFieldConversion {
    bool changed = false; // newText holds the converted text
    bool invalid = false; // the text is not a date; it stays as it is
    std::string newText;
};

// A field's text with a nonstandard date written in the stamp form, keeping the white
// space that followed it (a trailing empty line stays).
DateFieldConversion ConvertDateField(std::string_view text);

// Converts every field of marker in record; true when one changed. invalid is set when
// a field is not a date or the record has no field of marker.
bool ConvertRecordDates(CRecord& record, const CMarker* marker, bool& invalid);

} // namespace crv
