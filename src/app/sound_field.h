// Playing the sound file a field names: which field of a record names one, and where that
// file is. Data made on other systems names files with backslashes and relative to the
// database, so both are understood.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace crv {

class CField;
class CRecord;

// Whether the text's first line ends in the extension of a sound file (.wav, .mp3, ...).
bool NamesSoundFile(std::string_view fieldText);

// The field whose sound is played: current when it names a sound file, else the first
// field of record that does; null when none does.
const CField* SoundField(const CRecord& record, const CField* current);

// The file the field text names: its first line without surrounding spaces, relative to
// the database's folder unless absolute, with backslashes read as folder separators when
// the name as written does not exist. nullopt, with the message, when no file is there.
std::optional<std::string> SoundFilePath(std::string_view fieldText, std::string_view databasePath,
                                         std::string& message);

} // namespace crv
