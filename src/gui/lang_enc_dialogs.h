// The language encoding editors: "Language Encoding Properties - %1" (options, sort
// orders, variables, case associations, characters) working on a copy that OK carries
// over, and the project's list of encodings with New, Copy, Delete and Properties.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "schema/lang_enc_edit.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QTreeWidget;

namespace crv::gui {

class LangEncSheet : public QDialog {
    Q_OBJECT
public:
    explicit LangEncSheet(CLangEnc& enc, QWidget* parent = nullptr);
    ~LangEncSheet() override;

    CLangEncEdit& Edit() { return *m_edit; }
    QTabWidget* Tabs() const { return m_tabs; }
    QPlainTextEdit* Description() const { return m_description; }
    QComboBox* Keyboard() const { return m_keyboard; }
    QCheckBox* Utf8() const { return m_utf8; }
    QComboBox* DefaultOrder() const { return m_defaultOrder; }
    QListWidget* SortOrders() const { return m_orders; }
    QListWidget* Variables() const { return m_vars; }
    QLineEdit* VarName() const { return m_varName; }
    QPlainTextEdit* VarChars() const { return m_varChars; }
    QPlainTextEdit* CaseText() const { return m_case; }
    QTreeWidget* Characters() const { return m_chars; }

    // Carries the sheet over to the encoding (announced and written), then closes.
    void accept() override;

private:
    QWidget* OptionsPage();
    QWidget* SortOrdersPage();
    QWidget* VariablesPage();
    QWidget* CasePage();
    QWidget* CharactersPage();
    void Refill();
    void FillOrders();
    void FillVars();
    void FillChars();
    void ShowFont();
    void ChooseFont();
    void AdvancedOptions();
    // Takes the case text into the working copy; false with the problems shown.
    bool TakeCase();
    CSortOrder* SelectedOrder() const;
    void EditOrder(CSortOrder* so, bool copy);
    void DeleteOrder();
    CVar* SelectedVar() const;
    // Adds a variable (var null) or changes var from the name and characters shown.
    void StoreVar(CVar* var);
    void DeleteVar();
    void AddUnit(bool copy);

    std::unique_ptr<CLangEncEdit> m_edit;
    QTabWidget* m_tabs;
    QPlainTextEdit* m_description = nullptr;
    QComboBox* m_keyboard = nullptr;
    QLabel* m_fontName = nullptr;
    QCheckBox* m_utf8 = nullptr;
    QCheckBox* m_multiChar = nullptr;
    QCheckBox* m_dbcs = nullptr;
    QComboBox* m_defaultOrder = nullptr;
    QListWidget* m_orders = nullptr;
    QListWidget* m_vars = nullptr;
    QLineEdit* m_varName = nullptr;
    QPlainTextEdit* m_varChars = nullptr;
    QPlainTextEdit* m_case = nullptr;
    std::string m_caseTaken; // the case text the working copy holds
    QTreeWidget* m_chars = nullptr;
};

// The project's language encodings. changed is called after an encoding's sheet was
// confirmed (open windows redraw).
class LangEncListDialog : public QDialog {
    Q_OBJECT
public:
    LangEncListDialog(CLangEncSet& set, std::function<void()> changed, QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }

private:
    void Fill(const QString& select = {});
    CLangEnc* Selected() const;
    void AddEncoding(bool copy);
    void DeleteEncoding();
    void Properties();

    CLangEncSet* m_set;
    std::function<void()> m_changed;
    QListWidget* m_list;
};

} // namespace crv::gui
