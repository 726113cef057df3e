#include "app/jump_command.h"

#include "app/crv_doc.h"
#include "base/platform.h"
#include "engine/bundle_wrap.h"
#include "engine/engine_type_settings.h"
#include "interlinear/interlinear_proc.h"
#include "schema/database_type.h"
#include "schema/database_type_set.h"

namespace crv {

// ---------------------------------------------------------------- open databases

CIndexSet* CDocDatabases::FindOpen(const std::string& path) {
    CCrvDoc* doc = m_docs->FindDocument(path);
    return doc && doc->IsOpen() ? &doc->Records() : nullptr;
}

std::vector<CIndexSet*> CDocDatabases::AllOpen() {
    std::vector<CIndexSet*> out;
    for (CCrvDoc* doc : m_docs->Documents())
        if (doc->IsOpen())
            out.push_back(&doc->Records());
    return out;
}

CCrvDoc* CDocDatabases::DocumentOf(const CIndexSet& set) const {
    for (CCrvDoc* doc : m_docs->Documents())
        if (doc->IsOpen() && &doc->Records() == &set)
            return doc;
    return nullptr;
}

std::string CDocDatabases::PathOf(const CIndexSet& set) {
    CCrvDoc* doc = DocumentOf(set);
    return doc ? doc->Path() : std::string();
}

CIndexSet* CDocDatabases::Open(const std::string& path) {
    if (CIndexSet* set = FindOpen(path))
        return set;
    CCrvDoc* doc = m_docs->OpenDocument(path);
    return doc && doc->IsOpen() ? &doc->Records() : nullptr;
}

// ---------------------------------------------------------------- showing a result

CJumpWindow* ChooseJumpWindow(const std::vector<CJumpWindow*>& windows, const CIndex& index,
                              const CRecord* found) {
    for (CJumpWindow* w : windows)
        if (w->IsJumpTarget() && &w->Index() == &index)
            return w;
    for (CJumpWindow* w : windows) {
        if (!w->IsJumpTarget() || w->Index().PriMarker() != index.PriMarker())
            continue;
        // A filtered window that does not hold the found record is no place to show it.
        if (!found || w->Index().FindRecord(found).IsValid())
            return w;
    }
    return nullptr;
}

CJumpWindow* ShowJumpResult(const CJumpResult& result, CDocDatabases& dbs, CJumpWindows& windows) {
    if (result.outcome == CJumpResult::Outcome::Cancelled || !result.target || !result.index)
        return nullptr;
    CCrvDoc* doc = dbs.DocumentOf(*result.target);
    if (!doc)
        return nullptr;
    const bool found = result.outcome == CJumpResult::Outcome::Found;
    CJumpWindow* w = ChooseJumpWindow(windows.WindowsOf(*doc), *result.index,
                                      found ? result.pos.Record() : nullptr);
    if (w) {
        if (!w->LeaveRecord())
            return nullptr;
        if (found) {
            CIndexPos p = w->Index().Find(result.pos.Record(), result.pos.Field());
            if (!p.IsValid())
                p = w->Index().FindRecord(result.pos.Record());
            w->MoveTo(p);
        } else {
            w->MoveTo(doc->InsertNewRecord(result.key, w->Index(), w->View()));
        }
        w->Activate();
        return w;
    }
    CIndexPos pos = found ? result.pos : doc->InsertNewRecord(result.key, *result.index);
    return windows.OpenWindow(*doc, *result.index, pos);
}

JumpCommandResult RunJumpCommand(CJumpWindow& window, CDocDatabases& dbs, CJumpWindows& windows,
                                 CKeySearch& search, const std::string& word, bool selection,
                                 bool insertMode, CJumpDialogs& dialogs, bool showWholePath) {
    JumpCommandResult out;
    CCrvDoc& doc = window.Document();
    CJumpScope scope;
    scope.dbs = &dbs;
    scope.current = &doc.Records();
    scope.showWholePath = showWholePath;
    if (CJumpPath* path = JumpPathOf(doc.Type())) {
        scope.refs = &path->Refs();
        scope.base = path->Base();
    }
    search.key = word;
    out.search = RunJumpSearch(scope, search, insertMode, selection && !word.empty(), dialogs);
    out.shownIn = ShowJumpResult(out.search, dbs, windows);
    return out;
}

// ---------------------------------------------------------------- closing

bool ConfirmCloseReferenced(CDocDatabases& dbs, CDatabaseTypeSet& types, CCrvDoc& doc,
                            bool& warnDocClose) {
    if (!warnDocClose || !doc.IsOpen())
        return true;
    bool referenced = false;
    for (const CDatabaseTypeProxy& proxy : types.Proxies()) {
        if (!proxy.IsLoaded())
            continue;
        CJumpPath* path = JumpPathOf(*const_cast<CDatabaseTypeProxy&>(proxy).GetType());
        referenced |= path && path->Refs().References(dbs, doc.Records(), path->Base());
    }
    if (!referenced)
        return true;
    Question q;
    q.text = kJumpCloseWarning;
    q.buttons = Buttons::YesNo;
    q.checkBox = "&Display this warning in the future";
    q.checked = &warnDocClose;
    return platform().Ask(q) == Answer::Yes;
}

// ---------------------------------------------------------------- interlinearizing

std::size_t CAppInterlinearHost::WrapColumns() {
    if (!m_doc->IsOpen())
        return 0;
    return BundleWrapColumns(m_doc->Records().HeaderRecordWidth(),
                             m_doc->Type().InterlinCharWidth());
}

InterlinearizeResult InterlinearizeCommand(CRecordWindow& window, const CRecPos& pos, bool adapt,
                                           CInterlinearHost& host, bool singleWord) {
    InterlinearizeResult result;
    CCrvDoc& doc = window.Document();
    CInterlinearProcList* procs = doc.IsOpen() ? InterlinearProcsOf(doc.Type()) : nullptr;
    if (!procs || procs->IsEmpty() || !pos.Record()) {
        platform().Beep();
        return result;
    }
    if (doc.IsReadOnly()) {
        // Read-only databases take no typing; a run is typing on the user's behalf.
        platform().Beep();
        return result;
    }
    result = Interlinearize(*procs, *pos.Record(), pos, adapt, host, singleWord);
    if (result.ran)
        doc.RecordChanged(pos.Record(), false, window.View());
    return result;
}

} // namespace crv
