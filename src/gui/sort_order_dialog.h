// "Sort Order Properties": a sort order's name, description, primary groups, secondary
// marks before and after unmarked characters, ignored characters, change table and key
// library, with a live preview: lines the user types, sorted as the order being edited
// would sort them (compiled on a scratch copy of the language encoding).
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "base/note.h"
#include "schema/sort_order.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace crv {
class CLangEnc;
}

namespace crv::gui {

// Settings text (bytes of the encoding) shown in an edit, and typed back to bytes (like:
// what the edit started with, so that untouched characters keep their bytes). False, with
// the message shown, when a character cannot be written in the encoding.
QString ShownBytes(const std::string& bytes, const CLangEnc& enc);
bool TypedSettingsBytes(const QString& typed, const std::string& like, const CLangEnc& enc,
                        std::string& out);

class SortOrderDialog : public QDialog {
    Q_OBJECT
public:
    // apply takes the name and texts on OK; false (with the reason in the note) keeps the
    // dialog open with the message shown. The name is fixed for an existing order.
    using Apply = std::function<bool(const std::string& name, const CSortOrderDef& def, CNote&)>;
    SortOrderDialog(const CLangEnc& enc, const std::string& name, const CSortOrderDef& def,
                    bool nameEditable, Apply apply, QWidget* parent = nullptr);

    QLineEdit* NameEdit() const { return m_name; }
    QPlainTextEdit* PrimaryEdit() const { return m_primary; }
    QPlainTextEdit* BeforeEdit() const { return m_before; }
    QPlainTextEdit* AfterEdit() const { return m_after; }
    QPlainTextEdit* IgnoreEdit() const { return m_ignore; }
    QCheckBox* FollowBase() const { return m_followBase; }
    // The lines to preview, and what they look like sorted (or why they cannot be).
    QPlainTextEdit* PreviewLines() const { return m_lines; }
    QPlainTextEdit* PreviewSorted() const { return m_sorted; }

    void accept() override;

private:
    // The texts as bytes; false (message shown) when one cannot be written.
    bool Definition(CSortOrderDef& def, bool quiet) const;
    void UpdatePreview();

    const CLangEnc* m_enc;
    CSortOrderDef m_start;
    Apply m_apply;
    QLineEdit* m_name;
    QPlainTextEdit* m_description;
    QPlainTextEdit* m_primary;
    QPlainTextEdit* m_before;
    QPlainTextEdit* m_after;
    QCheckBox* m_followBase;
    QPlainTextEdit* m_ignore;
    QLineEdit* m_changeTable;
    QLineEdit* m_keyLibrary;
    QCheckBox* m_binary;
    QPlainTextEdit* m_lines;
    QPlainTextEdit* m_sorted;
    QLabel* m_problem;
};

// Edits the named sort order of enc in its dialog; OK carries the change over to the
// encoding (open windows re-sort) and writes its file. True when it was changed.
bool EditSortOrderOf(CLangEnc& enc, const std::string& name, QWidget* parent);

} // namespace crv::gui
