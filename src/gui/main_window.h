// The main window: the multiple-document area with the database windows, the menus and
// toolbar with each command's status-bar prompt and tooltip, the status bar, the Window
// menu and the About box. Project and document commands go to the application logic.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <functional>
#include <memory>

#include "app/project.h"

namespace crv {
class CCrvApp;
class CCrvDoc;
class CProject;
class CRecordView;
class InstanceLock;
class Preferences;
} // namespace crv

namespace crv::gui {

class CorpusCommands;
class DatabaseWindow;
class ExportCommands;
class InterlinearCommands;
class ServiceCommands;
class TypeCommands;
class QtViewDialogs;

class MainWindow : public QMainWindow, public CWindowOpener {
    Q_OBJECT
public:
    // lock: the running instance's (LastWndTitle is cleared at exit when it is held).
    MainWindow(CCrvApp& app, Preferences& prefs, const InstanceLock* lock = nullptr,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    QMdiArea* Mdi() const { return m_mdi; }
    DatabaseWindow* ActiveWindow() const;
    std::vector<DatabaseWindow*> Windows() const;
    // A window on doc (a copy of like's when given).
    DatabaseWindow* OpenWindow(CCrvDoc& doc, const DatabaseWindow* like = nullptr);
    // A window on doc as its settings were saved.
    DatabaseWindow* OpenWindow(CCrvDoc& doc, const CWindowSettings& settings);
    // CWindowOpener: the windows the project file lists for a database just opened.
    void OpenWindows(CProject& project, CCrvDoc& doc, const CWindowList& windows) override;
    // The action of a command by its object name ("recordNext", "fileSave", ...).
    QAction* Action(const QString& name) const;

    // --- project ---
    // The windows of a project just opened, its options applied.
    void ProjectOpened();
    // Closes the project: documents asked to save, the project file written with the
    // main window's state. False, with everything open, when refused.
    bool CloseProject();
    bool OpenProject(const std::string& path);
    // The start dialog while no project is open; false when the user leaves.
    bool RunStartDialog();
    // Leaving the program: false when the user refused to close the project.
    bool Exit();

    void UpdateTitle();
    void UpdateCommands();
    QString AboutText() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ServiceCommands;
    friend class ExportCommands;
    friend class CorpusCommands;
    friend class InterlinearCommands;
    friend class TypeCommands;
    QAction* AddAction(QMenu* menu, const QString& name, const QString& text, const QString& prompt,
                       std::function<void()> fn, const QKeySequence& keys = {});
    void BuildMenus();
    void FillWindowMenu();
    void SetThemeIcons();
    void ForActive(void (DatabaseWindow::*command)());
    void OpenDatabaseDialog();
    void NewDatabase();
    void ImportDatabase();
    void SaveActive(bool as);
    void CloseActiveDatabase();
    void ShowAbout();
    void StoreFrameOptions();
    DatabaseWindow* AddWindow(DatabaseWindow* window, const CWindowSettings* settings);
    void BuildRecordMenus(QMenu* edit, QMenu* view);
    void ForView(void (CRecordView::*command)());
    // LeaveRecord on the windows of doc (of every database when null); false when one
    // stays on its record.
    bool LeaveRecords(CCrvDoc* doc);
    void ApplyFrameOptions();
    // The settings editors of the Project menu: 0 language encodings, 1 project options,
    // 2 preferences.
    void EditSettings(int which);
    CProject* Project() const;

    CCrvApp& m_app;
    Preferences& m_prefs;
    const InstanceLock* m_lock;
    QMdiArea* m_mdi;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowList;
    QLabel* m_recordStatus;
    bool m_closing = false;
    ServiceCommands* m_services = nullptr; // print, sound, help, language bar
    ExportCommands* m_export = nullptr;
    CorpusCommands* m_corpus = nullptr;
    // Jumps, interlinearizing and the type's jump path and process editors.
    InterlinearCommands* m_interlinear = nullptr;
    TypeCommands* m_types = nullptr; // database types and their settings
    std::unique_ptr<QtViewDialogs> m_viewDialogs;
};

} // namespace crv::gui
