#include "gui/export_commands.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <filesystem>

#include "app/crv_doc.h"
#include "app/project.h"
#include "base/platform.h"
#include "export/export_process_set.h"
#include "export/export_run.h"
#include "gui/database_window.h"
#include "gui/export_dialogs_qt.h"
#include "gui/main_window.h"
#include "schema/database_type.h"
#include "schema/database_type_set.h"

namespace crv::gui {

ExportCommands::ExportCommands(MainWindow& main, QMenu* file) : QObject(&main), m_main(main) {
    QAction* action = main.AddAction(
        file, "fileExport", "&Export...",
        "Export the records of this database as standard format or Rich Text Format\nExport",
        [this] { Export(); });
    QAction* before = main.Action("filePrintPreview");
    if (!before)
        before = main.Action("fileExit");
    file->insertAction(before, action);
    file->insertSeparator(before);
}

void ExportCommands::Update() {
    DatabaseWindow* w = m_main.ActiveWindow();
    m_main.Action("fileExport")->setEnabled(w && w->HasDocument());
}

void ExportCommands::Export() {
    DatabaseWindow* w = m_main.ActiveWindow();
    CProject* project = m_main.Project();
    if (!w || !w->HasDocument() || !project) {
        QApplication::beep();
        return;
    }
    CCrvDoc& doc = w->Document();
    // The record being edited is checked and stored before it is exported.
    if (!m_main.LeaveRecords(&doc))
        return;
    CDatabaseType& type = doc.Type();
    CExportProcessSet* set = ExportSetOf(type);
    if (!set) {
        platform().ShowMessage("This database type has no export processes.");
        return;
    }
    const std::string& folder = project->Types().SettingsFolder();
    CRecord* record = w->Current().Record();
    ExportDialogQt dialog(*set, true, record != nullptr, folder, &m_main);
    if (dialog.exec() == QDialog::Accepted && dialog.chosen) {
        ExportRequest request;
        request.database = &doc.Records();
        request.databasePath = doc.Path();
        request.settingsFolder = folder;
        request.records = dialog.Logic().records;
        request.window = &w->Index();
        request.record = record;
        // A name typed without a folder goes beside the database, where the run's own
        // suggestion would put it.
        std::string output = dialog.output;
        if (!output.empty() && std::filesystem::path(output).is_relative())
            output = (std::filesystem::path(doc.Path()).parent_path() / output).string();
        QtExportDialogs dialogs(&m_main, folder, output);
        RunExport(*dialog.chosen, request, dialogs);
    }
    // Processes added, changed or deleted, the last output and the choices kept: the
    // type file holds them from now on (a failed write has told why).
    if (type.IsModified())
        project->Types().Write(type);
    m_main.UpdateCommands();
}

} // namespace crv::gui
