// The preferences file "corvane.ini" in the user's configuration folder: the last
// project, the running instance's window title, default settings folders and the
// folder that replaces "<AppPath>" in database paths.
#pragma once

#include <string>
#include <string_view>

#include "app/ini_file.h"

namespace crv {

class Preferences {
public:
    static constexpr const char* kSection = "The Linguist's Corvane";
    static constexpr const char* kProjectLastClosed = "ProjectLastClosed";
    static constexpr const char* kLastWndTitle = "LastWndTitle";
    static constexpr const char* kDefaultSettingsFolder = "DefaultSettingsFolder";
    static constexpr const char* kDefaultSettingsFolder2 = "DefaultSettingsFolder2";
    static constexpr const char* kAppPath = "AppPath";
    static constexpr const char* kAppPath2 = "AppPath2";

    // $CORVANE_CONFIG_DIR, else $XDG_CONFIG_HOME/corvane, else ~/.config/corvane.
    static std::string ConfigFolder();
    // The preferences file in the configuration folder.
    static std::string DefaultPath();
    // How many characters a key's value may hold (260, or 4096 for paths and titles).
    static std::size_t Limit(std::string_view key);

    explicit Preferences(std::string path = DefaultPath());

    // Reads the file; a missing file gives empty values.
    bool Load();
    // A value; empty when absent or longer than its limit (reported once, then ignored).
    std::string Get(std::string_view key) const;
    // Sets a value and writes the file at once, as profile writes do. A value past its
    // limit is refused with a message and nothing is written.
    bool Set(std::string_view key, std::string_view value);

    // The first of AppPath and AppPath2 that is set and exists, else "Corvane".
    std::string ResolvedAppPath() const;
    // The first of DefaultSettingsFolder and DefaultSettingsFolder2 that is set and exists,
    // else empty.
    std::string ResolvedDefaultSettingsFolder() const;

    const std::string& Path() const { return m_path; }

private:
    std::string FirstExistingFolder(const char* key1, const char* key2) const;
    std::string m_path;
    IniFile m_ini;
};

} // namespace crv
