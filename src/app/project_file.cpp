// The project file, written in this order and read in any order:
//   \+CrvProjectSettings   \ver   \ProjectPath   \+CorpusSet...   \WarnDocClose
//   \ShowWholePath   \AutoWrap (or \NoAutoWrap)   \UseImportZTT   \ImportZTT   \KeepSpaces
//   \StatusBarHidden   \ToolBarHidden   \LangCtrlHeight   \+fntMarkers...   \placementMain
//   \+dblst (blank line, then per database: \+db PATH  \ReadOnly  \+wndlst...  \-db and a
//   blank line) \-dblst   \+Find...   \-CrvProjectSettings
// Find and the window lists belong to parts built later: they are carried as written.
// An \+mrulst object of older files is read and dropped.
#include "app/project.h"

#include <algorithm>
#include <climits>
#include <filesystem>

#include "app/doc_manager.h"
#include "app/preferences.h"
#include "app/project_paths.h"
#include "base/settings_capture.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDatabaseList = "dblst";
constexpr std::string_view kDatabase = "db";

// A path is one line; anything after a line break in a damaged file is not part of it.
std::string FirstLine(std::string_view text) {
    text = text.substr(0, text.find('\n'));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return std::string(text);
}

} // namespace

CFontDef CProjectOptions::DefaultMarkerFont() {
    CFontDef font;
    font.face = "MS Sans Serif";
    font.height = -13;
    return font;
}

void CProject::ReadSettings(ObjectStream& is, bool openDatabases) {
    CProjectOptions& o = m_options;
    while (!is.AtEnd()) {
        std::string_view key = is.PeekKey();
        if (is.Overflow()) {
            // Past an overflow nothing can be read: the rest keeps its defaults.
            is.SkipEntry();
            continue;
        }
        bool flag = false;
        if (is.ReadString("ver", m_version) || is.ReadString("ProjectPath", m_savedPath) ||
            is.ReadBool("WarnDocClose", o.warnDocClose) ||
            is.ReadBool("ShowWholePath", o.showWholePath) || is.ReadBool("AutoWrap", o.autoWrap) ||
            is.ReadBool("UseImportZTT", o.import.useChangeTable) ||
            is.ReadString("ImportZTT", o.import.changeTable) ||
            is.ReadBool("StatusBarHidden", o.statusBarHidden) ||
            is.ReadBool("ToolBarHidden", o.toolBarHidden))
            continue;
        if (is.ReadBool("NoAutoWrap", flag)) {
            o.autoWrap = false;
            continue;
        }
        if (is.ReadBool("KeepSpaces", flag)) {
            o.import.removeSpaces = false;
            continue;
        }
        if (is.ReadInteger("LangCtrlHeight", o.langCtrlHeight)) {
            o.langCtrlHeight = std::clamp(o.langCtrlHeight, CProjectOptions::kMinLangCtrlHeight,
                                          CProjectOptions::kMaxLangCtrlHeight);
            continue;
        }
        if (is.ReadFont("Markers", o.markerFont)) {
            // A font without a face cannot be shown, nor written so as to read back.
            if (o.markerFont.face.empty())
                o.markerFont.face = CProjectOptions::DefaultMarkerFont().face;
            continue;
        }
        WindowPlacement placement;
        placement.left = INT_MIN; // stays so when the line is not complete
        if (is.ReadWindowPlacement("placementMain", placement)) {
            if (placement.left != INT_MIN)
                o.mainPlacement = placement;
            continue;
        }
        if (m_corpora.Read(is, kProjectObject))
            continue;
        if (key == "+Find") {
            m_findSettings += CaptureEntry(is, kProjectObject);
            continue;
        }
        if (is.PeekBeginMarker(kDatabaseList)) {
            ReadDatabaseList(is, openDatabases);
            continue;
        }
        // The recent-files list of older versions, and objects of newer ones.
        if (key.starts_with("+")) {
            is.SkipObject();
            continue;
        }
        if (is.ReadEnd(kProjectObject))
            break;
    }
    m_version = FirstLine(m_version);
    m_savedPath = FirstLine(m_savedPath);
}

void CProject::ReadDatabaseList(ObjectStream& is, bool openDatabases) {
    is.ReadBeginMarker(kDatabaseList);
    while (!is.AtEnd()) {
        if (is.Overflow()) {
            is.SkipEntry();
            continue;
        }
        if (is.PeekBeginMarker(kDatabase)) {
            ReadDatabaseEntry(is, openDatabases);
            continue;
        }
        if (is.PeekKey().starts_with("+")) {
            is.SkipObject();
            continue;
        }
        // The project's own end line ends a list whose end line is missing.
        if (is.IsOtherEnd(kDatabaseList) || is.ReadEnd(kDatabaseList))
            break;
    }
}

void CProject::ReadDatabaseEntry(ObjectStream& is, bool openDatabases) {
    std::string written;
    is.ReadBeginMarker(kDatabase, written);
    bool readOnly = false;
    std::string windows;
    while (!is.AtEnd()) {
        if (is.Overflow()) {
            is.SkipEntry();
            continue;
        }
        if (is.ReadBool("ReadOnly", readOnly))
            continue;
        std::string_view key = is.PeekKey();
        if (key == "+wndlst") {
            windows += CaptureEntry(is, kDatabase);
            continue;
        }
        if (key.starts_with("+") && key != "+db") {
            is.SkipObject();
            continue;
        }
        // The next database, or the list's end, ends an entry whose end line is missing.
        if (key == "+db" || is.IsOtherEnd(kDatabase) || is.ReadEnd(kDatabase))
            break;
    }
    written = FirstLine(written);
    if (written.empty())
        return;
    if (openDatabases)
        OpenDatabaseEntry(written, readOnly, windows);
    else
        m_unopenedEntries.push_back({written, readOnly, windows});
}

void CProject::OpenDatabaseEntry(const std::string& written, bool readOnly,
                                 const std::string& windows) {
    std::string path = written;
    // A path that names its place relative to the program's folder or to the project
    // folder is written back as it was, so that the project can be moved with it.
    bool portable = IsRelativeLocalPath(path);
    if (path.starts_with(kAppPathPrefix)) {
        path = SubstituteAppPath(path, m_ctx.prefs ? m_ctx.prefs->ResolvedAppPath() : "Corvane");
        portable = true;
    }
    if (IsRelativeLocalPath(path)) {
        // Relative to the project folder, wherever that is now.
        path = JoinPath(m_settingsFolder, path);
    } else {
        std::string moved = MovedProjectPath(path, m_savedPath, m_path);
        if (moved != path) {
            path = std::move(moved);
            portable = false;
        }
    }
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        portable = false;
        if (!ResolveMovedFile(path))
            return;
    }
    bool alreadyOpen = false;
    CCrvDoc* doc = m_documents->OpenDocument(path, readOnly, &alreadyOpen);
    // A file listed twice is open already: its second entry and windows are dropped.
    if (doc && !alreadyOpen)
        m_openEntries[doc->Path()] = {portable ? written : std::string(), readOnly, windows};
}

void CProject::WriteSettings(ObjectStream& os) const {
    const CProjectOptions& o = m_options;
    os.WriteBeginMarker(kProjectObject);
    os.WriteString("ver", m_version);
    os.WriteString("ProjectPath", m_path);
    if (!m_corpora.IsDefault())
        m_corpora.Write(os);
    os.WriteBool("WarnDocClose", o.warnDocClose);
    os.WriteBool("ShowWholePath", o.showWholePath);
    // AutoWrap is on by default; its off state needs a key of its own to survive.
    os.WriteBool("AutoWrap", o.autoWrap);
    os.WriteBool("NoAutoWrap", !o.autoWrap);
    os.WriteBool("UseImportZTT", o.import.useChangeTable);
    os.WriteString("ImportZTT", o.import.changeTable);
    os.WriteBool("KeepSpaces", !o.import.removeSpaces);
    os.WriteBool("StatusBarHidden", o.statusBarHidden);
    os.WriteBool("ToolBarHidden", o.toolBarHidden);
    os.WriteInteger("LangCtrlHeight", o.langCtrlHeight);
    os.WriteFont("Markers", o.markerFont);
    if (o.mainPlacement)
        os.WriteWindowPlacement("placementMain", *o.mainPlacement);
    WriteDatabaseList(os);
    WriteCaptured(os, m_findSettings);
    os.WriteEndMarker(kProjectObject);
}

void CProject::WriteDatabaseList(ObjectStream& os) const {
    auto writeEntry = [&os](const std::string& path, bool readOnly, const std::string& windows) {
        os.WriteBeginMarker(kDatabase, path);
        os.WriteBool("ReadOnly", readOnly);
        WriteCaptured(os, windows);
        os.WriteEndMarker(kDatabase);
        os.WriteNewline();
    };
    os.WriteBeginMarker(kDatabaseList);
    os.WriteNewline();
    if (m_documents) {
        for (const CCrvDoc* doc : m_documents->Documents()) {
            auto entry = m_openEntries.find(doc->Path());
            if (entry == m_openEntries.end()) {
                writeEntry(doc->Path(), doc->IsReadOnly(), {});
                continue;
            }
            // A path the file gave (relative, or with "<AppPath>") is written as it was,
            // so that the project keeps working where it was meant to be moved.
            const DatabaseEntry& e = entry->second;
            writeEntry(e.writtenPath.empty() ? doc->Path() : e.writtenPath, doc->IsReadOnly(),
                       e.windows);
        }
    }
    for (const DatabaseEntry& e : m_unopenedEntries)
        writeEntry(e.writtenPath, e.readOnly, e.windows);
    os.WriteEndMarker(kDatabaseList);
}

} // namespace crv
