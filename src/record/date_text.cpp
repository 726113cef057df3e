#include "record/date_text.h"

#include <cstdio>

#include "record/platform.h"

namespace crv {

namespace {
constexpr std::string_view kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
} // namespace

std::string_view MonthAbbreviation(int month) {
    if (month < 1 || month > 12)
        return {};
    return kMonths[month - 1];
}

std::string DateStampText(const CalendarDate& date) {
    // A stamp always carries a four-digit year; the clock is past 2038 soon enough that
    // only the four digits are a limit.
    CRV_ASSERT(date.year >= 1900 && date.year <= 9999);
    CRV_ASSERT(date.month >= 1 && date.month <= 12);
    CRV_ASSERT(date.day >= 1 && date.day <= 31);
    std::string_view month = MonthAbbreviation(date.month);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%.*s/%d", date.day, static_cast<int>(month.size()),
                  month.data(), date.year);
    return buf;
}

CalendarDate LocalDate(std::time_t moment) {
    std::tm parts{};
#if defined(_WIN32)
    localtime_s(&parts, &moment);
#else
    localtime_r(&moment, &parts);
#endif
    return CalendarDate{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

std::string TodayText(std::time_t now) { return DateStampText(LocalDate(now)); }

} // namespace crv
