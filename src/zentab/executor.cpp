// The executor's main loop: feeding input, finding the change that matches at the current
// character, copying what nothing matches, and the output side (back buffer, stores, bytes).
#include "zentab/executor.h"

#include <algorithm>
#include <ctime>

#include "zentab/commands.h"
#include "zentab/table_builder.h"

namespace crv::zt {

namespace {

constexpr std::size_t kRing = 1000;
constexpr std::size_t kFlushChunk = 1 << 16;
constexpr std::size_t kMaxStore = 1 << 20;        // elements per store
constexpr std::size_t kMaxPendingInput = 1 << 24; // elements waiting to be read again
constexpr Element kSpace = ' ';

Element Lower(Element e) { return e >= 'A' && e <= 'Z' ? static_cast<Element>(e + 32) : e; }

} // namespace

Executor::Executor(const Table& table, Reporter& reporter) : m_table(table), m_reporter(reporter) {
    Reinitialize();
}

void Executor::Reinitialize() {
    m_in.clear();
    m_inPos = 0;
    m_inputEnded = m_lastWasCR = false;
    m_lead = -1;
    m_matched.clear();
    m_out.assign(kRing, kSpace);
    m_written = m_fillerEnd = kRing;
    m_ringCount = 0;
    m_ready.clear();
    m_readyPos = 0;
    for (auto& s : m_stores)
        s.clear();
    for (auto& s : m_sets)
        s.valid = false;
    m_overflowWarned.reset();
    EndStoring();
    m_switches.reset();
    m_active.clear();
    m_possibleValid = false;
    m_frames.clear();
    m_phase = Phase::NotStarted;
    m_inBegin = m_ended = m_endTried = m_upperNext = m_doublebyteWarned = false;
    m_currentGroup = 1;
    m_steps = 0;
    m_reporter.ClearError();
}

void Executor::SetDebugHooks(DebugHook lineTrace, DebugHook other) {
    m_lineTrace = std::move(lineTrace);
    m_otherTrace = std::move(other);
}

void Executor::FeedInput(const char* data, std::size_t length) {
    if (m_inPos > 0 && (m_inPos == m_in.size() || m_inPos >= kFlushChunk)) {
        m_in.erase(m_in.begin(), m_in.begin() + static_cast<std::ptrdiff_t>(m_inPos));
        m_inPos = 0;
    }
    // Written through a pointer: this loop and FlushRing carry every byte of a run.
    std::size_t old = m_in.size();
    m_in.resize(old + length);
    Element* out = m_in.data() + old;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto* end = p + length;
    if (m_table.doublebyte) {
        for (; p < end; ++p) {
            unsigned char b = *p;
            if (m_lead >= 0) {
                *out++ = static_cast<Element>(m_lead << 8 | b);
                m_lead = -1;
            } else if (b >= m_table.doublebyteHigh) {
                m_lead = b;
            } else if (b == '\n' && m_lastWasCR) { // text mode: CR LF, LF and CR are line ends
                m_lastWasCR = false;
            } else {
                m_lastWasCR = b == '\r';
                *out++ = b == '\n' ? 13 : b;
            }
        }
    } else if (m_table.binary) {
        for (; p < end; ++p)
            *out++ = *p;
    } else {
        bool lastWasCR = m_lastWasCR;
        for (; p < end; ++p) {
            unsigned char b = *p;
            if (b > '\r') {
                *out++ = b;
                lastWasCR = false;
            } else if (b == '\n') {
                if (!lastWasCR)
                    *out++ = 13;
                lastWasCR = false;
            } else {
                lastWasCR = b == '\r';
                *out++ = b;
            }
        }
        m_lastWasCR = lastWasCR;
    }
    m_in.resize(static_cast<std::size_t>(out - m_in.data()));
}

void Executor::EndInput() {
    if (m_lead >= 0)
        m_in.push_back(static_cast<Element>(m_lead));
    m_lead = -1;
    m_inputEnded = true;
}

bool Executor::OverBudget() {
    if (m_budget && ++m_steps > m_budget) {
        m_reporter.Report(msg::UnableToDoChanges);
        return true;
    }
    return false;
}

Executor::Status Executor::Run(std::size_t outputLimit) {
    m_limit = outputLimit;
    if (m_reporter.HadError())
        return Status::Error;
    if (m_phase == Phase::NotStarted) {
        m_phase = Phase::Running;
        m_active.assign(1, 1);
        if (m_table.hasBegin) {
            m_inBegin = true;
            m_currentGroup = 0;
            m_frames.push_back({m_table.begin.start, m_table.begin.end, m_table.begin.start,
                                m_table.begin.following});
        } else {
            SetDefaultGroups();
        }
    }
    for (;;) {
        if (!m_frames.empty()) {
            switch (ExecuteFrames()) {
            case Exec::NeedInput:
                return Status::NeedInput;
            case Exec::OutputFull:
                return Status::OutputFull;
            case Exec::Error:
                return Status::Error;
            case Exec::Continue:
                break;
            }
            if (m_inBegin) {
                m_inBegin = false;
                SetDefaultGroups();
            }
        }
        if (m_reporter.HadError())
            return Status::Error;
        if (OutputReady())
            return Status::OutputFull;
        if (m_phase == Phase::Finished)
            return Status::Done;
        if (m_ended) {
            m_in.clear();
            m_inPos = 0;
            Finish();
            continue;
        }
        if (m_inPos >= m_in.size()) {
            if (!m_inputEnded)
                return Status::NeedInput;
            if (!m_endTried) {
                m_endTried = true;
                if (TryEndfileChanges())
                    continue;
            }
            Finish();
            continue;
        }
        if (OverBudget())
            return Status::Error;
        if (!m_possibleValid)
            RebuildPossible();
        if (m_plainGroups && !m_storing && !m_budget && !m_table.caseless && !m_lineTrace) {
            std::size_t before = m_inPos;
            RunPlain();
            if (m_inPos != before)
                continue;
        }
        Element c = m_in[m_inPos];
        if (c < 256 && !m_possible[c]) {
            // The common case: a run of characters no change can start with.
            std::size_t end = m_inPos + 1;
            if (!StoringIntoMatchStore())
                while (end < m_in.size() && m_in[end] < 256 && !m_possible[m_in[end]])
                    ++end;
            EmitInput(m_inPos, end);
            m_inPos = end;
            continue;
        }
        int change = -1;
        std::size_t length = 0;
        bool folded = false;
        Match m = FindMatch(change, length, folded);
        if (m_reporter.HadError())
            return Status::Error;
        if (m == Match::NeedMore)
            return Status::NeedInput;
        if (m == Match::Yes) {
            m_matched.assign(m_in.begin() + static_cast<std::ptrdiff_t>(m_inPos),
                             m_in.begin() + static_cast<std::ptrdiff_t>(m_inPos + length));
            m_inPos += length;
            StartChange(change, folded);
            continue;
        }
        if (m_storing) {
            StoreOutput(c);
        } else {
            m_out.push_back(c);
            m_ringCount += m_ringCount < kRing;
        }
        ++m_inPos;
    }
}

void Executor::SetDefaultGroups() {
    if (m_active.empty() && !m_ended) {
        m_reporter.Report(msg::DefaultingToGroup1);
        m_active.assign(1, 1);
    }
    m_possibleValid = false;
    if (m_active.size() != 1 || !m_table.groups[m_active[0]].sorted.empty())
        return;
    int first = m_table.groupOrder.empty() ? 0 : m_table.groupOrder[0];
    MessageArgs args;
    if (first != 0 && first != m_active[0]) {
        m_active.assign(1, static_cast<std::uint8_t>(first));
        if (!m_table.groups[first].sorted.empty())
            return;
        args.a = GroupNameOf(first);
    } else if (m_table.changes.empty()) {
        m_reporter.Report(msg::TableEmpty);
        return;
    } else {
        args.a = GroupNameOf(m_active[0]);
    }
    m_reporter.Report(msg::DefaultingToEmptyGroup, args);
}

void Executor::RebuildPossible() {
    m_possible.fill(false);
    bool wild = false;
    auto mark = [this](Element e) {
        if (e >= 256)
            return;
        m_possible[e] = true;
        if (m_table.caseless && e >= 'a' && e <= 'z')
            m_possible[e - 32] = true;
        if (m_table.caseless && e >= 'A' && e <= 'Z')
            m_possible[e + 32] = true;
    };
    const std::vector<Element>& el = m_table.elements;
    for (std::uint8_t g : m_active) {
        const Group& group = m_table.groups[g];
        for (std::size_t p = 0; p < group.sorted.size() && !wild; ++p) {
            const Change& c = m_table.changes[group.sorted[p]];
            if (c.firstKey < 256) {
                m_possible[c.firstKey] = true;
                if (m_table.caseless && c.firstKey >= 'a' && c.firstKey <= 'z')
                    m_possible[c.firstKey - 32] = true;
                continue;
            }
            if (c.firstKey < kCommandKey || c.matchStart + 1 >= c.matchEnd) {
                wild = c.firstKey >= kCommandKey; // an empty match part matches anywhere
                continue;
            }
            Element arg = el[c.matchStart + 1] & 0x7F;
            switch (CodeOf(el[c.matchStart])) {
            case op::Any:
                for (Element e : m_stores[arg])
                    mark(e);
                break;
            case op::Cont:
                if (m_stores[arg].empty())
                    wild = true;
                else
                    mark(m_stores[arg][0]);
                break;
            case op::Endfile:
                break;
            default:
                wild = true;
            }
        }
    }
    if (wild)
        m_possible.fill(true);
    m_possibleValid = true;
    m_plainGroups = true;
    for (std::uint8_t g : m_active)
        if (m_table.groups[g].commandBegin != m_table.groups[g].sorted.size())
            m_plainGroups = false;
}

// The inner loop of plain-text tables (orthography conversions): unmatched characters and
// changes whose match and output parts are only characters, without the bookkeeping of the
// general loop. Returns at the first thing it does not handle, or after a stretch of output,
// so that the general loop checks limits and flushes.
void Executor::RunPlain() {
    const Element* el = m_table.elements.data();
    const Element* in = m_in.data();
    const std::size_t size = m_in.size();
    // Output collects in a small buffer on the stack and goes to m_out in blocks.
    constexpr std::size_t kBlock = 4096;
    Element block[kBlock];
    std::size_t used = 0, emitted = 0;
    auto flush = [&] {
        m_out.insert(m_out.end(), block, block + used);
        emitted += used;
        used = 0;
    };
    std::size_t pos = m_inPos, lastMatchPos = 0;
    const Change* lastMatch = nullptr;
    while (pos < size && emitted < kFlushChunk) {
        Element c = in[pos];
        if (used == kBlock)
            flush();
        if (c < 256 && !m_possible[c]) {
            block[used++] = c;
            ++pos;
            continue;
        }
        if (c >= 256)
            break;
        const Change* found = nullptr;
        bool unsure = false;
        // Tries one change whose first `known` characters are known to match.
        auto attempt = [&](const PlainEntry& e, std::size_t known) {
            std::size_t n = e.length;
            if (!e.literal || (pos + n > size && !m_inputEnded)) {
                unsure = true;
                return;
            }
            if (pos + n > size)
                return;
            std::size_t k = known;
            while (k < n && in[pos + k] == el[e.matchStart + k])
                ++k;
            if (k == n)
                found = &m_table.changes[e.change];
        };
        for (std::uint8_t g : m_active) {
            const Group& group = m_table.groups[g];
            std::size_t from = group.charBegin[c], to = group.charBegin[c + 1u];
            if (from == to)
                continue;
            if (!group.scanAll[c]) {
                // Every change here is text of two or more characters: only those that
                // start with this pair of characters can match.
                if (pos + 1 >= size) {
                    unsure = !m_inputEnded;
                    if (unsure)
                        break;
                    continue;
                }
                if (in[pos + 1] >= 256)
                    continue;
                std::size_t pair = static_cast<std::size_t>(c) << 8 | in[pos + 1];
                for (std::size_t q = group.pairStart[pair];
                     q < group.pairStart[pair + 1] && !found && !unsure; ++q)
                    attempt(group.plain[group.pairList[q]], 2);
            } else {
                for (std::size_t p = from; p < to && !found && !unsure; ++p)
                    attempt(group.plain[p], 1);
            }
            if (found || unsure)
                break;
        }
        if (unsure || (found && !found->outputLiteral))
            break;
        if (!found) {
            block[used++] = c;
            ++pos;
            continue;
        }
        lastMatch = found;
        lastMatchPos = pos;
        std::size_t n = found->output.end - found->output.start;
        if (used + n > kBlock)
            flush();
        if (n > kBlock) {
            m_out.insert(m_out.end(), el + found->output.start, el + found->output.end);
            emitted += n;
        } else {
            std::copy_n(el + found->output.start, n, block + used);
            used += n;
        }
        pos += found->matchEnd - found->matchStart;
    }
    flush();
    if (lastMatch) {
        m_matched.assign(in + lastMatchPos,
                         in + lastMatchPos + (lastMatch->matchEnd - lastMatch->matchStart));
        m_currentGroup = lastMatch->group;
    }
    m_ringCount = std::min(kRing, m_ringCount + emitted);
    m_inPos = pos;
}

Executor::Match Executor::FindMatch(int& change, std::size_t& length, bool& folded) {
    Element c = m_in[m_inPos];
    bool upper = m_table.caseless && c >= 'A' && c <= 'Z';
    Element key = upper ? Lower(c) : c;
    for (std::uint8_t g : m_active) {
        const Group& group = m_table.groups[g];
        std::size_t from, to;
        if (key < 256) {
            from = group.charBegin[key];
            to = group.charBegin[key + 1u];
        } else {
            std::size_t lo = group.charBegin[256], hi = group.commandBegin;
            while (lo < hi) {
                std::size_t mid = (lo + hi) / 2;
                if (m_table.changes[group.sorted[mid]].firstKey < key)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            from = to = lo;
            while (to < group.commandBegin && m_table.changes[group.sorted[to]].firstKey == key)
                ++to;
        }
        int a = -1, b = -1;
        std::size_t la = 0, lb = 0;
        for (std::size_t p = from; p < to && a < 0; ++p) {
            const Change& ch = m_table.changes[group.sorted[p]];
            if (ch.literalOnly) {
                // Inline: most changes of orthography tables are plain text.
                const Element* el = m_table.elements.data();
                std::size_t n = ch.matchEnd - ch.matchStart;
                std::size_t avail = m_in.size() - m_inPos;
                std::size_t k = 1, cmp = std::min(n, avail);
                const Element* in = m_in.data() + m_inPos;
                while (k < cmp && in[k] == el[ch.matchStart + k])
                    ++k;
                if (k == n) {
                    a = group.sorted[p];
                    la = n;
                } else if (k == avail && !m_inputEnded) {
                    return Match::NeedMore;
                }
                continue;
            }
            Match m = MatchChange(ch, true, la);
            if (m == Match::NeedMore)
                return m;
            if (m == Match::Yes)
                a = group.sorted[p];
        }
        for (std::size_t p = group.commandBegin; p < group.sorted.size() && b < 0; ++p) {
            Match m = MatchChange(m_table.changes[group.sorted[p]], false, lb);
            if (m == Match::NeedMore)
                return m;
            if (m == Match::Yes)
                b = group.sorted[p];
        }
        if (a < 0 && b < 0)
            continue;
        bool takeA = b < 0 || (a >= 0 && (m_table.unsorted || la == lb ? a < b : la > lb));
        change = takeA ? a : b;
        length = takeA ? la : lb;
        folded = takeA && upper;
        return Match::Yes;
    }
    return Match::No;
}

bool Executor::TryEndfileChanges() {
    for (std::uint8_t g : m_active) {
        const Group& group = m_table.groups[g];
        for (std::size_t p = group.commandBegin; p < group.sorted.size(); ++p) {
            std::size_t length = 0;
            if (MatchChange(m_table.changes[group.sorted[p]], false, length) == Match::Yes) {
                m_matched.clear();
                StartChange(group.sorted[p], false);
                return true;
            }
        }
    }
    return false;
}

Executor::Match Executor::MatchChange(const Change& c, bool skipFirst, std::size_t& length) {
    const std::vector<Element>& el = m_table.elements;
    std::size_t pos = m_inPos + (skipFirst ? 1 : 0);
    std::uint32_t i = c.matchStart + (skipFirst ? 1 : 0);
    const Match short_ = m_inputEnded ? Match::No : Match::NeedMore;
    if (c.literalOnly) {
        for (; i < c.matchEnd; ++i, ++pos) {
            if (pos >= m_in.size())
                return short_;
            if (m_in[pos] != el[i])
                return Match::No;
        }
        length = pos - m_inPos;
        return Match::Yes;
    }
    std::size_t folOffset = 0;
    while (i < c.matchEnd) {
        Element e = el[i];
        if (!IsCommand(e)) {
            if (pos >= m_in.size())
                return short_;
            if (m_in[pos] != e)
                return Match::No;
            ++pos, ++i, folOffset = 0;
            continue;
        }
        std::uint8_t code = CodeOf(e);
        int arg = i + 1 < el.size() ? el[i + 1] & 0x7F : 0;
        switch (code) {
        case op::Any:
            if (pos >= m_in.size())
                return short_;
            if (!InStore(arg, m_in[pos]))
                return Match::No;
            ++pos;
            break;
        case op::Fol:
            if (pos + folOffset >= m_in.size())
                return short_;
            if (!InStore(arg, m_in[pos + folOffset]))
                return Match::No;
            ++folOffset;
            i = NextElement(el, i);
            continue;
        case op::Prec: {
            std::uint32_t run = 0;
            while (i + 2 * run < c.matchEnd && el[i + 2 * run] == e)
                ++run;
            std::uint32_t used = std::min<std::uint32_t>(run, 10);
            for (std::uint32_t k = 0; k < used; ++k) {
                Element o;
                if (!Preceding(used - k, o, false) || !InStore(el[i + 2 * k + 1] & 0x7F, o))
                    return Match::No;
            }
            i += 2 * run;
            folOffset = 0;
            continue;
        }
        case op::Wd: {
            Element o;
            if (pos >= m_in.size())
                return short_;
            if (!Preceding(1, o, true) || !InStore(arg, o) || !InStore(arg, m_in[pos]))
                return Match::No;
            break;
        }
        case op::Cont: {
            const std::vector<Element>& s = m_stores[arg];
            for (std::size_t k = 0; k < s.size(); ++k) {
                if (pos + k >= m_in.size())
                    return short_;
                Element x = m_in[pos + k];
                if (x != s[k] && !(m_table.caseless && Lower(x) == Lower(s[k])))
                    return Match::No;
            }
            pos += s.size();
            break;
        }
        case op::Endfile:
            if (pos < m_in.size())
                return Match::No;
            if (!m_inputEnded)
                return Match::NeedMore;
            break;
        default: {
            const CommandInfo* info = CommandByCode(code);
            MessageArgs args;
            args.a = info ? info->name : "?";
            m_reporter.Report(msg::IllegalBeforeWedge, args, c.line);
            return Match::No;
        }
        }
        i = NextElement(el, i);
        folOffset = 0;
    }
    length = pos - m_inPos;
    return Match::Yes;
}

bool Executor::InStore(int store, Element e) {
    StoreSet& set = m_sets[store];
    if (!set.valid) {
        set.bits.reset();
        set.wide = false;
        for (Element x : m_stores[store]) {
            if (x < 256)
                set.bits.set(m_table.caseless ? Lower(x) : x);
            else
                set.wide = true;
        }
        set.valid = true;
    }
    if (e < 256)
        return set.bits.test(m_table.caseless ? Lower(e) : e);
    return set.wide &&
           std::find(m_stores[store].begin(), m_stores[store].end(), e) != m_stores[store].end();
}

// The output character distance places back: from the store being filled, or from the back
// buffer, whose starting spaces count only where fillerCounts (wd()).
bool Executor::Preceding(std::size_t distance, Element& e, bool fillerCounts) const {
    if (m_storing) {
        const std::vector<Element>& s = m_stores[m_storing];
        if (s.size() < distance)
            return false;
        e = s[s.size() - distance];
        return true;
    }
    if (m_out.size() < distance || (!fillerCounts && m_out.size() - distance < m_fillerEnd))
        return false;
    e = m_out[m_out.size() - distance];
    return true;
}

void Executor::StartChange(int index, bool folded) {
    const Change& c = m_table.changes[index];
    m_currentGroup = c.group;
    if (m_lineTrace && m_lineTrace(c.line, index) == 0)
        throw FatalStop{};
    if (c.outputLiteral && !folded && !m_storing && !m_otherTrace) {
        // Plain text out: no frame to run, the common case of orthography tables.
        const Element* el = m_table.elements.data();
        m_out.insert(m_out.end(), el + c.output.start, el + c.output.end);
        m_ringCount = std::min(kRing, m_ringCount + (c.output.end - c.output.start));
        if (m_budget)
            m_steps += c.output.end - c.output.start;
        return;
    }
    m_upperNext = folded;
    m_frames.push_back({c.output.start, c.output.end, c.output.start, c.output.following});
}

void Executor::Emit(Element e) {
    if (m_budget)
        ++m_steps; // output counts towards the budget: one out() may emit a whole store
    if (m_upperNext) {
        m_upperNext = false;
        if (e >= 'a' && e <= 'z')
            e = static_cast<Element>(e - 32);
    }
    if (m_storing) {
        StoreOutput(e);
        return;
    }
    m_out.push_back(e);
    if (m_ringCount < kRing)
        ++m_ringCount;
}

void Executor::EmitInput(std::size_t from, std::size_t to) {
    if (m_budget)
        m_steps += to - from;
    if (m_storing) {
        for (std::size_t i = from; i < to; ++i)
            StoreOutput(m_in[i]);
        return;
    }
    m_out.insert(m_out.end(), m_in.begin() + static_cast<std::ptrdiff_t>(from),
                 m_in.begin() + static_cast<std::ptrdiff_t>(to));
    m_ringCount = std::min(kRing, m_ringCount + (to - from));
}

void Executor::EmitText(const std::string& text) {
    for (char ch : text)
        Emit(static_cast<unsigned char>(ch));
}

void Executor::StoreAppend(int store, Element e) {
    std::vector<Element>& s = m_stores[store];
    if (s.size() >= kMaxStore) {
        if (!m_overflowWarned[store]) {
            m_overflowWarned.set(store);
            MessageArgs args;
            args.a = StoreName(store);
            m_reporter.Report(msg::StorageOverflow, args);
        }
        return;
    }
    s.push_back(e);
    StoreChanged(store);
}

void Executor::StoreOutput(Element e) {
    StoreAppend(m_storing, e);
    for (int other : m_storingMore)
        StoreAppend(other, e);
}

void Executor::EndStoring() {
    m_storing = 0;
    m_storingMore.clear();
}

bool Executor::StoringIntoMatchStore() const {
    if (!m_storing)
        return false;
    if (m_table.storeLeadsMatch[m_storing])
        return true;
    for (int other : m_storingMore)
        if (m_table.storeLeadsMatch[other])
            return true;
    return false;
}

void Executor::StoreChanged(int store) {
    m_sets[store].valid = false;
    if (m_table.storeLeadsMatch[store])
        m_possibleValid = false;
}

std::string Executor::StoreName(int store) const {
    return m_table.Symbols(SymbolKind::Store).NameOf(store);
}

// A predefined store that is empty supplies its value when output or compared.
std::vector<Element> Executor::StoreValue(int store) const {
    const std::vector<Element>& s = m_stores[store];
    const Symbol* sym = m_table.Symbols(SymbolKind::Store).ByNumber(store);
    if (!s.empty() || !sym || !sym->predefined)
        return s;
    std::string value = PredefinedValue(sym->name);
    return std::vector<Element>(value.begin(), value.end());
}

std::string Executor::PredefinedValue(const std::string& name) {
    std::string value;
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buffer[64];
    if (name == "ztcurrentdate") {
        std::snprintf(buffer, sizeof buffer, "%02d/%02d/%4d", tm.tm_mon + 1, tm.tm_mday,
                      tm.tm_year + 1900);
        value = buffer;
    } else if (name == "ztcurrenttime") {
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
        value = buffer;
    } else if (name == "ztversionmajor") {
        value = "8";
    } else if (name == "ztversionminor") {
        value = "04 beta";
    }
    return value;
}

void Executor::AppendBytes(std::string& out, Element e) {
    if (e > 255) {
        unsigned threshold =
            static_cast<unsigned>(m_table.doublebyteHigh) << 8 | m_table.doublebyteLow;
        if (e < threshold && !m_doublebyteWarned) {
            m_doublebyteWarned = true;
            m_reporter.Report(msg::DoublebyteOutputMismatch);
        }
        out += static_cast<char>(e >> 8);
        out += static_cast<char>(e & 0xFF);
    } else if (e == 13 && !m_table.binary) {
        out += '\n';
    } else {
        out += static_cast<char>(e);
    }
}

// For queries: the same bytes, without the double-byte warning.
void Executor::AppendQuietly(std::string& out, Element e) const {
    if (e > 255) {
        out += static_cast<char>(e >> 8);
        out += static_cast<char>(e & 0xFF);
    } else {
        out += e == 13 && !m_table.binary ? '\n' : static_cast<char>(e);
    }
}

void Executor::FlushRing(bool all) {
    std::size_t end = all ? m_out.size() : m_out.size() - m_ringCount;
    if (end > m_written) {
        std::size_t old = m_ready.size();
        m_ready.resize(old + 2 * (end - m_written));
        char* out = m_ready.data() + old;
        const Element* e = m_out.data() + m_written;
        const Element* last = m_out.data() + end;
        if (m_table.binary && !m_table.doublebyte) {
            for (; e < last; ++e)
                *out++ = static_cast<char>(*e);
        } else {
            for (; e < last; ++e) {
                if (*e < 256 && *e != 13) {
                    *out++ = static_cast<char>(*e);
                    continue;
                }
                std::string bytes;
                AppendBytes(bytes, *e);
                for (char b : bytes)
                    *out++ = b;
            }
        }
        m_ready.resize(static_cast<std::size_t>(out - m_ready.data()));
        m_written = end;
    }
    if (all)
        m_ringCount = 0;
    if (m_written > kFlushChunk + kRing) {
        std::size_t cut = m_written - kRing;
        m_out.erase(m_out.begin(), m_out.begin() + static_cast<std::ptrdiff_t>(cut));
        m_written -= cut;
        m_fillerEnd = m_fillerEnd > cut ? m_fillerEnd - cut : 0;
    }
}

bool Executor::OutputReady() {
    std::size_t pending = m_out.size() - m_ringCount - m_written;
    if (pending >= kFlushChunk || (m_limit != SIZE_MAX && pending > 0))
        FlushRing(false);
    return m_limit != SIZE_MAX && ReadyBytes() >= m_limit;
}

void Executor::Finish() {
    FlushRing(true);
    m_phase = Phase::Finished;
}

std::size_t Executor::TakeOutput(char* buffer, std::size_t max) {
    std::size_t n = std::min(max, ReadyBytes());
    std::copy_n(m_ready.data() + m_readyPos, n, buffer);
    m_readyPos += n;
    if (m_readyPos == m_ready.size()) {
        m_ready.clear();
        m_readyPos = 0;
    } else if (m_readyPos >= kFlushChunk) {
        m_ready.erase(0, m_readyPos);
        m_readyPos = 0;
    }
    return n;
}

void Executor::PushInputFront(const Element* data, std::size_t count) {
    if (m_in.size() - m_inPos + count > kMaxPendingInput) {
        m_reporter.Report(msg::MemoryAllocation);
        return;
    }
    if (m_inPos < count) {
        // Room in front, as much as is pending: repeated back() stays linear overall.
        std::size_t pending = m_in.size() - m_inPos;
        std::size_t room = std::max<std::size_t>(count + pending, 64);
        std::vector<Element> grown(room + pending);
        std::copy(m_in.begin() + static_cast<std::ptrdiff_t>(m_inPos), m_in.end(),
                  grown.begin() + static_cast<std::ptrdiff_t>(room));
        m_in.swap(grown);
        m_inPos = room;
    }
    m_inPos -= count;
    std::copy_n(data, count, m_in.begin() + static_cast<std::ptrdiff_t>(m_inPos));
}

std::string Executor::StoreText(int number) const {
    std::string out;
    if (number < 1 || number > kMaxSymbol)
        return out;
    for (Element e : StoreValue(number))
        AppendQuietly(out, e);
    return out;
}

std::string Executor::ActiveGroupNames() const {
    if (m_phase == Phase::NotStarted || m_inBegin)
        return "begin statement";
    std::string out;
    for (std::uint8_t g : m_active)
        out += GroupNameOf(g) + " ";
    return out;
}

std::string Executor::InputContext() const {
    std::string out;
    for (Element e : m_matched)
        AppendQuietly(out, e);
    std::size_t end = std::min(m_in.size(), m_inPos + 4096);
    for (std::size_t i = m_inPos; i < end; ++i)
        AppendQuietly(out, m_in[i]);
    return out;
}

std::string Executor::RecentOutput() const {
    std::string out;
    std::size_t from = std::max(m_fillerEnd, m_out.size() > kRing ? m_out.size() - kRing : 0);
    for (std::size_t i = from; i < m_out.size(); ++i)
        AppendQuietly(out, m_out[i]);
    return out;
}

} // namespace crv::zt
