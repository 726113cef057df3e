#include "gui/language_bar.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "gui/qt_text.h"
#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"

namespace crv::gui {

LanguageBar::LanguageBar(QWidget* parent) : QToolBar("Language Encoding", parent) {
    setObjectName("languageBar");
    m_combo = new QComboBox(this);
    m_combo->setObjectName("languageCombo");
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_combo->setMinimumContentsLength(12);
    m_combo->setToolTip("Language of the current field");
    m_combo->setStatusTip("Shows the language encoding of the current field; choose another "
                          "to change it");
    addWidget(m_combo);
    connect(m_combo, &QComboBox::activated, this, [this](int i) {
        if (!m_set || i < 0)
            return;
        CLangEnc* chosen = m_set->Find(S(m_combo->itemText(i)));
        if (chosen && chosen != m_current)
            emit LanguageChosen(chosen);
        // Until the field has the new language, the list shows the one it has.
        SetCurrentField(m_current);
    });
    SetCurrentField(nullptr);
}

void LanguageBar::SetLanguages(CLangEncSet* set, int controlHeight) {
    QSignalBlocker block(m_combo);
    m_set = set;
    m_combo->clear();
    if (set) {
        for (const CLangEncProxy& proxy : set->Proxies()) {
            m_combo->addItem(Q(proxy.Name()));
            if (CLangEnc* enc = set->Find(proxy.Name()))
                m_combo->setItemData(m_combo->count() - 1, ToQFont(enc->ControlFont(controlHeight)),
                                     Qt::FontRole);
        }
        m_combo->setFixedHeight(std::max(controlHeight, m_combo->sizeHint().height()));
    }
    SetCurrentField(nullptr);
}

void LanguageBar::SetCurrentField(const CLangEnc* lang) {
    QSignalBlocker block(m_combo);
    m_current = lang;
    int i = lang ? m_combo->findText(Q(lang->Name())) : -1;
    m_combo->setCurrentIndex(i);
    m_combo->setEnabled(lang && i >= 0);
}

} // namespace crv::gui
