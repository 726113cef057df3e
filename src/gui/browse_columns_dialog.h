// The browse-columns dialog ("View and modify list of fields to browse"): which markers
// the browse list shows, in which order, how wide and aligned, and the texts shown for
// a missing and for an empty field.
#pragma once

#include <QDialog>

#include "app/window_settings.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace crv {
class CMarkerSet;
}

namespace crv::gui {

class BrowseColumnsDialog : public QDialog {
    Q_OBJECT
public:
    BrowseColumnsDialog(const CMarkerSet& markers, const CBrowseList& list,
                        QWidget* parent = nullptr);
    // The list as the dialog leaves it (after OK).
    CBrowseList Result() const { return m_list; }

    QListWidget* Available() const { return m_available; }
    QListWidget* Columns() const { return m_columns; }
    QSpinBox* Width() const { return m_width; }
    QCheckBox* RightJustify() const { return m_right; }

    void AddColumn();
    void RemoveColumn();
    void MoveColumn(int step);

private:
    void FillColumns(int current);
    void ShowCurrent();
    void accept() override;

    CBrowseList m_list;
    QListWidget* m_available;
    QListWidget* m_columns;
    QSpinBox* m_width;
    QCheckBox* m_right;
    QLineEdit* m_empty;
    QLineEdit* m_noField;
};

} // namespace crv::gui
