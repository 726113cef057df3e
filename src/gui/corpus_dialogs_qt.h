// The forms of the corpus tools: Create Word List, Concordance, Text Corpora and Text
// Corpus Properties with its files list. Each draws its logic's choices and, on OK,
// hands the edits back; a refusal keeps the form open.
#pragma once

#include <QDialog>

#include "corpus/corpus_dialogs.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace crv::gui {

class WordListDialogQt : public QDialog {
    Q_OBJECT
public:
    explicit WordListDialogQt(CWordListDialog& logic, QWidget* parent = nullptr);
    QComboBox* Corpus() const { return m_corpus; }
    QLineEdit* Output() const { return m_output; }
    QCheckBox* Counts() const { return m_counts; }
    QCheckBox* Refs() const { return m_refs; }
    void accept() override;

private:
    CWordListDialog& m_logic;
    QComboBox* m_corpus;
    QLineEdit* m_output;
    QCheckBox* m_counts;
    QCheckBox* m_refs;
    QCheckBox* m_limit;
    QSpinBox* m_max;
};

class ConcordanceDialogQt : public QDialog {
    Q_OBJECT
public:
    explicit ConcordanceDialogQt(CConcordanceDialog& logic, QWidget* parent = nullptr);
    QComboBox* Corpus() const { return m_corpus; }
    QLineEdit* Search() const { return m_search; }
    QButtonGroup* Kinds() const { return m_kinds; }
    QLineEdit* Output() const { return m_output; }
    void accept() override;

private:
    CConcordanceDialog& m_logic;
    QComboBox* m_corpus;
    QLineEdit* m_search;
    QButtonGroup* m_kinds;
    QCheckBox* m_matchCase;
    QCheckBox* m_limit;
    QSpinBox* m_max;
    QLineEdit* m_output;
};

// "Text Corpus Properties", with the files list edited in place (the file chooser, then
// First, Last or Insert; Remove, Clear).
class CorpusPropertiesDialogQt : public QDialog {
    Q_OBJECT
public:
    explicit CorpusPropertiesDialogQt(CCorpusPropertiesDialog& logic, QWidget* parent = nullptr);
    QLineEdit* Name() const { return m_name; }
    QListWidget* Files() const { return m_files; }
    // Choose... then Last, as the buttons do.
    void ChooseAndPlace(int where); // 0 first, 1 last, 2 insert
    void accept() override;

private:
    void ShowFiles();

    CCorpusPropertiesDialog& m_logic;
    CFilesListEditor m_editor;
    QLineEdit* m_name;
    QComboBox* m_lang;
    QListWidget* m_files;
    QLineEdit* m_words;
    QLineEdit* m_book;
    QLineEdit* m_chapter;
    QLineEdit* m_verse;
};

// "Text Corpora": the project's corpora, added, copied, modified and deleted.
class CorpusListDialogQt : public QDialog {
    Q_OBJECT
public:
    CorpusListDialogQt(CCorpusSet& set, std::vector<std::string> langEncNames,
                       QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }

private:
    void Fill(const std::string& select);
    std::string Current() const;

    CCorpusListDialog m_logic;
    QListWidget* m_list;
};

} // namespace crv::gui
