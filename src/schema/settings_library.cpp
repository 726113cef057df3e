#include "schema/settings_library.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace crv {

namespace fs = std::filesystem;

namespace {

bool IsInside(const fs::path& file, const fs::path& folder) {
    auto f = file.begin();
    for (auto d = folder.begin(); d != folder.end(); ++d, ++f) {
        if (d->empty())
            continue; // a trailing separator
        if (f == file.end() || *f != *d)
            return false;
    }
    return f != file.end();
}

} // namespace

std::string ResolveInSettingsFolder(const std::string& folder, std::string_view fileName) {
    if (folder.empty() || fileName.empty())
        return {};
    fs::path name{std::string(fileName)};
    if (name.is_absolute() || name.has_root_name() || name.has_root_directory())
        return {};
    for (const auto& part : name)
        if (part == "..")
            return {};
    std::error_code ec;
    fs::path base = fs::canonical(folder, ec);
    if (ec)
        return {};
    fs::path file = fs::canonical(base / name, ec);
    if (ec || !fs::is_regular_file(file, ec) || !IsInside(file, base))
        return {};
    return file.string();
}

CSettingsLibrary::~CSettingsLibrary() {
    if (m_handle)
        dlclose(m_handle);
}

std::unique_ptr<CSettingsLibrary>
CSettingsLibrary::Open(const std::string& folder, std::string_view fileName, std::string* reason) {
    std::string path = ResolveInSettingsFolder(folder, fileName);
    if (path.empty() && fileName.size() > 4) {
        std::string_view ext = fileName.substr(fileName.size() - 4);
        if (ext == ".dll" || ext == ".DLL")
            path = ResolveInSettingsFolder(
                folder, std::string(fileName.substr(0, fileName.size() - 4)) + ".so");
    }
    if (path.empty()) {
        if (reason)
            *reason = "not found in the settings folder";
        return nullptr;
    }
    // The path is absolute, so the loader does not search its own path list.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (reason) {
            const char* e = dlerror();
            *reason = e ? e : "cannot be loaded";
        }
        return nullptr;
    }
    return std::unique_ptr<CSettingsLibrary>(new CSettingsLibrary(handle, std::move(path)));
}

void* CSettingsLibrary::Symbol(const char* name) const {
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

} // namespace crv
