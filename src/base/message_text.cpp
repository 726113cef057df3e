#include "base/message_text.h"

#include <vector>

namespace crv {

std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::vector<std::string_view> a(args);
    std::string out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            std::size_t n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < a.size()) {
                out += a[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string EscapeLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

} // namespace crv
