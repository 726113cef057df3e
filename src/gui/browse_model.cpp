#include "gui/browse_model.h"

#include <QBrush>
#include <QFontMetrics>

#include "engine/index.h"
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

BrowseModel::BrowseModel(QObject* parent) : QAbstractTableModel(parent) {}

void BrowseModel::SetIndex(CIndex* index) {
    beginResetModel();
    m_index = index;
    m_fonts.clear();
    m_utf8.clear();
    for (int c = 0; c < static_cast<int>(m_columns.size()); ++c) {
        m_fonts.push_back(MarkerFont(ColumnMarker(c)));
        m_utf8.push_back(MarkerIsUtf8(ColumnMarker(c)));
    }
    endResetModel();
}

void BrowseModel::SetColumns(std::vector<BrowseColumn> columns, CBrowseTexts texts) {
    m_columns = std::move(columns);
    m_texts = std::move(texts);
    SetIndex(m_index);
}

void BrowseModel::Refresh() {
    beginResetModel();
    endResetModel();
}

CMarker* BrowseModel::ColumnMarker(int column) const {
    const BrowseColumn& c = m_columns[column];
    if (c.marker)
        return c.marker;
    return m_index ? m_index->PriMarker() : nullptr;
}

int BrowseModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_index)
        return 0;
    return static_cast<int>(m_index->Count());
}

int BrowseModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant BrowseModel::data(const QModelIndex& index, int role) const {
    if (!m_index || !index.isValid() || index.column() >= static_cast<int>(m_columns.size()))
        return {};
    const BrowseColumn& column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const CIndexEntry* entry = m_index->EntryAt(static_cast<std::size_t>(index.row()));
        if (!entry)
            return {};
        QString text =
            FieldText(BrowseCellText(*entry, column.marker, m_texts), m_utf8[index.column()]);
        // A field of several lines is shown on one: its line breaks as spaces.
        if (role == Qt::DisplayRole)
            text.replace('\n', ' ');
        return text;
    }
    case Qt::ForegroundRole: {
        // The stand-in texts for no field and an empty field are set apart from data.
        const CIndexEntry* entry = m_index->EntryAt(static_cast<std::size_t>(index.row()));
        if (!entry)
            return {};
        std::string text = BrowseCellText(*entry, column.marker, m_texts);
        if ((!m_texts.noField.empty() && text == m_texts.noField) ||
            (!m_texts.empty.empty() && text == m_texts.empty))
            return QBrush(Qt::gray);
        return {};
    }
    case Qt::FontRole:
        return m_fonts[index.column()];
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
    CMarker* marker = ColumnMarker(section);
    return marker ? Q("\\" + marker->Name()) : QVariant();
}

int BrowseModel::RowHeight() const {
    int height = QFontMetrics(QFont()).height();
    for (const QFont& f : m_fonts)
        height = std::max(height, QFontMetrics(f).height());
    return height + 4;
}

} // namespace crv::gui
