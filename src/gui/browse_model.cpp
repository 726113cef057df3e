#include "gui/browse_model.h"

#include <QBrush>
#include <QFontMetrics>

#include "gui/qt_text.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv::gui {

QFont MarkerFont(const CMarker* marker) {
    if (!marker)
        return QFont();
    if (!marker->UsesLangEncFont())
        return ToQFont(marker->Font());
    if (CLangEnc* enc = marker->LangEnc())
        return ToQFont(enc->Font());
    return QFont();
}

bool MarkerIsUtf8(const CMarker* marker) {
    return marker && marker->LangEnc() && marker->LangEnc()->Utf8();
}

BrowseModel::BrowseModel(CRecordView& view, QObject* parent)
    : QAbstractTableModel(parent), m_model(view), m_list(&view.BrowseColumns()) {
    Refresh();
}

void BrowseModel::Refresh() {
    beginResetModel();
    m_columns = m_model.Columns();
    m_fonts.clear();
    m_utf8.clear();
    for (const CBrowseModel::Column& c : m_columns) {
        m_fonts.push_back(ToQFont(m_model.ColumnFont(c)));
        m_utf8.push_back(MarkerIsUtf8(c.marker));
    }
    endResetModel();
}

bool BrowseModel::ChooseCell(int row, int column) {
    if (row < 0 || column < 0 || column >= static_cast<int>(m_columns.size()))
        return false;
    return m_model.ChooseCell(static_cast<std::size_t>(row),
                              m_columns[static_cast<std::size_t>(column)]);
}

int BrowseModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_model.RowCount());
}

int BrowseModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant BrowseModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= static_cast<int>(m_columns.size()) ||
        static_cast<std::size_t>(index.row()) >= m_model.RowCount())
        return {};
    const auto c = static_cast<std::size_t>(index.column());
    const CBrowseModel::Column& column = m_columns[c];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return FieldText(m_model.CellText(static_cast<std::size_t>(index.row()), column),
                         m_utf8[c]);
    case Qt::ForegroundRole: {
        // The stand-in texts for no field and an empty field are set apart from data.
        std::string text = m_model.CellText(static_cast<std::size_t>(index.row()), column);
        if ((!m_list->noField.empty() && text == m_list->noField) ||
            (!m_list->fieldEmpty.empty() && text == m_list->fieldEmpty))
            return QBrush(Qt::gray);
        return {};
    }
    case Qt::FontRole:
        return m_fonts[c];
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (column.rightJustify ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant BrowseModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= static_cast<int>(m_columns.size()))
        return {};
    return Q(m_columns[static_cast<std::size_t>(section)].title);
}

int BrowseModel::RowHeight() const {
    int height = QFontMetrics(QFont()).height();
    for (const QFont& f : m_fonts)
        height = std::max(height, QFontMetrics(f).height());
    return height + 4;
}

} // namespace crv::gui
