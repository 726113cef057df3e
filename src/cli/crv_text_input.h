// The text a crv command works on: a whole file or standard input, taken line by line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace crv::cli {

// Reads a whole file, or standard input for an empty name; false after a message on
// standard error when the file cannot be opened.
bool ReadInput(const std::string& file, std::string& text);

// The lines of text, without their LF and a CR before it; a final LF ends the last line
// rather than beginning an empty one.
std::vector<std::string_view> InputLines(std::string_view text);

} // namespace crv::cli
