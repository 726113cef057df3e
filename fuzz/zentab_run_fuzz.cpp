// Fuzzes the executor: the input is a table and a text to run it over, separated by the
// first NUL byte. The text is run whole and again in pieces; when both runs complete within
// the step budget their outputs must be the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "zentab/session.h"

namespace {

constexpr std::uint64_t kSteps = 200000;

std::unique_ptr<crv::zt::Session> Load(std::string_view table) {
    auto session = crv::zt::Session::FromText(table, [](const crv::zt::Message&) { return true; });
    if (session)
        session->GetExecutor().SetStepBudget(kSteps);
    return session;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view all(reinterpret_cast<const char*>(data), size);
    std::size_t split = all.find('\0');
    if (split == std::string_view::npos)
        return 0;
    std::string_view table = all.substr(0, split), text = all.substr(split + 1);
    auto session = Load(table);
    if (!session)
        return 0;
    std::string whole;
    bool wholeOk = session->ProcessAll(text, whole);

    std::size_t piece = text.empty() ? 1 : 1 + static_cast<unsigned char>(text[0]) % 7;
    std::string pieces;
    session->Reinitialize();
    session->SetUpOutputFilter([&pieces](const char* buffer, int length) {
        pieces.append(buffer, static_cast<std::size_t>(length));
        return length;
    });
    bool piecesOk = true;
    for (std::size_t pos = 0; pos < text.size() && piecesOk; pos += piece) {
        std::size_t n = std::min(piece, text.size() - pos);
        piecesOk = session->PutBuffer(text.data() + pos, static_cast<int>(n), false) == 0;
    }
    piecesOk = piecesOk && session->PutBuffer(nullptr, 0, true) == 0;
    if (wholeOk && piecesOk && whole != pieces)
        std::abort();
    return 0;
}
