// The record view's state: its index and record, the lines of the record as they are
// drawn, caret movement, the marker area, browse mode, settings and what the document
// tells it.
#include "app/record_view.h"

#include <algorithm>

#include "app/crv_doc.h"
#include "app/display_text.h"
#include "app/project.h"
#include "base/platform.h"
#include "engine/browse_cell.h"
#include "schema/marker.h"
#include "schema/range_set_check.h"

namespace crv {

namespace {

constexpr int kTextGap = 4;        // pixels between the marker area and the text
constexpr int kTallRecord = 32767; // taller records get the scrolling warning
constexpr std::size_t kClipboardLimit = 32000;

const char* const kTooTall =
    "Warning: This record is too large to properly scroll (near the end of the record).\nWe "
    "suggest you divide this record into multiple, smaller records.";

bool IsSpaceByte(char c) { return c == ' ' || c == '\n' || c == '\t'; }

} // namespace

std::optional<std::string> CViewDialogs::ChooseMarker(const CMarkerSet& markers,
                                                      const CMarker* suggested) {
    std::vector<std::string> labels;
    std::vector<const CMarker*> shown;
    std::optional<std::size_t> chosen;
    std::optional<std::size_t> firstField; // the first that is not the record marker
    for (const CMarker& m : markers) {
        if (&m == suggested)
            chosen = shown.size();
        if (!firstField && &m != markers.RecordMarker())
            firstField = shown.size();
        labels.push_back(m.ListLabel(true, true, true));
        shown.push_back(&m);
    }
    if (shown.empty())
        return std::nullopt;
    auto item =
        platform().ChooseItem("Insert Field", labels, chosen.value_or(firstField.value_or(0)));
    if (!item || *item >= shown.size())
        return std::nullopt;
    return shown[*item]->Name();
}

CMarker* CViewDialogs::AddNewMarker(CMarkerSet& markers, std::string_view name) {
    CMarkerProperties props;
    props.name = std::string(name);
    CNote error;
    CMarker* m = markers.Add(props, error);
    if (!m)
        platform().ShowMessage(error.Text());
    return m;
}

CRecordView::CRecordView(CCrvDoc& doc, const CViewEnvironment& env, const CWindowSettings& settings)
    : m_doc(&doc), m_env(env), m_settings(settings) {
    if (!m_env.dialogs)
        m_env.dialogs = &m_platformDialogs;
    m_markerArea = {settings.viewMarkers, settings.viewHierarchy, settings.viewFieldNames};
    CIndexSet& set = doc.Records();
    if (settings.index) {
        m_indexes = IndexesFromSettings(set, *settings.index);
    } else {
        m_indexes.unfiltered = &set.DefaultIndex();
        m_indexes.filtered = m_indexes.unfiltered;
    }
    doc.AddView(this);
    set.AddListener(this);
    CIndexPos pos;
    if (settings.current)
        if (auto found = FindRecordPosition(Index(), *settings.current))
            pos = *found;
    if (!pos.IsValid())
        pos = Index().First();
    EnterRecord(pos.Record(), pos);
    // The caret and scroll position the project remembered.
    const std::vector<CViewLine>& lines = Lines();
    if (settings.current && !lines.empty()) {
        m_caret = CaretFromLine(settings.caretLine, settings.caretChar);
        m_anchor = m_caret;
        m_scrollLine = std::clamp(settings.caretLineScroll, 0, static_cast<int>(lines.size()) - 1);
    }
}

CRecordView::~CRecordView() {
    m_doc->Records().RemoveListener(this);
    m_doc->RemoveView(this);
}

std::unique_ptr<CRecordView> CRecordView::Duplicate() const {
    CWindowSettings s = Settings();
    s.browse = false;
    s.jumpTarget = false;
    s.browseList = CBrowseList();
    s.placement.reset();
    auto copy = std::make_unique<CRecordView>(*m_doc, m_env, s);
    copy->SetIndexes(m_indexes);
    if (Record()) {
        CIndexPos pos = const_cast<CRecordView*>(this)->Current();
        copy->EnterRecord(Record(), pos);
        copy->m_caret = m_caret;
        copy->m_anchor = m_caret;
        copy->m_scrollLine = m_scrollLine;
    }
    return copy;
}

void CRecordView::Notify(unsigned changes) {
    if (changes & (kViewText | kViewRecord))
        m_linesValid = false;
    if (m_listener)
        m_listener(changes);
}

void CRecordView::Invalidate() { m_linesValid = false; }

// --- record and index

CIndexPos CRecordView::Current() {
    CIndex& index = Index();
    if (m_current.IsValid()) {
        CIndexPos pos = index.PosOf(m_current.Entry());
        if (pos.IsValid())
            return m_current = pos;
        m_current = CIndexPos();
    }
    if (m_refind) {
        CIndexPos pos = index.Find(m_refind, m_refindField);
        if (!pos.IsValid())
            pos = index.FindRecord(m_refind);
        m_refind = nullptr;
        m_current = pos;
        return pos;
    }
    if (m_fallbackOrdinal) {
        std::size_t n = index.Count();
        CIndexPos pos = n ? index.PosAt(std::min(*m_fallbackOrdinal, n - 1)) : CIndexPos();
        m_fallbackOrdinal.reset();
        EnterRecord(pos.Record(), pos);
        Notify(kViewRecord | kViewCaret | kViewRows);
        return m_current;
    }
    return m_current;
}

void CRecordView::EnterRecord(CRecord* record, const CIndexPos& pos) {
    m_current = pos;
    m_refind = nullptr;
    m_fallbackOrdinal.reset();
    if (record != m_editor.Record() || !record) {
        m_editor.SetRecord(record);
        m_changed = false;
        m_fieldsChanged = false;
        m_committed = false;
        m_caret = CViewCaret{std::max(NextShown(-1, 1), 0), 0};
        m_anchor = m_caret;
        m_scrollLine = 0;
        m_desiredX = -1;
        m_linesValid = false;
        if (record && RecordHeight() > kTallRecord)
            platform().ShowMessage(kTooTall);
    }
}

void CRecordView::MoveTo(const CIndexPos& pos) {
    CRecord* record = pos.Record();
    // A window is left before it moves; a caller that did not leave still gets the
    // record stamped and re-sorted, never a change lost to the indexes.
    if (m_changed && record != Record()) {
        CRecord* left = Record();
        m_changed = false;
        m_doc->RecordChanged(left, true, this);
    }
    EnterRecord(record, pos.IsValid() ? Index().PosOf(pos.Entry()) : pos);
    Notify(kViewRecord | kViewCaret);
}

bool CRecordView::LeaveRecord() {
    CRecord* record = Record();
    if (!m_changed || !record)
        return true;
    if (auto bad = CheckRecordAgainstRangeSets(*record)) {
        // The view stays, with the text to correct selected.
        m_anchor = CViewCaret{static_cast<int>(bad->field), bad->span.offset};
        m_caret = CViewCaret{static_cast<int>(bad->field), bad->span.offset + bad->span.length};
        EnsureCaretVisible();
        Notify(kViewCaret);
        return false;
    }
    m_changed = false;
    m_committed = true;
    bool fields = m_fieldsChanged;
    m_fieldsChanged = false;
    if (fields)
        m_doc->RecordChanged(record, true, this);
    else
        m_doc->RecordTextChanged(record, true, this);
    ClampCaret();
    Notify(kViewText | kViewRows);
    return true;
}

void CRecordView::SetIndexes(CWindowIndexes indexes) {
    CRecord* record = Record();
    m_indexes = std::move(indexes);
    CIndexPos pos = record ? Index().FindRecord(record) : CIndexPos();
    m_current = pos;
    if (!record) {
        pos = Index().First();
        EnterRecord(pos.Record(), pos);
    }
    Notify(kViewRecord | kViewRows | kViewSettings);
}

void CRecordView::OnUpdate(CCrvDoc&, const CRecordHint& hint, CDocView*) {
    switch (hint.op) {
    case RecordHintOp::Changed:
        if (hint.record != Record())
            return;
        // Another window or command changed this record: undo records of it no longer
        // fit the text.
        m_editor.Clear();
        ClampCaret();
        Notify(kViewText | kViewCaret);
        return;
    case RecordHintOp::Redraw:
        m_editor.Clear();
        ClampCaret();
        Notify(kViewText | kViewCaret | kViewRows);
        return;
    case RecordHintOp::Inserted:
        Notify(kViewRows);
        return;
    case RecordHintOp::Deleted:
        return; // the index set moves the window off the record's entries
    }
}

void CRecordView::OnDocumentSaved(CCrvDoc&) { m_editor.Clear(); }

void CRecordView::OnEntriesRemoving(CIndex& index, const std::vector<const CIndexEntry*>& entries) {
    if (&index != &Index() || !m_current.IsValid())
        return;
    const CIndexEntry* mine = m_current.Entry();
    if (std::find(entries.begin(), entries.end(), mine) == entries.end())
        return;
    CRecord* record = mine->Record();
    if (m_doc->Records().RecordBeingDeleted() == record) {
        // The record goes: the window shows the entry that takes its place.
        CIndexPos pos = index.PosOf(mine);
        std::size_t before = 0;
        for (const CIndexEntry* e : entries) {
            CIndexPos p = index.PosOf(e);
            if (p.IsValid() && p.Ordinal() < pos.Ordinal())
                ++before;
        }
        m_fallbackOrdinal = pos.Ordinal() - before;
        m_editor.SetRecord(nullptr);
        m_changed = false;
        m_current = CIndexPos();
        return;
    }
    // Re-sorted: the same record is found again once the index is updated.
    m_refind = record;
    m_refindField = mine->Field();
    m_current = CIndexPos();
}

// --- fields and characters

int CRecordView::FieldCount() const { return Record() ? static_cast<int>(Record()->Count()) : 0; }

bool CRecordView::IsShown(int field) const {
    CField* f = FieldAt(field);
    return f && !f->Marker()->Hidden();
}

int CRecordView::NextShown(int field, int step) const {
    for (int i = field + step; i >= 0 && i < FieldCount(); i += step)
        if (IsShown(i))
            return i;
    return -1;
}

bool CRecordView::IsUtf8(int field) const {
    CField* f = FieldAt(field);
    if (!f)
        return false;
    return m_isUtf8 ? m_isUtf8(*f) : IsValidUtf8(f->Text());
}

std::size_t CRecordView::NextBoundary(int field, std::size_t offset) const {
    CField* f = FieldAt(field);
    std::string_view t = f ? std::string_view(f->Text()) : std::string_view();
    if (offset >= t.size())
        return t.size();
    ++offset;
    if (IsUtf8(field))
        while (offset < t.size() && (static_cast<unsigned char>(t[offset]) & 0xC0) == 0x80)
            ++offset;
    return offset;
}

std::size_t CRecordView::PrevBoundary(int field, std::size_t offset) const {
    CField* f = FieldAt(field);
    std::string_view t = f ? std::string_view(f->Text()) : std::string_view();
    if (offset == 0)
        return 0;
    offset = std::min(offset, t.size()) - 1;
    if (IsUtf8(field))
        while (offset > 0 && (static_cast<unsigned char>(t[offset]) & 0xC0) == 0x80)
            --offset;
    return offset;
}

void CRecordView::ClampCaret() {
    auto clamp = [this](CViewCaret& c) {
        if (!IsShown(c.field)) {
            int shown = NextShown(c.field, -1);
            if (shown < 0)
                shown = NextShown(-1, 1);
            c = CViewCaret{std::max(shown, 0), 0};
        }
        if (CField* f = FieldAt(c.field))
            c.offset = std::min(c.offset, f->Text().size());
        else
            c.offset = 0;
    };
    clamp(m_caret);
    clamp(m_anchor);
    m_linesValid = false;
}

// --- layout

FontMetrics CRecordView::Metrics(const FontSpec& font) const {
    for (const auto& [f, m] : m_metrics)
        if (f.face == font.face && f.height == font.height && f.weight == font.weight &&
            f.italic == font.italic)
            return m;
    FontMetrics m = platform().MeasureFont(font);
    m_metrics.emplace_back(font, m);
    return m;
}

const FontSpec& CRecordView::LabelFont() const {
    static const FontSpec fallback = CProjectOptions::DefaultMarkerFont();
    return m_env.options ? m_env.options->markerFont : fallback;
}

const FontSpec& CRecordView::LineFont(const CViewLine& line) const {
    CField* f = FieldAt(line.field);
    return FieldFont(f ? f->Marker() : nullptr);
}

int CRecordView::TextLeft() const { return m_settings.markerAreaWidth + kTextGap; }

const std::vector<CViewLine>& CRecordView::Lines() const {
    if (m_linesValid)
        return m_lines;
    m_lines.clear();
    m_linesValid = true;
    CRecord* record = Record();
    if (!record)
        return m_lines;
    FontMetrics label = Metrics(LabelFont());
    int top = 0;
    int index = 0;
    for (CField* f = record->GetFirst(); f; f = record->GetNext(f), ++index) {
        if (f->Marker()->Hidden())
            continue;
        FontMetrics m = Metrics(FieldFont(f->Marker()));
        std::string_view t = f->Text();
        std::size_t begin = 0;
        bool first = true;
        for (;;) {
            std::size_t end = t.find('\n', begin);
            CViewLine line;
            line.field = index;
            line.begin = begin;
            line.end = end == std::string_view::npos ? t.size() : end;
            line.top = top;
            line.height = first ? std::max(m.height, label.height) : m.height;
            line.ascent = first ? std::max(m.ascent, label.ascent) : m.ascent;
            line.first = first;
            if (first)
                line.label = MarkerLabel(*f->Marker(), m_markerArea);
            top += line.height;
            m_lines.push_back(std::move(line));
            first = false;
            if (end == std::string_view::npos)
                break;
            begin = end + 1;
        }
    }
    return m_lines;
}

int CRecordView::RecordHeight() const {
    const auto& lines = Lines();
    return lines.empty() ? 0 : lines.back().top + lines.back().height;
}

int CRecordView::LineOf(const CViewCaret& c) const {
    const auto& lines = Lines();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].field == c.field && c.offset >= lines[i].begin && c.offset <= lines[i].end)
            return static_cast<int>(i);
    return lines.empty() ? -1 : 0;
}

int CRecordView::CaretLine() const { return std::max(LineOf(m_caret), 0); }

CViewCaret CRecordView::CaretFromLine(int line, int offset) const {
    const auto& lines = Lines();
    if (lines.empty())
        return {};
    const CViewLine& l =
        lines[static_cast<std::size_t>(std::clamp(line, 0, static_cast<int>(lines.size()) - 1))];
    std::size_t at = l.begin + static_cast<std::size_t>(std::max(offset, 0));
    return CViewCaret{l.field, std::min(at, l.end)};
}

int CRecordView::XOf(const CViewLine& line, std::size_t offset) const {
    CField* f = FieldAt(line.field);
    if (!f || offset <= line.begin)
        return TextLeft();
    std::string_view t = f->Text();
    offset = std::min(offset, line.end);
    return TextLeft() + m_measure.Width(LineFont(line), t.substr(line.begin, offset - line.begin));
}

int CRecordView::ShownXOf(const CViewLine& line, std::size_t offset) const {
    if (m_geometry)
        if (std::optional<int> x = m_geometry->XOf(line, offset))
            return *x;
    return XOf(line, offset);
}

std::size_t CRecordView::ShownOffsetAtX(const CViewLine& line, int x) const {
    if (m_geometry)
        if (std::optional<std::size_t> offset = m_geometry->OffsetAtX(line, x))
            return *offset;
    return OffsetAtX(line, x);
}

std::size_t CRecordView::OffsetAtX(const CViewLine& line, int x) const {
    CField* f = FieldAt(line.field);
    if (!f || x <= TextLeft())
        return line.begin;
    // Boundaries of the line, then the nearest by halving (widths grow with the text).
    std::vector<std::size_t> bounds{line.begin};
    for (std::size_t o = line.begin; o < line.end;) {
        o = std::min(NextBoundary(line.field, o), line.end);
        bounds.push_back(o);
    }
    std::size_t lo = 0, hi = bounds.size() - 1;
    while (lo < hi) {
        std::size_t mid = (lo + hi + 1) / 2;
        if (XOf(line, bounds[mid]) <= x)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo + 1 < bounds.size() && x - XOf(line, bounds[lo]) > XOf(line, bounds[lo + 1]) - x)
        ++lo;
    return bounds[lo];
}

CViewRect CRecordView::CaretBox() const {
    const auto& lines = Lines();
    int l = LineOf(m_caret);
    if (l < 0)
        return CViewRect{TextLeft(), 0, 1, Metrics(LabelFont()).height};
    const CViewLine& line = lines[static_cast<std::size_t>(l)];
    return CViewRect{XOf(line, m_caret.offset), line.top, 1, line.height};
}

std::vector<CViewRect> CRecordView::SelectionBoxes() const {
    std::vector<CViewRect> out;
    if (!HasSelection())
        return out;
    auto [a, b] = Selection();
    for (const CViewLine& line : Lines()) {
        CViewCaret lineStart{line.field, line.begin};
        CViewCaret lineEnd{line.field, line.end};
        if (lineEnd.Before(a) || b.Before(lineStart) || (b == lineStart && !(a == b)))
            continue;
        std::size_t from = line.field == a.field && a.offset > line.begin ? a.offset : line.begin;
        std::size_t to = line.field == b.field && b.offset < line.end ? b.offset : line.end;
        int x0 = XOf(line, from);
        int x1 = XOf(line, to);
        // A selected line break shows as a little room after the line.
        if (b.field != line.field || b.offset > line.end)
            x1 += Metrics(LineFont(line)).height / 3;
        if (x1 > x0)
            out.push_back(CViewRect{x0, line.top, x1 - x0, line.height});
    }
    return out;
}

CViewCaret CRecordView::HitTest(int x, int y) const {
    const auto& lines = Lines();
    if (lines.empty())
        return {};
    std::size_t i = 0;
    while (i + 1 < lines.size() && y >= lines[i].top + lines[i].height)
        ++i;
    return CViewCaret{lines[i].field, OffsetAtX(lines[i], x)};
}

void CRecordView::SetClientSize(int width, int height) {
    m_clientWidth = width;
    m_clientHeight = height;
    EnsureCaretVisible();
}

void CRecordView::SetScrollLine(int line) {
    int n = static_cast<int>(Lines().size());
    m_scrollLine = std::clamp(line, 0, std::max(n - 1, 0));
}

int CRecordView::ScrollTop() const {
    const auto& lines = Lines();
    return lines.empty() ? 0
                         : lines[static_cast<std::size_t>(std::min<int>(
                                     m_scrollLine, static_cast<int>(lines.size()) - 1))]
                               .top;
}

void CRecordView::EnsureCaretVisible() {
    const auto& lines = Lines();
    int l = LineOf(m_caret);
    if (l < 0)
        return;
    if (l < m_scrollLine)
        m_scrollLine = l;
    if (m_clientHeight <= 0)
        return;
    const CViewLine& caret = lines[static_cast<std::size_t>(l)];
    while (m_scrollLine < l &&
           caret.top + caret.height - lines[static_cast<std::size_t>(m_scrollLine)].top >
               m_clientHeight)
        ++m_scrollLine;
}

// --- caret and selection

std::pair<CViewCaret, CViewCaret> CRecordView::Selection() const {
    return m_anchor.Before(m_caret) ? std::pair{m_anchor, m_caret} : std::pair{m_caret, m_anchor};
}

void CRecordView::SetCaret(CViewCaret caret, bool extend) {
    m_caret = caret;
    if (!extend)
        m_anchor = caret;
    ClampCaret();
    m_desiredX = -1;
    EnsureCaretVisible();
    Notify(kViewCaret);
}

std::string CRecordView::SelectedText() const {
    if (!HasSelection())
        return {};
    auto [a, b] = Selection();
    std::string out;
    for (int i = a.field; i <= b.field; ++i) {
        CField* f = FieldAt(i);
        if (!f)
            break;
        std::string_view t = f->Text();
        std::size_t from = i == a.field ? std::min(a.offset, t.size()) : 0;
        std::size_t to = i == b.field ? std::min(b.offset, t.size()) : t.size();
        if (i != a.field) {
            out += "\n\\";
            out += f->Marker()->Name();
            out += ' ';
        }
        out.append(t.substr(from, to - from));
    }
    return out;
}

std::optional<std::string> CRecordView::Copy() const {
    std::string text = SelectedText();
    if (text.size() > kClipboardLimit) {
        platform().ShowMessage("Cannot copy more than 32000 characters!\n\nOperation cancelled.");
        return std::nullopt;
    }
    return text;
}

void CRecordView::Click(int x, int y, bool extend) { SetCaret(HitTest(x, y), extend); }

void CRecordView::DoubleClick(int x, int y) {
    CViewCaret c = HitTest(x, y);
    CField* f = FieldAt(c.field);
    if (!f)
        return;
    std::string_view t = f->Text();
    std::size_t b = std::min(c.offset, t.size()), e = b;
    while (b > 0 && !IsSpaceByte(t[b - 1]))
        --b;
    while (e < t.size() && !IsSpaceByte(t[e]))
        ++e;
    m_anchor = CViewCaret{c.field, b};
    m_caret = CViewCaret{c.field, e};
    Notify(kViewCaret);
}

void CRecordView::Key(ViewKey key, bool extend) {
    switch (key) {
    case ViewKey::Backspace:
        BackspaceOrDelete(true);
        return;
    case ViewKey::Delete:
        BackspaceOrDelete(false);
        return;
    case ViewKey::Enter:
        TypeText("\n");
        return;
    default:
        MoveCaret(key, extend);
    }
}

void CRecordView::MoveCaret(ViewKey key, bool extend) {
    const auto& lines = Lines();
    if (lines.empty()) {
        platform().Beep();
        return;
    }
    CViewCaret c = m_caret;
    // A selection collapses to the side the arrow points to.
    if (HasSelection() && !extend && (key == ViewKey::Left || key == ViewKey::Right)) {
        auto [a, b] = Selection();
        SetCaret(key == ViewKey::Left ? a : b);
        return;
    }
    int line = std::max(LineOf(c), 0);
    const CViewLine& cur = lines[static_cast<std::size_t>(line)];
    int keepX = m_desiredX >= 0 ? m_desiredX : ShownXOf(cur, c.offset);
    bool vertical = false;
    auto fieldEnd = [this](int f) { return FieldAt(f) ? FieldAt(f)->Text().size() : 0; };
    switch (key) {
    case ViewKey::Left:
        if (c.offset > 0) {
            c.offset = PrevBoundary(c.field, c.offset);
        } else if (int p = NextShown(c.field, -1); p >= 0) {
            c = CViewCaret{p, fieldEnd(p)};
        }
        break;
    case ViewKey::Right:
        if (c.offset < fieldEnd(c.field)) {
            c.offset = NextBoundary(c.field, c.offset);
        } else if (int n = NextShown(c.field, 1); n >= 0) {
            c = CViewCaret{n, 0};
        }
        break;
    case ViewKey::Up:
    case ViewKey::Down:
    case ViewKey::PageUp:
    case ViewKey::PageDown: {
        int step = 1;
        if (key == ViewKey::PageUp || key == ViewKey::PageDown)
            step = std::max(1, m_clientHeight / std::max(cur.height, 1) - 1);
        int to = line + ((key == ViewKey::Up || key == ViewKey::PageUp) ? -step : step);
        to = std::clamp(to, 0, static_cast<int>(lines.size()) - 1);
        const CViewLine& target = lines[static_cast<std::size_t>(to)];
        c = CViewCaret{target.field, ShownOffsetAtX(target, keepX)};
        vertical = true;
        break;
    }
    case ViewKey::Home:
        c.offset = cur.begin;
        break;
    case ViewKey::End:
        c.offset = cur.end;
        break;
    case ViewKey::WordLeft: {
        std::string_view t = FieldAt(c.field)->Text();
        std::size_t o = std::min(c.offset, t.size());
        if (o == 0) {
            if (int p = NextShown(c.field, -1); p >= 0)
                c = CViewCaret{p, fieldEnd(p)};
            break;
        }
        while (o > 0 && IsSpaceByte(t[o - 1]))
            --o;
        while (o > 0 && !IsSpaceByte(t[o - 1]))
            --o;
        c.offset = o;
        break;
    }
    case ViewKey::WordRight: {
        std::string_view t = FieldAt(c.field)->Text();
        std::size_t o = std::min(c.offset, t.size());
        if (o == t.size()) {
            if (int n = NextShown(c.field, 1); n >= 0)
                c = CViewCaret{n, 0};
            break;
        }
        while (o < t.size() && !IsSpaceByte(t[o]))
            ++o;
        while (o < t.size() && IsSpaceByte(t[o]))
            ++o;
        c.offset = o;
        break;
    }
    case ViewKey::RecordStart:
        c = CViewCaret{lines.front().field, 0};
        break;
    case ViewKey::RecordEnd:
        c = CViewCaret{lines.back().field, fieldEnd(lines.back().field)};
        break;
    case ViewKey::NextField:
    case ViewKey::PrevField: {
        int f = NextShown(c.field, key == ViewKey::NextField ? 1 : -1);
        if (f < 0) {
            platform().Beep();
            return;
        }
        c = CViewCaret{f, 0};
        break;
    }
    default:
        return;
    }
    m_caret = c;
    if (!extend)
        m_anchor = c;
    m_desiredX = vertical ? keepX : -1;
    EnsureCaretVisible();
    Notify(kViewCaret);
}

// --- marker area, browse mode, jump target

void CRecordView::ApplyMarkerArea(bool markers, bool hierarchy, bool names) {
    m_markerArea = {markers, hierarchy, names};
    m_settings.viewMarkers = markers;
    m_settings.viewHierarchy = hierarchy;
    m_settings.viewFieldNames = names;
    m_settings.markerAreaWidth = CWindowSettings::MarkerAreaWidthFor(markers, hierarchy, names);
    m_linesValid = false;
    Notify(kViewSettings | kViewText);
}

void CRecordView::ShowMarkers() { ApplyMarkerArea(true, m_markerArea.hierarchy, false); }
void CRecordView::ShowFieldNames() { ApplyMarkerArea(false, m_markerArea.hierarchy, true); }
void CRecordView::ShowMarkersAndFieldNames() {
    ApplyMarkerArea(true, m_markerArea.hierarchy, true);
}
void CRecordView::ToggleHierarchy() {
    ApplyMarkerArea(m_markerArea.markers, !m_markerArea.hierarchy, m_markerArea.fieldNames);
}

void CRecordView::SetBrowse(bool browse) {
    if (browse == m_settings.browse)
        return;
    m_settings.browse = browse;
    Notify(kViewSettings | kViewRows);
}

void CRecordView::SetBrowseColumns(CBrowseList list) {
    m_settings.browseList = std::move(list);
    Notify(kViewSettings | kViewRows);
}

void CRecordView::MakeJumpTarget() {
    for (CDocView* v : m_doc->Views())
        if (auto* other = dynamic_cast<CRecordView*>(v); other && other != this)
            other->m_settings.jumpTarget = false;
    m_settings.jumpTarget = true;
    Notify(kViewSettings);
}

// --- settings

void CRecordView::SetPlacement(std::optional<WindowPlacement> placement, int z) {
    m_settings.placement = placement;
    m_settings.z = z;
}

CWindowSettings CRecordView::Settings() const {
    CWindowSettings s = m_settings;
    s.viewMarkers = m_markerArea.markers;
    s.viewHierarchy = m_markerArea.hierarchy;
    s.viewFieldNames = m_markerArea.fieldNames;
    const CIndex& index = *m_indexes.filtered;
    if (index.IsDefault())
        s.index.reset();
    else
        s.index = IndexSettingsOf(index);
    s.current.reset();
    CIndexPos pos = const_cast<CRecordView*>(this)->Current();
    if (pos.IsValid())
        s.current = RecordPositionTexts(index, pos);
    const auto& lines = Lines();
    int line = LineOf(m_caret);
    s.caretLine = std::max(line, 0);
    s.caretChar =
        line >= 0 ? static_cast<int>(m_caret.offset - lines[static_cast<std::size_t>(line)].begin)
                  : 0;
    s.caretLineScroll = m_scrollLine;
    return s;
}

bool CRecordView::WindowSettingsNow(CWindowSettings& out) const {
    out = Settings();
    return true;
}

// --- browse list

std::vector<CBrowseModel::Column> CBrowseModel::Columns() const {
    std::vector<Column> out;
    CMarkerSet& markers = m_view.m_doc->Records().Markers();
    for (const CBrowseColumn& c : m_view.BrowseColumns().columns) {
        Column col;
        col.marker = markers.Search(c.marker);
        col.title = "\\" + c.marker;
        col.width = c.width;
        col.rightJustify = c.rightJustify;
        out.push_back(std::move(col));
    }
    if (out.empty()) {
        Column col;
        col.marker = m_view.Index().PriMarker() ? m_view.Index().PriMarker()
                                                : m_view.m_doc->Records().RecordMarker();
        col.title = col.marker ? "\\" + col.marker->Name() : std::string();
        col.width = 200;
        out.push_back(std::move(col));
    }
    return out;
}

std::size_t CBrowseModel::RowCount() const { return m_view.Index().Count(); }

std::string CBrowseModel::CellText(std::size_t row, const Column& column) const {
    const CIndexEntry* e = m_view.Index().EntryAt(row);
    const CBrowseList& list = m_view.BrowseColumns();
    if (!e || !column.marker)
        return list.noField;
    std::string text =
        BrowseCellText(*e, column.marker, CBrowseTexts{list.noField, list.fieldEmpty});
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

const FontSpec& CBrowseModel::ColumnFont(const Column& column) const {
    return FieldFont(column.marker);
}

int CBrowseModel::RowHeight() const {
    int h = 0;
    for (const Column& c : Columns())
        h = std::max(h, m_view.Metrics(ColumnFont(c)).height);
    return h;
}

std::optional<std::size_t> CBrowseModel::CurrentRow() const {
    CIndexPos pos = m_view.Current();
    if (!pos.IsValid())
        return std::nullopt;
    return pos.Ordinal();
}

bool CBrowseModel::ChooseCell(std::size_t row, const Column& column) {
    CIndexPos pos = m_view.Index().PosAt(row);
    if (!pos.IsValid() || !m_view.LeaveRecord())
        return false;
    m_view.MoveTo(pos);
    CRecord* r = pos.Record();
    CField* field = nullptr;
    if (pos.Field() && column.marker == pos.Field()->Marker())
        field = pos.Field();
    else if (column.marker)
        field = r->FindField(column.marker);
    int index = field ? m_view.m_editor.IndexOf(field) : -1;
    if (index >= 0 && m_view.IsShown(index))
        m_view.SetCaret(CViewCaret{index, 0});
    m_view.SetBrowse(false);
    return true;
}

} // namespace crv
