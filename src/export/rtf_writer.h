// The RTF writer: records in, a Rich Text Format document out. Each exported marker
// becomes a paragraph or character style (named by its field name, formatted from its
// font or the template's style of that name); fields become paragraphs and runs. The
// document head (fonts, styles) is known only at the end, so the body is kept until
// Finish writes everything.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/byte_stream.h"
#include "export/page_setup.h"
#include "export/rtf_template.h"
#include "record/sf_writer.h"

namespace crv {

class CMarker;
class CMarkerSet;

struct RtfDocumentSettings {
    // Style formatting from the markers' fonts; otherwise "\f0\fs20".
    bool markerFonts = false;
    // Interlinear lines aligned with tab stops, spacing twips per character column
    // (switched off when the markers hold no interlinear line, or one is a character
    // style).
    bool tabAligned = false;
    int spacing = 120;
    CRtfPageSetup page;
    // A template attached to the document, and whether the word processor is asked to
    // update the styles from it.
    std::string templatePath;
    bool linkStyles = true;
    // The template's style sheet, taken over for the styles of the same names.
    const RtfStyleSheet* templateStyles = nullptr;
    // Headers and footers. "{NAME ...}" in these texts is a field (PAGE, DATE, STYLEREF).
    std::string headerLeft, headerRight;
    std::string footerText;
    bool showDate = false;
};

class RtfWriter : public RecordOutput {
public:
    // markers: the set whose markers the fields carry (the interlinear markers are
    // found there).
    RtfWriter(ByteSink& out, const CMarkerSet& markers, RtfDocumentSettings settings);
    ~RtfWriter() override;
    RtfWriter(const RtfWriter&) = delete;
    RtfWriter& operator=(const RtfWriter&) = delete;

    void WriteField(const CField& field, bool firstOfRecord) override;
    // The running heads, set once the styles they name are known.
    void SetHeaders(std::string left, std::string right);
    // Writes the whole document to the sink; false when writing failed.
    [[nodiscard]] bool Finish();

    // The style a marker's fields are written in (made on first use): its number.
    int StyleOf(const CMarker* marker);
    // The name given to a marker's style.
    std::string StyleNameOf(const CMarker* marker);

private:
    struct Style {
        int number = 0;
        bool character = false;
        std::string name;
        std::string formatting;
        int basedOn = -1;
    };

    int AddStyle(bool character, std::string name, std::string formatting, int basedOn = -1);
    std::string UniqueStyleName(std::string_view fieldName);
    int FontNumber(const std::string& face);
    std::string FontFormatting(const CMarker* marker);
    // Our formatting with the template style's words of the same name in force.
    std::string Merged(const std::string& name, std::string own, bool character);
    void StartParagraph(int style);
    void WriteRun(int style, std::string_view text, bool utf8, bool noWrap);
    void AppendPlain(std::string_view text, bool utf8, bool noWrap);
    // "{" the style's words, the text with its markups, "}".
    void WriteStyledText(int style, std::string_view text, bool utf8, bool noWrap);
    // Field text with its markups (|{word}, |mkr{text}, |*f{text}).
    void WriteMarkedText(std::string_view text, bool utf8, bool noWrap);
    void WriteInterlinear(std::string_view text, bool utf8);
    // Header and footer texts: fields where "{" is followed by an upper-case letter.
    std::string HeaderText(std::string_view text) const;
    std::string SectionSettings(int columns) const;
    void WriteHead(std::string& head) const;

    ByteSink& m_out;
    const CMarkerSet& m_markers;
    RtfDocumentSettings m_settings;
    std::vector<std::string> m_fonts;
    std::vector<Style> m_styles;
    std::unordered_map<const CMarker*, int> m_markerStyles;
    std::string m_body;
    bool m_started = false; // a paragraph was begun
    bool m_paragraphHasText = false;
    bool m_lastWasSpace = false;
    int m_pendingColumns = 0;
    int m_currentColumns = 1;
    bool m_rightToLeft = false;
    int m_footnoteTextStyle = 0, m_footnoteRefStyle = 0, m_headerStyle = 0, m_footerStyle = 0;
};

} // namespace crv
