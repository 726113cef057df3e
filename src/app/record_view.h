// The record window's logic (CCrvView without the window): one window's index, current
// record, caret and selection, marker area, browse mode and search settings; what every
// key, click and clipboard action does to the record, with undo, wrapping and the
// messages that follow; the lines to draw, where the caret is drawn and where a click
// lands. The desktop program draws what Lines() and CaretBox() say and forwards input;
// it decides nothing about the data. Text measurement goes through the platform
// services in each field's font, as drawing does.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/doc_view.h"
#include "app/find_replace.h"
#include "app/marker_label.h"
#include "app/record_commands.h"
#include "app/record_edit.h"
#include "app/window_settings.h"
#include "engine/index_settings.h"
#include "engine/text_measure.h"

namespace crv {

class CMarkerSet;
struct CProjectOptions;

// The dialogs a record window opens. The desktop program shows its own; this one asks
// through the platform services (crv and tests).
class CViewDialogs {
public:
    virtual ~CViewDialogs() = default;
    // The marker chooser, opened by a backslash typed at the start of a line: the name
    // typed or chosen, suggested first; nullopt when it was closed. This one offers the
    // markers of the set as an item choice (so only known markers can be chosen); the
    // desktop program's chooser also lets a new name be typed.
    virtual std::optional<std::string> ChooseMarker(const CMarkerSet& markers,
                                                    const CMarker* suggested);
    // The properties dialog of a new marker named name (after "Marker not in marker list.
    // Add it?"): the marker added, or null when it was cancelled.
    virtual CMarker* AddNewMarker(CMarkerSet& markers, std::string_view name);
};

// What the windows of a project share. Pointers may be null: defaults are used.
struct CViewEnvironment {
    CProjectOptions* options = nullptr; // automatic wrapping, the marker font
    CFindSettings* find = nullptr;      // the project's find settings
    CViewDialogs* dialogs = nullptr;
};

// A place in the current record: the field by its number in the record (hidden fields
// counted) and a byte offset into its text.
struct CViewCaret {
    int field = 0;
    std::size_t offset = 0;
    bool operator==(const CViewCaret&) const = default;
    bool Before(const CViewCaret& o) const {
        return field < o.field || (field == o.field && offset < o.offset);
    }
};

// One line to draw: bytes [begin, end) of a field's text (end at its line break), its
// top and height in pixels from the top of the record, and on a field's first line the
// marker label. The text is drawn at TextLeft() in FieldFont(field's marker), the label
// at 0 in LabelFont().
struct CViewLine {
    int field = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    int top = 0;
    int height = 0;
    int ascent = 0;
    bool first = false;
    std::string label;
};

// Where a window draws the characters of lines it lays out itself (right-to-left text):
// an x for an offset and back, or nothing for a line the view places left to right.
class CLineGeometry {
public:
    virtual ~CLineGeometry() = default;
    virtual std::optional<int> XOf(const CViewLine& line, std::size_t offset) const = 0;
    virtual std::optional<std::size_t> OffsetAtX(const CViewLine& line, int x) const = 0;
};

struct CViewRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

enum class ViewKey {
    Left,
    Right,
    Up,
    Down,
    Home, // start of the line
    End,  // end of the line
    WordLeft,
    WordRight,
    RecordStart,
    RecordEnd,
    PageUp,
    PageDown,
    NextField, // Tab: start of the next field
    PrevField, // Shift+Tab: start of the previous field
    Backspace,
    Delete,
    Enter,
};

// What changed, for the window to redraw (bits of ViewChanges).
enum ViewChange : unsigned {
    kViewRecord = 1,   // another record is shown (or none)
    kViewText = 2,     // the lines changed
    kViewCaret = 4,    // the caret or selection moved
    kViewSettings = 8, // marker area, browse mode, columns, margin
    kViewRows = 16,    // the index's rows changed (browse list)
};

class CRecordView : public CDocView, public CRecordWindow, public CIndexSetListener {
public:
    // A window on doc with settings (indexes and record found in doc); registers with the
    // document and its index set.
    CRecordView(CCrvDoc& doc, const CViewEnvironment& env,
                const CWindowSettings& settings = CWindowSettings::ForNewWindow());
    ~CRecordView() override;
    CRecordView(const CRecordView&) = delete;
    CRecordView& operator=(const CRecordView&) = delete;

    // "Duplicate the active window.": a new window with this one's index, record, caret,
    // scroll position, marker area and search settings.
    std::unique_ptr<CRecordView> Duplicate() const;

    // Called after every change the window should show (ViewChange bits).
    void SetListener(std::function<void(unsigned)> listener) { m_listener = std::move(listener); }
    // Up and Down keep the caret's column as the window draws it (null: as the view does).
    void SetLineGeometry(const CLineGeometry* geometry) { m_geometry = geometry; }

    // --- CRecordWindow: the record commands of the Database menu work on this window.
    CCrvDoc& Document() override { return *m_doc; }
    CIndex& Index() override { return *m_indexes.filtered; }
    CIndexPos Current() override;
    void MoveTo(const CIndexPos& pos) override;
    // A changed record has its range sets checked (the view stays on it, with the bad text
    // selected, when the user refuses), then is stamped, re-sorted and announced.
    bool LeaveRecord() override;
    CDocView* View() override { return this; }

    // The record shown (null in an empty database).
    CRecord* Record() const { return m_editor.Record(); }
    // Another index (the sort dialog's OK): the same record stays shown when it has an
    // entry there.
    void SetIndexes(CWindowIndexes indexes);
    bool IsChanged() const { return m_changed; }

    // --- geometry and drawing
    void SetClientSize(int width, int height);
    int ClientWidth() const { return m_clientWidth; }
    int MarkerAreaWidth() const { return m_settings.markerAreaWidth; }
    int TextLeft() const;
    const std::vector<CViewLine>& Lines() const;
    int RecordHeight() const;
    const FontSpec& LabelFont() const;
    const FontSpec& LineFont(const CViewLine& line) const;
    // The display line at the top of the window, and its top in pixels.
    int ScrollLine() const { return m_scrollLine; }
    void SetScrollLine(int line);
    int ScrollTop() const;
    // Where the caret is drawn (pixels from the record's top and the window's left).
    CViewRect CaretBox() const;
    // The selection, as one rectangle per line it covers.
    std::vector<CViewRect> SelectionBoxes() const;
    // The place a point (record coordinates) falls on: the nearest character boundary of
    // the line under it; a point in the marker area gives the line's start.
    CViewCaret HitTest(int x, int y) const;

    // --- caret and selection
    CViewCaret Caret() const { return m_caret; }
    CViewCaret Anchor() const { return m_anchor; }
    bool HasSelection() const { return !(m_caret == m_anchor); }
    // The selection in order: first before second.
    std::pair<CViewCaret, CViewCaret> Selection() const;
    void SetCaret(CViewCaret caret, bool extend = false);
    // The selected text; across fields in database form (each later field on its own
    // line as "\mkr text"), so that pasting makes the fields again.
    std::string SelectedText() const;
    // The display line of the caret.
    int CaretLine() const;

    // --- input
    // Typed characters, already in the bytes of the field's language: CR and LF insert
    // a line break, other control characters beep; a backslash at the start of a line
    // opens the marker chooser and splits the field.
    void TypeText(std::string_view bytes);
    // Moves with extend extend the selection; Backspace, Delete and Enter edit.
    void Key(ViewKey key, bool extend = false);
    void Click(int x, int y, bool extend = false);
    void DoubleClick(int x, int y); // selects the word
    // nullopt (after "Cannot copy more than 32000 characters!...") when the selection is
    // too long for the clipboard.
    std::optional<std::string> Copy() const;
    bool Cut(std::string& clipboard);
    // Pasted text: lines beginning "\mkr" make new fields; nothing is pasted (after the
    // limit message) when a field would pass 32000 characters.
    bool Paste(std::string_view text);

    // --- undo
    bool CanUndo() const { return m_editor.CanUndo(); }
    bool Undo();
    // Asks "Are you sure you want to undo ALL changes to this record?" first.
    bool UndoAll();

    // --- marker area, browse mode, jump target
    const CMarkerAreaSettings& MarkerArea() const { return m_markerArea; }
    // The commands set the width by the marker-area rule.
    void ShowMarkers();
    void ShowFieldNames();
    void ShowMarkersAndFieldNames();
    void ToggleHierarchy();
    bool IsBrowse() const { return m_settings.browse; }
    void SetBrowse(bool browse);
    const CBrowseList& BrowseColumns() const { return m_settings.browseList; }
    void SetBrowseColumns(CBrowseList list);
    bool IsJumpTarget() const { return m_settings.jumpTarget; }
    // Makes this window its database's jump target (and no other window of it).
    void MakeJumpTarget();
    // The key dialogs' settings of this window.
    CKeySearch& SearchKey() { return m_settings.search; }
    CKeySearch& InsertKey() { return m_settings.insert; }
    CKeySearch& JumpKey() { return m_settings.jump; }
    CKeySearch& JumpInsertKey() { return m_settings.jumpInsert; }

    // --- wrapping
    // Formats the paragraph at the caret (a whole bundle in interlinear text).
    bool FormatParagraphCommand();
    // The database's margin becomes the window's text width less 10 pixels.
    void SetMarginCommand();
    // Reshape of the whole database (question 61292 first).
    bool ReshapeCommand();

    // --- find and replace (the project's find settings)
    // Find Next / Find Previous from the caret: the hit becomes the current record and
    // the selection. Not found: "Not found: %1" with a beep, nothing moves.
    bool FindNext(bool forward = true);
    // The dialog's Find: the text goes to the history first.
    bool Find(std::string text, std::string lang);
    // Replace: the selection, when it is a hit, is replaced (an edit Undo takes back);
    // then the next hit is found. Whether anything was replaced or found.
    bool ReplaceNext();
    // Replace All over the scope (stamps and re-sorts each record it changes; it cannot
    // be undone). Shows "Replacing all..." and "%1 occurrences were replaced.".
    CReplaceResult ReplaceAllCommand();

    // --- settings
    // The window's settings now (for the project file); placement and z are the window's.
    void SetPlacement(std::optional<WindowPlacement> placement, int z);
    CWindowSettings Settings() const;
    bool WindowSettingsNow(CWindowSettings& out) const override;

    // --- CDocView, CIndexSetListener
    void OnUpdate(CCrvDoc& doc, const CRecordHint& hint, CDocView* sender) override;
    void OnDocumentSaved(CCrvDoc& doc) override;
    CIndex* ViewIndex() override { return &Index(); }
    void OnEntriesRemoving(CIndex& index, const std::vector<const CIndexEntry*>& entries) override;

    // The character boundary rule the desktop program draws with: a field whose bytes
    // are shown as UTF-8 steps by UTF-8 sequences. Default: valid UTF-8 text.
    void SetUtf8Rule(std::function<bool(const CField&)> isUtf8) { m_isUtf8 = std::move(isUtf8); }

    // The field the caret is in (null without a record).
    CField* CaretField() const { return Record() ? FieldAt(m_caret.field) : nullptr; }
    // A marker's language or font changed: lines are measured again.
    void FontsChanged() {
        Invalidate();
        Notify(kViewText);
    }

private:
    friend class CBrowseModel;

    // --- record_view.cpp: state, layout, movement
    void Notify(unsigned changes);
    void EnterRecord(CRecord* record, const CIndexPos& pos);
    void Invalidate();
    void ClampCaret();
    CField* FieldAt(int index) const { return m_editor.FieldAt(index); }
    int FieldCount() const;
    bool IsShown(int field) const;
    int NextShown(int field, int step) const;
    bool IsUtf8(int field) const;
    std::size_t NextBoundary(int field, std::size_t offset) const;
    std::size_t PrevBoundary(int field, std::size_t offset) const;
    int LineOf(const CViewCaret& c) const;
    int XOf(const CViewLine& line, std::size_t offset) const;
    std::size_t OffsetAtX(const CViewLine& line, int x) const;
    // The same as the window draws the line.
    int ShownXOf(const CViewLine& line, std::size_t offset) const;
    std::size_t ShownOffsetAtX(const CViewLine& line, int x) const;
    void EnsureCaretVisible();
    void MoveCaret(ViewKey key, bool extend);
    FontMetrics Metrics(const FontSpec& font) const;
    CViewCaret CaretFromLine(int line, int offset) const;
    void ApplyMarkerArea(bool markers, bool hierarchy, bool names);

    // --- record_view_edit.cpp: editing
    bool CanEdit();
    // Begins an edit: a new undo step unless typing goes on where it left off.
    void BeginEdit(bool typing);
    // After an edit: the record changed, the document is modified, the others told.
    void EndEdit(int field);
    bool DeleteSelection();
    void InsertTyped(std::string_view run);
    void TypeLineBreak();
    void TypeBackslashAtLineStart();
    void BackspaceOrDelete(bool backspace);
    void WrapAtCaret();
    void BreakLongLines(int field, std::size_t from, std::size_t to);
    bool InBundle(int field) const;

    CCrvDoc* m_doc;
    CViewEnvironment m_env;
    CViewDialogs m_platformDialogs;
    CWindowSettings m_settings; // placement, z, widths, browse, keys and what is unknown
    CMarkerAreaSettings m_markerArea;
    CWindowIndexes m_indexes;
    CIndexPos m_current;
    // The record whose entry is being removed from the index while it stays shown: found
    // again on the next Current().
    CRecord* m_refind = nullptr;
    CField* m_refindField = nullptr;
    // The ordinal to fall back to when the shown record was deleted.
    std::optional<std::size_t> m_fallbackOrdinal;
    CRecordEditor m_editor;
    CViewCaret m_caret;
    CViewCaret m_anchor;
    int m_desiredX = -1; // the column kept over Up and Down
    bool m_changed = false;
    bool m_fieldsChanged = false;
    // The record was stamped and re-sorted while the view stayed on it (a command that
    // left it and then did not move): undoing changes it again.
    bool m_committed = false;
    bool m_longLineTold = false;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    int m_scrollLine = 0;
    mutable std::vector<CViewLine> m_lines;
    mutable bool m_linesValid = false;
    mutable std::vector<std::pair<FontSpec, FontMetrics>> m_metrics;
    mutable CTextMeasure m_measure;
    std::function<void(unsigned)> m_listener;
    std::function<bool(const CField&)> m_isUtf8;
    const CLineGeometry* m_geometry = nullptr;
};

// The browse list of a window: one row per entry of its index, one column per browse
// column, cells made when asked for, so an index of any size costs nothing to show.
class CBrowseModel {
public:
    explicit CBrowseModel(CRecordView& view) : m_view(view) {}

    struct Column {
        const CMarker* marker = nullptr; // null: a marker the database type lacks
        std::string title;               // the marker with its backslash
        int width = 10;
        bool rightJustify = false;
    };
    // The window's columns; with none, one column of the index's sort marker.
    std::vector<Column> Columns() const;
    std::size_t RowCount() const;
    // A cell's text on one line (line breaks shown as spaces): the field FindRelatedField
    // finds for the column from the row's entry, or the browse list's texts for no field
    // and for an empty field.
    std::string CellText(std::size_t row, const Column& column) const;
    // The font a column's cells are drawn in, and the row height (the tallest line of the
    // columns' fonts).
    const FontSpec& ColumnFont(const Column& column) const;
    int RowHeight() const;
    // The row of the window's current record.
    std::optional<std::size_t> CurrentRow() const;
    // Choosing a cell: the window leaves its record and shows the row's record, caret in
    // the cell's field (the row's own field when the column is its marker, else the
    // record's first field of the column's marker); false when leaving was refused.
    bool ChooseCell(std::size_t row, const Column& column);

private:
    CRecordView& m_view;
};

// "You have selected Reshape Database..." (message 61292); on Yes every field of every
// record is formatted at margin pixels under "Reshaping %1", each record changed stamped
// and re-sorted, and the views redrawn. False when the user said No.
bool ReshapeDatabase(CCrvDoc& doc, int margin, CDocView* sender = nullptr);

// The text of message 61292.
extern const char* const kReshapeQuestion;
// Message 61432.
extern const char* const kLongLineMessage;

} // namespace crv
