#include "gui/export_dialogs_qt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
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
#include <QUrl>
#include <QVBoxLayout>

#include "base/platform.h"
#include "export/export_process_set.h"
#include "gui/form_rows.h"
#include "gui/qt_text.h"
#include "schema/marker.h"

namespace crv::gui {

namespace {

// Settings texts may be legacy bytes (a Windows-1252 dash in a title): they go back
// as bytes of the same kind, and only when the user changed them. A character those
// bytes cannot hold is refused with its message.
bool TakeText(QLineEdit* edit, std::string& bytes) {
    if (edit->text() == FieldText(bytes))
        return true;
    std::string out, message;
    if (!TypedBytes(edit->text(), bytes, false, out, message)) {
        platform().ShowMessage(message);
        edit->setFocus();
        return false;
    }
    bytes = std::move(out);
    return true;
}

std::string ChooseFileFor(const std::string& title, const std::string& filter,
                          const std::string& current, bool save) {
    FileRequest r;
    r.title = title;
    r.filter = filter;
    r.initialPath = current;
    r.save = save;
    r.mustExist = !save;
    return platform().ChooseFile(r).value_or(std::string());
}

} // namespace

// ---------------------------------------------------------------- page setup

namespace {
struct LengthField {
    const char* key;
    const char* label;
};
constexpr LengthField kLengthFields[] = {{"paperWidth", "&Width:"},
                                         {"paperHeight", "&Height:"},
                                         {"topMargin", "&Top:"},
                                         {"bottomMargin", "&Bottom:"},
                                         {"leftMargin", "&Left:"},
                                         {"rightMargin", "&Right:"},
                                         {"gutter", "&Gutter:"},
                                         {"headerToEdge", "Header from &edge:"},
                                         {"footerToEdge", "Footer from e&dge:"},
                                         {"columns", "&Columns:"},
                                         {"columnSpacing", "&Spacing between columns:"}};
} // namespace

PageSetupDialogQt::PageSetupDialogQt(PageSetupDialog& logic, QWidget* parent)
    : QDialog(parent), m_logic(logic) {
    setWindowTitle(Q(PageSetupDialog::kTitle));
    setObjectName("pageSetupDialog");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_paper = new QComboBox(this);
    m_paper->addItems(
        {"Letter", "Legal", "A4", "Custom size in inches", "Custom size in centimeters"});
    m_paper->setCurrentIndex(static_cast<int>(logic.Setup().paper));
    form->addRow("&Paper size:", m_paper);
    m_unit = new QLabel(this);
    form->addRow(m_unit);
    for (const LengthField& f : kLengthFields) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(f.key);
        m_fields.emplace_back(f.key, edit);
        auto* label = new QLabel(f.label, this);
        label->setBuddy(edit);
        if (QString(f.key) == "leftMargin")
            m_left = label;
        if (QString(f.key) == "rightMargin")
            m_right = label;
        form->addRow(label, edit);
    }
    m_mirror = new QCheckBox("&Mirror margins", this);
    m_mirror->setChecked(logic.Setup().mirrorMargins);
    m_facing = new QCheckBox("Different &odd and even pages", this);
    m_facing->setChecked(logic.Setup().facingPages);
    m_line = new QCheckBox("Line bet&ween columns", this);
    m_line->setChecked(logic.Setup().lineBetweenColumns);
    form->addRow(m_mirror);
    form->addRow(m_facing);
    form->addRow(m_line);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
    connect(m_paper, &QComboBox::currentIndexChanged, this, [this](int index) {
        TakeTexts();
        m_logic.SetPaper(static_cast<PaperSize>(index));
        ShowTexts();
    });
    connect(m_mirror, &QCheckBox::toggled, this, [this](bool on) {
        m_logic.Edit().mirrorMargins = on;
        UpdateLabels();
    });
    ShowTexts();
}

QLineEdit* PageSetupDialogQt::Field(const QString& key) const {
    for (const auto& [k, edit] : m_fields)
        if (k == key)
            return edit;
    return nullptr;
}

void PageSetupDialogQt::ShowTexts() {
    bool custom = m_logic.Setup().paper == PaperSize::CustomInches ||
                  m_logic.Setup().paper == PaperSize::CustomCm;
    for (const auto& [key, edit] : m_fields) {
        edit->setText(Q(m_logic.Text(S(key))));
        if (key == "paperWidth" || key == "paperHeight")
            edit->setEnabled(custom);
    }
    UpdateLabels();
}

void PageSetupDialogQt::TakeTexts() {
    for (const auto& [key, edit] : m_fields)
        m_logic.SetText(S(key), S(edit->text().trimmed()));
}

void PageSetupDialogQt::UpdateLabels() {
    m_unit->setText(Q(m_logic.UnitLabel()));
    m_left->setText(Q(m_logic.LeftLabel()));
    m_right->setText(Q(m_logic.RightLabel()));
}

void PageSetupDialogQt::accept() {
    TakeTexts();
    CRtfPageSetup& s = m_logic.Edit();
    s.mirrorMargins = m_mirror->isChecked();
    s.facingPages = m_facing->isChecked();
    s.lineBetweenColumns = m_line->isChecked();
    std::string bad;
    if (!m_logic.Ok(&bad)) {
        if (QLineEdit* edit = Field(Q(bad))) {
            edit->setFocus();
            edit->selectAll();
        }
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- process properties

ExportProcessDialogQt::ExportProcessDialogQt(CExportProcess& process,
                                             const std::string& settingsFolder, QWidget* parent)
    : QDialog(parent), m_logic(process), m_settingsFolder(settingsFolder) {
    setWindowTitle(Q(m_logic.Title()));
    setObjectName("exportProcessDialog");
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* form = new QFormLayout;
    m_name = new QLineEdit(FieldText(m_logic.name), this);
    m_name->setObjectName("name");
    form->addRow("&Name:", m_name);
    if (m_logic.Kind() != CExportProcess::Kind::Dictionary) {
        m_table =
            SettingsFileRow(form, "C&hange table:", "changeTable", m_logic.changeTable,
                            "Change Table", "Change Tables (*.ztt)|*.ztt|All files (*.*)|*.*||");
    } else {
        m_table = nullptr;
    }
    if (m_logic.Kind() == CExportProcess::Kind::RichText)
        BuildRtf(form);
    if (m_logic.Kind() == CExportProcess::Kind::Dictionary)
        BuildDictionary(form);
    left->addLayout(form);
    left->addStretch();
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* fieldsLabel = new QLabel("&Fields to export:", this);
    m_fields = new QListWidget(this);
    m_fields->setObjectName("fields");
    m_fields->setMinimumSize(230, 240);
    fieldsLabel->setBuddy(m_fields);
    const CMarkerSet& markers = process.Owner().Markers();
    for (const auto& [name, included] : m_logic.fields) {
        QString text = "\\" + Q(name);
        if (const CMarker* m = markers.Search(name); m && !m->FieldName().empty())
            text += "  " + FieldText(m->FieldName());
        auto* item = new QListWidgetItem(text, m_fields);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(included ? Qt::Checked : Qt::Unchecked);
    }
    right->addWidget(fieldsLabel);
    right->addWidget(m_fields, 1);
    right->addWidget(OkCancelButtons(this));
    layout->addLayout(right, 1);
}

QLineEdit* ExportProcessDialogQt::SettingsFileRow(QFormLayout* form, const char* label,
                                                  const char* name, const std::string& value,
                                                  const char* title, const char* filter) {
    auto* edit = new QLineEdit(Q(value), this);
    edit->setObjectName(name);
    edit->setPlaceholderText("none");
    AddRow(form, this, label,
           WithBrowse(edit, this,
                      [this, edit, title, filter] {
                          QString chosen = BrowseFor(title, filter, edit->text());
                          if (!chosen.isEmpty())
                              edit->setText(chosen);
                      }),
           edit);
    return edit;
}

QString ExportProcessDialogQt::BrowseFor(const QString& title, const QString& filter,
                                         const QString& current) {
    std::string initial = SettingsPath(m_settingsFolder, S(current));
    if (initial.empty())
        initial = m_settingsFolder;
    return Q(ChooseFileFor(S(title), S(filter), initial, false));
}

void ExportProcessDialogQt::BuildRtf(QFormLayout* form) {
    m_template = SettingsFileRow(
        form, "Document &template:", "documentTemplate", m_logic.documentTemplate,
        "Document Template", "Document Templates (*.dot)|*.dot|Rich Text Format (*.rtf)|*.rtf||");
    m_markerFont = new QCheckBox("Use the &markers' fonts", this);
    m_markerFont->setChecked(m_logic.markerFont);
    form->addRow(m_markerFont);
    m_tabAligned = new QCheckBox("Align &interlinear text with tabs", this);
    m_tabAligned->setChecked(m_logic.tabAligned);
    form->addRow(m_tabAligned);
    m_spacing = new QSpinBox(this);
    m_spacing->setRange(0, 240);
    m_spacing->setSuffix(" twips");
    m_spacing->setValue(m_logic.spacing ? m_logic.spacing : 120);
    m_spacing->setEnabled(m_logic.tabAligned);
    connect(m_tabAligned, &QCheckBox::toggled, m_spacing, &QSpinBox::setEnabled);
    form->addRow("Spacing per &character:", m_spacing);
    auto* page = new QPushButton("&Page Setup...", this);
    connect(page, &QPushButton::clicked, this, [this] { PageSetup(); });
    form->addRow(page);
}

void ExportProcessDialogQt::BuildDictionary(QFormLayout* form) {
    CExportProcessPLX& d = *m_logic.dictionary;
    auto* audience = new QGroupBox("Audience", this);
    auto* audienceRow = new QHBoxLayout(audience);
    m_audience = new QButtonGroup(this);
    for (auto [id, text] : {std::pair{0, "&English"}, {1, "N&ational"}}) {
        auto* b = new QRadioButton(text, audience);
        m_audience->addButton(b, id);
        audienceRow->addWidget(b);
    }
    m_audience->button(d.audience == PlxAudience::National ? 1 : 0)->setChecked(true);
    form->addRow(audience);
    auto* format = new QGroupBox("Format", this);
    auto* formatRow = new QHBoxLayout(format);
    m_format = new QButtonGroup(this);
    for (auto [id, text] : {std::pair{0, "&Diglot"}, {1, "&Triglot"}, {2, "&Finderlist"}}) {
        auto* b = new QRadioButton(text, format);
        m_format->addButton(b, id);
        formatRow->addWidget(b);
    }
    m_format->button(static_cast<int>(d.format))->setChecked(true);
    form->addRow(format);
    m_title = new QLineEdit(FieldText(d.Title()), this);
    m_title->setObjectName("title");
    form->addRow("T&itle:", m_title);
    // The title shown is the one of the audience and format chosen: each keeps its own.
    auto switchTitle = [this] {
        CExportProcessPLX& p = *m_logic.dictionary;
        if (!TakeText(m_title, p.Title())) {
            // The title typed stays to be mended under the choice it belongs to.
            m_audience->button(p.audience == PlxAudience::National ? 1 : 0)->setChecked(true);
            m_format->button(static_cast<int>(p.format))->setChecked(true);
            return;
        }
        p.audience = m_audience->checkedId() == 1 ? PlxAudience::National : PlxAudience::English;
        p.format = static_cast<PlxFormat>(m_format->checkedId());
        m_title->setText(FieldText(p.Title()));
    };
    connect(m_audience, &QButtonGroup::idClicked, this, switchTitle);
    connect(m_format, &QButtonGroup::idClicked, this, switchTitle);
    struct Option {
        bool* flag;
        const char* text;
    };
    const Option options[] = {
        {&d.sortAlsoBySenses, "Sort also by part of speech, sense and subentry"},
        {&d.includeLexemeWithCitationForm, "Include the lexeme with a citation form"},
        {&d.includeExamples, "Include e&xamples"},
        {&d.includeNotes, "Include n&otes"},
        {&d.includePartOfSpeech, "Include part of s&peech"},
        {&d.includeNonPlx, "Include fields of other markers"},
        {&d.includeRegionalWithNational, "Include regional with national glosses"},
        {&d.showHeader, "Running &heads"},
        {&d.showDate, "Date in the footer"},
        {&d.showTotal, "Total of entries"}};
    auto* grid = new QGridLayout;
    int i = 0;
    for (const Option& o : options) {
        auto* box = new QCheckBox(o.text, this);
        box->setChecked(*o.flag);
        m_options.emplace_back(o.flag, box);
        grid->addWidget(box, i / 2, i % 2);
        ++i;
    }
    form->addRow(grid);
    auto* row = new QHBoxLayout;
    auto* setup = new QPushButton("A&udience Setup...", this);
    connect(setup, &QPushButton::clicked, this, [this] { AudienceSetup(); });
    auto* page = new QPushButton("Pa&ge Setup...", this);
    connect(page, &QPushButton::clicked, this, [this] { PageSetup(); });
    row->addWidget(setup);
    row->addWidget(page);
    row->addStretch();
    form->addRow(row);
}

void ExportProcessDialogQt::PageSetup() {
    PageSetupDialog before = *m_logic.pageSetup;
    PageSetupDialogQt dialog(*m_logic.pageSetup, this);
    if (dialog.exec() != QDialog::Accepted)
        *m_logic.pageSetup = before;
}

void ExportProcessDialogQt::AudienceSetup() {
    CExportProcessPLX& d = *m_logic.dictionary;
    QDialog dialog(this);
    dialog.setWindowTitle("Audience Setup");
    dialog.setObjectName("audienceSetup");
    auto* form = new QFormLayout(&dialog);
    std::vector<std::pair<std::string*, QLineEdit*>> edits;
    for (PlxAudience audience : {PlxAudience::English, PlxAudience::National})
        for (bool labels : {true, false}) {
            std::size_t a = audience == PlxAudience::National ? 1 : 0;
            std::string* value = labels ? &d.labelsTable[a] : &d.templates[a];
            FileRequest r = ExportProcessDialog::AudienceFileRequest(audience, labels, *value);
            auto* edit = new QLineEdit(Q(*value), &dialog);
            edits.emplace_back(value, edit);
            form->addRow(Q(r.title + ":"), WithBrowse(edit, &dialog, [this, r, edit] {
                             std::string initial = SettingsPath(m_settingsFolder, S(edit->text()));
                             std::string chosen = ChooseFileFor(r.title, r.filter, initial, false);
                             if (!chosen.empty())
                                 edit->setText(Q(chosen));
                         }));
        }
    form->addRow(OkCancelButtons(&dialog));
    dialog.resize(dialog.sizeHint().width() * 3 / 2, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted)
        return;
    for (auto& [value, edit] : edits)
        *value = S(edit->text().trimmed());
}

bool ExportProcessDialogQt::TakeDictionary() {
    CExportProcessPLX& d = *m_logic.dictionary;
    for (auto& [flag, box] : m_options)
        *flag = box->isChecked();
    return TakeText(m_title, d.Title());
}

void ExportProcessDialogQt::accept() {
    if (!TakeText(m_name, m_logic.name))
        return;
    if (m_table)
        m_logic.changeTable = S(m_table->text().trimmed());
    for (int i = 0; i < m_fields->count(); ++i)
        m_logic.fields[static_cast<std::size_t>(i)].second =
            m_fields->item(i)->checkState() == Qt::Checked;
    if (m_template) {
        m_logic.documentTemplate = S(m_template->text().trimmed());
        m_logic.markerFont = m_markerFont->isChecked();
        m_logic.tabAligned = m_tabAligned->isChecked();
        m_logic.spacing = m_logic.tabAligned ? m_spacing->value() : 0;
    }
    if (m_logic.dictionary && !TakeDictionary())
        return;
    if (!m_logic.Ok()) {
        m_name->setFocus();
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- the Export dialog

ExportDialogQt::ExportDialogQt(CExportProcessSet& set, bool hasWindow, bool hasRecord,
                               const std::string& settingsFolder, QWidget* parent)
    : QDialog(parent), m_logic(set, hasWindow, hasRecord), m_settingsFolder(settingsFolder) {
    setWindowTitle("Export");
    setObjectName("exportDialog");
    auto* grid = new QGridLayout(this);
    auto* processLabel = new QLabel("Export &process:", this);
    m_processes = new QListWidget(this);
    m_processes->setObjectName("processes");
    processLabel->setBuddy(m_processes);
    grid->addWidget(processLabel, 0, 0);
    grid->addWidget(m_processes, 1, 0, 4, 1);
    auto* buttons = new QVBoxLayout;
    auto addButton = [&](const char* text, const char* name, std::function<void()> fn) {
        AddButton(buttons, this, text, name, std::move(fn));
    };
    auto edit = [this](CExportProcess& p) { return EditProcess(p); };
    addButton("&Add...", "add", [this, edit] {
        if (m_logic.Add(edit))
            FillProcesses();
    });
    addButton("&Copy", "copy", [this] {
        if (m_logic.Copy())
            FillProcesses();
    });
    addButton("&Modify...", "modify", [this, edit] {
        if (m_logic.Modify(edit))
            FillProcesses();
    });
    addButton("&Delete", "delete", [this] {
        if (m_logic.Delete())
            FillProcesses();
    });
    buttons->addStretch();
    grid->addLayout(buttons, 1, 1, 4, 1);

    auto* records = new QGroupBox("Records to export", this);
    auto* recordsLayout = new QVBoxLayout(records);
    m_records = new QButtonGroup(this);
    const std::pair<ExportRecords, const char*> choices[] = {
        {ExportRecords::EntireFile, "&Entire file"},
        {ExportRecords::CurrentWindow, "The &window's records, as filtered and sorted"},
        {ExportRecords::CurrentRecord, "The current &record only"}};
    for (auto [value, text] : choices) {
        auto* b = new QRadioButton(text, records);
        m_records->addButton(b, static_cast<int>(value));
        recordsLayout->addWidget(b);
    }
    m_records->button(static_cast<int>(ExportRecords::CurrentWindow))
        ->setEnabled(m_logic.WindowEnabled());
    m_records->button(static_cast<int>(ExportRecords::CurrentRecord))
        ->setEnabled(m_logic.RecordEnabled());
    m_records->button(static_cast<int>(m_logic.records))->setChecked(true);
    grid->addWidget(records, 5, 0, 1, 2);

    auto* outputLabel = new QLabel("&Output file:", this);
    m_output = new QLineEdit(this);
    m_output->setObjectName("output");
    m_output->setPlaceholderText("asked when exporting");
    outputLabel->setBuddy(m_output);
    auto* outputRow = WithBrowse(m_output, this, [this] {
        CExportProcess* p = m_logic.SelectedProcess();
        bool rtf = p && p->GetKind() != CExportProcess::Kind::StandardFormat;
        FileRequest r;
        r.title = "Export";
        r.filter = rtf ? "Rich Text Format (*.rtf)|*.rtf||" : "All files (*.*)|*.*||";
        r.initialPath = S(m_output->text());
        r.save = true;
        r.mustExist = false;
        if (auto chosen = platform().ChooseFile(r))
            m_output->setText(Q(*chosen));
    });
    grid->addWidget(outputLabel, 6, 0, 1, 2);
    grid->addLayout(outputRow, 7, 0, 1, 2);

    m_showProperties = new QCheckBox("&Show the process's properties before exporting", this);
    m_showProperties->setChecked(m_logic.showProperties);
    m_autoOpen = new QCheckBox("Open a&fter export", this);
    m_autoOpen->setChecked(m_logic.autoOpen);
    grid->addWidget(m_showProperties, 8, 0, 1, 2);
    grid->addWidget(m_autoOpen, 9, 0, 1, 2);
    grid->addWidget(OkCancelButtons(this), 10, 0, 1, 2);
    grid->setRowStretch(4, 1);

    connect(m_processes, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        m_logic.Select(static_cast<std::size_t>(row));
        ProcessChanged();
    });
    connect(m_processes, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    FillProcesses();
    resize(sizeHint().width() * 5 / 4, sizeHint().height());
}

void ExportDialogQt::FillProcesses() {
    QSignalBlocker block(m_processes);
    m_processes->clear();
    for (const std::string& name : m_logic.ProcessNames())
        m_processes->addItem(FieldText(name));
    m_processes->setCurrentRow(static_cast<int>(m_logic.Selected()));
    ProcessChanged();
}

void ExportDialogQt::ProcessChanged() {
    CExportProcess* p = m_logic.SelectedProcess();
    m_autoOpen->setEnabled(m_logic.AutoOpenEnabled());
    std::string last;
    if (auto* plx = dynamic_cast<CExportProcessPLX*>(p))
        last = plx->Exported();
    else if (p)
        last = p->exportedFile;
    m_output->setText(Q(last));
    m_prefill = m_output->text();
    findChild<QPushButton*>("delete")->setEnabled(p != nullptr);
}

bool ExportDialogQt::EditProcess(CExportProcess& process) {
    ExportProcessDialogQt dialog(process, m_settingsFolder, this);
    return dialog.exec() == QDialog::Accepted;
}

void ExportDialogQt::accept() {
    m_logic.records = static_cast<ExportRecords>(m_records->checkedId());
    m_logic.autoOpen = m_autoOpen->isChecked();
    m_logic.showProperties = m_showProperties->isChecked();
    output = S(m_output->text().trimmed());
    // A dictionary's output is kept per audience and format, which its properties may
    // still change: unless the user typed another, the run asks with the right one.
    if (dynamic_cast<CExportProcessPLX*>(m_logic.SelectedProcess()) &&
        m_output->text() == m_prefill)
        output.clear();
    chosen = m_logic.Ok();
    if (!chosen)
        return;
    QDialog::accept();
}

// ---------------------------------------------------------------- the run's dialogs

bool QtExportDialogs::EditProperties(CExportProcess& process) {
    ExportProcessDialogQt dialog(process, m_settingsFolder, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<std::string> QtExportDialogs::ChooseOutput(const FileRequest& request) {
    if (!m_output.empty())
        return m_output;
    return PlatformExportDialogs::ChooseOutput(request);
}

bool QtExportDialogs::OpenDocument(const std::string& path) { return DocumentOpener()(path); }

QtExportDialogs::Opener& QtExportDialogs::DocumentOpener() {
    static Opener opener = [](const std::string& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
    };
    return opener;
}

} // namespace crv::gui
