// Database paths as a project file holds them. Such a file may have been written on
// another system, so both '/' and '\' separate folders here, and a path may begin with
// "<AppPath>", the folder the preferences name for the program's own data.
#pragma once

#include <string>
#include <string_view>

namespace crv {

inline constexpr std::string_view kAppPathPrefix = "<AppPath>";

// The folder part (without the last separator) and the file-name part of a path.
std::string_view PathFolder(std::string_view path);
std::string_view PathFileName(std::string_view path);

// A path that looks like one of another system: it holds a colon that is neither its last
// character nor followed by a backslash ("Disk:Folder:lex.db", "C:lex.db").
bool LooksLikeOtherSystemPath(std::string_view path);

// "<AppPath>rest" with the prefix replaced by appFolder; other paths as they are. The rest
// may come from another system: its backslashes become this system's separators.
std::string SubstituteAppPath(std::string_view path, std::string_view appFolder);

// A path relative to some folder of this system: not absolute, and not one of another
// system (no colon, no leading backslash).
bool IsRelativeLocalPath(std::string_view path);

// folder joined with name; name alone when it is absolute or folder is empty.
std::string JoinPath(std::string_view folder, std::string_view name);

// A database path of a project moved away from savedProjectPath to projectPath: a path in
// the old project folder is taken to lie in the new one; others are kept.
std::string MovedProjectPath(std::string_view path, std::string_view savedProjectPath,
                             std::string_view projectPath);

// A folder shown to the user: without a trailing separator.
std::string FolderForDisplay(std::string_view folder);

} // namespace crv
