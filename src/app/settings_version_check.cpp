#include "app/settings_version_check.h"

#include "app/project_paths.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"

namespace crv {

namespace {

constexpr std::string_view kOlderIntro =
    "These settings files were written by an older version of Corvane.\n"
    "Corvane will update them to the current version.";
constexpr std::string_view kNewerIntro =
    "These settings files were written by a newer version of Corvane.\n"
    "Settings this version does not know are lost when the files are saved.";
constexpr std::string_view kFileLine = "%1  (version %2)";
constexpr std::string_view kFolderLine = "Settings folder: %1";
constexpr std::string_view kProjectLine = "Project file:  %1";
constexpr std::string_view kVersionLine = "Current version of Corvane:  %1";

void Classify(SettingsVersionReport& report, std::string_view name, std::string_view version,
              std::string_view programVersion) {
    // Byte order, as versions have always been compared ("10.0" sorts before "4.0").
    int c = version.compare(programVersion);
    if (c < 0)
        report.older.push_back({std::string(name), std::string(version)});
    else if (c > 0)
        report.newer.push_back({std::string(name), std::string(version)});
}

} // namespace

std::string SettingsFolderText(std::string_view settingsFolder) {
    return FormatMessage(kFolderLine, {FolderForDisplay(settingsFolder)});
}

SettingsVersionReport CompareSettingsVersions(std::string_view projectFileName,
                                              std::string_view projectVersion,
                                              const CLangEncSet& langEncs,
                                              const CDatabaseTypeSet& types,
                                              std::string_view programVersion) {
    SettingsVersionReport report;
    Classify(report, projectFileName, projectVersion, programVersion);
    for (const auto& p : types.Proxies())
        if (!p.FileName().empty())
            Classify(report, p.FileName(), p.Version(), programVersion);
    for (const auto& p : langEncs.Proxies())
        if (!p.FileName().empty())
            Classify(report, p.FileName(), p.Version(), programVersion);
    return report;
}

std::string SettingsVersionListing(bool older,
                                   const std::vector<SettingsVersionReport::File>& files,
                                   std::string_view settingsFolder,
                                   std::string_view projectFileName,
                                   std::string_view programVersion) {
    std::string text(older ? kOlderIntro : kNewerIntro);
    text += "\n\n";
    for (const auto& f : files) {
        text += FormatMessage(kFileLine, {f.name, f.version});
        text += '\n';
    }
    text += '\n';
    text += SettingsFolderText(settingsFolder);
    text += '\n';
    text += FormatMessage(kProjectLine, {projectFileName});
    text += '\n';
    text += FormatMessage(kVersionLine, {programVersion});
    return text;
}

bool ConfirmSettingsVersions(const SettingsVersionReport& report, std::string_view settingsFolder,
                             std::string_view projectFileName, std::string_view programVersion) {
    for (bool older : {true, false}) {
        const auto& files = older ? report.older : report.newer;
        if (files.empty())
            continue;
        Question q;
        q.text =
            SettingsVersionListing(older, files, settingsFolder, projectFileName, programVersion);
        q.buttons = Buttons::OkCancel;
        q.beep = true;
        if (platform().Ask(q) != Answer::Ok)
            return false;
    }
    return true;
}

} // namespace crv
