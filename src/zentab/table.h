// A compiled change table: the flat array of 16-bit elements, the symbol tables, the
// change list with each group's changes ordered for matching, define bodies and options.
//
// Element layout: 0..0xFEFF a character (0..255, or a double-byte pair in doublebyte
// tables); 0xFF00 + code a command, followed by one argument element when the command
// takes one (a command with several arguments is repeated per argument). 0xFFFE starts a
// change (match part), 0xFFFD is the wedge (output part follows).
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

namespace crv::zt {

using Element = std::uint16_t;

constexpr Element kCommandBase = 0xFF00;
constexpr std::size_t kMaxElements = 32750;
constexpr std::size_t kMaxChanges = 5000;
constexpr int kMaxSymbol = 127;
// Sort key of a change that starts with a command: after every character.
constexpr std::uint32_t kCommandKey = 0x10000;

constexpr bool IsCommand(Element e) { return e >= kCommandBase; }
constexpr std::uint8_t CodeOf(Element e) { return static_cast<std::uint8_t>(e & 0xFF); }
constexpr Element Command(std::uint8_t code) { return static_cast<Element>(kCommandBase | code); }

enum class SymbolKind : std::uint8_t { Store = 0, Switch = 1, Group = 2, Define = 3 };

struct Symbol {
    std::string name;
    int number = 0;
    bool defined = false;    // stored into, set or cleared, defined as group or define
    bool predefined = false; // one of the four stores the executor fills when empty
};

class SymbolTable {
public:
    // The number of name, giving it one when new (0: no number left).
    int Intern(const std::string& name);
    int Find(const std::string& name) const; // 0 when unknown
    Symbol* ByNumber(int number);
    const Symbol* ByNumber(int number) const;
    // The name of a number, or the number itself in decimal when it has no name.
    std::string NameOf(int number) const;
    const std::vector<Symbol>& Symbols() const { return m_symbols; }

private:
    std::vector<Symbol> m_symbols;
    std::array<int, kMaxSymbol + 1> m_index{}; // number -> position + 1
};

// A run of output-part elements: [start, end), plus where "next" continues.
struct Part {
    std::uint32_t start = 0, end = 0;
    int line = 0;
    int following = -1; // index of the change after this part in table order, -1: none
};

struct Change {
    std::uint32_t matchStart = 0, matchEnd = 0;
    Part output;
    int line = 0;
    int group = 1;
    std::uint32_t firstKey = 0; // first match element; kCommandKey for a command
    int weight = 0;
    bool literalOnly = false;   // match part holds characters only
    bool outputLiteral = false; // output part holds characters only
};

// A change as the plain-text loop scans it: the data of Change it needs, packed.
struct PlainEntry {
    std::uint32_t matchStart;
    std::uint16_t length;
    std::uint16_t change;
    bool literal;
};

struct Group {
    bool defined = false;
    std::vector<std::uint16_t> sorted; // change indices in matching order
    // Positions in sorted: changes whose first element is character c are
    // [charBegin[c], charBegin[c + 1]); wide characters lie in [charBegin[256], commandBegin).
    std::array<std::uint16_t, 257> charBegin{};
    std::uint16_t commandBegin = 0;
    std::vector<PlainEntry> plain; // parallel to sorted
    // Characters whose changes are not all plain text of two or more characters.
    std::bitset<256> scanAll;
    // For the other first characters: the positions in sorted of the changes that start with
    // the pair (c1, c2) are pairList[pairStart[c1 << 8 | c2] .. pairStart[(c1 << 8 | c2) + 1]).
    std::vector<std::uint16_t> pairStart;
    std::vector<std::uint16_t> pairList;
};

struct Table {
    std::vector<Element> elements;
    std::array<SymbolTable, 4> symbols;
    std::vector<Change> changes; // table order
    std::array<Group, kMaxSymbol + 1> groups;
    std::vector<std::uint8_t> groupOrder;               // groups in order of definition
    std::array<Part, kMaxSymbol + 1> defines;           // end == 0: not defined
    std::array<bool, kMaxSymbol + 1> storeLeadsMatch{}; // store used by a leading any()/cont()
    bool hasBegin = false;
    Part begin;
    bool caseless = false, binary = false, doublebyte = false, unsorted = false;
    std::uint8_t doublebyteHigh = 0, doublebyteLow = 0;
    std::vector<std::pair<std::uint32_t, int>> lineStarts; // element index, source line
    // Commands that repeat the command before them for a further argument (the b of
    // if(a,b)), ascending: one keyword, unlike if(a) if(b), which nests.
    std::vector<std::uint32_t> repeats;

    SymbolTable& Symbols(SymbolKind k) { return symbols[static_cast<int>(k)]; }
    const SymbolTable& Symbols(SymbolKind k) const { return symbols[static_cast<int>(k)]; }
    // The source line of the element at index.
    int LineOf(std::uint32_t index) const;
    // Whether the command at index repeats the one before it for a further argument.
    bool RepeatsPrevious(std::uint32_t index) const {
        return std::binary_search(repeats.begin(), repeats.end(), index);
    }
    std::string GroupName(int number) const { return Symbols(SymbolKind::Group).NameOf(number); }
};

} // namespace crv::zt
