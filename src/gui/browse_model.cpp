#include "gui/browse_model.h"

#include <QBrush>
#include <QFontMetrics>

#include "app/crv_doc.h"
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
    : QAbstractTableModel(parent), m_view(&view), m_set(&view.Document().Records()), m_model(view),
      m_list(&view.BrowseColumns()) {
    m_set->AddListener(this);
    Refresh();
}

BrowseModel::~BrowseModel() {
    if (m_set)
        m_set->RemoveListener(this);
}

void BrowseModel::OnSetClosing(CIndexSet& set) {
    set.RemoveListener(this);
    m_set = nullptr;
}

void BrowseModel::OnRowsChanging(CIndex& changed, const IndexRowChange& change) {
    if (&changed != &m_view->Index())
        return;
    const int first = static_cast<int>(change.first);
    const int last = first + static_cast<int>(change.count) - 1;
    m_changing = true;
    switch (change.kind) {
    case IndexRowChange::Kind::Insert:
        if (change.count)
            beginInsertRows({}, first, last);
        break;
    case IndexRowChange::Kind::Remove:
        if (change.count)
            beginRemoveRows({}, first, last);
        break;
    case IndexRowChange::Kind::Change:
        break;
    case IndexRowChange::Kind::Reset:
        beginResetModel();
        break;
    }
}

void BrowseModel::OnRowsChanged(CIndex& changed, const IndexRowChange& change) {
    if (&changed != &m_view->Index())
        return;
    const int first = static_cast<int>(change.first);
    const int last = first + static_cast<int>(change.count) - 1;
    m_rows = static_cast<int>(m_model.RowCount());
    switch (change.kind) {
    case IndexRowChange::Kind::Insert:
        if (change.count)
            endInsertRows();
        break;
    case IndexRowChange::Kind::Remove:
        if (change.count)
            endRemoveRows();
        break;
    case IndexRowChange::Kind::Change:
        if (change.count && !m_columns.empty())
            emit dataChanged(index(first, 0), index(last, columnCount() - 1));
        break;
    case IndexRowChange::Kind::Reset:
        endResetModel();
        break;
    }
    m_changing = false;
}

void BrowseModel::RowsTouched() {
    if (m_rows != static_cast<int>(m_model.RowCount())) {
        // A change the notices did not carry: the table starts over rather than show
        // rows the index no longer has.
        Refresh();
        return;
    }
    if (m_rows > 0 && !m_columns.empty())
        emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
}

void BrowseModel::Refresh() {
    beginResetModel();
    m_rows = static_cast<int>(m_model.RowCount());
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
    // Between the notices the index already holds the new rows; the table is told of
    // them at the end.
    return parent.isValid() ? 0 : m_rows;
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
