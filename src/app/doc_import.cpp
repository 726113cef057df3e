// CCrvDoc: importing a file that is not yet a database. The import dialog chooses the
// type and the conversions; the file is read (through a change table when chosen),
// written as a database to a new temporary file, and that file replaces the source in
// one rename, the original kept as ".ori" when asked.
#include "app/crv_doc.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/doc_manager.h"
#include "app/document_dates.h"
#include "base/file_names.h"
#include "base/file_source.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "base/safe_file.h"
#include "record/database_file.h"
#include "record/sf_reader.h"
#include "schema/database_type.h"
#include "zentab/change_table_stream.h"

namespace crv {

namespace {

constexpr const char* kImportReadOnly = "%1\nCannot import this file because it is read-only.";
constexpr const char* kImportBusy =
    "%1\nFailed to import this file.\n\nPlease check whether it is also open in another program.";
constexpr const char* kImportDiskSpace =
    "%1\nFailed to import this file.\n\nPlease check whether there is enough disk space.";
constexpr const char* kImportWriteProtected =
    "%1\nFailed to import this file.\n\nPlease check whether the disk is write-protected.";
constexpr const char* kSameRecordMarker =
    "You must choose a database type using the same record marker as the data. %1\nMake a new "
    "type if necessary.";
constexpr const char* kNoRecordMarker =
    "Import Failure:\nThe %1 record marker  \\%2  was not found in the data.\nCheck that the "
    "database type and/or change table are correct.";
constexpr const char* kDiscrepancyTail =
    " before the %1 record marker  \\%2  was found.\n\nDo you want to choose a different "
    "database type and/or change table?\n  (Choose No to import as it is.)";

// The first bytes of the file, for the dialog; false when it cannot be read.
bool ReadPreview(const std::string& path, std::string& preview) {
    FileSource in;
    if (!in.Open(path))
        return false;
    preview.resize(CImportDialog::kPreviewSize);
    std::size_t got = 0;
    while (got < preview.size()) {
        std::size_t n = in.Read(preview.data() + got, preview.size() - got);
        if (n == 0)
            break;
        got += n;
    }
    preview.resize(got);
    return !in.Failed();
}

// The file as the reader takes it: as it stands, or through the change table.
struct ImportSource {
    FileSource file;
    std::ifstream raw;
    std::unique_ptr<CChangeTableIStream> converted;
    std::unique_ptr<IstreamSource> convertedSource;

    ByteSource& Source() {
        return convertedSource ? static_cast<ByteSource&>(*convertedSource) : file;
    }
    // The change table's messages of the run, one after another (empty without a table).
    std::string TableMessages() {
        std::string text;
        if (converted)
            Join(text, converted->Table().TakeMessages());
        return text;
    }
    // After an import that succeeded: the table's warnings of loading and of the run.
    void ShowTableWarnings() {
        if (!converted)
            return;
        std::string text;
        Join(text, converted->LoadResult().messages);
        Join(text, converted->Table().TakeMessages());
        if (!text.empty())
            platform().ShowMessage(text, MessageKind::Information);
    }

private:
    static void Join(std::string& text, const std::vector<ChangeTableMessage>& messages) {
        for (const auto& m : messages) {
            std::string_view t = m.text;
            while (!t.empty() && t.back() == '\n')
                t.remove_suffix(1);
            text += (text.empty() ? "" : "\n") + std::string(t);
        }
    }
};

std::string Count(long n) { return std::to_string(n); }

} // namespace

bool CCrvDoc::ImportFile(const std::string& path, ImportMode mode, std::string_view typeName,
                         std::string& message) {
    if (!FileIsWritable(path)) {
        message = FormatMessage(kImportReadOnly, {path});
        return false;
    }
    std::string preview;
    if (!ReadPreview(path, preview)) {
        message = FormatMessage(kImportBusy, {path});
        return false;
    }
    CImportDialog dialog(m_manager->Types(), m_manager->ImportSettings(), path, std::move(preview),
                         mode, std::string(typeName));
    for (;;) {
        if (!m_manager->Dialogs().RunImportDialog(dialog))
            return false;
        bool again = false;
        if (ImportWithChoices(path, mode, dialog, again, message))
            return true;
        if (!again)
            return false;
    }
}

bool CCrvDoc::ImportWithChoices(const std::string& path, ImportMode mode, CImportDialog& dialog,
                                bool& again, std::string& message) {
    CDatabaseType* type = dialog.ChosenType();
    if (!type) {
        again = true;
        return false;
    }
    ImportSource in;
    if (!in.file.Open(path)) {
        message = FormatMessage(kImportBusy, {path});
        return false;
    }
    const std::int64_t length = in.file.Size();
    if (dialog.useChangeTable) {
        in.file.Close();
        in.raw.open(path, std::ios::binary);
        in.converted = std::make_unique<CChangeTableIStream>(dialog.changeTable, in.raw);
        if (!in.converted->LoadResult()) {
            std::string why = in.converted->LoadResult().Text();
            platform().ShowMessage(
                FormatMessage("%1\nThe change table cannot be loaded.", {dialog.changeTable}) +
                (why.empty() ? "" : "\n\n" + why));
            again = true;
            return false;
        }
        in.convertedSource = std::make_unique<IstreamSource>(*in.converted);
    }

    CMarker* recordMarker = type->RecordMarker();
    SFStream reader(in.Source(), type->MarkerSet(), recordMarker, true, dialog.removeIndent);
    if (reader.TooLarge()) {
        message = TooLargeText(path);
        return false;
    }
    const long fields = reader.FieldsSkipped();
    const long lines = reader.LinesSkipped();
    if (mode == ImportMode::TypeMissing && (fields || lines)) {
        platform().ShowMessage(FormatMessage(kSameRecordMarker, {""}));
        again = true;
        return false;
    }
    if (!reader.MoreRecords()) {
        if (reader.ReadFailed()) {
            std::string table = in.TableMessages();
            message = FormatMessage(kImportBusy, {path}) + (table.empty() ? "" : "\n\n" + table);
            return false;
        }
        platform().ShowMessage(
            FormatMessage(kNoRecordMarker, {type->Name(), recordMarker->Name()}));
        again = true;
        return false;
    }
    if (fields > 1 || lines > 1) {
        std::string text =
            fields >= 2
                ? FormatMessage("Import Discrepancy:\n%1 fields were discarded", {Count(fields)})
                : FormatMessage("Import Discrepancy:\n%1 lines were discarded", {Count(lines)});
        text += FormatMessage(kDiscrepancyTail, {type->Name(), recordMarker->Name()});
        switch (platform().Ask(text, Buttons::YesNoCancel, std::nullopt, true)) {
        case Answer::Yes:
        case Answer::Ok:
            again = true;
            return false;
        case Answer::Cancel:
            return false;
        case Answer::No:
            break;
        }
    }

    auto set = std::make_unique<CIndexSet>(*type);
    set->SetRecordWidth(CIndexSet::kDefaultRecordWidth);
    CRecordList records;
    DatabaseReadResult read = ReadAllRecords(reader, path, length, records);
    if (!read.Ok()) {
        std::string table = in.TableMessages();
        if (!table.empty())
            platform().ShowMessage(table);
        return false; // the reading loop showed its message
    }
    set->AddRecords(records);
    // The written file says its date stamps have four-digit years: make it true.
    if (const CMarker* stamp = type->DateStampMarker())
        ConvertRecordsDates(*set, stamp, path);

    std::string original;
    std::function<void()> tellOriginal;
    if (dialog.backupOriginal) {
        // Beside the file itself when path is a link: the copy is renamed into place.
        original = UnusedSiblingName(ResolvedFilePath(path), ".ori");
        namespace fs = std::filesystem;
        if (fs::path(original).stem() != fs::path(path).stem())
            tellOriginal = [&original] {
                platform().ShowMessage(
                    FormatMessage("Backup Original will be named\n%1", {original}),
                    MessageKind::Information, false);
            };
    }
    // The source is replaced by the imported database in one rename; it is never
    // missing, even for a moment.
    switch (WriteSet(*set, path, original, path, tellOriginal).failure) {
    case SafeWriteResult::Failure::None:
        break;
    case SafeWriteResult::Failure::Create:
        message = FormatMessage(kImportWriteProtected, {path});
        return false;
    case SafeWriteResult::Failure::Write:
        message = FormatMessage(kImportDiskSpace, {path});
        return false;
    default:
        message = FormatMessage(kImportBusy, {path});
        return false;
    }
    in.ShowTableWarnings();
    m_readOnly = false;
    Adopt(std::move(set), path);
    m_modified = false;
    m_fourDigitYears = type->DateStampMarker() != nullptr;
    return true;
}

} // namespace crv
