#include "cli/crv_settings.h"

#include <filesystem>

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

} // namespace crv::cli
