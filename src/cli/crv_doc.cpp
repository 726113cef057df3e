// crv open, resave, import and new: database documents as the desktop program opens,
// saves, imports and creates them, with the database types of -s/-p.
#include "app/doc_manager.h"
#include "app/project.h"
#include "base/platform.h"
#include "cli/crv_command_list.h"
#include "cli/crv_doc_session.h"
#include "cli/crv_settings.h"
#include "schema/database_type_set.h"

namespace crv::cli {

namespace {

// The type name of --type.
std::string TypeOption(CommandArgs& args) {
    auto name = args.Value("--type");
    if (!name || name->empty())
        throw UsageError("--type NAME is needed");
    return *name;
}

// Whether the settings have that type; a message when not.
bool CheckType(DocSession& session, const std::string& name) {
    if (Types(*session.settings).FindProxy(name))
        return true;
    std::fprintf(stderr, "crv: the settings have no database type named %s\n", name.c_str());
    return false;
}

// Opens the database named by the one operand; null (after its message) when it cannot.
CCrvDoc* OpenOperand(CrvContext& ctx, DocSession& session) {
    std::string path = ctx.args.Operands(1, 1)[0];
    if (!session.Open(ctx))
        return nullptr;
    return session.docs->OpenDocument(path);
}

} // namespace

int CmdOpen(CrvContext& ctx) {
    DocSession session;
    CCrvDoc* doc = OpenOperand(ctx, session);
    if (!doc)
        return session.Failed();
    std::fprintf(ctx.out, "records: %zu\nmodified: %s\n", doc->Records().RecordCount(),
                 doc->IsModified() ? "yes" : "no");
    return kExitOk;
}

int CmdResave(CrvContext& ctx) {
    DocSession session;
    CCrvDoc* doc = OpenOperand(ctx, session);
    if (!doc)
        return session.Failed();
    // Under its own name even when opened read-only: the save then says why it cannot.
    return doc->OnSaveDocument(doc->Path()) ? kExitOk : kExitFailed;
}

int CmdImport(CrvContext& ctx) {
    CPresetChoices preset;
    DocSession session;
    preset.typeName = TypeOption(ctx.args);
    preset.changeTable = ctx.args.Value("--ztt").value_or("");
    preset.keepSpaces = ctx.args.Flag("--keep-spaces");
    preset.backup = ctx.args.Flag("--backup");
    std::string path = ctx.args.Operands(1, 1)[0];
    if (!session.Open(ctx, preset))
        return kExitFailed;
    if (!CheckType(session, preset.typeName))
        return kExitFailed;
    return session.docs->ImportDocument(path) ? kExitOk : session.Failed();
}

int CmdNew(CrvContext& ctx) {
    CPresetChoices preset;
    DocSession session;
    preset.typeName = TypeOption(ctx.args);
    preset.newPath = ctx.args.Operands(1, 1)[0];
    if (!session.Open(ctx, preset))
        return kExitFailed;
    if (!CheckType(session, preset.typeName))
        return kExitFailed;
    return session.docs->NewDocument() ? kExitOk : kExitFailed;
}

} // namespace crv::cli
