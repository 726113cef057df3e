// Stream buffers over a Session's pulled input (GetBuffer) and pushed output (PutBuffer).
#include "zentab/change_table_stream.h"

#include "zentab/session.h"

namespace crv {

CChangeTableInputBuf::CChangeTableInputBuf(CChangeTable& table, std::streambuf* source)
    : m_table(table), m_source(source) {
    zt::Session* s = table.GetSession();
    if (!s || !source) {
        m_failed = true;
        return;
    }
    s->Reinitialize();
    s->SetUpInputFilter([this](char* buffer, int size) {
        std::streamsize n = m_source->sgetn(buffer, size);
        return static_cast<int>(n);
    });
    setg(m_buffer, m_buffer, m_buffer);
}

CChangeTableInputBuf::int_type CChangeTableInputBuf::underflow() {
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (m_end || m_failed)
        return traits_type::eof();
    int length = static_cast<int>(sizeof m_buffer);
    int r;
    try {
        r = m_table.GetSession()->GetBuffer(m_buffer, &length);
    } catch (...) {
        r = -1;
    }
    if (r < 0) {
        m_failed = true;
        throw std::ios_base::failure("change table failed");
    }
    if (r == 1)
        m_end = true;
    setg(m_buffer, m_buffer, m_buffer + length);
    if (length == 0)
        return traits_type::eof();
    return traits_type::to_int_type(*gptr());
}

CChangeTableOutputBuf::CChangeTableOutputBuf(CChangeTable& table, std::streambuf* sink)
    : m_table(table), m_sink(sink) {
    zt::Session* s = table.GetSession();
    if (!s || !sink) {
        m_failed = true;
        return;
    }
    s->Reinitialize();
    s->SetUpOutputFilter([this](const char* buffer, int length) {
        return m_sink->sputn(buffer, length) == length ? length : -1;
    });
    setp(m_buffer, m_buffer + sizeof m_buffer);
}

CChangeTableOutputBuf::~CChangeTableOutputBuf() { Close(); }

bool CChangeTableOutputBuf::Pass(bool last) {
    if (m_failed || m_closed)
        return false;
    int r;
    try {
        r = m_table.GetSession()->PutBuffer(pbase(), static_cast<int>(pptr() - pbase()), last);
    } catch (...) {
        r = -1;
    }
    setp(m_buffer, m_buffer + sizeof m_buffer);
    if (r < 0)
        m_failed = true;
    return !m_failed;
}

CChangeTableOutputBuf::int_type CChangeTableOutputBuf::overflow(int_type ch) {
    if (!Pass(false))
        return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

int CChangeTableOutputBuf::sync() { return m_closed || Pass(false) ? 0 : -1; }

bool CChangeTableOutputBuf::Close() {
    if (m_closed)
        return !m_failed;
    bool ok = Pass(true);
    m_closed = true;
    if (ok && m_sink->pubsync() != 0)
        m_failed = true;
    return !m_failed;
}

CChangeTableIStream::CChangeTableIStream(const std::string& tablePath, std::istream& source)
    : std::istream(nullptr), m_load(m_table.LoadFile(tablePath)), m_buf(m_table, source.rdbuf()) {
    rdbuf(&m_buf);
    if (!m_load)
        setstate(std::ios_base::failbit);
}

CChangeTableOStream::CChangeTableOStream(const std::string& tablePath, std::ostream& sink)
    : std::ostream(nullptr), m_load(m_table.LoadFile(tablePath)), m_buf(m_table, sink.rdbuf()) {
    rdbuf(&m_buf);
    if (!m_load)
        setstate(std::ios_base::failbit);
}

bool CChangeTableOStream::Close() {
    bool ok = m_buf.Close();
    if (!ok)
        setstate(std::ios_base::badbit);
    return ok;
}

} // namespace crv
