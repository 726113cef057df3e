// The marker dialogs of a database type: a marker's properties (new or existing; OK
// renames or merges with their questions), its range set, and the marker list page of
// the type's properties sheet.
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>
#include <optional>
#include <string_view>

#include "schema/marker.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;

namespace crv {
class CDatabaseType;
class CDocManager;
} // namespace crv

namespace crv::gui {

// Settings texts the user edits (names, descriptions, templates, range sets) may hold the
// bytes of an older encoding: they are shown by the display rule and written back in the
// encoding they were shown in, so that an unchanged text keeps its bytes. SettingsBytes
// is false, with the message shown, for a character that cannot be written so.
QString SettingsText(std::string_view bytes);
bool SettingsBytes(const QString& typed, std::string_view like, std::string& out);

class MarkerPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    // marker null: a new marker named name. docs: the open databases (range sets built
    // from their data).
    MarkerPropertiesDialog(CMarkerSet& set, CMarker* marker, const std::string& name,
                           CDocManager* docs, QWidget* parent = nullptr);
    // After OK: the marker added or changed (the survivor of a merge).
    CMarker* Result() const { return m_result; }
    void accept() override;
    void EditRangeSet();

private:
    // The properties as the dialog shows them; nullopt when a text cannot be written.
    std::optional<CMarkerProperties> Collected() const;
    void ShowRangeSet();

    CMarkerSet& m_set;
    CMarker* m_marker;
    CDocManager* m_docs;
    CMarker* m_result = nullptr;
    CMarkerProperties m_props; // the range set and font as the sub-dialogs left them
    QLineEdit* m_name;
    QLineEdit* m_fieldName;
    QPlainTextEdit* m_description;
    QComboBox* m_langEnc;
    QComboBox* m_parent;
    QComboBox* m_following;
    QCheckBox* m_useLangFont;
    QLineEdit* m_fontText;
    QCheckBox* m_noWrap;
    QCheckBox* m_charStyle;
    QCheckBox* m_hidden;
    QLineEdit* m_rangeSet;
};

// "&Range Set for \mkr  Field name": the elements, words or characters, whether spaces
// are allowed, and building it from the data of the open databases of the type.
class RangeSetDialog : public QDialog {
    Q_OBJECT
public:
    // marker: the marker edited (null for a new one, which has no data to build from).
    RangeSetDialog(const std::string& title, const CMarker* marker, const CMarkerProperties& props,
                   CDocManager* docs, QWidget* parent = nullptr);
    // After OK: the text and flags into props.
    void Store(CMarkerProperties& props) const;
    // The elements' bytes as typed (in the encoding the old text was shown in).
    std::string TextBytes() const;
    void accept() override;
    void BuildFromData();

private:
    void ModeSwitched();
    bool Characters() const;

    const CMarker* m_marker;
    CDocManager* m_docs;
    QPlainTextEdit* m_text;
    QRadioButton* m_words;
    QRadioButton* m_characters;
    QCheckBox* m_allowSpaces;
    bool m_wasCharacters;
    std::string m_like; // the text as it came
};

// The sheet's "Markers" page: the marker list indented by level, with Add and Modify.
// changed runs after each marker OK.
class MarkerListPage : public QWidget {
    Q_OBJECT
public:
    MarkerListPage(CDatabaseType& type, CDocManager* docs, std::function<void()> changed,
                   QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }
    void Add();
    void Modify();
    void Refill(const CMarker* select = nullptr);

private:
    CDatabaseType& m_type;
    CDocManager* m_docs;
    std::function<void()> m_changed;
    QListWidget* m_list;
};

} // namespace crv::gui
