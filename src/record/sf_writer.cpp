#include "record/sf_writer.h"

#include <cstring>

#include "base/platform.h"
#include "base/sf_header.h"
#include "schema/marker.h"

namespace crv {

SFStreamWriter::SFStreamWriter(ByteSink& out) : m_out(out), m_buf(new char[kBufferSize]) {}

SFStreamWriter::~SFStreamWriter() { (void)Flush(); }

void SFStreamWriter::Drain() {
    if (m_used && !m_failed && !m_out.Write(m_buf.get(), m_used))
        m_failed = true;
    m_used = 0;
}

void SFStreamWriter::Put(const char* data, std::size_t n) {
    if (n > kBufferSize - m_used) {
        Drain();
        if (n > kBufferSize) {
            if (!m_failed && !m_out.Write(data, n))
                m_failed = true;
            return;
        }
    }
    std::memcpy(m_buf.get() + m_used, data, n);
    m_used += n;
}

bool SFStreamWriter::Flush() {
    Drain();
    return !m_failed;
}

void SFStreamWriter::PutText(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    for (;;) {
        const char* nl =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!nl) {
            Put(p, static_cast<std::size_t>(end - p));
            return;
        }
        Put(p, static_cast<std::size_t>(nl - p));
        Put("\r\n", 2);
        p = nl + 1;
        if (p < end && *p == '\\')
            PutChar(' ');
    }
}

void SFStreamWriter::WriteField(const CField& field, bool firstOfRecord) {
    if (firstOfRecord && m_wroteSomething)
        Put("\r\n", 2);
    PutChar('\\');
    CRV_ASSERT(field.Marker() != nullptr);
    if (field.Marker())
        Put(field.Marker()->Name());
    FieldText text = field.Text();
    if (!text.empty()) {
        if (text[0] != '\t' && text[0] != '\n')
            PutChar(' ');
        PutText(text);
    }
    Put("\r\n", 2);
    m_wroteSomething = true;
}

void SFStreamWriter::WriteControlLine(std::string_view name, std::string_view value) {
    Put("\\_", 2);
    Put(name);
    if (!value.empty()) {
        PutChar(' ');
        PutText(value);
    }
    Put("\r\n", 2);
    m_wroteSomething = true;
}

void WriteRecords(RecordOutput& out, const CRecordList& records, Progress* progress) {
    for (const CRecord& rec : records) {
        bool first = true;
        for (const CField& f : rec) {
            out.WriteField(f, first);
            first = false;
        }
        if (progress)
            progress->Step();
    }
}

void WriteDatabaseHeader(SFStreamWriter& out, std::string_view typeName, int number,
                         bool hasDateStampMarker) {
    out.WriteControlLine("sh", FormatHeaderValue(number, typeName));
    if (hasDateStampMarker)
        out.WriteControlLine(kFourDigitYearKey, {});
}

bool WriteDatabase(SFStreamWriter& out, const CRecordList& records, std::string_view typeName,
                   int number, bool hasDateStampMarker, Progress* progress) {
    WriteDatabaseHeader(out, typeName, number, hasDateStampMarker);
    WriteRecords(out, records, progress);
    return out.Flush();
}

} // namespace crv
