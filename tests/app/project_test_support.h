// Helpers of the project tests: settings files and databases written into scratch
// folders, and the paths of a project's open databases.
#pragma once

#include <string>
#include <vector>

#include "app/doc_manager.h"
#include "app/project.h"
#include "support/test_support.h"

namespace crv::test {

// A database type "name" with record marker lx and the date stamps in dt, naming its
// version (none when version is empty).
inline std::string TypeFileText(const std::string& name, const std::string& version) {
    std::string text = "\\+DatabaseType " + name + "\r\n";
    if (!version.empty())
        text += "\\ver " + version + "\r\n";
    text += "\\+mkrset\r\n\\lngDefault Default\r\n\\mkrRecord lx\r\n\r\n\\+mkr dt\r\n\\lng "
            "Default\r\n\\mkrOverThis lx\r\n\\-mkr\r\n\\+mkr lx\r\n\\lng Default\r\n\\-mkr\r\n"
            "\\-mkrset\r\n\\mkrRecord lx\r\n\\mkrDateStamp dt\r\n\\-DatabaseType\r\n";
    return text;
}

inline const char* const kDefaultEncodingFile =
    "\\+LanguageEncoding Default\r\n\\ver 4.0\r\n\\-LanguageEncoding\r\n";

// A database of type Lex with four-digit date stamps and one record.
inline const char* const kLexDatabase =
    "\\_sh v3.0  400  Lex\r\n\\_DateStampHasFourDigitYear\r\n\r\n\\lx a\r\n";

// The paths of the project's open databases, in the order they were opened.
inline std::vector<std::string> DocPaths(CProject& project) {
    std::vector<std::string> out;
    for (const CCrvDoc* doc : project.Documents().Documents())
        out.push_back(doc->Path());
    return out;
}

} // namespace crv::test
