#include "cli/crv_settings.h"

#include <filesystem>

#include "record/database_file.h"
#include "record/platform.h"
#include "schema/marker.h"

namespace crv::cli {

namespace fs = std::filesystem;

std::unique_ptr<CrvSettings> OpenSettings(const CrvContext& ctx) {
    auto settings = std::make_unique<CrvSettings>();
    if (!ctx.settingsFolder.empty()) {
        settings->folder = ctx.settingsFolder;
    } else if (!ctx.projectPath.empty()) {
        fs::path folder = fs::path(ctx.projectPath).parent_path();
        settings->folder = folder.empty() ? "." : folder.string();
    }
    std::error_code ec;
    if (!settings->folder.empty() && !fs::is_directory(settings->folder, ec)) {
        std::fprintf(stderr, "crv: settings folder %s not found\n", settings->folder.c_str());
        return nullptr;
    }
    settings->langEncs = std::make_unique<CLangEncSet>(settings->folder);
    settings->langEncs->LoadAll();
    return settings;
}

CDatabaseTypeSet& Types(CrvSettings& settings) {
    if (!settings.types) {
        settings.types = std::make_unique<CDatabaseTypeSet>(*settings.langEncs, &settings.typeSettings);
        settings.types->LoadAll();
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
    schema.ownMarkers = std::make_unique<CMarkerSet>(settings.langEncs.get());
    schema.markers = schema.ownMarkers.get();
    std::string name = recordMarker.empty() ? FirstMarkerName(path) : recordMarker;
    if (!name.empty()) {
        schema.recordMarker = schema.markers->SearchOrAddFromData(name);
        schema.markers->SetRecordMarker(schema.recordMarker);
    }
    return true;
}

} // namespace crv::cli
