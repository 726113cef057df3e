#include "gui/qt_text.h"

#include <QStringList>
#include <cstdlib>

#include "app/display_text.h"

namespace crv::gui {

QString FieldText(std::string_view bytes, bool langUtf8) { return Q(DisplayUtf8(bytes, langUtf8)); }

bool TypedBytes(const QString& typed, std::string_view like, bool langUtf8, std::string& out,
                std::string& message) {
    ByteEncoding enc = DisplayEncoding(like, langUtf8);
    std::string refused;
    auto bytes = EncodeTypedText(S(typed), enc, &refused);
    if (!bytes) {
        message = RefusedCharacterText(refused, enc);
        return false;
    }
    out = std::move(*bytes);
    return true;
}

QString QtFileFilter(std::string_view filter) {
    QStringList parts = Q(filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        QString name = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        patterns.replace("*.*", "*");
        // The name shows the patterns in brackets, which Qt reads as the patterns.
        int open = name.indexOf('(');
        if (open >= 0)
            name = name.left(open).trimmed();
        out << QString("%1 (%2)").arg(name, patterns);
    }
    return out.join(";;");
}

QFont ToQFont(const FontSpec& spec) {
    QFont font;
    if (!spec.face.empty())
        font.setFamilies({Q(spec.face)});
    // Faces of the other system that most settings name, with free look-alikes.
    if (spec.face == "MS Sans Serif" || spec.face == "Arial" || spec.face == "Tahoma")
        font.setStyleHint(QFont::SansSerif);
    else if (spec.face == "Courier New")
        font.setStyleHint(QFont::Monospace);
    else
        font.setStyleHint(QFont::Serif);
    int px = std::abs(spec.height);
    if (px == 0)
        px = 16;
    if (spec.height < 0)
        font.setPixelSize(px);
    else
        font.setPixelSize(std::max(1, px * 3 / 4)); // a cell height: about 3/4 is the character
    font.setWeight(spec.weight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

} // namespace crv::gui
