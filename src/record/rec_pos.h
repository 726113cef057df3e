// A position inside a database: record, field and character offset. A plain value:
// it holds no counts and edits do not move it.
#pragma once

namespace crv {

class CRecord;
class CField;

class CRecPos {
public:
    CRecPos() = default;
    CRecPos(CRecord* record, CField* field, int offset = 0);

    CRecord* Record() const { return m_record; }
    CField* Field() const { return m_field; }
    int Offset() const { return m_offset; }

    void Set(CRecord* record, CField* field, int offset = 0);
    void SetField(CField* field, int offset = 0);
    // 0 <= offset <= 32000 (a caret may stand after the last character of a full field).
    void SetOffset(int offset);

    // Both positions must be in the same record. In one field the offsets decide;
    // otherwise the order of the fields in the record.
    bool IsBefore(const CRecPos& other) const;
    bool IsAfter(const CRecPos& other) const;
    bool Equals(const CRecPos& other) const;

    // Back to just after the previous LF (or to 0); whether the offset changed.
    bool MoveToLineStart();
    // Forward to the next LF (or the end of the text); whether the offset changed.
    bool MoveToLineEnd();
    // The bounds of the line at the offset, then past its LF. False when the offset is
    // already at the end of the text.
    bool NextLine(CRecPos& start, CRecPos& end);
    // False at offset 0. Otherwise end is the current position, the position moves back
    // onto the previous LF (or to 0) and start is just after that LF (or 0).
    bool PrevLine(CRecPos& start, CRecPos& end);

private:
    bool SameRecord(const CRecPos& other) const;
    int TextLength() const;

    CRecord* m_record = nullptr;
    CField* m_field = nullptr;
    int m_offset = 0;
};

} // namespace crv
