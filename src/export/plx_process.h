// The dictionary formatter's process: audience (English or national), format (diglot,
// triglot or finderlist), the options of its three passes, titles and last outputs per
// audience and format, the labels tables and templates of each audience, the excluded
// fields and its page setup. The run itself is in plx_formatter.h.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "export/export_process.h"

namespace crv {

enum class PlxAudience { English, National };
enum class PlxFormat { Diglot, Triglot, Finderlist };

class CExportProcessPLX : public CExportProcess {
public:
    static constexpr std::string_view kDefaultName = "Polylex Formatter";
    static constexpr std::string_view kVersion = "4.0";
    static constexpr std::string_view kDefaultRtfType = "PLX Rich Text Format";
    // Fields left out by default.
    static constexpr std::array<std::string_view, 14> kDefaultExcluded = {
        "dt", "ec", "es", "is", "re", "rn", "rr", "sd", "so", "st", "th", "we", "wn", "wr"};

    CExportProcessPLX(CExportProcessSet& owner, std::string name);
    Kind GetKind() const override { return Kind::Dictionary; }
    std::string_view ObjectKey() const override { return "expPLX"; }

    std::string version{kVersion};
    PlxAudience audience = PlxAudience::English;
    PlxFormat format = PlxFormat::Diglot;
    // Indexed [audience][format].
    std::array<std::array<std::string, 3>, 2> titles;
    std::array<std::array<std::string, 3>, 2> exported;
    std::array<std::string, 2> labelsTable; // zttEnglishLabels, zttNationalLabels
    std::array<std::string, 2> templates;   // dotEnglish, dotNational
    bool sortAlsoBySenses = true;           // stored inverted: SortOnlyByLexeme
    bool includeLexemeWithCitationForm = false;
    bool includeExamples = true;     // stored inverted: ExcludeExamples
    bool includeNotes = true;        // ExcludeNotes
    bool includePartOfSpeech = true; // ExcludePartOfSpeech
    bool includeNonPlx = false;
    bool includeRegionalWithNational = false;
    bool showHeader = true; // NoHeader
    bool showDate = true;   // NoDate
    bool showTotal = true;  // NoTotal
    std::string rtfType{kDefaultRtfType};
    CRtfPageSetup pageSetup = CRtfPageSetup::DictionaryDefault();

    // The title and last output of the chosen audience and format.
    std::string& Title() { return titles[Audience()][Format()]; }
    std::string& Exported() { return exported[Audience()][Format()]; }
    const std::string& LabelsTable() const { return labelsTable[Audience()]; }
    const std::string& Template() const { return templates[Audience()]; }
    // The excluded markers of the defaults that the type has.
    void ExcludeDefaultFields();
    // Takes over the settings of other (a copy edited in the properties dialog); the
    // name and fields stay.
    void AssignSettings(const CExportProcessPLX& other);
    void FinishReading() override;

protected:
    void WriteKeys(ObjectStream& os) const override;
    bool ReadKey(ObjectStream& is) override;

private:
    std::size_t Audience() const { return audience == PlxAudience::National ? 1 : 0; }
    std::size_t Format() const { return static_cast<std::size_t>(format); }
    bool m_readSingleColumn = false;
};

} // namespace crv
