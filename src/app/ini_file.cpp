#include "app/ini_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/safe_file.h"

namespace crv {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

bool IniFile::Load(const std::string& path) {
    m_lines.clear();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return true;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    Parse(s.str());
    return true;
}

void IniFile::Parse(std::string_view text) {
    m_lines.clear();
    std::string section;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        pos = end + 1;
        Line line{std::string(raw), section, {}, {}};
        std::string_view t = Trim(raw);
        if (!t.empty() && t.front() == '[') {
            std::size_t close = t.find(']');
            section = std::string(
                Trim(t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1)));
            line.section = section;
        } else if (!t.empty() && t.front() != ';') {
            std::size_t eq = t.find('=');
            if (eq != std::string_view::npos && eq > 0) {
                line.key = std::string(Trim(t.substr(0, eq)));
                std::string_view v = Trim(t.substr(eq + 1));
                if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
                    v = v.substr(1, v.size() - 2);
                line.value = std::string(v);
            }
        }
        m_lines.push_back(std::move(line));
    }
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    for (const auto& l : m_lines)
        if (!l.key.empty() && SameName(l.section, section) && SameName(l.key, key))
            return l.value;
    return std::nullopt;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::size_t lastInSection = m_lines.size();
    bool sectionSeen = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        Line& l = m_lines[i];
        if (!SameName(l.section, section))
            continue;
        sectionSeen = true;
        if (!l.key.empty() && SameName(l.key, key)) {
            l.value = std::string(value);
            l.text = l.key + "=" + l.value;
            return;
        }
        if (!Trim(l.text).empty())
            lastInSection = i;
    }
    Line line{std::string(key) + "=" + std::string(value), std::string(section), std::string(key),
              std::string(value)};
    if (!sectionSeen) {
        if (!m_lines.empty() && !Trim(m_lines.back().text).empty())
            m_lines.push_back(Line{"", m_lines.back().section, {}, {}});
        m_lines.push_back(Line{"[" + std::string(section) + "]", std::string(section), {}, {}});
        m_lines.push_back(std::move(line));
        return;
    }
    m_lines.insert(m_lines.begin() + static_cast<long>(lastInSection) + 1, std::move(line));
}

std::string IniFile::Text() const {
    std::string out;
    for (const auto& l : m_lines) {
        out += l.text;
        out += "\r\n";
    }
    return out;
}

bool IniFile::Save(const std::string& path) const {
    std::error_code ec;
    auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    std::string text = Text();
    return WriteFileSafely(path,
                           [&](std::ostream& out) {
                               out.write(text.data(), static_cast<std::streamsize>(text.size()));
                               return true;
                           })
        .ok;
}

} // namespace crv
