// The settings, the import choices and the open documents of one crv command: with -p
// the project's, else a document list of its own over the types of -s.
#pragma once

#include <cstdio>
#include <memory>

#include "app/doc_manager.h"
#include "app/project.h"
#include "cli/crv_commands.h"
#include "cli/crv_settings.h"

namespace crv::cli {

struct DocSession {
    std::unique_ptr<CrvSettings> settings;
    CImportSettings import;
    std::unique_ptr<CPlatformDocumentDialogs> dialogs;
    std::unique_ptr<CDocManager> ownDocs;
    CDocManager* docs = nullptr;
    ~DocSession() {
        ownDocs.reset(); // documents let go of their types first
        if (docs && settings && settings->project)
            docs->SetDialogs(nullptr);
    }

    bool Open(const CrvContext& ctx, CPresetChoices preset = {}) {
        settings = OpenSettings(ctx);
        if (!settings)
            return false;
        dialogs = std::make_unique<CPlatformDocumentDialogs>(std::move(preset));
        if (settings->project) {
            docs = &settings->project->Documents();
        } else {
            ownDocs = std::make_unique<CDocManager>(Types(*settings), import);
            docs = ownDocs.get();
        }
        docs->SetDialogs(dialogs.get());
        return true;
    }
    // A failed command: says so when it stopped at a dialog crv cannot fill.
    int Failed() const {
        if (dialogs && dialogs->StoppedAtDialog())
            std::fputs("crv: stopped at the import dialog, whose choices the command line cannot "
                       "change\n",
                       stderr);
        return kExitFailed;
    }
};

} // namespace crv::cli
