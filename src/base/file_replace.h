// Putting a newly written database file in place of the old one so that at no moment
// is the database missing or partial, keeping the previous version as the ".bak" (save)
// or ".ori" (import) copy; and the file checks and names that saving and importing use.
#pragma once

#include <cstdint>
#include <string>

#include "base/byte_stream.h"

namespace crv {

// The file operations that can fail in the last steps of a save or an import. Tests
// put a failing one in to reach every failure message.
class FileOps {
public:
    virtual ~FileOps() = default;
    // Creates path for writing when no file has that name; the descriptor, or -1.
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

bool FileExists(const std::string& path);
// A file that exists and may be written: the system allows it and the file has a write
// permission bit (a file without any counts as read-only, for every user).
bool FileIsWritable(const std::string& path);
// The file's modification time (0 when it cannot be read).
std::int64_t FileModificationTime(const std::string& path);
// The file path names, following symbolic links, so that a save rewrites the file and
// not the link.
std::string ResolvedFilePath(const std::string& path);

// A new ".tmp" name in path's folder made from at most 8 letters and digits of path's
// file name (numbered when in use).
std::string DatabaseTempName(const std::string& path);
// path with its extension replaced by ext (".bak", ".ori"); added when it has none.
std::string WithExtension(const std::string& path, const std::string& ext);
// Whether path's extension is ext, in any case.
bool HasExtension(const std::string& path, const std::string& ext);

enum class ReplaceFailure {
    None,
    BackupFailed, // the old backup could not be replaced (read-only, say)
    OldFileBusy,  // the old file could not be kept as the backup
    NewFileRename // the new file could not be renamed into place (it stays)
};

// Puts the complete, flushed file newFile in place of path. With a backup name, the old
// file (when there is one) first becomes the backup: a durable copy of it under a new
// temporary name is renamed over the backup, then newFile is renamed over path, so that
// path always holds the complete old or the complete new version and the backup always
// a complete earlier one. newFile is removed on every failure except the last rename.
ReplaceFailure ReplaceKeepingBackup(const std::string& newFile, const std::string& path,
                                    const std::string& backup, FileOps& ops);

// A file being written under a new name: created only when the name is not in use,
// flushed to disk by Finish. Destroying an unfinished one removes it.
class NewFile : public ByteSink {
public:
    NewFile() = default;
    ~NewFile() override;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // false when the file cannot be created (the name is in use, the folder cannot be
    // written).
    bool Create(const std::string& path, FileOps& ops);
    bool Write(const char* data, std::size_t n) override;
    // Flushes the data to disk and closes; false when that or any write failed. The
    // file is kept either way; Abandon removes it.
    bool Finish();
    void Abandon();
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_failed = false;
    bool m_created = false;
    bool m_finished = false;
};

// Gives newFile path's permission bits, so that a rewritten file keeps who may read it.
void CopyPermissions(const std::string& path, const std::string& newFile);

} // namespace crv
