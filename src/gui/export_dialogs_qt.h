// The forms of export: the Export dialog (processes, which records, output file, Open
// after export), each process kind's properties dialog, "Export Page Setup", and the
// run's dialogs as the desktop program shows them (the document opened with the
// desktop's default application).
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "export/export_dialogs.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace crv::gui {

class PageSetupDialogQt : public QDialog {
    Q_OBJECT
public:
    PageSetupDialogQt(PageSetupDialog& logic, QWidget* parent = nullptr);
    QComboBox* Paper() const { return m_paper; }
    QLineEdit* Field(const QString& key) const;
    void accept() override;

private:
    void ShowTexts();
    void TakeTexts();
    void UpdateLabels();

    PageSetupDialog& m_logic;
    QComboBox* m_paper;
    QLabel* m_unit;
    QLabel* m_left;
    QLabel* m_right;
    QCheckBox* m_mirror;
    QCheckBox* m_facing;
    QCheckBox* m_line;
    std::vector<std::pair<QString, QLineEdit*>> m_fields;
};

// The properties of one process; OK stores them through the logic, Cancel leaves the
// process as it was.
class ExportProcessDialogQt : public QDialog {
    Q_OBJECT
public:
    ExportProcessDialogQt(CExportProcess& process, const std::string& settingsFolder,
                          QWidget* parent = nullptr);
    ExportProcessDialog& Logic() { return m_logic; }
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* TableEdit() const { return m_table; }
    QListWidget* FieldList() const { return m_fields; }
    void accept() override;

private:
    void BuildRtf(QFormLayout* form);
    void BuildDictionary(QFormLayout* form);
    void PageSetup();
    void AudienceSetup();
    bool TakeDictionary();
    QString BrowseFor(const QString& title, const QString& filter, const QString& current);
    // A file of the settings (change table, template) with its "Browse..." button.
    QLineEdit* SettingsFileRow(QFormLayout* form, const char* label, const char* name,
                               const std::string& value, const char* title, const char* filter);

    ExportProcessDialog m_logic;
    std::string m_settingsFolder;
    QLineEdit* m_name;
    QLineEdit* m_table;
    QListWidget* m_fields;
    QLineEdit* m_template = nullptr;
    QCheckBox* m_markerFont = nullptr;
    QCheckBox* m_tabAligned = nullptr;
    QSpinBox* m_spacing = nullptr;
    QButtonGroup* m_audience = nullptr;
    QButtonGroup* m_format = nullptr;
    QLineEdit* m_title = nullptr;
    std::vector<std::pair<bool*, QCheckBox*>> m_options;
};

// The Export dialog over the database's export processes.
class ExportDialogQt : public QDialog {
    Q_OBJECT
public:
    ExportDialogQt(CExportProcessSet& set, bool hasWindow, bool hasRecord,
                   const std::string& settingsFolder, QWidget* parent = nullptr);
    ExportDialog& Logic() { return m_logic; }
    QListWidget* Processes() const { return m_processes; }
    QButtonGroup* Records() const { return m_records; }
    QLineEdit* Output() const { return m_output; }
    QCheckBox* AutoOpen() const { return m_autoOpen; }
    QCheckBox* ShowProperties() const { return m_showProperties; }
    // After OK: the process to run and the output file typed (empty: ask in the run).
    CExportProcess* chosen = nullptr;
    std::string output;
    void accept() override;

private:
    void FillProcesses();
    void ProcessChanged();
    bool EditProcess(CExportProcess& process);

    ExportDialog m_logic;
    std::string m_settingsFolder;
    QListWidget* m_processes;
    QButtonGroup* m_records;
    QLineEdit* m_output;
    QString m_prefill; // the selected process's last output
    QCheckBox* m_autoOpen;
    QCheckBox* m_showProperties;
};

// The run's dialogs in the desktop program: the properties form, the save dialog when
// the Export dialog left the output empty, and the document opened by the desktop.
class QtExportDialogs : public PlatformExportDialogs {
public:
    QtExportDialogs(QWidget* parent, std::string settingsFolder, std::string output)
        : m_parent(parent), m_settingsFolder(std::move(settingsFolder)),
          m_output(std::move(output)) {}
    bool EditProperties(CExportProcess& process) override;
    std::optional<std::string> ChooseOutput(const FileRequest& request) override;
    bool OpenDocument(const std::string& path) override;

    // How a document is opened: the desktop's default application for its type. Tests
    // put a recorder in its place.
    using Opener = std::function<bool(const std::string& path)>;
    static Opener& DocumentOpener();

private:
    QWidget* m_parent;
    std::string m_settingsFolder;
    std::string m_output;
};

} // namespace crv::gui
