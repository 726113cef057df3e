// Byte layout of the document (each part as the code below writes it):
//   {\rtf1\ansi\deff0\deflang1033 LF
//   {\fonttbl LF {\f0 Times New Roman;} LF ... } LF
//   {\stylesheet LF Normal, Default Paragraph Font, header, footer, footnote text,
//     footnote reference, then the markers' styles in order of first use } LF
//   \paperwN\paperhN\marglN\margrN\margtN\margbN[\facingp][\gutterN][\margmirror] LF
//   \ftnbj\ftnnalc LF   [{\*\template PATH}[\linkstyles] LF]
//   \sectd\sbknone LF \colsN LF \colsxN LF [\linebetcol LF] \headeryN LF \footeryN LF
//   headers and footers, then the body: "\pard\plain\sN<formatting> text", each later
//   paragraph after "LF \par " (or "LF \sect <section>" where a marker asked for other
//   columns), character-style fields as "{\csN<formatting> text}" runs; then "}".
#include "export/rtf_writer.h"

#include <algorithm>
#include <cstdio>

#include "export/rtf_text.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv {

namespace {

constexpr std::string_view kStyleNameDropped = "\\{};:";
constexpr std::size_t kMaxStyleName = 250;

std::string Number(long n) { return std::to_string(n); }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && (IsSpace(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// A control word's name as the markup "|{name}" may give it: lower-case letters and
// optional digits with an optional minus sign, or one character that is not a letter
// or digit.
bool IsControlName(std::string_view name, bool& alphanumeric) {
    alphanumeric = false;
    if (name.size() == 1 && !std::isalnum(static_cast<unsigned char>(name[0])) &&
        static_cast<unsigned char>(name[0]) < 0x80)
        return true;
    std::size_t i = 0;
    while (i < name.size() && name[i] >= 'a' && name[i] <= 'z')
        ++i;
    if (i == 0)
        return false;
    if (i < name.size() && name[i] == '-')
        ++i;
    std::size_t digits = i;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9')
        ++i;
    if (i != name.size() || (name[digits - 1] == '-' && digits == i))
        return false;
    alphanumeric = true;
    return true;
}

// The end of the braced text whose "{" is at open: the matching "}"; npos when none.
std::size_t MatchingBrace(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '{')
            ++depth;
        else if (text[i] == '}' && --depth == 0)
            return i;
    }
    return std::string_view::npos;
}

bool IsMarkerNameChar(char c) {
    return !IsSpace(c) && c != '\\' && c != '{' && c != '}' && c != '|' && c != ',';
}

// A name cut to at most n bytes without splitting a UTF-8 character.
std::string_view CutName(std::string_view name, std::size_t n) {
    if (name.size() <= n)
        return name;
    std::size_t cut = n;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.substr(0, cut);
}

bool IsTabWord(const RtfControlWord& w) { return w.word == "tx" || w.word.starts_with("tq"); }

} // namespace

RtfWriter::RtfWriter(ByteSink& out, const CMarkerSet& markers, RtfDocumentSettings settings)
    : m_out(out), m_markers(markers), m_settings(std::move(settings)) {
    m_fonts.push_back("Times New Roman");
    AddStyle(false, "Normal", Merged("Normal", "\\f0\\fs20", false));
    int dpf = AddStyle(true, "Default Paragraph Font", Merged("Default Paragraph Font", "", true));
    m_headerStyle = AddStyle(false, "header",
                             Merged("header", "\\tqc\\tx4320\\tqr\\tx8640\\f0\\fs20", false), 0);
    m_footerStyle = AddStyle(false, "footer",
                             Merged("footer", "\\tqc\\tx4320\\tqr\\tx8640\\f0\\fs20", false), 0);
    m_footnoteTextStyle =
        AddStyle(false, "footnote text", Merged("footnote text", "\\f0\\fs20", false), 0);
    m_footnoteRefStyle =
        AddStyle(true, "footnote reference", Merged("footnote reference", "\\super", true), dpf);

    // Tab alignment needs interlinear lines, none of them a character style.
    bool anyInterlinear = false, anyCharacter = false;
    for (const CMarker& m : markers) {
        if (!(m.InterlinearFlags() & CMarker::kInterlinearLine))
            continue;
        anyInterlinear = true;
        anyCharacter = anyCharacter || m.CharStyle();
        if ((m.InterlinearFlags() & CMarker::kInterlinearTextLine) && m.LangEnc())
            m_rightToLeft = m.LangEnc()->RightToLeft();
    }
    if (!anyInterlinear || anyCharacter)
        m_settings.tabAligned = false;
    m_currentColumns = m_settings.page.columns;
}

RtfWriter::~RtfWriter() = default;

int RtfWriter::AddStyle(bool character, std::string name, std::string formatting, int basedOn) {
    Style s;
    s.number = static_cast<int>(m_styles.size());
    s.character = character;
    s.name = std::move(name);
    s.formatting = std::move(formatting);
    s.basedOn = basedOn;
    m_styles.push_back(std::move(s));
    return m_styles.back().number;
}

int RtfWriter::FontNumber(const std::string& face) {
    for (std::size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i] == face)
            return static_cast<int>(i);
    m_fonts.push_back(face);
    return static_cast<int>(m_fonts.size() - 1);
}

std::string RtfWriter::FontFormatting(const CMarker* marker) {
    FontSpec font;
    font.face = "Times New Roman";
    if (!marker->UsesLangEncFont())
        font = marker->Font();
    else if (marker->LangEnc())
        font = marker->LangEnc()->Font();
    std::string f;
    if (font.weight >= 700)
        f += "\\b";
    if (font.italic)
        f += "\\i";
    if (font.strikeOut)
        f += "\\strike";
    if (font.underline)
        f += "\\ul";
    f += "\\f" + Number(FontNumber(font.face.empty() ? "Times New Roman" : font.face));
    // Half-points from the logical font's (negative) character height.
    long height = font.height > 0 ? -font.height : font.height;
    long size = 2 * ((1 - 3 * height) / 4);
    f += "\\fs" + Number(size < 2 ? 2 : size);
    return f;
}

std::string RtfWriter::Merged(const std::string& name, std::string own, bool character) {
    const RtfTemplateStyle* t =
        m_settings.templateStyles ? m_settings.templateStyles->Find(name) : nullptr;
    if (!t)
        return own;
    std::vector<RtfControlWord> words;
    for (const RtfControlWord& w : t->formatting)
        if (!character || IsCharacterFormatting(w.word))
            words.push_back(w);
    std::string out;
    for (const RtfControlWord& w : words) {
        out += "\\" + w.word;
        if (w.word == "f" && !w.fontName.empty())
            out += Number(FontNumber(w.fontName));
        else if (w.hasParam)
            out += Number(w.param);
    }
    for (const RtfControlWord& w : SplitControlWords(own)) {
        bool overridden = std::any_of(words.begin(), words.end(), [&](const RtfControlWord& t) {
            return t.word == w.word || (IsTabWord(t) && IsTabWord(w));
        });
        if (overridden)
            continue;
        out += "\\" + w.word;
        if (w.hasParam)
            out += Number(w.param);
    }
    return out;
}

std::string RtfWriter::UniqueStyleName(std::string_view fieldName) {
    std::string name;
    for (char c : fieldName)
        if (kStyleNameDropped.find(c) == std::string_view::npos)
            name += c;
    if (name.empty())
        name = "Unnamed";
    name = std::string(CutName(name, kMaxStyleName));
    auto used = [&](std::string_view n) {
        return std::any_of(m_styles.begin(), m_styles.end(),
                           [&](const Style& s) { return SameStyleName(s.name, n); });
    };
    if (!used(name))
        return name;
    for (int n = 2;; ++n) {
        std::string suffix = Number(n);
        std::string candidate = std::string(CutName(name, kMaxStyleName - suffix.size())) + suffix;
        if (!used(candidate))
            return candidate;
    }
}

int RtfWriter::StyleOf(const CMarker* marker) {
    auto it = m_markerStyles.find(marker);
    if (it != m_markerStyles.end())
        return it->second;
    const std::string& field = marker->FieldName();
    std::string name = UniqueStyleName(field.empty() || field == "*" ? marker->Name() : field);
    bool character = marker->CharStyle();
    std::string own = m_settings.markerFonts ? FontFormatting(marker) : "\\f0\\fs20";
    std::string formatting = Merged(name, own, character);
    int n = AddStyle(character, name, formatting, character ? 1 : 0);
    m_markerStyles.emplace(marker, n);
    return n;
}

void RtfWriter::SetHeaders(std::string left, std::string right) {
    m_settings.headerLeft = std::move(left);
    m_settings.headerRight = std::move(right);
}

std::string RtfWriter::StyleNameOf(const CMarker* marker) {
    return m_styles[static_cast<std::size_t>(StyleOf(marker))].name;
}

std::string RtfWriter::SectionSettings(int columns) const {
    const CRtfPageSetup& p = m_settings.page;
    std::string s = "\\sectd\\sbknone\n\\cols" + Number(columns) + "\n\\colsx" +
                    Number(p.Twips(p.columnSpacing)) + "\n";
    if (p.lineBetweenColumns)
        s += "\\linebetcol\n";
    s += "\\headery" + Number(p.Twips(p.headerToEdge)) + "\n\\footery" +
         Number(p.Twips(p.footerToEdge)) + "\n";
    return s;
}

void RtfWriter::StartParagraph(int style) {
    if (m_started) {
        if (m_pendingColumns && m_pendingColumns != m_currentColumns) {
            m_body += "\n\\sect " + SectionSettings(m_pendingColumns);
            m_currentColumns = m_pendingColumns;
        } else {
            m_body += "\n\\par ";
        }
    }
    m_pendingColumns = 0;
    m_started = true;
    const Style& s = m_styles[static_cast<std::size_t>(style)];
    m_body += "\\pard\\plain";
    if (style != 0)
        m_body += "\\s" + Number(style);
    m_body += s.formatting;
    m_body += ' ';
    m_paragraphHasText = false;
    m_lastWasSpace = false;
}

void RtfWriter::WriteField(const CField& field, bool firstOfRecord) {
    const CMarker* marker = field.Marker();
    if (!marker)
        return;
    std::string_view text = TrimEnd(field.Text());
    int style = StyleOf(marker);
    const Style& s = m_styles[static_cast<std::size_t>(style)];
    bool utf8 = TextIsUtf8(marker, text);
    if (!s.character) {
        StartParagraph(style);
        if (m_settings.tabAligned && (marker->InterlinearFlags() & CMarker::kInterlinearLine))
            WriteInterlinear(text, utf8);
        else
            WriteMarkedText(text, utf8, marker->NoWordWrap());
    } else {
        if (!m_started || firstOfRecord)
            StartParagraph(0);
        if (!text.empty())
            WriteRun(style, text, utf8, marker->NoWordWrap());
    }
    if (marker->Section() > 0)
        m_pendingColumns = marker->Section();
}

void RtfWriter::WriteRun(int style, std::string_view text, bool utf8, bool noWrap) {
    // Runs of a paragraph are separated by one space unless the texts bring their own
    // or the run begins with closing punctuation.
    char first = text.empty() ? ' ' : text.front();
    if (m_paragraphHasText && !m_lastWasSpace && !IsSpace(first) &&
        std::string_view(".,;:!?)]").find(first) == std::string_view::npos)
        m_body += ' ';
    WriteStyledText(style, text, utf8, noWrap);
}

void RtfWriter::WriteStyledText(int style, std::string_view text, bool utf8, bool noWrap) {
    const Style& s = m_styles[static_cast<std::size_t>(style)];
    m_body += '{';
    if (s.character)
        m_body += "\\cs" + Number(style);
    m_body += s.formatting;
    m_body += ' ';
    WriteMarkedText(text, utf8, noWrap);
    m_body += '}';
}

void RtfWriter::AppendPlain(std::string_view text, bool utf8, bool noWrap) {
    if (text.empty())
        return;
    AppendRtfText(m_body, text, utf8, noWrap ? RtfLineBreaks::Line : RtfLineBreaks::Space);
    m_paragraphHasText = true;
    m_lastWasSpace = IsSpace(text.back());
}

void RtfWriter::WriteMarkedText(std::string_view text, bool utf8, bool noWrap) {
    std::size_t plain = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t bar = text.find('|', i);
        if (bar == std::string_view::npos || bar + 1 >= text.size())
            break;
        std::size_t after = bar + 1;
        // |{word}: a control word.
        if (text[after] == '{') {
            std::size_t close = text.find('}', after);
            bool alnum = false;
            if (close != std::string_view::npos &&
                IsControlName(text.substr(after + 1, close - after - 1), alnum)) {
                AppendPlain(text.substr(plain, bar - plain), utf8, noWrap);
                m_body += '\\';
                m_body += text.substr(after + 1, close - after - 1);
                if (alnum)
                    m_body += ' ';
                i = plain = close + 1;
                continue;
            }
            i = after;
            continue;
        }
        std::size_t open = after;
        while (open < text.size() && IsMarkerNameChar(text[open]))
            ++open;
        if (open == after || open >= text.size() || text[open] != '{') {
            i = after;
            continue;
        }
        std::size_t close = MatchingBrace(text, open);
        if (close == std::string_view::npos) {
            i = after;
            continue;
        }
        std::string_view name = text.substr(after, open - after);
        std::string_view inner = text.substr(open + 1, close - open - 1);
        if (name == "*f") {
            // |*f{text}: a footnote.
            AppendPlain(text.substr(plain, bar - plain), utf8, noWrap);
            const Style& ref = m_styles[static_cast<std::size_t>(m_footnoteRefStyle)];
            const Style& note = m_styles[static_cast<std::size_t>(m_footnoteTextStyle)];
            std::string refRun = "{\\cs" + Number(ref.number) + ref.formatting + "\\chftn}";
            m_body += refRun;
            m_body += "{\\*\\footnote \\pard\\plain\\s" + Number(note.number) + note.formatting +
                      " " + refRun + " ";
            WriteMarkedText(inner, utf8, noWrap);
            m_body += '}';
            i = plain = close + 1;
            continue;
        }
        const CMarker* m = m_markers.Search(name);
        if (!m) {
            i = after;
            continue;
        }
        // |mkr{text}: the text in that marker's character style.
        AppendPlain(text.substr(plain, bar - plain), utf8, noWrap);
        WriteStyledText(StyleOf(m), inner, utf8, noWrap);
        i = plain = close + 1;
    }
    AppendPlain(text.substr(plain), utf8, noWrap);
}

void RtfWriter::WriteInterlinear(std::string_view text, bool utf8) {
    int spacing = m_settings.spacing;
    int width = m_settings.page.TextWidthTwips();
    std::size_t lineStart = 0;
    bool firstLine = true;
    while (lineStart <= text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = text.size();
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        if (!firstLine)
            m_body += "\\line ";
        firstLine = false;
        bool firstWord = true;
        for (std::size_t p = 0; p < line.size();) {
            if (line[p] == ' ' || line[p] == '\t') {
                ++p;
                continue;
            }
            std::size_t end = p;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t')
                ++end;
            long column = static_cast<long>(CharacterCount(line.substr(0, p), utf8));
            if (m_rightToLeft) {
                m_body += "\\tab \\tqr\\tx" + Number(width - spacing * column) + " ";
            } else if (!firstWord) {
                m_body += "\\tab \\tx" + Number(spacing * column) + " ";
            }
            AppendPlain(line.substr(p, end - p), utf8, false);
            firstWord = false;
            p = end;
        }
        if (lineEnd == text.size())
            break;
        lineStart = lineEnd + 1;
    }
}

std::string RtfWriter::HeaderText(std::string_view text) const {
    std::string out;
    bool utf8 = IsValidUtf8(text);
    std::size_t plain = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '{' || text[i + 1] < 'A' || text[i + 1] > 'Z')
            continue;
        std::size_t close = text.find('}', i);
        if (close == std::string_view::npos)
            break;
        AppendRtfText(out, text.substr(plain, i - plain), utf8);
        out += "{\\field{\\*\\fldinst ";
        AppendRtfText(out, text.substr(i + 1, close - i - 1), utf8);
        out += "}}";
        i = close;
        plain = close + 1;
    }
    AppendRtfText(out, text.substr(plain), utf8);
    return out;
}

void RtfWriter::WriteHead(std::string& head) const {
    const CRtfPageSetup& p = m_settings.page;
    head += "{\\rtf1\\ansi\\deff0\\deflang1033\n{\\fonttbl\n";
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        head += "{\\f" + Number(static_cast<long>(i)) + " ";
        AppendRtfText(head, m_fonts[i], IsValidUtf8(m_fonts[i]));
        head += ";}\n";
    }
    head += "}\n{\\stylesheet\n";
    for (const Style& s : m_styles) {
        if (s.character) {
            head += "{\\*\\cs" + Number(s.number) + " \\additive" + s.formatting;
            if (s.basedOn >= 0)
                head += "\\sbasedon" + Number(s.basedOn);
        } else {
            head += "{";
            if (s.number != 0)
                head += "\\s" + Number(s.number);
            head += s.formatting;
            if (s.number != 0)
                head += "\\sbasedon0";
            head += "\\snext" + Number(s.number);
        }
        head += ' ';
        AppendRtfText(head, s.name, IsValidUtf8(s.name));
        head += ";}\n";
    }
    head += "}\n";
    head += "\\paperw" + Number(p.Twips(p.PaperWidth())) + "\\paperh" +
            Number(p.Twips(p.PaperHeight())) + "\\margl" + Number(p.Twips(p.leftMargin)) +
            "\\margr" + Number(p.Twips(p.rightMargin)) + "\\margt" + Number(p.Twips(p.topMargin)) +
            "\\margb" + Number(p.Twips(p.bottomMargin));
    if (p.facingPages)
        head += "\\facingp";
    if (p.Twips(p.gutter) != 0)
        head += "\\gutter" + Number(p.Twips(p.gutter));
    if (p.mirrorMargins)
        head += "\\margmirror";
    head += "\n\\ftnbj\\ftnnalc\n";
    if (!m_settings.templatePath.empty()) {
        head += "{\\*\\template ";
        AppendRtfText(head, m_settings.templatePath, IsValidUtf8(m_settings.templatePath));
        head += "}";
        if (m_settings.linkStyles)
            head += "\\linkstyles";
        head += "\n";
    }
    head += SectionSettings(p.columns);

    // Headers and footers span the page: their tab stops are set to its text width.
    int width = p.Twips(p.PaperWidth()) - p.Twips(p.leftMargin) - p.Twips(p.rightMargin) -
                p.Twips(p.gutter);
    if (width < 0)
        width = 0;
    auto start = [&](int style) {
        const Style& s = m_styles[static_cast<std::size_t>(style)];
        std::string f = "\\pard\\plain\\s" + Number(style) + "\\tqc\\tx" + Number(width / 2) +
                        "\\tqr\\tx" + Number(width);
        for (const RtfControlWord& w : SplitControlWords(s.formatting)) {
            if (IsTabWord(w))
                continue;
            f += "\\" + w.word;
            if (w.hasParam)
                f += Number(w.param);
        }
        return f + " ";
    };
    // Without facing pages one header and footer serve every page.
    const char* left = p.facingPages ? "headerl" : nullptr;
    const char* right = p.facingPages ? "headerr" : "header";
    const std::string& hl = m_settings.headerLeft;
    const std::string& hr = m_settings.headerRight;
    if (!hl.empty() || !hr.empty()) {
        std::string body =
            start(m_headerStyle) + HeaderText(hl) + "\\tab\\tab " + HeaderText(hr) + "\\par}\n";
        if (left)
            head += std::string("{\\") + left + " " + body;
        head += std::string("{\\") + right + " " + body;
    }
    std::string date = m_settings.showDate ? HeaderText("{DATE}") : std::string();
    std::string page = HeaderText("{PAGE}");
    std::string title = HeaderText(m_settings.footerText);
    if (p.facingPages)
        head += "{\\footerl " + start(m_footerStyle) + page + "\\tab " + title + "\\tab " + date +
                "\\par}\n";
    head += std::string(p.facingPages ? "{\\footerr " : "{\\footer ") + start(m_footerStyle) +
            date + "\\tab " + title + "\\tab " + page + "\\par}\n";
}

bool RtfWriter::Finish() {
    std::string head;
    WriteHead(head);
    m_body += "}";
    return m_out.Write(head.data(), head.size()) && m_out.Write(m_body.data(), m_body.size());
}

} // namespace crv
