// The debugging listing of a compiled table: its symbols by kind, then its size figures.
#include <cstdio>

#include "zentab/compiler.h"

namespace crv::zt {

namespace {

std::string Printf(const char* format, auto... args) {
    char buffer[600];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

} // namespace

std::string SymbolListing(const Table& table) {
    std::string out;
    const struct {
        const char* title;
        SymbolKind kind;
    } sections[] = {{"Defines: ", SymbolKind::Define},
                    {"Groups:  ", SymbolKind::Group},
                    {"Switches:", SymbolKind::Switch},
                    {"Stores:  ", SymbolKind::Store}};
    for (const auto& s : sections) {
        const auto& symbols = table.Symbols(s.kind).Symbols();
        if (symbols.empty()) {
            out += Printf("%s\tNone\n", s.title);
            continue;
        }
        out += Printf("%s  Number  Name\n", s.title);
        for (const Symbol& sym : symbols)
            out += Printf("\t   %3d     %s\n", sym.number, sym.name.substr(0, 500).c_str());
    }
    out += Printf("%d changes, %d maximum\n", static_cast<int>(table.changes.size()),
                  static_cast<int>(kMaxChanges));
    out +=
        Printf("%u total bytes, %u total elements, %u maximum\n",
               static_cast<unsigned>(table.elements.size() * 2),
               static_cast<unsigned>(table.elements.size()), static_cast<unsigned>(kMaxElements));
    out += "\n                    OUTPUT |INPUT\n";
    return out;
}

} // namespace crv::zt
