#include "corpus/word_index.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <sstream>

namespace crv {

namespace {

constexpr std::string_view kTitleLine = "Word List Data File v1.1\n";
constexpr std::string_view kCharsPrefix = "chars ";
constexpr std::size_t kEndSize = 9;

void PutU16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Reads the index bytes front to back; every read checks the bytes are there.
class Cursor {
public:
    Cursor(const char* p, const char* end) : m_p(p), m_end(end) {}
    std::size_t Left() const { return static_cast<std::size_t>(m_end - m_p); }
    const char* Pos() const { return m_p; }
    bool Line(std::string_view& line) {
        const void* nl = std::memchr(m_p, '\n', Left());
        if (!nl)
            return false;
        auto* q = static_cast<const char*>(nl);
        line = std::string_view(m_p, static_cast<std::size_t>(q - m_p));
        m_p = q + 1;
        return true;
    }
    bool Text(std::string_view expected) {
        if (Left() < expected.size() || std::memcmp(m_p, expected.data(), expected.size()) != 0)
            return false;
        m_p += expected.size();
        return true;
    }
    bool U16(std::uint16_t& v) {
        if (Left() < 2)
            return false;
        auto* b = reinterpret_cast<const unsigned char*>(m_p);
        v = static_cast<std::uint16_t>(b[0] | b[1] << 8);
        m_p += 2;
        return true;
    }
    bool U32(std::uint32_t& v) {
        if (Left() < 4)
            return false;
        auto* b = reinterpret_cast<const unsigned char*>(m_p);
        v = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
            static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
        m_p += 4;
        return true;
    }
    bool Bytes(std::size_t n, std::string_view& out) {
        if (Left() < n)
            return false;
        out = std::string_view(m_p, n);
        m_p += n;
        return true;
    }

private:
    const char* m_p;
    const char* m_end;
};

bool ParseNumber(std::string_view text, unsigned long max, unsigned long& value) {
    if (text.empty() || text.size() > 9)
        return false;
    value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return false;
        value = value * 10 + static_cast<unsigned long>(ch - '0');
    }
    return value <= max;
}

// "YYYY/MM/DD,hh:mm:ss": digits where the format has them.
bool IsTimeText(std::string_view t) {
    static constexpr std::string_view kPattern = "dddd/dd/dd,dd:dd:dd";
    if (t.size() != kPattern.size())
        return false;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (kPattern[i] == 'd' ? (t[i] < '0' || t[i] > '9') : t[i] != kPattern[i])
            return false;
    return true;
}

// One file line: "%u,%s,%04i/%02i/%02i,%02i:%02i:%02i". The path may hold commas; the
// time holds exactly one, so the path ends at the second comma from the end.
bool ParseFileLine(std::string_view line, CIndexedFile& file) {
    std::size_t first = line.find(',');
    std::size_t last = line.rfind(',');
    if (first == std::string_view::npos || last == first)
        return false;
    std::size_t dateComma = line.rfind(',', last - 1);
    if (dateComma == first || dateComma == std::string_view::npos)
        return false;
    unsigned long number = 0;
    if (!ParseNumber(line.substr(0, first), 0xFFFF, number) || number == 0)
        return false;
    file.number = static_cast<std::uint16_t>(number);
    file.path = std::string(line.substr(first + 1, dateComma - first - 1));
    file.time = std::string(line.substr(dateComma + 1));
    return !file.path.empty() && IsTimeText(file.time);
}

inline std::uint64_t HashWord(std::string_view word) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ word.size();
    const char* p = word.data();
    std::size_t n = word.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        h = (h ^ v) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 32;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, p, n);
    h = (h ^ tail) * 0xC4CEB9FE1A85EC53ULL;
    return h ^ (h >> 29);
}

} // namespace

void CWordTable::clear() {
    m_entries.clear();
    m_slots.clear();
}

std::size_t CWordTable::Slot(std::string_view word, std::uint64_t hash) const {
    std::size_t mask = m_slots.size() - 1;
    std::uint64_t tag = hash & 0xFFFFFFFF00000000ULL;
    for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
        std::uint64_t slot = m_slots[i];
        if (slot == 0)
            return i;
        if ((slot & 0xFFFFFFFF00000000ULL) == tag &&
            m_entries[(slot & 0xFFFFFFFF) - 1].word == word)
            return i;
    }
}

void CWordTable::Rehash(std::size_t slots) {
    m_slots.assign(slots, 0);
    for (std::size_t e = 0; e < m_entries.size(); ++e) {
        std::uint64_t hash = HashWord(m_entries[e].word);
        m_slots[Slot(m_entries[e].word, hash)] = (hash & 0xFFFFFFFF00000000ULL) | (e + 1);
    }
}

const CWordTable::Entry* CWordTable::FindEntry(std::string_view word) const {
    if (m_slots.empty())
        return nullptr;
    std::uint64_t slot = m_slots[Slot(word, HashWord(word))];
    return slot ? &m_entries[(slot & 0xFFFFFFFF) - 1] : nullptr;
}

CRefList& CWordTable::Get(std::string_view word, bool* added) {
    // At most half the slots in use, so that probes stay short.
    if (m_slots.size() < 2 * (m_entries.size() + 1))
        Rehash(std::max<std::size_t>(1024, m_slots.size() * 2));
    std::uint64_t hash = HashWord(word);
    std::size_t i = Slot(word, hash);
    if (added)
        *added = m_slots[i] == 0;
    if (m_slots[i])
        return m_entries[(m_slots[i] & 0xFFFFFFFF) - 1].refs;
    m_entries.push_back({std::string(word), {}});
    m_slots[i] = (hash & 0xFFFFFFFF00000000ULL) | m_entries.size();
    return m_entries.back().refs;
}

void CWordTable::DropEmpty() {
    std::size_t before = m_entries.size();
    std::erase_if(m_entries, [](const Entry& e) { return e.refs.empty(); });
    if (m_entries.size() != before)
        Rehash(m_slots.size());
}

void CChecksum::Add(std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    m_total += n;
    if (m_carried) {
        std::size_t take = std::min(n, sizeof m_carry - m_carried);
        std::memcpy(m_carry + m_carried, p, take);
        m_carried += take;
        p += take;
        n -= take;
        if (m_carried < sizeof m_carry)
            return;
        Block(m_carry);
        m_carried = 0;
    }
    for (; n >= sizeof m_carry; p += sizeof m_carry, n -= sizeof m_carry)
        Block(p);
    std::memcpy(m_carry, p, n);
    m_carried = n;
}

void CChecksum::Block(const char* p) {
    // Four lanes, each step a bijection of its lane for a given chunk: any one changed
    // chunk changes the result.
    for (std::size_t k = 0; k < 4; ++k) {
        std::uint64_t v;
        std::memcpy(&v, p + 8 * k, 8);
        m_lane[k] = (m_lane[k] ^ v) * 0xFF51AFD7ED558CCDULL;
        m_lane[k] ^= m_lane[k] >> 32;
    }
}

std::uint32_t CChecksum::Finish() const {
    std::uint64_t h = m_lane[0];
    auto mix = [&h](std::uint64_t v) {
        h = (h ^ v) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 32;
    };
    for (int k = 1; k < 4; ++k)
        mix(m_lane[k]);
    std::size_t i = 0;
    for (; i + 8 <= m_carried; i += 8) {
        std::uint64_t v;
        std::memcpy(&v, m_carry + i, 8);
        mix(v);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, m_carry + i, m_carried - i);
    mix(tail ^ (static_cast<std::uint64_t>(m_carried - i) << 56));
    mix(m_total);
    h ^= h >> 29;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::uint32_t WordIndexChecksum(std::string_view bytes) {
    CChecksum sum;
    sum.Add(bytes);
    return sum.Finish();
}

std::uint8_t CWordIndex::BookNumber(std::string_view name, bool& full) {
    for (std::size_t i = 0; i < bookNames.size(); ++i)
        if (bookNames[i] == name)
            return static_cast<std::uint8_t>(i);
    if (bookNames.size() >= kMaxNames) {
        full = true;
        return kUnknownBook;
    }
    bookNames.emplace_back(name);
    return static_cast<std::uint8_t>(bookNames.size() - 1);
}

std::string_view CWordIndex::BookName(std::uint8_t book) const {
    return book < bookNames.size() ? std::string_view(bookNames[book]) : std::string_view("???");
}

const CIndexedFile* CWordIndex::FindFile(std::uint16_t number) const {
    for (const CIndexedFile& f : files)
        if (f.number == number)
            return &f;
    return nullptr;
}

int CWordIndex::HighestFileNumber() const {
    int highest = 0;
    for (const CIndexedFile& f : files)
        highest = std::max<int>(highest, f.number);
    return highest;
}

void CWordIndex::RemoveFiles(const std::vector<bool>& removed) {
    auto gone = [&](std::uint16_t number) { return number < removed.size() && removed[number]; };
    for (auto& entry : words)
        entry.refs.RemoveIf([&](const CWordRef& r) { return gone(r.file); });
    words.DropEmpty();
    std::erase_if(files, [&](const CIndexedFile& f) { return gone(f.number); });
}

void CWordIndex::CompactNames() {
    std::vector<bool> used(256, false);
    for (const auto& [word, refs] : words)
        refs.ForEach([&](const CWordRef& r) { used[r.book] = true; });
    std::vector<std::uint8_t> renumber(256, kUnknownBook);
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < bookNames.size(); ++i) {
        if (!used[i])
            continue;
        renumber[i] = static_cast<std::uint8_t>(kept.size());
        kept.push_back(std::move(bookNames[i]));
    }
    bool same = kept.size() == bookNames.size();
    bookNames = std::move(kept);
    if (same)
        return;
    std::vector<CWordRef> all;
    for (auto& [word, refs] : words) {
        all.clear();
        refs.Unpack(all);
        for (CWordRef& r : all)
            r.book = renumber[r.book];
        refs.Assign(all);
    }
}

bool CWordIndex::SortInCorpusOrder(const std::vector<int>& position) {
    auto before = [&](const CWordRef& a, const CWordRef& b) {
        int pa = position[a.file], pb = position[b.file];
        return pa != pb ? pa < pb : a.offset < b.offset;
    };
    bool moved = false;
    std::vector<CWordRef> all;
    for (auto& entry : words) {
        bool inOrder = true;
        CWordRef last;
        bool first = true;
        entry.refs.ForEachWhile([&](const CWordRef& r) {
            inOrder = first || !before(r, last);
            first = false;
            last = r;
            return inOrder;
        });
        if (inOrder)
            continue;
        all.clear();
        entry.refs.Unpack(all);
        auto mid = std::is_sorted_until(all.begin(), all.end(), before);
        std::stable_sort(mid, all.end(), before);
        std::inplace_merge(all.begin(), mid, all.end(), before);
        entry.refs.Assign(all);
        moved = true;
    }
    return moved;
}

std::size_t CWordIndex::ReferenceCount() const {
    std::size_t n = 0;
    for (const auto& [word, refs] : words)
        n += refs.size();
    return n;
}

std::string CWordIndex::Serialize() const {
    std::ostringstream os;
    Serialize(os);
    return os.str();
}

void CWordIndex::Serialize(std::ostream& os) const {
    std::vector<const CWordTable::Entry*> sorted;
    sorted.reserve(words.size());
    for (const auto& entry : words)
        sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->word < b->word; });

    // Small pieces are gathered, and the checksum taken of what is written.
    CChecksum sum;
    std::string out;
    auto flush = [&] {
        sum.Add(out);
        os.write(out.data(), static_cast<std::streamsize>(out.size()));
        out.clear();
    };
    out += kTitleLine;
    char hex[32];
    std::snprintf(hex, sizeof hex, "%016llx\n",
                  static_cast<unsigned long long>(identity.wordChars));
    out += kCharsPrefix;
    out += hex;
    for (const std::string* marker : {&identity.wordMarkers, &identity.bookMarker,
                                      &identity.chapMarker, &identity.verseMarker}) {
        out += *marker;
        out += '\n';
    }
    PutU16(out, static_cast<std::uint16_t>(files.size()));
    for (const CIndexedFile& f : files) {
        out += std::to_string(f.number);
        out += ',';
        out += f.path;
        out += ',';
        out += f.time;
        out += '\n';
    }
    PutU16(out, static_cast<std::uint16_t>(bookNames.size()));
    for (const std::string& name : bookNames) {
        out += name;
        out += '\n';
    }
    out += '\n';
    for (const auto* entry : sorted) {
        PutU32(out, static_cast<std::uint32_t>(entry->word.size()));
        out += entry->word;
        out += '\n';
        PutU32(out, static_cast<std::uint32_t>(entry->refs.size()));
        std::string_view refs = entry->refs.Bytes();
        PutU32(out, static_cast<std::uint32_t>(refs.size()));
        if (out.size() + refs.size() > (1u << 16)) {
            flush();
            sum.Add(refs);
            os.write(refs.data(), static_cast<std::streamsize>(refs.size()));
        } else {
            out += refs;
        }
    }
    flush();
    PutU32(out, 0);
    out += '\n';
    PutU32(out, sum.Finish());
    os.write(out.data(), static_cast<std::streamsize>(out.size()));
}

bool CWordIndex::Load(const std::string& path, CWordIndex& index) {
    auto bytes = std::make_shared<CFileBytes>();
    if (!bytes->Read(path))
        return false;
    index.source = bytes;
    return ParseInto(bytes->View(), index, true);
}

bool CWordIndex::Parse(std::string_view bytes, CWordIndex& index) {
    index.source.reset();
    return ParseInto(bytes, index, false);
}

bool CWordIndex::ParseInto(std::string_view bytes, CWordIndex& index, bool borrow) {
    if (bytes.size() < kTitleLine.size() + kEndSize)
        return false;
    std::string_view body = bytes.substr(0, bytes.size() - kEndSize);
    Cursor end(bytes.data() + body.size(), bytes.data() + bytes.size());
    std::uint32_t zero = 1, sum = 0;
    if (!end.U32(zero) || zero != 0 || !end.Text("\n") || !end.U32(sum) ||
        sum != WordIndexChecksum(body))
        return false;

    Cursor in(body.data(), body.data() + body.size());
    std::string_view line;
    if (!in.Text(kTitleLine) || !in.Text(kCharsPrefix) || !in.Line(line) || line.size() != 16)
        return false;
    index.identity.wordChars = 0;
    for (char ch : line) {
        int digit = ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : -1;
        if (digit < 0)
            return false;
        index.identity.wordChars = index.identity.wordChars << 4 | static_cast<unsigned>(digit);
    }
    for (std::string* marker : {&index.identity.wordMarkers, &index.identity.bookMarker,
                                &index.identity.chapMarker, &index.identity.verseMarker}) {
        if (!in.Line(line))
            return false;
        *marker = std::string(line);
    }

    std::uint16_t fileCount = 0;
    if (!in.U16(fileCount))
        return false;
    index.files.clear();
    std::vector<bool> known(0x10000, false);
    for (unsigned i = 0; i < fileCount; ++i) {
        CIndexedFile file;
        if (!in.Line(line) || !ParseFileLine(line, file) || known[file.number])
            return false;
        for (const CIndexedFile& other : index.files)
            if (other.path == file.path)
                return false;
        known[file.number] = true;
        index.files.push_back(std::move(file));
    }

    std::uint16_t nameCount = 0;
    if (!in.U16(nameCount) || nameCount > kMaxNames)
        return false;
    index.bookNames.clear();
    for (unsigned i = 0; i < nameCount; ++i) {
        if (!in.Line(line))
            return false;
        index.bookNames.emplace_back(line);
    }
    if (!in.Text("\n"))
        return false;

    index.words.clear();
    auto valid = [&](const CWordRef& r) {
        return known[r.file] && (r.book < nameCount || r.book == kUnknownBook);
    };
    while (in.Left() > 0) {
        std::uint32_t length = 0, count = 0, bytes = 0;
        std::string_view word, refBytes;
        if (!in.U32(length) || length == 0 || !in.Bytes(length, word) || !in.Text("\n") ||
            word.find('\n') != std::string_view::npos || !in.U32(count) || count == 0 ||
            !in.U32(bytes) || !in.Bytes(bytes, refBytes))
            return false;
        bool added = false;
        CRefList& refs = index.words.Get(word, &added);
        if (!added || !refs.Take(refBytes, count, valid, borrow))
            return false;
    }
    return true;
}

} // namespace crv
