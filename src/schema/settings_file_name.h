// Settings files of a folder (.typ, .lng): the names of new ones, made from the name of
// what they hold; the files there are; and what their first entries say.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace crv {

// name's ASCII letters and digits, at most 8 of them, plus ext (".lng"); while a file of
// that name exists in folder or is in taken, a counter from 2 is appended, the base cut
// so that base and counter stay within 8 characters. A name without letters or digits
// uses ext's letters as its base.
std::string MakeSettingsFileName(const std::string& folder, std::string_view name,
                                 std::string_view ext, const std::vector<std::string>& taken = {});

// The names of the regular files of folder whose extension is ext (".lng"), in any
// letter case, sorted; none when the folder cannot be read.
std::vector<std::string> SettingsFilesIn(const std::string& folder, std::string_view ext);

// The name and settings version a settings file begins with.
struct SettingsFileHeader {
    std::string name;            // the begin line's value; the file's base name when empty
    std::string version = "3.0"; // "\ver" among the first keys
};
enum class SettingsFileStatus { Ok, NotSettings, CannotRead };
// Reads the begin line of objectKey ("\+LanguageEncoding NAME") and the version from the
// file at path.
SettingsFileStatus ReadSettingsFileHeader(const std::string& path, std::string_view objectKey,
                                          SettingsFileHeader& header);

} // namespace crv
