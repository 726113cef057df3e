// The Find and Replace dialog over a record window: the text to find (with the
// project's history), where to look, how to match, and with Replace the replacement.
// The settings are the project's; the searching and replacing are the view's.
#pragma once

#include <QDialog>

#include "app/find_settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QRadioButton;

namespace crv {
class CRecordView;
}

namespace crv::gui {

class FindDialog : public QDialog {
    Q_OBJECT
public:
    FindDialog(CRecordView& view, CFindSettings& settings, bool replace, QWidget* parent = nullptr);

    QComboBox* Text() const { return m_text; }
    QComboBox* Replacement() const { return m_replace; }
    QComboBox* Field() const { return m_field; }
    QComboBox* Language() const { return m_lang; }
    QRadioButton* FieldChoice() const { return m_inField; }
    QRadioButton* LanguageChoice() const { return m_inLang; }
    QCheckBox* WholeWord() const { return m_whole; }
    QRadioButton* RecordOnly() const { return m_record; }
    QRadioButton* WholeDatabase() const { return m_database; }

    // The buttons: Find Next (the dialog's OK), Replace, Replace All.
    void FindNext();
    void Replace();
    void ReplaceAll();

private:
    // The dialog's choices into the settings; false (after a message) when the text to
    // find is empty or cannot be written in its language.
    bool Store(std::string& text, std::string& lang);

    CRecordView& m_view;
    CFindSettings& m_settings;
    QComboBox* m_text;
    QComboBox* m_replace = nullptr;
    QRadioButton* m_inField;
    QRadioButton* m_inLang;
    QComboBox* m_field;
    QComboBox* m_lang;
    QRadioButton* m_record;
    QRadioButton* m_database;
    QCheckBox* m_whole;
    QButtonGroup* m_levels;
};

} // namespace crv::gui
