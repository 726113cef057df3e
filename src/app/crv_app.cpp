#include "app/crv_app.h"

#include <filesystem>

#include "app/instance_lock.h"
#include "app/preferences.h"
#include "base/platform.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kProjectFilter = "Project files (*.prj)|*.prj|All files (*.*)|*.*||";
constexpr std::string_view kNewTitle = "Enter the Name for the New Project";
constexpr std::string_view kOpenTitle = "Choose the Project file to open";
constexpr std::string_view kSaveAsTitle = "Save this project as:";

std::optional<std::string> AskForProjectFile(std::string_view title, std::string initial,
                                             bool save) {
    FileRequest request;
    request.title = title;
    request.initialPath = std::move(initial);
    request.filter = kProjectFilter;
    request.save = save;
    request.mustExist = !save;
    std::optional<std::string> chosen = platform().ChooseFile(request);
    if (chosen && chosen->empty())
        return std::nullopt;
    return chosen;
}

} // namespace

CCrvApp::CCrvApp(Preferences& prefs, CDocumentDialogs* dialogs)
    : m_prefs(prefs), m_dialogs(dialogs) {}

CCrvApp::~CCrvApp() = default;

ProjectContext CCrvApp::Context() const { return {&m_prefs, m_dialogs, m_windows}; }

CProject* CCrvApp::Project() {
    CRV_ASSERT(m_project != nullptr);
    return m_project.get();
}

bool CCrvApp::OpenProject(const std::string& path, const ProjectOpenSettings& settings) {
    if (!CloseProject())
        return false;
    m_project = CProject::Open(path, Context(), settings);
    return m_project != nullptr;
}

bool CCrvApp::NewProject(const std::string& path) {
    if (!CloseProject())
        return false;
    m_project = CProject::New(path, Context());
    return m_project != nullptr;
}

bool CCrvApp::CloseProject() {
    if (!m_project)
        return true;
    if (!m_project->Close())
        return false;
    m_prefs.Set(Preferences::kProjectLastClosed, m_project->Path());
    m_project.reset();
    return true;
}

bool CCrvApp::ExitInstance(const InstanceLock& lock) {
    if (!CloseProject())
        return false;
    ClearWindowTitleAtExit(m_prefs, lock);
    return true;
}

bool CCrvApp::NewProjectDialog() {
    std::string start =
        m_project ? m_project->SettingsFolder() : m_prefs.ResolvedDefaultSettingsFolder();
    auto chosen = AskForProjectFile(kNewTitle, start, true);
    return chosen && NewProject(*chosen);
}

bool CCrvApp::OpenProjectDialog() {
    auto chosen =
        AskForProjectFile(kOpenTitle, m_project ? m_project->SettingsFolder() : "", false);
    if (!chosen)
        return false;
    if (!IsProjectFile(*chosen)) {
        platform().ShowMessage(kNotProjectFile);
        return false;
    }
    return OpenProject(*chosen);
}

bool CCrvApp::SaveProjectAsDialog() {
    CProject* project = Project();
    if (!project)
        return false;
    auto chosen = AskForProjectFile(kSaveAsTitle, project->Path(), true);
    return chosen && project->SaveAs(*chosen);
}

CCrvApp::StartupResult CCrvApp::OpenStartupProject(const std::string& commandLinePath) {
    std::string path =
        commandLinePath.empty() ? m_prefs.Get(Preferences::kProjectLastClosed) : commandLinePath;
    if (path.empty())
        return StartupResult::NoPath;
    if (fs::path(path).parent_path().empty()) {
        platform().ShowMessage(kFullPathnameNeeded);
        return StartupResult::NotFullPath;
    }
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        platform().ShowMessage(kProjectPathMissing);
        return StartupResult::PathMissing;
    }
    if (!IsProjectFile(path)) {
        // Starting silently without the project named would leave the user guessing.
        platform().ShowMessage(kNotProjectFile);
        return StartupResult::NotProjectFile;
    }
    return OpenProject(path) ? StartupResult::Opened : StartupResult::OpenFailed;
}

} // namespace crv
