// Writing a file that may replace a user's file: the one writer of the program's
// databases, settings, project, preferences and outputs.
//
// A regular file (or a name not in use) gets its new contents in a temporary file created
// for this write alone in the same folder, with the old file's permission bits; the data
// is flushed to disk and only then renamed over the old file, so that a crash or a full
// disk never leaves a half-written file in place of a good one. The old version can be
// kept under a backup name, which always holds a complete earlier version. A symbolic
// link is followed: the file it names is rewritten and the link stays. Anything else (a
// device, a pipe) is written directly, as a shell redirection would. Every failure is
// reported, and no temporary file outlives the write, whether it succeeded or not.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "base/byte_stream.h"

namespace crv {

// The file operations that can fail in the steps of a safe write. Tests put a failing one
// in to reach every failure message.
class FileOps {
public:
    virtual ~FileOps() = default;
    // Creates path for writing when no file has that name; the descriptor, or -1 with
    // errno set (EEXIST: the name is in use).
    virtual int CreateNew(const std::string& path);
    // Renames from to to, atomically replacing a file named to; false on failure.
    virtual bool Rename(const std::string& from, const std::string& to);
    // Makes to (a name not in use) a complete, durable copy of from: a second hard link
    // where the file system allows, else a copy flushed to disk. false on failure (to
    // does not exist then).
    virtual bool MakeDurableCopy(const std::string& from, const std::string& to);
};

// The real operations.
FileOps& DefaultFileOps();

struct SafeWriteResult {
    enum class Failure {
        None,
        Create,  // the temporary file, or a target written directly, could not be opened
        Write,   // writing or flushing failed (typically a full disk)
        Backup,  // the old backup could not be replaced (read-only, say)
        OldFile, // the old file could not be kept as the backup
        Rename   // the new file could not be renamed into place
    };
    bool ok = false;
    Failure failure = Failure::None;
    std::string error; // the system's text for the failure
    explicit operator bool() const { return ok; }
};

enum class TempNaming {
    Sibling,  // the target's name with ".tmp" for its extension
    ShortName // at most 8 letters and digits of the target's name, ".tmp" (databases)
};

struct SafeWriteOptions {
    std::string backup; // the old file is kept under this name; empty: no backup
    TempNaming naming = TempNaming::Sibling;
    FileOps* ops = nullptr; // null: the real operations
};

class SafeFileWriter : public ByteSink {
public:
    SafeFileWriter() = default;
    ~SafeFileWriter() override;
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Starts a write of path. On failure nothing was created.
    SafeWriteResult Open(const std::string& path, const SafeWriteOptions& options = {});
    // false once any write failed (the failure is reported again by Commit).
    bool Write(const char* data, std::size_t n) override;
    // Flushes the data to disk and puts it in place, keeping the backup. On failure the
    // old file and its backup are as they were.
    SafeWriteResult Commit();
    // Drops the write: the temporary file goes (a target written directly keeps what
    // already reached it).
    void Abandon();

    // The file written: the path given, with its links followed.
    const std::string& Target() const { return m_target; }
    // The temporary file; empty when the target is written directly.
    const std::string& TempPath() const { return m_temp; }
    // The errno of the first write that failed; 0 when none did.
    int WriteError() const { return m_writeError; }

private:
    SafeWriteResult Failed(SafeWriteResult::Failure failure, int error);
    SafeWriteResult KeepBackup();

    std::string m_target, m_temp, m_backup;
    FileOps* m_ops = nullptr;
    int m_fd = -1;
    int m_writeError = 0; // errno of the first failed write
    bool m_direct = false;
};

// Writes path through a SafeFileWriter: write fills the stream (returning false to
// abandon the write, which is then reported as a Write failure).
[[nodiscard]] SafeWriteResult WriteFileSafely(const std::string& path,
                                              const std::function<bool(std::ostream&)>& write,
                                              const SafeWriteOptions& options = {});

} // namespace crv
