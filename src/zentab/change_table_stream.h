// Reading and writing a stream through a change table: stream buffers that Corvane's import,
// export and sort-order code put between a file and the text it works on.
#pragma once

#include <istream>
#include <ostream>
#include <streambuf>

#include "zentab/change_table.h"

namespace crv {

// Reads source through a loaded table. On an engine error it stops with EOF and throws
// std::ios_base::failure from underflow, which puts an istream reading it in its bad state.
class CChangeTableInputBuf : public std::streambuf {
public:
    CChangeTableInputBuf(CChangeTable& table, std::streambuf* source);
    bool Failed() const { return m_failed; }

protected:
    int_type underflow() override;

private:
    CChangeTable& m_table;
    std::streambuf* m_source;
    char m_buffer[512];
    bool m_end = false, m_failed = false;
};

// Writes through a loaded table to sink; Close (or destruction) flushes the table's output.
class CChangeTableOutputBuf : public std::streambuf {
public:
    CChangeTableOutputBuf(CChangeTable& table, std::streambuf* sink);
    ~CChangeTableOutputBuf() override;
    // Passes what is buffered and the table's remaining output on; false after any failure.
    bool Close();
    bool Failed() const { return m_failed; }

protected:
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    bool Pass(bool last);

    CChangeTable& m_table;
    std::streambuf* m_sink;
    char m_buffer[512];
    bool m_closed = false, m_failed = false;
};

// An istream that reads a stream through a table file: fail state when the table does not
// load (LoadResult says why), bad state on an engine error.
class CChangeTableIStream : public std::istream {
public:
    CChangeTableIStream(const std::string& tablePath, std::istream& source);
    const ChangeTableResult& LoadResult() const { return m_load; }
    CChangeTable& Table() { return m_table; }

private:
    CChangeTable m_table;
    ChangeTableResult m_load;
    CChangeTableInputBuf m_buf;
};

// An ostream that writes through a table file to sink; call Close to finish.
class CChangeTableOStream : public std::ostream {
public:
    CChangeTableOStream(const std::string& tablePath, std::ostream& sink);
    const ChangeTableResult& LoadResult() const { return m_load; }
    CChangeTable& Table() { return m_table; }
    // Flushes everything through; false (and bad state) on failure.
    bool Close();

private:
    CChangeTable m_table;
    ChangeTableResult m_load;
    CChangeTableOutputBuf m_buf;
};

} // namespace crv
