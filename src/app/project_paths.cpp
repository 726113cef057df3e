#include "app/project_paths.h"

#include <filesystem>

namespace crv {

namespace {

std::size_t LastSeparator(std::string_view path) { return path.find_last_of("/\\"); }

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

} // namespace

std::string_view PathFolder(std::string_view path) {
    std::size_t sep = LastSeparator(path);
    if (sep == std::string_view::npos)
        return {};
    // The root keeps its separator: "/lex.db" lies in "/".
    return path.substr(0, sep == 0 ? 1 : sep);
}

std::string_view PathFileName(std::string_view path) {
    std::size_t sep = LastSeparator(path);
    return sep == std::string_view::npos ? path : path.substr(sep + 1);
}

bool LooksLikeOtherSystemPath(std::string_view path) {
    for (std::size_t i = 0; i < path.size(); ++i)
        if (path[i] == ':' && i + 1 < path.size() && path[i + 1] != '\\')
            return true;
    return false;
}

std::string SubstituteAppPath(std::string_view path, std::string_view appFolder) {
    if (!path.starts_with(kAppPathPrefix))
        return std::string(path);
    std::string rest(path.substr(kAppPathPrefix.size()));
    char native = static_cast<char>(std::filesystem::path::preferred_separator);
    for (char& c : rest)
        if (IsSeparator(c))
            c = native;
    while (!rest.empty() && rest.front() == native)
        rest.erase(0, 1);
    return JoinPath(appFolder, rest);
}

bool IsRelativeLocalPath(std::string_view path) {
    return !path.empty() && !std::filesystem::path(path).is_absolute() &&
           path.find(':') == std::string_view::npos && path.front() != '\\';
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    if (folder.empty() || name.empty())
        return std::string(folder.empty() ? name : folder);
    if (std::filesystem::path(name).is_absolute())
        return std::string(name);
    std::string out(folder);
    if (!IsSeparator(out.back()))
        out += static_cast<char>(std::filesystem::path::preferred_separator);
    out += name;
    return out;
}

std::string MovedProjectPath(std::string_view path, std::string_view savedProjectPath,
                             std::string_view projectPath) {
    std::string_view oldFolder = PathFolder(savedProjectPath);
    std::string_view newFolder = PathFolder(projectPath);
    if (oldFolder == newFolder || PathFolder(path) != oldFolder)
        return std::string(path);
    return JoinPath(newFolder, PathFileName(path));
}

std::string FolderForDisplay(std::string_view folder) {
    while (folder.size() > 1 && IsSeparator(folder.back()))
        folder.remove_suffix(1);
    return std::string(folder);
}

} // namespace crv
