// The project file, written in this order and read in any order:
//   \+CrvProjectSettings   \ver   \ProjectPath   \+CorpusSet...   \WarnDocClose
//   \ShowWholePath   \AutoWrap (or \NoAutoWrap)   \UseImportZTT   \ImportZTT   \KeepSpaces
//   \StatusBarHidden   \ToolBarHidden   \LangCtrlHeight   \+fntMarkers...   \placementMain
//   \+dblst (blank line, then per database: \+db PATH  \ReadOnly  \+wndlst...  \-db and a
//   blank line) \-dblst   \+Find...   \-CrvProjectSettings
// The corpora, the find settings and the window lists are read by their owners (corpus.h,
// find_settings.h, window_settings.h). An \+mrulst object of older files is read and
// dropped; keys and objects this version does not know are kept in their place
// (base/kept_entries.h).
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
    SettingsObjectReader reader(is, kProjectObject, m_kept,
                                {"CorpusSet", "fntMarkers", kDatabaseList, "Find", "mrulst"},
                                SettingsObjectReader::Place::File);
    while (reader.Next()) {
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
        if (m_find.Read(is))
            continue;
        if (is.PeekBeginMarker(kDatabaseList)) {
            ReadDatabaseList(is, openDatabases);
            continue;
        }
        // The recent-files list of older versions is read and not written.
        if (is.PeekBeginMarker("mrulst")) {
            reader.Drop();
            continue;
        }
        reader.Keep();
    }
    m_version = FirstLine(m_version);
    m_savedPath = FirstLine(m_savedPath);
}

void CProject::ReadDatabaseList(ObjectStream& is, bool openDatabases) {
    is.ReadBeginMarker(kDatabaseList);
    // The project's own end line ends a list whose end line is missing.
    SettingsObjectReader reader(is, kDatabaseList, m_databaseListKept, {kDatabase});
    while (reader.Next()) {
        if (is.PeekBeginMarker(kDatabase)) {
            ReadDatabaseEntry(is, openDatabases);
            continue;
        }
        reader.Keep();
    }
}

void CProject::ReadDatabaseEntry(ObjectStream& is, bool openDatabases) {
    DatabaseEntry entry;
    is.ReadBeginMarker(kDatabase, entry.writtenPath);
    // The next database, or the list's end, ends an entry whose end line is missing.
    SettingsObjectReader reader(is, kDatabase, entry.kept, {"wndlst"});
    while (reader.Next()) {
        if (is.ReadBool("ReadOnly", entry.readOnly) || entry.windows.Read(is))
            continue;
        reader.Keep();
    }
    entry.writtenPath = FirstLine(entry.writtenPath);
    if (entry.writtenPath.empty())
        return;
    if (openDatabases)
        OpenDatabaseEntry(std::move(entry));
    else
        m_unopenedEntries.push_back(std::move(entry));
}

void CProject::OpenDatabaseEntry(DatabaseEntry entry) {
    std::string path = entry.writtenPath;
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
    CCrvDoc* doc = m_documents->OpenDocument(path, entry.readOnly, &alreadyOpen);
    // A file listed twice is open already: its second entry and windows are dropped.
    if (!doc || alreadyOpen)
        return;
    if (!portable)
        entry.writtenPath.clear();
    DatabaseEntry& kept = m_openEntries[doc->Path()];
    kept = std::move(entry);
    if (m_ctx.windows)
        m_ctx.windows->OpenWindows(*this, *doc, kept.windows);
}

const CWindowList* CProject::WindowsRead(const CCrvDoc& doc) const {
    auto entry = m_openEntries.find(doc.Path());
    return entry == m_openEntries.end() ? nullptr : &entry->second.windows;
}

void CProject::WriteSettings(ObjectStream& os) const {
    const CProjectOptions& o = m_options;
    os.WriteBeginMarker(kProjectObject);
    SettingsObjectWriter keep(os, m_kept);
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
    m_find.Write(os);
    os.WriteEndMarker(kProjectObject);
}

namespace {

// The windows of doc as its views have them now; none when it has no window views.
CWindowList CurrentWindows(const CCrvDoc& doc, const CWindowList* read) {
    CWindowList list;
    for (CDocView* view : doc.Views()) {
        CWindowSettings settings;
        if (view->WindowSettingsNow(settings))
            list.windows.push_back(std::move(settings));
    }
    if (read) {
        list.unknown = read->unknown;
        list.read = read->read;
        if (list.windows.empty())
            list.windows = read->windows;
    }
    return list;
}

} // namespace

void CProject::WriteDatabaseList(ObjectStream& os) const {
    auto writeEntry = [&os](const std::string& path, bool readOnly, const CWindowList& windows,
                            const KeptEntries& kept) {
        os.WriteBeginMarker(kDatabase, path);
        SettingsObjectWriter keep(os, kept);
        os.WriteBool("ReadOnly", readOnly);
        windows.Write(os);
        os.WriteEndMarker(kDatabase);
        os.WriteNewline();
    };
    os.WriteBeginMarker(kDatabaseList);
    SettingsObjectWriter keep(os, m_databaseListKept);
    os.WriteNewline();
    if (m_documents) {
        for (const CCrvDoc* doc : m_documents->Documents()) {
            auto entry = m_openEntries.find(doc->Path());
            if (entry == m_openEntries.end()) {
                writeEntry(doc->Path(), doc->IsReadOnly(), CurrentWindows(*doc, nullptr),
                           KeptEntries());
                continue;
            }
            // A path the file gave (relative, or with "<AppPath>") is written as it was,
            // so that the project keeps working where it was meant to be moved.
            const DatabaseEntry& e = entry->second;
            writeEntry(e.writtenPath.empty() ? doc->Path() : e.writtenPath, doc->IsReadOnly(),
                       CurrentWindows(*doc, &e.windows), e.kept);
        }
    }
    for (const DatabaseEntry& e : m_unopenedEntries)
        writeEntry(e.writtenPath, e.readOnly, e.windows, e.kept);
    os.WriteEndMarker(kDatabaseList);
}

} // namespace crv
