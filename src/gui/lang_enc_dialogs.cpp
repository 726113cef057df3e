#include "gui/lang_enc_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "base/object_stream.h"
#include "base/platform.h"
#include "gui/form_rows.h"
#include "gui/qt_text.h"
#include "gui/sort_order_dialog.h"

namespace crv::gui {

namespace fs = std::filesystem;

namespace {

QLabel* Buddy(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

// The files of the settings folder a rendering library or table may be chosen from: the
// folder only, so that a project carries what it renders with.
QStringList SettingsFolderFiles(const std::string& folder, bool libraries) {
    QStringList names;
    std::error_code ec;
    if (folder.empty())
        return names;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (!entry.is_regular_file(ec))
            continue;
        std::string ext = entry.path().extension().string();
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        bool library = ext == ".dll" || ext == ".so" || ext == ".dylib";
        bool settings = ext == ".lng" || ext == ".typ" || ext == ".prj" || ext == ".db" ||
                        ext == ".bak" || ext == ".tmp";
        if (libraries ? library : !library && !settings)
            names << Q(entry.path().filename().string());
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

// An editable choice that starts on current, kept as it is when the folder lacks it.
QComboBox* FileChoice(const QStringList& files, const std::string& current, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->addItem(QString());
    combo->addItems(files);
    if (!current.empty() && combo->findText(Q(current)) < 0)
        combo->addItem(Q(current));
    combo->setCurrentIndex(combo->findText(Q(current)));
    return combo;
}

// The initial units have no face of their own: they are named.
QString UnitText(const CLangChar& unit, const CLangEnc& enc) {
    const std::string& t = unit.Text();
    if (t == "\x1A")
        return "(other)";
    if (t == " ")
        return "(space)";
    if (t == "\t")
        return "(tab)";
    if (t == "\n")
        return "(line break)";
    return ShownBytes(t, enc);
}

FontSpec SpecOfQFont(const QFont& f, const FontSpec& like) {
    FontSpec spec = like;
    spec.face = S(f.family());
    if (f.pointSize() > 0)
        spec.height = FontHeightFromSize(f.pointSize());
    else if (f.pixelSize() > 0)
        spec.height = -f.pixelSize();
    spec.weight = f.weight();
    spec.italic = f.italic();
    spec.underline = f.underline();
    spec.strikeOut = f.strikeOut();
    return spec;
}

} // namespace

LangEncSheet::LangEncSheet(CLangEnc& enc, QWidget* parent)
    : QDialog(parent), m_edit(std::make_unique<CLangEncEdit>(enc)) {
    setWindowTitle(QString("Language Encoding Properties - %1").arg(Q(enc.Name())));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(OptionsPage(), "Options");
    m_tabs->addTab(SortOrdersPage(), "Sort Orders");
    m_tabs->addTab(VariablesPage(), "Variables");
    m_tabs->addTab(CasePage(), "Case");
    m_tabs->addTab(CharactersPage(), "Characters");
    layout->addWidget(m_tabs);
    layout->addWidget(OkCancelButtons(this));
    // Pages show what the others changed (units made by a sort order, case pairs).
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        TakeCase();
        Refill();
    });
    Refill();
}

LangEncSheet::~LangEncSheet() = default;

QWidget* LangEncSheet::OptionsPage() {
    CLangEnc& w = m_edit->Working();
    auto* page = new QWidget(m_tabs);
    auto* form = new QFormLayout(page);
    auto* name = new QLineEdit(Q(w.Name()), page);
    name->setReadOnly(true);
    form->addRow(Buddy("Language &Name:", name, page), name);
    m_description = new QPlainTextEdit(Q(w.Description()), page);
    m_description->setTabChangesFocus(true);
    m_description->setMaximumHeight(QFontMetrics(font()).lineSpacing() * 4 + 12);
    form->addRow(Buddy("&Description:", m_description, page), m_description);
    m_keyboard = new QComboBox(page);
    m_keyboard->setEditable(true); // a keyboard not installed here keeps its name
    m_keyboard->addItem(QString());
    for (const CKeyboard& k : w.Owner().Keyboards().Installed())
        m_keyboard->addItem(Q(k.name));
    if (m_keyboard->findText(Q(w.KeyboardName())) < 0)
        m_keyboard->addItem(Q(w.KeyboardName()));
    m_keyboard->setCurrentText(Q(w.KeyboardName()));
    form->addRow(Buddy("&Keyboard:", m_keyboard, page), m_keyboard);
    auto* fontRow = new QHBoxLayout;
    auto* fontButton = new QPushButton("Choose &Font...", page);
    fontButton->setObjectName("chooseFont");
    fontButton->setAutoDefault(false);
    connect(fontButton, &QPushButton::clicked, this, &LangEncSheet::ChooseFont);
    m_fontName = new QLabel(page);
    fontRow->addWidget(fontButton);
    fontRow->addWidget(m_fontName, 1);
    form->addRow(fontRow);
    ShowFont();
    m_utf8 = new QCheckBox("Text is &UTF-8", page);
    m_utf8->setChecked(w.Utf8());
    m_multiChar = new QCheckBox("&Multigraphs (several characters as one letter)", page);
    m_multiChar->setChecked(w.MultiChar());
    m_dbcs = new QCheckBox("Dou&ble-byte characters", page);
    m_dbcs->setChecked(w.Dbcs());
    form->addRow(m_utf8);
    form->addRow(m_multiChar);
    form->addRow(m_dbcs);
    auto* advanced = new QPushButton("&Advanced Options...", page);
    advanced->setObjectName("advancedOptions");
    advanced->setAutoDefault(false);
    connect(advanced, &QPushButton::clicked, this, &LangEncSheet::AdvancedOptions);
    auto* advancedRow = new QHBoxLayout;
    advancedRow->addWidget(advanced);
    advancedRow->addStretch();
    form->addRow(advancedRow);
    return page;
}

void LangEncSheet::ShowFont() {
    const CFontDef& f = m_edit->Working().Font();
    m_fontName->setText(QString("%1, %2 points").arg(Q(f.face)).arg(FontSizeFromHeight(f.height)));
    m_fontName->setFont(ToQFont(f));
}

void LangEncSheet::ChooseFont() {
    CLangEnc& w = m_edit->Working();
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, ToQFont(w.Font()), this, "Font");
    if (!ok)
        return;
    w.SetFont(SpecOfQFont(chosen, w.Font()));
    ShowFont();
}

void LangEncSheet::AdvancedOptions() {
    CLangEnc& w = m_edit->Working();
    const std::string& folder = w.Owner().SettingsFolder();
    QDialog dialog(this);
    dialog.setWindowTitle("Advanced Language Options");
    auto* form = new QFormLayout(&dialog);
    auto* rtl = new QCheckBox("&Right to Left", &dialog);
    rtl->setChecked(w.RightToLeft());
    form->addRow(rtl);
    QComboBox* library =
        FileChoice(SettingsFolderFiles(folder, true), w.RenderLibraryName(), &dialog);
    form->addRow(Buddy("Rendering &DLL", library, &dialog), library);
    QComboBox* table = FileChoice(SettingsFolderFiles(folder, false), w.RenderTableName(), &dialog);
    form->addRow(Buddy("&SDF Table for Rendering DLL", table, &dialog), table);
    form->addRow(new QLabel("Both are chosen from the project's settings folder.", &dialog));
    form->addRow(OkCancelButtons(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return;
    w.SetRightToLeft(rtl->isChecked());
    std::string lib = S(library->currentText()), tab = S(table->currentText());
    if (lib != w.RenderLibraryName() || tab != w.RenderTableName())
        w.SetRendering(lib, tab);
}

QWidget* LangEncSheet::SortOrdersPage() {
    auto* page = new QWidget(m_tabs);
    auto* grid = new QGridLayout(page);
    m_defaultOrder = new QComboBox(page);
    connect(m_defaultOrder, &QComboBox::currentIndexChanged, this, [this] {
        CSortOrderSet& orders = m_edit->Working().SortOrders();
        if (CSortOrder* so = orders.Search(S(m_defaultOrder->currentText())))
            orders.SetDefault(so);
    });
    grid->addWidget(Buddy("Default Sort &Order:", m_defaultOrder, page), 0, 0);
    grid->addWidget(m_defaultOrder, 0, 1);
    grid->addWidget(new QLabel("(also used in interlinearization)", page), 1, 1);
    m_orders = new QListWidget(page);
    m_orders->setObjectName("sortOrders");
    connect(m_orders, &QListWidget::itemDoubleClicked, this,
            [this] { EditOrder(SelectedOrder(), false); });
    grid->addWidget(Buddy("&Sort orders:", m_orders, page), 2, 0, 1, 2);
    grid->addWidget(m_orders, 3, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    AddButton(buttons, page, "&Add...", "sortAdd", [this] { EditOrder(nullptr, false); });
    AddButton(buttons, page, "&Copy...", "sortCopy", [this] {
        if (CSortOrder* so = SelectedOrder())
            EditOrder(so, true);
    });
    AddButton(buttons, page, "&Modify...", "sortModify", [this] {
        if (CSortOrder* so = SelectedOrder())
            EditOrder(so, false);
    });
    AddButton(buttons, page, "&Delete", "sortDelete", [this] { DeleteOrder(); });
    buttons->addStretch();
    grid->addLayout(buttons, 3, 2);
    grid->setColumnStretch(1, 1);
    return page;
}

CSortOrder* LangEncSheet::SelectedOrder() const {
    QListWidgetItem* item = m_orders->currentItem();
    return item ? m_edit->Working().SortOrders().Search(S(item->text())) : nullptr;
}

void LangEncSheet::FillOrders() {
    const CSortOrderSet& orders = m_edit->Working().SortOrders();
    QString current = m_orders->currentItem() ? m_orders->currentItem()->text() : QString();
    QSignalBlocker block(m_defaultOrder);
    m_orders->clear();
    m_defaultOrder->clear();
    for (const CSortOrder& so : orders) {
        m_orders->addItem(Q(so.Name()));
        m_defaultOrder->addItem(Q(so.Name()));
    }
    if (orders.Default())
        m_defaultOrder->setCurrentText(Q(orders.Default()->Name()));
    auto found = m_orders->findItems(current, Qt::MatchExactly);
    m_orders->setCurrentRow(found.isEmpty() ? 0 : m_orders->row(found[0]));
}

void LangEncSheet::EditOrder(CSortOrder* so, bool copy) {
    TakeCase();
    CLangEnc& w = m_edit->Working();
    CSortOrderSet& orders = w.SortOrders();
    bool adding = !so || copy;
    std::string name = !so ? std::string() : copy ? orders.MakeUniqueName(so->Name()) : so->Name();
    CSortOrderDef def = so ? so->Definition() : DefaultSortOrderDef();
    if (!so)
        def.description.clear();
    SortOrderDialog dialog(
        w, name, def, adding,
        [&](const std::string& newName, const CSortOrderDef& newDef, CNote& error) {
            if (adding)
                return m_edit->AddSortOrder(newName, newDef, error) != nullptr;
            return so->Modify(newDef, error);
        },
        this);
    if (dialog.exec() == QDialog::Accepted) {
        m_orders->clearSelection();
        FillOrders();
        auto found = m_orders->findItems(dialog.NameEdit()->text(), Qt::MatchExactly);
        if (!found.isEmpty())
            m_orders->setCurrentItem(found[0]);
    }
}

void LangEncSheet::DeleteOrder() {
    if (m_edit->DeleteSortOrder(SelectedOrder()))
        FillOrders();
}

QWidget* LangEncSheet::VariablesPage() {
    auto* page = new QWidget(m_tabs);
    auto* grid = new QGridLayout(page);
    m_vars = new QListWidget(page);
    m_varName = new QLineEdit(page);
    m_varChars = new QPlainTextEdit(page);
    m_varChars->setTabChangesFocus(true);
    m_varChars->setFont(ToQFont(m_edit->Working().Font()));
    connect(m_vars, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        const CVar* var = m_edit->Working().Vars().Search(S(text));
        m_varName->setText(var ? text : QString());
        m_varChars->setPlainText(var ? ShownBytes(var->Chars(), m_edit->Working()) : QString());
    });
    grid->addWidget(Buddy("&Variables:", m_vars, page), 0, 0);
    grid->addWidget(m_vars, 1, 0, 3, 1);
    grid->addWidget(Buddy("&Name:", m_varName, page), 0, 1);
    grid->addWidget(m_varName, 1, 1);
    grid->addWidget(Buddy("&Characters:", m_varChars, page), 2, 1);
    grid->addWidget(m_varChars, 3, 1);
    auto* buttons = new QHBoxLayout;
    AddButton(buttons, page, "&Add", "varAdd", [this] { StoreVar(nullptr); });
    AddButton(buttons, page, "&Modify", "varModify", [this] {
        if (CVar* var = SelectedVar())
            StoreVar(var);
    });
    AddButton(buttons, page, "&Delete", "varDelete", [this] { DeleteVar(); });
    buttons->addStretch();
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->addWidget(new QLabel("Note: characters are separated by spaces.", page), 5, 0, 1, 2);
    grid->setColumnStretch(1, 2);
    return page;
}

void LangEncSheet::FillVars() {
    QString current = m_vars->currentItem() ? m_vars->currentItem()->text() : QString();
    m_vars->clear();
    for (const CVar& var : m_edit->Working().Vars())
        m_vars->addItem(Q(var.Name()));
    auto found = m_vars->findItems(current, Qt::MatchExactly);
    if (!found.isEmpty())
        m_vars->setCurrentItem(found[0]);
}

CVar* LangEncSheet::SelectedVar() const {
    QListWidgetItem* item = m_vars->currentItem();
    return item ? m_edit->Working().Vars().Search(S(item->text())) : nullptr;
}

void LangEncSheet::StoreVar(CVar* var) {
    CLangEnc& w = m_edit->Working();
    std::string chars;
    if (!TypedSettingsBytes(m_varChars->toPlainText(), var ? var->Chars() : std::string(), w,
                            chars))
        return;
    CNote error;
    std::string name = S(m_varName->text());
    bool ok = var ? w.Vars().ModifyVar(var, name, chars, error)
                  : w.Vars().AddVar(name, chars, error) != nullptr;
    if (!ok) {
        platform().ShowMessage(error.Text());
        return;
    }
    FillVars();
    auto found = m_vars->findItems(Q(name), Qt::MatchExactly);
    if (!found.isEmpty())
        m_vars->setCurrentItem(found[0]);
}

void LangEncSheet::DeleteVar() {
    if (CVar* var = SelectedVar()) {
        m_edit->Working().Vars().DeleteVar(var);
        FillVars();
    }
}

QWidget* LangEncSheet::CasePage() {
    auto* page = new QWidget(m_tabs);
    auto* layout = new QVBoxLayout(page);
    m_caseTaken = m_edit->Working().CaseText();
    m_case = new QPlainTextEdit(ShownBytes(m_caseTaken, m_edit->Working()), page);
    m_case->setTabChangesFocus(true);
    m_case->setFont(ToQFont(m_edit->Working().Font()));
    layout->addWidget(Buddy("&Case Associations:", m_case, page));
    layout->addWidget(m_case);
    layout->addWidget(new QLabel("One upper case character per line, followed by its lower case "
                                 "forms, separated by spaces.",
                                 page));
    return page;
}

bool LangEncSheet::TakeCase() {
    CLangEnc& w = m_edit->Working();
    std::string text;
    if (!TypedSettingsBytes(m_case->toPlainText(), m_caseTaken, w, text))
        return false;
    if (text == w.CaseText())
        return true;
    CNoteList notes;
    w.SetCaseText(text, notes);
    m_caseTaken = w.CaseText();
    for (CNote& note : notes) {
        note.Wrap("In language encoding: ", w.Name());
        platform().ShowMessage(note.Text());
    }
    return notes.empty();
}

QWidget* LangEncSheet::CharactersPage() {
    auto* page = new QWidget(m_tabs);
    auto* grid = new QGridLayout(page);
    m_chars = new QTreeWidget(page);
    m_chars->setRootIsDecorated(false);
    m_chars->setColumnCount(5);
    m_chars->setHeaderLabels(
        {"Character", "Case Associate", "Code Dec.", "Hex.", "Standard Character"});
    m_chars->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->addWidget(Buddy("Characte&r", m_chars, page), 0, 0);
    grid->addWidget(m_chars, 1, 0);
    auto* buttons = new QVBoxLayout;
    AddButton(buttons, page, "&Add...", "charAdd", [this] { AddUnit(false); });
    AddButton(buttons, page, "&Copy...", "charCopy", [this] { AddUnit(true); });
    buttons->addStretch();
    grid->addLayout(buttons, 1, 1);
    auto* note = new QLabel("Note: a character is kept in the settings file when a sort order, "
                            "a case association or a variable names it.",
                            page);
    note->setWordWrap(true);
    grid->addWidget(note, 2, 0, 1, 2);
    return page;
}

void LangEncSheet::FillChars() {
    const CLangEnc& w = m_edit->Working();
    QFont langFont = ToQFont(w.Font());
    m_chars->clear();
    for (const CLangChar& unit : w) {
        auto* item = new QTreeWidgetItem(m_chars);
        QString shown = UnitText(unit, w);
        auto first = static_cast<unsigned char>(unit.Text()[0]);
        item->setText(0, shown);
        item->setFont(0, langFont);
        if (unit.CaseAssociate()) {
            item->setText(1, UnitText(*unit.CaseAssociate(), w));
            item->setFont(1, langFont);
        }
        item->setText(2, QString("%1").arg(first, -3));
        item->setText(3, QString("%1").arg(first, 2, 16, QChar('0')).toUpper());
        item->setText(4, shown);
    }
}

void LangEncSheet::AddUnit(bool copy) {
    CLangEnc& w = m_edit->Working();
    QTreeWidgetItem* item = m_chars->currentItem();
    TextRequest request;
    request.title = "Add Character";
    request.prompt = "Character or multigraph:";
    if (copy && item)
        request.initial = S(item->text(0));
    std::optional<std::string> typed = platform().InputText(request);
    if (!typed)
        return;
    std::string bytes;
    if (!TypedSettingsBytes(Q(*typed), {}, w, bytes))
        return;
    CNote error;
    if (!m_edit->AddUnit(bytes, error)) {
        platform().ShowMessage(error.Text());
        return;
    }
    FillChars();
}

void LangEncSheet::Refill() {
    FillOrders();
    FillVars();
    FillChars();
}

void LangEncSheet::accept() {
    if (!TakeCase()) {
        m_tabs->setCurrentIndex(3);
        return;
    }
    CLangEnc& w = m_edit->Working();
    std::string description;
    if (!TypedSettingsBytes(m_description->toPlainText(), w.Description(), w, description))
        return;
    w.SetDescription(description);
    w.SetKeyboardName(S(m_keyboard->currentText())); // kept as typed, installed or not
    w.SetUtf8(m_utf8->isChecked());
    w.SetMultiChar(m_multiChar->isChecked());
    w.SetDbcs(m_dbcs->isChecked());
    m_edit->Apply();
    QDialog::accept();
}

// --- the list of encodings

LangEncListDialog::LangEncListDialog(CLangEncSet& set, std::function<void()> changed,
                                     QWidget* parent)
    : QDialog(parent), m_set(&set), m_changed(std::move(changed)) {
    setWindowTitle("Language Encodings");
    auto* grid = new QGridLayout(this);
    m_list = new QListWidget(this);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Properties(); });
    grid->addWidget(Buddy("&Language encodings:", m_list, this), 0, 0);
    grid->addWidget(m_list, 1, 0);
    auto* buttons = new QVBoxLayout;
    AddButton(buttons, this, "&New...", "langEncNew", [this] { AddEncoding(false); });
    AddButton(buttons, this, "&Copy...", "langEncCopy", [this] { AddEncoding(true); });
    AddButton(buttons, this, "&Delete", "langEncDelete", [this] { DeleteEncoding(); });
    AddButton(buttons, this, "&Properties...", "langEncProperties", [this] { Properties(); });
    buttons->addStretch();
    grid->addLayout(buttons, 1, 1);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(box, 2, 0, 1, 2);
    Fill();
}

void LangEncListDialog::Fill(const QString& select) {
    m_list->clear();
    for (const CLangEncProxy& p : m_set->Proxies())
        m_list->addItem(Q(p.Name()));
    auto found = m_list->findItems(select, Qt::MatchExactly);
    m_list->setCurrentRow(found.isEmpty() ? 0 : m_list->row(found[0]));
}

CLangEnc* LangEncListDialog::Selected() const {
    QListWidgetItem* item = m_list->currentItem();
    return item ? m_set->Find(S(item->text())) : nullptr;
}

void LangEncListDialog::AddEncoding(bool copy) {
    CLangEnc* source = copy ? Selected() : nullptr;
    if (copy && !source)
        return;
    TextRequest request;
    request.title = copy ? "Copy Language Encoding" : "New Language Encoding";
    request.prompt = "Language Name:";
    if (source)
        request.initial = m_set->Proxies().MakeUniqueName(source->Name());
    std::optional<std::string> name = platform().InputText(request);
    if (!name)
        return;
    CNote error;
    CLangEnc* added = nullptr;
    if (CheckSettingsName(*name, error))
        added = source ? m_set->Copy(*source, *name, error) : m_set->Add(*name, error);
    if (!added) {
        platform().ShowMessage(error.Text());
        return;
    }
    Fill(Q(added->Name()));
    Properties();
}

void LangEncListDialog::DeleteEncoding() {
    if (CLangEnc* enc = Selected(); enc && m_set->Delete(enc))
        Fill();
}

void LangEncListDialog::Properties() {
    CLangEnc* enc = Selected();
    if (!enc)
        return;
    LangEncSheet sheet(*enc, this);
    if (sheet.exec() == QDialog::Accepted && m_changed)
        m_changed();
}

} // namespace crv::gui
