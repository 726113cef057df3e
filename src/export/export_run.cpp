// The export run of the standard format and RTF processes (the dictionary formatter has
// its own, plx_formatter.cpp). Order of the steps: properties, the window question,
// the change table and template checks, the output file, then the writing under
// "Exporting as %1" (cancellable), and for RTF the optional opening of the document.
#include "export/export_run.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/file_names.h"
#include "base/file_source.h"
#include "base/message_text.h"
#include "base/safe_file.h"
#include "base/same_file.h"
#include "engine/index.h"
#include "engine/index_set.h"
#include "export/export_process_set.h"
#include "export/export_support.h"
#include "export/plx_formatter.h"
#include "export/rtf_template.h"
#include "export/rtf_writer.h"
#include "record/sf_reader.h"
#include "schema/database_type.h"
#include "schema/marker.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kWindowTitle = "Export Current Window";
constexpr std::string_view kWithoutReordering = "Without reordering fields";
constexpr std::string_view kMovingField =
    "Moving the relevant sorting field to the top of the record";
constexpr std::string_view kNoTable = "%1\nCannot find this Zentab table file.";
constexpr std::string_view kNoTemplate = "%1\nCannot find this Document Template file.";
constexpr std::string_view kTableErrors =
    "%1\nThere are one or more syntax errors in this Zentab table file.";
constexpr std::string_view kTempOpenFailed =
    "%1\nCannot open this temporary file.\n\nPlease check whether it's already open in another "
    "program.";
constexpr std::string_view kWriteFailed =
    "%1\nFailed to write this file.\n\nPlease check whether there is enough disk space or "
    "whether it is also open in another program.";
constexpr std::string_view kOpenFailed =
    "%1\nFailed to automatically open this exported Rich Text Format file.\n\nIs its type "
    "associated with a word processing program?\nIs it already open?";
constexpr std::string_view kOverDatabase =
    "%1\nThis is the database being exported. Please choose another file for the export.";
constexpr std::string_view kProgress = "Exporting as %1";

// The records of the request in export order; sortField when the window is sorted by
// another marker than the record marker.
std::vector<ExportItem> CollectItems(const ExportRequest& r, bool moveSortField) {
    std::vector<ExportItem> items;
    switch (r.records) {
    case ExportRecords::CurrentRecord:
        if (r.record)
            items.push_back({r.record, nullptr});
        break;
    case ExportRecords::CurrentWindow:
        if (r.window) {
            bool byOther = r.window->PriMarker() != r.database->RecordMarker();
            items.reserve(r.window->Count());
            for (std::size_t i = 0; i < r.window->Count(); ++i) {
                const CIndexEntry* e = r.window->EntryAt(i);
                // Sorted by another marker: once per occurrence, never without one.
                if (byOther && !e->HasField())
                    continue;
                items.push_back({e->Record(), byOther && moveSortField ? e->Field() : nullptr});
            }
            break;
        }
        [[fallthrough]];
    case ExportRecords::EntireFile:
        for (CRecord* rec : r.database->RecordsInDefaultOrder())
            items.push_back({rec, nullptr});
        break;
    }
    return items;
}

// Where the save dialog starts: the last output, else beside the database.
std::string SuggestedOutput(const CExportProcess& process, const ExportRequest& r, bool rtf) {
    if (!process.exportedFile.empty())
        return process.exportedFile;
    fs::path db(r.databasePath);
    return (db.parent_path() / (db.stem().string() + (rtf ? ".rtf" : " export.txt"))).string();
}

// What failed inside the safe writer's callback, for its message.
enum class Failure { None, Cancelled, Table, TempWrite, TempOpen, TempTooLarge, Write };

struct Run {
    Run(CExportProcess& p, const ExportRequest& r) : process(p), request(r) {}
    CExportProcess& process;
    const ExportRequest& request;
    std::vector<ExportItem> items;
    std::string output;
    std::string tempPath; // RTF through a table: the standard format on the way
    std::string tablePath;
    CChangeTable table;
    bool hasTable = false;
    Failure failure = Failure::None;
    std::string tableError;
    std::unique_ptr<Progress> progress;

    bool Step() {
        progress->Step();
        if (progress->Cancelled()) {
            failure = Failure::Cancelled;
            return false;
        }
        return true;
    }

    bool WriteItems(RecordOutput& out) {
        for (const ExportItem& item : items) {
            WriteExportItem(out, item, process.Fields());
            if (!Step())
                return false;
        }
        return true;
    }

    // Standard format as the export writes it: the database header, then the records.
    bool WriteStandardFormat(std::ostream& out, bool header) {
        bool ok = WriteThroughTable(
            out, hasTable ? &table : nullptr,
            [&](SFStreamWriter& writer) {
                if (header) {
                    const CDatabaseType* type = request.database->Type();
                    WriteDatabaseHeader(writer, type ? type->Name() : "",
                                        request.database->HeaderRecordWidth(),
                                        type && type->DateStampMarker());
                }
                return WriteItems(writer);
            },
            tableError);
        if (!ok && failure == Failure::None)
            failure = tableError.empty() ? Failure::Write : Failure::Table;
        return ok;
    }
};

void ShowFailure(const Run& run) {
    switch (run.failure) {
    case Failure::None:
    case Failure::Cancelled:
        return;
    case Failure::Table:
        platform().ShowMessage(run.tablePath + "\n" + run.tableError);
        return;
    case Failure::TempWrite:
        ShowExportMessage(kTempWriteFailed, {run.tempPath});
        return;
    case Failure::TempOpen:
        ShowExportMessage(kTempOpenFailed, {run.tempPath});
        return;
    case Failure::TempTooLarge:
        ShowExportMessage(kTempTooLarge, {run.tempPath});
        return;
    case Failure::Write:
        ShowExportMessage(kWriteFailed, {run.output});
        return;
    }
}

// RTF through a change table: standard format through the table into a temporary
// file beside the output, read back record by record (with a scratch copy of the
// markers, so that markers the table makes do not join the type) into the writer.
bool WriteRtfThroughTable(Run& run, std::ostream& out, RtfDocumentSettings settings) {
    std::string tmp = run.tempPath = UnusedSiblingName(run.output, ".tmp");
    {
        std::ofstream file(tmp, std::ios::binary | std::ios::trunc);
        bool ok = file && run.WriteStandardFormat(file, true);
        file.close();
        if (!ok || !file) {
            std::remove(tmp.c_str());
            if (run.failure == Failure::Write || run.failure == Failure::None)
                run.failure = Failure::TempWrite;
            return false;
        }
    }
    struct Remove {
        std::string path;
        ~Remove() { std::remove(path.c_str()); }
    } removeTmp{tmp};
    FileSource source;
    if (!source.Open(tmp)) {
        run.failure = Failure::TempOpen;
        return false;
    }
    std::unique_ptr<CMarkerSet> markers = CopyMarkerSet(run.request.database->Markers());
    OstreamSink sink(out);
    RtfWriter writer(sink, *markers, std::move(settings));
    {
        SFStream reader(source, *markers, markers->RecordMarker(), true, false);
        std::unique_ptr<CRecord> record;
        while (reader.MoreRecords()) {
            if (!reader.ReadRecord(record))
                break;
            bool first = true;
            for (const CField& f : *record) {
                writer.WriteField(f, first);
                first = false;
            }
            record.reset();
        }
        if (reader.TooLarge()) {
            run.failure = Failure::TempTooLarge;
            return false;
        }
        if (reader.ReadFailed()) {
            run.failure = Failure::TempOpen;
            return false;
        }
    }
    bool ok = writer.Finish();
    if (!ok)
        run.failure = Failure::Write;
    return ok;
}

ExportResult RunStandardExport(CExportProcess& process, const ExportRequest& request,
                               ExportDialogs& dialogs) {
    CExportProcessSet& set = process.Owner();
    bool rtf = process.GetKind() == CExportProcess::Kind::RichText;
    auto* rtfProcess = dynamic_cast<CExportProcessRTF*>(&process);

    if (set.Options().showProperties && !dialogs.EditProperties(process))
        return ExportResult::Cancelled;
    bool move = process.priKeyFieldFirst;
    if (request.records == ExportRecords::CurrentWindow && request.window &&
        request.window->PriMarker() != request.database->RecordMarker()) {
        std::optional<bool> answer = dialogs.AskMoveSortField(process.priKeyFieldFirst);
        if (!answer)
            return ExportResult::Cancelled;
        if (*answer != process.priKeyFieldFirst) {
            process.priKeyFieldFirst = *answer;
            set.Touch();
        }
        move = *answer;
    }

    Run run(process, request);
    if (!process.changeTable.empty()) {
        run.tablePath = SettingsPath(request.settingsFolder, process.changeTable);
        if (!TableFileExists(run.tablePath)) {
            ShowExportMessage(kNoTable, {run.tablePath});
            return ExportResult::Failed;
        }
        run.hasTable = true;
    }
    std::string templatePath;
    RtfStyleSheet templateStyles;
    bool hasStyles = false;
    // The template is attached where the markers' fonts are not used.
    if (rtf && !rtfProcess->markerFont && !rtfProcess->documentTemplate.empty()) {
        templatePath = SettingsPath(request.settingsFolder, rtfProcess->documentTemplate);
        std::string text;
        std::error_code ec;
        if (!fs::is_regular_file(templatePath, ec) || !ReadWholeFile(templatePath, text)) {
            ShowExportMessage(kNoTemplate, {templatePath});
            return ExportResult::Failed;
        }
        hasStyles = templateStyles.Parse(text);
    }

    FileRequest fileRequest;
    fileRequest.title = "Export";
    fileRequest.initialPath = SuggestedOutput(process, request, rtf);
    fileRequest.filter = rtf ? "Rich Text Format (*.rtf)|*.rtf||" : "All files (*.*)|*.*||";
    fileRequest.save = true;
    fileRequest.mustExist = false;
    std::optional<std::string> chosen = dialogs.ChooseOutput(fileRequest);
    if (!chosen || chosen->empty())
        return ExportResult::Cancelled;
    run.output = *chosen;
    if (rtf && !fs::path(run.output).has_extension())
        run.output += ".rtf";
    if (!request.databasePath.empty() && SameFile(run.output, request.databasePath)) {
        ShowExportMessage(kOverDatabase, {run.output});
        return ExportResult::Failed;
    }
    if (process.exportedFile != run.output) {
        process.exportedFile = run.output;
        set.Touch();
    }
    if (run.hasTable && !run.table.LoadFile(run.tablePath)) {
        ShowExportMessage(kTableErrors, {run.tablePath});
        return ExportResult::Failed;
    }

    run.items = CollectItems(request, move);
    run.progress = platform().BeginProgress(FormatMessage(kProgress, {run.output}),
                                            static_cast<std::int64_t>(run.items.size()), true);
    SafeWriteResult written = WriteFileSafely(run.output, [&](std::ostream& out) {
        if (!rtf)
            return run.WriteStandardFormat(out, true);
        RtfDocumentSettings settings;
        settings.markerFonts = rtfProcess->markerFont;
        settings.tabAligned = rtfProcess->tabAligned;
        settings.spacing = rtfProcess->spacing ? rtfProcess->spacing : 120;
        settings.page = rtfProcess->pageSetup;
        settings.templatePath = templatePath;
        settings.linkStyles = set.Options().autoUpdateStyles;
        settings.templateStyles = hasStyles ? &templateStyles : nullptr;
        if (run.hasTable)
            return WriteRtfThroughTable(run, out, std::move(settings));
        OstreamSink sink(out);
        RtfWriter writer(sink, request.database->Markers(), std::move(settings));
        if (!run.WriteItems(writer))
            return false;
        if (!writer.Finish()) {
            run.failure = Failure::Write;
            return false;
        }
        return true;
    });
    run.progress.reset();
    if (!written) {
        if (run.failure == Failure::None)
            run.failure = Failure::Write;
        ShowFailure(run);
        return run.failure == Failure::Cancelled ? ExportResult::Cancelled : ExportResult::Failed;
    }
    if (rtf && set.Options().autoOpen && !dialogs.OpenDocument(run.output))
        ShowExportMessage(kOpenFailed, {run.output});
    return ExportResult::Done;
}

} // namespace

bool PlatformExportDialogs::EditProperties(CExportProcess&) { return true; }

std::optional<bool> PlatformExportDialogs::AskMoveSortField(bool moveDefault) {
    std::optional<std::size_t> choice = platform().ChooseItem(
        kWindowTitle, {std::string(kWithoutReordering), std::string(kMovingField)},
        moveDefault ? 1 : 0);
    if (!choice)
        return std::nullopt;
    return *choice == 1;
}

std::optional<std::string> PlatformExportDialogs::ChooseOutput(const FileRequest& request) {
    return platform().ChooseFile(request);
}

bool PlatformExportDialogs::OpenDocument(const std::string&) { return false; }

std::string SettingsPath(const std::string& folder, const std::string& path) {
    if (path.empty() || folder.empty() || fs::path(path).is_absolute())
        return path;
    return (fs::path(folder) / path).string();
}

ExportResult RunExport(CExportProcess& process, const ExportRequest& request,
                       ExportDialogs& dialogs) {
    CRV_ASSERT(request.database != nullptr);
    if (!request.database)
        return ExportResult::Failed;
    if (auto* plx = dynamic_cast<CExportProcessPLX*>(&process))
        return RunDictionaryFormatter(*plx, request, dialogs);
    return RunStandardExport(process, request, dialogs);
}

} // namespace crv
