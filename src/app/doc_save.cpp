// CCrvDoc: writing the database (save, new database) through a new temporary file that
// replaces the old file only when it is complete and on disk, the old file kept as the
// ".bak" copy.
#include "app/crv_doc.h"

#include "app/doc_manager.h"
#include "base/file_replace.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "record/sf_writer.h"
#include "schema/database_type.h"

namespace crv {

namespace {

constexpr const char* kSaveReadOnly =
    "%1\nThis file exists and is read-only.\n\nPlease use a different filename.";
constexpr const char* kSaveDiskSpace =
    "%1\nFailed to save this file.\n\nPlease check whether there is enough disk space.";
constexpr const char* kSaveWriteProtected =
    "%1\nFailed to save this file.\n\nPlease check whether the disk is write-protected.";
constexpr const char* kSaveBackupReadOnly =
    "%1\nFailed to save this file.\n\nPlease check whether its .bak backup copy is read-only.";
constexpr const char* kSaveBusy =
    "%1\nFailed to save this file.\n\nPlease check whether it is also open in another program.";
constexpr const char* kNewFailed =
    "%1\nCannot open this new file.\n\nPlease check whether there is enough disk space.";

} // namespace

CCrvDoc::WriteResult CCrvDoc::WriteDatabaseFile(const std::string& path,
                                                std::string_view displayName) const {
    return WriteSet(*m_set, path, displayName);
}

CCrvDoc::WriteResult CCrvDoc::WriteSet(const CIndexSet& set, const std::string& path,
                                       std::string_view displayName) const {
    const CDatabaseType& type = *set.Type();
    NewFile file;
    if (!file.Create(path, m_manager->Ops()))
        return WriteResult::CreateFailed;
    bool ok;
    {
        auto progress =
            platform().BeginProgress(FormatMessage("Writing %1", {displayName}),
                                     static_cast<std::int64_t>(set.RecordCount()), false);
        SFStreamWriter writer(file);
        WriteDatabaseHeader(writer, type.Name(), set.HeaderRecordWidth(),
                            type.DateStampMarker() != nullptr);
        set.WriteRecords(writer, progress.get());
        ok = writer.Flush();
    }
    ok = file.Finish() && ok;
    if (!ok) {
        file.Abandon();
        return WriteResult::WriteFailed;
    }
    return WriteResult::Ok;
}

std::string CCrvDoc::WriteTemporaryFile(const CIndexSet& set, const std::string& target,
                                        const std::string& shownPath, const char* createFailed,
                                        const char* writeFailed, std::string& message) const {
    const std::string tmp = DatabaseTempName(target);
    switch (WriteSet(set, tmp, shownPath)) {
    case WriteResult::Ok:
        break;
    case WriteResult::CreateFailed:
        message = FormatMessage(createFailed, {shownPath});
        return {};
    case WriteResult::WriteFailed:
        message = FormatMessage(writeFailed, {shownPath});
        return {};
    }
    CopyPermissions(target, tmp);
    return tmp;
}

bool CCrvDoc::SaveDatabase(const std::string& path, std::string& message) {
    // A link is followed: the file it names is rewritten, the link stays.
    const std::string target = ResolvedFilePath(path);
    const bool existed = FileExists(target);
    if (existed && !FileIsWritable(target)) {
        message = FormatMessage(kSaveReadOnly, {path});
        return false;
    }
    const std::string tmp =
        WriteTemporaryFile(*m_set, target, path, kSaveWriteProtected, kSaveDiskSpace, message);
    if (tmp.empty())
        return false;
    // A ".bak" file is replaced directly: there is no backup of a backup.
    const std::string backup =
        HasExtension(target, ".bak") ? std::string() : WithExtension(target, ".bak");
    switch (ReplaceKeepingBackup(tmp, target, backup, m_manager->Ops())) {
    case ReplaceFailure::None:
        break;
    case ReplaceFailure::BackupFailed:
        message = FormatMessage(kSaveBackupReadOnly, {path});
        return false;
    case ReplaceFailure::OldFileBusy:
    case ReplaceFailure::NewFileRename:
        message = FormatMessage(kSaveBusy, {path});
        return false;
    }
    m_modified = false;
    m_fourDigitYears = m_fourDigitYears || Type().DateStampMarker() != nullptr;
    m_fileTime = FileModificationTime(target);
    return true;
}

bool CCrvDoc::CreateNewDatabase(const std::string& path, CDatabaseType& type,
                                std::string& message) {
    auto set = std::make_unique<CIndexSet>(type);
    set->SetRecordWidth(CIndexSet::kDefaultRecordWidth);
    set->AddRecord(new CRecord(new CField(type.RecordMarker())));
    // The new file replaces an existing one (the user agreed) only once it is complete;
    // what was there is kept as the ".bak" copy.
    const std::string target = ResolvedFilePath(path);
    const std::string tmp = DatabaseTempName(target);
    bool ok = WriteSet(*set, tmp, path) == WriteResult::Ok;
    if (ok) {
        const std::string backup =
            HasExtension(target, ".bak") ? std::string() : WithExtension(target, ".bak");
        if (FileExists(target))
            CopyPermissions(target, tmp);
        ReplaceFailure failure = ReplaceKeepingBackup(tmp, target, backup, m_manager->Ops());
        if (failure == ReplaceFailure::NewFileRename)
            std::remove(tmp.c_str());
        ok = failure == ReplaceFailure::None;
    }
    if (!ok) {
        message = FormatMessage(kNewFailed, {path});
        return false;
    }
    m_readOnly = false;
    Adopt(std::move(set), path);
    m_modified = false;
    m_fourDigitYears = type.DateStampMarker() != nullptr;
    return true;
}

} // namespace crv
