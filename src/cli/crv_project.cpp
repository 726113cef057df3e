// crv project new and check: create a project with default options, and open a project
// (or settings folder) with every database it lists to see that all of it loads.
#include <cstdio>
#include <filesystem>

#include "app/doc_manager.h"
#include "app/project.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "cli/crv_command_list.h"
#include "cli/crv_settings.h"
#include "schema/database_type_set.h"

namespace crv::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kAskReplace = "%1\nalready exists.\n\nDo you want to replace it?";

} // namespace

int CmdProjectNew(CrvContext& ctx) {
    std::string path = ctx.args.Operands(1, 1)[0];
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        std::fprintf(stderr, "crv: %s is a folder, not a project file name\n", path.c_str());
        return kExitFailed;
    }
    if (fs::exists(path, ec) && platform().Ask(FormatMessage(kAskReplace, {path}), Buttons::YesNo,
                                               Answer::No) != Answer::Yes)
        return kExitFailed;
    auto project = CProject::New(path, {});
    return project ? kExitOk : kExitFailed;
}

int CmdCheck(CrvContext& ctx) {
    ctx.args.Operands(0, 0);
    if (ctx.projectPath.empty() && ctx.settingsFolder.empty())
        throw UsageError("check needs -p PROJECT.prj or -s SETTINGS_FOLDER");
    auto settings = OpenSettings(ctx, true);
    if (!settings)
        return kExitFailed;
    // Every type and encoding is loaded, so that whatever is wrong in them is told.
    std::size_t types = 0, encodings = 0;
    for (auto& proxy : Types(*settings).Proxies()) {
        proxy.GetType();
        ++types;
    }
    for (auto& proxy : settings->langEncs->Proxies()) {
        proxy.GetLangEnc();
        ++encodings;
    }
    std::size_t databases = 0, records = 0;
    if (settings->project) {
        for (const CCrvDoc* doc : settings->project->Documents().Documents()) {
            ++databases;
            records += doc->Records().RecordCount();
            // The check leaves every file as it was, even one that opening converted.
            if (doc->IsModified())
                std::fprintf(stderr,
                             "crv: %s was changed as it was opened; check does not save it\n",
                             doc->Path().c_str());
        }
    }
    std::fprintf(ctx.out, "types: %zu\nencodings: %zu\ndatabases: %zu\nrecords: %zu\n", types,
                 encodings, databases, records);
    return kExitOk;
}

} // namespace crv::cli
