// The record view's commands over more than a keystroke: find and replace, Format
// Paragraph, Set Margin and Reshape.
#include "app/record_view.h"

#include <algorithm>

#include "app/crv_doc.h"
#include "app/project.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "engine/bundle_wrap.h"
#include "engine/paragraph_wrap.h"
#include "schema/database_type.h"
#include "schema/marker.h"

namespace crv {

const char* const kReshapeQuestion =
    "You have selected Reshape Database which will reshape all fields in all records of this "
    "database to fit within the margin.  Fields based on markers that have their \"No Word "
    "Wrap\" option selected will not be affected.  Do you really want to do this?";

namespace {

constexpr int kMarginGap = 10;

int InterlinearCharWidth(const CCrvDoc& doc) {
    const CDatabaseType* type = doc.Records().Type();
    return type ? type->InterlinCharWidth() : CDatabaseType::kDefaultInterlinCharWidth;
}

} // namespace

// --- find and replace

bool CRecordView::FindNext(bool forward) {
    static CFindSettings none;
    const CFindSettings& settings = m_env.find ? *m_env.find : none;
    CFindScope scope(settings, m_doc->Records(), &Index());
    if (!scope.Problem().empty()) {
        platform().ShowMessage(scope.Problem());
        return false;
    }
    auto [a, b] = Selection();
    CViewCaret from = forward ? b : a;
    CFindStart start{Record(), FieldAt(from.field), from.offset, Current()};
    std::optional<CFindHit> hit = scope.Find(start, forward);
    if (!hit) {
        platform().ShowMessage(FormatMessage("Not found: %1", {settings.Text()}),
                               MessageKind::Information);
        return false;
    }
    if (hit->record != Record()) {
        if (!LeaveRecord())
            return false;
        CIndexPos pos = Index().FindRecord(hit->record);
        EnterRecord(hit->record, pos);
    }
    int field = m_editor.IndexOf(hit->field);
    m_anchor = CViewCaret{field, hit->begin};
    m_caret = CViewCaret{field, hit->end};
    m_desiredX = -1;
    EnsureCaretVisible();
    Notify(kViewRecord | kViewCaret);
    return true;
}

bool CRecordView::Find(std::string text, std::string lang) {
    if (!m_env.find)
        return false;
    m_env.find->AddToHistory(std::move(text), std::move(lang));
    return FindNext(true);
}

bool CRecordView::ReplaceNext() {
    if (!m_env.find)
        return false;
    CFindScope scope(*m_env.find, m_doc->Records(), &Index());
    if (!scope.Problem().empty()) {
        platform().ShowMessage(scope.Problem());
        return false;
    }
    auto [a, b] = Selection();
    CField* f = FieldAt(a.field);
    const CFindMatcher* matcher = f && a.field == b.field ? scope.MatcherFor(f->Marker()) : nullptr;
    std::optional<CTextHit> hit =
        matcher ? matcher->FindForward(f->Text(), a.offset) : std::optional<CTextHit>();
    bool replaced = false;
    if (hit && hit->begin == a.offset && hit->end == b.offset && CanEdit()) {
        BeginEdit(false);
        std::size_t inserted = 0;
        if (m_editor.Replace(a.field, a.offset, b.offset - a.offset, m_env.find->replace,
                             &inserted)) {
            m_caret = m_anchor = CViewCaret{a.field, a.offset + inserted};
            EndEdit(a.field);
            replaced = true;
        }
    }
    bool found = FindNext(true);
    return replaced || found;
}

CReplaceResult CRecordView::ReplaceAllCommand() {
    static CFindSettings none;
    const CFindSettings& settings = m_env.find ? *m_env.find : none;
    CFindScope scope(settings, m_doc->Records(), &Index());
    if (!scope.Problem().empty()) {
        platform().ShowMessage(scope.Problem());
        return {};
    }
    if (m_doc->IsReadOnly()) {
        platform().Beep();
        return {};
    }
    if (!LeaveRecord())
        return {};
    // Records change all over the database: no undo list of this one stays true.
    m_editor.Clear();
    CFindStart start{Record(), FieldAt(m_caret.field), m_caret.offset, Current()};
    CReplaceResult result = ReplaceAll(*m_doc, scope, start, settings.replace, this);
    ClampCaret();
    Notify(kViewText | kViewCaret | kViewRows);
    ShowReplaceAllMessages(result);
    return result;
}

// --- wrapping

bool CRecordView::FormatParagraphCommand() {
    if (!CanEdit())
        return false;
    CRecord* record = Record();
    int field = m_caret.field;
    CField* f = FieldAt(field);
    if (f->Marker()->NoWordWrap())
        return false;
    if (CField* textLine = BundleTextLine(*record, f)) {
        // The bundle is wrapped whole; Undo puts its fields back as they were.
        std::vector<std::pair<CMarker*, std::string>> before;
        for (CField* b : BundleFields(*record, textLine))
            before.emplace_back(b->Marker(), b->Text());
        int first = m_editor.IndexOf(textLine);
        std::size_t columns =
            BundleWrapColumns(m_doc->Records().HeaderRecordWidth(), InterlinearCharWidth(*m_doc));
        std::vector<std::string> texts;
        // Wrapped on a copy first: the edit is then made of undoable steps.
        std::size_t added = WrapBundle(*record, textLine, columns);
        if (!added)
            return false;
        std::vector<CField*> now;
        for (CField* x = textLine; x && now.size() < before.size() * (added + 1);
             x = record->GetNext(x))
            now.push_back(x);
        for (CField* x : now)
            texts.push_back(x->Text());
        // Put the bundle back, then make the same change through the editor.
        for (std::size_t i = before.size(); i < now.size(); ++i)
            delete record->Remove(now[i]);
        for (std::size_t i = 0; i < before.size(); ++i)
            now[i]->SetText(before[i].second);
        BeginEdit(false);
        int n = static_cast<int>(before.size());
        int last = first + n - 1;
        for (std::size_t k = 1; k <= added; ++k) {
            for (int i = 0; i < n; ++i) {
                m_editor.Split(last, FieldAt(last)->Text().size(),
                               before[static_cast<std::size_t>(i)].first);
                ++last;
                m_editor.Replace(
                    last, 0, 0,
                    texts[k * static_cast<std::size_t>(n) + static_cast<std::size_t>(i)]);
            }
        }
        for (int i = 0; i < n; ++i) {
            int at = first + i;
            const std::string& want = texts[static_cast<std::size_t>(i)];
            m_editor.Replace(at, 0, FieldAt(at)->Text().size(), want);
        }
        m_fieldsChanged = true;
        ClampCaret();
        EndEdit(first);
        return true;
    }
    std::string text = f->Text();
    std::string old = text;
    WrapChange change = FormatParagraph(text, m_caret.offset, m_doc->Records().HeaderRecordWidth(),
                                        FieldFont(f->Marker()), m_measure);
    if (!change.Changed())
        return false;
    BeginEdit(false);
    f->SetText(std::move(text));
    m_editor.RecordSwap(field, change.begin,
                        std::string_view(old).substr(change.begin, change.end - change.begin));
    EndEdit(field);
    return true;
}

void CRecordView::SetMarginCommand() {
    int margin = m_clientWidth - m_settings.markerAreaWidth - kMarginGap;
    // The database file keeps 0..9999; anything else would be written as 400.
    margin = std::clamp(margin, 1, 9999);
    m_doc->Records().SetRecordWidth(margin);
    m_doc->SetModified();
    platform().ShowMessage("The margin has been set to the\nwidth of the current view.",
                           MessageKind::Information, false);
    Notify(kViewSettings);
}

bool CRecordView::ReshapeCommand() {
    if (m_doc->IsReadOnly()) {
        platform().Beep();
        return false;
    }
    if (!LeaveRecord())
        return false;
    if (!ReshapeDatabase(*m_doc, m_doc->Records().HeaderRecordWidth(), this))
        return false;
    m_editor.Clear();
    ClampCaret();
    Notify(kViewText | kViewCaret | kViewRows);
    return true;
}

bool ReshapeDatabase(CCrvDoc& doc, int margin, CDocView* sender) {
    if (platform().Ask(kReshapeQuestion, Buttons::YesNo) != Answer::Yes)
        return false;
    CIndexSet& set = doc.Records();
    int charWidth = InterlinearCharWidth(doc);
    // Every line is met once: a cache of widths would only cost.
    CTextMeasure measure(false);
    std::vector<CRecord*> records;
    records.reserve(set.RecordCount());
    for (const CRecord& r : set.Records())
        records.push_back(const_cast<CRecord*>(&r));
    auto progress = platform().BeginProgress(FormatMessage("Reshaping %1", {doc.Path()}),
                                             static_cast<std::int64_t>(records.size()), false);
    for (CRecord* r : records) {
        RecordFormatResult result = FormatRecord(*r, margin, charWidth, measure);
        if (result.fieldsAdded)
            doc.RecordChanged(r, true, sender);
        else if (result.changed)
            doc.RecordTextChanged(r, true, sender);
        progress->Step();
    }
    doc.UpdateAllViews(CRecordHint{RecordHintOp::Redraw}, sender);
    return true;
}

} // namespace crv
