// A small reader and writer of profile (INI) files: "[Section]" lines and "key=value"
// lines. Section and key names match without regard to ASCII case, as profile files
// always have; lines the program does not know are kept as they are.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace crv {

class IniFile {
public:
    // Reads the file; a missing file is an empty profile. False when it exists but cannot
    // be read.
    bool Load(const std::string& path);
    // Writes the file safely (temporary file and rename), creating its folder.
    bool Save(const std::string& path) const;

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // The file's text as it would be written.
    std::string Text() const;
    void Parse(std::string_view text);

private:
    struct Line {
        std::string text;    // the raw line (for unknown lines and section headers)
        std::string section; // the section it belongs to
        std::string key;     // empty for anything but key=value lines
        std::string value;
    };
    std::vector<Line> m_lines;
};

} // namespace crv
