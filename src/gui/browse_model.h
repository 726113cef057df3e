// The browse list as a Qt table model over a record window's CBrowseModel: one row per
// entry of the window's index, one column per browse column of its settings. Cells are
// made when the view asks for them, so a 200,000-entry index costs nothing until it is
// scrolled.
#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <vector>

#include "app/record_view.h"

namespace crv {
class CMarker;
} // namespace crv

namespace crv::gui {

class BrowseModel : public QAbstractTableModel {
    Q_OBJECT
public:
    BrowseModel(CRecordView& view, QObject* parent = nullptr);

    // The rows or columns changed: everything is asked for again.
    void Refresh();
    const std::vector<CBrowseModel::Column>& Columns() const { return m_columns; }
    // Choosing a cell: the window shows that row's record on the cell's field.
    bool ChooseCell(int row, int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The tallest line of the columns' fonts.
    int RowHeight() const;

private:
    CBrowseModel m_model;
    const CBrowseList* m_list;
    std::vector<CBrowseModel::Column> m_columns;
    std::vector<QFont> m_fonts;
    std::vector<bool> m_utf8;
};

// The font a field of marker is shown in: its own, or its language encoding's.
QFont MarkerFont(const CMarker* marker);
// Whether marker's language encoding is marked UTF-8.
bool MarkerIsUtf8(const CMarker* marker);

} // namespace crv::gui
