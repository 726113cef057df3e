// The Qt forms of the jump dialogs: "Jump To" (and its Jump Insert form), "No Matches",
// "Multiple Matches" (the key search's chooser), "Select Database", and the jump path
// editor "Jump Path" over the engine's CJumpPathEditor.
#pragma once

#include <QDialog>
#include <functional>

#include "engine/jump.h"
#include "gui/key_search_dialogs.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTreeWidget;

namespace crv {
class CDatabaseTypeSet;
class CLangEncSet;
struct CProjectOptions;
} // namespace crv

namespace crv::gui {

// The key dialog with the key's language and the jump path editor's button.
class JumpToDialog : public KeyDialog {
    Q_OBJECT
public:
    // langs: the encodings offered for the key (may be null); editPath opens the jump
    // path editor (the button is left out without it).
    JumpToDialog(const CKeySearch& search, bool insertMode, const CLangEnc* lang,
                 CLangEncSet* langs, std::function<void()> editPath, QWidget* parent = nullptr);

private:
    QComboBox* m_lang;
    CLangEncSet* m_langs;
};

class QtJumpDialogs : public CJumpDialogs {
public:
    // keyLang: the language of the field the word was taken from.
    QtJumpDialogs(QWidget* parent, CLangEncSet* langs, const CLangEnc* keyLang,
                  std::function<void()> editPath)
        : m_parent(parent), m_langs(langs), m_editPath(std::move(editPath)), m_lang(keyLang) {}
    bool JumpTo(CKeySearch& search, bool insertMode, const CLangEnc* lang) override;
    Choice NoMatches(const CKeySearch& search, bool canInsert) override;
    Choice MultipleMatches(const std::vector<CJumpMatch>& matches,
                           const std::vector<std::string>& rows, bool canInsert,
                           std::size_t& row) override;
    std::optional<std::size_t> SelectDatabase(const std::vector<std::string>& names) override;
    // Multiple Matches then offers "Additional field to view" (the first match's type's
    // mkrMultipleMatchShow, written to its file when changed) and "Show path" (the
    // project's ShowWholePath).
    void SetMatchView(COpenDatabases* dbs, CProjectOptions* options, CDatabaseTypeSet* types) {
        m_dbs = dbs;
        m_options = options;
        m_types = types;
    }

private:
    QWidget* m_parent;
    CLangEncSet* m_langs;
    COpenDatabases* m_dbs = nullptr;
    CProjectOptions* m_options = nullptr;
    CDatabaseTypeSet* m_types = nullptr;
    std::function<void()> m_editPath;
    const CLangEnc* m_lang; // the key's, for the later dialogs
};

// "Jump Path": OK puts the edited path into path and the two project switches into
// options; whether the path changed.
class JumpPathDialog : public QDialog {
    Q_OBJECT
public:
    JumpPathDialog(const CDbRefList& path, std::string base, COpenDatabases& dbs,
                   CProjectOptions* options, QWidget* parent = nullptr);
    bool Apply(CDbRefList& path);

    QListWidget* Available() const { return m_available; }
    QComboBox* Fields() const { return m_fields; }
    QTreeWidget* InPath() const { return m_inPath; }

private:
    void Refill();
    void FillFields();
    std::string ChosenMarker() const;
    int AvailableRow() const;

    CJumpPathEditor m_editor;
    CProjectOptions* m_options;
    QListWidget* m_available;
    QComboBox* m_fields;
    QTreeWidget* m_inPath;
    QCheckBox* m_wholePath;
    QCheckBox* m_warnClose;
};

} // namespace crv::gui
