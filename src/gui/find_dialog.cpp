#include "gui/find_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/crv_doc.h"
#include "app/record_view.h"
#include "base/platform.h"
#include "gui/browse_model.h"
#include "gui/key_search_dialogs.h"
#include "gui/qt_text.h"
#include "record/record.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv::gui {

namespace {

// The marker of the field at the view's caret.
const CMarker* CaretMarker(const CRecordView& view) {
    const CRecord* record = view.Record();
    if (!record)
        return nullptr;
    int n = 0;
    for (const CField& f : *record)
        if (n++ == view.Caret().field)
            return f.Marker();
    return nullptr;
}

} // namespace

FindDialog::FindDialog(CRecordView& view, CFindSettings& settings, bool replace, QWidget* parent)
    : QDialog(parent), m_view(view), m_settings(settings) {
    setWindowTitle(replace ? "Replace" : "Find");
    setObjectName(replace ? "replaceDialog" : "findDialog");
    const CMarker* caretMarker = CaretMarker(view);

    m_text = new QComboBox(this);
    m_text->setEditable(true);
    m_text->setInsertPolicy(QComboBox::NoInsert);
    m_text->setMinimumContentsLength(30);
    for (const CFindHistoryEntry& e : settings.history)
        m_text->addItem(FieldText(e.text), Q(e.lang));
    if (view.HasSelection()) {
        // A selection inside one line is what the user most likely wants to find.
        auto [a, b] = view.Selection();
        std::string selected = view.SelectedText();
        if (a.field == b.field && selected.find('\n') == std::string::npos)
            m_text->setEditText(FieldText(selected, MarkerIsUtf8(caretMarker)));
    }

    m_field = new QComboBox(this);
    m_lang = new QComboBox(this);
    std::vector<std::string> langs;
    for (const CMarker& m : view.Document().Records().Markers()) {
        m_field->addItem(Q("\\" + m.Name()));
        if (CLangEnc* enc = m.LangEnc();
            enc && std::find(langs.begin(), langs.end(), enc->Name()) == langs.end())
            langs.push_back(enc->Name());
    }
    std::sort(langs.begin(), langs.end());
    for (const std::string& l : langs)
        m_lang->addItem(Q(l));
    if (!settings.field.empty())
        m_field->setCurrentText(Q("\\" + settings.field));
    else if (caretMarker)
        m_field->setCurrentText(Q("\\" + caretMarker->Name()));
    std::string lang = !settings.Lang().empty()                ? settings.Lang()
                       : caretMarker && caretMarker->LangEnc() ? caretMarker->LangEnc()->Name()
                                                               : std::string();
    m_lang->setCurrentText(Q(lang));
    connect(m_text, &QComboBox::activated, this, [this](int i) {
        QString l = m_text->itemData(i).toString();
        if (!l.isEmpty())
            m_lang->setCurrentText(l);
    });

    auto* findIn = new QGroupBox("Find In", this);
    m_inField = new QRadioButton("&Field:", findIn);
    m_inLang = new QRadioButton("All fields of &language:", findIn);
    (settings.singleField ? m_inField : m_inLang)->setChecked(true);
    auto* which = new QButtonGroup(this);
    which->addButton(m_inField);
    which->addButton(m_inLang);
    auto* inGrid = new QGridLayout(findIn);
    inGrid->addWidget(m_inField, 0, 0);
    inGrid->addWidget(m_field, 0, 1);
    inGrid->addWidget(m_inLang, 1, 0);
    inGrid->addWidget(m_lang, 1, 1);
    m_record = new QRadioButton("Current record &only", findIn);
    m_database = new QRadioButton("Whole (filtered) &database", findIn);
    (settings.singleRecord ? m_record : m_database)->setChecked(true);
    auto* scope = new QButtonGroup(this);
    scope->addButton(m_record);
    scope->addButton(m_database);
    auto* rule = new QFrame(findIn);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    inGrid->addWidget(rule, 2, 0, 1, 2);
    inGrid->addWidget(m_record, 3, 0, 1, 2);
    inGrid->addWidget(m_database, 4, 0, 1, 2);

    m_whole = new QCheckBox("Match &whole word", this);
    m_whole->setChecked(settings.matchWhole);
    QGroupBox* match = MatchLevelBox(this, settings.mask, m_levels);

    auto* form = new QFormLayout;
    form->addRow("&Text to Find:", m_text);
    if (replace) {
        m_replace = new QComboBox(this);
        m_replace->setEditable(true);
        m_replace->setEditText(FieldText(settings.replace));
        form->addRow("Replace &with:", m_replace);
    }

    // Find Next first: it is what Enter does.
    auto* buttons = new QVBoxLayout;
    auto* find = new QPushButton("&Find Next", this);
    find->setDefault(true);
    buttons->addWidget(find);
    connect(find, &QPushButton::clicked, this, &FindDialog::FindNext);
    if (replace) {
        auto* one = new QPushButton("&Replace", this);
        auto* all = new QPushButton("Replace &All", this);
        buttons->addWidget(one);
        buttons->addWidget(all);
        connect(one, &QPushButton::clicked, this, &FindDialog::Replace);
        connect(all, &QPushButton::clicked, this, &FindDialog::ReplaceAll);
    }
    auto* cancel = new QPushButton("Cancel", this);
    buttons->addWidget(cancel);
    buttons->addStretch();
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(findIn);
    left->addWidget(m_whole);
    left->addWidget(match);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
}

bool FindDialog::Store(std::string& text, std::string& lang) {
    QString typed = m_text->currentText();
    if (typed.isEmpty()) {
        platform().Beep();
        return false;
    }
    if (typed.contains('\n')) {
        platform().ShowMessage("The text to find must be on one line.");
        return false;
    }
    std::string message;
    if (!TypedBytes(typed, {}, true, text, message)) {
        platform().ShowMessage(message);
        return false;
    }
    lang = S(m_lang->currentText());
    m_settings.singleField = m_inField->isChecked();
    m_settings.field = S(m_field->currentText().mid(1));
    m_settings.singleRecord = m_record->isChecked();
    m_settings.matchWhole = m_whole->isChecked();
    m_settings.mask = m_levels->checkedId();
    if (m_replace) {
        std::string replacement;
        if (!TypedBytes(m_replace->currentText(), {}, true, replacement, message)) {
            platform().ShowMessage(message);
            return false;
        }
        m_settings.replace = std::move(replacement);
    }
    return true;
}

void FindDialog::FindNext() {
    std::string text, lang;
    if (!Store(text, lang))
        return;
    bool found = m_view.Find(std::move(text), std::move(lang));
    // Find closes on a hit; Replace stays open for the next step.
    if (found && !m_replace)
        accept();
}

void FindDialog::Replace() {
    std::string text, lang;
    if (!Store(text, lang))
        return;
    m_settings.AddToHistory(std::move(text), std::move(lang));
    m_view.ReplaceNext();
}

void FindDialog::ReplaceAll() {
    std::string text, lang;
    if (!Store(text, lang))
        return;
    m_settings.AddToHistory(std::move(text), std::move(lang));
    m_view.ReplaceAllCommand();
    accept();
}

} // namespace crv::gui
