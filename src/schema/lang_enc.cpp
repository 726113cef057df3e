#include "schema/lang_enc.h"

#include <algorithm>

#include "schema/lang_enc_set.h"
#include "schema/render_library.h"

namespace crv {

namespace {

constexpr std::string_view kEncodingFull =
    "This language encoding already has 254 characters; no more can be added: ";
constexpr std::string_view kCaseAlreadyDefined = "This character's case is already defined: ";
constexpr std::string_view kExpectingLowerCase =
    "Expecting a lower case association for this character: ";

constexpr char kAllOnes[8] = {'\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF'};

// Up to the first eight bytes of text as a word, zero-padded, in memory order.
std::uint64_t LoadPrefix(const char* text, std::size_t length) {
    std::uint64_t word = 0;
    std::memcpy(&word, text, length < 8 ? length : 8);
    return word;
}

} // namespace

CLangEnc::CLangEnc(CLangEncSet& set, std::string name, CLangEncProxy* proxy)
    : m_set(&set), m_proxy(proxy), m_name(std::move(name)), m_version("3.0"), m_sortOrders(*this),
      m_vars(*this) {
    m_font.face = "Times New Roman";
    m_font.height = -16;
    for (const char* initial : {"\x1A", " ", "\t", "\n"})
        FindOrAddUnit(initial);
}

CLangEnc::~CLangEnc() {
    // Variables and sort orders refer to units; they go first, then the units give their
    // slots back to the project.
    m_vars.DeleteAll();
    m_sortOrders.SetDefault(nullptr);
    m_sortOrders.DeleteAll();
    for (auto& unit : *this)
        m_set->FreeSlot(unit.Slot());
}

void CLangEnc::AddRef() {
    if (m_proxy)
        m_proxy->AddRef();
    else
        ++m_ownRefs;
}

void CLangEnc::Release() {
    if (m_proxy)
        m_proxy->Release();
    else
        --m_ownRefs;
}

int CLangEnc::RefCount() const { return m_proxy ? m_proxy->RefCount() : m_ownRefs; }

CLangChar* CLangEnc::FindOrAddUnit(std::string_view text, CNote* error) {
    if (text.empty())
        return nullptr;
    if (CLangChar* unit = FindUnit(text))
        return unit;
    // Codes of deleted units are free again; new encodings number units in creation order.
    int code = 2;
    while (code < 256 && m_byCode[static_cast<std::size_t>(code)])
        ++code;
    if (code >= 256) {
        if (error)
            error->AddText(kEncodingFull, text);
        return nullptr;
    }
    auto* unit = new CLangChar(this, std::string(text), static_cast<unsigned char>(code),
                               m_set->AllocateSlot());
    m_byCode[static_cast<std::size_t>(code)] = unit;
    Add(unit);
    RebuildSplitTable();
    return unit;
}

void CLangEnc::RebuildSplitTable() {
    m_singleCode.fill(kUnknownCode);
    m_multis.clear();
    for (const auto& unit : *this) {
        const std::string& t = unit.Text();
        if (t.size() == 1)
            m_singleCode[static_cast<unsigned char>(t[0])] = unit.Code();
        else
            m_multis.push_back({LoadPrefix(t.data(), t.size()), LoadPrefix(kAllOnes, t.size()),
                                t.data(), static_cast<std::uint32_t>(t.size()), unit.Code()});
    }
    // Grouped by first byte; within a group the longest text is tried first, so the first
    // match is the longest. The set's byte order makes the grouping stable.
    std::stable_sort(m_multis.begin(), m_multis.end(),
                     [](const Multigraph& a, const Multigraph& b) {
                         auto fa = static_cast<unsigned char>(a.text[0]),
                              fb = static_cast<unsigned char>(b.text[0]);
                         if (fa != fb)
                             return fa < fb;
                         return a.length > b.length;
                     });
    std::size_t i = 0;
    for (int b = 0; b < 256; ++b) {
        m_multiFirst[static_cast<std::size_t>(b)] = static_cast<std::uint16_t>(i);
        while (i < m_multis.size() && static_cast<unsigned char>(m_multis[i].text[0]) == b)
            ++i;
    }
    m_multiFirst[256] = static_cast<std::uint16_t>(m_multis.size());
}

unsigned char CLangEnc::NextMultigraphCode(const char*& p, const char* end) const {
    auto b = static_cast<unsigned char>(*p);
    auto left = static_cast<std::size_t>(end - p);
    std::uint64_t word = LoadPrefix(p, left);
    for (std::uint16_t i = m_multiFirst[b], n = m_multiFirst[b + 1]; i < n; ++i) {
        const Multigraph& m = m_multis[i];
        if (m.length <= left && ((word ^ m.prefix) & m.mask) == 0 &&
            (m.length <= 8 || std::memcmp(p + 8, m.text + 8, m.length - 8) == 0)) {
            p += m.length;
            return m.code;
        }
    }
    ++p;
    return m_singleCode[b];
}

CLangChar* CLangEnc::NextUnit(std::string_view text, std::size_t& pos) const {
    const char* p = text.data() + pos;
    unsigned char code = NextUnitCode(p, text.data() + text.size());
    pos = static_cast<std::size_t>(p - text.data());
    return m_byCode[code];
}

std::vector<CLangChar*> CLangEnc::Units(std::string_view text) const {
    std::vector<CLangChar*> out;
    for (std::size_t pos = 0; pos < text.size();)
        out.push_back(NextUnit(text, pos));
    return out;
}

std::vector<std::string_view> CLangEnc::UnitTexts(std::string_view text) const {
    std::vector<std::string_view> out;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t start = pos;
        NextUnit(text, pos);
        out.push_back(text.substr(start, pos - start));
    }
    return out;
}

bool CLangEnc::IsWordChar(std::string_view text, std::size_t pos) const {
    if (pos >= text.size() || text[pos] == ' ')
        return false;
    const CSortOrder* so = DefaultSortOrder();
    if (!so)
        return true; // no order to ask: every unit counts
    const char* p = text.data() + pos;
    return !so->HasKind(NextUnitCode(p, text.data() + text.size()), kSortUndefined);
}

void CLangEnc::ClearCase() {
    for (auto& unit : *this) {
        unit.m_isUpper = false;
        unit.m_caseAssoc = nullptr;
    }
}

void CLangEnc::SetCaseText(std::string text, CNoteList& notes) {
    ClearCase();
    m_caseText = std::move(text);
    std::string_view all = m_caseText;
    std::size_t lineStart = 0;
    while (lineStart <= all.size()) {
        std::size_t lineEnd = all.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = all.size();
        std::string_view line = all.substr(lineStart, lineEnd - lineStart);
        CLangChar* upper = nullptr;
        bool hasLower = false;
        bool failed = false;
        ForEachToken(line, [&](std::string_view token, std::size_t offset) {
            if (failed)
                return;
            int pos = static_cast<int>(lineStart + offset);
            CNote error;
            CLangChar* unit = FindOrAddUnit(token, &error);
            if (!unit) {
                notes.push_back(std::move(error));
                failed = true;
                return;
            }
            if (!upper) {
                if (unit->HasCase()) {
                    notes.push_back(CNote().AddText(kCaseAlreadyDefined, token, pos,
                                                    static_cast<int>(token.size())));
                    failed = true;
                    return;
                }
                upper = unit;
                return;
            }
            if (unit->HasCase() || unit == upper) {
                notes.push_back(CNote().AddText(kCaseAlreadyDefined, token, pos,
                                                static_cast<int>(token.size())));
                failed = true;
                return;
            }
            unit->m_caseAssoc = upper;
            if (!hasLower) {
                upper->m_isUpper = true;
                upper->m_caseAssoc = unit;
                hasLower = true;
            }
        });
        if (upper && !hasLower && !failed)
            notes.push_back(CNote().AddText(kExpectingLowerCase, upper->Text(),
                                            static_cast<int>(lineStart),
                                            static_cast<int>(line.size())));
        lineStart = lineEnd + 1;
    }
    m_sortOrders.RecomputeCaseFolding();
}

CSortOrder* CLangEnc::FindSortOrder(std::string_view name) const {
    if (name.empty())
        return DefaultSortOrder();
    return m_sortOrders.Search(name);
}

void CLangEnc::SetFont(const FontSpec& font) {
    static_cast<FontSpec&>(m_font) = font;
    m_fontMetrics = platform().MeasureFont(m_font);
}

FontSpec CLangEnc::ControlFont(int controlHeight) const {
    FontSpec f = m_font;
    if (m_fontMetrics.height > controlHeight)
        f.height = -controlHeight;
    return f;
}

void CLangEnc::SetRendering(std::string library, std::string table) {
    m_renderDll = std::move(library);
    m_renderTable = std::move(table);
    m_renderer.reset();
    if (!m_renderDll.empty() && !m_renderTable.empty())
        m_renderer = CRenderer::Load(m_set->SettingsFolder(), m_renderDll, m_renderTable);
}

} // namespace crv
