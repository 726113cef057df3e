#include "base/sf_header.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/object_stream.h"

namespace crv {

std::string FormatHeaderValue(int number, std::string_view typeName) {
    if (number < 0 || number > 9999)
        number = kDefaultHeaderNumber;
    char buf[16];
    std::snprintf(buf, sizeof buf, "v3.0  %-4d ", number);
    return std::string(buf).append(typeName);
}

bool ParseHeaderValue(std::string_view value, SFHeader& header) {
    // A type name never spans lines: text after the first line is not part of it.
    std::size_t nl = value.find('\n');
    if (nl != std::string_view::npos)
        value = value.substr(0, nl);
    if (!value.empty() && value.back() == '\r')
        value.remove_suffix(1);
    if (value.size() <= 11 || value.substr(0, 5) != "v3.0 ")
        return false;
    std::string_view name = value.substr(11);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.remove_suffix(1);
    if (name.empty())
        return false;
    // The decimal number at character 6, as atoi reads it; far too large values are
    // kept large (they are written back as 400).
    long number = std::strtol(std::string(value.substr(6)).c_str(), nullptr, 10);
    header.number = static_cast<int>(std::clamp(number, -1000000000L, 1000000000L));
    header.typeName = std::string(name);
    return true;
}

HeaderStatus ReadHeader(std::istream& in, SFHeader& header) {
    ObjectStream settings(in);
    if (!settings.AtBackslash())
        return HeaderStatus::NoHeader;
    std::string value;
    std::string key = "_" + std::string(kHeaderKey);
    if (!settings.ReadString(key, value))
        return settings.Overflow() ? HeaderStatus::TooLarge : HeaderStatus::NoHeader;
    SFHeader found;
    if (!ParseHeaderValue(value, found))
        return HeaderStatus::NoHeader;
    settings.ReadBool("_" + std::string(kFourDigitYearKey), found.fourDigitYear);
    header = std::move(found);
    return HeaderStatus::Found;
}

} // namespace crv
