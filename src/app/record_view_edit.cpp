// The record view's editing: typing, line breaks, splitting a field at a backslash,
// deleting, cutting and pasting, undo, and the wrapping that follows each character.
#include "app/record_view.h"

#include <algorithm>

#include "app/crv_doc.h"
#include "app/project.h"
#include "base/platform.h"
#include "base/sf_syntax.h"
#include "engine/bundle_wrap.h"
#include "engine/paragraph_wrap.h"
#include "schema/marker.h"
#include "schema/marker_edit.h"
#include "schema/marker_name.h"

namespace crv {

const char* const kLongLineMessage =
    "Because lines are limited to 1000 characters in size, Corvane will wrap this line for "
    "you. In the future when lines are wrapped automatically, this message will not appear.";

namespace {

constexpr std::size_t kMaxLine = 1000;

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

} // namespace

bool CRecordView::CanEdit() {
    if (m_doc->IsReadOnly() || !Record() || !IsShown(m_caret.field)) {
        platform().Beep();
        return false;
    }
    return true;
}

void CRecordView::BeginEdit(bool typing) {
    if (!typing || !m_editor.ContinuesTyping(m_caret.field, static_cast<int>(m_caret.offset)))
        m_editor.BeginStep();
}

void CRecordView::EndEdit(int field) {
    m_changed = true;
    m_doc->SetModified();
    CRecordHint hint{RecordHintOp::Changed, Record()};
    hint.pos = CRecPos(Record(), FieldAt(field),
                       static_cast<int>(std::min<std::size_t>(m_caret.offset, 32000)));
    hint.hasPos = true;
    m_doc->UpdateAllViews(hint, this);
    m_desiredX = -1;
    m_linesValid = false;
    EnsureCaretVisible();
    Notify(kViewText | kViewCaret);
}

bool CRecordView::InBundle(int field) const {
    return Record() && IsInBundle(*Record(), FieldAt(field));
}

bool CRecordView::DeleteSelection() {
    auto [a, b] = Selection();
    if (a == b)
        return true;
    if (a.field == b.field) {
        if (!m_editor.Replace(a.field, a.offset, b.offset - a.offset, ""))
            return false;
    } else {
        // Hidden fields inside the selection would go unseen: the deletion is refused.
        for (int i = a.field + 1; i < b.field; ++i) {
            if (!IsShown(i)) {
                platform().Beep();
                return false;
            }
        }
        std::size_t tail =
            FieldAt(b.field)->Text().size() - std::min(b.offset, FieldAt(b.field)->Text().size());
        if (!FieldLengthOK(static_cast<std::int64_t>(a.offset + tail)))
            return false;
        std::size_t aLength = FieldAt(a.field)->Text().size();
        m_editor.Replace(a.field, a.offset, aLength - a.offset, "");
        m_editor.Replace(b.field, 0, b.offset, "");
        for (int i = a.field + 1; i < b.field; ++i) {
            m_editor.Replace(a.field + 1, 0, FieldAt(a.field + 1)->Text().size(), "");
            m_editor.Join(a.field, false);
        }
        m_editor.Join(a.field, false);
        m_fieldsChanged = true;
    }
    m_caret = m_anchor = a;
    return true;
}

void CRecordView::TypeText(std::string_view bytes) {
    if (!CanEdit())
        return;
    std::string run;
    bool beeped = false;
    auto flush = [&] {
        if (!run.empty())
            InsertTyped(run);
        run.clear();
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' || c == '\n') {
            // CR LF typed or pasted as one key is one line break.
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            flush();
            TypeLineBreak();
            continue;
        }
        if (IsControl(c)) {
            if (!beeped)
                platform().Beep();
            beeped = true;
            continue;
        }
        if (c == '\\') {
            flush();
            if (HasSelection()) {
                BeginEdit(false);
                if (!DeleteSelection())
                    return;
                EndEdit(m_caret.field);
            }
            CField* f = FieldAt(m_caret.field);
            std::string_view t = f->Text();
            if (m_caret.offset > 0 && m_caret.offset <= t.size() && t[m_caret.offset - 1] == '\n') {
                TypeBackslashAtLineStart();
                continue;
            }
        }
        run.push_back(static_cast<char>(c));
    }
    flush();
}

void CRecordView::InsertTyped(std::string_view run) {
    BeginEdit(!HasSelection());
    if (HasSelection() && !DeleteSelection())
        return;
    int field = m_caret.field;
    std::size_t inserted = 0;
    if (!m_editor.Replace(field, m_caret.offset, 0, run, &inserted))
        return;
    m_caret.offset += inserted;
    m_anchor = m_caret;
    BreakLongLines(field, m_caret.offset, m_caret.offset);
    WrapAtCaret();
    m_editor.MarkTyping(field, static_cast<int>(m_caret.offset));
    EndEdit(field);
}

void CRecordView::TypeLineBreak() {
    if (!Record())
        return;
    BeginEdit(!HasSelection());
    if (HasSelection() && !DeleteSelection())
        return;
    int field = m_caret.field;
    std::size_t inserted = 0;
    if (!m_editor.Replace(field, m_caret.offset, 0, "\n", &inserted))
        return;
    m_caret.offset += inserted;
    m_anchor = m_caret;
    m_editor.MarkTyping(field, static_cast<int>(m_caret.offset));
    EndEdit(field);
}

void CRecordView::TypeBackslashAtLineStart() {
    CMarkerSet& markers = m_doc->Records().Markers();
    CField* here = FieldAt(m_caret.field);
    // Offered first: the marker that follows this field's, else this field's own.
    const CMarker* suggested = here ? here->Marker()->Following() : nullptr;
    if (!suggested && here && here->Marker() != markers.RecordMarker())
        suggested = here->Marker();
    CMarker* marker = nullptr;
    std::string refused;
    while (!marker) {
        std::optional<std::string> name = m_env.dialogs->ChooseMarker(markers, suggested);
        // The same refused answer again (a chooser that cannot change its answer) closes it.
        if (!name || (!refused.empty() && *name == refused))
            return;
        refused = *name;
        CNote error;
        if (!CheckMarkerName(*name, error)) {
            platform().ShowMessage(error.Text());
            continue;
        }
        InsertFieldChoice choice = ChooseMarkerForInsert(markers, *name);
        switch (choice.outcome) {
        case InsertFieldOutcome::Insert:
            marker = choice.marker;
            break;
        case InsertFieldOutcome::AddNewMarker:
            marker = m_env.dialogs->AddNewMarker(markers, *name);
            break;
        case InsertFieldOutcome::Cancelled:
            return;
        case InsertFieldOutcome::Declined:
        case InsertFieldOutcome::Refused:
            break; // back to the chooser
        }
    }
    BeginEdit(false);
    int field = m_caret.field;
    m_editor.Split(field, m_caret.offset, marker);
    m_fieldsChanged = true;
    m_caret = m_anchor = CViewCaret{field + 1, 0};
    EndEdit(field + 1);
}

void CRecordView::BackspaceOrDelete(bool backspace) {
    if (!CanEdit())
        return;
    BeginEdit(false);
    if (HasSelection()) {
        if (DeleteSelection())
            EndEdit(m_caret.field);
        return;
    }
    int field = m_caret.field;
    std::size_t length = FieldAt(field)->Text().size();
    if (backspace && m_caret.offset == 0) {
        // The field joins the one before it, as deleting its marker from the file would.
        int prev = field - 1;
        if (prev < 0 || !IsShown(prev)) {
            platform().Beep();
            return;
        }
        std::size_t at = 0;
        if (!m_editor.Join(prev, true, &at))
            return;
        m_fieldsChanged = true;
        m_caret = m_anchor = CViewCaret{prev, at};
        EndEdit(prev);
        return;
    }
    if (!backspace && m_caret.offset >= length) {
        int next = field + 1;
        if (next >= FieldCount() || !IsShown(next)) {
            platform().Beep();
            return;
        }
        if (!m_editor.Join(field, true))
            return;
        m_fieldsChanged = true;
        EndEdit(field);
        return;
    }
    std::size_t from = backspace ? PrevBoundary(field, m_caret.offset) : m_caret.offset;
    std::size_t to = backspace ? m_caret.offset : NextBoundary(field, m_caret.offset);
    std::size_t inserted = 0;
    if (!m_editor.Replace(field, from, to - from, "", &inserted))
        return;
    m_caret = m_anchor = CViewCaret{field, from + inserted};
    WrapAtCaret();
    EndEdit(field);
}

void CRecordView::WrapAtCaret() {
    if (m_env.options && !m_env.options->autoWrap)
        return;
    int field = m_caret.field;
    CField* f = FieldAt(field);
    // Interlinear lines keep their columns: they are wrapped by Format Paragraph and
    // Reshape, as whole bundles.
    if (!f || f->Marker()->NoWordWrap() || InBundle(field))
        return;
    std::string text = f->Text();
    std::string before = text;
    WrapChange change = FormatParagraph(text, m_caret.offset, m_doc->Records().HeaderRecordWidth(),
                                        FieldFont(f->Marker()), m_measure);
    if (!change.Changed())
        return;
    f->SetText(std::move(text));
    m_editor.RecordSwap(field, change.begin,
                        std::string_view(before).substr(change.begin, change.end - change.begin));
}

void CRecordView::BreakLongLines(int field, std::size_t from, std::size_t to) {
    CField* f = FieldAt(field);
    if (!f)
        return;
    bool broke = false;
    for (;;) {
        std::string_view t = f->Text();
        std::size_t start = t.rfind('\n', from == 0 ? 0 : from - 1);
        start = (start == std::string_view::npos || from == 0) ? 0 : start + 1;
        // The first line past the limit from the line of from to the line of to.
        std::size_t longStart = std::string_view::npos;
        for (std::size_t s = start; s <= std::min(to, t.size());) {
            std::size_t e = t.find('\n', s);
            if (e == std::string_view::npos)
                e = t.size();
            if (e - s > kMaxLine) {
                longStart = s;
                break;
            }
            s = e + 1;
        }
        if (longStart == std::string_view::npos)
            break;
        // At the last space that keeps the line within the limit, else after the limit.
        std::size_t cut = std::string_view::npos;
        for (std::size_t i = longStart + kMaxLine; i > longStart; --i)
            if (t[i] == ' ' && i + 1 < t.size() && t[i + 1] != '\\') {
                cut = i;
                break;
            }
        if (cut != std::string_view::npos) {
            std::string text(t);
            text[cut] = '\n';
            f->SetText(std::move(text));
            m_editor.RecordSwap(field, cut, " ");
        } else {
            std::size_t inserted = 0;
            std::size_t at = longStart + kMaxLine;
            if (!m_editor.Replace(field, at, 0, "\n", &inserted))
                break;
            if (m_caret.field == field && m_caret.offset >= at)
                m_caret.offset += inserted;
            to += inserted;
        }
        broke = true;
        from = longStart;
    }
    m_anchor = m_caret;
    if (broke && !m_longLineTold) {
        m_longLineTold = true;
        platform().ShowMessage(kLongLineMessage);
    }
}

bool CRecordView::Cut(std::string& clipboard) {
    if (!HasSelection()) {
        platform().Beep();
        return false;
    }
    if (!CanEdit())
        return false;
    std::optional<std::string> text = Copy();
    if (!text)
        return false;
    BeginEdit(false);
    if (!DeleteSelection())
        return false;
    clipboard = std::move(*text);
    EndEdit(m_caret.field);
    return true;
}

bool CRecordView::Paste(std::string_view pasted) {
    if (!CanEdit())
        return false;
    if (pasted.empty()) {
        platform().Beep();
        return false;
    }
    // The pieces: text for the field at the caret, then a field per marker line.
    struct Piece {
        CMarker* marker = nullptr;
        std::string text;
    };
    CMarkerSet& markers = m_doc->Records().Markers();
    CMarker* recordMarker = m_doc->Records().RecordMarker();
    std::vector<Piece> pieces(1);
    bool controls = false;
    bool markersAdded = false;
    std::size_t pos = 0;
    bool firstLine = true;
    while (pos <= pasted.size()) {
        std::size_t nl = pasted.find('\n', pos);
        std::size_t end = nl == std::string_view::npos ? pasted.size() : nl;
        std::string_view line = pasted.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string clean;
        for (char c : line) {
            if (IsControl(static_cast<unsigned char>(c)) && c != '\t') {
                controls = true;
                continue;
            }
            clean.push_back(c);
        }
        SFLine parsed = ClassifyLine(clean);
        if (parsed.kind == SFLineKind::Marker) {
            bool added = false;
            CMarker* m = markers.SearchOrAddFromData(parsed.name, &added);
            markersAdded |= added;
            if (m && m != recordMarker) {
                pieces.push_back(Piece{m, std::string(parsed.text)});
            } else {
                // A record marker never begins a record inside a record.
                pieces.back().text += "\n" + clean;
                platform().Beep();
            }
        } else {
            if (!firstLine)
                pieces.back().text += '\n';
            pieces.back().text += clean;
        }
        firstLine = false;
        if (nl == std::string_view::npos)
            break;
        pos = nl + 1;
    }
    if (controls)
        platform().Beep();
    if (markersAdded)
        TellNewMarkersAdded();
    auto [a, b] = Selection();
    CField* af = FieldAt(a.field);
    CField* bf = FieldAt(b.field);
    std::size_t head = std::min(a.offset, af->Text().size());
    std::size_t tail = bf->Text().size() - std::min(b.offset, bf->Text().size());
    // Nothing is pasted when a field would pass the limit: never a part of it.
    std::size_t first = head + pieces.front().text.size() + (pieces.size() == 1 ? tail : 0);
    std::size_t last = pieces.back().text.size() + tail;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::size_t n = i == 0 ? first : i + 1 == pieces.size() ? last : pieces[i].text.size();
        if (!FieldLengthOK(static_cast<std::int64_t>(n)))
            return false;
    }
    BeginEdit(false);
    if (HasSelection() && !DeleteSelection())
        return false;
    int field = m_caret.field;
    std::size_t inserted = 0;
    std::size_t start = m_caret.offset;
    if (!m_editor.Replace(field, m_caret.offset, 0, pieces.front().text, &inserted))
        return false;
    m_caret.offset += inserted;
    BreakLongLines(field, start, m_caret.offset);
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        m_editor.Split(field, m_caret.offset, pieces[i].marker);
        m_fieldsChanged = true;
        ++field;
        m_editor.Replace(field, 0, 0, pieces[i].text, &inserted);
        m_caret = CViewCaret{field, inserted};
        BreakLongLines(field, 0, m_caret.offset);
    }
    m_anchor = m_caret;
    WrapAtCaret();
    EndEdit(field);
    return true;
}

bool CRecordView::Undo() {
    int field = m_caret.field;
    int offset = static_cast<int>(m_caret.offset);
    if (!m_editor.Undo(field, offset)) {
        platform().Beep();
        return false;
    }
    // Back where the view came to the record (nothing committed since): unchanged.
    m_changed = m_editor.CanUndo() || m_committed;
    m_fieldsChanged = true;
    m_caret = m_anchor = CViewCaret{field, static_cast<std::size_t>(std::max(offset, 0))};
    ClampCaret();
    m_doc->SetModified();
    CRecordHint hint{RecordHintOp::Changed, Record()};
    m_doc->UpdateAllViews(hint, this);
    EnsureCaretVisible();
    Notify(kViewText | kViewCaret);
    return true;
}

bool CRecordView::UndoAll() {
    if (!m_editor.CanUndo()) {
        platform().Beep();
        return false;
    }
    if (platform().Ask("Are you sure you want to undo ALL changes to this record?",
                       Buttons::YesNo) != Answer::Yes)
        return false;
    while (m_editor.CanUndo())
        Undo();
    return true;
}

} // namespace crv
