#include "interlinear/lexicon_trie.h"

#include <algorithm>

#include "base/object_stream.h"
#include "base/platform.h"
#include "record/record.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/var.h"

namespace crv {

namespace {

bool IsBreak(char c, std::string_view breaks) { return breaks.find(c) != std::string_view::npos; }

// The unit at pos (at least one byte).
std::size_t UnitLen(std::string_view text, std::size_t pos, const CLangEnc* enc) {
    if (!enc)
        return 1;
    std::size_t p = pos;
    enc->NextUnit(text, p);
    return std::max<std::size_t>(p - pos, 1);
}

bool IsReduplicationValue(std::string_view value) {
    return value.find("DUP") != std::string_view::npos ||
           value.find("Dup") != std::string_view::npos ||
           value.find("dup") != std::string_view::npos;
}

} // namespace

CLexiconTrie::CLexiconTrie(Kind kind) : m_kind(kind) { Clear(); }

CLexiconTrie::CLexiconTrie(const CLexiconTrie& other)
    : CIndexSetListener(), dbType(other.dbType), matchMarkers(other.matchMarkers),
      outMarker(other.outMarker), unknown(other.unknown), m_kind(other.m_kind), m_dbs(other.m_dbs) {
    Clear();
}

CLexiconTrie& CLexiconTrie::operator=(const CLexiconTrie& other) {
    if (this == &other)
        return *this;
    Invalidate();
    dbType = other.dbType;
    matchMarkers = other.matchMarkers;
    outMarker = other.outMarker;
    unknown = other.unknown;
    m_kind = other.m_kind;
    m_dbs = other.m_dbs;
    return *this;
}

CLexiconTrie::~CLexiconTrie() { StopListening(); }

// ---------------------------------------------------------------- settings

bool CLexiconTrie::Read(ObjectStream& is, std::string_view name, std::string_view base,
                        const CFileLocator& locate) {
    if (!is.ReadBeginMarker(name))
        return false;
    while (!is.AtEnd()) {
        if (is.ReadString("dbtyp", dbType) || is.ReadString("Out", outMarker))
            continue;
        if (is.PeekBeginMarker("drflst")) {
            m_dbs.Read(is, "drflst", base, locate);
            continue;
        }
        if (is.ReadBeginMarker("mrflst")) {
            while (!is.AtEnd()) {
                std::string m;
                if (is.ReadString("mkr", m)) {
                    if (!m.empty() && std::find(matchMarkers.begin(), matchMarkers.end(), m) ==
                                          matchMarkers.end())
                        matchMarkers.push_back(m);
                    continue;
                }
                if (is.IsOtherEnd("mrflst") || is.ReadEnd("mrflst"))
                    break;
            }
            continue;
        }
        if (is.IsOtherEnd(name) || is.ReadMarker('-', name))
            break;
        unknown.Capture(is, name);
    }
    Invalidate();
    return true;
}

void CLexiconTrie::Write(ObjectStream& os, std::string_view name) const {
    if (dbType.empty() && m_dbs.IsEmpty() && matchMarkers.empty() && outMarker.empty() &&
        unknown.IsEmpty())
        return;
    os.WriteBeginMarker(name);
    os.WriteString("dbtyp", dbType);
    m_dbs.Write(os, "drflst");
    if (!matchMarkers.empty()) {
        os.WriteBeginMarker("mrflst");
        for (const std::string& m : matchMarkers)
            os.WriteString("mkr", m);
        os.WriteEndMarker("mrflst");
    }
    os.WriteString("Out", outMarker);
    unknown.Write(os);
    os.WriteEndMarker(name);
}

bool CLexiconTrie::RenameMarker(std::string_view oldName, std::string_view newName) {
    bool changed = false;
    for (std::string& m : matchMarkers)
        if (m == oldName) {
            m = newName;
            changed = true;
        }
    if (outMarker == oldName) {
        outMarker = newName;
        changed = true;
    }
    if (changed)
        Invalidate();
    return changed;
}

// ---------------------------------------------------------------- the trie

void CLexiconTrie::Clear() {
    m_nodes.assign(1, Node{});
    m_entries.clear();
    m_patterns.clear();
    m_byRecord.clear();
    m_keys = 0;
}

void CLexiconTrie::Invalidate() {
    StopListening();
    Clear();
    m_built = false;
}

bool CLexiconTrie::IsListening(const CIndexSet* set) const {
    for (const auto& l : m_listening)
        if (l.first == set)
            return true;
    return false;
}

void CLexiconTrie::Listen(CIndexSet* set, CDbRef* ref) {
    if (IsListening(set))
        return;
    set->AddListener(this);
    m_listening.emplace_back(set, ref);
}

void CLexiconTrie::StopListening() {
    for (auto& l : m_listening)
        l.first->RemoveListener(this);
    m_listening.clear();
}

std::uint32_t CLexiconTrie::Child(std::uint32_t node, unsigned char byte) const {
    for (std::uint32_t c = m_nodes[node].firstChild; c != 0; c = m_nodes[c].nextSibling)
        if (m_nodes[c].byte == byte)
            return c;
    return 0;
}

std::uint32_t CLexiconTrie::AddChild(std::uint32_t node, unsigned char byte) {
    if (std::uint32_t c = Child(node, byte))
        return c;
    Node n;
    n.byte = byte;
    n.nextSibling = m_nodes[node].firstChild;
    m_nodes.push_back(n);
    auto index = static_cast<std::uint32_t>(m_nodes.size() - 1);
    m_nodes[node].firstChild = index;
    return index;
}

std::string CLexiconTrie::ValueOf(std::string value) const {
    if (m_settings.stopAtSeparator && !m_settings.separator.empty()) {
        std::size_t at = value.find(m_settings.separator);
        if (at != std::string::npos) {
            value.resize(at);
            while (!value.empty() && value.back() == ' ')
                value.pop_back();
        }
    }
    return value;
}

std::string CLexiconTrie::Reversed(std::string_view text, const CLangEnc* enc) {
    std::vector<std::string_view> pieces;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 0;
        if (text[i] == '[') {
            std::size_t close = text.find(']', i);
            n = close == std::string_view::npos ? text.size() - i : close + 1 - i;
        } else {
            n = UnitLen(text, i, enc);
        }
        n = std::min(n, text.size() - i);
        pieces.push_back(text.substr(i, n));
        i += n;
    }
    std::string out;
    out.reserve(text.size());
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
        out += *it;
    return out;
}

void CLexiconTrie::AddKey(std::string_view key, const std::string& value, const CRecord* record) {
    const std::string_view breaks = m_settings.breaks;
    std::size_t lead = 0;
    while (lead < key.size() && IsBreak(key[lead], breaks))
        ++lead;
    std::size_t end = key.size();
    while (end > lead && IsBreak(key[end - 1], breaks))
        --end;
    // A key of break characters alone names nothing.
    if (end == lead)
        return;
    const bool leading = lead > 0, trailing = end < key.size();
    const Kind shape = leading && trailing ? kInfix
                       : trailing          ? kPrefix
                       : leading           ? kSuffix
                                           : kRoot;
    if (m_kind != kLookup && m_kind != shape)
        return;
    std::string text(key.substr(lead, end - lead));
    if (m_kind == kSuffix)
        text = Reversed(text, m_settings.enc);
    m_entries.push_back({record, ValueOf(value), 0});
    auto entry = static_cast<std::uint32_t>(m_entries.size() - 1);
    m_byRecord[record].push_back(entry);
    if (text.find('[') != std::string::npos && IsReduplicationValue(value)) {
        m_patterns.push_back({std::move(text), entry});
        return;
    }
    std::uint32_t node = 0;
    for (unsigned char c : text)
        node = AddChild(node, c);
    // Appended so that entries come out in the order they were entered.
    std::uint32_t* link = &m_nodes[node].firstEntry;
    while (*link != 0)
        link = &m_entries[*link - 1].next;
    *link = entry + 1;
    ++m_keys;
}

namespace {

// Key text as entered: trailing spaces and line ends are not part of it.
std::string_view KeyText(const std::string& text) {
    std::string_view t = text;
    while (!t.empty() && (t.back() == ' ' || t.back() == '\n' || t.back() == '\t'))
        t.remove_suffix(1);
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    return t;
}

} // namespace

void CLexiconTrie::AddRecord(const CRecord& record, const CIndexSet& set) {
    const CMarkerSet& markers = set.Markers();
    std::vector<const CMarker*> keyMarkers;
    for (const std::string& name : matchMarkers)
        if (const CMarker* m = markers.Search(name))
            keyMarkers.push_back(m);
    if (keyMarkers.empty() && set.RecordMarker())
        keyMarkers.push_back(set.RecordMarker());
    const CMarker* out = outMarker.empty() ? nullptr : markers.Search(outMarker);
    auto isKey = [&](const CField& f) {
        return std::find(keyMarkers.begin(), keyMarkers.end(), f.Marker()) != keyMarkers.end();
    };
    const CField* lastOut = nullptr;
    for (const CField* f = record.GetFirst(); f; f = record.GetNext(f)) {
        if (f->Marker() == out && !KeyText(f->Text()).empty())
            lastOut = f;
        if (!isKey(*f))
            continue;
        std::string_view key = KeyText(f->Text());
        if (key.empty())
            continue;
        const CField* value = nullptr;
        if (f->Marker() == out) {
            value = f;
        } else {
            for (const CField* g = record.GetNext(f); g && !isKey(*g); g = record.GetNext(g))
                if (g->Marker() == out && !KeyText(g->Text()).empty()) {
                    value = g;
                    break;
                }
        }
        if (!value && m_kind == kLookup)
            value = lastOut;
        if (!value && m_kind == kLookup)
            continue;
        AddKey(key, value ? std::string(KeyText(value->Text())) : std::string(), &record);
    }
}

void CLexiconTrie::Build(COpenDatabases& dbs, std::string_view base,
                         const CTrieSettings& settings) {
    StopListening();
    Clear();
    m_settings = settings;
    m_built = true;
    m_missing = 0;
    for (CDbRef& ref : m_dbs) {
        CIndexSet* set = ref.Database(dbs, base);
        if (!set) {
            ++m_missing;
            continue;
        }
        if (IsListening(set))
            continue; // listed twice
        Listen(set, &ref);
        auto progress = platform().BeginProgress(
            "Building interlinear indexes", static_cast<std::int64_t>(set->RecordCount()), false);
        std::size_t n = 0;
        for (CRecord* record : set->RecordsInDefaultOrder()) {
            AddRecord(*record, *set);
            if (++n % 100 == 0)
                progress->SetPosition(static_cast<std::int64_t>(n));
        }
    }
}

bool CLexiconTrie::MissesOpenedDatabase(COpenDatabases& dbs, std::string_view base) {
    if (!m_built || m_missing == 0)
        return false;
    std::size_t open = 0;
    for (CDbRef& ref : m_dbs)
        open += ref.Database(dbs, base) != nullptr;
    return open + m_missing > m_dbs.Count();
}

void CLexiconTrie::RemoveRecord(const CRecord* record) {
    auto it = m_byRecord.find(record);
    if (it == m_byRecord.end())
        return;
    for (std::uint32_t e : it->second)
        m_entries[e].record = nullptr;
    m_byRecord.erase(it);
}

// ---------------------------------------------------------------- lexicon changes

void CLexiconTrie::OnSetClosing(CIndexSet& set) {
    if (IsListening(&set))
        Invalidate();
}

void CLexiconTrie::OnSetRenamed(CIndexSet& set, const std::string& newPath) {
    // The reference that found this database follows its new name.
    for (auto& [s, ref] : m_listening)
        if (s == &set)
            ref->SetPath(newPath);
}

void CLexiconTrie::OnRecordsAdded(CIndexSet& set, const std::vector<CRecord*>& records) {
    if (records.empty()) {
        Invalidate();
        return;
    }
    for (CRecord* r : records)
        AddRecord(*r, set);
}

void CLexiconTrie::OnRecordChanged(CIndexSet& set, CRecord* record) {
    RemoveRecord(record);
    AddRecord(*record, set);
}

void CLexiconTrie::OnRecordDeleting(CIndexSet&, CRecord* record) { RemoveRecord(record); }

// ---------------------------------------------------------------- searching

bool CLexiconTrie::AtWordEnd(std::string_view text, std::size_t pos) const {
    if (pos >= text.size())
        return true;
    char c = text[pos];
    if (c == ' ' || c == '\n' || c == '\t')
        return true;
    if (IsBreak(c, m_settings.breaks))
        return false;
    return !IsWordCharacter(m_settings.enc, text, pos);
}

std::size_t CLexiconTrie::MatchPattern(const Pattern& p, std::string_view text) const {
    const CLangEnc* enc = m_settings.enc;
    const std::string& key = p.key;
    if (key.size() >= 2 && key[0] == '[' && key[1] == '.') {
        // Whole reduplication: the two halves of the word are the same.
        std::vector<std::string_view> units;
        for (std::size_t i = 0; i < text.size();) {
            std::size_t n = UnitLen(text, i, enc);
            units.push_back(text.substr(i, n));
            i += n;
        }
        if (units.size() <= 3)
            return 0;
        std::size_t half = units.size() / 2;
        std::size_t second = half;
        if (units.size() % 2 == 1) {
            if (units[half].size() != 1 || !IsBreak(units[half][0], m_settings.breaks))
                return 0;
            second = half + 1;
        }
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < half; ++i) {
            if (units[i] != units[second + i])
                return 0;
            bytes += units[i].size();
        }
        return bytes;
    }
    std::size_t t = 0;
    for (std::size_t k = 0; k < key.size();) {
        if (t >= text.size())
            return 0;
        std::size_t n = UnitLen(text, t, enc);
        if (key[k] == '[') {
            std::size_t close = key.find(']', k);
            if (close == std::string::npos)
                return 0;
            std::string name = key.substr(k + 1, close - k - 1);
            const CVar* var = enc ? enc->Vars().Search(name) : nullptr;
            std::size_t pos = t;
            const CLangChar* unit = enc ? enc->NextUnit(text, pos) : nullptr;
            if (!var || !unit || !var->VarName() || !var->VarName()->Contains(unit->Slot()))
                return 0;
            t += n;
            k = close + 1;
            continue;
        }
        std::size_t kn = std::min(UnitLen(key, k, enc), key.size() - k);
        if (text.compare(t, kn, key, k, kn) != 0)
            return 0;
        t += kn;
        k += kn;
    }
    return t;
}

void CLexiconTrie::FindIn(std::string_view text, int flags, std::vector<Match>& out) const {
    std::uint32_t node = 0;
    for (std::size_t i = 0;; ++i) {
        for (std::uint32_t e = m_nodes[node].firstEntry; e != 0; e = m_entries[e - 1].next) {
            const Entry& entry = m_entries[e - 1];
            if (!entry.record || i == 0)
                continue;
            if ((flags & kWordEnd) && !AtWordEnd(text, i))
                continue;
            out.push_back({i, &entry});
        }
        if (i >= text.size())
            break;
        node = Child(node, static_cast<unsigned char>(text[i]));
        if (node == 0)
            break;
    }
    if (!(flags & kWordEnd))
        for (const Pattern& p : m_patterns) {
            const Entry& entry = m_entries[p.entry];
            if (!entry.record)
                continue;
            if (std::size_t n = MatchPattern(p, text))
                out.push_back({n, &entry});
        }
}

std::vector<CLexiconTrie::Match> CLexiconTrie::Find(std::string_view word, int flags) const {
    std::vector<Match> out;
    std::string reversed;
    std::string_view text = word;
    if (m_kind == kSuffix) {
        reversed = Reversed(word, m_settings.enc);
        text = reversed;
    }
    FindIn(text, flags, out);
    if (out.empty() && (flags & kLowerRetry) && m_settings.enc && !text.empty()) {
        std::size_t pos = 0;
        const CLangChar* first = m_settings.enc->NextUnit(text, pos);
        if (first && first->IsUpper() && first->LowerForm()) {
            std::string lowered = first->LowerForm()->Text();
            const std::size_t shift = lowered.size();
            lowered += text.substr(pos);
            FindIn(lowered, flags, out);
            std::erase_if(out, [&](const Match& m) { return m.length < shift; });
            for (Match& m : out)
                m.length = m.length + pos - shift;
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Match& a, const Match& b) { return a.length > b.length; });
    if ((flags & kLongest) && !out.empty()) {
        std::size_t longest = out.front().length;
        out.erase(std::find_if(out.begin(), out.end(),
                               [&](const Match& m) { return m.length != longest; }),
                  out.end());
    }
    return out;
}

bool CLexiconTrie::Lookup(std::string_view text, std::vector<std::string>& results,
                          std::size_t& matched, int flags) const {
    std::vector<Match> found = Find(text, flags);
    matched = found.empty() ? 0 : found.front().length;
    for (const Match& m : found)
        results.push_back(m.entry->value);
    return !found.empty();
}

} // namespace crv
