// The executor's output side: running output parts command by command (resumable when the
// output is full or input is short), conditions, arithmetic, groups and back().
#include <algorithm>

#include "zentab/commands.h"
#include "zentab/executor.h"
#include "zentab/table_builder.h"

namespace crv::zt {

namespace {

constexpr std::size_t kMaxActiveGroups = 25;
constexpr std::size_t kMaxDoDepth = 10;
constexpr long long kArithmeticLimit = 2000000000;

bool IsCondition(std::uint8_t code) {
    return code == op::If || code == op::Ifn || IsComparison(code);
}

// A signed decimal number of at most 20 characters; empty reads as 0.
bool ParseNumber(const std::vector<Element>& text, long long& value) {
    value = 0;
    if (text.size() > 20)
        return false;
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        i = 1;
        if (text.size() == 1)
            return false;
    }
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    if (negative)
        value = -value;
    return true;
}

std::string ToText(const std::vector<Element>& v) {
    std::string s;
    for (Element e : v)
        s += static_cast<char>(e & 0xFF);
    return s;
}

} // namespace

Executor::Exec Executor::ExecuteFrames() {
    const std::vector<Element>& el = m_table.elements;
    while (!m_frames.empty()) {
        Frame& f = m_frames.back();
        if (f.pc >= f.end) {
            m_frames.pop_back();
            if (m_frames.empty())
                m_upperNext = false;
            continue;
        }
        Element e = el[f.pc];
        if (!IsCommand(e)) {
            Emit(e);
            ++f.pc;
            if (m_budget && OverBudget())
                return Exec::Error;
            if ((++m_literalSteps & 255) == 0 && OutputReady())
                return Exec::OutputFull;
            continue;
        }
        std::uint8_t code = CodeOf(e);
        Element arg = ArgumentCount(code) && f.pc + 1 < el.size() ? el[f.pc + 1] : 0;
        if (m_otherTrace && m_otherTrace(m_table.LineOf(f.pc), code) == 0)
            throw FatalStop{};
        Exec r = ExecuteCommand(code, arg, NextElement(el, f.pc));
        if (r == Exec::NeedInput)
            return r;
        if (m_reporter.HadError() || OverBudget())
            return Exec::Error;
        if (OutputReady())
            return Exec::OutputFull;
    }
    return Exec::Continue;
}

Executor::Exec Executor::ExecuteCommand(std::uint8_t code, Element arg, std::uint32_t next) {
    const std::vector<Element>& el = m_table.elements;
    Frame& f = m_frames.back();
    int line = m_table.LineOf(f.pc);
    int s = arg & 0x7F; // symbol number or count
    MessageArgs args;
    switch (code) {
    case op::Store:
    case op::Append:
        f.pc = StartStoring(code, s, next);
        break;
    case op::Endstore:
        f.pc = next;
        EndStoring();
        break;
    case op::Out:
    case op::Outs: {
        f.pc = next;
        if (code == op::Out)
            EndStoring();
        for (Element x : StoreValue(s))
            Emit(x);
        break;
    }
    case op::Dup: {
        f.pc = next;
        std::vector<Element> matched = m_matched;
        for (Element x : matched)
            Emit(x);
        break;
    }
    case op::Back:
        f.pc = next;
        Back(static_cast<std::size_t>(s));
        break;
    case op::Next:
        if (f.following < 0) {
            f.pc = f.end;
        } else {
            const Part& p = m_table.changes[f.following].output;
            f = Frame{p.start, p.end, p.start, p.following};
        }
        break;
    case op::Repeat:
        f.pc = f.start;
        break;
    case op::If:
    case op::Ifn:
        f.pc = next;
        if (m_switches[s] != (code == op::If))
            SkipBlock(f, true);
        break;
    case op::Else:
        f.pc = next;
        SkipBlock(f, false);
        break;
    case op::Set:
    case op::Clear:
        f.pc = next;
        m_switches[s] = code == op::Set;
        break;
    case op::Ifeq:
    case op::Ifneq:
    case op::Ifgt:
    case op::Ifngt:
    case op::Iflt:
    case op::Ifnlt:
    case op::Ifsubset: {
        Operand o = ReadOperand(next, code);
        if (Compare(code, s, o.text)) {
            f.pc = o.continueAt;
        } else {
            f.pc = o.after;
            SkipBlock(f, true);
        }
        break;
    }
    case op::Add:
    case op::Sub:
    case op::Mul:
    case op::Div:
    case op::Mod: {
        Operand o = ReadOperand(next, code);
        f.pc = o.continueAt;
        Arithmetic(code, s, o.text);
        break;
    }
    case op::Incr:
    case op::Decr:
        f.pc = next;
        Increment(s, code == op::Incr);
        break;
    case op::Use:
        f.pc = next;
        m_active.clear();
        m_possibleValid = false;
        break;
    case op::Incl:
        f.pc = next;
        Include(s);
        break;
    case op::Excl:
        f.pc = next;
        Exclude(s);
        break;
    case op::Fwd:
    case op::Omit: {
        std::size_t available = m_in.size() - m_inPos;
        if (available < static_cast<std::size_t>(s) && !m_inputEnded)
            return Exec::NeedInput;
        f.pc = next;
        std::size_t n = std::min<std::size_t>(available, static_cast<std::size_t>(s));
        if (code == op::Fwd)
            for (std::size_t i = 0; i < n; ++i)
                Emit(m_in[m_inPos + i]);
        m_inPos += n;
        break;
    }
    case op::Do:
        f.pc = next;
        if (m_table.defines[s].end == 0) {
            args.a = m_table.Symbols(SymbolKind::Define).NameOf(s);
            m_reporter.Report(msg::NoDefinition, args, line);
        } else if (m_frames.size() > kMaxDoDepth) {
            args.number = static_cast<long>(kMaxDoDepth);
            m_reporter.Report(msg::DoNestedTooDeep, args, line);
        } else {
            const Part& p = m_table.defines[s];
            m_frames.push_back({p.start, p.end, p.start, p.following});
        }
        break;
    case op::Len:
        f.pc = next;
        EmitText(std::to_string(m_stores[s].size()));
        break;
    case op::Endfile:
        EndStoring();
        m_active.clear();
        m_possibleValid = false;
        m_ended = true;
        m_frames.clear();
        break;
    case op::Write:
        f.pc = next;
        while (f.pc < f.end && !IsCommand(el[f.pc]))
            ++f.pc;
        break;
    case op::Caseless:
    case op::Binary:
    case op::Doublebyte:
    case op::Unsorted:
        f.pc = next;
        if (!m_inBegin)
            m_reporter.Report(code == op::Caseless     ? msg::CaselessNotInBegin
                              : code == op::Binary     ? msg::BinaryNotInBegin
                              : code == op::Doublebyte ? msg::DoublebyteNotInBegin
                                                       : msg::UnsortedNotInBegin,
                              args, line);
        break;
    case op::Group:
        f.pc = next;
        m_reporter.Report(msg::GroupNotInFront, args, line);
        break;
    case op::End:
    case op::Begin:
    case op::Endif:
    case op::Read:
    case op::Wrstore:
    case op::Cont:
        f.pc = next;
        break;
    default: {
        f.pc = next;
        const CommandInfo* info = CommandByCode(code);
        args.a = info ? info->name : "?";
        m_reporter.Report(msg::IllegalAfterWedge, args, line);
    }
    }
    return Exec::Continue;
}

// Skips a false block to just after its else (stopAtElse) or its matching endif. Every
// condition inside opens a block of its own, except the further arguments of one
// (if(a,b) compiles to one test per argument).
void Executor::SkipBlock(Frame& f, bool stopAtElse) {
    const std::vector<Element>& el = m_table.elements;
    int depth = 0;
    for (std::uint32_t pc = f.pc; pc < f.end;) {
        std::uint32_t next = NextElement(el, pc);
        if (IsCommand(el[pc])) {
            std::uint8_t code = CodeOf(el[pc]);
            if (IsCondition(code) && !m_table.RepeatsPrevious(pc)) {
                ++depth;
            } else if (code == op::Else && depth == 0 && stopAtElse) {
                f.pc = next;
                return;
            } else if (code == op::Endif) {
                if (depth == 0) {
                    f.pc = next;
                    return;
                }
                --depth;
            }
        }
        pc = next;
    }
    f.pc = f.end;
}

// store(a,b) and append(a,b) send the output into every store they name.
std::uint32_t Executor::StartStoring(std::uint8_t code, int store, std::uint32_t next) {
    const std::vector<Element>& el = m_table.elements;
    const Frame& f = m_frames.back();
    EndStoring();
    for (;;) {
        if (code == op::Store) {
            m_stores[store].clear();
            StoreChanged(store);
        }
        if (!m_storing)
            m_storing = store;
        else if (store != m_storing && std::find(m_storingMore.begin(), m_storingMore.end(),
                                                 store) == m_storingMore.end())
            m_storingMore.push_back(store);
        std::uint32_t pc = next;
        if (pc + 1 >= f.end || el[pc] != Command(code) || !m_table.RepeatsPrevious(pc))
            return pc;
        store = el[pc + 1] & 0x7F;
        next = NextElement(el, pc);
    }
}

// The operand of a comparison or arithmetic command: the characters and cont() stores up
// to the next other command. Repeats of the command (several arguments) share it.
Executor::Operand Executor::ReadOperand(std::uint32_t next, std::uint8_t code) const {
    const std::vector<Element>& el = m_table.elements;
    const Frame& f = m_frames.back();
    Operand o;
    std::uint32_t pc = next;
    while (pc < f.end && el[pc] == Command(code))
        pc = NextElement(el, pc);
    o.continueAt = pc != next ? next : 0;
    while (pc < f.end) {
        if (!IsCommand(el[pc])) {
            o.text.push_back(el[pc++]);
        } else if (el[pc] == Command(op::Cont) && pc + 1 < el.size()) {
            std::vector<Element> v = StoreValue(el[pc + 1] & 0x7F);
            o.text.insert(o.text.end(), v.begin(), v.end());
            pc = NextElement(el, pc);
        } else {
            break;
        }
    }
    o.after = pc;
    if (o.continueAt == 0)
        o.continueAt = pc;
    return o;
}

bool Executor::Compare(std::uint8_t code, int store, const std::vector<Element>& operand) const {
    std::vector<Element> value = StoreValue(store);
    if (code == op::Ifeq)
        return value == operand;
    if (code == op::Ifneq)
        return value != operand;
    if (code == op::Ifsubset) {
        for (Element e : value)
            if (std::find(operand.begin(), operand.end(), e) == operand.end())
                return false;
        return true;
    }
    // Numbers compare by value, other text by character codes.
    int order;
    long long a, b;
    if (!value.empty() && !operand.empty() && ParseNumber(value, a) && ParseNumber(operand, b))
        order = a < b ? -1 : a > b ? 1 : 0;
    else
        order = value < operand ? -1 : value > operand ? 1 : 0;
    switch (code) {
    case op::Ifgt:
        return order > 0;
    case op::Ifngt:
        return order <= 0;
    case op::Iflt:
        return order < 0;
    default:
        return order >= 0; // ifnlt
    }
}

void Executor::Arithmetic(std::uint8_t code, int store, const std::vector<Element>& operand) {
    const std::vector<Element>& value = m_stores[store];
    long long a = 0, b = 0, result = 0;
    const char* problem = nullptr;
    bool numbers = ParseNumber(value, a) && ParseNumber(operand, b);
    if (!numbers)
        problem = "non-number";
    else if (a >= kArithmeticLimit || a <= -kArithmeticLimit || b >= kArithmeticLimit ||
             b <= -kArithmeticLimit)
        problem = "number greater than 2,000,000,000";
    else if ((code == op::Div || code == op::Mod) && b == 0)
        problem = "divide by zero";
    else {
        switch (code) {
        case op::Add:
            result = a + b;
            break;
        case op::Sub:
            result = a - b;
            break;
        case op::Mul:
            result = a * b;
            break;
        case op::Div:
            result = a / b;
            break;
        default:
            result = a % b;
        }
        if (result >= kArithmeticLimit || result <= -kArithmeticLimit)
            problem = "overflow";
    }
    if (!problem) {
        std::string text = std::to_string(result);
        m_stores[store].assign(text.begin(), text.end());
        StoreChanged(store);
        return;
    }
    int line = m_table.LineOf(m_frames.back().pc);
    MessageArgs first;
    first.a = problem;
    first.b = m_currentGroup ? GroupNameOf(m_currentGroup) : "begin";
    m_reporter.Report(msg::Arithmetic, first, line);
    MessageArgs second;
    second.a = value.empty() ? "an empty store" : ToText(value);
    second.ch = code == op::Add   ? '+'
                : code == op::Sub ? '-'
                : code == op::Mul ? '*'
                : code == op::Div ? '/'
                                  : '%';
    second.b = operand.empty() ? "an empty store" : ToText(operand);
    m_reporter.Report(msg::ArithmeticOperands, second, line);
    MessageArgs third;
    third.a = StoreName(store);
    m_reporter.Report(msg::StoreUnchanged, third, line);
}

// incr and decr count in decimal digits with carry and borrow; other contents go through
// the arithmetic of add and sub, which reports them.
void Executor::Increment(int store, bool up) {
    std::vector<Element>& v = m_stores[store];
    int line = m_table.LineOf(m_frames.back().pc);
    bool digits = std::all_of(v.begin(), v.end(), [](Element e) { return e >= '0' && e <= '9'; });
    if (!digits) {
        Arithmetic(up ? op::Add : op::Sub, store, {'1'});
        return;
    }
    if (up) {
        std::size_t i = v.size();
        while (i > 0 && v[i - 1] == '9')
            v[--i] = '0';
        if (i == 0)
            v.insert(v.begin(), '1');
        else
            ++v[i - 1];
    } else {
        if (v.empty()) {
            m_reporter.Report(msg::DecrNewVariable, {}, line);
            return;
        }
        if (std::all_of(v.begin(), v.end(), [](Element e) { return e == '0'; })) {
            m_reporter.Report(msg::DecrZero, {}, line);
            return;
        }
        bool leadingDigit = v[0] != '0';
        std::size_t i = v.size();
        while (v[i - 1] == '0')
            v[--i] = '9';
        --v[i - 1];
        if (leadingDigit && v.size() > 1 && v[0] == '0')
            v.erase(v.begin());
    }
    StoreChanged(store);
}

void Executor::Back(std::size_t count) {
    int line = m_table.LineOf(m_frames.back().pc);
    std::vector<Element> moved;
    if (m_storing) {
        std::vector<Element>& s = m_stores[m_storing];
        if (s.size() < count) {
            m_reporter.Report(msg::BackedTooFarStoring, {}, line);
            return;
        }
        moved.assign(s.end() - static_cast<std::ptrdiff_t>(count), s.end());
        s.resize(s.size() - count);
        StoreChanged(m_storing);
        // The other stores being filled got the same output.
        for (int other : m_storingMore) {
            std::vector<Element>& o = m_stores[other];
            o.resize(o.size() - std::min(o.size(), count));
            StoreChanged(other);
        }
    } else {
        if (m_ringCount < count) {
            m_reporter.Report(msg::BackedUpTooFar, {}, line);
            return;
        }
        moved.assign(m_out.end() - static_cast<std::ptrdiff_t>(count), m_out.end());
        m_out.resize(m_out.size() - count);
        m_ringCount -= count;
    }
    PushInputFront(moved.data(), moved.size());
}

void Executor::Include(int group) {
    auto it = std::find(m_active.begin(), m_active.end(), group);
    if (it != m_active.end())
        m_active.erase(it);
    m_possibleValid = false;
    if (m_active.size() >= kMaxActiveGroups) {
        MessageArgs args;
        args.number = static_cast<long>(kMaxActiveGroups);
        m_reporter.Report(msg::TooManyActiveGroups, args, m_table.LineOf(m_frames.back().pc));
        return;
    }
    m_active.push_back(static_cast<std::uint8_t>(group));
}

void Executor::Exclude(int group) {
    int line = m_table.LineOf(m_frames.back().pc);
    auto it = std::find(m_active.begin(), m_active.end(), group);
    MessageArgs args;
    if (it == m_active.end()) {
        args.a = GroupNameOf(group);
        m_reporter.Report(msg::GroupExcludedNotActive, args, line);
        return;
    }
    m_active.erase(it);
    m_possibleValid = false;
    if (m_active.empty() && !m_inBegin) {
        args.a = m_currentGroup ? GroupNameOf(m_currentGroup) : "begin";
        m_reporter.Report(msg::ExclRemovesAll, args, line);
    }
}

} // namespace crv::zt
