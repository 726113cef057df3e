// The settings form of a language encoding (a .lng file) and the text of a new
// encoding's default properties, which is read as if it were the encoding's file.
#include "schema/lang_enc.h"

#include <sstream>

#include "base/object_stream.h"
#include "schema/lang_enc_set.h"
#include "schema/settings_version.h"

namespace crv {

namespace {

constexpr std::string_view kInLangEnc = "In language encoding: ";
constexpr std::string_view kInLangEncFile = "In language encoding file: ";

// Passes over an object nobody here reads, nested objects included. Stops without
// consuming at the end line of stopAt, so that an unclosed object cannot swallow it.
void SkipObject(ObjectStream& in, std::string_view stopAt) {
    std::string key(in.PeekKey());
    in.SkipEntry();
    std::string end = "-" + key.substr(1);
    while (!in.AtEnd()) {
        std::string_view k = in.PeekKey();
        if (k == end) {
            in.SkipEntry();
            return;
        }
        if (k.size() > 1 && k[0] == '-' && k.substr(1) == stopAt)
            return;
        if (k.size() > 1 && k[0] == '+')
            SkipObject(in, stopAt);
        else
            in.SkipEntry();
    }
}

void AppendWrapped(CNoteList& to, CNoteList&& from, std::string_view encoding,
                   std::string_view file) {
    for (auto& note : from) {
        note.Wrap(kInLangEnc, encoding);
        if (!file.empty())
            note.Wrap(kInLangEncFile, file);
        to.push_back(std::move(note));
    }
}

} // namespace

void CLangEnc::Read(ObjectStream& in, CNoteList& notes, std::string_view fileName) {
    while (!in.AtEnd()) {
        std::string text;
        if (in.ReadString("ver", m_version) || in.ReadString("desc", m_description))
            continue;
        if (in.ReadString("case", text)) {
            CNoteList caseNotes;
            SetCaseText(std::move(text), caseNotes);
            // Case errors name the file when there is one, else the encoding.
            for (auto& note : caseNotes) {
                if (fileName.empty())
                    note.Wrap(kInLangEnc, m_name);
                else
                    note.Wrap(kInLangEncFile, fileName);
                notes.push_back(std::move(note));
            }
            continue;
        }
        if (in.ReadBeginMarker("srtset")) {
            CNoteList srtNotes;
            m_sortOrders.Read(in, srtNotes);
            AppendWrapped(notes, std::move(srtNotes), m_name, fileName);
            continue;
        }
        if (in.ReadBeginMarker("varset")) {
            CNoteList varNotes;
            m_vars.Read(in, varNotes);
            AppendWrapped(notes, std::move(varNotes), m_name, fileName);
            continue;
        }
        FontSpec font = m_font;
        if (in.ReadFont("", font)) {
            SetFont(font);
            continue;
        }
        if (in.ReadString("kbdKeyman", m_keyboard))
            continue;
        if (in.ReadBool("RightToLeft", m_rightToLeft) || in.ReadString("RenDLL", m_renderDll) ||
            in.ReadString("RenTable", m_renderTable) || in.ReadBool("MultiChar", m_multiChar) ||
            in.ReadBool("DBCS", m_dbcs) || in.ReadBool("UTF8", m_utf8))
            continue;
        if (in.ReadMarker('-', "LanguageEncoding"))
            break;
        std::string_view key = in.PeekKey();
        if (key.size() > 1 && key[0] == '+')
            SkipObject(in, "LanguageEncoding");
        else
            in.SkipEntry();
    }
    if (m_sortOrders.IsEmpty())
        m_sortOrders.AddDefaultSortOrder();
    if (!m_keyboard.empty())
        m_set->Keyboards().FindOrAdd(m_keyboard);
    m_fontMetrics = platform().MeasureFont(m_font);
    SetRendering(m_renderDll, m_renderTable);
}

void CLangEnc::Write(ObjectStream& out) const {
    out.WriteBeginMarker("LanguageEncoding", m_name);
    out.WriteString("ver", kSettingsVersion);
    out.WriteString("desc", m_description);
    out.WriteString("case", m_caseText);
    out.WriteNewline();
    m_sortOrders.Write(out);
    out.WriteNewline();
    if (!m_vars.IsEmpty()) {
        m_vars.Write(out);
        out.WriteNewline();
    }
    out.WriteFont("", m_font);
    out.WriteString("kbdKeyman", m_keyboard);
    out.WriteBool("RightToLeft", m_rightToLeft);
    out.WriteString("RenDLL", m_renderDll);
    out.WriteString("RenTable", m_renderTable);
    out.WriteBool("MultiChar", m_multiChar);
    out.WriteBool("DBCS", m_dbcs);
    // Written only when set, so that files of older versions read and write unchanged.
    out.WriteBool("UTF8", m_utf8);
    out.WriteEndMarker("LanguageEncoding");
}

std::string CLangEnc::DefaultSettingsText(std::string_view name) {
    std::string letters, lower, upper, digits;
    for (char c = 'A'; c <= 'Z'; ++c) {
        upper += std::string(upper.empty() ? "" : " ") + c;
        lower += std::string(lower.empty() ? "" : " ") + static_cast<char>(c - 'A' + 'a');
    }
    letters = upper + " " + lower;
    for (char d = '0'; d <= '9'; ++d)
        digits += std::string(digits.empty() ? "" : " ") + d;

    std::ostringstream text;
    ObjectStream out(text);
    out.WriteBeginMarker("LanguageEncoding", name);
    out.WriteString(
        "desc", "Language encoding with default properties\nfor case associations, sort orders, "
                "and variables.");
    out.WriteString("case", LetterPairLines());
    out.WriteBeginMarker("srtset");
    WriteSortOrder(out, name.empty() ? std::string_view("Default") : name, DefaultSortOrderDef());
    out.WriteEndMarker("srtset");
    out.WriteBeginMarker("varset");
    const std::pair<const char*, std::string> vars[] = {
        {"!", ". , ? : ; ! < > { } [ ] ( ) \" ' `"},
        {"@", letters},
        {"D", digits},
        {"L", lower},
        {"U", upper},
        {"cons",
         "B b C c D d F f G g H h J j K k L l M m N n P p Q q R r S s T t V v W w X x Y y Z z"},
        {"nasal", "M m N n"},
        {"vowel", "A a E e I i O o U u"},
    };
    for (const auto& [varName, chars] : vars) {
        out.WriteBeginMarker("var", varName);
        out.WriteString("chars", chars);
        out.WriteEndMarker("var");
    }
    out.WriteEndMarker("varset");
    out.WriteEndMarker("LanguageEncoding");
    return text.str();
}

} // namespace crv
