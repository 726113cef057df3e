// Rewriting a user's file safely: the new contents go to a temporary file in the same
// folder, which is flushed to disk and then renamed over the old file, so that a crash or
// a full disk never leaves a half-written file in place of a good one.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace crv {

struct SafeWriteResult {
    bool ok = false;
    // What failed, for messages: the temporary file could not be created, writing or
    // flushing it failed (typically a full disk), or the rename failed.
    enum class Failure { None, Create, Write, Rename } failure = Failure::None;
    std::string error; // the system's text for the failure
    explicit operator bool() const { return ok; }
};

// An unused name in path's folder made from path's name with the extension ext
// (".tmp", ".ori", ...): name.ext, then name1.ext, name2.ext ...
std::string UnusedSiblingName(const std::string& path, const std::string& ext);

// Writes a file through a new temporary file in the same folder: write fills the stream
// (returning false to abandon); the data is flushed to disk before the rename; the
// folder is synced after it. On any failure the temporary file is removed and path is
// untouched.
[[nodiscard]] SafeWriteResult WriteFileSafely(const std::string& path,
                                              const std::function<bool(std::ostream&)>& write);

// Flushes a written file's data to disk (fsync); false on failure.
bool SyncFile(const std::string& path);
// Flushes a folder's entries (a completed rename) to disk.
void SyncFolder(const std::string& folder);

} // namespace crv
