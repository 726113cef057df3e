// crv jump, parse and interlinearize: jumps along a database type's jump path, the
// parses of a word, and interlinearizing text records, each as the desktop program does
// them with crv's answers to the dialogs. Databases that references name are opened
// when they are needed (the desktop program has them open with the project).
#include <algorithm>
#include <filesystem>
#include <set>

#include "app/jump_command.h"
#include "base/message_text.h"
#include "cli/crv_command_list.h"
#include "cli/crv_doc_session.h"
#include "engine/engine_type_settings.h"
#include "interlinear/lookup_proc.h"
#include "schema/database_type.h"
#include "schema/sort_order.h"

namespace crv::cli {

namespace {

// Referenced databases are opened on first use.
class CrvDatabases : public CDocDatabases {
public:
    explicit CrvDatabases(CDocManager& docs) : CDocDatabases(docs) {}
    CIndexSet* FindOpen(const std::string& path) override {
        if (CIndexSet* set = CDocDatabases::FindOpen(path))
            return set;
        std::error_code ec;
        if (tried.count(path) || !std::filesystem::is_regular_file(path, ec))
            return nullptr;
        tried.insert(path);
        return Open(path);
    }
    std::set<std::string> tried;
};

// The document of the first operand; null after its message.
CCrvDoc* OpenDb(DocSession& session, const std::string& path) {
    return session.docs->OpenDocument(path);
}

// The jump scope of doc's type.
CJumpScope ScopeOf(CCrvDoc& doc, CrvDatabases& dbs) {
    CJumpScope scope;
    scope.dbs = &dbs;
    scope.current = &doc.Records();
    if (CJumpPath* path = JumpPathOf(doc.Type())) {
        scope.refs = &path->Refs();
        scope.base = path->Base();
    }
    return scope;
}

// Jump dialogs that say on standard error when a choice among several was left to the
// first.
class CrvJumpDialogs : public CPlatformJumpDialogs {
public:
    Choice MultipleMatches(const std::vector<CJumpMatch>& matches,
                           const std::vector<std::string>& rows, bool canInsert,
                           std::size_t& row) override {
        Choice c = CPlatformJumpDialogs::MultipleMatches(matches, rows, canInsert, row);
        if (c == Choice::Take && matches.size() > 1)
            std::fprintf(stderr, "crv: %zu matches; the first is taken\n", matches.size());
        return c;
    }
};

// Saves every modified document; false when one could not be saved.
bool SaveModified(CDocManager& docs) {
    bool ok = true;
    for (CCrvDoc* doc : docs.Documents())
        if (doc->IsModified())
            ok &= doc->OnSaveDocument(doc->Path());
    return ok;
}

// The interlinear host of crv: the runs' questions through the console, ambiguities
// reported, a jump insert carried out along the text database's jump path.
class CrvHost : public CInterlinearHost {
public:
    CrvHost(CrvDatabases& dbs, CCrvDoc& doc) : m_dbs(&dbs), m_doc(&doc) {}
    COpenDatabases* Databases() override { return m_dbs; }
    std::size_t WrapColumns() override {
        const long margin = m_doc->Records().RecordWidth();
        return static_cast<std::size_t>(std::max(1L, margin) /
                                        std::max(1, m_doc->Type().InterlinCharWidth()));
    }
    void AmbiguityChosen(const std::vector<std::string>& results, std::size_t chosen) override {
        std::fprintf(stderr, "crv: ambiguous (%zu results); took: %s\n", results.size(),
                     results[chosen].c_str());
    }
    void JumpInsert(const std::string& word) override {
        CKeySearch search;
        search.key = word;
        search.matchWhole = true;
        CPlatformJumpDialogs dialogs;
        CJumpResult r = RunJumpSearch(ScopeOf(*m_doc, *m_dbs), search, true, true, dialogs);
        if (r.outcome == CJumpResult::Outcome::Insert) {
            if (CCrvDoc* target = m_dbs->DocumentOf(*r.target))
                target->InsertNewRecord(word, *r.index);
        }
    }

private:
    CrvDatabases* m_dbs;
    CCrvDoc* m_doc;
};

} // namespace

int CmdJump(CrvContext& ctx) {
    const bool insert = ctx.args.Flag("--insert");
    const int mask = MatchLevelOption(ctx.args, kMatchPrimary);
    std::vector<std::string> ops = ctx.args.Operands(2, 2);
    DocSession session;
    if (!session.Open(ctx))
        return kExitFailed;
    CCrvDoc* doc = OpenDb(session, ops[0]);
    if (!doc)
        return session.Failed();
    CrvDatabases dbs(*session.docs);
    CKeySearch search;
    search.key = ops[1];
    search.matchWhole = true;
    search.mask = mask;
    CrvJumpDialogs dialogs;
    CJumpResult r = RunJumpSearch(ScopeOf(*doc, dbs), search, insert, true, dialogs);
    if (r.outcome == CJumpResult::Outcome::Cancelled)
        return kExitFailed;
    CCrvDoc* target = dbs.DocumentOf(*r.target);
    if (!target)
        return kExitFailed;
    std::string key;
    if (r.outcome == CJumpResult::Outcome::Found) {
        key = r.pos.Field() ? r.pos.Field()->Text() : r.pos.Record()->GetKey();
    } else {
        CIndexPos pos = target->InsertNewRecord(r.key, *r.index);
        key = pos.Record() ? pos.Record()->GetKey() : r.key;
        if (!target->OnSaveDocument(target->Path()))
            return kExitFailed;
    }
    std::fprintf(ctx.out, "%s\t%s\n", target->Path().c_str(), PrintableText(key).c_str());
    return kExitOk;
}

int CmdParse(CrvContext& ctx) {
    std::vector<std::string> ops = ctx.args.Operands(2, 2);
    DocSession session;
    if (!session.Open(ctx))
        return kExitFailed;
    CCrvDoc* doc = OpenDb(session, ops[0]);
    if (!doc)
        return session.Failed();
    CInterlinearProcList* procs = InterlinearProcsOf(doc->Type());
    CLookupProc* proc = nullptr;
    for (CInterlinearProc* p = procs ? procs->GetFirst() : nullptr; p && !proc;
         p = procs->GetNext(p))
        if ((p->GetKind() == CInterlinearProc::Kind::Parse ||
             p->GetKind() == CInterlinearProc::Kind::Lookup))
            proc = static_cast<CLookupProc*>(p);
    if (!proc) {
        std::fprintf(stderr, "crv: the database type %s has no Lookup or Parse process\n",
                     doc->Type().Name().c_str());
        return kExitFailed;
    }
    CrvDatabases dbs(*session.docs);
    proc->EnsureBuilt(dbs);
    std::vector<std::string> results;
    if (proc->IsParse()) {
        bool cyclic = false;
        results = proc->ParseWord(ops[1], false, cyclic);
    } else {
        std::size_t matched = 0;
        results = proc->LookupWord(ops[1], matched);
    }
    for (const std::string& r : results)
        std::fprintf(ctx.out, "%s\n", PrintableText(r).c_str());
    return results.empty() ? kExitFailed : kExitOk;
}

int CmdInterlinearize(CrvContext& ctx) {
    const std::optional<std::string> only = ctx.args.Value("--record");
    const bool adapt = ctx.args.Flag("--adapt");
    std::vector<std::string> ops = ctx.args.Operands(1, 1);
    DocSession session;
    if (!session.Open(ctx))
        return kExitFailed;
    CCrvDoc* doc = OpenDb(session, ops[0]);
    if (!doc)
        return session.Failed();
    CInterlinearProcList* procs = InterlinearProcsOf(doc->Type());
    if (!procs || procs->IsEmpty()) {
        std::fprintf(stderr, "crv: the database type %s has no interlinear processes\n",
                     doc->Type().Name().c_str());
        return kExitFailed;
    }
    if (doc->IsReadOnly()) {
        std::fprintf(stderr, "crv: %s is read-only\n", doc->Path().c_str());
        return kExitFailed;
    }
    CrvDatabases dbs(*session.docs);
    CrvHost host(dbs, *doc);
    bool any = false, stopped = false;
    for (CRecord* record : doc->Records().RecordsInDefaultOrder()) {
        if (only && record->GetKey() != *only)
            continue;
        any = true;
        InterlinearizeResult r = InterlinearizeRecord(*procs, *record, adapt, host);
        if (r.ran)
            doc->RecordChanged(record, false);
        if (r.stopped) {
            stopped = true;
            break;
        }
    }
    if (only && !any) {
        std::fprintf(stderr, "crv: no record %s\n", only->c_str());
        return kExitFailed;
    }
    // What was written stays, also after a stop.
    if (!SaveModified(*session.docs))
        return kExitFailed;
    return stopped ? kExitFailed : kExitOk;
}

} // namespace crv::cli
