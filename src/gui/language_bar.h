// The language-encoding bar: a toolbar whose list shows the language of the field at the
// caret and lets the user choose another for it. The window that owns the caret tells it
// the current field's language through SetCurrentField; the choice comes back through
// LanguageChosen.
#pragma once

#include <QToolBar>

class QComboBox;

namespace crv {
class CLangEnc;
class CLangEncSet;
} // namespace crv

namespace crv::gui {

class LanguageBar : public QToolBar {
    Q_OBJECT
public:
    explicit LanguageBar(QWidget* parent = nullptr);

    // The encodings offered (the project's, each in its control font limited to
    // controlHeight pixels); null empties the list.
    void SetLanguages(CLangEncSet* set, int controlHeight);
    // The language of the field at the caret; null when there is no field (the list is
    // then disabled).
    void SetCurrentField(const CLangEnc* lang);
    const CLangEnc* CurrentLanguage() const { return m_current; }
    QComboBox* Combo() const { return m_combo; }

signals:
    // The user chose lang for the field at the caret.
    void LanguageChosen(CLangEnc* lang);

private:
    QComboBox* m_combo;
    CLangEncSet* m_set = nullptr;
    const CLangEnc* m_current = nullptr;
};

} // namespace crv::gui
