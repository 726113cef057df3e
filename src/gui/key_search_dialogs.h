// The dialogs of the Search and Record Insert commands: the key dialog with its match
// levels, "No Matches" and "Multiple Matches".
#pragma once

#include <QDialog>
#include <functional>

#include "engine/key_search.h"

class QButtonGroup;
class QDialogButtonBox;
class QVBoxLayout;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;

namespace crv::gui {

// The "Match characters" box with the four match levels, the one of mask chosen (the
// primary level when mask is none of them); levels holds the buttons by their masks.
QGroupBox* MatchLevelBox(QWidget* parent, int mask, QButtonGroup*& levels);

// "No Matches" ("Can't find:" and the key): Insert, Try Again or Cancel (the default);
// Insert only when canInsert.
CKeySearchDialogs::Choice AskNoMatches(QWidget* parent, const QString& key, bool canInsert);

class KeyDialog : public QDialog {
    Q_OBJECT
public:
    // keyMarker: the marker whose language the key is typed in (its font, its bytes).
    KeyDialog(const CKeySearch& search, const QString& title, const QString& prompt,
              const CMarker* keyMarker, QWidget* parent = nullptr);
    // The key typed in font, its bytes UTF-8 when utf8.
    KeyDialog(const CKeySearch& search, const QString& title, const QString& prompt,
              const QFont& font, bool utf8, QWidget* parent = nullptr);
    // The settings as the controls show them; false (with the message shown) when the
    // key holds a character its language cannot be written in.
    bool Result(CKeySearch& search) const;
    QLineEdit* KeyEdit() const { return m_key; }

    void accept() override;

protected:
    // The key is typed in another language: its font, and its bytes shown anew.
    void SetKeyLanguage(const QFont& font, bool utf8);
    // The dialog's rows (prompt, key, match whole, match levels, buttons).
    QVBoxLayout* Rows() const { return m_rows; }
    QDialogButtonBox* ButtonBox() const { return m_box; }

private:
    QVBoxLayout* m_rows;
    QLineEdit* m_key;
    QCheckBox* m_whole;
    QButtonGroup* m_levels;
    QDialogButtonBox* m_box;
    bool m_utf8;
    std::string m_oldKey;
};

class MultipleMatchesDialog : public QDialog {
    Q_OBJECT
public:
    MultipleMatchesDialog(const CIndex& index, const CKeyRecordSet& matches, bool canInsert,
                          QWidget* parent = nullptr);
    // Rows made already (a jump's matches), in font; more: the list was cut short.
    MultipleMatchesDialog(const QStringList& rows, const QFont& font, bool canInsert, bool more,
                          QWidget* parent = nullptr);
    CKeySearchDialogs::Choice choice = CKeySearchDialogs::Choice::Cancel;
    int Row() const;
    QListWidget* List() const { return m_list; }
    // A jump's choices of what the rows show: "Additional &field to view" (markers, the
    // first "[none]") and "&Show path"; remake gives the rows for a choice.
    void AddViewChoices(const QStringList& markers, int marker, bool showPath,
                        std::function<QStringList(int marker, bool showPath)> remake);
    QComboBox* FieldToView() const { return m_field; }
    QCheckBox* ShowPath() const { return m_showPath; }
    // Shows the dialog: the choice, with Take's row in row.
    CKeySearchDialogs::Choice Choose(std::size_t& row);

private:
    void Build(const QStringList& rows, const QFont& font, bool canInsert, bool more);

    QListWidget* m_list = nullptr;
    QComboBox* m_field = nullptr;
    QCheckBox* m_showPath = nullptr;
};

class QtKeySearchDialogs : public CKeySearchDialogs {
public:
    QtKeySearchDialogs(QWidget* parent, const CMarker* keyMarker)
        : m_parent(parent), m_keyMarker(keyMarker) {}
    bool AskKey(CKeySearch& search, std::string_view title, std::string_view prompt) override;
    Choice NoMatches(const CKeySearch& search) override;
    Choice MultipleMatches(const CIndex& index, const CKeyRecordSet& matches, bool canInsert,
                           std::size_t& row) override;

private:
    QWidget* m_parent;
    const CMarker* m_keyMarker;
};

} // namespace crv::gui
