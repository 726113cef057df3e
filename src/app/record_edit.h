// Edits of one record's fields as the record view makes them, each recorded for undo:
// replacing text in a field, splitting a field in two, joining a field to the one before
// it. Every text edit keeps the invariants of text in memory: no field past 32000
// characters (refused with its message), and no line after the first beginning with a
// backslash (a space is put in front, as the reader would).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace crv {

class CField;
class CMarker;
class CRecord;

// One element of the undo list of the current record.
struct CUndoElement {
    enum class Kind {
        Text,  // at offset of field, inserted characters replaced the text removed
        Split, // field was cut at offset; the rest became the next field, of marker
        Join,  // the next field (of marker) was appended to field at offset after the
               // inserted characters of separator
    };
    Kind kind = Kind::Text;
    int field = 0;
    int offset = 0;
    int inserted = 0;
    std::string removed;
    std::string marker;
    // The first element of an editing step: Undo takes back a whole step.
    bool stepStart = false;
};

class CRecordEditor {
public:
    explicit CRecordEditor(CRecord* record = nullptr) : m_record(record) {}

    CRecord* Record() const { return m_record; }
    // Another record: the undo list is emptied.
    void SetRecord(CRecord* record);

    // The next element recorded begins a new editing step.
    void BeginStep() { m_stepOpen = false; }
    // Whether the last step may grow by typing at (field, offset): it was typing that
    // ended there.
    bool ContinuesTyping(int field, int offset) const;
    void MarkTyping(int field, int offset);

    // Replaces length characters at offset of field by text; false (after the limit
    // message) when the field would pass 32000 characters. Line starts that the edit
    // made begin with a backslash get a space in front; inserted counts it.
    bool Replace(int field, std::size_t offset, std::size_t length, std::string_view text,
                 std::size_t* inserted = nullptr);
    // Records that bytes [begin, end) of field were swapped in place (wrapping) from before.
    void RecordSwap(int field, std::size_t begin, std::string_view before);
    // Cuts field at offset; the rest becomes a new field of marker after it.
    void Split(int field, std::size_t offset, CMarker* marker);
    // Appends field+1 to field, with a line break between when lineBreak is set and both
    // hold text; false (after the limit message) when the result would pass 32000
    // characters. The offset where the joined text begins in joinedAt.
    bool Join(int field, bool lineBreak, std::size_t* joinedAt = nullptr);

    bool CanUndo() const { return !m_undo.empty(); }
    const std::vector<CUndoElement>& Elements() const { return m_undo; }
    // Takes back the last step; the place to put the caret in (field, offset).
    bool Undo(int& field, int& offset);
    // Takes back every step, last first.
    bool UndoAll(int& field, int& offset);
    void Clear();

    CField* FieldAt(int index) const;
    int IndexOf(const CField* field) const;

private:
    void Push(CUndoElement e);
    void UndoElement(const CUndoElement& e, int& field, int& offset);

    CRecord* m_record;
    std::vector<CUndoElement> m_undo;
    bool m_stepOpen = false;
    bool m_typing = false;
    int m_typingField = -1;
    int m_typingEnd = -1;
};

// Puts a space after each line break in [from, to] of text that a backslash follows, so
// that no line begins with one; the offsets where spaces went, ascending (as they stand
// after the insertions).
std::vector<std::size_t> EscapeLineStarts(std::string& text, std::size_t from, std::size_t to);

} // namespace crv
