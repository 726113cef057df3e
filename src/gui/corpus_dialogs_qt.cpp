#include "gui/corpus_dialogs_qt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/form_rows.h"
#include "gui/qt_text.h"

namespace crv::gui {

namespace {

QComboBox* CorpusCombo(const std::vector<std::string>& names, const std::string& current,
                       QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName("corpus");
    for (const std::string& name : names)
        combo->addItem(Q(name));
    // Nothing chosen before: the first corpus, which is often the only one.
    int at = combo->findText(Q(current));
    combo->setCurrentIndex(at >= 0 ? at : 0);
    return combo;
}

// The output database with a "Browse..." button that opens the save dialog.
QHBoxLayout* OutputRow(QLineEdit* edit, QWidget* parent) {
    return WithBrowse(edit, parent, [edit] {
        if (auto chosen = ChooseOutputFile(S(edit->text())))
            edit->setText(Q(*chosen));
    });
}

// "Unlimited" or a limit: the check box turns the limit on.
QHBoxLayout* LimitRow(QCheckBox* limit, QSpinBox* max, bool on, int value) {
    limit->setChecked(on);
    max->setRange(0, 1000000000);
    max->setValue(value);
    max->setEnabled(on);
    QObject::connect(limit, &QCheckBox::toggled, max, &QSpinBox::setEnabled);
    auto* row = new QHBoxLayout;
    row->addWidget(limit);
    row->addWidget(max);
    row->addStretch();
    return row;
}

} // namespace

// ---------------------------------------------------------------- word list

WordListDialogQt::WordListDialogQt(CWordListDialog& logic, QWidget* parent)
    : QDialog(parent), m_logic(logic) {
    setWindowTitle("Create Word List");
    setObjectName("wordListDialog");
    auto* form = new QFormLayout(this);
    m_corpus = CorpusCombo(logic.CorpusNames(), logic.corpus, this);
    form->addRow("Text &corpus:", m_corpus);
    if (S(m_corpus->currentText()) != logic.corpus)
        m_logic.ChooseCorpus(S(m_corpus->currentText()));
    m_output = new QLineEdit(Q(logic.output), this);
    m_output->setObjectName("output");
    AddRow(form, this, "&Output file:", OutputRow(m_output, this), m_output);
    connect(m_corpus, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        m_logic.ChooseCorpus(S(name));
        m_output->setText(Q(m_logic.output));
    });
    m_counts = new QCheckBox("Include word co&unts", this);
    m_counts->setChecked(logic.counts);
    m_refs = new QCheckBox("Include &references", this);
    m_refs->setChecked(logic.refs);
    form->addRow(m_counts);
    form->addRow(m_refs);
    m_limit = new QCheckBox("&Limit to", this);
    m_max = new QSpinBox(this);
    m_max->setSuffix(" references per word");
    form->addRow("References to display:",
                 LimitRow(m_limit, m_max, logic.limitRefs, logic.maxRefs));
    connect(m_refs, &QCheckBox::toggled, m_limit, &QCheckBox::setEnabled);
    m_limit->setEnabled(logic.refs);
    form->addRow(OkCancelButtons(this));
}

void WordListDialogQt::accept() {
    m_logic.corpus = S(m_corpus->currentText());
    m_logic.output = S(m_output->text().trimmed());
    m_logic.counts = m_counts->isChecked();
    m_logic.refs = m_refs->isChecked();
    m_logic.limitRefs = m_limit->isChecked();
    m_logic.maxRefs = m_max->value();
    if (m_logic.Confirm())
        QDialog::accept();
}

// ---------------------------------------------------------------- concordance

ConcordanceDialogQt::ConcordanceDialogQt(CConcordanceDialog& logic, QWidget* parent)
    : QDialog(parent), m_logic(logic) {
    setWindowTitle("Concordance");
    setObjectName("concordanceDialog");
    auto* form = new QFormLayout(this);
    m_corpus = CorpusCombo(logic.CorpusNames(), logic.corpus, this);
    form->addRow("Text &corpus:", m_corpus);
    m_search = new QLineEdit(Q(logic.search), this);
    m_search->setObjectName("search");
    form->addRow("&Word or phrase:", m_search);
    auto* kinds = new QGroupBox("Match", this);
    auto* kindsRow = new QHBoxLayout(kinds);
    m_kinds = new QButtonGroup(this);
    for (const auto& [kind, name] : CConcordanceDialog::Kinds()) {
        auto* b = new QRadioButton(Q(name), kinds);
        m_kinds->addButton(b, static_cast<int>(kind));
        kindsRow->addWidget(b);
        b->setChecked(kind == logic.kind);
    }
    form->addRow(kinds);
    m_matchCase = new QCheckBox("Match c&ase", this);
    m_matchCase->setChecked(logic.matchCase);
    form->addRow(m_matchCase);
    m_limit = new QCheckBox("&Limit to", this);
    m_max = new QSpinBox(this);
    m_max->setSuffix(" matches");
    form->addRow("Matches to display:",
                 LimitRow(m_limit, m_max, logic.limitMatches, logic.maxMatches));
    m_output = new QLineEdit(Q(logic.output), this);
    m_output->setObjectName("output");
    AddRow(form, this, "&Output file:", OutputRow(m_output, this), m_output);
    form->addRow(OkCancelButtons(this));
    m_search->setFocus();
}

void ConcordanceDialogQt::accept() {
    m_logic.corpus = S(m_corpus->currentText());
    m_logic.search = S(m_search->text());
    m_logic.kind = static_cast<MatchKind>(m_kinds->checkedId());
    m_logic.matchCase = m_matchCase->isChecked();
    m_logic.limitMatches = m_limit->isChecked();
    m_logic.maxMatches = m_max->value();
    m_logic.output = S(m_output->text().trimmed());
    if (m_logic.Confirm())
        QDialog::accept();
}

// ---------------------------------------------------------------- corpus properties

CorpusPropertiesDialogQt::CorpusPropertiesDialogQt(CCorpusPropertiesDialog& logic, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_editor(logic.EditFiles()) {
    setWindowTitle("Text Corpus Properties");
    setObjectName("corpusPropertiesDialog");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_name = new QLineEdit(Q(logic.name), this);
    m_name->setObjectName("name");
    form->addRow("&Name:", m_name);
    m_lang = new QComboBox(this);
    for (const std::string& name : logic.LangEncNames())
        m_lang->addItem(Q(name));
    if (m_lang->findText(Q(logic.props.langEnc)) < 0)
        m_lang->addItem(Q(logic.props.langEnc));
    m_lang->setCurrentText(Q(logic.props.langEnc));
    form->addRow("&Language encoding:", m_lang);
    layout->addLayout(form);

    auto* files = new QGroupBox("Files to Process", this);
    auto* filesLayout = new QHBoxLayout(files);
    m_files = new QListWidget(files);
    m_files->setObjectName("files");
    filesLayout->addWidget(m_files, 1);
    auto* buttons = new QVBoxLayout;
    auto add = [&](const char* text, const char* name, std::function<void()> fn) {
        AddButton(buttons, this, text, name, std::move(fn));
    };
    add("Add &First...", "first", [this] { ChooseAndPlace(0); });
    add("Add La&st...", "last", [this] { ChooseAndPlace(1); });
    add("&Insert...", "insert", [this] { ChooseAndPlace(2); });
    add("&Remove", "remove", [this] {
        m_editor.selected = m_files->currentRow();
        m_editor.Remove();
        ShowFiles();
    });
    add("&Clear", "clear", [this] {
        m_editor.Clear();
        ShowFiles();
    });
    buttons->addStretch();
    filesLayout->addLayout(buttons);
    layout->addWidget(files, 1);

    auto* markers = new QFormLayout;
    m_words = new QLineEdit(Q(logic.props.wordMarkers), this);
    m_book = new QLineEdit(Q(logic.props.bookMarker), this);
    m_chapter = new QLineEdit(Q(logic.props.chapMarker), this);
    m_verse = new QLineEdit(Q(logic.props.verseMarker), this);
    markers->addRow("&Word markers:", m_words);
    markers->addRow("&Book marker (primary reference):", m_book);
    markers->addRow("C&hapter marker (secondary reference):", m_chapter);
    markers->addRow("&Verse marker (tertiary reference):", m_verse);
    layout->addLayout(markers);
    layout->addWidget(OkCancelButtons(this));
    ShowFiles();
    resize(sizeHint().width() * 3 / 2, sizeHint().height());
}

void CorpusPropertiesDialogQt::ShowFiles() {
    m_files->clear();
    for (const std::string& file : m_editor.Files())
        m_files->addItem(Q(file));
    m_files->setCurrentRow(m_editor.selected);
}

void CorpusPropertiesDialogQt::ChooseAndPlace(int where) {
    m_editor.selected = m_files->currentRow();
    if (!m_editor.Choose())
        return;
    if (where == 0)
        m_editor.First();
    else if (where == 1)
        m_editor.Last();
    else
        m_editor.Insert();
    ShowFiles();
}

void CorpusPropertiesDialogQt::accept() {
    m_logic.name = S(m_name->text().trimmed());
    m_logic.props.langEnc = S(m_lang->currentText());
    m_logic.TakeFiles(m_editor);
    m_logic.props.wordMarkers = S(m_words->text());
    m_logic.props.bookMarker = S(m_book->text());
    m_logic.props.chapMarker = S(m_chapter->text());
    m_logic.props.verseMarker = S(m_verse->text());
    // The checks are the list's: a refusal brings the form back with these entries.
    QDialog::accept();
}

// ---------------------------------------------------------------- corpus list

CorpusListDialogQt::CorpusListDialogQt(CCorpusSet& set, std::vector<std::string> langEncNames,
                                       QWidget* parent)
    : QDialog(parent),
      m_logic(set, std::move(langEncNames), [this](CCorpusPropertiesDialog& props) {
          CorpusPropertiesDialogQt form(props, this);
          return form.exec() == QDialog::Accepted;
      }) {
    setWindowTitle("Text Corpora");
    setObjectName("corpusListDialog");
    auto* layout = new QHBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName("corpora");
    layout->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    auto add = [&](const char* text, const char* name, std::function<void()> fn) {
        AddButton(buttons, this, text, name, std::move(fn));
    };
    add("&Add...", "add", [this] {
        if (CCorpus* c = m_logic.Add())
            Fill(c->Name());
    });
    add("&Copy...", "copy", [this] {
        if (CCorpus* c = m_logic.Copy(Current()))
            Fill(c->Name());
    });
    add("&Modify...", "modify", [this] {
        int row = m_list->currentRow();
        if (m_logic.Modify(Current())) {
            Fill({});
            m_list->setCurrentRow(row);
        }
    });
    add("&Delete", "delete", [this] {
        if (m_logic.Delete(Current()))
            Fill({});
    });
    buttons->addStretch();
    auto* close = new QPushButton("Close", this);
    close->setObjectName("close");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this] { findChild<QPushButton*>("modify")->click(); });
    Fill({});
}

std::string CorpusListDialogQt::Current() const {
    QListWidgetItem* item = m_list->currentItem();
    return item ? S(item->text()) : std::string();
}

void CorpusListDialogQt::Fill(const std::string& select) {
    m_list->clear();
    for (const std::string& name : m_logic.Names())
        m_list->addItem(Q(name));
    QList<QListWidgetItem*> found = m_list->findItems(Q(select), Qt::MatchExactly);
    m_list->setCurrentItem(found.isEmpty() ? m_list->item(0) : found.first());
}

} // namespace crv::gui
