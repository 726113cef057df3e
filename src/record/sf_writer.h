// Writing records as standard format database text (CR LF line ends), and the record
// output interface that the RTF writer implements too.
//
// Byte layout of a field: a backslash and the marker name; if the text is not empty, a
// space (none when the text begins with a tab or LF) and the text, each LF written as
// CR LF and a space put before any later line that begins with a backslash, so that no
// text line reads back as a marker; then CR LF. An empty line separates records.
#pragma once

#include <memory>
#include <string_view>

#include "base/byte_stream.h"
#include "record/record.h"

namespace crv {

class Progress;

class RecordOutput {
public:
    virtual ~RecordOutput() = default;
    // Writes one field; firstOfRecord when it begins a record.
    virtual void WriteField(const CField& field, bool firstOfRecord) = 0;
};

class SFStreamWriter : public RecordOutput {
public:
    explicit SFStreamWriter(ByteSink& out);
    ~SFStreamWriter() override;
    SFStreamWriter(const SFStreamWriter&) = delete;
    SFStreamWriter& operator=(const SFStreamWriter&) = delete;

    // An empty line first when the field begins a record and anything was written.
    void WriteField(const CField& field, bool firstOfRecord) override;
    // "\_" name, then a space and the value when there is one: the header ("sh") and
    // "DateStampHasFourDigitYear".
    void WriteControlLine(std::string_view name, std::string_view value);
    // Hands the buffered bytes to the sink; false when any write failed.
    [[nodiscard]] bool Flush();
    bool Failed() const { return m_failed; }

private:
    void Put(const char* data, std::size_t n);
    void Put(std::string_view s) { Put(s.data(), s.size()); }
    void PutChar(char c) {
        if (m_used == kBufferSize)
            Drain();
        m_buf[m_used++] = c;
    }
    // Text with its LFs as CR LF, a space before every later line that begins with a
    // backslash.
    void PutText(std::string_view text);
    void Drain();

    static constexpr std::size_t kBufferSize = std::size_t{64} * 1024;
    ByteSink& m_out;
    std::unique_ptr<char[]> m_buf;
    std::size_t m_used = 0;
    bool m_wroteSomething = false;
    bool m_failed = false;
};

// Writes every record, each field through out, advancing progress (if any) by one per
// record.
void WriteRecords(RecordOutput& out, const CRecordList& records, Progress* progress = nullptr);

// The header line (number 400 when outside 0..9999) and the four-digit year line when
// the type has a date-stamp marker; the records that follow begin with the empty line.
void WriteDatabaseHeader(SFStreamWriter& out, std::string_view typeName, int number,
                         bool hasDateStampMarker);

// The whole database: the header line (number 400 when outside 0..9999), the four-digit
// year line when the type has a date-stamp marker, an empty line, then the records.
// False when writing failed.
[[nodiscard]] bool WriteDatabase(SFStreamWriter& out, const CRecordList& records,
                                 std::string_view typeName, int number, bool hasDateStampMarker,
                                 Progress* progress = nullptr);

} // namespace crv
