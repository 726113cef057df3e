#include "base/file_names.h"

#include <cctype>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace crv {

namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool FileIsWritable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return ::access(path.c_str(), W_OK) == 0;
}

std::int64_t FileModificationTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return 0;
    return static_cast<std::int64_t>(st.st_mtime);
}

std::string ResolvedFilePath(const std::string& path) {
    // Link by link rather than canonical(), which gives up on a link to a file that does
    // not exist yet; a loop is left as it is for opening to refuse.
    fs::path p(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)))
            break;
        fs::path target = fs::read_symlink(p, ec);
        if (ec)
            break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p.string();
}

std::string NumberedSibling(const std::string& path, const std::string& stem, int number,
                            const std::string& ext) {
    std::string name = stem + (number ? std::to_string(number) : std::string()) + ext;
    return (fs::path(path).parent_path() / name).string();
}

std::string UnusedSiblingName(const std::string& path, const std::string& ext) {
    std::string stem = fs::path(path).stem().string();
    if (stem.empty())
        stem = "file";
    for (int n = 0;; ++n) {
        std::string candidate = NumberedSibling(path, stem, n, ext);
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec)) && candidate != path)
            return candidate;
    }
}

std::string ShortStem(const std::string& path) {
    std::string base;
    for (char c : fs::path(path).stem().string()) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            base += c;
        if (base.size() == 8)
            break;
    }
    return base.empty() ? "crv" : base;
}

std::string WithExtension(const std::string& path, const std::string& ext) {
    fs::path p(path);
    p.replace_extension(ext);
    return p.string();
}

bool HasExtension(const std::string& path, const std::string& ext) {
    std::string e = fs::path(path).extension().string();
    if (e.size() != ext.size())
        return false;
    for (std::size_t i = 0; i < e.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(e[i])) !=
            std::tolower(static_cast<unsigned char>(ext[i])))
            return false;
    return true;
}

} // namespace crv
