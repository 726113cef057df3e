// The command codes of compiled tables and the two keyword tables (match side, output side)
// that map keywords to codes and argument kinds.
#pragma once

#include <cstdint>
#include <string_view>

#include "zentab/table.h"

namespace crv::zt {

namespace op {
enum : std::uint8_t {
    Endfile = 0xC1,
    Define = 0xE0,
    Any = 0xD6,
    Prec = 0xD5,
    Fol = 0xD4,
    Wd = 0xD3,
    Cont = 0xD2,
    If = 0xF6,
    Ifn = 0xF5,
    Else = 0xF4,
    Endif = 0xF3,
    Set = 0xF2,
    Clear = 0xF1,
    Begin = 0xE4,
    Endstore = 0xEF,
    Store = 0xF0,
    Append = 0xEC,
    Out = 0xEE,
    Outs = 0xD1,
    Dup = 0xED,
    Back = 0xEB,
    Next = 0xE8,
    Ifeq = 0xE7,
    Ifneq = 0xE6,
    Ifgt = 0xCF,
    Ifngt = 0xBE,
    Iflt = 0xBD,
    Ifnlt = 0xBC,
    End = 0xE3,
    Repeat = 0xE2,
    Group = 0xDE,
    Do = 0xDF,
    Use = 0xDD,
    Incl = 0xD9,
    Excl = 0xCA,
    Fwd = 0xEA,
    Omit = 0xE9,
    Incr = 0xE5,
    Decr = 0xC0,
    Add = 0xCE,
    Sub = 0xCD,
    Mul = 0xCC,
    Div = 0xCB,
    Mod = 0xC9,
    Write = 0xDC,
    Wrstore = 0xDB,
    Read = 0xDA,
    Caseless = 0xD7,
    Binary = 0xC8,
    Doublebyte = 0xBF,
    Unsorted = 0xC7,
    Ifsubset = 0xC6,
    Len = 0xC5,
    Wedge = 0xFD,
    ChangeStart = 0xFE,
};
} // namespace op

constexpr Element kChangeStart = Command(op::ChangeStart);
constexpr Element kWedge = Command(op::Wedge);

enum class ArgType : std::uint8_t { None, Symbols, Number, Bytes };
enum class Side : std::uint8_t { Match = 1, Output = 2, Both = 3 };

struct CommandInfo {
    const char* name;
    std::uint8_t code;
    Side side;
    ArgType args;
    SymbolKind symbols; // for ArgType::Symbols
    bool defines;       // the arguments are defined (stored into, set, defined) here
};

// The command of a code, or nullptr for a code no keyword compiles to.
const CommandInfo* CommandByCode(std::uint8_t code);
// Looks a keyword up (case-sensitively) in the table of one side.
const CommandInfo* FindKeyword(std::string_view name, Side side);
// Argument elements that follow the command: 0 or 1.
int ArgumentCount(std::uint8_t code);

bool IsComparison(std::uint8_t code);
bool IsArithmetic(std::uint8_t code);
// Commands that may appear in a match part at run time.
bool IsMatchCommand(std::uint8_t code);

} // namespace crv::zt
