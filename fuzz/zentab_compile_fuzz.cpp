// Fuzzes the change-table compiler with arbitrary table text (and compiled byte streams).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "zentab/compiler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    crv::zt::Reporter reporter;
    reporter.SetSink([](const crv::zt::Message&) { return true; });
    std::string_view text(reinterpret_cast<const char*>(data), size);
    int errors = 0;
    auto table = crv::zt::CompileTable(text, reporter,
                                       [&errors](const std::string&, int, int) { ++errors; });
    if (table)
        (void)crv::zt::SymbolListing(*table);
    return 0;
}
