#include "base/same_file.h"

#include <filesystem>

namespace crv {

namespace fs = std::filesystem;

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) {
        bool same = fs::equivalent(a, b, ec);
        if (!ec)
            return same;
    }
    return fs::absolute(a, ec).lexically_normal() == fs::absolute(b, ec).lexically_normal();
}

} // namespace crv
