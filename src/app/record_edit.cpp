#include "app/record_edit.h"

#include <algorithm>

#include "base/platform.h"
#include "record/field.h"
#include "record/record.h"
#include "schema/marker.h"

namespace crv {

std::vector<std::size_t> EscapeLineStarts(std::string& text, std::size_t from, std::size_t to) {
    std::vector<std::size_t> at;
    from = from == 0 ? 0 : from - 1;
    for (std::size_t i = from; i < text.size() && i <= to; ++i) {
        if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\\') {
            text.insert(i + 1, 1, ' ');
            at.push_back(i + 1);
            ++to;
        }
    }
    return at;
}

void CRecordEditor::SetRecord(CRecord* record) {
    m_record = record;
    Clear();
}

void CRecordEditor::Clear() {
    m_undo.clear();
    m_stepOpen = false;
    m_typing = false;
}

CField* CRecordEditor::FieldAt(int index) const {
    if (!m_record || index < 0)
        return nullptr;
    CField* f = m_record->GetFirst();
    while (f && index-- > 0)
        f = m_record->GetNext(f);
    return f;
}

int CRecordEditor::IndexOf(const CField* field) const {
    int i = 0;
    for (CField* f = m_record ? m_record->GetFirst() : nullptr; f; f = m_record->GetNext(f), ++i)
        if (f == field)
            return i;
    return -1;
}

void CRecordEditor::Push(CUndoElement e) {
    e.stepStart = !m_stepOpen;
    m_stepOpen = true;
    m_typing = false;
    m_undo.push_back(std::move(e));
}

bool CRecordEditor::ContinuesTyping(int field, int offset) const {
    return m_typing && m_stepOpen && field == m_typingField && offset == m_typingEnd;
}

void CRecordEditor::MarkTyping(int field, int offset) {
    m_typing = true;
    m_typingField = field;
    m_typingEnd = offset;
}

bool CRecordEditor::Replace(int field, std::size_t offset, std::size_t length,
                            std::string_view text, std::size_t* inserted) {
    CField* f = FieldAt(field);
    if (!f)
        return false;
    std::string t = f->Text();
    offset = std::min(offset, t.size());
    length = std::min(length, t.size() - offset);
    if (t.size() - length + text.size() > t.size() &&
        !FieldLengthOK(static_cast<std::int64_t>(t.size() - length + text.size())))
        return false;
    CUndoElement e;
    e.field = field;
    e.offset = static_cast<int>(offset);
    e.removed = t.substr(offset, length);
    t.replace(offset, length, text);
    std::size_t added = text.size();
    std::vector<std::size_t> spaces = EscapeLineStarts(t, offset, offset + added);
    // A space the escape needs may take a full field past the limit: then nothing changes.
    if (!spaces.empty() && !FieldLengthOK(static_cast<std::int64_t>(t.size())))
        return false;
    // Spaces put in before the edit's end belong to it; one after it (a line that now
    // begins where the removed text ended) is an edit of its own.
    for (std::size_t s : spaces)
        if (s <= offset + added)
            ++added;
    e.inserted = static_cast<int>(added);
    f->SetText(std::move(t));
    Push(std::move(e));
    for (std::size_t s : spaces) {
        if (s > offset + added) {
            CUndoElement esc;
            esc.field = field;
            esc.offset = static_cast<int>(s);
            esc.inserted = 1;
            Push(std::move(esc));
        }
    }
    if (inserted)
        *inserted = added;
    return true;
}

void CRecordEditor::RecordSwap(int field, std::size_t begin, std::string_view before) {
    CUndoElement e;
    e.field = field;
    e.offset = static_cast<int>(begin);
    e.inserted = static_cast<int>(before.size());
    e.removed = std::string(before);
    bool typing = m_typing;
    Push(std::move(e));
    // Wrapping as the user types is part of the typing step.
    m_typing = typing;
}

void CRecordEditor::Split(int field, std::size_t offset, CMarker* marker) {
    CField* f = FieldAt(field);
    if (!f || !marker)
        return;
    std::string t = f->Text();
    offset = std::min(offset, t.size());
    auto* rest = new CField(marker, t.substr(offset));
    t.resize(offset);
    f->SetText(std::move(t));
    m_record->InsertAfter(f, rest);
    CUndoElement e;
    e.kind = CUndoElement::Kind::Split;
    e.field = field;
    e.offset = static_cast<int>(offset);
    e.marker = marker->Name();
    Push(std::move(e));
}

bool CRecordEditor::Join(int field, bool lineBreak, std::size_t* joinedAt) {
    CField* f = FieldAt(field);
    CField* next = f ? m_record->GetNext(f) : nullptr;
    if (!next)
        return false;
    std::string t = f->Text();
    const std::string& n = next->Text();
    // The joined text goes on a line of its own, as it stood in the file.
    std::string separator = lineBreak && !t.empty() && !n.empty() && t.back() != '\n' ? "\n" : "";
    if (!FieldLengthOK(static_cast<std::int64_t>(t.size() + separator.size() + n.size())))
        return false;
    CUndoElement e;
    e.kind = CUndoElement::Kind::Join;
    e.field = field;
    e.offset = static_cast<int>(t.size());
    e.inserted = static_cast<int>(separator.size());
    e.marker = next->Marker()->Name();
    t += separator;
    std::size_t at = t.size();
    t += n;
    // A joined text that begins with a backslash on its own line must not start a field.
    std::vector<std::size_t> spaces = EscapeLineStarts(t, at, at);
    e.inserted += static_cast<int>(spaces.size());
    f->SetText(std::move(t));
    delete m_record->Remove(next);
    Push(std::move(e));
    if (joinedAt)
        *joinedAt = at + spaces.size();
    return true;
}

void CRecordEditor::UndoElement(const CUndoElement& e, int& field, int& offset) {
    CField* f = FieldAt(e.field);
    if (!f)
        return;
    field = e.field;
    offset = e.offset;
    std::string t = f->Text();
    std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(e.offset), t.size());
    switch (e.kind) {
    case CUndoElement::Kind::Text:
        t.replace(at, std::min<std::size_t>(static_cast<std::size_t>(e.inserted), t.size() - at),
                  e.removed);
        f->SetText(std::move(t));
        offset = static_cast<int>(at + e.removed.size());
        break;
    case CUndoElement::Kind::Split: {
        CField* rest = m_record->GetNext(f);
        if (!rest)
            break;
        t += rest->Text();
        f->SetText(std::move(t));
        delete m_record->Remove(rest);
        break;
    }
    case CUndoElement::Kind::Join: {
        CMarkerSet* set = f->Marker()->Owner();
        CMarker* marker = set ? set->SearchOrAddFromData(e.marker) : nullptr;
        if (!marker)
            break;
        std::size_t from = std::min(t.size(), at + static_cast<std::size_t>(e.inserted));
        auto* rest = new CField(marker, t.substr(from));
        t.resize(at);
        f->SetText(std::move(t));
        m_record->InsertAfter(f, rest);
        break;
    }
    }
}

bool CRecordEditor::Undo(int& field, int& offset) {
    if (m_undo.empty())
        return false;
    while (!m_undo.empty()) {
        CUndoElement e = std::move(m_undo.back());
        m_undo.pop_back();
        UndoElement(e, field, offset);
        if (e.stepStart)
            break;
    }
    m_stepOpen = false;
    m_typing = false;
    return true;
}

bool CRecordEditor::UndoAll(int& field, int& offset) {
    if (m_undo.empty())
        return false;
    while (Undo(field, offset)) {
    }
    return true;
}

} // namespace crv
