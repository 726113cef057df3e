#include "base/settings_capture.h"

namespace crv {

std::string CaptureEntry(ObjectStream& is, std::string_view enclosingName) {
    std::string out;
    if (is.AtEnd())
        return out;
    std::string_view key = is.PeekKey();
    if (is.Overflow()) {
        is.SkipEntry();
        return out;
    }
    // Iterative: a damaged file may open objects many thousands deep.
    OpenObjects open;
    if (key.size() > 1 && key[0] == '+')
        open.Open(key.substr(1));
    auto take = [&] {
        out += is.PeekRawEntry();
        out += '\n';
        is.SkipEntry();
    };
    take();
    while (!open.Empty() && !is.AtEnd()) {
        key = is.PeekKey();
        // Past an overflow nothing is read any more; the object is closed below.
        if (is.Overflow())
            break;
        if (key.size() > 1 && key[0] == '-') {
            std::string_view name = key.substr(1);
            if (!open.Close(name) && (name == enclosingName || is.IsObjectOpen(name)))
                break;
        } else if (key.size() > 1 && key[0] == '+') {
            open.Open(key.substr(1));
        }
        take();
    }
    const auto& names = open.Names();
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        out += "\\-";
        out += *it;
        out += '\n';
    }
    return out;
}

void WriteCaptured(ObjectStream& os, std::string_view captured) { os.WriteVerbatim(captured); }

} // namespace crv
