#include "schema/sort_order.h"

#include <algorithm>

#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"
#include "schema/sort_key_hooks.h"

namespace crv {

namespace {

constexpr std::string_view kAlreadyDefined = "This character is already defined: ";
constexpr std::string_view kTooManyUnits =
    "A sort order can number at most 255 characters; this one is past the limit at: ";

} // namespace

int MatchMaskOfCode(char code) {
    switch (code) {
    case 'p':
        return kMatchPrimary;
    case 'c':
        return kMatchNoCase;
    case 'e':
        return kMatchExact;
    case 'i':
        return kMatchAll;
    default:
        return -1;
    }
}

char MatchCodeOfMask(int mask) {
    switch (mask | 2) {
    case kMatchPrimary:
        return 'p';
    case kMatchNoCase:
        return 'c';
    case kMatchExact:
        return 'e';
    default:
        return 'i';
    }
}

CSortOrder::CSortOrder(CLangEnc& owner, std::string name)
    : CSetEl(std::move(name)), m_owner(&owner) {}

CSortOrder::~CSortOrder() = default;

std::unique_ptr<CSortOrder> CSortOrder::Compile(CLangEnc& owner, std::string name,
                                                CSortOrderDef def, CNote& error) {
    std::unique_ptr<CSortOrder> so(new CSortOrder(owner, std::move(name)));
    if (!so->Build(def, error))
        return nullptr;
    so->m_def = std::move(def);
    so->LoadHooks();
    return so;
}

bool CSortOrder::Modify(CSortOrderDef def, CNote& error) {
    // Build into a copy so that a failed compile leaves the weights in force.
    CSortOrder trial(*m_owner, Name());
    if (!trial.Build(def, error))
        return false;
    m_weights = trial.m_weights;
    m_boundary = trial.m_boundary;
    bool hooksChanged = def.keyLibrary != m_def.keyLibrary || def.changeTable != m_def.changeTable;
    // Only the settings file fills the kept entries: what a dialog hands over has none.
    def.kept = std::move(m_def.kept);
    m_def = std::move(def);
    if (hooksChanged)
        LoadHooks();
    return true;
}

bool CSortOrder::Build(const CSortOrderDef& def, CNote& error) {
    m_weights.fill(CSortWeight{});
    std::array<bool, 256> defined{};
    int ordinal = 1;
    bool ok = true;

    // Looks up (creating) one unit and checks it is not yet defined here.
    auto take = [&](std::string_view token, bool numbered) -> CSortWeight* {
        if (!ok)
            return nullptr;
        CLangChar* unit = m_owner->FindOrAddUnit(token, &error);
        if (!unit) {
            ok = false;
            return nullptr;
        }
        if (defined[unit->Code()]) {
            error.AddText(kAlreadyDefined, token);
            ok = false;
            return nullptr;
        }
        if (numbered && ordinal > kMaxOrdinals) {
            // One byte per weight: past 255 the numbers would wrap into other units'.
            error.AddText(kTooManyUnits, token);
            ok = false;
            return nullptr;
        }
        defined[unit->Code()] = true;
        return &m_weights[unit->Code()];
    };
    auto secondaries = [&](std::string_view text) {
        ForEachToken(text, [&](std::string_view token, std::size_t) {
            if (CSortWeight* w = take(token, true)) {
                auto n = static_cast<unsigned char>(ordinal++);
                *w = {0, n, n, kSortSecondary};
            }
        });
    };

    secondaries(def.secPreceding);
    m_boundary = static_cast<unsigned char>(ordinal > 255 ? 255 : ordinal);
    if (CSortWeight* w = take(" ", true)) {
        auto n = static_cast<unsigned char>(ordinal++);
        *w = {n, n, n, kSortPrimary};
    }
    std::string_view primary = def.primary;
    for (std::size_t start = 0; ok && start <= primary.size();) {
        std::size_t end = primary.find('\n', start);
        if (end == std::string_view::npos)
            end = primary.size();
        unsigned char group = 0;
        bool first = true;
        ForEachToken(primary.substr(start, end - start), [&](std::string_view token, std::size_t) {
            if (CSortWeight* w = take(token, true)) {
                if (first)
                    group = static_cast<unsigned char>(ordinal);
                first = false;
                auto n = static_cast<unsigned char>(ordinal++);
                *w = {group, n, n, kSortPrimary};
            }
        });
        start = end + 1;
    }
    secondaries(def.secFollowing);
    ForEachToken(def.ignore, [&](std::string_view token, std::size_t) {
        if (CSortWeight* w = take(token, false))
            *w = {0xFE, 0xFE, 0xFE, kSortIgnored};
    });
    if (!ok)
        return false;
    RecomputeCaseFolding();
    return true;
}

void CSortOrder::RecomputeCaseFolding() {
    for (auto& w : m_weights)
        w.folded = w.exact;
    for (const auto& unit : *m_owner) {
        const CLangChar* upper = unit.UpperForm();
        // A lower-case form takes its upper form's weight, unless this order leaves the
        // upper form undefined: folding onto 0xFF would move the lower form among the
        // undefined units.
        if (upper && m_weights[upper->Code()].kind != kSortUndefined)
            m_weights[unit.Code()].folded = m_weights[upper->Code()].exact;
    }
}

void CSortOrder::LoadHooks() {
    m_keyLibrary.reset();
    m_changeTable.reset();
    const std::string& folder = m_owner->Owner().SettingsFolder();
    // A change table takes precedence: the key library is used only without one.
    if (!m_def.changeTable.empty())
        m_changeTable = LoadKeyChangeTable(folder, m_def.changeTable);
    else if (!m_def.keyLibrary.empty())
        m_keyLibrary = CSortKeyLibrary::Load(folder, m_def.keyLibrary);
}

void CSortOrder::AddRef() {
    ++m_refs;
    m_owner->AddRef();
}

void CSortOrder::Release() {
    --m_refs;
    m_owner->Release();
}

int CSortOrder::CompareUnits(unsigned char a, unsigned char b, int mask) const {
    const CSortWeight& wa = m_weights[a];
    const CSortWeight& wb = m_weights[b];
    if (mask & kMaskFolded)
        return wa.folded - wb.folded;
    if (mask & 4)
        return wa.exact - wb.exact;
    return wa.primary - wb.primary;
}

bool CSortOrder::MakeKey(std::string_view text, std::string& key, std::size_t maxUnits,
                         bool fromEnd) const {
    key.clear();
    return AppendKey(text, key, maxUnits, fromEnd);
}

bool CSortOrder::MakeKeyWithSeparator(std::string_view text, std::string& key, std::size_t maxUnits,
                                      bool fromEnd) const {
    key.push_back('\x01');
    return AppendKey(text, key, maxUnits, fromEnd);
}

bool CSortOrder::AppendKey(std::string_view text, std::string& key, std::size_t maxUnits,
                           bool fromEnd) const {
    // The first line, without the white space around it.
    std::size_t b = 0;
    while (b < text.size() && (text[b] == ' ' || text[b] == '\t' || text[b] == '\n'))
        ++b;
    std::size_t e = text.find('\n', b);
    if (e == std::string_view::npos)
        e = text.size();
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    std::string_view t = text.substr(b, e - b);

    bool ok = true;
    std::string rewritten;
    if (m_changeTable && !t.empty()) {
        if (m_changeTable->Run(t, rewritten, kMaxLibraryText)) {
            t = rewritten;
        } else {
            ok = false;
            t = {};
        }
    }
    std::string libraryKey;
    if (m_keyLibrary && !t.empty()) {
        libraryKey = m_keyLibrary->MakeKey(t, fromEnd);
        t = libraryKey;
    }
    if (!ok && fromEnd)
        return false;

    const std::size_t start = key.size();
    if (m_def.binary) {
        // The text's own bytes; 0x00 and 0x01 would end the key or split it into parts.
        std::size_t n = std::min(t.size(), maxUnits);
        ok = ok && n == t.size();
        for (std::size_t i = 0; i < n; ++i) {
            auto c = static_cast<unsigned char>(t[i]);
            key.push_back(static_cast<char>(c < 2 ? 2 : c));
        }
    } else {
        // Every unit is one byte, so the key is never longer than the text.
        key.resize(start + std::min(t.size(), maxUnits));
        auto* out = reinterpret_cast<unsigned char*>(key.data() + start);
        std::size_t n = 0;
        const char* p = t.data();
        const char* end = p + t.size();
        while (p < end && n < maxUnits)
            out[n++] = m_owner->NextUnitCode(p, end);
        if (p < end)
            ok = false;
        key.resize(start + n);
    }
    if (fromEnd) {
        if (ok)
            std::reverse(key.begin() + static_cast<long>(start), key.end());
        else
            key.resize(start);
    }
    return ok;
}

int CSortOrder::CompareBinary(std::string_view a, std::string_view b, bool whole) const {
    std::size_t i = 0;
    for (;; ++i) {
        bool aEnd = i >= a.size() || static_cast<unsigned char>(a[i]) < 2;
        bool bEnd = i >= b.size() || static_cast<unsigned char>(b[i]) < 2;
        if (aEnd && bEnd)
            return 0;
        if (aEnd)
            return whole ? -1 : 0;
        if (bEnd)
            return 1;
        int d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
        if (d)
            return d;
    }
}

int CSortOrder::CompareAtMask(std::string_view a, std::string_view b, int mask, bool whole) const {
    if (m_def.binary)
        return CompareBinary(a, b, whole);
    const auto* w = reinterpret_cast<const unsigned char*>(m_weights.data());
    // Byte offset of the weight this mask compares, inside each four-byte entry.
    const int offset = (mask & kMaskFolded) ? 1 : (mask & 4) ? 2 : 0;
    const auto* pa = reinterpret_cast<const unsigned char*>(a.data());
    const auto* pb = reinterpret_cast<const unsigned char*>(b.data());
    const auto* ea = pa + a.size();
    const auto* eb = pb + b.size();
    for (;;) {
        // A key part ends at the end of the key or at a separator (0x01, or 0x00).
        while (pa < ea && *pa >= 2 && !(w[*pa * 4 + 3] & mask))
            ++pa;
        while (pb < eb && *pb >= 2 && !(w[*pb * 4 + 3] & mask))
            ++pb;
        bool aEnd = pa >= ea || *pa < 2;
        bool bEnd = pb >= eb || *pb < 2;
        if (aEnd && bEnd)
            return 0;
        if (aEnd) {
            if (mask != kMatchPrimary && (w[*pb * 4 + 3] & kSortSecondary)) {
                int r = IsPrecedingSecondary(*pb) ? 1 : -1;
                return (whole || m_def.secAfterBase) ? r : 0;
            }
            return whole ? -1 : 0;
        }
        if (bEnd) {
            if (mask != kMatchPrimary && (w[*pa * 4 + 3] & kSortSecondary))
                return IsPrecedingSecondary(*pa) ? -1 : 1;
            return 1;
        }
        int d = w[*pa * 4 + offset] - w[*pb * 4 + offset];
        if (d)
            return d;
        ++pa;
        ++pb;
    }
}

int CSortOrder::CompareKeys(std::string_view a, std::string_view b, int mask, bool whole) const {
    if (m_def.binary)
        return CompareBinary(a, b, whole);
    // Identical leading codes compare equal at every mask, and every scanner leaves them
    // at the same point on both sides: start all levels after them. Sorting compares
    // neighbours that share long prefixes, so this saves most of the work.
    std::size_t same = 0;
    const std::size_t shorter = std::min(a.size(), b.size());
    while (same < shorter && a[same] == b[same] && static_cast<unsigned char>(a[same]) >= 2)
        ++same;
    a.remove_prefix(same);
    b.remove_prefix(same);
    // Strictness of the requested level: primary, case-folded, exact, full.
    const int level = (mask & 8) ? 3 : (mask & 4) ? ((mask & kMaskFolded) ? 1 : 2) : 0;
    const int undefined = mask & kSortUndefined;
    const int masks[4] = {1 | undefined, 21 | undefined, 5 | undefined, 13 | undefined};
    for (int l = 0; l <= level; ++l)
        if (int r = CompareAtMask(a, b, masks[l], whole))
            return r;
    return 0;
}

} // namespace crv
