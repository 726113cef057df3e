// crv export: a database exported by one of its type's export processes, with the
// process's settings as the type holds them. The output is -o, else the process's last
// output; the records are the whole file, a window's (--window-order, sorted by --by
// and filtered by --filter), or one record (--record KEY).
#include <cstdio>

#include "cli/crv_command_list.h"
#include "cli/crv_doc_session.h"
#include "engine/key_search.h"
#include "export/export_process_set.h"
#include "export/export_run.h"
#include "export/plx_process.h"
#include "schema/database_type.h"
#include "schema/marker.h"

namespace crv::cli {

namespace {

// The desktop program's dialogs as crv answers them: the properties as stored, the
// output file given, no document opened; questions through the console.
class CrvExportDialogs : public PlatformExportDialogs {
public:
    explicit CrvExportDialogs(std::string output) : m_output(std::move(output)) {}
    bool EditProperties(CExportProcess&) override { return true; }
    std::optional<std::string> ChooseOutput(const FileRequest&) override { return m_output; }
    bool OpenDocument(const std::string&) override { return true; }

private:
    std::string m_output;
};

std::string MarkerName(std::string name) {
    if (!name.empty() && name[0] == '\\')
        name.erase(0, 1);
    return name;
}

} // namespace

int CmdExport(CrvContext& ctx) {
    auto processName = ctx.args.Value("--process");
    if (!processName || processName->empty())
        throw UsageError("--process NAME is needed");
    auto output = ctx.args.Value("-o");
    if (output && output->empty())
        throw UsageError("-o needs a file name");
    bool windowOrder = ctx.args.Flag("--window-order");
    auto by = ctx.args.Value("--by");
    auto filter = ctx.args.Value("--filter");
    auto recordKey = ctx.args.Value("--record");
    if (!windowOrder && (by || filter))
        throw UsageError("--by and --filter choose the order of --window-order");
    if (windowOrder && recordKey)
        throw UsageError("--window-order and --record exclude each other");
    std::string path = ctx.args.Operands(1, 1)[0];

    DocSession session;
    if (!session.Open(ctx))
        return kExitFailed;
    CCrvDoc* doc = session.docs->OpenDocument(path);
    if (!doc)
        return session.Failed();
    CIndexSet& records = doc->Records();
    CExportProcessSet* set = ExportSetOf(doc->Type());
    CExportProcess* process = set ? set->Find(*processName) : nullptr;
    if (!process) {
        std::fprintf(stderr, "crv: the database type %s has no export process named %s\n",
                     doc->Type().Name().c_str(), processName->c_str());
        return kExitFailed;
    }
    std::string out = output ? *output : process->exportedFile;
    if (auto* plx = dynamic_cast<CExportProcessPLX*>(process); plx && !output)
        out = plx->Exported();
    if (out.empty())
        throw UsageError("-o OUT is needed: the process has no last output file");

    ExportRequest request;
    request.database = &records;
    request.databasePath = doc->Path();
    request.settingsFolder = Types(*session.settings).SettingsFolder();
    CIndexRef window;
    if (windowOrder) {
        CIndexKeys keys;
        if (by) {
            keys.priMarker = records.Markers().Search(MarkerName(*by));
            if (!keys.priMarker) {
                std::fprintf(stderr, "crv: --by: the database has no marker \\%s\n",
                             MarkerName(*by).c_str());
                return kExitFailed;
            }
        } else {
            keys.secMarkers = records.DefaultIndex().SecMarkers();
        }
        if (filter) {
            CIndexFilterSource* source = records.FilterSource();
            keys.filter = source ? source->FindIndexFilter(*filter) : nullptr;
            if (!keys.filter) {
                std::fprintf(stderr, "crv: --filter: the database type has no filter named %s\n",
                             filter->c_str());
                return kExitFailed;
            }
        }
        window = records.GetIndex(keys);
        request.records = ExportRecords::CurrentWindow;
        request.window = window.Get();
    } else if (recordKey) {
        CKeySearch search;
        search.key = *recordKey;
        search.matchWhole = true;
        CKeyRecordSet found(records.DefaultIndex(), search);
        if (!found.Found()) {
            std::fprintf(stderr, "crv: --record: no record has the key %s\n", recordKey->c_str());
            return kExitFailed;
        }
        request.records = ExportRecords::CurrentRecord;
        request.record = found.Matches().front().Record();
    }
    CrvExportDialogs dialogs(out);
    return RunExport(*process, request, dialogs) == ExportResult::Done ? kExitOk : kExitFailed;
}

} // namespace crv::cli
