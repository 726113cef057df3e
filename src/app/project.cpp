#include "app/project.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/doc_manager.h"
#include "app/project_paths.h"
#include "app/settings_version_check.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "base/safe_file.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"
#include "schema/settings_file_name.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCannotRead =
    "%1\nCannot open this project file.\n\nPlease check whether it is already open in another "
    "program.";
constexpr std::string_view kDatesConverted =
    "Corvane date stamp fields now have four-digit years for year-2000 compatibility.\n\n"
    "Corvane has converted existing date stamp fields in this project's databases as it "
    "opened them.";
constexpr std::string_view kOtherSystem =
    "%1\nIt looks as if this file came from a different computer system.\n\nAfter you choose "
    "OK, Corvane will let you select the folders on your computer that contains this "
    "project's files.";
constexpr std::string_view kCannotFind =
    "%1\nCorvane cannot find this file.\n\nThis can happen if you've copied this project from a "
    "different computer or if you've moved files around on your computer.\n\nAfter you choose "
    "OK, Corvane will let you select the folders that contain this project's files.";
constexpr std::string_view kMovedTitle = "Open a File which has been moved";
constexpr std::string_view kAllFilesFilter = "All files (*.*)|*.*||";

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    fs::path abs = fs::absolute(path, ec);
    return ec ? path : abs.lexically_normal().string();
}

// The name of a file wherever its path came from: after the last separator or colon.
std::string BareFileName(std::string_view path) {
    std::string_view name = PathFileName(path);
    std::size_t colon = name.find_last_of(':');
    return std::string(colon == std::string_view::npos ? name : name.substr(colon + 1));
}

} // namespace

bool IsProjectFile(const std::string& path, std::string* version) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return false;
    SettingsFileHeader header;
    if (ReadSettingsFileHeader(path, kProjectObject, header) != SettingsFileStatus::Ok)
        return false;
    if (version)
        *version = header.version.substr(0, header.version.find('\n'));
    return true;
}

CProject::CProject(std::string path, const ProjectContext& ctx)
    : m_path(std::move(path)), m_settingsFolder(fs::path(m_path).parent_path().string()),
      m_version(kSettingsVersion), m_ctx(ctx) {}

CProject::~CProject() {
    // Documents hold the project's types, and types listen to the encodings. A project
    // that closed properly has no documents left; one abandoned (a failed open, crv)
    // drops them unsaved.
    m_documents.reset();
    m_types.reset();
    m_langEncs.reset();
}

void CProject::LoadSettingsFolder() {
    m_langEncs = std::make_unique<CLangEncSet>(m_settingsFolder);
    m_langEncs->LoadAll();
    // Jump paths and lexicon lists naming files that moved find them as the database
    // list does.
    m_typeSettings.SetFileLocator([this](std::string& path) { return ResolveMovedFile(path); });
    m_types = std::make_unique<CDatabaseTypeSet>(*m_langEncs, &m_typeSettings);
    m_types->LoadAll();
    m_documents = std::make_unique<CDocManager>(*m_types, m_options.import);
    if (m_ctx.dialogs)
        m_documents->SetDialogs(m_ctx.dialogs);
}

std::string CProject::FileName() const { return std::string(PathFileName(m_path)); }

std::string CProject::SettingsFolderText() const {
    return crv::SettingsFolderText(m_settingsFolder);
}

std::unique_ptr<CProject> CProject::Open(const std::string& path, const ProjectContext& ctx,
                                         const ProjectOpenSettings& settings) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        platform().ShowMessage(kProjectPathMissing);
        return nullptr;
    }
    if (!fs::is_regular_file(path, ec) || !std::ifstream(path, std::ios::binary)) {
        platform().ShowMessage(FormatMessage(kCannotRead, {path}));
        return nullptr;
    }
    std::string fileVersion;
    if (!IsProjectFile(path, &fileVersion)) {
        platform().ShowMessage(kNotProjectFile);
        return nullptr;
    }
    std::unique_ptr<CProject> project(new CProject(AbsolutePath(path), ctx));
    project->LoadSettingsFolder();

    SettingsVersionReport versions =
        CompareSettingsVersions(project->FileName(), fileVersion, *project->m_langEncs,
                                *project->m_types, settings.programVersion);
    if (!ConfirmSettingsVersions(versions, project->m_settingsFolder, project->FileName(),
                                 settings.programVersion))
        return nullptr;

    std::ifstream file(project->m_path, std::ios::binary);
    ObjectStream is(file);
    if (!file || !is.AtBackslash() || !is.ReadBeginMarker(kProjectObject)) {
        platform().ShowMessage(FormatMessage(kCannotRead, {path}));
        return nullptr;
    }
    project->ReadSettings(is, settings.openDatabases);
    project->m_version = settings.programVersion;

    if (!versions.older.empty()) {
        if (settings.rewriteOlderSettings)
            project->RewriteOlderSettings(versions);
        else
            project->m_olderSettingsLeft = true;
    }
    if (settings.makeCurrentFolder)
        fs::current_path(project->m_settingsFolder, ec);
    if (project->m_documents->AnyDatesConverted())
        platform().ShowMessage(kDatesConverted, MessageKind::Information);
    return project;
}

std::unique_ptr<CProject> CProject::New(const std::string& path, const ProjectContext& ctx) {
    std::unique_ptr<CProject> project(new CProject(AbsolutePath(path), ctx));
    project->m_savedPath = project->m_path;
    // The file first: a folder that cannot take it gets no settings files either.
    if (!project->WriteProjectFile())
        return nullptr;
    project->LoadSettingsFolder();
    return project;
}

bool CProject::RewriteOlderSettings(const SettingsVersionReport& versions) {
    // Only the older files: writing a newer file in this version's form would drop the
    // settings this version does not know.
    auto isOlder = [&](const std::string& fileName) {
        for (const auto& f : versions.older)
            if (f.name == fileName)
                return true;
        return false;
    };
    bool ok = true;
    for (auto& proxy : m_langEncs->Proxies())
        if (!proxy.FileName().empty() && isOlder(proxy.FileName()))
            if (CLangEnc* enc = proxy.GetLangEnc())
                ok = m_langEncs->Write(enc) && ok;
    for (auto& proxy : m_types->Proxies())
        if (!proxy.FileName().empty() && isOlder(proxy.FileName()))
            if (CDatabaseType* type = proxy.GetType())
                ok = m_types->Write(*type) && ok;
    return WriteProjectFile() && ok;
}

std::string CProject::FileText() const {
    std::ostringstream out;
    ObjectStream os(out);
    WriteSettings(os);
    return out.str();
}

bool CProject::WriteProjectFileTo(const std::string& path) {
    SafeWriteResult r = WriteFileSafely(path, [&](std::ostream& out) {
        ObjectStream os(out);
        WriteSettings(os);
        return true;
    });
    if (!r) {
        platform().ShowMessage(kErrorWritingProject);
        return false;
    }
    return true;
}

bool CProject::WriteProjectFile() {
    // The file records where it was written, so that a later open can tell it was moved.
    std::string saved = m_savedPath;
    m_savedPath = m_path;
    if (WriteProjectFileTo(m_path))
        return true;
    m_savedPath = saved;
    return false;
}

bool CProject::WriteModifiedSettings() {
    bool ok = true;
    if (m_langEncs)
        ok = m_langEncs->WriteAllModified() && ok;
    if (m_types)
        ok = m_types->WriteAllModified() && ok;
    return ok;
}

bool CProject::Save() {
    bool settingsWritten = WriteModifiedSettings();
    return WriteProjectFile() && settingsWritten;
}

bool CProject::Close() {
    if (m_documents && !m_documents->SaveAllModified())
        return false;
    // A settings file that cannot be written has said so; it does not keep the project
    // open, or a read-only settings file would keep the user from ever closing it.
    WriteModifiedSettings();
    // The file lists the databases still open, so it is written before they close.
    if (!WriteProjectFile())
        return false;
    // Each document was asked once; an answer of No is not asked again.
    if (m_documents)
        while (m_documents->Count() > 0)
            m_documents->CloseDocument(m_documents->At(m_documents->Count() - 1), false);
    return true;
}

bool CProject::ResolveMovedFile(std::string& path) {
    std::error_code ec;
    if (!m_movedMessageShown && m_path != m_savedPath)
        m_movedFolder = m_settingsFolder;
    if (!m_movedFolder.empty()) {
        std::string candidate = JoinPath(m_movedFolder, BareFileName(path));
        if (fs::is_regular_file(candidate, ec)) {
            path = candidate;
            m_movedMessageShown = true;
            return true;
        }
    }
    if (!m_movedMessageShown) {
        if (LooksLikeOtherSystemPath(path)) {
            path = path.substr(path.find_last_of(':') + 1);
            platform().ShowMessage(FormatMessage(kOtherSystem, {path}));
        } else {
            platform().ShowMessage(FormatMessage(kCannotFind, {path}));
        }
        m_movedMessageShown = true;
    }
    FileRequest request;
    request.title = kMovedTitle;
    request.initialPath = BareFileName(path);
    request.filter = kAllFilesFilter;
    request.mustExist = true;
    std::optional<std::string> chosen = platform().ChooseFile(request);
    if (!chosen || chosen->empty())
        return false;
    path = *chosen;
    m_movedFolder = PathFolder(path);
    return true;
}

} // namespace crv
