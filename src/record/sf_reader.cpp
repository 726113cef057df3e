#include "record/sf_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/platform.h"
#include "schema/marker.h"

namespace crv {

namespace {

// The input buffer (smaller for a smaller input), and the longest physical line it
// takes. A longer line cannot belong to a field within the limit, so it fails the read
// as too large; the bound keeps a file without line ends from being buffered whole.
constexpr std::size_t kBufferSize = std::size_t{256} * 1024;
constexpr std::size_t kMaxPhysicalLine = std::size_t{64} * 1024;
// Lines longer than this are broken after every 1000th character when read.
constexpr std::size_t kLongLine = 1000;
// The input buffer keeps this much room behind its capacity, so that FindLineEnd may
// read whole 16-byte groups.
constexpr std::size_t kSlack = 16;

// The first LF in [p, end), or end. Most lines are short: sixteen bytes at a time
// inline beat a call to memchr.
const char* FindLineEnd(const char* p, const char* end) {
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    for (; p < end; p += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)));
        if (mask) {
            const char* hit = p + std::countr_zero(mask);
            return hit < end ? hit : end;
        }
    }
    return end;
#else
    const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    return nl ? static_cast<const char*>(nl) : end;
#endif
}

} // namespace

SFStream::SFStream(ByteSource& in, CMarkerSet& markers, CMarker* recordMarker, bool skipToRecord,
                   bool removeIndent)
    : m_in(in), m_markers(markers), m_recordMarker(recordMarker), m_removeIndent(removeIndent),
      m_arena(in.SizeHint()) {
    std::int64_t hint = in.SizeHint();
    m_capacity = hint >= 0 && static_cast<std::uint64_t>(hint) < kBufferSize
                     ? static_cast<std::size_t>(hint) + 1
                     : kBufferSize;
    m_buf.reset(new char[m_capacity + kSlack]());
    CRV_ASSERT(recordMarker != nullptr || !skipToRecord);
    if (recordMarker)
        m_recordName = recordMarker->Name();
    SkipToFirstField(skipToRecord && recordMarker);
}

SFStream::~SFStream() = default;

bool SFStream::Refill() {
    if (m_eof)
        return false;
    // The first line of a field being assembled is a view into the buffer: keep it.
    if (m_assembling && !m_copied) {
        m_field.assign(m_firstText);
        m_copied = true;
    }
    if (m_begin > 0) {
        std::memmove(m_buf.get(), m_buf.get() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_end == m_capacity) {
        // The input was longer than it said: grow to the full size.
        std::size_t bigger = std::max(kBufferSize, m_capacity * 2);
        std::unique_ptr<char[]> grown(new char[bigger + kSlack]());
        std::memcpy(grown.get(), m_buf.get(), m_end);
        m_buf = std::move(grown);
        m_capacity = bigger;
    }
    std::size_t got = m_in.Read(m_buf.get() + m_end, m_capacity - m_end);
    if (got == 0)
        m_eof = true;
    m_end += got;
    m_bytesRead += static_cast<std::int64_t>(got);
    return got > 0;
}

bool SFStream::NextPhysicalLine(std::string_view& line) {
    for (;;) {
        const char* p = m_buf.get() + m_begin;
        std::size_t avail = m_end - m_begin;
        const char* nl = FindLineEnd(p, p + avail);
        std::size_t len = 0;
        if (nl != p + avail) {
            len = static_cast<std::size_t>(nl - p);
            m_begin += len + 1;
        } else if (avail > kMaxPhysicalLine) {
            m_tooLarge = true;
            return false;
        } else if (m_eof) {
            if (avail == 0)
                return false;
            len = avail; // a last line without a line end
            m_begin = m_end;
        } else {
            Refill();
            continue;
        }
        if (len > kMaxPhysicalLine) {
            m_tooLarge = true;
            return false;
        }
        if (len && p[len - 1] == '\r')
            --len;
        line = std::string_view(p, len);
        return true;
    }
}

bool SFStream::NextLine() {
    std::string_view raw;
    for (;;) {
        if (m_tooLarge || !NextPhysicalLine(raw))
            return false;
        SFLine parsed;
        if (m_noPending && (raw.empty() || raw[0] != '\\')) {
            // Text after "\_no" has no marker: it gets "??".
            parsed.kind = SFLineKind::Marker;
            parsed.name = kUnknownMarkerName;
            parsed.text = raw;
            if (!raw.empty() && raw[0] == ' ')
                parsed.text.remove_prefix(1);
        } else {
            parsed = ClassifyLine(raw);
        }
        m_noPending = false;

        switch (parsed.kind) {
        case SFLineKind::Control:
            // An old version-1 header: "\\" lines start stretches to skip.
            if (!m_inRecords && raw.size() > 6 && raw.substr(0, 4) == "\\_sh" && raw[6] == '1')
                m_oldDoubleBackslash = true;
            if (m_skip != Skip::OldDoubleBackslash)
                m_skip = Skip::Control;
            continue;
        case SFLineKind::NoControl:
            m_noPending = true;
            continue;
        case SFLineKind::Marker:
        case SFLineKind::InvalidMarker: {
            SetMarkerLine(parsed, raw);
            if (m_skip == Skip::OldDoubleBackslash && m_recordMarker && !IsRecordMarkerLine()) {
                ++m_fieldsSkipped;
                ++m_linesSkipped;
                continue;
            }
            m_skip = Skip::None;
            return true;
        }
        case SFLineKind::EscapedText:
            if (m_oldDoubleBackslash && raw.size() >= 2 && raw[1] == '\\') {
                m_skip = Skip::OldDoubleBackslash;
                continue;
            }
            if (m_skip != Skip::None)
                continue;
            break;
        case SFLineKind::Text:
            if (m_skip != Skip::None) {
                if (!raw.empty())
                    ++m_linesSkipped;
                continue;
            }
            break;
        }

        m_line = Line{};
        m_line.text = raw;
        m_line.escaped = m_line.spaceBefore = parsed.kind == SFLineKind::EscapedText;
        if (m_removeIndent) {
            std::string_view& t = m_line.text;
            std::size_t lead = 0;
            while (lead < t.size() && t[lead] == ' ')
                ++lead;
            if (lead > 0 && lead < t.size() && t[lead] == '\\')
                --lead; // one space stays, so that the line is not taken for a marker
            t.remove_prefix(lead);
            while (!t.empty() && t.back() == ' ')
                t.remove_suffix(1);
        }
        m_line.isMarker = false;
        m_blankLine = raw.empty();
        return true;
    }
}

void SFStream::SetMarkerLine(const SFLine& parsed, std::string_view raw) {
    m_line = Line{};
    m_line.isMarker = true;
    bool valid = parsed.kind == SFLineKind::Marker;
    m_line.name = valid ? parsed.name : kUnknownMarkerName;
    m_line.text = valid ? parsed.text : raw;
    m_line.isRecordMarker = m_recordMarker && SameName(m_line.name, m_recordName);
}

bool SFStream::ReadOneLineField(CMarker* marker, std::unique_ptr<CField>& field) {
    if (m_noPending || m_skip != Skip::None || m_removeIndent || m_line.text.size() > kLongLine)
        return false;
    const char* buf = m_buf.get();
    std::size_t at = m_begin;
    std::size_t blanks = 0;
    for (;;) {
        const char* p = buf + at;
        const char* nl = FindLineEnd(p, buf + m_end);
        if (nl == buf + m_end)
            return false; // the rest is not in the buffer yet, or it is the last line
        auto len = static_cast<std::size_t>(nl - p);
        at += len + 1;
        if (len > kMaxPhysicalLine)
            return false; // the general path reports it
        if (len && p[len - 1] == '\r')
            --len;
        if (len == 0) {
            ++blanks;
            continue;
        }
        const std::string_view raw(p, len);
        const SFLine parsed = ClassifyLine(raw);
        if (parsed.kind != SFLineKind::Marker && parsed.kind != SFLineKind::InvalidMarker)
            return false;
        const std::string_view text = m_line.text;
        SetMarkerLine(parsed, raw);
        // Empty lines before a record marker separate records; before another marker
        // they belong to the field.
        std::size_t trailingLFs = IsRecordMarkerLine() ? 0 : blanks;
        if (text.size() + trailingLFs > static_cast<std::size_t>(kMaxFieldLength)) {
            m_tooLarge = true;
            return false;
        }
        m_begin = at;
        m_held = true;
        field.reset(m_arena.NewField(marker, text, trailingLFs));
        return true;
    }
}

void SFStream::SkipToFirstField(bool skipToRecord) {
    while (NextLine()) {
        if (m_line.isMarker) {
            if (!skipToRecord || IsRecordMarkerLine()) {
                m_held = true;
                break;
            }
            ++m_fieldsSkipped;
            ++m_linesSkipped;
        } else if (!m_line.escaped && !m_blankLine) {
            ++m_linesSkipped;
        }
    }
    m_inRecords = true;
}

std::uint64_t SFStream::NameWord(std::string_view name) const {
    const std::size_t n = std::min<std::size_t>(name.size(), 8);
    std::uint64_t word = 0;
    // A name in the input buffer can be loaded whole: the buffer has room behind it.
    const auto at = reinterpret_cast<std::uintptr_t>(name.data());
    const auto buf = reinterpret_cast<std::uintptr_t>(m_buf.get());
    if (at >= buf && at + 8 <= buf + m_capacity + kSlack) {
        std::memcpy(&word, name.data(), 8);
        if (n < 8) {
            std::uint64_t keep = (std::uint64_t{1} << (8 * n)) - 1;
            word &=
                std::endian::native == std::endian::little ? keep : ~(~std::uint64_t{0} >> (8 * n));
        }
        return word;
    }
    std::memcpy(&word, name.data(), n);
    return word;
}

CMarker* SFStream::Resolve(std::string_view name) {
    if (m_line.isRecordMarker)
        return m_recordMarker;
    const std::uint64_t word = NameWord(name);
    std::uint64_t h = (word ^ name.size()) * 0x9E3779B97F4A7C15u;
    CacheEntry& e = m_cache[h >> 56];
    if (e.marker && e.word == word && e.length == name.size() &&
        (name.size() <= 8 || SameName(e.marker->Name(), name)))
        return e.marker;
    CMarker* marker = m_markers.SearchOrAddFromData(name);
    e.marker = marker;
    e.word = word;
    e.length = name.size();
    return marker;
}

bool SFStream::AppendContinuation() {
    std::string_view text = m_line.text;
    std::size_t length = text.size() + (m_line.spaceBefore ? 1 : 0);
    ++m_pendingLFs;
    if (length > m_longestLine)
        m_longestLine = length;
    if (length == 0)
        return true; // an empty line: its LF waits until text follows
    if (!m_copied) {
        m_field.assign(m_firstText);
        m_copied = true;
    }
    if (m_field.size() + m_pendingLFs + length > static_cast<std::size_t>(kMaxFieldLength))
        return false;
    m_field.append(m_pendingLFs, '\n');
    m_pendingLFs = 0;
    if (m_line.spaceBefore)
        m_field += ' ';
    m_field.append(text);
    return true;
}

bool SFStream::BreakLongLines(std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / kLongLine * 2);
    std::size_t run = 0; // characters since the last LF
    for (char c : text) {
        if (c != '\n' && run == kLongLine) {
            out += '\n';
            run = 0;
            // A line may not begin with a backslash: it gets the space that writing
            // would give it, so that what is read is what is written back.
            if (c == '\\') {
                out += ' ';
                run = 1;
            }
        }
        run = c == '\n' ? 0 : run + 1;
        out += c;
    }
    if (out.size() > static_cast<std::size_t>(kMaxFieldLength))
        return false;
    text = std::move(out);
    return true;
}

bool SFStream::ReadField(std::unique_ptr<CField>& field) {
    if (!m_held || m_tooLarge)
        return false;
    m_held = false;
    CMarker* marker = Resolve(m_line.name);
    if (ReadOneLineField(marker, field)) {
        ++m_fieldsRead;
        return true;
    }
    if (m_tooLarge)
        return false;
    m_firstText = m_line.text;
    m_longestLine = m_firstText.size();
    m_pendingLFs = 0;
    m_copied = false;
    m_assembling = true;
    if (m_firstText.size() > static_cast<std::size_t>(kMaxFieldLength))
        m_tooLarge = true;

    bool lastOfRecord = true;
    while (!m_tooLarge && NextLine()) {
        if (m_line.isMarker) {
            m_held = true;
            lastOfRecord = IsRecordMarkerLine();
            break;
        }
        if (!AppendContinuation())
            m_tooLarge = true;
    }
    m_assembling = false;
    if (m_tooLarge)
        return false;

    std::string_view text = m_copied ? std::string_view(m_field) : m_firstText;
    // Empty lines at the end of a record are the separators between records; inside a
    // record they belong to the field before them.
    std::size_t trailingLFs = lastOfRecord ? 0 : m_pendingLFs;
    if (text.size() + trailingLFs > static_cast<std::size_t>(kMaxFieldLength)) {
        m_tooLarge = true;
        return false;
    }
    if (m_longestLine > kLongLine) {
        std::string broken(text);
        broken.append(trailingLFs, '\n');
        if (!BreakLongLines(broken)) {
            m_tooLarge = true;
            return false;
        }
        field.reset(m_arena.NewField(marker, broken));
        ++m_fieldsRead;
        return true;
    }
    field.reset(m_arena.NewField(marker, text, trailingLFs));
    ++m_fieldsRead;
    return true;
}

bool SFStream::ReadRecord(std::unique_ptr<CRecord>& record) {
    std::unique_ptr<CField> first;
    if (!ReadField(first))
        return false;
    std::unique_ptr<CRecord> rec(m_arena.NewRecord(first.release()));
    while (m_held && !IsRecordMarkerLine()) {
        std::unique_ptr<CField> f;
        if (!ReadField(f))
            return false;
        rec->Add(f.release());
    }
    // The record's last field was read without the empty lines after it.
    record = std::move(rec);
    return true;
}

} // namespace crv
