// The compile steps after the last line: symbol warnings, begin-section options, double-byte
// characters, the change list, groups and define bodies, and the order changes are tried in.
#include "zentab/table_builder.h"

#include <algorithm>

#include "zentab/commands.h"

namespace crv::zt {

namespace {

const char* const kPredefinedStores[] = {"ztcurrentdate", "ztcurrenttime", "ztversionmajor",
                                         "ztversionminor"};

bool IsPredefinedName(const std::string& name) {
    for (const char* p : kPredefinedStores)
        if (name == p)
            return true;
    return false;
}

struct RawChange {
    std::uint32_t start, matchStart, matchEnd, outStart, outEnd;
};

std::vector<RawChange> FindChanges(const std::vector<Element>& el) {
    std::vector<RawChange> raw;
    for (std::uint32_t i = 0; i < el.size(); i = NextElement(el, i)) {
        if (el[i] == kChangeStart) {
            if (!raw.empty() && raw.back().outEnd == 0)
                raw.back().outEnd = i;
            raw.push_back({i, i + 1, 0, 0, 0});
        } else if (el[i] == kWedge && !raw.empty() && raw.back().matchEnd == 0) {
            raw.back().matchEnd = i;
            raw.back().outStart = i + 1;
        }
    }
    if (!raw.empty() && raw.back().outEnd == 0)
        raw.back().outEnd = static_cast<std::uint32_t>(el.size());
    for (RawChange& r : raw)
        if (r.matchEnd == 0) // no wedge: all match part, nothing to output
            r.matchEnd = r.outStart = r.outEnd;
    return raw;
}

// Group commands that stand in front of the next change belong to it, not to this part.
std::uint32_t StripTrailingGroups(const std::vector<Element>& el, std::uint32_t start,
                                  std::uint32_t end) {
    while (end >= start + 2 && el[end - 2] == Command(op::Group))
        end -= 2;
    return end;
}

void ScanBeginOptions(Table& t, Reporter& r, const RawChange& begin) {
    const std::vector<Element>& el = t.elements;
    int doublebyteArgs = 0;
    for (std::uint32_t i = begin.outStart; i < begin.outEnd; i = NextElement(el, i)) {
        if (!IsCommand(el[i]))
            continue;
        switch (CodeOf(el[i])) {
        case op::Caseless:
            t.caseless = true;
            break;
        case op::Binary:
            t.binary = true;
            break;
        case op::Unsorted:
            t.unsorted = true;
            break;
        case op::Doublebyte:
            t.doublebyte = true;
            if (i + 1 < el.size() && doublebyteArgs < 2) {
                (doublebyteArgs == 0 ? t.doublebyteHigh : t.doublebyteLow) =
                    static_cast<std::uint8_t>(el[i + 1]);
                ++doublebyteArgs;
            }
            break;
        default:
            break;
        }
    }
    if (!t.doublebyte)
        return;
    if (t.binary) {
        r.Report(msg::BinaryWithDoublebyte);
        t.binary = false;
    }
    if (t.caseless) {
        r.Report(msg::CaselessWithDoublebyte);
        t.caseless = false;
    }
    if (t.doublebyteHigh < 0x80) {
        r.Report(msg::DoublebyteInconsistent);
        if (t.doublebyteHigh == 0)
            t.doublebyteHigh = 0x80;
    }
}

// Joins a lead byte and the character after it into one double-byte element, as input bytes
// are joined, so that table characters compare with input characters.
void JoinDoublebyte(Table& t) {
    const std::vector<Element>& el = t.elements;
    std::vector<Element> joined;
    std::vector<std::uint32_t> newIndex(el.size() + 1);
    for (std::uint32_t i = 0; i < el.size();) {
        newIndex[i] = static_cast<std::uint32_t>(joined.size());
        if (IsCommand(el[i])) {
            std::uint32_t next = NextElement(el, i);
            for (std::uint32_t k = i; k < next; ++k) {
                newIndex[k] = static_cast<std::uint32_t>(joined.size());
                joined.push_back(el[k]);
            }
            i = next;
        } else if (el[i] >= t.doublebyteHigh && el[i] < 0xFF && i + 1 < el.size() &&
                   !IsCommand(el[i + 1])) {
            newIndex[i + 1] = static_cast<std::uint32_t>(joined.size());
            joined.push_back(static_cast<Element>(el[i] << 8 | el[i + 1]));
            i += 2;
        } else {
            joined.push_back(el[i++]);
        }
    }
    newIndex[el.size()] = static_cast<std::uint32_t>(joined.size());
    for (auto& ls : t.lineStarts)
        ls.first = newIndex[std::min<std::size_t>(ls.first, el.size())];
    t.elements = std::move(joined);
}

void Weigh(const Table& t, Change& c) {
    const std::vector<Element>& el = t.elements;
    c.firstKey =
        c.matchStart < c.matchEnd && !IsCommand(el[c.matchStart]) ? el[c.matchStart] : kCommandKey;
    c.literalOnly = true;
    for (std::uint32_t i = c.matchStart; i < c.matchEnd; i = NextElement(el, i)) {
        if (!IsCommand(el[i])) {
            c.weight += 10;
            continue;
        }
        c.literalOnly = false;
        switch (CodeOf(el[i])) {
        case op::Cont:
        case op::Wd:
            c.weight += 2;
            break;
        case op::Fol:
        case op::Prec:
            c.weight += 1;
            break;
        default:
            c.weight += 10;
        }
    }
}

void OrderGroup(Table& t, Group& g) {
    auto before = [&t](std::uint16_t a, std::uint16_t b) {
        const Change &ca = t.changes[a], &cb = t.changes[b];
        if (ca.firstKey != cb.firstKey)
            return ca.firstKey < cb.firstKey;
        return !t.unsorted && ca.weight > cb.weight;
    };
    std::stable_sort(g.sorted.begin(), g.sorted.end(), before);
    auto firstAtLeast = [&](std::uint32_t key) {
        std::size_t p = 0;
        while (p < g.sorted.size() && t.changes[g.sorted[p]].firstKey < key)
            ++p;
        return static_cast<std::uint16_t>(p);
    };
    for (std::uint32_t c = 0; c <= 256; ++c)
        g.charBegin[c] = firstAtLeast(c);
    g.commandBegin = firstAtLeast(kCommandKey);
    if (g.sorted.empty())
        return;
    std::vector<std::uint32_t> pairOf(g.sorted.size(), 0x10000);
    for (std::size_t p = 0; p < g.sorted.size(); ++p) {
        const Change& c = t.changes[g.sorted[p]];
        std::uint32_t length = c.matchEnd - c.matchStart;
        g.plain.push_back(
            {c.matchStart, static_cast<std::uint16_t>(length), g.sorted[p], c.literalOnly});
        if (c.firstKey >= 256)
            continue;
        Element second = length >= 2 ? t.elements[c.matchStart + 1] : 0;
        if (!c.literalOnly || length < 2 || second >= 256)
            g.scanAll.set(c.firstKey);
        else
            pairOf[p] = c.firstKey << 8 | second;
    }
    // Counting sort of the positions by pair, keeping the matching order within a pair.
    g.pairStart.assign(0x10001, 0);
    for (std::uint32_t pair : pairOf)
        if (pair < 0x10000)
            ++g.pairStart[pair + 1];
    for (std::size_t k = 1; k < g.pairStart.size(); ++k)
        g.pairStart[k] = static_cast<std::uint16_t>(g.pairStart[k] + g.pairStart[k - 1]);
    g.pairList.resize(g.pairStart.back());
    std::vector<std::uint16_t> fill(g.pairStart.begin(), g.pairStart.end() - 1);
    for (std::size_t p = 0; p < pairOf.size(); ++p)
        if (pairOf[p] < 0x10000 && !g.scanAll[pairOf[p] >> 8])
            g.pairList[fill[pairOf[p]]++] = static_cast<std::uint16_t>(p);
}

} // namespace

std::uint32_t NextElement(const std::vector<Element>& el, std::uint32_t i) {
    if (i < el.size() && IsCommand(el[i]))
        return std::min<std::uint32_t>(static_cast<std::uint32_t>(el.size()),
                                       i + 1 + ArgumentCount(CodeOf(el[i])));
    return i + 1;
}

bool FinishTable(Table& t, Reporter& r, bool hadErrors, bool tooLarge, bool fromText,
                 const std::function<void(int, int, const std::string&)>& error) {
    bool failed = hadErrors || tooLarge;
    if (fromText) {
        const int kinds[] = {msg::StoreNeverStored, msg::SwitchNeverSet, msg::GroupNeverDefined,
                             msg::DefineNeverDefined};
        for (int k = 0; k < 4; ++k)
            for (const Symbol& s : t.symbols[k].Symbols())
                if (!s.defined && !(k == 0 && IsPredefinedName(s.name))) {
                    MessageArgs args;
                    args.a = s.name;
                    r.Report(kinds[k], args);
                }
    }

    std::vector<RawChange> raw = FindChanges(t.elements);
    bool hasBegin = !raw.empty() && raw[0].matchEnd == raw[0].matchStart + 1 &&
                    t.elements[raw[0].matchStart] == Command(op::Begin);
    if (hasBegin)
        ScanBeginOptions(t, r, raw[0]);
    if (t.doublebyte) {
        JoinDoublebyte(t);
        raw = FindChanges(t.elements);
    }
    const std::vector<Element>& el = t.elements;

    // The change list, define bodies and each change's group, in one walk in table order.
    int group = 1;
    std::array<int, kMaxSymbol + 1> lastChangeOf{};
    std::array<bool, kMaxSymbol + 1> reported{};
    std::size_t next = 0;
    bool tooMany = false;
    auto defineGroup = [&](int g) {
        if (!t.groups[g].defined) {
            t.groups[g].defined = true;
            t.groupOrder.push_back(static_cast<std::uint8_t>(g));
        }
    };
    for (std::uint32_t i = 0; i < el.size(); i = NextElement(el, i)) {
        if (el[i] == Command(op::Group) && i + 1 < el.size()) {
            group = el[i + 1];
            defineGroup(group);
            continue;
        }
        if (next >= raw.size() || raw[next].start != i)
            continue;
        const RawChange& rc = raw[next];
        Part part{rc.outStart, StripTrailingGroups(el, rc.outStart, rc.outEnd), t.LineOf(i), -1};
        if (next++ == 0 && hasBegin) {
            t.hasBegin = true;
            t.begin = part;
            continue;
        }
        if (rc.matchStart < rc.matchEnd && el[rc.matchStart] == Command(op::Define)) {
            for (std::uint32_t k = rc.matchStart;
                 k + 1 < rc.matchEnd && el[k] == Command(op::Define); k += 2)
                t.defines[el[k + 1]] = part;
            continue;
        }
        if (t.changes.size() >= kMaxChanges) {
            if (!tooMany) {
                MessageArgs args;
                args.number = static_cast<long>(kMaxChanges);
                r.Report(msg::TooManyChanges, args);
            }
            tooMany = failed = true;
            continue;
        }
        int index = static_cast<int>(t.changes.size());
        if (lastChangeOf[group] != 0 && lastChangeOf[group] != index && !reported[group]) {
            reported[group] = true;
            failed = true;
            MessageArgs args;
            args.a = t.GroupName(group);
            r.Report(msg::GroupMultiplyDefined, args);
        }
        lastChangeOf[group] = index + 1;
        if (group == 1)
            t.groups[1].defined = true;
        Change c;
        c.matchStart = rc.matchStart;
        c.matchEnd = rc.matchEnd;
        c.output = part;
        c.line = part.line;
        c.group = group;
        Weigh(t, c);
        c.outputLiteral = std::none_of(el.begin() + c.output.start, el.begin() + c.output.end,
                                       [](Element e) { return IsCommand(e); });
        t.changes.push_back(c);
        t.groups[group].sorted.push_back(static_cast<std::uint16_t>(index));
    }

    // Where "next" continues: the change that follows each part in table order.
    auto following = [&t](std::uint32_t start) {
        for (std::size_t k = 0; k < t.changes.size(); ++k)
            if (t.changes[k].matchStart > start)
                return static_cast<int>(k);
        return -1;
    };
    for (std::size_t k = 0; k < t.changes.size(); ++k)
        t.changes[k].output.following = k + 1 < t.changes.size() ? static_cast<int>(k + 1) : -1;
    if (t.hasBegin)
        t.begin.following = following(t.begin.start);
    for (Part& d : t.defines)
        if (d.end != 0)
            d.following = following(d.start);

    bool precWarned = false;
    for (const Change& c : t.changes) {
        int run = 0;
        for (std::uint32_t i = c.matchStart; i < c.matchEnd; i = NextElement(el, i)) {
            run = el[i] == Command(op::Prec) ? run + 1 : 0;
            if (run > 10 && !precWarned) {
                precWarned = true;
                MessageArgs args;
                args.number = 10;
                r.Report(msg::TooManyPrec, args);
            }
        }
        if (c.matchStart + 1 < c.matchEnd &&
            (el[c.matchStart] == Command(op::Any) || el[c.matchStart] == Command(op::Cont)))
            t.storeLeadsMatch[el[c.matchStart + 1] & 0x7F] = true;
    }

    if (tooLarge)
        r.Report(msg::TableTooLarge);
    (void)error;
    if (failed)
        return false;
    for (Group& g : t.groups)
        OrderGroup(t, g);
    return true;
}

} // namespace crv::zt
