// A database type's settings in the desktop program: the properties sheet ("Options",
// markers, filters, jump path, interlinear and export processes), "New Database Type",
// the "Database Types" list (new, copy, delete, properties) and their menu commands.
// The list pages act at once through their own dialogs, as those dialogs do elsewhere:
// each OK there is written to the type's file (for a type being made, only when the sheet
// is confirmed). The sheet's own OK stores the "Options" page; its Cancel drops that.
#pragma once

#include <QDialog>
#include <QObject>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;

namespace crv {
class CDatabaseType;
class CIndex;
class CProject;
class CRecord;
} // namespace crv

namespace crv::gui {

class FilterListPage;
class MainWindow;
class MarkerListPage;

class TypePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    // isNew: the type is being made (nothing is written until it joins the set). base:
    // the active window's unfiltered index when it is of this type (the filters' live
    // count), else null; current: that window's record (the template can be set from
    // it), else null.
    TypePropertiesDialog(CDatabaseType& type, CProject& project, bool isNew,
                         std::function<const CIndex*()> base,
                         std::function<const CRecord*()> current, QWidget* parent = nullptr);
    QTabWidget* Tabs() const { return m_tabs; }
    MarkerListPage* Markers() const { return m_markers; }
    FilterListPage* Filters() const { return m_filters; }
    void accept() override;

private:
    QWidget* OptionsPage();
    QWidget* ProcessesPage();
    QWidget* ExportPage();
    QWidget* JumpPathPage();
    void FillMarkerChoices();
    // After a list page's OK: written (unless new) and the windows told.
    void Committed();

    CDatabaseType& m_type;
    CProject& m_project;
    bool m_new;
    QTabWidget* m_tabs;
    MarkerListPage* m_markers = nullptr;
    FilterListPage* m_filters = nullptr;
    QPlainTextEdit* m_description = nullptr;
    QComboBox* m_dateStamp = nullptr;
    QComboBox* m_multipleMatch = nullptr;
    QSpinBox* m_interlinWidth = nullptr;
    QPlainTextEdit* m_template = nullptr;
    std::string m_templateLike; // the template whose encoding the text box shows
    std::function<const CRecord*()> m_current;
    QCheckBox* m_polylex = nullptr;
    QListWidget* m_processes = nullptr;
    QListWidget* m_exports = nullptr;
};

// "New Database Type": "&Name:" and "&Record Marker:"; OK checks them (the refused
// field selected).
class NewTypeDialog : public QDialog {
    Q_OBJECT
public:
    NewTypeDialog(CProject& project, QWidget* parent = nullptr);
    QLineEdit* Name() const { return m_name; }
    QLineEdit* RecordMarker() const { return m_record; }
    void accept() override;

private:
    CProject& m_project;
    QLineEdit* m_name;
    QLineEdit* m_record;
};

// The menu commands: File > Project > "Database &Types..." (the list of the project's
// types) and Database > "Database Type &Properties..." (the active window's type).
class TypeCommands : public QObject {
    Q_OBJECT
public:
    TypeCommands(MainWindow& main, QMenu* project, QMenu* database);
    void TypeList();
    void ActiveTypeProperties();
    // The new type made through "New Database Type" and its sheet; null when cancelled.
    CDatabaseType* NewType(QWidget* parent);
    // The sheet of type; true when confirmed.
    bool Properties(CDatabaseType& type, QWidget* parent);

private:
    CProject* Project() const;
    const CIndex* ActiveIndexOf(const CDatabaseType& type) const;

    MainWindow& m_main;
};

// Tells the windows on databases of type to redraw (markers, fonts and names changed).
void RedrawWindowsOf(CProject& project, const CDatabaseType& type);

} // namespace crv::gui
