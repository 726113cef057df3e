#include "base/kept_entries.h"

#include <algorithm>

#include "base/object_stream.h"
#include "base/settings_capture.h"

namespace crv {

namespace {

bool IsBegin(std::string_view key) { return key.size() > 1 && key[0] == '+'; }
bool IsEnd(std::string_view key) { return key.size() > 1 && key[0] == '-'; }

// The place of an entry: its key, and for a begin line also the object's name, so that
// what stood after one marker's object is not written after another's.
std::string PlaceOf(std::string_view key, std::string_view value) {
    std::string place(key);
    if (IsBegin(key)) {
        place += ' ';
        place += value;
    }
    return place;
}

} // namespace

std::string KeptEntries::Text() const {
    std::string text;
    for (const Group& g : m_groups)
        text += g.text;
    return text;
}

// ---------------------------------------------------------------- open objects

void OpenObjects::Open(std::string_view name) {
    m_names.emplace_back(name);
    ++m_counts[m_names.back()];
}

bool OpenObjects::Close(std::string_view name) {
    auto it = m_counts.find(std::string(name));
    if (it == m_counts.end() || it->second == 0)
        return false;
    for (;;) {
        std::string last = std::move(m_names.back());
        m_names.pop_back();
        --m_counts[last];
        if (last == name)
            return true;
    }
}

// ---------------------------------------------------------------- reading

SettingsObjectReader::SettingsObjectReader(ObjectStream& is, std::string_view name,
                                           KeptEntries& kept, std::vector<std::string_view> objects,
                                           Place place)
    : m_is(is), m_name(name), m_kept(kept), m_objects(std::move(objects)), m_place(place) {
    if (!is.m_readers.empty())
        m_enclosing = is.m_readers.back();
    is.m_readers.push_back(this);
}

SettingsObjectReader::~SettingsObjectReader() {
    auto& readers = m_is.m_readers;
    auto it = std::find(readers.rbegin(), readers.rend(), this);
    if (it != readers.rend())
        readers.erase(std::next(it).base());
}

bool SettingsObjectReader::Reads(std::string_view object) const {
    return std::find(m_objects.begin(), m_objects.end(), object) != m_objects.end();
}

bool SettingsObjectReader::Next() {
    if (m_haveHead && !m_headKept) {
        m_after = m_head;
        m_occurrence = ++m_seen[m_head];
    }
    m_haveHead = false;
    if (m_is.AtEnd())
        return false;
    std::string_view key = m_is.PeekKey();
    if (m_is.Overflow()) {
        // Nothing can be read past an entry longer than the reader takes: the rest of the
        // input keeps its defaults.
        while (!m_is.AtEnd())
            m_is.SkipEntry();
        return false;
    }
    if (IsEnd(key)) {
        std::string_view name = key.substr(1);
        if (name == m_name) {
            m_is.SkipEntry();
            return false;
        }
        if (m_is.IsObjectOpen(name) || m_is.m_readers.front()->m_place != Place::File)
            return false;
    } else if (IsBegin(key)) {
        // A sibling's begin line where this object's end line is missing. Only the
        // enclosing object's own objects count: a newer version may nest objects whose
        // names objects further out also use.
        std::string_view name = key.substr(1);
        if (!Reads(name) && m_enclosing && m_enclosing->Reads(name))
            return false;
    }
    m_head = PlaceOf(key, m_is.PeekValue());
    m_haveHead = true;
    m_headKept = false;
    return true;
}

void SettingsObjectReader::Keep() {
    m_headKept = true;
    std::string text = CaptureEntry(m_is, m_name);
    // Blank lines after an entry are no part of it; kept, they would grow by the writer's
    // own blank lines at every save.
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    if (text.empty())
        return;
    text += '\n';
    auto& groups = m_kept.m_groups;
    if (!groups.empty() && groups.back().after == m_after &&
        groups.back().occurrence == m_occurrence)
        groups.back().text += text;
    else
        groups.push_back({m_after, m_occurrence, std::move(text)});
}

void SettingsObjectReader::Drop() {
    m_headKept = true;
    m_is.SkipObject();
}

// ---------------------------------------------------------------- writing

SettingsObjectWriter::SettingsObjectWriter(ObjectStream& os, const KeptEntries& kept)
    : m_os(os), m_kept(kept) {
    if (kept.Empty())
        return;
    const auto& groups = kept.m_groups;
    m_written.assign(groups.size(), false);
    for (std::size_t i = 0; i < groups.size(); ++i)
        m_byPlace[{groups[i].after, groups[i].occurrence}].push_back(i);
    MarkDue({}, 0);
    m_active = true;
    os.m_writers.push_back(this);
}

SettingsObjectWriter::~SettingsObjectWriter() {
    // A writer that wrote no end line still loses nothing.
    if (m_active)
        Finish();
}

void SettingsObjectWriter::BeforeEntry(std::string_view key, std::string_view value) {
    if (!m_active)
        return;
    if (!m_open.Empty()) {
        if (IsBegin(key))
            m_open.Open(key.substr(1));
        else if (IsEnd(key) && m_open.Close(key.substr(1)) && m_open.Empty())
            MarkDue(m_openedAt, m_openedOccurrence);
        return;
    }
    WriteDue();
    if (IsEnd(key)) {
        // The object's own end line: what has found no place goes before it.
        Finish();
        return;
    }
    std::string place = PlaceOf(key, value);
    int occurrence = ++m_seen[place];
    if (IsBegin(key)) {
        m_open.Open(key.substr(1));
        m_openedAt = std::move(place);
        m_openedOccurrence = occurrence;
    } else {
        MarkDue(place, occurrence);
    }
}

void SettingsObjectWriter::MarkDue(const std::string& place, int occurrence) {
    auto it = m_byPlace.find({place, occurrence});
    if (it != m_byPlace.end())
        m_due.insert(m_due.end(), it->second.begin(), it->second.end());
}

void SettingsObjectWriter::WriteDue() {
    std::sort(m_due.begin(), m_due.end());
    for (std::size_t i : m_due) {
        if (!m_written[i]) {
            m_os.WriteKept(m_kept.m_groups[i].text);
            m_written[i] = true;
        }
    }
    m_due.clear();
}

void SettingsObjectWriter::Finish() {
    WriteDue();
    for (std::size_t i = 0; i < m_written.size(); ++i)
        if (!m_written[i])
            m_os.WriteKept(m_kept.m_groups[i].text);
    m_active = false;
    auto& writers = m_os.m_writers;
    auto it = std::find(writers.rbegin(), writers.rend(), this);
    if (it != writers.rend())
        writers.erase(std::next(it).base());
}

} // namespace crv
