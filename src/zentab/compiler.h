// The change-table compiler: table text (or an already compiled byte stream) in, a
// compiled Table out, every error reported on the way.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "zentab/messages.h"
#include "zentab/table.h"

namespace crv::zt {

// Receives a compile error's text, source line and column (from 1). Without one, errors
// are raised as message 53 with the source line and a caret under the column.
using CompileErrorSink = std::function<void(const std::string& text, int line, int column)>;

// Compiles table text. A first byte of 0x80 or above marks an already compiled byte stream.
// Returns nullptr when the table has errors (all of them reported).
std::unique_ptr<Table> CompileTable(std::string_view source, Reporter& reporter,
                                    const CompileErrorSink& onError = {});

// Reads and compiles a table file: the name as given, else with ".ZTT" appended when it has
// no extension. A missing file raises "Change table %s not found." and gives nullptr.
std::unique_ptr<Table> CompileTableFile(const std::string& path, Reporter& reporter,
                                        const CompileErrorSink& onError = {});

// The symbol listing of a compiled table, for debugging.
std::string SymbolListing(const Table& table);

} // namespace crv::zt
