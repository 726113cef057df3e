// A record window on one database: a CRecordView (its indexes, current record, caret,
// marker area, browse columns and key searches, all kept in its window settings) shown
// either as the record with its fields (RecordWidget) or as the browse list of its
// records (Alt+R switches). The record commands of the Database menu work on the view;
// record changes made anywhere reach it through the document's hints.
#pragma once

#include <QStackedWidget>
#include <QTableView>
#include <QWidget>
#include <memory>

#include "app/doc_view.h"
#include "app/jump_command.h"
#include "app/record_view.h"
#include "gui/browse_model.h"

namespace crv::gui {

class BrowseTable;
class RecordWidget;

class DatabaseWindow : public QWidget, public CDocView, public CJumpWindow {
    Q_OBJECT
public:
    // A window on doc with settings (read from the project, or a new window's).
    DatabaseWindow(CCrvDoc& doc, const CViewEnvironment& env, const CWindowSettings& settings,
                   QWidget* parent = nullptr);
    // A window on a view made already (Window > Duplicate).
    explicit DatabaseWindow(std::unique_ptr<CRecordView> view, QWidget* parent = nullptr);
    ~DatabaseWindow() override;

    bool HasDocument() const { return m_doc != nullptr; }
    CRecordView& RecordView() { return *m_view; }
    const CRecordView& RecordView() const { return *m_view; }
    // The caption: the database's title, with a mark while it has unsaved changes.
    QString Caption() const;
    // "Record N of M", the sort marker and the filter, for the status bar.
    QString StatusText() const;

    // --- CJumpWindow: jumps and the record commands work on the window's view.
    CCrvDoc& Document() override { return *m_doc; }
    CIndex& Index() override { return m_view->Index(); }
    CIndexPos Current() override { return m_view->Current(); }
    void MoveTo(const CIndexPos& pos) override;
    bool LeaveRecord() override { return m_view->LeaveRecord(); }
    bool IsJumpTarget() const override { return m_view->IsJumpTarget(); }
    void Activate() override;

    // --- CDocView (the caption and the document's end; the view has its own) ---
    void OnUpdate(CCrvDoc& doc, const CRecordHint& hint, CDocView* sender) override;
    void OnDocumentSaved(CCrvDoc& doc) override;
    void OnDocumentClosing(CCrvDoc& doc) override;

    // --- commands ---
    void FirstRecord();
    void LastRecord();
    void NextRecord();
    void PreviousRecord();
    void Search();
    void InsertRecord();
    void DeleteRecord();
    void CopyRecord();
    void MergeDatabase();
    void SortDialog();
    void ChooseFilter();
    void Undo();
    void UndoAll();
    void Copy();
    void Cut();
    void Paste();
    void ToggleBrowse();
    void BrowseColumnsDialog();
    void FindDialog(CFindSettings& settings, bool replace);
    void FindNext();
    void FindPrevious();

    bool IsBrowse() const { return m_view && m_view->IsBrowse(); }
    QTableView* Table() const;
    BrowseModel* Model() const { return m_model; }
    RecordWidget* Record() const { return m_record; }
    // A new window's browse list when it has none: the sort field, then the fields of
    // the first record.
    void DefaultColumns();
    // The window's placement inside the frame, for its settings.
    void StorePlacement(int z);

signals:
    // The caption or the status text changed.
    void StateChanged();
    // The window's document went away; the window closes.
    void DocumentGone();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Build();
    void ViewChanged(unsigned changes);
    void ApplyColumns();
    void ColumnsResized();
    void SelectCurrentRow();
    void ReleaseDocument();

    CCrvDoc* m_doc;
    std::unique_ptr<CRecordView> m_view;
    QStackedWidget* m_stack = nullptr;
    RecordWidget* m_record = nullptr;
    BrowseModel* m_model = nullptr;
    BrowseTable* m_table = nullptr;
    bool m_applyingColumns = false;
};

} // namespace crv::gui
