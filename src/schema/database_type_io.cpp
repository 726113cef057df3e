// The settings form of a database type (a .typ file), written in this order:
//   \+DatabaseType NAME   \ver   \desc   \+mkrset...   \iInterlinCharWd   \+intprclst...
//   \+filset...   \+drflst...   \+template (\fld lines)   \mkrRecord   \mkrSecKey (one
//   per secondary key)   \mkrDateStamp   \mkrMultipleMatchShow   \+PrintProperties...
//   (older export keys)   \+expset...   \-DatabaseType
// and read in any order. Objects owned by code not built yet are carried verbatim.
#include "schema/database_type.h"

#include <array>

#include "base/settings_capture.h"
#include "schema/marker_name.h"
#include "schema/record_template.h"
#include "schema/settings_version.h"

namespace crv {

namespace {

constexpr std::string_view kObject = "DatabaseType";
constexpr std::string_view kTemplate = "template";

// The settings of a single export process that older type files keep directly in the
// type (keys, or objects without their "+"); the export set takes them over.
constexpr std::array<std::string_view, 11> kOlderExportKeys = {
    "CurrentRecord",
    "CurrentWindow",
    "AutoOpen",
    "mrfsetExportFieldsExcluded",
    "MakeChangesExportSF",
    "zttExportSF",
    "IncludeFormatting",
    "rtfPageSetup",
    "expPLX",
    "ExportPLX",
    "ExportRTF",
};

bool IsOlderExportKey(std::string_view key) {
    if (key.starts_with("+"))
        key.remove_prefix(1);
    for (std::string_view k : kOlderExportKeys)
        if (key == k)
            return true;
    return false;
}

} // namespace

CMarker* CDatabaseType::MarkerNamedInSettings(const std::string& name, CNoteList& notes, int line) {
    if (name.empty())
        return nullptr;
    CNoteList found;
    CMarker* m = m_markerSet.SearchOrAdd(name, &found);
    for (auto& note : found) {
        note.SetFileLine(line);
        notes.push_back(std::move(note));
    }
    return m;
}

void CDatabaseType::Read(ObjectStream& is, CNoteList& notes) {
    while (!is.AtEnd()) {
        std::string_view key = is.PeekKey();
        int line = is.EntryLine();
        if (is.Overflow()) {
            // Past an overflow nothing can be read: the rest keeps its defaults.
            is.SkipEntry();
            continue;
        }
        std::string value;
        // The version belongs to the proxy, which read it when the folder was scanned.
        if (is.ReadString("ver", value) || is.ReadString("desc", m_description) ||
            is.ReadInteger("iInterlinCharWd", m_interlinCharWidth) ||
            is.ReadString("mkrRecord", m_recordMarkerName))
            continue;
        if (is.PeekBeginMarker("mkrset")) {
            m_markerSet.Read(is);
            continue;
        }
        CTypeSettingsObject* object = nullptr;
        for (auto* o : {m_filters.get(), m_jumpPath.get(), m_interlinear.get()})
            if (o && is.PeekBeginMarker(o->ObjectName()))
                object = o;
        if (object) {
            CNoteList found;
            object->Read(is, found);
            for (auto& note : found) {
                if (note.FileLine() == 0)
                    note.SetFileLine(line);
                notes.push_back(std::move(note));
            }
            continue;
        }
        std::string* carried = key == "+intprclst"     ? &m_carried.interlinearProcs
                               : key == "+filset"      ? &m_carried.filters
                               : key == "+drflst"      ? &m_carried.jumpPath
                               : key == "+expset"      ? &m_carried.exportProcs
                               : IsOlderExportKey(key) ? &m_carried.olderExportKeys
                                                       : nullptr;
        if (carried) {
            *carried += CaptureEntry(is, kObject);
            continue;
        }
        if (is.PeekBeginMarker(kTemplate)) {
            ReadTemplate(is);
            continue;
        }
        if (is.ReadString("mkrSecKey", value)) {
            if (CMarker* m = MarkerNamedInSettings(value, notes, line))
                m_secKeys.emplace_back(m);
            continue;
        }
        if (is.ReadString("mkrDateStamp", value)) {
            CMarker* m = MarkerNamedInSettings(value, notes, line);
            m_dateStamp = m ? CMarkerRef(m) : CMarkerRef();
            continue;
        }
        if (is.ReadString("mkrMultipleMatchShow", value)) {
            CMarker* m = MarkerNamedInSettings(value, notes, line);
            m_multipleMatch = m ? CMarkerRef(m) : CMarkerRef();
            continue;
        }
        if (m_print.Read(is))
            continue;
        // Objects of newer versions are passed over whole. The type is the outermost
        // object: end lines of others are stray and skipped.
        if (key.starts_with("+")) {
            is.SkipObject();
            continue;
        }
        if (is.ReadEnd(kObject))
            break;
    }
    notes.insert(notes.end(), is.Notes().begin(), is.Notes().end());
    is.Notes().clear();
}

bool CDatabaseType::FinishReading(CNoteList& notes) {
    for (auto* object : {m_filters.get(), m_jumpPath.get(), m_interlinear.get()})
        if (object)
            object->FinishReading(notes);
    m_markerSet.SetInterlinearFlags(InterlinearMarkerPairs());
    if (m_recordMarkerName.empty())
        return false;
    CNote error;
    if (!CheckMarkerName(m_recordMarkerName, error)) {
        error.Wrap("mkrRecord: ");
        notes.push_back(std::move(error));
        return false;
    }
    m_markerSet.SetRecordMarker(m_markerSet.SearchOrAdd(m_recordMarkerName));
    return true;
}

void CDatabaseType::ReadTemplate(ObjectStream& is) {
    if (!is.ReadBeginMarker(kTemplate))
        return;
    std::vector<std::string> values;
    while (!is.AtEnd()) {
        std::string value;
        if (is.ReadString("fld", value)) {
            values.push_back(std::move(value));
            continue;
        }
        // A begin line ends a template whose end line is missing.
        if (is.IsOtherEnd(kTemplate) || is.ReadEnd(kTemplate))
            break;
    }
    m_template = TemplateFromFldValues(values);
}

void CDatabaseType::WriteTemplate(ObjectStream& os) const {
    if (m_template.empty())
        return;
    os.WriteBeginMarker(kTemplate);
    for (const std::string& value : TemplateFldValues(m_template))
        os.WriteStringAlways("fld", value);
    os.WriteEndMarker(kTemplate);
}

void CDatabaseType::Write(ObjectStream& os) const {
    os.WriteBeginMarker(kObject, m_name);
    os.WriteString("ver", kSettingsVersion);
    os.WriteString("desc", FitEntryValue("desc", m_description));
    m_markerSet.Write(os);
    os.WriteInteger("iInterlinCharWd", m_interlinCharWidth);
    if (m_interlinear)
        m_interlinear->Write(os);
    else
        WriteCaptured(os, m_carried.interlinearProcs);
    if (m_filters)
        m_filters->Write(os);
    else
        WriteCaptured(os, m_carried.filters);
    if (m_jumpPath)
        m_jumpPath->Write(os);
    else
        WriteCaptured(os, m_carried.jumpPath);
    WriteTemplate(os);
    os.WriteString("mkrRecord", RecordMarker() ? RecordMarker()->Name() : m_recordMarkerName);
    for (const auto& ref : m_secKeys)
        if (ref.Marker())
            os.WriteString("mkrSecKey", ref.Marker()->Name());
    if (DateStampMarker())
        os.WriteString("mkrDateStamp", DateStampMarker()->Name());
    if (MultipleMatchMarker())
        os.WriteString("mkrMultipleMatchShow", MultipleMatchMarker()->Name());
    m_print.Write(os);
    WriteCaptured(os, m_carried.olderExportKeys);
    WriteCaptured(os, m_carried.exportProcs);
    os.WriteEndMarker(kObject);
}

} // namespace crv
