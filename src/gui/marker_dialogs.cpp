#include "gui/marker_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/crv_doc.h"
#include "app/doc_manager.h"
#include "base/message_text.h"
#include "gui/form_rows.h"
#include "gui/qt_text.h"
#include "record/record.h"
#include "schema/database_type.h"
#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"
#include "schema/marker_edit.h"
#include "schema/range_set_check.h"
#include "schema/range_set_dialog.h"

namespace crv::gui {

namespace {

constexpr const char* kNone = "[none]";

FontSpec FromQFont(const QFont& font) {
    FontSpec spec;
    spec.face = S(font.family());
    int px = font.pixelSize() > 0 ? font.pixelSize() : (font.pointSize() * 4 + 2) / 3;
    spec.height = -std::max(1, px);
    spec.weight = font.bold() ? 700 : 400;
    spec.italic = font.italic();
    spec.underline = font.underline();
    spec.strikeOut = font.strikeOut();
    return spec;
}

QString FontText(const CMarkerProperties& p) {
    if (p.useLangEncFont)
        return "The language encoding's font";
    return Q(p.font.face) + QString(", %1 px").arg(std::abs(p.font.height)) +
           (p.font.weight >= 600 ? ", bold" : "") + (p.font.italic ? ", italic" : "");
}

// Selects a span of bytes of text shown in edit (the text is UTF-8 there).
void SelectSpan(QPlainTextEdit* edit, const std::string& text, TextSpan span) {
    QTextCursor c = edit->textCursor();
    int start = static_cast<int>(Q(std::string_view(text).substr(0, span.offset)).size());
    int length =
        static_cast<int>(Q(std::string_view(text).substr(span.offset, span.length)).size());
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    edit->setFocus();
}

} // namespace

QString SettingsText(std::string_view bytes) { return FieldText(bytes); }

bool SettingsBytes(const QString& typed, std::string_view like, std::string& out) {
    std::string message;
    if (TypedBytes(typed, like, false, out, message))
        return true;
    platform().ShowMessage(message);
    return false;
}

// ---------------------------------------------------------------- marker properties

MarkerPropertiesDialog::MarkerPropertiesDialog(CMarkerSet& set, CMarker* marker,
                                               const std::string& name, CDocManager* docs,
                                               QWidget* parent)
    : QDialog(parent), m_set(set), m_marker(marker), m_docs(docs) {
    setObjectName("markerProperties");
    if (marker) {
        m_props = marker->Properties();
    } else {
        m_props.name = name;
        m_props.parent = set.RecordMarker();
    }
    setWindowTitle(marker ? Q("Marker Properties - \\" + marker->Name()) : "New Marker");
    auto* form = new QFormLayout;
    m_name = new QLineEdit(SettingsText(m_props.name), this);
    m_name->setObjectName("markerName");
    AddRow(form, this, "&Marker:", m_name);
    m_fieldName = new QLineEdit(SettingsText(m_props.fieldName), this);
    m_fieldName->setObjectName("markerFieldName");
    AddRow(form, this, "&Field Name:", m_fieldName);
    m_description = new QPlainTextEdit(SettingsText(m_props.description), this);
    m_description->setObjectName("markerDescription");
    m_description->setTabChangesFocus(true);
    m_description->setFixedHeight(m_description->fontMetrics().lineSpacing() * 3 + 12);
    AddRow(form, this, "&Description:", m_description);

    m_langEnc = new QComboBox(this);
    m_langEnc->setObjectName("markerLangEnc");
    if (CLangEncSet* encs = set.LangEncSet())
        for (const auto& proxy : encs->Proxies())
            m_langEnc->addItem(Q(proxy.Name()));
    CLangEnc* lang = m_props.langEnc ? m_props.langEnc : set.DefaultLangEnc();
    if (lang)
        m_langEnc->setCurrentText(Q(lang->Name()));
    AddRow(form, this, "&Language Encoding:", m_langEnc);

    m_parent = new QComboBox(this);
    m_parent->setObjectName("markerParent");
    if (marker && marker == set.RecordMarker()) {
        m_parent->addItem("[record marker]");
        m_parent->setEnabled(false);
    } else {
        for (CMarker* m : set.ParentChoices(marker))
            m_parent->addItem(Q(m->Name()));
        if (m_props.parent)
            m_parent->setCurrentText(Q(m_props.parent->Name()));
    }
    AddRow(form, this, "Marker &under:", m_parent);
    m_following = new QComboBox(this);
    m_following->setObjectName("markerFollowing");
    m_following->addItem(kNone);
    for (const CMarker& m : set)
        if (&m != set.RecordMarker())
            m_following->addItem(Q(m.Name()));
    if (m_props.following)
        m_following->setCurrentText(Q(m_props.following->Name()));
    AddRow(form, this, "F&ollowing field:", m_following);

    // The font: the encoding's, or one of the marker's own.
    m_useLangFont = new QCheckBox("Use the language encoding's &font", this);
    m_useLangFont->setObjectName("markerUseLangFont");
    m_useLangFont->setChecked(m_props.useLangEncFont);
    m_fontText = new QLineEdit(FontText(m_props), this);
    m_fontText->setReadOnly(true);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(m_fontText, 1);
    auto* chooseFont = new QPushButton("C&hoose Font...", this);
    chooseFont->setObjectName("markerChooseFont");
    chooseFont->setAutoDefault(false);
    fontRow->addWidget(chooseFont);
    connect(chooseFont, &QPushButton::clicked, this, [this] {
        bool ok = false;
        QFont start =
            ToQFont(m_props.useLangEncFont && m_props.langEnc ? FontSpec{} : m_props.font);
        QFont font = QFontDialog::getFont(&ok, start, this, "Marker Font");
        if (!ok)
            return;
        static_cast<FontSpec&>(m_props.font) = FromQFont(font);
        m_props.useLangEncFont = false;
        m_useLangFont->setChecked(false);
        m_fontText->setText(FontText(m_props));
    });
    connect(m_useLangFont, &QCheckBox::toggled, this, [this](bool on) {
        m_props.useLangEncFont = on;
        m_fontText->setText(FontText(m_props));
    });
    form->addRow(m_useLangFont);
    form->addRow("Font:", fontRow);

    m_rangeSet = new QLineEdit(this);
    m_rangeSet->setObjectName("markerRangeSet");
    m_rangeSet->setReadOnly(true);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(m_rangeSet, 1);
    auto* rangeButton = new QPushButton("&Range Set...", this);
    rangeButton->setObjectName("markerRangeSetButton");
    rangeButton->setAutoDefault(false);
    rangeRow->addWidget(rangeButton);
    connect(rangeButton, &QPushButton::clicked, this, &MarkerPropertiesDialog::EditRangeSet);
    form->addRow("Range set:", rangeRow);
    ShowRangeSet();

    auto* flags = new QGroupBox("Options", this);
    auto* flagRows = new QVBoxLayout(flags);
    m_noWrap = new QCheckBox("&No word wrap", flags);
    m_noWrap->setObjectName("markerNoWrap");
    m_noWrap->setChecked(m_props.noWordWrap);
    m_charStyle = new QCheckBox("&Character style (in exported documents)", flags);
    m_charStyle->setObjectName("markerCharStyle");
    m_charStyle->setChecked(m_props.charStyle);
    m_hidden = new QCheckBox("Hi&dden in the record window", flags);
    m_hidden->setObjectName("markerHidden");
    m_hidden->setChecked(m_props.hidden);
    // Set by the type's interlinear processes, not here.
    auto* interlinear =
        new QCheckBox("&Interlinear line (set by the interlinear processes)", flags);
    interlinear->setObjectName("markerInterlinear");
    interlinear->setChecked(marker && (marker->InterlinearFlags() & CMarker::kInterlinearLine));
    interlinear->setEnabled(false);
    for (QCheckBox* b : {m_noWrap, m_charStyle, m_hidden, interlinear})
        flagRows->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(flags);
    layout->addWidget(OkCancelButtons(this));
    setMinimumWidth(480);
}

void MarkerPropertiesDialog::ShowRangeSet() {
    QString text = SettingsText(m_props.rangeSetText).trimmed();
    if (text.isEmpty())
        text = "(none: any text)";
    else if (m_props.rangeSetCharacters)
        text = "Characters: " + text;
    m_rangeSet->setText(text);
}

void MarkerPropertiesDialog::EditRangeSet() {
    std::string title = m_marker ? RangeSetDialogTitle(*m_marker)
                                 : FormatMessage("&Range Set for \\%1  %2",
                                                 {S(m_name->text()), S(m_fieldName->text())});
    RangeSetDialog dialog(title, m_marker, m_props, m_docs, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.Store(m_props);
    ShowRangeSet();
}

std::optional<CMarkerProperties> MarkerPropertiesDialog::Collected() const {
    CMarkerProperties p = m_props;
    CMarkerSet& set = m_set;
    if (!SettingsBytes(m_name->text().trimmed(), m_props.name, p.name) ||
        !SettingsBytes(m_fieldName->text().trimmed(), m_props.fieldName, p.fieldName) ||
        !SettingsBytes(m_description->toPlainText(), m_props.description, p.description))
        return std::nullopt;
    if (CLangEncSet* encs = set.LangEncSet())
        p.langEnc = encs->Find(S(m_langEnc->currentText()));
    if (m_parent->isEnabled())
        p.parent = set.Search(S(m_parent->currentText()));
    p.following =
        m_following->currentIndex() <= 0 ? nullptr : set.Search(S(m_following->currentText()));
    p.noWordWrap = m_noWrap->isChecked();
    p.charStyle = m_charStyle->isChecked();
    p.hidden = m_hidden->isChecked();
    return p;
}

void MarkerPropertiesDialog::accept() {
    std::optional<CMarkerProperties> collected = Collected();
    if (!collected)
        return;
    CMarkerProperties& props = *collected;
    CMarkerSet& set = m_set;
    if (!m_marker) {
        CNote error;
        m_result = set.Add(props, error);
        if (!m_result) {
            platform().ShowMessage(error.Text());
            m_name->setFocus();
            m_name->selectAll();
            return;
        }
        QDialog::accept();
        return;
    }
    std::string oldName = m_marker->Name();
    MarkerDialogResult r = ApplyMarkerDialog(set, m_marker, props);
    switch (r.outcome) {
    case MarkerDialogOutcome::Applied:
        m_result = m_marker;
        QDialog::accept();
        break;
    case MarkerDialogOutcome::Merged:
        m_result = set.Search(props.name);
        QDialog::accept();
        break;
    case MarkerDialogOutcome::NameRestored:
        m_name->setText(SettingsText(oldName));
        m_name->setFocus();
        m_name->selectAll();
        break;
    case MarkerDialogOutcome::Cancelled:
        QDialog::reject();
        break;
    case MarkerDialogOutcome::Refused:
        platform().ShowMessage(r.error.Text());
        break;
    }
}

// ---------------------------------------------------------------- range set

RangeSetDialog::RangeSetDialog(const std::string& title, const CMarker* marker,
                               const CMarkerProperties& props, CDocManager* docs, QWidget* parent)
    : QDialog(parent), m_marker(marker), m_docs(marker ? docs : nullptr),
      m_wasCharacters(props.rangeSetCharacters), m_like(props.rangeSetText) {
    setObjectName("rangeSetDialog");
    setWindowTitle(Q(title).remove('&'));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(Q(title), this);
    m_text = new QPlainTextEdit(SettingsText(props.rangeSetText), this);
    m_text->setObjectName("rangeSetText");
    m_text->setTabChangesFocus(true);
    label->setBuddy(m_text);
    layout->addWidget(label);
    layout->addWidget(m_text, 1);
    auto* kind = new QHBoxLayout;
    m_words = new QRadioButton("Whole &words", this);
    m_characters = new QRadioButton("C&haracters", this);
    m_characters->setObjectName("rangeSetCharacters");
    (props.rangeSetCharacters ? m_characters : m_words)->setChecked(true);
    kind->addWidget(m_words);
    kind->addWidget(m_characters);
    kind->addStretch();
    layout->addLayout(kind);
    connect(m_characters, &QRadioButton::toggled, this, &RangeSetDialog::ModeSwitched);
    m_allowSpaces = new QCheckBox("Allow &spaces and multiple lines in the field", this);
    m_allowSpaces->setObjectName("rangeSetAllowSpaces");
    m_allowSpaces->setChecked(props.rangeSetAllowsSpaces);
    layout->addWidget(m_allowSpaces);
    auto* build = new QPushButton("&Build range set from the data", this);
    build->setObjectName("rangeSetBuild");
    build->setAutoDefault(false);
    build->setEnabled(m_docs != nullptr);
    connect(build, &QPushButton::clicked, this, &RangeSetDialog::BuildFromData);
    layout->addWidget(build, 0, Qt::AlignLeft);
    layout->addWidget(OkCancelButtons(this));
    resize(460, 300);
}

bool RangeSetDialog::Characters() const { return m_characters->isChecked(); }

void RangeSetDialog::ModeSwitched() {
    if (Characters() == m_wasCharacters)
        return;
    m_wasCharacters = Characters();
    if (AskDeleteRangeSetOnModeSwitch(TextBytes()))
        m_text->clear();
}

void RangeSetDialog::BuildFromData() {
    if (!m_docs || !m_marker)
        return;
    std::string text;
    if (!SettingsBytes(m_text->toPlainText(), m_like, text))
        return;
    CRangeSet set;
    set.Parse(text);
    std::vector<const CRecordList*> lists;
    for (CCrvDoc* doc : m_docs->Documents())
        if (doc->IsOpen() && &doc->Type().MarkerSet() == m_marker->Owner())
            lists.push_back(&doc->Records().Records());
    BuildRangeSetFromData(*m_marker, set, Characters(), lists);
    m_like = set.Text();
    m_text->setPlainText(SettingsText(m_like));
}

std::string RangeSetDialog::TextBytes() const {
    std::string text, message;
    TypedBytes(m_text->toPlainText(), m_like, false, text, message);
    return text;
}

void RangeSetDialog::accept() {
    std::string text;
    if (!SettingsBytes(m_text->toPlainText(), m_like, text))
        return;
    if (auto bad = ValidateRangeSetText(text, Characters())) {
        SelectSpan(m_text, text, *bad);
        return;
    }
    QDialog::accept();
}

void RangeSetDialog::Store(CMarkerProperties& props) const {
    // The stored text form: the elements in order, as the set keeps them.
    CRangeSet set;
    set.Parse(TextBytes());
    props.rangeSetText = set.Text();
    props.rangeSetCharacters = Characters();
    props.rangeSetAllowsSpaces = m_allowSpaces->isChecked();
}

// ---------------------------------------------------------------- marker list page

MarkerListPage::MarkerListPage(CDatabaseType& type, CDocManager* docs,
                               std::function<void()> changed, QWidget* parent)
    : QWidget(parent), m_type(type), m_docs(docs), m_changed(std::move(changed)) {
    auto* layout = new QHBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName("typeMarkers");
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Modify(); });
    layout->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    AddButton(buttons, this, "&Add...", "markerAdd", [this] { Add(); });
    AddButton(buttons, this, "&Modify...", "markerModify", [this] { Modify(); });
    buttons->addStretch();
    layout->addLayout(buttons);
    Refill(type.RecordMarker());
}

void MarkerListPage::Refill(const CMarker* select) {
    m_list->clear();
    for (const CMarker& m : m_type.MarkerSet()) {
        auto* item = new QListWidgetItem(Q(m.ListLabel(true, true, true)), m_list);
        item->setData(Qt::UserRole, Q(m.Name()));
        if (&m == select)
            m_list->setCurrentItem(item);
    }
    if (!m_list->currentItem() && m_list->count() > 0)
        m_list->setCurrentRow(0);
}

void MarkerListPage::Add() {
    MarkerPropertiesDialog dialog(m_type.MarkerSet(), nullptr, {}, m_docs, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Refill(dialog.Result());
    m_changed();
}

void MarkerListPage::Modify() {
    QListWidgetItem* item = m_list->currentItem();
    CMarker* marker =
        item ? m_type.MarkerSet().Search(S(item->data(Qt::UserRole).toString())) : nullptr;
    if (!marker)
        return;
    MarkerPropertiesDialog dialog(m_type.MarkerSet(), marker, {}, m_docs, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Refill(dialog.Result());
    m_changed();
}

} // namespace crv::gui
