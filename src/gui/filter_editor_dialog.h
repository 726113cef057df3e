// The filters of a database type: "Filter Properties" (name, element sequence with every
// element kind, match options, and a live count of the active window's records that
// pass), the small dialogs of the text and date elements, and the filter list page of
// the type's properties sheet.
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>
#include <memory>

#include "engine/filter_dialog.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace crv {
class CIndex;
}

namespace crv::gui {

class FilterEditorDialog : public QDialog {
    Q_OBJECT
public:
    // editing: the filter changed on OK (null: a new one, or a copy of copyOf). base: the
    // active window's unfiltered index for the live count (null: none shown).
    FilterEditorDialog(CFilterSet& filters, CFilter* editing, const CFilter* copyOf,
                       const CIndex* base, QWidget* parent = nullptr);
    // After OK: the filter stored.
    CFilter* Result() const { return m_result; }
    CFilterEditor& Editor() { return m_editor; }
    QListWidget* Elements() const { return m_elements; }
    QListWidget* Choices() const { return m_choices; }
    QLabel* Count() const { return m_count; }
    // The element of the selected choice (its dialog first for the text and date kinds),
    // put first, before the selected element, or last.
    void InsertChoice(int where); // 0 first, 1 before the selected, 2 last
    void ModifySelected();
    void accept() override;

private:
    void Refill(int select);
    void UpdateCount();
    std::unique_ptr<CFilterElement> MakeElement(FilterElementChoice choice,
                                                const CFilterElement* like);

    CFilterSet& m_filters;
    CFilter* m_editing;
    const CIndex* m_base;
    CFilterEditor m_editor;
    CFilter* m_result = nullptr;
    QLineEdit* m_name;
    std::string m_nameLike; // the name as it came
    QListWidget* m_elements;
    QListWidget* m_choices;
    QCheckBox* m_whole;
    QButtonGroup* m_levels = nullptr;
    QLabel* m_count;
};

// "Marker Text Filter Element", "Language Text Filter Element" and "Marker Date": the
// fields of the kind, OK making the element (a refusal shown, the bad text selected).
class FilterElementDialog : public QDialog {
    Q_OBJECT
public:
    FilterElementDialog(const CFilterSet& filters, FilterElementChoice kind,
                        const CFilterElement* like, QWidget* parent = nullptr);
    std::unique_ptr<CFilterElement> TakeElement() { return std::move(m_element); }
    void accept() override;

private:
    const CFilterSet& m_filters;
    FilterElementChoice m_kind;
    std::unique_ptr<CFilterElement> m_element;
    QComboBox* m_which; // the marker or the language
    QLineEdit* m_text;  // the pattern or the date
    QButtonGroup* m_relation = nullptr;
};

// The sheet's "Filters" page: the type's filters with Add, Copy, Modify and Delete.
// base gives the active window's unfiltered index for the live count (null: none);
// changed runs after each change.
class FilterListPage : public QWidget {
    Q_OBJECT
public:
    FilterListPage(CFilterSet& filters, std::function<const CIndex*()> base,
                   std::function<void()> changed, QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }
    void Add();
    void Copy();
    void Modify();
    void Delete();

private:
    void Refill(const CFilter* select);
    CFilter* Selected() const;
    void Edit(CFilter* editing, const CFilter* copyOf);

    CFilterSet& m_filters;
    std::function<const CIndex*()> m_base;
    std::function<void()> m_changed;
    QListWidget* m_list;
};

} // namespace crv::gui
