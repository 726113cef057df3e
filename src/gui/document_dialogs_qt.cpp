#include "gui/document_dialogs_qt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "base/platform.h"
#include "gui/form_rows.h"
#include "gui/qt_text.h"
#include "schema/database_type.h"

namespace crv::gui {

ImportDialog::ImportDialog(CImportDialog& logic, QWidget* parent)
    : QDialog(parent), m_logic(&logic) {
    setWindowTitle("Import");
    auto* grid = new QGridLayout(this);
    int row = 0;
    if (logic.Mode() == ImportMode::TypeMissing)
        grid->addWidget(new QLabel(Q(logic.MissingTypeText()), this), row++, 0, 1, 3);
    grid->addWidget(new QLabel(Q(logic.SourcePath()), this), row++, 0, 1, 3);
    auto* sourceLabel = new QLabel("Source File", this);
    auto* source = new QPlainTextEdit(FieldText(logic.Preview()), this);
    source->setReadOnly(true);
    source->setLineWrapMode(QPlainTextEdit::NoWrap);
    source->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    grid->addWidget(sourceLabel, row++, 0, 1, 3);
    grid->addWidget(source, row++, 0, 1, 3);

    m_types = new QComboBox(this);
    for (const std::string& item : logic.TypeItems())
        m_types->addItem(Q(item));
    m_types->setCurrentIndex(m_types->findText(Q(logic.typeName)));
    auto* typeLabel = new QLabel("Database &Type:", this);
    typeLabel->setBuddy(m_types);
    grid->addWidget(typeLabel, row, 0);
    grid->addWidget(m_types, row++, 1, 1, 2);
    connect(m_types, &QComboBox::activated, this, [this](int i) {
        if (m_types->itemText(i) == QString(CImportDialog::kAddTypeItem))
            AddType();
    });

    m_useTable = new QCheckBox("&Use Change Table:", this);
    m_useTable->setChecked(logic.useChangeTable);
    m_table = new QLabel(this);
    auto* choose = new QPushButton("C&hoose...", this);
    connect(choose, &QPushButton::clicked, this, &ImportDialog::ChooseTable);
    grid->addWidget(m_useTable, row, 0);
    grid->addWidget(m_table, row, 1);
    grid->addWidget(choose, row++, 2);
    m_indent = new QCheckBox("&Remove hanging indent spaces", this);
    m_indent->setChecked(logic.removeIndent);
    grid->addWidget(m_indent, row++, 0, 1, 3);
    m_backup = new QCheckBox("Backup &original as *.ORI", this);
    m_backup->setChecked(logic.backupOriginal);
    grid->addWidget(m_backup, row++, 0, 1, 3);
    for (QWidget* w : {static_cast<QWidget*>(m_useTable), static_cast<QWidget*>(choose),
                       static_cast<QWidget*>(m_indent), static_cast<QWidget*>(m_backup)})
        w->setEnabled(logic.OptionsEnabled());
    ShowTable();

    auto* box = OkCancelButtons(this);
    grid->addWidget(box, row, 0, 1, 3);
    resize(560, 480);
}

void ImportDialog::ShowTable() { m_table->setText(Q(m_logic->ChangeTableDisplayName())); }

void ImportDialog::ChooseTable() {
    if (m_logic->ChooseChangeTable()) {
        m_useTable->setChecked(true);
        ShowTable();
    }
}

void ImportDialog::AddType() {
    TextRequest name{"Add a new Database Type", "Database type &name:", ""};
    TextRequest marker{"Add a new Database Type", "&Record marker:", ""};
    auto typed = platform().InputText(name);
    auto mkr = typed ? platform().InputText(marker) : std::nullopt;
    CDatabaseType* type = mkr ? m_logic->AddNewType(*typed, *mkr) : nullptr;
    m_types->clear();
    for (const std::string& item : m_logic->TypeItems())
        m_types->addItem(Q(item));
    m_types->setCurrentIndex(type ? m_types->findText(Q(type->Name())) : -1);
}

void ImportDialog::accept() {
    QString type = m_types->currentText();
    m_logic->typeName = type == QString(CImportDialog::kAddTypeItem) ? std::string() : S(type);
    m_logic->useChangeTable = m_useTable->isChecked();
    m_logic->removeIndent = m_indent->isChecked();
    m_logic->backupOriginal = m_backup->isChecked();
    if (m_logic->Confirm())
        QDialog::accept();
}

bool QtDocumentDialogs::RunImportDialog(CImportDialog& dialog) {
    ImportDialog window(dialog, m_parent);
    return window.exec() == QDialog::Accepted;
}

bool QtDocumentDialogs::TypeNotFound(std::string_view text) {
    platform().Beep();
    QMessageBox box(QMessageBox::Warning, "Database Type Not Found", Q(text), QMessageBox::NoButton,
                    m_parent);
    QPushButton* import = box.addButton("&Import as a Different Type", QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel));
    box.exec();
    return box.clickedButton() == import;
}

std::optional<std::string> QtDocumentDialogs::NewDatabasePath() {
    // The file dialog asks before an existing file is replaced.
    FileRequest r;
    r.title = "Enter the name for the new database";
    r.filter = "All files (*.*)|*.*||";
    r.save = true;
    r.mustExist = false;
    return platform().ChooseFile(r);
}

} // namespace crv::gui
