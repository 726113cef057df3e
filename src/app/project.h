// The project: a project file (.prj) and its settings folder, the folder that holds the
// file and the project's language encodings and database types. The file lists the
// databases that were open, with their windows, and the project's options.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_type_settings.h"
#include "app/find_settings.h"
#include "app/import_dialog.h"
#include "app/window_settings.h"
#include "base/object_stream.h"
#include "corpus/corpus.h"
#include "schema/settings_version.h"

namespace crv {

class CDatabaseTypeSet;
class CDocManager;
class CCrvDoc;
class CDocumentDialogs;
class CProject;
class CLangEncSet;
class Preferences;
struct SettingsVersionReport;

// The options a project file keeps.
struct CProjectOptions {
    static constexpr int kMinLangCtrlHeight = 19;
    static constexpr int kMaxLangCtrlHeight = 43;

    bool warnDocClose = false;
    bool showWholePath = false;
    bool autoWrap = true;
    // UseImportZTT, ImportZTT and KeepSpaces: what the import dialog starts with.
    CImportSettings import;
    bool statusBarHidden = false;
    bool toolBarHidden = false;
    int langCtrlHeight = kMinLangCtrlHeight;
    CFontDef markerFont = DefaultMarkerFont();
    std::optional<WindowPlacement> mainPlacement; // none until a main window has one

    static CFontDef DefaultMarkerFont();
};

// How a project is opened.
struct ProjectOpenSettings {
    std::string programVersion{kSettingsVersion};
    // Open the databases the project lists. Without them the list is kept as written.
    bool openDatabases = true;
    // Update settings files of an older version after the user confirmed the listing.
    // Off for runs that must leave the files alone; the project then says so.
    bool rewriteOlderSettings = true;
    // Make the project folder the current directory (the desktop program does).
    bool makeCurrentFolder = true;
};

// What a project uses from outside: the preferences (for "<AppPath>"; may be null, then
// "Corvane" stands for it) and the dialogs its documents show (null: through the
// platform services). Both must outlive the project.
struct ProjectContext {
    const Preferences* prefs = nullptr;
    CDocumentDialogs* dialogs = nullptr;
    // Opens the windows of a database as the project lists them (the desktop program's
    // record windows); null: no windows, their settings are written back as read.
    class CWindowOpener* windows = nullptr;
};

// Opens the windows the project file lists for a database of project that was just
// opened (the project's options and find settings are what its windows share).
class CWindowOpener {
public:
    virtual ~CWindowOpener() = default;
    virtual void OpenWindows(CProject& project, CCrvDoc& doc, const CWindowList& windows) = 0;
};

class CProject {
public:
    ~CProject();
    CProject(const CProject&) = delete;
    CProject& operator=(const CProject&) = delete;

    // Opens the project file at path: version check, settings, options and databases.
    // Null when it cannot be opened (the reason shown) or the user cancelled.
    static std::unique_ptr<CProject> Open(const std::string& path, const ProjectContext& ctx,
                                          const ProjectOpenSettings& settings = {});
    // A new project with default options at path, its file written at once; null after
    // "Error writing project file!" when that fails.
    static std::unique_ptr<CProject> New(const std::string& path, const ProjectContext& ctx);

    // Writes modified encodings and types and the project file; false after
    // "Error writing project file!" (or the settings file's own message).
    bool Save();
    // Writes the project to newPath, which becomes its path. In another folder the
    // settings files are copied there first (asking before replacing different ones),
    // and that folder becomes the settings folder.
    bool SaveAs(const std::string& newPath);
    // Asks every document to save, writes the project file and closes the documents.
    // False, with everything left open, when a document refused or the file could not
    // be written (after "Error writing project file!").
    bool Close();

    // Finds a file that is not where the project says; false when the user gives up.
    bool ResolveMovedFile(std::string& path);

    // "Settings folder: %1".
    std::string SettingsFolderText() const;

    const std::string& Path() const { return m_path; }
    const std::string& SettingsFolder() const { return m_settingsFolder; }
    std::string FileName() const;
    // Where the project file was when it was last saved (its ProjectPath).
    const std::string& SavedPath() const { return m_savedPath; }
    const std::string& Version() const { return m_version; }
    const std::string& MovedFolder() const { return m_movedFolder; }

    CLangEncSet& LangEncs() { return *m_langEncs; }
    CDatabaseTypeSet& Types() { return *m_types; }
    // The open databases of the project.
    CDocManager& Documents() { return *m_documents; }
    CProjectOptions& Options() { return m_options; }
    const CProjectOptions& Options() const { return m_options; }
    // The find and replace settings with their history.
    CFindSettings& Find() { return m_find; }
    // The windows the project file listed for doc (empty for a database opened since).
    const CWindowList* WindowsRead(const CCrvDoc& doc) const;
    // The text corpora and the last choices of the word list and concordance dialogs.
    CCorpusSet& Corpora() { return m_corpora; }

    // Whether older settings files were found, confirmed and left as they were
    // (rewriteOlderSettings off).
    bool OlderSettingsLeft() const { return m_olderSettingsLeft; }

    // The project file's text as Save writes it.
    std::string FileText() const;

private:
    CProject(std::string path, const ProjectContext& ctx);
    void LoadSettingsFolder();
    bool WriteProjectFile();
    // Writes the modified encodings and types; false when one could not be written.
    bool WriteModifiedSettings();
    bool WriteProjectFileTo(const std::string& path);
    void ReadSettings(ObjectStream& is, bool openDatabases);
    void WriteSettings(ObjectStream& os) const;
    void ReadDatabaseList(ObjectStream& is, bool openDatabases);
    void ReadDatabaseEntry(ObjectStream& is, bool openDatabases);
    struct DatabaseEntry;
    void OpenDatabaseEntry(DatabaseEntry entry);
    void WriteDatabaseList(ObjectStream& os) const;
    bool RewriteOlderSettings(const SettingsVersionReport& versions);
    std::vector<std::string> SettingsFileNames() const;
    bool CopySettingsTo(const std::string& folder);
    void MoveTo(std::string path, std::string folder);

    std::string m_path;
    std::string m_settingsFolder;
    std::string m_version;
    std::string m_savedPath;
    std::string m_movedFolder;
    bool m_movedMessageShown = false;
    bool m_olderSettingsLeft = false;
    CProjectOptions m_options;
    ProjectContext m_ctx;
    // Declared in the order they are made; destroyed documents first (they hold types),
    // then the types (they listen to the encodings).
    std::unique_ptr<CLangEncSet> m_langEncs;
    CAppTypeSettings m_typeSettings;
    std::unique_ptr<CDatabaseTypeSet> m_types;
    std::unique_ptr<CDocManager> m_documents;
    CCorpusSet m_corpora;
    CFindSettings m_find;
    // Entries of the project and of its database list that this version does not read.
    KeptEntries m_kept;
    KeptEntries m_databaseListKept;

    // What the project file said of a database: its path as written and its windows
    // (written back as read while the database has no window views). Open databases are
    // found by their path; entries not opened (openDatabases off) are written back as
    // they were read.
    struct DatabaseEntry {
        std::string writtenPath; // empty: write the document's own path
        bool readOnly = false;
        CWindowList windows;
        KeptEntries kept; // entries of "\+db" this version does not read
    };
    std::map<std::string, DatabaseEntry, std::less<>> m_openEntries;
    std::vector<DatabaseEntry> m_unopenedEntries;
};

// Whether path is a project file: a settings file that begins the project object. Its
// version ("3.0" when none) is given back when asked for.
bool IsProjectFile(const std::string& path, std::string* version = nullptr);

// The object a project file holds.
inline constexpr std::string_view kProjectObject = "CrvProjectSettings";

// The messages of projects.
inline constexpr std::string_view kErrorWritingProject = "Error writing project file!";
inline constexpr std::string_view kNotProjectFile = "This is not a valid project file!";
inline constexpr std::string_view kProjectPathMissing =
    "The specified path to the project file does not exist.";

} // namespace crv
