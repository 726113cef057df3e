#include "app/sound_field.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "base/file_names.h"
#include "base/message_text.h"
#include "record/record.h"

namespace crv {

namespace {

std::string_view FirstLineTrimmed(std::string_view text) {
    text = text.substr(0, text.find('\n'));
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool IsFile(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

} // namespace

bool NamesSoundFile(std::string_view fieldText) {
    static constexpr std::array<std::string_view, 10> kExtensions = {
        ".wav", ".mp3", ".ogg", ".oga", ".opus", ".flac", ".aif", ".aiff", ".m4a", ".au"};
    std::string name(FirstLineTrimmed(fieldText));
    return std::any_of(kExtensions.begin(), kExtensions.end(),
                       [&](std::string_view ext) { return HasExtension(name, std::string(ext)); });
}

const CField* SoundField(const CRecord& record, const CField* current) {
    if (current && NamesSoundFile(current->Text()))
        return current;
    for (const CField* f = record.GetFirst(); f; f = record.GetNext(f))
        if (NamesSoundFile(f->Text()))
            return f;
    return nullptr;
}

std::optional<std::string> SoundFilePath(std::string_view fieldText, std::string_view databasePath,
                                         std::string& message) {
    namespace fs = std::filesystem;
    message.clear();
    std::string name(FirstLineTrimmed(fieldText));
    if (name.empty()) {
        message = "This field does not name a sound file.";
        return std::nullopt;
    }
    fs::path folder = fs::path(std::string(databasePath)).parent_path();
    std::string slashed = name;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    for (const std::string& candidate : {name, slashed}) {
        fs::path p(candidate);
        if (p.is_relative())
            p = folder / p;
        if (IsFile(p))
            return p.lexically_normal().string();
    }
    message = FormatMessage("The sound file %1 was not found.", {name});
    return std::nullopt;
}

} // namespace crv
