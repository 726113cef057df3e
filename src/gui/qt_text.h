// Between the engine's bytes and Qt's text: field bytes shown by the display rule of
// app/display_text.h, texts of the program (UTF-8) as QString, and a settings font as a
// QFont.
#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <string_view>

#include "base/platform.h"

namespace crv::gui {

// A text of the program (messages, labels, paths): UTF-8.
inline QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string S(const QString& text) { return text.toUtf8().toStdString(); }

// The bytes of a field or key, shown as its language says (langUtf8: the encoding is
// marked UTF-8).
QString FieldText(std::string_view bytes, bool langUtf8 = false);

// Typed text back to bytes in the encoding shown for like (the field's present bytes);
// false with the refusal message in message when a character cannot be written.
bool TypedBytes(const QString& typed, std::string_view like, bool langUtf8, std::string& out,
                std::string& message);

// "Name (*.a;*.b)|*.a;*.b|All files (*.*)|*.*||" as Qt's "Name (*.a *.b);;All files (*)".
QString QtFileFilter(std::string_view filter);

// A settings font as a QFont: its face (the system's nearest where it is missing), its
// pixel height (a negative height is the character height, as a logical font holds
// it), weight and style.
QFont ToQFont(const FontSpec& spec);

} // namespace crv::gui
