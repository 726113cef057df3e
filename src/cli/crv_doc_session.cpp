#include "cli/crv_doc_session.h"

#include <cstdio>

#include "app/project.h"

namespace crv::cli {

DocSession::~DocSession() {
    ownDocs.reset(); // documents let go of their types first
    if (docs && settings && settings->project)
        docs->SetDialogs(nullptr);
}

bool DocSession::Open(const CrvContext& ctx, CPresetChoices preset) {
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

int DocSession::Failed() const {
    if (dialogs && dialogs->StoppedAtDialog())
        std::fputs("crv: stopped at the import dialog, whose choices the command line cannot "
                   "change\n",
                   stderr);
    return kExitFailed;
}

CCrvDoc* OpenDocumentAt(const CrvContext& ctx, DocSession& session, const std::string& path) {
    if (!session.Open(ctx))
        return nullptr;
    return session.docs->OpenDocument(path);
}

CCrvDoc* OpenOperand(CrvContext& ctx, DocSession& session) {
    std::string path = ctx.args.Operands(1, 1)[0];
    return OpenDocumentAt(ctx, session, path);
}

} // namespace crv::cli
