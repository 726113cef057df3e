// Symbol numbering and source-line lookup of compiled tables.
#include "zentab/table.h"

#include <algorithm>

namespace crv::zt {

namespace {

// A name that is a decimal number 1..127 written without leading zeros.
int NumericName(const std::string& name) {
    if (name.empty() || name.size() > 3 || name[0] == '0')
        return 0;
    int n = 0;
    for (char c : name) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return n <= kMaxSymbol ? n : 0;
}

} // namespace

int SymbolTable::Intern(const std::string& name) {
    if (int n = Find(name))
        return n;
    int number = NumericName(name);
    if (number == 0 || m_index[number] != 0) {
        number = 0;
        for (int n = kMaxSymbol; n >= 1; --n)
            if (m_index[n] == 0) {
                number = n;
                break;
            }
        if (number == 0)
            return 0;
    }
    Symbol s;
    s.name = name;
    s.number = number;
    m_symbols.push_back(s);
    m_index[number] = static_cast<int>(m_symbols.size());
    return number;
}

int SymbolTable::Find(const std::string& name) const {
    for (const Symbol& s : m_symbols)
        if (s.name == name)
            return s.number;
    return 0;
}

Symbol* SymbolTable::ByNumber(int number) {
    if (number < 1 || number > kMaxSymbol || m_index[number] == 0)
        return nullptr;
    return &m_symbols[m_index[number] - 1];
}

const Symbol* SymbolTable::ByNumber(int number) const {
    return const_cast<SymbolTable*>(this)->ByNumber(number);
}

std::string SymbolTable::NameOf(int number) const {
    const Symbol* s = ByNumber(number);
    return s ? s->name : std::to_string(number);
}

int Table::LineOf(std::uint32_t index) const {
    auto it = std::upper_bound(lineStarts.begin(), lineStarts.end(), index,
                               [](std::uint32_t i, const auto& p) { return i < p.first; });
    return it == lineStarts.begin() ? 0 : std::prev(it)->second;
}

} // namespace crv::zt
