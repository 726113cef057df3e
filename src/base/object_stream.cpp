#include "base/object_stream.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace crv {

namespace {

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsTrimmed(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsTrimmed(s.back()))
        s.remove_suffix(1);
    return s;
}

// The leading, optionally signed, decimal number of text; 0 when there is none.
long LeadingNumber(std::string_view text, bool* found = nullptr) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long n = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        digits = true;
        if (n < 100000000000L) // saturate instead of overflowing
            n = n * 10 + (text[i] - '0');
    }
    if (found)
        *found = digits;
    return negative ? -n : n;
}

const char* StateWord(WindowPlacement::State s) {
    switch (s) {
    case WindowPlacement::State::Minimized:
        return "min";
    case WindowPlacement::State::Maximized:
        return "max";
    default:
        return "normal";
    }
}

std::string Joined(std::string_view a, std::string_view b) {
    std::string s(a);
    s += b;
    return s;
}

} // namespace

int FontSizeFromHeight(int height) { return (1 - 3 * height) / 4; }
int FontHeightFromSize(int size) { return (-1 - 4 * size) / 3; }

std::string_view FitEntryValue(std::string_view key, std::string_view value) {
    // "\key value": the backslash, the key, the space, then the value with one space
    // added after each LF that a backslash follows.
    std::size_t length = key.size() + 2;
    for (std::size_t i = 0; i < value.size(); ++i) {
        std::size_t add = value[i] == '\n' && i + 1 < value.size() && value[i + 1] == '\\' ? 2 : 1;
        if (length + add > ObjectStream::kMaxEntry)
            return value.substr(0, i);
        length += add;
    }
    return value;
}

ObjectStream::ObjectStream(std::istream& in) : m_in(&in) {}
ObjectStream::ObjectStream(std::ostream& out) : m_out(&out) {}

// ---------------------------------------------------------------- writing

void ObjectStream::WriteRaw(std::string_view text) {
    CRV_ASSERT(m_out != nullptr);
    if (!m_out)
        return;
    // LF inside the program, CR LF on disk.
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            m_out->write(text.data() + start, static_cast<std::streamsize>(i - start));
            m_out->write("\r\n", 2);
            start = i + 1;
        }
    }
    m_out->write(text.data() + start, static_cast<std::streamsize>(text.size() - start));
}

void ObjectStream::WriteEntry(std::string_view key, std::string_view value, bool always) {
    if (value.empty() && !always)
        return;
    std::string line = "\\";
    line += key;
    if (!value.empty()) {
        line += ' ';
        line.reserve(line.size() + value.size() + 8);
        for (std::size_t i = 0; i < value.size(); ++i) {
            line += value[i];
            // A continuation line must not be taken for a new entry.
            if (value[i] == '\n' && i + 1 < value.size() && value[i + 1] == '\\')
                line += ' ';
        }
    }
    line += '\n';
    BeforeEntry(line);
    WriteRaw(line);
}

void ObjectStream::BeforeEntry(std::string_view entry) {
    if (m_writers.empty() || entry.empty() || entry[0] != '\\')
        return;
    // Key and value split as the reader splits them, so that both sides name an entry's
    // place alike.
    std::size_t end = 1;
    while (end < entry.size() && entry[end] != ' ' && entry[end] != '\t' && entry[end] != '\n')
        ++end;
    std::string_view key = entry.substr(1, end - 1);
    std::string_view value = entry.substr(end < entry.size() && entry[end] == ' ' ? end + 1 : end);
    value = Trim(value);
    for (std::size_t i = m_writers.size(); i-- > 0;)
        m_writers[i]->BeforeEntry(key, value);
}

void ObjectStream::WriteBeginMarker(std::string_view name, std::string_view value) {
    WriteEntry(Joined("+", name), value, true);
}

void ObjectStream::WriteBeginMarker(std::string_view prefix, std::string_view name,
                                    std::string_view value) {
    WriteEntry(Joined("+", Joined(prefix, name)), value, true);
}

void ObjectStream::WriteEndMarker(std::string_view name) {
    WriteEntry(Joined("-", name), {}, true);
}

void ObjectStream::WriteEndMarker(std::string_view prefix, std::string_view name) {
    WriteEntry(Joined("-", Joined(prefix, name)), {}, true);
}

void ObjectStream::WriteString(std::string_view key, std::string_view value) {
    WriteEntry(key, value, false);
}

void ObjectStream::WriteString(std::string_view prefix, std::string_view key,
                               std::string_view value) {
    WriteEntry(Joined(prefix, key), value, false);
}

void ObjectStream::WriteStringAlways(std::string_view key, std::string_view value) {
    WriteEntry(key, value, true);
}

void ObjectStream::WriteBool(std::string_view key, bool flag) {
    if (flag)
        WriteEntry(key, {}, true);
}

void ObjectStream::WriteInteger(std::string_view key, long n) {
    WriteEntry(key, std::to_string(n), true);
}

void ObjectStream::WriteDouble(std::string_view key, double d) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    WriteEntry(key, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)), true);
}

void ObjectStream::WriteChar(std::string_view key, char c) {
    WriteEntry(key, std::string_view(&c, 1), true);
}

void ObjectStream::WriteColor(std::string_view key, std::uint32_t rgb) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%u,%u,%u", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    WriteEntry(key, buf, true);
}

void ObjectStream::WriteWindowPlacement(std::string_view key, const WindowPlacement& p) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%s %d %d %d %d %d %d %d %d", StateWord(p.state), p.minX, p.minY,
                  p.maxX, p.maxY, p.left, p.top, p.right, p.bottom);
    WriteEntry(key, buf, true);
}

void ObjectStream::WriteFont(std::string_view suffix, const CFontDef& font) {
    WriteBeginMarker("fnt", suffix, {});
    SettingsObjectWriter keep(*this, font.kept);
    WriteString("Name", font.face);
    WriteInteger("Size", FontSizeFromHeight(font.height));
    WriteBool("Bold", font.weight != 400);
    WriteBool("Italic", font.italic);
    WriteBool("Underline", font.underline);
    WriteBool("StrikeOut", font.strikeOut);
    if (font.hasColor)
        WriteColor("rgbColor", font.color);
    WriteEndMarker("fnt", suffix);
}

void ObjectStream::WriteNewline() { WriteRaw("\n"); }

void ObjectStream::WriteVerbatim(std::string_view text) {
    if (text.empty())
        return;
    // Entry by entry when objects are being written, so that their kept entries can find
    // their places between these.
    std::size_t start = 0;
    while (!m_writers.empty() && start < text.size()) {
        std::size_t next = text.find("\n\\", start);
        next = next == std::string_view::npos ? text.size() : next + 1;
        std::string_view entry = text.substr(start, next - start);
        BeforeEntry(entry);
        WriteRaw(entry);
        start = next;
    }
    WriteRaw(text.substr(start));
    if (text.back() != '\n')
        WriteRaw("\n");
}

// ---------------------------------------------------------------- reading

// Reads one physical line (without its line end) into line. Stops after at most the
// entry's free space; a line that does not end within it sets the overflow state.
bool ObjectStream::ReadLine(std::string& line) {
    line.clear();
    std::streambuf* sb = m_in->rdbuf();
    if (sb->sgetc() == std::char_traits<char>::eof())
        return false;
    ++m_lineNumber;
    for (;;) {
        int c = sb->sbumpc();
        if (c == std::char_traits<char>::eof() || c == '\n')
            break;
        if (line.size() > kMaxEntry) {
            m_overflow = true;
            break;
        }
        line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

bool ObjectStream::Current() {
    if (m_pending)
        return true;
    if (!m_in || !ReadLine(m_line))
        return false;
    m_entryLine = m_lineNumber;
    std::string_view line = m_line;
    m_key.clear();
    std::string_view value;
    if (!line.empty() && line[0] == '\\') {
        std::size_t end = 1;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        m_key.assign(line.substr(1, end - 1));
        value = line.substr(end < line.size() && line[end] == ' ' ? end + 1 : end);
    } else {
        value = line; // text before the first entry: matches no key and is skipped
    }
    m_value.assign(value);
    m_raw = m_line;
    std::size_t total = m_line.size();
    std::streambuf* sb = m_in->rdbuf();
    std::string next;
    while (!m_overflow) {
        int c = sb->sgetc();
        if (c == std::char_traits<char>::eof() || c == '\\')
            break;
        ReadLine(next);
        total += next.size() + 1;
        if (total > kMaxEntry) {
            m_overflow = true;
            break;
        }
        m_value += '\n';
        m_value += next;
        m_raw += '\n';
        m_raw += next;
    }
    std::string_view trimmed = Trim(m_value);
    if (trimmed.size() != m_value.size())
        m_value = std::string(trimmed);
    m_pending = true;
    return true;
}

bool ObjectStream::AtBackslash() {
    if (m_pending)
        return true;
    return m_in && m_in->rdbuf()->sgetc() == '\\';
}

bool ObjectStream::AtEnd() {
    if (m_pending)
        return false;
    return !m_in || m_in->rdbuf()->sgetc() == std::char_traits<char>::eof();
}

std::string_view ObjectStream::PeekKey() {
    return Current() ? std::string_view(m_key) : std::string_view();
}

std::string_view ObjectStream::PeekValue() {
    return Current() ? std::string_view(m_value) : std::string_view();
}

std::string_view ObjectStream::PeekRawEntry() {
    return Current() ? std::string_view(m_raw) : std::string_view();
}

bool ObjectStream::TakeIfKey(std::string_view key) {
    if (!Current() || m_overflow || m_key != key)
        return false;
    m_pending = false;
    return true;
}

bool ObjectStream::TakeIfKey(std::string_view prefix, std::string_view key) {
    if (!Current() || m_overflow)
        return false;
    if (m_key.size() != prefix.size() + key.size() ||
        m_key.compare(0, prefix.size(), prefix) != 0 ||
        m_key.compare(prefix.size(), key.size(), key) != 0)
        return false;
    m_pending = false;
    return true;
}

bool ObjectStream::ReadBeginMarker(std::string_view name, std::string& value) {
    if (!TakeIfKey("+", name))
        return false;
    value = m_value;
    return true;
}

bool ObjectStream::ReadBeginMarker(std::string_view name) { return TakeIfKey("+", name); }

bool ObjectStream::ReadBeginMarker(std::string_view prefix, std::string_view name,
                                   std::string& value) {
    if (prefix.size() + name.size() >= 50)
        return false;
    return ReadBeginMarker(Joined(prefix, name), value);
}

bool ObjectStream::PeekBeginMarker(std::string_view name) {
    if (!Current() || m_overflow)
        return false;
    return m_key.size() == name.size() + 1 && m_key[0] == '+' &&
           m_key.compare(1, name.size(), name) == 0;
}

bool ObjectStream::PeekBeginMarker(std::string_view name, std::string_view expectedValue) {
    return PeekBeginMarker(name) && m_value == expectedValue;
}

bool ObjectStream::ReadMarker(char sign, std::string_view name) {
    return TakeIfKey(std::string_view(&sign, 1), name);
}

bool ObjectStream::ReadEnd(std::string_view name) {
    if (!Current())
        return false;
    if (TakeIfKey("-", name))
        return true;
    if (!m_overflow && !m_key.empty() && m_key[0] == '+')
        return true;
    SkipEntry();
    return false;
}

bool ObjectStream::ReadEnd(std::string_view prefix, std::string_view name) {
    return ReadEnd(Joined(prefix, name));
}

bool ObjectStream::ReadString(std::string_view key, std::string& value) {
    if (!TakeIfKey(key))
        return false;
    value = m_value;
    return true;
}

bool ObjectStream::ReadStringWithPrefix(std::string_view prefix, std::string_view rest,
                                        std::string& value) {
    if (!TakeIfKey(prefix, rest))
        return false;
    value = m_value;
    return true;
}

bool ObjectStream::ReadBool(std::string_view key, bool& flag) {
    if (!TakeIfKey(key))
        return false;
    flag = true;
    return true;
}

bool ObjectStream::ReadInteger(std::string_view key, long& n) {
    if (!TakeIfKey(key))
        return false;
    n = LeadingNumber(m_value);
    return true;
}

bool ObjectStream::ReadInteger(std::string_view key, int& n) {
    long v = 0;
    if (!ReadInteger(key, v))
        return false;
    n = v > 2147483647L ? 2147483647 : v < -2147483647L ? -2147483647 : static_cast<int>(v);
    return true;
}

bool ObjectStream::ReadDouble(std::string_view key, double& d) {
    if (!TakeIfKey(key))
        return false;
    d = std::strtod(m_value.c_str(), nullptr);
    return true;
}

bool ObjectStream::ReadChar(std::string_view key, char& c) {
    if (!TakeIfKey(key))
        return false;
    if (!m_value.empty())
        c = m_value[0];
    return true;
}

bool ObjectStream::ReadColor(std::string_view key, std::uint32_t& rgb) {
    if (!TakeIfKey(key))
        return false;
    std::string_view rest = m_value;
    for (int component = 0; component < 3; ++component) {
        std::size_t comma = rest.find(',');
        std::string_view part = rest.substr(0, comma);
        bool found = false;
        long v = LeadingNumber(part, &found);
        if (found) {
            v = v < 0 ? 0 : v > 255 ? 255 : v;
            int shift = 8 * component;
            rgb = (rgb & ~(0xFFu << shift)) | (static_cast<std::uint32_t>(v) << shift);
        }
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return true;
}

bool ObjectStream::ReadWindowPlacement(std::string_view key, WindowPlacement& placement) {
    if (!TakeIfKey(key))
        return false;
    char state[16];
    WindowPlacement p;
    int items = std::sscanf(m_value.c_str(), "%15s %d %d %d %d %d %d %d %d", state, &p.minX,
                            &p.minY, &p.maxX, &p.maxY, &p.left, &p.top, &p.right, &p.bottom);
    if (items != 9)
        return true;
    if (std::strcmp(state, "min") == 0)
        p.state = WindowPlacement::State::Minimized;
    else if (std::strcmp(state, "max") == 0)
        p.state = WindowPlacement::State::Maximized;
    placement = p;
    return true;
}

bool ObjectStream::ReadFont(std::string_view suffix, CFontDef& font) {
    std::string name = Joined("fnt", suffix);
    std::string ignored;
    if (!ReadBeginMarker(name, ignored))
        return false;
    // Flags are written only when set: a present font object starts from plain style.
    font.weight = 400;
    font.italic = font.underline = font.strikeOut = false;
    font.hasColor = false;
    font.kept.Clear();
    SettingsObjectReader reader(*this, name, font.kept);
    while (reader.Next()) {
        int size = 0;
        std::uint32_t color = font.color;
        bool flag = false;
        std::string face;
        if (ReadString("Name", face)) {
            // A face cannot be empty: shown as nothing, and not written, it would not read
            // back. The font keeps the face it had.
            if (!face.empty())
                font.face = std::move(face);
            continue;
        }
        if (ReadInteger("Size", size)) {
            // A size no font has (a damaged file) keeps the height: it would not survive
            // the next save, and a huge one would overflow the conversion.
            if (size > 0 && size <= kMaxFontSize)
                font.height = FontHeightFromSize(size);
            continue;
        }
        if (ReadBool("Bold", flag)) {
            font.weight = 700;
            continue;
        }
        if (ReadBool("Italic", font.italic) || ReadBool("Underline", font.underline) ||
            ReadBool("StrikeOut", font.strikeOut))
            continue;
        if (ReadColor("rgbColor", color)) {
            font.color = color;
            font.hasColor = true;
            continue;
        }
        reader.Keep();
    }
    return true;
}

bool ObjectStream::IsBeginOrEnd() {
    if (!Current())
        return false;
    return !m_key.empty() && (m_key[0] == '+' || m_key[0] == '-');
}

bool ObjectStream::IsOtherEnd(std::string_view name) {
    if (!Current() || m_overflow || m_key.empty() || m_key[0] != '-')
        return false;
    return std::string_view(m_key).substr(1) != name;
}

void ObjectStream::SkipObject() {
    if (!Current())
        return;
    // Iterative: a damaged file may open objects many thousands deep.
    OpenObjects open;
    if (!m_overflow && m_key.size() > 1 && m_key[0] == '+')
        open.Open(std::string_view(m_key).substr(1));
    SkipEntry();
    while (!open.Empty() && Current()) {
        if (!m_overflow && m_key.size() > 1 && m_key[0] == '-') {
            if (!open.Close(std::string_view(m_key).substr(1)))
                return; // an enclosing object's end line
        } else if (!m_overflow && m_key.size() > 1 && m_key[0] == '+') {
            open.Open(std::string_view(m_key).substr(1));
        }
        SkipEntry();
    }
}

bool ObjectStream::IsObjectOpen(std::string_view name) const {
    for (const SettingsObjectReader* r : m_readers)
        if (r->Name() == name)
            return true;
    for (const std::string& open : m_openObjects)
        if (open == name)
            return true;
    return false;
}

void ObjectStream::SkipEntry() {
    if (Current())
        m_pending = false;
}

} // namespace crv
