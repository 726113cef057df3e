// The keyword tables. nl and tab are not commands: they compile to the characters 13 and 9.
#include "zentab/commands.h"

#include <array>

namespace crv::zt {

namespace {

using enum Side;
using enum ArgType;
constexpr SymbolKind St = SymbolKind::Store, Sw = SymbolKind::Switch, Gr = SymbolKind::Group,
                     Df = SymbolKind::Define;

constexpr CommandInfo kCommands[] = {
    {"endfile", op::Endfile, Both, None, St, false},
    {"define", op::Define, Match, Symbols, Df, true},
    {"any", op::Any, Match, Symbols, St, false},
    {"prec", op::Prec, Match, Symbols, St, false},
    {"fol", op::Fol, Match, Symbols, St, false},
    {"wd", op::Wd, Match, Symbols, St, false},
    {"cont", op::Cont, Both, Symbols, St, false},
    {"if", op::If, Output, Symbols, Sw, false},
    {"ifn", op::Ifn, Output, Symbols, Sw, false},
    {"else", op::Else, Output, None, St, false},
    {"endif", op::Endif, Output, None, St, false},
    {"set", op::Set, Output, Symbols, Sw, true},
    {"clear", op::Clear, Output, Symbols, Sw, true},
    {"begin", op::Begin, Output, None, St, false},
    {"endstore", op::Endstore, Output, None, St, false},
    {"store", op::Store, Output, Symbols, St, true},
    {"append", op::Append, Output, Symbols, St, true},
    {"out", op::Out, Output, Symbols, St, false},
    {"outs", op::Outs, Output, Symbols, St, false},
    {"dup", op::Dup, Output, None, St, false},
    {"back", op::Back, Output, Number, St, false},
    {"next", op::Next, Output, None, St, false},
    {"ifeq", op::Ifeq, Output, Symbols, St, false},
    {"ifneq", op::Ifneq, Output, Symbols, St, false},
    {"ifgt", op::Ifgt, Output, Symbols, St, false},
    {"ifngt", op::Ifngt, Output, Symbols, St, false},
    {"iflt", op::Iflt, Output, Symbols, St, false},
    {"ifnlt", op::Ifnlt, Output, Symbols, St, false},
    {"end", op::End, Output, None, St, false},
    {"repeat", op::Repeat, Output, None, St, false},
    {"group", op::Group, Output, Symbols, Gr, true},
    {"do", op::Do, Output, Symbols, Df, false},
    {"use", op::Use, Output, Symbols, Gr, false},
    {"incl", op::Incl, Output, Symbols, Gr, false},
    {"excl", op::Excl, Output, Symbols, Gr, false},
    {"fwd", op::Fwd, Output, Number, St, false},
    {"omit", op::Omit, Output, Number, St, false},
    {"incr", op::Incr, Output, Symbols, St, true},
    {"decr", op::Decr, Output, Symbols, St, true},
    {"add", op::Add, Output, Symbols, St, false},
    {"sub", op::Sub, Output, Symbols, St, false},
    {"mul", op::Mul, Output, Symbols, St, false},
    {"div", op::Div, Output, Symbols, St, false},
    {"mod", op::Mod, Output, Symbols, St, false},
    {"write", op::Write, Output, None, St, false},
    {"wrstore", op::Wrstore, Output, Symbols, St, false},
    {"read", op::Read, Output, None, St, false},
    {"caseless", op::Caseless, Output, None, St, false},
    {"binary", op::Binary, Output, None, St, false},
    {"doublebyte", op::Doublebyte, Output, Bytes, St, false},
    {"unsorted", op::Unsorted, Output, None, St, false},
    {"ifsubset", op::Ifsubset, Output, Symbols, St, false},
    {"len", op::Len, Output, Symbols, St, false},
};

struct CodeIndex {
    std::array<const CommandInfo*, 256> byCode{};
    constexpr CodeIndex() {
        for (const CommandInfo& c : kCommands)
            byCode[c.code] = &c;
    }
};

constexpr CodeIndex kIndex;

} // namespace

const CommandInfo* CommandByCode(std::uint8_t code) { return kIndex.byCode[code]; }

const CommandInfo* FindKeyword(std::string_view name, Side side) {
    for (const CommandInfo& c : kCommands)
        if (name == c.name && (static_cast<int>(c.side) & static_cast<int>(side)))
            return &c;
    return nullptr;
}

int ArgumentCount(std::uint8_t code) {
    if (code == op::Use) // compiled as use, then incl of each group
        return 0;
    const CommandInfo* c = CommandByCode(code);
    return c && c->args != ArgType::None ? 1 : 0;
}

bool IsComparison(std::uint8_t code) {
    switch (code) {
    case op::Ifeq:
    case op::Ifneq:
    case op::Ifgt:
    case op::Ifngt:
    case op::Iflt:
    case op::Ifnlt:
    case op::Ifsubset:
        return true;
    default:
        return false;
    }
}

bool IsArithmetic(std::uint8_t code) {
    switch (code) {
    case op::Add:
    case op::Sub:
    case op::Mul:
    case op::Div:
    case op::Mod:
        return true;
    default:
        return false;
    }
}

bool IsMatchCommand(std::uint8_t code) {
    switch (code) {
    case op::Any:
    case op::Prec:
    case op::Fol:
    case op::Wd:
    case op::Cont:
    case op::Endfile:
        return true;
    default:
        return false;
    }
}

} // namespace crv::zt
