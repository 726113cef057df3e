#include "cli/crv_text_input.h"

#include <cstdio>
#include <filesystem>

namespace crv::cli {

bool ReadInput(const std::string& file, std::string& text) {
    std::error_code ec;
    std::FILE* in = file.empty() ? stdin : std::fopen(file.c_str(), "rb");
    if (!in || (!file.empty() && std::filesystem::is_directory(file, ec))) {
        if (in)
            std::fclose(in);
        std::fprintf(stderr, "crv: cannot open %s\n", file.c_str());
        return false;
    }
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        text.append(buffer, n);
    bool failed = std::ferror(in) != 0;
    if (in != stdin)
        std::fclose(in);
    if (failed)
        std::fprintf(stderr, "crv: cannot read %s\n", file.empty() ? "the input" : file.c_str());
    return !failed;
}

std::vector<std::string_view> InputLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start && text[end - 1] == '\r')
            --end;
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

} // namespace crv::cli
