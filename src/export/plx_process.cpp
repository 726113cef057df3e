// The dictionary formatter's settings object, keys in this order:
//   \+expPLX NAME \ver \National \Triglot \Finderlist \titleEnglishDiglot ...
//   \titleNationalFinderlist \exportedEnglishDiglot ... \exportedNationalFinderlist
//   \zttEnglishLabels \zttNationalLabels \dotEnglish \dotNational \SortOnlyByLexeme
//   \IncludeLexemeWithCitationForm \ExcludeExamples \ExcludeNotes \ExcludePartOfSpeech
//   \IncludeNonPLX \IncludeRegionalWithNational \SingleColumn \NoHeader \NoDate \NoTotal
//   \typRTF \+mkrsubsetExcluded ... \+rtfPageSetup ... \-expPLX
// Titles are Windows-1252 text: the dash between the languages is the byte 0x97.
#include "export/plx_process.h"

#include "export/export_process_set.h"
#include "schema/marker.h"

namespace crv {

namespace {

constexpr std::array<std::string_view, 2> kAudienceKeys = {"English", "National"};
constexpr std::array<std::string_view, 3> kFormatKeys = {"Diglot", "Triglot", "Finderlist"};

struct Flag {
    std::string_view key;
    bool CExportProcessPLX::*member;
    bool inverted;
};

constexpr std::array<Flag, 10> kFlags = {{
    {"SortOnlyByLexeme", &CExportProcessPLX::sortAlsoBySenses, true},
    {"IncludeLexemeWithCitationForm", &CExportProcessPLX::includeLexemeWithCitationForm, false},
    {"ExcludeExamples", &CExportProcessPLX::includeExamples, true},
    {"ExcludeNotes", &CExportProcessPLX::includeNotes, true},
    {"ExcludePartOfSpeech", &CExportProcessPLX::includePartOfSpeech, true},
    {"IncludeNonPLX", &CExportProcessPLX::includeNonPlx, false},
    {"IncludeRegionalWithNational", &CExportProcessPLX::includeRegionalWithNational, false},
    {"NoHeader", &CExportProcessPLX::showHeader, true},
    {"NoDate", &CExportProcessPLX::showDate, true},
    {"NoTotal", &CExportProcessPLX::showTotal, true},
}};

} // namespace

CExportProcessPLX::CExportProcessPLX(CExportProcessSet& owner, std::string name)
    : CExportProcess(owner, std::move(name)) {
    const std::string dash = "\x97";
    titles[0] = {"vernacular " + dash + " English Dictionary",
                 "vernacular " + dash + " English " + dash + " national Dictionary",
                 "English " + dash + " vernacular"};
    titles[1] = {"vernacular " + dash + " national Dictionary",
                 "vernacular " + dash + " national " + dash + " English Dictionary",
                 "national " + dash + " vernacular"};
    labelsTable = {"plx_eng.ztt", "plx_inz.ztt"};
    templates = {"plx_e.dot", "plx_n.dot"};
    Fields().SetStorage(CMarkerSubSet::Storage::Excluded);
}

void CExportProcessPLX::ExcludeDefaultFields() {
    for (std::string_view name : kDefaultExcluded)
        if (const CMarker* m = Owner().Markers().Search(name))
            Fields().SetIncluded(m, false);
}

void CExportProcessPLX::AssignSettings(const CExportProcessPLX& o) {
    version = o.version;
    audience = o.audience;
    format = o.format;
    titles = o.titles;
    exported = o.exported;
    labelsTable = o.labelsTable;
    templates = o.templates;
    sortAlsoBySenses = o.sortAlsoBySenses;
    includeLexemeWithCitationForm = o.includeLexemeWithCitationForm;
    includeExamples = o.includeExamples;
    includeNotes = o.includeNotes;
    includePartOfSpeech = o.includePartOfSpeech;
    includeNonPlx = o.includeNonPlx;
    includeRegionalWithNational = o.includeRegionalWithNational;
    showHeader = o.showHeader;
    showDate = o.showDate;
    showTotal = o.showTotal;
    rtfType = o.rtfType;
    pageSetup = o.pageSetup;
}

void CExportProcessPLX::FinishReading() {
    CExportProcess::FinishReading();
    // The excluded list is always written as one.
    Fields().SetStorage(CMarkerSubSet::Storage::Excluded);
    if (m_readSingleColumn)
        pageSetup.columns = 1;
    m_readSingleColumn = false;
}

void CExportProcessPLX::WriteKeys(ObjectStream& os) const {
    os.WriteString("ver", version);
    os.WriteBool("National", audience == PlxAudience::National);
    os.WriteBool("Triglot", format == PlxFormat::Triglot);
    os.WriteBool("Finderlist", format == PlxFormat::Finderlist);
    for (std::size_t a = 0; a < 2; ++a)
        for (std::size_t f = 0; f < 3; ++f)
            os.WriteString("title", std::string(kAudienceKeys[a]) + std::string(kFormatKeys[f]),
                           titles[a][f]);
    for (std::size_t a = 0; a < 2; ++a)
        for (std::size_t f = 0; f < 3; ++f)
            os.WriteString("exported", std::string(kAudienceKeys[a]) + std::string(kFormatKeys[f]),
                           exported[a][f]);
    os.WriteString("zttEnglishLabels", labelsTable[0]);
    os.WriteString("zttNationalLabels", labelsTable[1]);
    os.WriteString("dotEnglish", templates[0]);
    os.WriteString("dotNational", templates[1]);
    for (const Flag& f : kFlags) {
        if (f.key == "NoHeader")
            os.WriteBool("SingleColumn", pageSetup.columns == 1);
        os.WriteBool(f.key, this->*f.member != f.inverted);
    }
    os.WriteBool("PriKeyFieldFirst", priKeyFieldFirst);
    os.WriteString("zttFile", changeTable);
    os.WriteString("exportedFile", exportedFile);
    os.WriteString("typRTF", rtfType);
    Fields().Write(os);
    pageSetup.Write(os);
}

bool CExportProcessPLX::ReadKey(ObjectStream& is) {
    bool flag = false;
    // These have defaults that an empty value cannot be written over: an empty one keeps
    // the default, as the file will say once written again.
    std::string value;
    auto keep = [&](std::string& into) {
        if (!value.empty())
            into = std::move(value);
        return true;
    };
    if ((is.ReadString("ver", value) && keep(version)) ||
        (is.ReadString("typRTF", value) && keep(rtfType)) ||
        (is.ReadString("zttEnglishLabels", value) && keep(labelsTable[0])) ||
        (is.ReadString("zttNationalLabels", value) && keep(labelsTable[1])) ||
        (is.ReadString("dotEnglish", value) && keep(templates[0])) ||
        (is.ReadString("dotNational", value) && keep(templates[1])) ||
        ReadPageSetupOnce(is, pageSetup) || ReadBaseKey(is))
        return true;
    if (is.ReadBool("National", flag)) {
        audience = PlxAudience::National;
        return true;
    }
    if (is.ReadBool("Triglot", flag)) {
        if (format != PlxFormat::Finderlist)
            format = PlxFormat::Triglot;
        return true;
    }
    if (is.ReadBool("Finderlist", flag)) {
        format = PlxFormat::Finderlist;
        return true;
    }
    if (is.ReadBool("SingleColumn", flag)) {
        m_readSingleColumn = true;
        return true;
    }
    for (const Flag& f : kFlags)
        if (is.ReadBool(f.key, flag)) {
            this->*f.member = !f.inverted;
            return true;
        }
    for (std::size_t a = 0; a < 2; ++a)
        for (std::size_t f = 0; f < 3; ++f) {
            std::string suffix = std::string(kAudienceKeys[a]) + std::string(kFormatKeys[f]);
            if ((is.ReadStringWithPrefix("title", suffix, value) && keep(titles[a][f])) ||
                is.ReadStringWithPrefix("exported", suffix, exported[a][f]))
                return true;
        }
    return false;
}

} // namespace crv
