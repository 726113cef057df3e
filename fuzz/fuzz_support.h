// Helpers the settings-file fuzz targets share.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace fuzz {

namespace fs = std::filesystem;

inline void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An empty folder of this process for a target, in memory-backed storage where there is
// one: the targets write settings files at every input.
inline fs::path NewScratchFolder(std::string_view target) {
    std::error_code ec;
    fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path f = base / ("corvane-" + std::string(target) + "-fuzz." + std::to_string(getpid()));
    fs::remove_all(f, ec);
    fs::create_directories(f);
    return f;
}

} // namespace fuzz
