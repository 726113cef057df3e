#include "app/preferences.h"

#include <cstdlib>
#include <filesystem>

#include "base/message_text.h"
#include "base/platform.h"

namespace crv {

std::string Preferences::ConfigFolder() {
    if (const char* dir = std::getenv("CORVANE_CONFIG_DIR"); dir && *dir)
        return dir;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return (std::filesystem::path(xdg) / "corvane").string();
    const char* home = std::getenv("HOME");
    return (std::filesystem::path(home && *home ? home : ".") / ".config" / "corvane").string();
}

std::string Preferences::DefaultPath() {
    return (std::filesystem::path(ConfigFolder()) / "corvane.ini").string();
}

std::size_t Preferences::Limit(std::string_view key) {
    return key == kProjectLastClosed || key == kLastWndTitle ? 4096 : 260;
}

Preferences::Preferences(std::string path) : m_path(std::move(path)) {}

bool Preferences::Load() {
    if (m_ini.Load(m_path))
        return true;
    platform().ShowMessage(FormatMessage("%1\nCannot read the preferences file.", {m_path}));
    return false;
}

std::string Preferences::Get(std::string_view key) const {
    auto v = m_ini.Get(kSection, key);
    if (!v)
        return {};
    // The buffers of these values have fixed sizes; a longer value (a hand-edited file)
    // is not one the program wrote, so it is not used.
    if (v->size() >= Limit(key))
        return {};
    return *v;
}

bool Preferences::Set(std::string_view key, std::string_view value) {
    if (value.size() >= Limit(key)) {
        platform().ShowMessage(
            FormatMessage("The preference %1 is too long to be kept (at most %2 characters).",
                          {key, std::to_string(Limit(key) - 1)}));
        return false;
    }
    m_ini.Set(kSection, key, value);
    if (!m_ini.Save(m_path)) {
        platform().ShowMessage(FormatMessage("%1\nCannot write the preferences file.", {m_path}));
        return false;
    }
    return true;
}

std::string Preferences::FirstExistingFolder(const char* key1, const char* key2) const {
    std::error_code ec;
    for (const char* key : {key1, key2}) {
        std::string v = Get(key);
        if (!v.empty() && std::filesystem::is_directory(v, ec))
            return v;
    }
    return {};
}

std::string Preferences::ResolvedAppPath() const {
    std::string v = FirstExistingFolder(kAppPath, kAppPath2);
    return v.empty() ? std::string("Corvane") : v;
}

std::string Preferences::ResolvedDefaultSettingsFolder() const {
    return FirstExistingFolder(kDefaultSettingsFolder, kDefaultSettingsFolder2);
}

} // namespace crv
