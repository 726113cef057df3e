#include "schema/settings_file_name.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/object_stream.h"

namespace crv {

namespace {

bool IsTaken(const std::string& folder, const std::string& file,
             const std::vector<std::string>& taken) {
    if (std::find(taken.begin(), taken.end(), file) != taken.end())
        return true;
    if (folder.empty())
        return false;
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(folder) / file, ec);
}

} // namespace

std::vector<std::string> SettingsFilesIn(const std::string& folder, std::string_view ext) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!entry.is_regular_file(ec))
            continue;
        std::string e = entry.path().extension().string();
        std::transform(e.begin(), e.end(), e.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (e == ext)
            files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string MakeSettingsFileName(const std::string& folder, std::string_view name,
                                 std::string_view ext, const std::vector<std::string>& taken) {
    auto isAlnum = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
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

SettingsFileStatus ReadSettingsFileHeader(const std::string& path, std::string_view objectKey,
                                          SettingsFileHeader& header) {
    std::ifstream file(path, std::ios::binary);
    ObjectStream in(file);
    try {
        if (!file || !in.AtBackslash() || !in.ReadBeginMarker(objectKey, header.name))
            return SettingsFileStatus::NotSettings;
        // The version stands among the first keys; stop at the first nested object.
        while (!in.AtEnd() && !in.IsBeginOrEnd()) {
            if (in.ReadString("ver", header.version))
                break;
            in.SkipEntry();
        }
    } catch (const std::ios_base::failure&) {
        // The file stream reports a failing disk by throwing.
        return SettingsFileStatus::CannotRead;
    }
    if (header.name.empty())
        header.name = std::filesystem::path(path).stem().string();
    return SettingsFileStatus::Ok;
}

} // namespace crv
