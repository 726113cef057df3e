// The browse list as a Qt table model: one row per entry of a window's index, one column
// per browse column. Rows are made when the view asks for them, so a 200,000-entry index
// costs nothing until it is scrolled.
#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <vector>

#include "engine/browse_cell.h"

namespace crv {
class CIndex;
class CMarker;
} // namespace crv

namespace crv::gui {

struct BrowseColumn {
    CMarker* marker = nullptr; // null: the entry's own field
    int width = 100;           // pixels
    bool rightJustify = false;
};

class BrowseModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit BrowseModel(QObject* parent = nullptr);

    // What is shown; the model is reset.
    void SetIndex(CIndex* index);
    CIndex* Index() const { return m_index; }
    void SetColumns(std::vector<BrowseColumn> columns, CBrowseTexts texts = {});
    const std::vector<BrowseColumn>& Columns() const { return m_columns; }
    // The records changed in a way the model was not told row by row: everything is
    // asked for again.
    void Refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The tallest line of the columns' fonts.
    int RowHeight() const;

private:
    CMarker* ColumnMarker(int column) const;

    CIndex* m_index = nullptr;
    std::vector<BrowseColumn> m_columns;
    std::vector<QFont> m_fonts;
    std::vector<bool> m_utf8;
    CBrowseTexts m_texts;
};

// The font a field of marker is shown in: its own, or its language encoding's.
QFont MarkerFont(const CMarker* marker);
// Whether marker's language encoding is marked UTF-8.
bool MarkerIsUtf8(const CMarker* marker);

} // namespace crv::gui
