// The checks and names that saving, importing and the safe writer use: whether a file
// exists or may be written, where a link leads, and the sibling names of temporary,
// backup and original copies.
#pragma once

#include <cstdint>
#include <string>

namespace crv {

bool FileExists(const std::string& path);
// A file that exists and may be written: the system allows it and the file has a write
// permission bit (a file without any counts as read-only, for every user).
bool FileIsWritable(const std::string& path);
// The file's modification time (0 when it cannot be read).
std::int64_t FileModificationTime(const std::string& path);
// The file path names, following symbolic links (also one whose file does not exist
// yet), so that a save rewrites the file and not the link.
std::string ResolvedFilePath(const std::string& path);

// path's folder joined with stem, numbered from 1 when number is not 0, and ext.
std::string NumberedSibling(const std::string& path, const std::string& stem, int number,
                            const std::string& ext);
// An unused name in path's folder made from path's name with the extension ext
// (".tmp", ".ori", ...): name.ext, then name1.ext, name2.ext ...; never path itself.
std::string UnusedSiblingName(const std::string& path, const std::string& ext);
// At most 8 letters and digits of path's file name ("crv" when it has none), the stem
// of a database's temporary file.
std::string ShortStem(const std::string& path);
// path with its extension replaced by ext (".bak", ".ori"); added when it has none.
std::string WithExtension(const std::string& path, const std::string& ext);
// Whether path's extension is ext, in any case.
bool HasExtension(const std::string& path, const std::string& ext);

} // namespace crv
