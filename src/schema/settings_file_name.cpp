#include "schema/settings_file_name.h"

#include <algorithm>
#include <filesystem>

namespace crv {

namespace {

bool IsTaken(const std::string& folder, const std::string& file, const std::vector<std::string>& taken) {
    if (std::find(taken.begin(), taken.end(), file) != taken.end())
        return true;
    if (folder.empty())
        return false;
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(folder) / file, ec);
}

} // namespace

std::string MakeSettingsFileName(const std::string& folder, std::string_view name, std::string_view ext,
                                 const std::vector<std::string>& taken) {
    auto isAlnum = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
    std::string base;
    for (char c : name)
        if (isAlnum(c) && base.size() < 8)
            base += c;
    if (base.empty())
        for (char c : ext)
            if (isAlnum(c))
                base += c;
    std::string file = base + std::string(ext);
    for (int counter = 2; IsTaken(folder, file, taken); ++counter) {
        std::string number = std::to_string(counter);
        std::size_t keep = number.size() >= 8 ? 0 : std::min(base.size(), 8 - number.size());
        file = base.substr(0, keep) + number + std::string(ext);
    }
    return file;
}

} // namespace crv
