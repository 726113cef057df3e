// The header line of a database file: "\_sh v3.0  400  Lexicon", the version, a number
// kept with the database, and the name of the database type starting at character 11
// of the value; optionally followed by the bare line "\_DateStampHasFourDigitYear".
#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace crv {

inline constexpr std::string_view kHeaderKey = "sh";
inline constexpr std::string_view kFourDigitYearKey = "DateStampHasFourDigitYear";
inline constexpr int kDefaultHeaderNumber = 400;

struct SFHeader {
    std::string typeName;
    int number = kDefaultHeaderNumber;
    bool fourDigitYear = false; // the date stamps need no conversion
};

// "v3.0  " then the number left-justified in 4 characters, a space and the type name.
// A number below 0 or above 9999 is written as 400.
std::string FormatHeaderValue(int number, std::string_view typeName);

// Reads number and type name from a header value. False (no usable header) unless the
// value's first line is longer than 11 characters and begins with "v3.0 ".
bool ParseHeaderValue(std::string_view value, SFHeader& header);

enum class HeaderStatus {
    Found,    // a usable header; the caller looks its type name up
    NoHeader, // not a database file (it goes to import)
    TooLarge, // the header entry passed the settings entry limit
};

// Reads the first entry of in through the settings stream as the key "_sh", then the
// optional "_DateStampHasFourDigitYear" line. A file whose first character is not a
// backslash has no header. Looking the type up by name is the caller's next step.
HeaderStatus ReadHeader(std::istream& in, SFHeader& header);

} // namespace crv
