// A window on one database: its own indexes (sort keys and filter), its current record,
// the record commands of the Database menu, and the browse list of its records. Record
// changes made anywhere reach it through the document's hints.
#pragma once

#include <QElapsedTimer>
#include <QTableView>
#include <QWidget>
#include <vector>

#include "app/doc_view.h"
#include "app/record_commands.h"
#include "engine/index_set.h"
#include "engine/key_search.h"
#include "gui/browse_model.h"

namespace crv::gui {

class BrowseTable;

class DatabaseWindow : public QWidget,
                       public CDocView,
                       public CIndexSetListener,
                       public CRecordWindow {
    Q_OBJECT
public:
    // A window on doc's default index; like (when given) is copied: its indexes, current
    // record, columns and key searches (Window > Duplicate).
    explicit DatabaseWindow(CCrvDoc& doc, const DatabaseWindow* like = nullptr,
                            QWidget* parent = nullptr);
    ~DatabaseWindow() override;

    bool HasDocument() const { return m_doc != nullptr; }
    // The caption: the database's title, with a mark while it has unsaved changes.
    QString Caption() const;
    // "Record N of M", the sort marker and the filter, for the status bar.
    QString StatusText() const;

    // --- CRecordWindow ---
    CCrvDoc& Document() override { return *m_doc; }
    CIndex& Index() override { return *m_filtered; }
    CIndexPos Current() override { return m_current; }
    void MoveTo(const CIndexPos& pos) override;
    bool LeaveRecord() override { return true; }
    CDocView* View() override { return this; }

    // --- CDocView ---
    void OnUpdate(CCrvDoc& doc, const CRecordHint& hint, CDocView* sender) override;
    void OnDocumentSaved(CCrvDoc& doc) override;
    void OnDocumentClosing(CCrvDoc& doc) override;
    CIndex* ViewIndex() override { return m_filtered.Get(); }

    // --- CIndexSetListener ---
    void OnEntriesRemoving(CIndex& index, const std::vector<const CIndexEntry*>& entries) override;

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

    CKeySearch& SearchSettings() { return m_search; }
    CKeySearch& InsertSettings() { return m_insert; }
    // The indexes the window shows (after Sorting or choosing a filter).
    void SetIndexes(CIndexRef unfiltered, CIndexRef filtered);
    CIndex& UnfilteredIndex() { return *m_unfiltered; }
    QTableView* Table() const;
    BrowseModel* Model() const { return m_model; }

signals:
    // The caption or the status text changed.
    void StateChanged();
    // The window's document went away; the window closes.
    void DocumentGone();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The records changed behind the model's back: the model is made again and the
    // current record found again. The one place that keeps the browse list current
    // until the index tells of its own changes.
    void RecordsChanged();
    // After a command: refresh, follow the window's position, tell the frame.
    void AfterCommand();
    void SelectCurrentRow();
    void DefaultColumns();
    void ReleaseDocument();

    CCrvDoc* m_doc;
    CIndexRef m_unfiltered;
    CIndexRef m_filtered;
    CIndexPos m_current;
    const CRecord* m_currentRecord = nullptr; // to find the record again after changes
    bool m_currentRemoved = false;
    CKeySearch m_search;
    CKeySearch m_insert;
    BrowseModel* m_model;
    BrowseTable* m_table;
};

} // namespace crv::gui
