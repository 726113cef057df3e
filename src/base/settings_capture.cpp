#include "base/settings_capture.h"

#include <algorithm>
#include <vector>

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
    std::vector<std::string> open;
    if (key.size() > 1 && key[0] == '+')
        open.emplace_back(key.substr(1));
    auto take = [&] {
        out += is.PeekRawEntry();
        out += '\n';
        is.SkipEntry();
    };
    take();
    while (!open.empty() && !is.AtEnd()) {
        key = is.PeekKey();
        // Past an overflow nothing is read any more; the object is closed below.
        if (is.Overflow())
            break;
        if (key.size() > 1 && key[0] == '-') {
            std::string_view name = key.substr(1);
            auto match = std::find(open.rbegin(), open.rend(), name);
            if (match != open.rend())
                open.erase(match.base() - 1, open.end());
            else if (!enclosingName.empty() && name == enclosingName)
                break;
        } else if (key.size() > 1 && key[0] == '+') {
            open.emplace_back(key.substr(1));
        }
        take();
    }
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        out += "\\-";
        out += *it;
        out += '\n';
    }
    return out;
}

void WriteCaptured(ObjectStream& os, std::string_view captured) { os.WriteVerbatim(captured); }

} // namespace crv
