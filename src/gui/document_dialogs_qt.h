// The dialogs documents show, as windows: the import dialog with its choices and
// "Database Type Not Found". The others are file and item choices of the platform
// services.
#pragma once

#include <QDialog>

#include "app/document_dialogs.h"
#include "app/import_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace crv::gui {

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(CImportDialog& logic, QWidget* parent = nullptr);
    QComboBox* Types() const { return m_types; }
    QCheckBox* UseTable() const { return m_useTable; }
    QCheckBox* RemoveIndent() const { return m_indent; }
    QCheckBox* Backup() const { return m_backup; }

    void accept() override;

private:
    void ChooseTable();
    void AddType();
    void ShowTable();

    CImportDialog* m_logic;
    QComboBox* m_types;
    QCheckBox* m_useTable;
    QLabel* m_table;
    QCheckBox* m_indent;
    QCheckBox* m_backup;
};

class QtDocumentDialogs : public CPlatformDocumentDialogs {
public:
    explicit QtDocumentDialogs(QWidget* parent) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }
    bool RunImportDialog(CImportDialog& dialog) override;
    bool TypeNotFound(std::string_view text) override;
    std::optional<std::string> NewDatabasePath() override;

private:
    QWidget* m_parent;
};

} // namespace crv::gui
