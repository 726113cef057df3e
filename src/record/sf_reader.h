// SFStream: reads standard format database text into records and fields.
//
// The input is taken in large blocks into one buffer and cut into lines with memchr;
// a line ends at LF (a CR before it is dropped). Lines are classified by sf_syntax.h.
// A field is its marker line plus the continuation lines up to the next marker line,
// joined with LF; a one-line field is copied straight from the input buffer into the
// reader's RecordArena, longer ones are assembled in a reused field buffer first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/byte_stream.h"
#include "base/sf_syntax.h"
#include "record/record.h"
#include "record/record_arena.h"

namespace crv {

class CMarker;
class CMarkerSet;

class SFStream {
public:
    // Unknown markers are added to markers. With skipToRecord everything before the
    // first line with the record marker is skipped (and counted); otherwise only what
    // stands before the first marker line. With removeIndent the leading and trailing
    // spaces of continuation lines go (one stays before a backslash). recordMarker may
    // be null only without skipToRecord. The constructor reads up to the first field.
    SFStream(ByteSource& in, CMarkerSet& markers, CMarker* recordMarker, bool skipToRecord,
             bool removeIndent);
    ~SFStream();
    SFStream(const SFStream&) = delete;
    SFStream& operator=(const SFStream&) = delete;

    // The next field; false at the end of the input or when a field is too large.
    bool ReadField(std::unique_ptr<CField>& field);
    // The next record: its first field and every field up to the next record-marker
    // field. Trailing LFs of the last field (the empty lines between records) go.
    // False at the end or when a field is too large.
    bool ReadRecord(std::unique_ptr<CRecord>& record);
    // A field is waiting to be read.
    bool MoreRecords() const { return m_held && !m_tooLarge; }
    // The marker name of the field waiting to be read ("??" for an invalid name); empty
    // when there is none.
    std::string_view HeldMarkerName() const {
        return MoreRecords() ? m_line.name : std::string_view();
    }

    // Fields returned by ReadField (and so by ReadRecord).
    long FieldsRead() const { return m_fieldsRead; }
    long FieldsSkipped() const { return m_fieldsSkipped; }
    long LinesSkipped() const { return m_linesSkipped; }
    // A field would have passed 32000 characters; nothing more is read.
    bool TooLarge() const { return m_tooLarge; }
    // A read of the input failed.
    bool ReadFailed() const { return m_in.Failed(); }
    // Bytes of input consumed so far (for progress displays).
    std::int64_t Position() const {
        return m_bytesRead - static_cast<std::int64_t>(m_end - m_begin);
    }

private:
    enum class Skip { None, Control, OldDoubleBackslash };
    // The current logical line (a marker line, or a continuation line).
    struct Line {
        bool isMarker = false;
        bool isRecordMarker = false; // a marker line with the record marker
        std::string_view name;       // marker lines ("??" for an invalid name or "\_no" text)
        std::string_view text;
        bool spaceBefore = false; // text lines that began with a backslash
        bool escaped = false;     // likewise (never counted when skipped)
    };

    bool NextPhysicalLine(std::string_view& line);
    // m_line becomes the marker line parsed (raw as read).
    void SetMarkerLine(const SFLine& parsed, std::string_view raw);
    // The common case, outside the general line machinery: the held line is the whole
    // field, and the next line (after any empty ones) is a marker line already in the
    // buffer. Then the field is made, that line held, and true returned; otherwise
    // nothing is consumed.
    bool ReadOneLineField(CMarker* marker, std::unique_ptr<CField>& field);
    bool Refill();
    bool NextLine();
    void SkipToFirstField(bool skipToRecord);
    bool IsRecordMarkerLine() const { return m_line.isRecordMarker; }
    // The marker of the marker line in m_line, added to the set when it is new.
    CMarker* Resolve(std::string_view name);
    // Adds the text line in m_line to the field; false when it would pass the limit.
    bool AppendContinuation();
    bool BreakLongLines(std::string& text);

    ByteSource& m_in;
    CMarkerSet& m_markers;
    CMarker* m_recordMarker;
    std::string m_recordName;
    bool m_removeIndent;

    std::unique_ptr<char[]> m_buf;
    std::size_t m_capacity = 0;
    std::size_t m_begin = 0; // next unread byte
    std::size_t m_end = 0;   // end of the bytes read
    bool m_eof = false;
    std::int64_t m_bytesRead = 0;

    Line m_line;
    bool m_held = false;      // m_line holds a marker line not yet read as a field
    bool m_blankLine = false; // the text line in m_line was empty as read
    bool m_inRecords = false;
    bool m_noPending = false; // the previous line was "\_no"
    bool m_oldDoubleBackslash = false;
    Skip m_skip = Skip::None;
    bool m_tooLarge = false;
    long m_fieldsRead = 0;
    long m_fieldsSkipped = 0;
    long m_linesSkipped = 0;

    // Field assembly. A field's first text stays a view into the buffer until a second
    // line comes (or the buffer moves); then it is copied into m_field.
    bool m_assembling = false;
    bool m_copied = false;
    std::string_view m_firstText;
    std::string m_field;
    std::size_t m_pendingLFs = 0;
    std::size_t m_longestLine = 0;

    // Names already resolved, by a hash of the name: most files use a few markers. An
    // entry keeps the first eight bytes of the name, so that a hit on a name of up to
    // eight bytes is one comparison and reads nothing else.
    struct CacheEntry {
        CMarker* marker = nullptr;
        std::uint64_t word = 0;
        std::size_t length = 0;
    };
    std::uint64_t NameWord(std::string_view name) const;
    CacheEntry m_cache[256];

    // Fields and records read live in its blocks, which outlive the reader.
    RecordArena m_arena;
};

} // namespace crv
