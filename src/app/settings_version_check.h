// The check of settings versions when a project opens: the project file and every .typ
// and .lng file of the settings folder carry the version that wrote them; files older or
// newer than this program are listed for the user, who may go on or cancel.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace crv {

class CLangEncSet;
class CDatabaseTypeSet;

struct SettingsVersionReport {
    struct File {
        std::string name;
        std::string version;
    };
    std::vector<File> older;
    std::vector<File> newer;
};

// Compares the versions (byte order of the strings) with programVersion.
SettingsVersionReport CompareSettingsVersions(std::string_view projectFileName,
                                              std::string_view projectVersion,
                                              const CLangEncSet& langEncs,
                                              const CDatabaseTypeSet& types,
                                              std::string_view programVersion);

// Shows the older files, then the newer ones, each in one listing after a beep; false
// when either showing was cancelled.
bool ConfirmSettingsVersions(const SettingsVersionReport& report, std::string_view settingsFolder,
                             std::string_view projectFileName, std::string_view programVersion);

// "Settings folder: %1" with the folder, without a trailing separator: the status text
// of a project and a line of the listing.
std::string SettingsFolderText(std::string_view settingsFolder);

// The text of one showing of the listing.
std::string SettingsVersionListing(bool older,
                                   const std::vector<SettingsVersionReport::File>& files,
                                   std::string_view settingsFolder,
                                   std::string_view projectFileName,
                                   std::string_view programVersion);

} // namespace crv
