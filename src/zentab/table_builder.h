// Private to the compiler: the steps after the last line (options of the begin section,
// the change list, groups, ordering for matching), shared by text and compiled streams.
#pragma once

#include "zentab/compiler.h"

namespace crv::zt {

// Finishes a table whose elements are complete. fromText: symbol warnings apply. Reports
// through error (line, column, text) for compile errors. Returns false when unusable.
bool FinishTable(Table& table, Reporter& reporter, bool hadErrors, bool tooLarge, bool fromText,
                 const std::function<void(int, int, const std::string&)>& error);

// Index of the element after the one at i (a command and its argument count as one).
std::uint32_t NextElement(const std::vector<Element>& elements, std::uint32_t i);

} // namespace crv::zt
