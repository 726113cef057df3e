// The application's hold on its one project: the Project menu's commands (new, open,
// close, save as), the project opened at start-up, and ProjectLastClosed.
#pragma once

#include <memory>
#include <string>

#include "app/project.h"

namespace crv {

class InstanceLock;

class CCrvApp {
public:
    // prefs (and dialogs, the documents' dialogs; null: through the platform services)
    // must outlive the application object.
    explicit CCrvApp(Preferences& prefs, CDocumentDialogs* dialogs = nullptr);
    ~CCrvApp();
    CCrvApp(const CCrvApp&) = delete;
    CCrvApp& operator=(const CCrvApp&) = delete;

    bool HasProject() const { return m_project != nullptr; }
    // Opens the windows a project lists for its databases (the desktop program's).
    void SetWindowOpener(CWindowOpener* windows) { m_windows = windows; }
    // The open project. Asking while none is open is a programming error (reported;
    // null is returned).
    CProject* Project();

    // Closes the current project (the user may refuse), then opens the one at path.
    bool OpenProject(const std::string& path, const ProjectOpenSettings& settings = {});
    // Closes the current project (the user may refuse), then creates one at path.
    bool NewProject(const std::string& path);
    // Closes the project: documents asked to save, project file written, then
    // ProjectLastClosed. False, with the project still open, when refused or failed.
    bool CloseProject();

    // Leaving the program: the project is closed (false, with the program still running,
    // when the user refused); then the running instance clears LastWndTitle.
    bool ExitInstance(const InstanceLock& lock);

    // The Project menu: each asks for a file first; false when cancelled or failed.
    bool NewProjectDialog();
    bool OpenProjectDialog();
    bool SaveProjectAsDialog();

    // Start-up: the project named on the command line, else the one last closed.
    enum class StartupResult {
        NoPath,
        NotFullPath,
        PathMissing,
        NotProjectFile,
        OpenFailed,
        Opened
    };
    StartupResult OpenStartupProject(const std::string& commandLinePath);

private:
    ProjectContext Context() const;

    Preferences& m_prefs;
    CDocumentDialogs* m_dialogs;
    CWindowOpener* m_windows = nullptr;
    std::unique_ptr<CProject> m_project;
};

inline constexpr std::string_view kFullPathnameNeeded =
    "You must specify the full pathname of the project file.";

} // namespace crv
