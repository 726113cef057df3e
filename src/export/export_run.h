// Running an export: the properties dialog, the choice of records (the whole file, the
// current window's records as filtered and sorted, or the current record), the output
// file, and the standard format or RTF output, optionally through a change table. The
// output is written through a temporary file that replaces the output only when
// everything was written, so that a failure never leaves half a document behind.
#pragma once

#include <optional>
#include <string>

#include "base/platform.h"

namespace crv {

class CExportProcess;
class CIndex;
class CIndexSet;
class CRecord;

enum class ExportRecords { EntireFile, CurrentWindow, CurrentRecord };

// What is exported: the database and which of its records.
struct ExportRequest {
    CIndexSet* database = nullptr;
    std::string databasePath;   // never written over by an export
    std::string settingsFolder; // relative table and template paths are found here
    ExportRecords records = ExportRecords::EntireFile;
    CIndex* window = nullptr;  // the current window's index (filtered and sorted)
    CRecord* record = nullptr; // the current record
};

// What a run asks of the user. The platform implementation answers through the
// platform services; the desktop program shows its forms.
class ExportDialogs {
public:
    virtual ~ExportDialogs() = default;
    // The process's properties dialog; false when cancelled.
    virtual bool EditProperties(CExportProcess& process) = 0;
    // "Export Current Window": true to move the sorting field to the top of each
    // record; nullopt when cancelled. moveDefault is the process's current choice.
    virtual std::optional<bool> AskMoveSortField(bool moveDefault) = 0;
    // The output file; nullopt when cancelled.
    virtual std::optional<std::string> ChooseOutput(const FileRequest& request) = 0;
    // Opens the exported document with the application the system gives its type; false
    // when that failed.
    virtual bool OpenDocument(const std::string& path) = 0;
};

// Through the platform services: properties as stored (no form to show), the window
// question and the file as ChooseItem and ChooseFile, no document opened.
class PlatformExportDialogs : public ExportDialogs {
public:
    bool EditProperties(CExportProcess& process) override;
    std::optional<bool> AskMoveSortField(bool moveDefault) override;
    std::optional<std::string> ChooseOutput(const FileRequest& request) override;
    bool OpenDocument(const std::string& path) override;
};

enum class ExportResult { Done, Cancelled, Failed };

// Runs process over the request's records. Failures are shown as messages; the
// database is never changed.
ExportResult RunExport(CExportProcess& process, const ExportRequest& request,
                       ExportDialogs& dialogs);

// A path of the settings: as given when absolute, else in the settings folder.
std::string SettingsPath(const std::string& folder, const std::string& path);

} // namespace crv
