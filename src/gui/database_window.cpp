#include "gui/database_window.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/crv_doc.h"
#include "engine/filter_dialog.h"
#include "gui/key_search_dialogs.h"
#include "gui/qt_text.h"
#include "gui/sort_dialogs.h"
#include "schema/marker.h"

namespace crv::gui {

// The browse list's table: typing jumps to the first row whose key begins with what
// was typed, matched in the sort order of the window's index.
class BrowseTable : public QTableView {
public:
    BrowseTable(DatabaseWindow* window, QWidget* parent) : QTableView(parent), m_window(window) {}

    void keyboardSearch(const QString& search) override {
        if (m_typed.isValid() && m_typed.elapsed() > QApplication::keyboardInputInterval())
            m_prefix.clear();
        m_typed.start();
        m_prefix += search;
        CKeySearch key;
        std::string message;
        if (!TypedBytes(m_prefix, {}, MarkerIsUtf8(m_window->Index().PriMarker()), key.key,
                        message))
            return;
        CKeyRecordSet matches(m_window->Index(), key);
        if (matches.Found())
            m_window->MoveTo(matches.Matches().front());
    }

private:
    DatabaseWindow* m_window;
    QString m_prefix;
    QElapsedTimer m_typed;
};

DatabaseWindow::DatabaseWindow(CCrvDoc& doc, const DatabaseWindow* like, QWidget* parent)
    : QWidget(parent), m_doc(&doc) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_model = new BrowseModel(this);
    m_table = new BrowseTable(this, this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->setTextElideMode(Qt::ElideRight);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Fixed row heights: the view never measures rows, whatever the index holds.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionsMovable(true);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);

    if (like) {
        m_unfiltered = like->m_unfiltered;
        m_filtered = like->m_filtered;
        m_search = like->m_search;
        m_insert = like->m_insert;
        m_model->SetColumns(like->m_model->Columns());
        m_current = like->m_current;
    } else {
        m_unfiltered = &doc.Records().DefaultIndex();
        m_filtered = m_unfiltered;
        DefaultColumns();
    }
    m_model->SetIndex(m_filtered.Get());
    m_table->verticalHeader()->setDefaultSectionSize(m_model->RowHeight());
    for (int c = 0; c < static_cast<int>(m_model->Columns().size()); ++c)
        m_table->setColumnWidth(c, m_model->Columns()[c].width);
    doc.AddView(this);
    doc.Records().AddListener(this);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) {
                if (!now.isValid() || !m_filtered)
                    return;
                CIndexPos pos = m_filtered->PosAt(static_cast<std::size_t>(now.row()));
                if (pos.IsValid() && !(pos == m_current)) {
                    m_current = pos;
                    m_currentRecord = pos.Record();
                    emit StateChanged();
                }
            });
    if (!m_current.IsValid())
        m_current = m_filtered->First();
    m_currentRecord = m_current.Record();
    SelectCurrentRow();
    setFocusProxy(m_table);
}

DatabaseWindow::~DatabaseWindow() { ReleaseDocument(); }

void DatabaseWindow::ReleaseDocument() {
    if (!m_doc)
        return;
    m_doc->RemoveView(this);
    m_doc->Records().RemoveListener(this);
    // The columns name markers of the database: they go with it.
    m_model->SetIndex(nullptr);
    m_model->SetColumns({});
    m_current = {};
    m_currentRecord = nullptr;
    m_filtered = nullptr;
    m_unfiltered = nullptr;
    m_doc = nullptr;
}

void DatabaseWindow::DefaultColumns() {
    // Until the window's own column list is stored with it: the sort field, then the
    // fields of the first record in their order, as far as they fit a screen.
    std::vector<BrowseColumn> columns;
    columns.push_back({nullptr, 160, false});
    std::vector<const CMarker*> seen;
    if (CIndexPos first = m_filtered->First(); first.IsValid()) {
        for (const CField& field : *first.Record()) {
            const CMarker* m = field.Marker();
            if (m == m_filtered->PriMarker() || m->Hidden() ||
                std::find(seen.begin(), seen.end(), m) != seen.end())
                continue;
            seen.push_back(m);
            columns.push_back({const_cast<CMarker*>(m), 140, false});
            if (columns.size() == 5)
                break;
        }
    }
    m_model->SetColumns(std::move(columns));
}

QString DatabaseWindow::Caption() const {
    if (!m_doc)
        return {};
    QString caption = Q(m_doc->Title());
    if (m_filtered && m_filtered->Filter())
        caption += " [" + Q(m_filtered->Filter()->FilterName()) + "]";
    if (m_doc->IsReadOnly())
        caption += " (read-only)";
    if (m_doc->IsModified())
        caption += " *";
    return caption;
}

QString DatabaseWindow::StatusText() const {
    if (!m_doc || !m_filtered)
        return {};
    QString text;
    if (m_filtered->IsEmpty())
        text = Q(EmptyIndexText(*m_filtered));
    else
        text = QString("Record %1 of %2").arg(m_current.Ordinal() + 1).arg(m_filtered->Count());
    if (CMarker* m = m_filtered->PriMarker())
        text += "    " + Q("Sorted by \\" + m->Name());
    text += "    " + Q(FilterSelectionText(m_filtered->Filter()));
    return text;
}

QTableView* DatabaseWindow::Table() const { return m_table; }

void DatabaseWindow::SelectCurrentRow() {
    if (!m_current.IsValid())
        return;
    QModelIndex cell = m_model->index(static_cast<int>(m_current.Ordinal()),
                                      std::max(0, m_table->currentIndex().column()));
    QSignalBlocker block(m_table->selectionModel());
    m_table->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_table->scrollTo(cell);
    m_table->viewport()->update();
}

void DatabaseWindow::MoveTo(const CIndexPos& pos) {
    if (!pos.IsValid())
        return;
    m_current = pos;
    m_currentRecord = pos.Record();
    SelectCurrentRow();
    emit StateChanged();
}

void DatabaseWindow::RecordsChanged() {
    if (!m_doc)
        return;
    m_model->Refresh();
    // The current record again: its entry moved, or went with an edit or a deletion.
    CIndexPos pos;
    if (!m_currentRemoved && m_current.IsValid())
        pos = m_filtered->PosOf(m_current.Entry());
    if (!pos.IsValid() && m_currentRecord &&
        m_currentRecord != m_doc->Records().RecordBeingDeleted())
        pos = m_filtered->FindRecord(m_currentRecord);
    if (!pos.IsValid()) {
        std::size_t at = std::min(m_current.Ordinal(), m_filtered->Count());
        pos = at < m_filtered->Count() ? m_filtered->PosAt(at) : m_filtered->Last();
    }
    m_currentRemoved = false;
    m_current = pos;
    m_currentRecord = pos.Record();
    SelectCurrentRow();
    emit StateChanged();
}

void DatabaseWindow::AfterCommand() { RecordsChanged(); }

void DatabaseWindow::OnUpdate(CCrvDoc&, const CRecordHint&, CDocView*) { RecordsChanged(); }

void DatabaseWindow::OnDocumentSaved(CCrvDoc&) { emit StateChanged(); }

void DatabaseWindow::OnDocumentClosing(CCrvDoc&) {
    ReleaseDocument();
    emit DocumentGone();
}

void DatabaseWindow::OnEntriesRemoving(CIndex& index,
                                       const std::vector<const CIndexEntry*>& entries) {
    if (&index != m_filtered.Get() || !m_current.IsValid())
        return;
    if (std::find(entries.begin(), entries.end(), m_current.Entry()) != entries.end())
        m_currentRemoved = true;
}

void DatabaseWindow::SetIndexes(CIndexRef unfiltered, CIndexRef filtered) {
    const CRecord* record = m_currentRecord;
    m_unfiltered = std::move(unfiltered);
    m_filtered = std::move(filtered);
    m_model->SetIndex(m_filtered.Get());
    m_table->verticalHeader()->setDefaultSectionSize(m_model->RowHeight());
    CIndexPos pos = record ? m_filtered->FindRecord(record) : CIndexPos();
    m_current = pos.IsValid() ? pos : m_filtered->First();
    m_currentRecord = m_current.Record();
    SelectCurrentRow();
    emit StateChanged();
}

void DatabaseWindow::FirstRecord() { MoveToFirstRecord(*this); }
void DatabaseWindow::LastRecord() { MoveToLastRecord(*this); }
void DatabaseWindow::NextRecord() { MoveToNextRecord(*this); }
void DatabaseWindow::PreviousRecord() { MoveToPreviousRecord(*this); }

void DatabaseWindow::Search() {
    QtKeySearchDialogs dialogs(this, m_filtered->PriMarker());
    KeyCommandResult r = SearchRecordCommand(*this, m_search, dialogs);
    if (r.outcome == KeyCommandResult::Outcome::Inserted)
        AfterCommand();
    MoveTo(r.pos);
}

void DatabaseWindow::InsertRecord() {
    QtKeySearchDialogs dialogs(this, m_doc->Records().RecordMarker());
    KeyCommandResult r = InsertRecordCommand(*this, m_insert, dialogs);
    if (r.outcome == KeyCommandResult::Outcome::Inserted)
        AfterCommand();
    MoveTo(r.pos);
}

void DatabaseWindow::DeleteRecord() {
    if (DeleteRecordCommand(*this))
        AfterCommand();
}

void DatabaseWindow::CopyRecord() {
    CopyRecordCommand(*this);
    emit StateChanged();
}

void DatabaseWindow::MergeDatabase() {
    if (MergeDatabaseCommand(*this)) {
        AfterCommand();
        MoveTo(m_filtered->First());
    }
}

void DatabaseWindow::SortDialog() {
    gui::SortDialog dialog(m_doc->Records(), *m_unfiltered, m_filtered->Filter(), this);
    if (dialog.exec() == QDialog::Accepted && dialog.filtered)
        SetIndexes(dialog.unfiltered, dialog.filtered);
}

void DatabaseWindow::ChooseFilter() {
    CIndexFilter* filter = nullptr;
    if (!ChooseWindowFilter(m_doc->Records(), *m_filtered, this, filter))
        return;
    CIndexKeys keys = m_unfiltered->Keys();
    keys.filter = filter;
    SetIndexes(m_unfiltered, m_doc->Records().GetIndex(keys));
}

void DatabaseWindow::keyPressEvent(QKeyEvent* event) {
    // The trace log's switch, in any database window.
    if (event->key() == Qt::Key_A &&
        event->modifiers() == (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)) {
        platform().Trace().SwitchOn("Ctrl+Alt+Shift+A in a database window");
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace crv::gui
