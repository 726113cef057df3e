// Whether two paths name the same file: documents opened twice, an export aimed at the
// database it exports.
#pragma once

#include <string>

namespace crv {

// Whether a and b name the same file (the same file system object when both exist,
// else the same absolute, normalized path).
bool SameFile(const std::string& a, const std::string& b);

} // namespace crv
