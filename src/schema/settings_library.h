// Shared libraries named in settings files (sort-key and rendering libraries). They are
// loaded from the settings folder only: a name that is absolute, climbs out with "..",
// or resolves (through symbolic links) to a file outside the folder is refused.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace crv {

class CSettingsLibrary {
public:
    ~CSettingsLibrary();
    CSettingsLibrary(const CSettingsLibrary&) = delete;
    CSettingsLibrary& operator=(const CSettingsLibrary&) = delete;

    // Loads fileName from folder. A name ending in ".dll" that is not there is also tried
    // with this platform's extension (".so"). Null when refused or not loadable, with the
    // reason in reason (if given).
    static std::unique_ptr<CSettingsLibrary>
    Open(const std::string& folder, std::string_view fileName, std::string* reason = nullptr);
    // An exported C function, or null.
    void* Symbol(const char* name) const;
    const std::string& Path() const { return m_path; }

private:
    CSettingsLibrary(void* handle, std::string path) : m_handle(handle), m_path(std::move(path)) {}
    void* m_handle;
    std::string m_path;
};

// The file inside folder that fileName names, resolved; empty when the name leaves the
// folder, is empty or absolute, or the file does not exist.
std::string ResolveInSettingsFolder(const std::string& folder, std::string_view fileName);

} // namespace crv
