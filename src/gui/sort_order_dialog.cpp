#include "gui/sort_order_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "base/platform.h"
#include "gui/form_rows.h"
#include "gui/qt_text.h"
#include "schema/lang_enc.h"
#include "schema/lang_enc_edit.h"

namespace crv::gui {

QString ShownBytes(const std::string& bytes, const CLangEnc& enc) {
    return FieldText(bytes, enc.Utf8());
}

bool TypedSettingsBytes(const QString& typed, const std::string& like, const CLangEnc& enc,
                        std::string& out) {
    std::string message;
    if (TypedBytes(typed, like, enc.Utf8(), out, message))
        return true;
    platform().ShowMessage(message);
    return false;
}

namespace {

QPlainTextEdit* TextBox(QWidget* parent, const QFont& font, int lines) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setFont(font);
    edit->setTabChangesFocus(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFontMetrics fm(font);
    edit->setMinimumHeight(fm.lineSpacing() * lines + 12);
    return edit;
}

QLabel* Buddy(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

SortOrderDialog::SortOrderDialog(const CLangEnc& enc, const std::string& name,
                                 const CSortOrderDef& def, bool nameEditable, Apply apply,
                                 QWidget* parent)
    : QDialog(parent), m_enc(&enc), m_start(def), m_apply(std::move(apply)) {
    setWindowTitle("Sort Order Properties");
    QFont font = ToQFont(enc.Font());
    auto* grid = new QGridLayout(this);

    m_name = new QLineEdit(Q(name), this);
    m_name->setReadOnly(!nameEditable);
    m_description = TextBox(this, QFont(), 1);
    m_description->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_description->setPlainText(Q(def.description));
    m_primary = TextBox(this, font, 6);
    m_primary->setPlainText(ShownBytes(def.primary, enc));
    m_before = TextBox(this, font, 1);
    m_before->setPlainText(ShownBytes(def.secPreceding, enc));
    m_after = TextBox(this, font, 1);
    m_after->setPlainText(ShownBytes(def.secFollowing, enc));
    m_followBase =
        new QCheckBox("Secondary characters &follow their corresponding primaries", this);
    m_followBase->setChecked(def.secAfterBase);
    m_ignore = TextBox(this, font, 1);
    m_ignore->setPlainText(ShownBytes(def.ignore, enc));
    m_changeTable = new QLineEdit(Q(def.changeTable), this);
    m_keyLibrary = new QLineEdit(Q(def.keyLibrary), this);
    m_binary = new QCheckBox("Binar&y: compare the text byte by byte", this);
    m_binary->setChecked(def.binary);

    int row = 0;
    grid->addWidget(Buddy("&Name:", m_name, this), row, 0);
    grid->addWidget(m_name, row++, 1);
    grid->addWidget(Buddy("&Description:", m_description, this), row, 0, Qt::AlignTop);
    grid->addWidget(m_description, row++, 1);
    grid->addWidget(Buddy("&Primary characters (one group per line):", m_primary, this), row++, 0,
                    1, 2);
    grid->addWidget(m_primary, row++, 0, 1, 2);
    grid->addWidget(
        Buddy("Secondary characters ordered &before unmarked primaries:", m_before, this), row++, 0,
        1, 2);
    grid->addWidget(m_before, row++, 0, 1, 2);
    grid->addWidget(Buddy("Secondary characters ordered &after unmarked primaries:", m_after, this),
                    row++, 0, 1, 2);
    grid->addWidget(m_after, row++, 0, 1, 2);
    grid->addWidget(m_followBase, row++, 0, 1, 2);
    grid->addWidget(Buddy("&Ignore characters:", m_ignore, this), row++, 0, 1, 2);
    grid->addWidget(m_ignore, row++, 0, 1, 2);
    grid->addWidget(new QLabel("Note: characters are separated by spaces.", this), row++, 0, 1, 2);
    grid->addWidget(Buddy("C&hange table:", m_changeTable, this), row, 0);
    grid->addWidget(m_changeTable, row++, 1);
    grid->addWidget(Buddy("Key &library:", m_keyLibrary, this), row, 0);
    grid->addWidget(m_keyLibrary, row++, 1);
    grid->addWidget(m_binary, row++, 0, 1, 2);

    // The preview beside the texts: typed lines left, the same lines sorted right.
    auto* preview = new QGroupBox("Preview", this);
    auto* pv = new QGridLayout(preview);
    m_lines = TextBox(preview, font, 6);
    m_lines->setObjectName("previewLines");
    m_sorted = TextBox(preview, font, 6);
    m_sorted->setObjectName("previewSorted");
    m_sorted->setReadOnly(true);
    m_sorted->setTabChangesFocus(true);
    m_problem = new QLabel(preview);
    m_problem->setWordWrap(true);
    pv->addWidget(Buddy("&Type lines to sort:", m_lines, preview), 0, 0);
    pv->addWidget(new QLabel("Sorted by this order:", preview), 0, 1);
    pv->addWidget(m_lines, 1, 0);
    pv->addWidget(m_sorted, 1, 1);
    pv->addWidget(m_problem, 2, 0, 1, 2);
    pv->setRowStretch(1, 1);
    grid->addWidget(preview, 0, 2, row, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    auto* box = OkCancelButtons(this);
    grid->addWidget(box, row, 0, 1, 3);

    for (QPlainTextEdit* e : {m_primary, m_before, m_after, m_ignore, m_lines})
        connect(e, &QPlainTextEdit::textChanged, this, &SortOrderDialog::UpdatePreview);
    for (QCheckBox* c : {m_followBase, m_binary})
        connect(c, &QCheckBox::toggled, this, &SortOrderDialog::UpdatePreview);
    for (QLineEdit* e : {m_changeTable, m_keyLibrary})
        connect(e, &QLineEdit::editingFinished, this, &SortOrderDialog::UpdatePreview);
    (nameEditable ? static_cast<QWidget*>(m_name) : m_primary)->setFocus();
}

bool SortOrderDialog::Definition(CSortOrderDef& def, bool quiet) const {
    def = m_start; // keeps what the order held that the dialog does not show
    def.description = S(m_description->toPlainText());
    auto take = [&](QPlainTextEdit* e, const std::string& like, std::string& out) {
        if (quiet) {
            std::string message;
            return TypedBytes(e->toPlainText(), like, m_enc->Utf8(), out, message);
        }
        return TypedSettingsBytes(e->toPlainText(), like, *m_enc, out);
    };
    if (!take(m_primary, m_start.primary, def.primary) ||
        !take(m_before, m_start.secPreceding, def.secPreceding) ||
        !take(m_after, m_start.secFollowing, def.secFollowing) ||
        !take(m_ignore, m_start.ignore, def.ignore))
        return false;
    def.secAfterBase = m_followBase->isChecked();
    def.changeTable = S(m_changeTable->text().trimmed());
    def.keyLibrary = S(m_keyLibrary->text().trimmed());
    def.binary = m_binary->isChecked();
    return true;
}

void SortOrderDialog::UpdatePreview() {
    CSortOrderDef def;
    if (!Definition(def, true)) {
        m_problem->setText("A character cannot be written in this language encoding.");
        return;
    }
    // The preview's own lines are text of the language too.
    std::vector<std::string> lines;
    std::string bytes, message;
    if (!TypedBytes(m_lines->toPlainText(), {}, m_enc->Utf8(), bytes, message)) {
        m_problem->setText(Q(message));
        return;
    }
    std::size_t start = 0;
    while (start <= bytes.size() && !bytes.empty()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        if (end > start)
            lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    CNote error;
    if (!PreviewSort(*m_enc, def, lines, error)) {
        m_problem->setText(Q(error.Text()));
        return;
    }
    m_problem->clear();
    QStringList shown;
    for (const std::string& line : lines)
        shown << ShownBytes(line, *m_enc);
    m_sorted->setPlainText(shown.join('\n'));
}

void SortOrderDialog::accept() {
    CSortOrderDef def;
    if (!Definition(def, false))
        return;
    CNote error;
    if (!m_apply(S(m_name->text()), def, error)) {
        platform().ShowMessage(error.Text());
        return;
    }
    QDialog::accept();
}

bool EditSortOrderOf(CLangEnc& enc, const std::string& name, QWidget* parent) {
    // Through a working copy, as the encoding's sheet does: nothing changes before OK.
    CLangEncEdit edit(enc);
    CSortOrder* so = edit.Working().SortOrders().Search(name);
    if (!so)
        return false;
    SortOrderDialog dialog(
        edit.Working(), name, so->Definition(), false,
        [so](const std::string&, const CSortOrderDef& def, CNote& error) {
            return so->Modify(def, error);
        },
        parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    edit.Apply();
    return true;
}

} // namespace crv::gui
