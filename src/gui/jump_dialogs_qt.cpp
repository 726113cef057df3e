#include "gui/jump_dialogs_qt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "app/project.h"
#include "base/platform.h"
#include "engine/index.h"
#include "gui/browse_model.h"
#include "gui/form_rows.h"
#include "gui/key_search_dialogs.h"
#include "gui/qt_text.h"
#include "schema/database_type.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"

namespace crv::gui {

namespace {

QFont LangFont(const CLangEnc* lang) { return lang ? ToQFont(lang->Font()) : QFont(); }

} // namespace

// ---------------------------------------------------------------- Jump To

JumpToDialog::JumpToDialog(const CKeySearch& search, bool insertMode, const CLangEnc* lang,
                           CLangEncSet* langs, std::function<void()> editPath, QWidget* parent)
    : KeyDialog(search, insertMode ? "Jump Insert" : "Jump To",
                "&Record to Jump To:", LangFont(lang), lang && lang->Utf8(), parent),
      m_langs(langs) {
    KeyEdit()->setObjectName("jumpKey");
    auto* langRow = new QFormLayout;
    m_lang = new QComboBox(this);
    m_lang->setObjectName("jumpLanguage");
    if (langs)
        for (const CLangEncProxy& p : langs->Proxies())
            m_lang->addItem(Q(p.Name()));
    if (lang)
        m_lang->setCurrentText(Q(lang->Name()));
    langRow->addRow("&Language Encoding:", m_lang);
    Rows()->insertLayout(2, langRow);
    connect(m_lang, &QComboBox::currentTextChanged, this, [this] {
        CLangEnc* chosen = m_langs ? m_langs->Find(S(m_lang->currentText())) : nullptr;
        SetKeyLanguage(LangFont(chosen), chosen && chosen->Utf8());
    });
    if (editPath) {
        QPushButton* path = ButtonBox()->addButton("&Jump Path...", QDialogButtonBox::ActionRole);
        connect(path, &QPushButton::clicked, this,
                [editPath = std::move(editPath)] { editPath(); });
    }
}

bool QtJumpDialogs::JumpTo(CKeySearch& search, bool insertMode, const CLangEnc* lang) {
    if (lang)
        m_lang = lang;
    JumpToDialog dialog(search, insertMode, m_lang, m_langs, m_editPath, m_parent);
    return dialog.exec() == QDialog::Accepted && dialog.Result(search);
}

CJumpDialogs::Choice QtJumpDialogs::NoMatches(const CKeySearch& search, bool canInsert) {
    return AskNoMatches(m_parent, FieldText(search.key, m_lang && m_lang->Utf8()), canInsert);
}

CJumpDialogs::Choice QtJumpDialogs::MultipleMatches(const std::vector<CJumpMatch>& matches,
                                                    const std::vector<std::string>& rows,
                                                    bool canInsert, std::size_t& row) {
    const CMarker* shown =
        matches.empty() || !matches[0].index ? nullptr : matches[0].index->PriMarker();
    const bool utf8 = MarkerIsUtf8(shown);
    auto texts = [utf8](const std::vector<std::string>& made) {
        QStringList out;
        for (const std::string& r : made)
            out.push_back(FieldText(r, utf8).replace('\t', "    "));
        return out;
    };
    MultipleMatchesDialog dialog(texts(rows), MarkerFont(shown), canInsert, false, m_parent);
    CDatabaseType* type = matches.empty() ? nullptr : matches[0].db->Type();
    if (!m_dbs || !m_options || !type)
        return dialog.Choose(row);
    std::vector<CMarker*> markers{nullptr};
    QStringList names{"[none]"};
    for (CMarker& m : type->MarkerSet()) {
        markers.push_back(&m);
        names.push_back(Q(m.Name()));
    }
    CMarker* const before = type->MultipleMatchMarker();
    auto at = std::find(markers.begin(), markers.end(), before);
    dialog.AddViewChoices(names, at == markers.end() ? 0 : static_cast<int>(at - markers.begin()),
                          m_options->showWholePath, [&](int marker, bool showPath) {
                              type->SetMultipleMatchMarker(markers[static_cast<std::size_t>(
                                  std::clamp(marker, 0, static_cast<int>(markers.size()) - 1))]);
                              return texts(MultipleMatchRows(matches, *m_dbs, showPath));
                          });
    Choice choice = dialog.Choose(row);
    // What the rows show is kept whichever button closed the list.
    m_options->showWholePath = dialog.ShowPath()->isChecked();
    if (type->MultipleMatchMarker() != before && m_types)
        m_types->Write(*type);
    return choice;
}

std::optional<std::size_t> QtJumpDialogs::SelectDatabase(const std::vector<std::string>& names) {
    QStringList items;
    for (const std::string& n : names)
        items.push_back(Q(n));
    bool ok = false;
    QString chosen = QInputDialog::getItem(
        m_parent, "Select Database", "&Database to insert record into:", items, 0, false, &ok);
    if (!ok)
        return std::nullopt;
    const auto at = items.indexOf(chosen);
    return at < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(at));
}

// ---------------------------------------------------------------- Jump Path

JumpPathDialog::JumpPathDialog(const CDbRefList& path, std::string base, COpenDatabases& dbs,
                               CProjectOptions* options, QWidget* parent)
    : QDialog(parent),
      m_editor(path, std::move(base), dbs, options ? options->showWholePath : false),
      m_options(options) {
    setWindowTitle("Jump Path");
    auto* grid = new QGridLayout(this);
    auto* availLabel = new QLabel("&Available\nDatabases", this);
    m_available = new QListWidget(this);
    m_available->setObjectName("availableDatabases");
    availLabel->setBuddy(m_available);
    auto* fieldLabel = new QLabel("Field to &Search", this);
    m_fields = new QComboBox(this);
    m_fields->setObjectName("fieldToSearch");
    fieldLabel->setBuddy(m_fields);
    auto* pathLabel = new QLabel("Databases\nIn &Path", this);
    m_inPath = new QTreeWidget(this);
    m_inPath->setObjectName("databasesInPath");
    m_inPath->setRootIsDecorated(false);
    m_inPath->setHeaderLabels({"Database", "Field to Search"});
    m_inPath->header()->setStretchLastSection(false);
    m_inPath->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_inPath->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    pathLabel->setBuddy(m_inPath);

    auto* buttons = new QVBoxLayout;
    auto add = [&](const char* text, const char* name, std::function<void()> fn) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, [this, fn = std::move(fn)] {
            fn();
            Refill();
        });
        buttons->addWidget(b);
    };
    auto refuse = [](bool added) {
        if (!added)
            platform().ShowMessage("That database is already in the jump path.");
    };
    add("&First >", "pathFirst", [this, refuse] {
        if (AvailableRow() >= 0)
            refuse(m_editor.AddFirst(static_cast<std::size_t>(AvailableRow()), ChosenMarker()));
    });
    add("&Last >", "pathLast", [this, refuse] {
        if (AvailableRow() >= 0)
            refuse(m_editor.AddLast(static_cast<std::size_t>(AvailableRow()), ChosenMarker()));
    });
    add("&Insert >", "pathInsert", [this, refuse] {
        const int row = m_inPath->indexOfTopLevelItem(m_inPath->currentItem());
        if (AvailableRow() >= 0)
            refuse(m_editor.InsertBefore(row < 0 ? m_editor.InPath().size()
                                                 : static_cast<std::size_t>(row),
                                         static_cast<std::size_t>(AvailableRow()), ChosenMarker()));
    });
    add("< &Remove", "pathRemove", [this] {
        const int row = m_inPath->indexOfTopLevelItem(m_inPath->currentItem());
        if (row >= 0)
            m_editor.Remove(static_cast<std::size_t>(row));
    });
    add("< &Clear", "pathClear", [this] { m_editor.Clear(); });
    buttons->addStretch();

    grid->addWidget(availLabel, 0, 0);
    grid->addWidget(m_available, 1, 0);
    grid->addWidget(fieldLabel, 2, 0);
    grid->addWidget(m_fields, 3, 0);
    grid->addLayout(buttons, 1, 1, 3, 1);
    grid->addWidget(pathLabel, 0, 2);
    grid->addWidget(m_inPath, 1, 2, 3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 2);
    m_wholePath = new QCheckBox("Show &Whole Path", this);
    m_wholePath->setChecked(m_editor.ShowWholePath());
    connect(m_wholePath, &QCheckBox::toggled, this, [this](bool on) {
        m_editor.SetShowWholePath(on);
        Refill();
    });
    m_warnClose =
        new QCheckBox("&Notify me before closing a database referenced by a jump path", this);
    m_warnClose->setChecked(options && options->warnDocClose);
    m_wholePath->setEnabled(options != nullptr);
    m_warnClose->setEnabled(options != nullptr);
    grid->addWidget(m_wholePath, 4, 0, 1, 3);
    grid->addWidget(m_warnClose, 5, 0, 1, 3);
    auto* box = OkCancelButtons(this);
    grid->addWidget(box, 6, 0, 1, 3);
    connect(m_available, &QListWidget::currentRowChanged, this, [this] { FillFields(); });
    Refill();
    resize(640, 360);
}

int JumpPathDialog::AvailableRow() const { return m_available->currentRow(); }

std::string JumpPathDialog::ChosenMarker() const {
    // The first field offered is the record marker, which the reference leaves unnamed.
    return m_fields->currentIndex() <= 0 ? std::string() : S(m_fields->currentText());
}

void JumpPathDialog::FillFields() {
    m_fields->clear();
    if (AvailableRow() < 0)
        return;
    for (const std::string& m : m_editor.FieldsOf(static_cast<std::size_t>(AvailableRow())))
        m_fields->addItem(Q(m));
}

void JumpPathDialog::Refill() {
    const int avail = std::max(AvailableRow(), 0);
    const int row = m_inPath->indexOfTopLevelItem(m_inPath->currentItem());
    const QString field = m_fields->currentText();
    m_available->clear();
    for (const std::string& a : m_editor.Available())
        m_available->addItem(Q(a));
    m_available->setCurrentRow(std::min(avail, m_available->count() - 1));
    m_fields->setCurrentText(field);
    m_inPath->clear();
    for (const std::string& line : m_editor.InPath()) {
        const auto tab = line.find('\t');
        m_inPath->addTopLevelItem(
            new QTreeWidgetItem({Q(line.substr(0, tab)),
                                 tab == std::string::npos ? QString() : Q(line.substr(tab + 1))}));
    }
    if (m_inPath->topLevelItemCount() > 0)
        m_inPath->setCurrentItem(
            m_inPath->topLevelItem(std::clamp(row, 0, m_inPath->topLevelItemCount() - 1)));
}

bool JumpPathDialog::Apply(CDbRefList& path) {
    if (m_options) {
        m_options->showWholePath = m_wholePath->isChecked();
        m_options->warnDocClose = m_warnClose->isChecked();
    }
    return m_editor.Apply(path);
}

} // namespace crv::gui
