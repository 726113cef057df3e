// CCrvDoc: writing the database (save, new database) through a new temporary file that
// replaces the old file only when it is complete and on disk, the old file kept as the
// ".bak" copy.
#include "app/crv_doc.h"

#include "app/doc_manager.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "base/safe_file.h"
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
    switch (WriteSet(*m_set, path, {}, displayName).failure) {
    case SafeWriteResult::Failure::None:
        return WriteResult::Ok;
    case SafeWriteResult::Failure::Create:
        return WriteResult::CreateFailed;
    default:
        return WriteResult::WriteFailed;
    }
}

SafeWriteResult CCrvDoc::WriteSet(const CIndexSet& set, const std::string& path,
                                  const std::string& backup, std::string_view displayName,
                                  const std::function<void()>& beforeReplacing) const {
    const CDatabaseType& type = *set.Type();
    SafeFileWriter file;
    SafeWriteResult opened = file.Open(path, {backup, TempNaming::ShortName, &m_manager->Ops()});
    if (!opened)
        return opened;
    {
        auto progress =
            platform().BeginProgress(FormatMessage("Writing %1", {displayName}),
                                     static_cast<std::int64_t>(set.RecordCount()), false);
        SFStreamWriter writer(file);
        WriteDatabaseHeader(writer, type.Name(), set.HeaderRecordWidth(),
                            type.DateStampMarker() != nullptr);
        set.WriteRecords(writer, progress.get());
        (void)writer.Flush(); // a write that failed is the file's to report
    }
    if (beforeReplacing && !file.WriteError())
        beforeReplacing();
    return file.Commit();
}

bool CCrvDoc::SaveDatabase(const std::string& path, std::string& message) {
    // A link is followed: the file it names is rewritten, the link stays.
    const std::string target = ResolvedFilePath(path);
    if (FileExists(target) && !FileIsWritable(target)) {
        message = FormatMessage(kSaveReadOnly, {path});
        return false;
    }
    // A ".bak" file is replaced directly: there is no backup of a backup.
    const std::string backup =
        HasExtension(target, ".bak") ? std::string() : WithExtension(target, ".bak");
    SafeWriteResult written = WriteSet(*m_set, target, backup, path);
    switch (written.failure) {
    case SafeWriteResult::Failure::None:
        break;
    case SafeWriteResult::Failure::Create:
        message = FormatMessage(kSaveWriteProtected, {path});
        return false;
    case SafeWriteResult::Failure::Write:
        message = FormatMessage(kSaveDiskSpace, {path});
        return false;
    case SafeWriteResult::Failure::Backup:
        message = FormatMessage(kSaveBackupReadOnly, {path});
        return false;
    case SafeWriteResult::Failure::OldFile:
    case SafeWriteResult::Failure::Rename:
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
    const std::string backup =
        HasExtension(target, ".bak") ? std::string() : WithExtension(target, ".bak");
    if (!WriteSet(*set, target, backup, path)) {
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
