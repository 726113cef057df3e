// The standard format and RTF processes and what every process has. Settings form:
//   \+expSF NAME   \PriKeyFieldFirst \zttFile \exportedFile (marker subset)   \-expSF
//   \+expRTF NAME  \PriKeyFieldFirst \zttFile \dotFile \exportedFile \MarkerFont
//                  \InterlinearTabAligned \InterlinearSpacing (marker subset)
//                  \+rtfPageSetup ... \-rtfPageSetup   \-expRTF
// Entries this version does not read are written back before the end line.
#include "export/export_process.h"

#include <sstream>

#include "export/export_process_set.h"
#include "schema/marker.h"

namespace crv {

bool CMarkersToExportSubSet::IncludesMarker(const CMarker* marker) const {
    if (marker && MarkerSet() && marker == MarkerSet()->RecordMarker())
        return true;
    return CMarkerSubSet::IncludesMarker(marker);
}

bool CMarkersToExportSubSet::ReadDeferred(ObjectStream& is) {
    std::string_view key = is.PeekKey();
    if (is.Overflow() || (key != "+mkrsubsetExcluded" && key != "+mkrsubsetIncluded"))
        return false;
    UnknownEntries taken;
    taken.Capture(is, {});
    std::ostringstream text;
    ObjectStream os(text);
    taken.Write(os);
    m_pending = text.str();
    return true;
}

void CMarkersToExportSubSet::Resolve() {
    if (m_pending.empty())
        return;
    std::istringstream text(m_pending);
    ObjectStream is(text);
    Read(is);
    m_pending.clear();
}

CExportProcess::CExportProcess(CExportProcessSet& owner, std::string name)
    : CSetEl(std::move(name)), m_owner(&owner), m_fields(&owner.Markers()) {}

CExportProcess::~CExportProcess() = default;

std::unique_ptr<CExportProcess> CExportProcess::Clone(const std::string& name) const {
    std::ostringstream out;
    ObjectStream os(out);
    Write(os);
    auto copy = MakeExportProcess(GetKind(), *m_owner, name);
    std::istringstream in(out.str());
    ObjectStream is(in);
    is.SkipEntry(); // the begin line, with the old name
    copy->Read(is);
    copy->FinishReading();
    return copy;
}

void CExportProcess::Write(ObjectStream& os) const {
    os.WriteBeginMarker(ObjectKey(), Name());
    WriteKeys(os);
    m_unknown.Write(os);
    os.WriteEndMarker(ObjectKey());
}

void CExportProcess::Read(ObjectStream& is) {
    ReadingObject reading(is, ObjectKey());
    while (!AtObjectEnd(is, ObjectKey())) {
        if (is.Overflow()) {
            is.SkipEntry();
            continue;
        }
        if (!ReadKey(is))
            m_unknown.Capture(is, ObjectKey());
    }
}

void CExportProcess::FinishReading() { m_fields.Resolve(); }

bool CExportProcess::ReadBaseKey(ObjectStream& is) {
    bool flag = false;
    if (is.ReadBool("PriKeyFieldFirst", flag)) {
        priKeyFieldFirst = true;
        return true;
    }
    return is.ReadString("zttFile", changeTable) || is.ReadString("exportedFile", exportedFile) ||
           m_fields.ReadDeferred(is);
}

bool CExportProcess::ReadPageSetupOnce(ObjectStream& is, CRtfPageSetup& setup) {
    if (m_pageSetupRead || !is.PeekBeginMarker("rtfPageSetup"))
        return false;
    m_pageSetupRead = true;
    return setup.Read(is);
}

void CExportProcessSF::WriteKeys(ObjectStream& os) const {
    os.WriteBool("PriKeyFieldFirst", priKeyFieldFirst);
    os.WriteString("zttFile", changeTable);
    os.WriteString("exportedFile", exportedFile);
    Fields().Write(os);
}

bool CExportProcessSF::ReadKey(ObjectStream& is) { return ReadBaseKey(is); }

void CExportProcessRTF::NormalizeSpacing() {
    if (!tabAligned)
        spacing = 0;
    else if (spacing < 60 || spacing > 240)
        spacing = kDefaultSpacing;
}

void CExportProcessRTF::WriteKeys(ObjectStream& os) const {
    os.WriteBool("PriKeyFieldFirst", priKeyFieldFirst);
    os.WriteString("zttFile", changeTable);
    os.WriteString("dotFile", documentTemplate);
    os.WriteString("exportedFile", exportedFile);
    os.WriteBool("MarkerFont", markerFont);
    os.WriteBool("InterlinearTabAligned", tabAligned);
    if (spacing != 0)
        os.WriteInteger("InterlinearSpacing", spacing);
    Fields().Write(os);
    pageSetup.Write(os);
}

bool CExportProcessRTF::ReadKey(ObjectStream& is) {
    bool flag = false;
    if (ReadBaseKey(is) || is.ReadString("dotFile", documentTemplate) ||
        is.ReadInteger("InterlinearSpacing", spacing) || ReadPageSetupOnce(is, pageSetup))
        return true;
    if (is.ReadBool("MarkerFont", flag)) {
        markerFont = true;
        return true;
    }
    if (is.ReadBool("InterlinearTabAligned", flag)) {
        tabAligned = true;
        return true;
    }
    return false;
}

void CExportProcessRTF::FinishReading() {
    CExportProcess::FinishReading();
    NormalizeSpacing();
}

} // namespace crv
