// Plain byte sources and sinks that the database reader and writer work on, so that
// the same code reads files, memory (tests, fuzzing) or a change table's output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace crv {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes into buffer; the count read, 0 at the end (or on an error).
    virtual std::size_t Read(char* buffer, std::size_t n) = 0;
    // A read failed, as opposed to reaching the end.
    virtual bool Failed() const { return false; }
    // How many bytes are left to read, when known (-1 otherwise); readers size their
    // buffers by it.
    virtual std::int64_t SizeHint() const { return -1; }
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all n bytes; false when they could not all be written.
    virtual bool Write(const char* data, std::size_t n) = 0;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}
    std::size_t Read(char* buffer, std::size_t n) override;
    std::int64_t SizeHint() const override {
        return static_cast<std::int64_t>(m_bytes.size() - m_pos);
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

// A source over a standard stream (a change table's converted output, say).
class IstreamSource : public ByteSource {
public:
    explicit IstreamSource(std::istream& in) : m_in(in) {}
    std::size_t Read(char* buffer, std::size_t n) override {
        m_in.read(buffer, static_cast<std::streamsize>(n));
        return static_cast<std::size_t>(m_in.gcount());
    }
    bool Failed() const override { return m_in.bad(); }

private:
    std::istream& m_in;
};

class StringSink : public ByteSink {
public:
    explicit StringSink(std::string& out) : m_out(out) {}
    bool Write(const char* data, std::size_t n) override {
        m_out.append(data, n);
        return true;
    }

private:
    std::string& m_out;
};

// A sink over a C stream (standard output, say).
class StdioSink : public ByteSink {
public:
    explicit StdioSink(std::FILE* out) : m_out(out) {}
    bool Write(const char* data, std::size_t n) override {
        return std::fwrite(data, 1, n, m_out) == n;
    }

private:
    std::FILE* m_out;
};

// A sink over a standard stream (the safe file writer hands one out).
class OstreamSink : public ByteSink {
public:
    explicit OstreamSink(std::ostream& out) : m_out(out) {}
    bool Write(const char* data, std::size_t n) override {
        m_out.write(data, static_cast<std::streamsize>(n));
        return static_cast<bool>(m_out);
    }

private:
    std::ostream& m_out;
};

} // namespace crv
