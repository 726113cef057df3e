#include "cli/crv_settings.h"

#include <filesystem>

#include "app/preferences.h"
#include "app/project.h"
#include "base/platform.h"
#include "record/database_file.h"
#include "schema/marker.h"

namespace crv::cli {

namespace fs = std::filesystem;

CrvSettings::CrvSettings() = default;

CrvSettings::~CrvSettings() {
    ownProject.reset();
    ownTypes.reset();
    ownLangEncs.reset();
}

namespace {

bool OpenProjectSettings(const CrvContext& ctx, CrvSettings& settings, bool openDatabases) {
    settings.prefs = std::make_unique<Preferences>();
    settings.prefs->Load();
    ProjectOpenSettings how;
    how.openDatabases = openDatabases;
    // crv leaves the settings files as they are and the current folder where it is:
    // paths on its command line are relative to it.
    how.rewriteOlderSettings = false;
    how.makeCurrentFolder = false;
    settings.ownProject = CProject::Open(ctx.projectPath, {settings.prefs.get(), nullptr}, how);
    if (!settings.ownProject)
        return false;
    CProject& project = *settings.ownProject;
    if (project.OlderSettingsLeft())
        std::fputs("crv: settings files of an older version were left as they are; Corvane "
                   "updates them when it opens the project\n",
                   stderr);
    settings.project = &project;
    settings.folder = project.SettingsFolder();
    settings.langEncs = &project.LangEncs();
    settings.types = &project.Types();
    return true;
}

} // namespace

std::unique_ptr<CrvSettings> OpenSettings(const CrvContext& ctx, bool openDatabases) {
    auto settings = std::make_unique<CrvSettings>();
    if (!ctx.projectPath.empty()) {
        if (!OpenProjectSettings(ctx, *settings, openDatabases))
            return nullptr;
        return settings;
    }
    settings->folder = ctx.settingsFolder;
    std::error_code ec;
    if (!settings->folder.empty() && !fs::is_directory(settings->folder, ec)) {
        std::fprintf(stderr, "crv: settings folder %s not found\n", settings->folder.c_str());
        return nullptr;
    }
    settings->ownLangEncs = std::make_unique<CLangEncSet>(settings->folder);
    settings->ownLangEncs->LoadAll();
    settings->langEncs = settings->ownLangEncs.get();
    return settings;
}

CDatabaseTypeSet& Types(CrvSettings& settings) {
    if (!settings.types) {
        settings.ownTypes =
            std::make_unique<CDatabaseTypeSet>(*settings.langEncs, &settings.typeSettings);
        settings.ownTypes->LoadAll();
        settings.types = settings.ownTypes.get();
    }
    return *settings.types;
}

CLangEnc* FindLangEnc(CrvSettings& settings, const std::string& name) {
    CLangEnc* e = settings.langEncs->Find(name);
    if (!e)
        std::fprintf(stderr, "crv: no language encoding named %s\n", name.c_str());
    return e;
}

bool OpenDatabaseSchema(CrvSettings& settings, const std::string& path,
                        const std::string& recordMarker, DatabaseSchema& schema) {
    using Status = DatabaseTypeOfFile::Status;
    DatabaseTypeOfFile found = FindDatabaseTypeOfFile(path, Types(settings));
    schema.header = found.header;
    schema.hasHeader = found.status == Status::Found || found.status == Status::TypeMissing ||
                       found.status == Status::TypeNotLoaded;
    switch (found.status) {
    case Status::TooLarge:
        ShowTooLarge(path);
        return false;
    case Status::TypeMissing:
        if (settings.folder.empty())
            break; // no settings: the header's type is not looked for
        platform().ShowMessage(DatabaseTypeNotFoundText(path, found.header.typeName));
        return false;
    case Status::TypeNotLoaded:
        return false;
    case Status::Found:
        schema.type = found.type;
        schema.markers = &found.type->MarkerSet();
        schema.recordMarker = recordMarker.empty()
                                  ? found.type->RecordMarker()
                                  : schema.markers->SearchOrAddFromData(recordMarker);
        return true;
    case Status::CannotOpen: // the read that follows says so
    case Status::NoHeader:
        break;
    }
    schema.ownMarkers = std::make_unique<CMarkerSet>(settings.langEncs);
    schema.markers = schema.ownMarkers.get();
    std::string name = recordMarker.empty() ? FirstMarkerName(path) : recordMarker;
    if (!name.empty()) {
        schema.recordMarker = schema.markers->SearchOrAddFromData(name);
        schema.markers->SetRecordMarker(schema.recordMarker);
    }
    return true;
}

} // namespace crv::cli
