// The documents one crv command works on (open, resave, import, new, export, the text and
// interlinear commands): with -p the project's document list and import choices, else a
// document list of its own over the types of -s; dialogs answered as the command line
// answers them.
#pragma once

#include <memory>

#include "app/doc_manager.h"
#include "app/document_dialogs.h"
#include "cli/crv_commands.h"
#include "cli/crv_settings.h"

namespace crv::cli {

// The settings, the import choices and the open documents of one command: with -p the
// project's, else a document list of its own over the types of -s.
struct DocSession {
    std::unique_ptr<CrvSettings> settings;
    CImportSettings import;
    std::unique_ptr<CPlatformDocumentDialogs> dialogs;
    std::unique_ptr<CDocManager> ownDocs;
    CDocManager* docs = nullptr;
    DocSession() = default;
    DocSession(const DocSession&) = delete;
    DocSession& operator=(const DocSession&) = delete;
    ~DocSession();

    bool Open(const CrvContext& ctx, CPresetChoices preset = {});
    // A failed command: says so when it stopped at a dialog crv cannot fill.
    int Failed() const;
};

// Opens the database named by the one operand (or by path); null (after its message)
// when it cannot.
CCrvDoc* OpenOperand(CrvContext& ctx, DocSession& session);
CCrvDoc* OpenDocumentAt(const CrvContext& ctx, DocSession& session, const std::string& path);

} // namespace crv::cli
