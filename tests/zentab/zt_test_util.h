// Helpers for the zentab tests: running a table over text in the ways the interface offers,
// and collecting the messages a handle raises.
#pragma once

#include <string>
#include <vector>

#include "zentab/zentab.h"

namespace crv::zt::test {

struct Collected {
    std::vector<int> numbers;
    std::vector<std::string> texts;
    bool Has(int number) const;
    void Clear() { numbers.clear(), texts.clear(); }
};

// Loads table text; messages of the load and of the handle go to the collector.
ZTHANDLE LoadWithMessages(const std::string& table, Collected& messages, int* result = nullptr);

// Runs input through the table with ZTProcessBuffer (large output buffer).
std::string ProcessWhole(ZTHANDLE h, const std::string& input, int* result = nullptr);
// Feeds input one piece after another through ZTPutBuffer, then ZTFlush.
std::string ProcessPushed(ZTHANDLE h, const std::string& input, std::size_t piece);
// Pulls output through ZTGetBuffer with an output buffer of the given size.
std::string ProcessPulled(ZTHANDLE h, const std::string& input, std::size_t inPiece, int outSize);
// Calls ZTMultiProcessBuffer with input pieces of the given sizes (cycled) and outSize.
std::string ProcessMulti(ZTHANDLE h, const std::string& input,
                         const std::vector<std::size_t>& pieces, int outSize);

// Convenience: load (failing the test on error), run whole, unload.
std::string RunTable(const std::string& table, const std::string& input);
std::string RunTable(const std::string& table, const std::string& input, Collected& messages);

} // namespace crv::zt::test
