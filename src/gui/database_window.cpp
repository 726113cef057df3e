#include "gui/database_window.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "app/crv_doc.h"
#include "engine/filter_dialog.h"
#include "gui/browse_columns_dialog.h"
#include "gui/find_dialog.h"
#include "gui/key_search_dialogs.h"
#include "gui/qt_text.h"
#include "gui/record_widget.h"
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

DatabaseWindow::DatabaseWindow(CCrvDoc& doc, const CViewEnvironment& env,
                               const CWindowSettings& settings, QWidget* parent)
    : QWidget(parent), m_doc(&doc), m_view(std::make_unique<CRecordView>(doc, env, settings)) {
    Build();
}

DatabaseWindow::DatabaseWindow(std::unique_ptr<CRecordView> view, QWidget* parent)
    : QWidget(parent), m_doc(&view->Document()), m_view(std::move(view)) {
    Build();
}

void DatabaseWindow::Build() {
    setAttribute(Qt::WA_DeleteOnClose);
    m_stack = new QStackedWidget(this);
    m_record = new RecordWidget(*m_view, m_stack);
    m_model = new BrowseModel(*m_view, this);
    m_table = new BrowseTable(this, m_stack);
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
    m_stack->addWidget(m_record);
    m_stack->addWidget(m_table);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);

    m_doc->AddView(this);
    m_view->SetListener([this](unsigned changes) { ViewChanged(changes); });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) {
                // The table moves its current row while the index changes under it;
                // the window follows the record, not the row.
                if (!now.isValid() || !m_view || m_model->Changing())
                    return;
                CIndexPos pos = Index().PosAt(static_cast<std::size_t>(now.row()));
                if (pos.IsValid() && !(pos == Current()))
                    MoveTo(pos);
            });
    // Choosing a cell (double click, Enter) opens the record on that cell's field.
    connect(m_table, &QTableView::activated, this, [this](const QModelIndex& cell) {
        if (m_model->ChooseCell(cell.row(), cell.column()))
            m_record->setFocus();
    });
    auto* header = m_table->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, [this] { ColumnsResized(); });
    connect(header, &QHeaderView::sectionMoved, this, [this] { ColumnsResized(); });
    ApplyColumns();
    m_stack->setCurrentWidget(m_view->IsBrowse() ? static_cast<QWidget*>(m_table) : m_record);
    setFocusProxy(m_view->IsBrowse() ? static_cast<QWidget*>(m_table) : m_record);
    SelectCurrentRow();
}

DatabaseWindow::~DatabaseWindow() { ReleaseDocument(); }

void DatabaseWindow::Activate() {
    for (QWidget* p = parentWidget(); p; p = p->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p)) {
            if (sub->isMinimized())
                sub->showNormal();
            if (QMdiArea* area = sub->mdiArea())
                area->setActiveSubWindow(sub);
            break;
        }
    setFocus();
}

void DatabaseWindow::ReleaseDocument() {
    if (!m_doc)
        return;
    m_doc->RemoveView(this);
    // The widgets draw the view: they go before it, and it tells nobody while it goes.
    m_view->SetListener(nullptr);
    m_table->setModel(nullptr);
    delete m_model;
    m_model = nullptr;
    delete m_record;
    m_record = nullptr;
    m_view.reset();
    m_doc = nullptr;
}

void DatabaseWindow::ViewChanged(unsigned changes) {
    if (!m_view)
        return;
    if (changes & (kViewSettings | kViewRows)) {
        bool browse = m_view->IsBrowse();
        QWidget* shown = browse ? static_cast<QWidget*>(m_table) : m_record;
        if (m_stack->currentWidget() != shown) {
            bool focused = m_stack->currentWidget()->hasFocus();
            m_stack->setCurrentWidget(shown);
            setFocusProxy(shown);
            if (focused)
                shown->setFocus();
        }
        // Columns or the window's index changed: the table starts over. Rows alone
        // have reached it through the index's row notices.
        if (!m_applyingColumns && (changes & kViewSettings))
            ApplyColumns();
        else if (!m_applyingColumns)
            m_model->RowsTouched();
    }
    if (changes & (kViewRecord | kViewRows))
        SelectCurrentRow();
    m_record->ViewChanged(changes);
    emit StateChanged();
}

void DatabaseWindow::ApplyColumns() {
    m_applyingColumns = true;
    m_model->Refresh();
    m_table->verticalHeader()->setDefaultSectionSize(m_model->RowHeight());
    const auto& columns = m_model->Columns();
    QHeaderView* header = m_table->horizontalHeader();
    {
        QSignalBlocker block(header);
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
            header->moveSection(header->visualIndex(c), c);
            m_table->setColumnWidth(c, columns[static_cast<std::size_t>(c)].width);
        }
    }
    m_applyingColumns = false;
    SelectCurrentRow();
}

void DatabaseWindow::ColumnsResized() {
    if (m_applyingColumns || !m_view)
        return;
    // The columns as the user arranged them become the window's browse list.
    CBrowseList list = m_view->BrowseColumns();
    const auto& columns = m_model->Columns();
    QHeaderView* header = m_table->horizontalHeader();
    std::vector<CBrowseColumn> ordered;
    for (int v = 0; v < header->count(); ++v) {
        int c = header->logicalIndex(v);
        if (c < 0 || c >= static_cast<int>(columns.size()))
            continue;
        const CBrowseModel::Column& col = columns[static_cast<std::size_t>(c)];
        CBrowseColumn out;
        if (c < static_cast<int>(list.columns.size()))
            out = list.columns[static_cast<std::size_t>(c)];
        else
            out.marker = col.title.size() > 1 ? col.title.substr(1) : std::string();
        out.width = header->sectionSize(c);
        out.rightJustify = col.rightJustify;
        if (!out.marker.empty())
            ordered.push_back(std::move(out));
    }
    list.columns = std::move(ordered);
    m_applyingColumns = true;
    m_view->SetBrowseColumns(std::move(list));
    m_applyingColumns = false;
    // The table's own arrangement now matches the list's order.
    ApplyColumns();
}

void DatabaseWindow::DefaultColumns() {
    // A new window's browse list: the sort field, then the fields of the first record in
    // their order, as far as they fit a screen.
    CBrowseList list = m_view->BrowseColumns();
    if (!list.columns.empty())
        return;
    CMarker* sort = Index().PriMarker();
    if (!sort)
        return;
    list.columns.push_back({sort->Name(), 160, false, {}});
    if (CIndexPos first = Index().First(); first.IsValid()) {
        for (const CField& field : *first.Record()) {
            const CMarker* m = field.Marker();
            if (m->Hidden() ||
                std::any_of(list.columns.begin(), list.columns.end(),
                            [m](const CBrowseColumn& c) { return c.marker == m->Name(); }))
                continue;
            list.columns.push_back({m->Name(), 140, false, {}});
            if (list.columns.size() == 5)
                break;
        }
    }
    m_view->SetBrowseColumns(std::move(list));
}

QString DatabaseWindow::Caption() const {
    if (!m_doc)
        return {};
    QString caption = Q(m_doc->Title());
    CIndex& index = m_view->Index();
    if (index.Filter())
        caption += " [" + Q(index.Filter()->FilterName()) + "]";
    if (m_doc->IsReadOnly())
        caption += " (read-only)";
    if (m_doc->IsModified())
        caption += " *";
    return caption;
}

QString DatabaseWindow::StatusText() const {
    if (!m_doc)
        return {};
    CIndex& index = m_view->Index();
    QString text;
    if (index.IsEmpty())
        text = Q(EmptyIndexText(index));
    else
        text = QString("Record %1 of %2").arg(m_view->Current().Ordinal() + 1).arg(index.Count());
    if (CMarker* m = index.PriMarker())
        text += "    " + Q("Sorted by \\" + m->Name());
    text += "    " + Q(FilterSelectionText(index.Filter()));
    return text;
}

QTableView* DatabaseWindow::Table() const { return m_table; }

void DatabaseWindow::SelectCurrentRow() {
    if (!m_view)
        return;
    CIndexPos current = m_view->Current();
    if (!current.IsValid())
        return;
    QModelIndex cell = m_model->index(static_cast<int>(current.Ordinal()),
                                      std::max(0, m_table->currentIndex().column()));
    QSignalBlocker block(m_table->selectionModel());
    m_table->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_table->scrollTo(cell);
    m_table->viewport()->update();
}

void DatabaseWindow::MoveTo(const CIndexPos& pos) {
    if (!pos.IsValid() || !m_view)
        return;
    if (!m_view->LeaveRecord()) {
        SelectCurrentRow();
        return;
    }
    m_view->MoveTo(pos);
}

void DatabaseWindow::OnUpdate(CCrvDoc&, const CRecordHint&, CDocView*) { emit StateChanged(); }

void DatabaseWindow::OnDocumentSaved(CCrvDoc&) { emit StateChanged(); }

void DatabaseWindow::OnDocumentClosing(CCrvDoc&) {
    ReleaseDocument();
    emit DocumentGone();
}

void DatabaseWindow::StorePlacement(int z) {
    if (!m_view)
        return;
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!sub) {
        m_view->SetPlacement(std::nullopt, z);
        return;
    }
    WindowPlacement wp;
    QRect r = sub->isMaximized() || sub->isMinimized() ? sub->normalGeometry() : sub->geometry();
    if (!r.isValid())
        r = sub->geometry();
    wp.left = r.left();
    wp.top = r.top();
    wp.right = r.right() + 1;
    wp.bottom = r.bottom() + 1;
    wp.state = sub->isMaximized()   ? WindowPlacement::State::Maximized
               : sub->isMinimized() ? WindowPlacement::State::Minimized
                                    : WindowPlacement::State::Normal;
    m_view->SetPlacement(wp, z);
}

void DatabaseWindow::FirstRecord() { MoveToFirstRecord(*m_view); }
void DatabaseWindow::LastRecord() { MoveToLastRecord(*m_view); }
void DatabaseWindow::NextRecord() { MoveToNextRecord(*m_view); }
void DatabaseWindow::PreviousRecord() { MoveToPreviousRecord(*m_view); }

void DatabaseWindow::Search() {
    QtKeySearchDialogs dialogs(this, Index().PriMarker());
    KeyCommandResult r = SearchRecordCommand(*m_view, m_view->SearchKey(), dialogs);
    if (r.pos.IsValid() && !(r.pos == Current()))
        m_view->MoveTo(r.pos);
}

void DatabaseWindow::InsertRecord() {
    QtKeySearchDialogs dialogs(this, m_doc->Records().RecordMarker());
    KeyCommandResult r = InsertRecordCommand(*m_view, m_view->InsertKey(), dialogs);
    if (r.pos.IsValid() && !(r.pos == Current()))
        m_view->MoveTo(r.pos);
    if (r.outcome == KeyCommandResult::Outcome::Inserted && m_view->IsBrowse())
        m_view->SetBrowse(false); // a new record is for typing into
}

void DatabaseWindow::DeleteRecord() { DeleteRecordCommand(*m_view); }

void DatabaseWindow::CopyRecord() {
    CopyRecordCommand(*m_view);
    emit StateChanged();
}

void DatabaseWindow::MergeDatabase() {
    if (MergeDatabaseCommand(*m_view))
        m_view->MoveTo(Index().First());
}

void DatabaseWindow::SortDialog() {
    if (!m_view->LeaveRecord())
        return;
    CIndexKeys keys = Index().Keys();
    keys.filter = nullptr;
    CIndexRef unfiltered = m_doc->Records().GetIndex(keys);
    gui::SortDialog dialog(m_doc->Records(), *unfiltered, Index().Filter(), this);
    if (dialog.exec() == QDialog::Accepted && dialog.filtered)
        m_view->SetIndexes({dialog.unfiltered, dialog.filtered});
}

void DatabaseWindow::ChooseFilter() {
    CIndexFilter* filter = nullptr;
    if (!m_view->LeaveRecord() || !ChooseWindowFilter(m_doc->Records(), Index(), this, filter))
        return;
    CIndexKeys keys = Index().Keys();
    keys.filter = nullptr;
    CIndexRef unfiltered = m_doc->Records().GetIndex(keys);
    keys.filter = filter;
    m_view->SetIndexes({unfiltered, m_doc->Records().GetIndex(keys)});
}

void DatabaseWindow::Undo() {
    if (!m_view->Undo())
        QApplication::beep();
}

void DatabaseWindow::UndoAll() { m_view->UndoAll(); }

void DatabaseWindow::Copy() {
    if (IsBrowse()) {
        QModelIndex cell = m_table->currentIndex();
        if (cell.isValid())
            QApplication::clipboard()->setText(cell.data(Qt::ToolTipRole).toString());
        return;
    }
    m_record->CopySelection();
}

void DatabaseWindow::Cut() {
    if (IsBrowse())
        QApplication::beep();
    else
        m_record->CutSelection();
}

void DatabaseWindow::Paste() {
    if (IsBrowse())
        QApplication::beep();
    else
        m_record->PasteClipboard();
}

void DatabaseWindow::ToggleBrowse() {
    // Leaving the record for the list stamps and sorts it, as moving away does.
    if (!m_view->IsBrowse() && !m_view->LeaveRecord())
        return;
    if (!m_view->IsBrowse())
        DefaultColumns();
    m_view->SetBrowse(!m_view->IsBrowse());
    (m_view->IsBrowse() ? static_cast<QWidget*>(m_table) : m_record)->setFocus();
}

void DatabaseWindow::BrowseColumnsDialog() {
    gui::BrowseColumnsDialog dialog(m_doc->Records().Markers(), m_view->BrowseColumns(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_view->SetBrowseColumns(dialog.Result());
}

void DatabaseWindow::FindDialog(CFindSettings& settings, bool replace) {
    gui::FindDialog dialog(*m_view, settings, replace, this);
    dialog.exec();
}

void DatabaseWindow::FindNext() { m_view->FindNext(true); }
void DatabaseWindow::FindPrevious() { m_view->FindNext(false); }

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
