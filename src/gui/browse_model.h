// The browse list as a Qt table model over a record window's CBrowseModel: one row per
// entry of the window's index, one column per browse column of its settings. Cells are
// made when the view asks for them, so a 200,000-entry index costs nothing until it is
// scrolled. Rows follow the index set's row notices one change at a time, so an insert,
// edit or delete in any window keeps the table's scroll place and selection.
#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <vector>

#include "app/record_view.h"

namespace crv {
class CMarker;
} // namespace crv

namespace crv::gui {

class BrowseModel : public QAbstractTableModel, private CIndexSetListener {
    Q_OBJECT
public:
    BrowseModel(CRecordView& view, QObject* parent = nullptr);
    ~BrowseModel() override;
    BrowseModel(const BrowseModel&) = delete;
    BrowseModel& operator=(const BrowseModel&) = delete;

    // The columns or the window's index changed: everything is asked for again.
    void Refresh();
    // The rows may have changed without a row notice (a redraw, another index): cells
    // are asked for again, and the rows too when their count no longer matches.
    void RowsTouched();
    // True between the notices before and after a change of the rows: the index is
    // being changed and must not be asked or moved in.
    bool Changing() const { return m_changing; }
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
    void OnRowsChanging(CIndex& changed, const IndexRowChange& change) override;
    void OnRowsChanged(CIndex& changed, const IndexRowChange& change) override;
    void OnEntriesRemoving(CIndex&, const std::vector<const CIndexEntry*>&) override {}
    void OnSetClosing(CIndexSet& set) override;

    CRecordView* m_view;
    CIndexSet* m_set;
    CBrowseModel m_model;
    int m_rows = 0; // the rows as the table knows them
    bool m_changing = false;
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
