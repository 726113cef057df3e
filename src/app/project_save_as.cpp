// Save project as. The settings folder is by definition the project file's folder, so a
// project saved into another folder takes copies of its .typ and .lng files there;
// without them the saved project would open without its types and encodings.
#include "app/project.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/project_paths.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "base/safe_file.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kAskReplace =
    "%1\nalready holds settings files of the same names:\n%2\n\nDo you want to replace them "
    "with the settings files of this project?";
constexpr std::string_view kCannotCopy = "The settings file %1 could not be written:\n%2";
constexpr std::string_view kCannotReadSettings = "The settings file %1 could not be read.";

bool ReadWhole(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

std::vector<std::string> CProject::SettingsFileNames() const {
    std::vector<std::string> names;
    for (const auto& p : m_langEncs->Proxies())
        if (!p.FileName().empty())
            names.push_back(p.FileName());
    for (const auto& p : m_types->Proxies())
        if (!p.FileName().empty())
            names.push_back(p.FileName());
    return names;
}

bool CProject::CopySettingsTo(const std::string& folder) {
    // Pending changes go to the files first, so that the copies hold them.
    if (!WriteModifiedSettings())
        return false;
    struct Copy {
        std::string target;
        std::string bytes;
    };
    std::vector<Copy> copies;
    std::string conflicts;
    std::error_code ec;
    for (const std::string& name : SettingsFileNames()) {
        Copy c{JoinPath(folder, name), {}};
        std::string source = JoinPath(m_settingsFolder, name);
        if (!ReadWhole(source, c.bytes)) {
            platform().ShowMessage(FormatMessage(kCannotReadSettings, {source}));
            return false;
        }
        if (fs::exists(c.target, ec)) {
            std::string present;
            if (ReadWhole(c.target, present) && present == c.bytes)
                continue;
            conflicts += name + '\n';
        }
        copies.push_back(std::move(c));
    }
    if (!conflicts.empty() &&
        platform().Ask(FormatMessage(kAskReplace, {FolderForDisplay(folder), conflicts}),
                       Buttons::YesNo, Answer::No) != Answer::Yes)
        return false;
    for (const Copy& c : copies) {
        SafeWriteResult r = WriteFileSafely(c.target, [&](std::ostream& out) {
            out.write(c.bytes.data(), static_cast<std::streamsize>(c.bytes.size()));
            return true;
        });
        if (!r) {
            platform().ShowMessage(FormatMessage(kCannotCopy, {c.target, r.error}));
            return false;
        }
    }
    return true;
}

void CProject::MoveTo(std::string path, std::string folder) {
    m_path = std::move(path);
    m_settingsFolder = std::move(folder);
    m_langEncs->Relocate(m_settingsFolder);
    m_types->Relocate(m_settingsFolder);
}

bool CProject::SaveAs(const std::string& newPath) {
    std::error_code ec;
    fs::path target = fs::absolute(newPath, ec).lexically_normal();
    std::string folder = target.parent_path().string();
    std::string oldPath = m_path, oldFolder = m_settingsFolder;
    if (fs::equivalent(folder, m_settingsFolder, ec)) {
        m_path = target.string();
        if (Save())
            return true;
        m_path = oldPath;
        return false;
    }
    if (!CopySettingsTo(folder))
        return false;
    MoveTo(target.string(), folder);
    // Paths relative to the old project folder would point elsewhere from the new one.
    auto openEntries = m_openEntries;
    auto unopenedEntries = m_unopenedEntries;
    for (auto& [path, entry] : m_openEntries)
        if (IsRelativeLocalPath(entry.writtenPath))
            entry.writtenPath.clear();
    for (auto& entry : m_unopenedEntries)
        if (IsRelativeLocalPath(entry.writtenPath))
            entry.writtenPath = JoinPath(oldFolder, entry.writtenPath);
    if (WriteProjectFile())
        return true;
    m_openEntries = std::move(openEntries);
    m_unopenedEntries = std::move(unopenedEntries);
    MoveTo(oldPath, oldFolder);
    return false;
}

} // namespace crv
