// The logic of the Export dialog and of the export processes' properties dialogs and
// page setup: which choices each offers, what OK checks and stores, which messages
// follow. The desktop program's forms draw these and pass the user's edits in; crv and
// the tests drive them directly.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/export_run.h"
#include "export/page_setup.h"
#include "export/plx_process.h"

namespace crv {

class CExportProcessSet;

// "Export Page Setup": the fields as the user types them, in the paper's unit.
class PageSetupDialog {
public:
    static constexpr std::string_view kTitle = "Export Page Setup";
    explicit PageSetupDialog(const CRtfPageSetup& setup);

    // "Measurement unit: inches" or "Measurement unit: centimeters".
    std::string UnitLabel() const;
    // "&Inside:"/"&Outside:" when margins are mirrored, else "&Left:"/"&Right:".
    std::string LeftLabel() const;
    std::string RightLabel() const;
    // Another paper: the lengths shown are converted when the unit changes.
    void SetPaper(PaperSize size);
    const CRtfPageSetup& Setup() const { return m_setup; }
    CRtfPageSetup& Edit() { return m_setup; }

    // The typed texts of the lengths, by key ("topMargin", ...), and the column count.
    std::string Text(std::string_view key) const;
    void SetText(std::string_view key, std::string text);
    // Checks every typed value; the first bad one is named in a message and false
    // returned (the form selects that field). On success Setup() holds the values.
    bool Ok(std::string* badKey = nullptr);

private:
    CRtfPageSetup m_setup;
    std::vector<std::pair<std::string, std::string>> m_texts;
};

// The properties dialog of one process: an edited copy of its settings; OK checks the
// name and stores everything back.
class ExportProcessDialog {
public:
    explicit ExportProcessDialog(CExportProcess& process);

    // "SF Export Process Properties", "RTF Export Process Properties", or the dictionary
    // formatter's title.
    std::string Title() const;
    CExportProcess::Kind Kind() const { return m_process.GetKind(); }

    std::string name;
    std::string changeTable;
    // The markers of the type and whether each is exported (the record marker always).
    std::vector<std::pair<std::string, bool>> fields;
    // Rich Text Format.
    std::string documentTemplate;
    bool markerFont = false;
    bool tabAligned = false;
    int spacing = 0;
    // RTF and dictionary formatter.
    std::optional<PageSetupDialog> pageSetup;
    // Dictionary formatter: a copy of its settings, edited in place.
    std::unique_ptr<CExportProcessPLX> dictionary;

    // "Change Table for English Audience Labels", "Document Template for English
    // Audience" and the national ones, with the filter "Document Templates
    // (*.dot)|*.dot||" for templates.
    static FileRequest AudienceFileRequest(PlxAudience audience, bool labels,
                                           const std::string& current);

    // Checks the name ("Please give this export process a name.", another process's
    // name) and the page setup, then stores the settings; false after a message.
    bool Ok();

private:
    CExportProcess& m_process;
};

// The Export dialog: the processes, the records to export, and the options kept with
// the set.
class ExportDialog {
public:
    // The properties dialog of a process, shown by the form; false when cancelled.
    using EditFunction = std::function<bool(CExportProcess&)>;

    // hasWindow / hasRecord: whether the window's records and a current record exist.
    ExportDialog(CExportProcessSet& set, bool hasWindow, bool hasRecord);

    std::vector<std::string> ProcessNames() const;
    std::size_t Selected() const { return m_selected; }
    void Select(std::size_t index);
    CExportProcess* SelectedProcess() const;

    ExportRecords records = ExportRecords::EntireFile;
    bool autoOpen = false;
    bool showProperties = true;
    // Open after export applies to documents: not to standard format.
    bool AutoOpenEnabled() const;
    bool WindowEnabled() const { return m_hasWindow; }
    bool RecordEnabled() const { return m_hasRecord; }

    // Add: "Export Process Type" chooses the kind, then the new process's properties;
    // it joins the set on OK. Copy, Modify, Delete act on the selected process.
    bool Add(const EditFunction& edit);
    bool Copy();
    bool Modify(const EditFunction& edit);
    bool Delete();

    // Stores the choices with the set; the selected process, to run with RunExport.
    CExportProcess* Ok();

private:
    void SelectProcess(const CExportProcess* process);

    CExportProcessSet& m_set;
    bool m_hasWindow, m_hasRecord;
    std::size_t m_selected = 0;
};

} // namespace crv
