#include "interlinear/interlinear_proc.h"

#include <sstream>

#include "base/object_stream.h"
#include "interlinear/lookup_proc.h"
#include "interlinear/rearrange_proc.h"
#include "schema/database_type.h"
#include "schema/marker_name.h"

namespace crv {

std::string_view CInterlinearProc::KindName() const {
    switch (GetKind()) {
    case Kind::Lookup:
        return "Lookup";
    case Kind::Parse:
        return "Parse";
    case Kind::Rearrange:
        return "Rearrange";
    case Kind::Generate:
        return "Generate";
    case Kind::Given:
        return "Given";
    }
    return "Given";
}

void CInterlinearProc::OnMarkerUpdate(const CMarkerUpdate& update) {
    m_from.Follow(update);
    m_to.Follow(update);
}

void CInterlinearProc::WriteFromTo(ObjectStream& os) const {
    os.WriteString("From", m_from.Name());
    os.WriteString("To", m_to.Name());
}

bool CInterlinearProc::ReadProperty(ObjectStream& is, CDatabaseType&) {
    return is.ReadBool("bAdapt", m_adapt);
}

std::unique_ptr<CInterlinearProc> CGivenProc::Clone() const {
    return std::unique_ptr<CInterlinearProc>(new CGivenProc(*this));
}

void CGivenProc::WriteProperties(ObjectStream& os) const {
    WriteFromTo(os);
    os.WriteBool("bAdapt", m_adapt);
}

// ---------------------------------------------------------------- the list

CInterlinearProcList::CInterlinearProcList(CDatabaseType* type, CFileLocator locate)
    : m_type(type), m_locate(std::move(locate)) {}

CInterlinearProcList::~CInterlinearProcList() { DeleteAll(); }

std::string CInterlinearProcList::Base() const {
    return m_type ? m_type->SettingsFolder() : std::string();
}

void CInterlinearProcList::SetForcedGloss(char start, char end) {
    m_fgStart = start;
    m_fgEnd = end;
    Changed();
}

void CInterlinearProcList::SetMorphophonemicBoundary(char c) {
    m_mbnd = c;
    Changed();
}

void CInterlinearProcList::SetMorphemeBreaks(std::string breaks) {
    if (breaks.empty() || breaks == m_breaks)
        return;
    m_breaks = std::move(breaks);
    InvalidateIndexes();
    Changed();
}

CMarker* CInterlinearProcList::TextMarker() const {
    const CInterlinearProc* first = GetFirst();
    return first ? first->From() : nullptr;
}

bool CInterlinearProcList::HasAdaptProcs() const {
    for (const CInterlinearProc& p : *this)
        if (p.Adapt() && p.GetKind() != CInterlinearProc::Kind::Given)
            return true;
    return false;
}

bool CInterlinearProcList::HasNormalProcs() const {
    for (const CInterlinearProc& p : *this) {
        if (p.Adapt())
            return false;
        if (p.GetKind() != CInterlinearProc::Kind::Given)
            return true;
    }
    return false;
}

void CInterlinearProcList::Changed() {
    m_modified = true;
    if (m_type)
        m_type->UpdateInterlinearFlags();
}

void CInterlinearProcList::AddProc(std::unique_ptr<CInterlinearProc> proc,
                                   CInterlinearProc* before) {
    proc->SetOwner(this);
    if (before)
        InsertBefore(before, proc.release());
    else
        Add(proc.release());
    Changed();
}

bool CInterlinearProcList::DeleteProc(CInterlinearProc* proc) {
    if (!proc)
        return false;
    if (platform().Ask("Do you want to delete the interlinear process?", Buttons::YesNo) !=
        Answer::Yes)
        return false;
    Delete(proc);
    Changed();
    return true;
}

void CInterlinearProcList::ReplaceProc(CInterlinearProc* proc,
                                       std::unique_ptr<CInterlinearProc> edited) {
    edited->SetOwner(this);
    edited->PropertiesConfirmed();
    InsertAfter(proc, edited.release());
    Delete(proc);
    Changed();
}

std::unique_ptr<CInterlinearProc> CInterlinearProcList::MakeProc(CInterlinearProc::Kind kind) {
    using Kind = CInterlinearProc::Kind;
    switch (kind) {
    case Kind::Lookup:
    case Kind::Parse: {
        // New processes take the defaults the Add dialog shows; a process read from
        // settings has exactly the flags written.
        auto proc = std::make_unique<CLookupProc>(this, kind == Kind::Parse);
        proc->preferSuffix = kind == Kind::Parse;
        proc->showFailMark = true;
        return proc;
    }
    case Kind::Rearrange:
    case Kind::Generate: {
        auto proc = std::make_unique<CRearrangeProc>(this, kind == Kind::Generate);
        proc->SetAdapt(true);
        return proc;
    }
    case Kind::Given:
        return std::make_unique<CGivenProc>(this);
    }
    return nullptr;
}

void CInterlinearProcList::InvalidateIndexes() {
    for (CInterlinearProc& p : *this)
        p.InvalidateIndexes();
}

std::vector<std::pair<CMarker*, CMarker*>> CInterlinearProcList::InterlinearMarkerPairs() const {
    std::vector<std::pair<CMarker*, CMarker*>> pairs;
    for (const CInterlinearProc& p : *this)
        if (p.From() && p.To())
            pairs.emplace_back(p.From(), p.To());
    return pairs;
}

void CInterlinearProcList::OnMarkerUpdate(const CMarkerUpdate& update) {
    for (CInterlinearProc& p : *this)
        p.OnMarkerUpdate(update);
}

void CInterlinearProcList::Write(ObjectStream& os) const {
    if (IsEmpty() && m_unknown.IsEmpty())
        return;
    os.WriteBeginMarker("intprclst");
    os.WriteChar("fglst", m_fgStart);
    os.WriteChar("fglend", m_fgEnd);
    os.WriteChar("mbnd", m_mbnd);
    os.WriteString("mbrks", m_breaks);
    for (const CInterlinearProc& p : *this) {
        std::string_view kind = p.GetKind() == CInterlinearProc::Kind::Parse      ? "Lookup"
                                : p.GetKind() == CInterlinearProc::Kind::Generate ? "Rearrange"
                                                                                  : p.KindName();
        os.WriteBeginMarker("intprc", kind);
        p.WriteProperties(os);
        p.Unknown().Write(os);
        os.WriteEndMarker("intprc");
    }
    m_unknown.Write(os);
    os.WriteEndMarker("intprclst");
}

namespace {

// Reads the keys of one process up to its end line; From and To are looked up (added
// when missing) in the type's markers.
void ReadProcKeys(ObjectStream& is, CInterlinearProc& proc, CDatabaseType* type) {
    while (!is.AtEnd()) {
        std::string name;
        if (is.ReadString("From", name)) {
            if (type && !name.empty())
                proc.SetFrom(type->MarkerSet().SearchOrAdd(name));
            continue;
        }
        if (is.ReadString("To", name)) {
            if (type && !name.empty())
                proc.SetTo(type->MarkerSet().SearchOrAdd(name));
            continue;
        }
        if (type && proc.ReadProperty(is, *type))
            continue;
        // The next process begins where this one's end line is missing.
        if (is.PeekBeginMarker("intprc") || is.IsOtherEnd("intprc") || is.ReadMarker('-', "intprc"))
            break;
        proc.Unknown().Capture(is, "intprc");
    }
}

} // namespace

bool CInterlinearProcList::Read(ObjectStream& is, CNoteList&) {
    if (!is.ReadBeginMarker("intprclst"))
        return false;
    DeleteAll();
    while (!is.AtEnd()) {
        char c = 0;
        if (is.ReadChar("fglst", c)) {
            if (c)
                m_fgStart = c;
            continue;
        }
        if (is.ReadChar("fglend", c)) {
            if (c)
                m_fgEnd = c;
            continue;
        }
        if (is.ReadChar("mbnd", c)) {
            if (c)
                m_mbnd = c;
            continue;
        }
        std::string breaks;
        if (is.ReadString("mbrks", breaks)) {
            if (!breaks.empty())
                m_breaks = breaks;
            continue;
        }
        if (is.PeekBeginMarker("intprc")) {
            const std::string kind(is.PeekValue());
            std::unique_ptr<CInterlinearProc> proc;
            if (kind == "Lookup")
                proc = std::make_unique<CLookupProc>(this, false);
            else if (kind == "Rearrange")
                proc = std::make_unique<CRearrangeProc>(this, false);
            else if (kind == "Given")
                proc = std::make_unique<CGivenProc>(this);
            if (!proc) {
                // A kind of a newer version: kept whole, written after the others.
                m_unknown.Capture(is, "intprclst");
                continue;
            }
            is.SkipEntry();
            ReadProcKeys(is, *proc, m_type);
            // A process without both lines cannot run: dropped as the reader always has.
            if (proc->From() && proc->To()) {
                proc->PropertiesConfirmed();
                Add(proc.release());
            }
            continue;
        }
        if (is.IsOtherEnd("intprclst") || is.ReadMarker('-', "intprclst"))
            break;
        m_unknown.Capture(is, "intprclst");
    }
    return true;
}

CInterlinearProcList* InterlinearProcsOf(const CDatabaseType& type) {
    return dynamic_cast<CInterlinearProcList*>(type.InterlinearSettings());
}

// ---------------------------------------------------------------- Quick Setup

bool ApplyQuickSetup(CInterlinearProcList& list, const CQuickSetup& setup, std::string& error) {
    CDatabaseType* type = list.Type();
    if (!type) {
        error = "The interlinear processes belong to no database type.";
        return false;
    }
    for (const std::string* name : {&setup.textMarker, &setup.morphemeMarker, &setup.glossMarker}) {
        CNote note;
        if (!CheckMarkerName(*name, note)) {
            error = note.Text();
            return false;
        }
    }
    if (setup.lexicons.empty()) {
        error = "Choose at least one lexicon database to search.";
        return false;
    }
    CMarkerSet& markers = type->MarkerSet();
    if (!setup.morphemeBreaks.empty())
        list.SetMorphemeBreaks(setup.morphemeBreaks);
    auto lexicon = [&](CLexiconTrie& trie, const std::string& out) {
        trie.Databases().DeleteAll();
        for (const std::string& path : setup.lexicons)
            trie.Databases().Add(new CDbRef(path));
        trie.dbType = setup.lexiconType;
        trie.matchMarkers = {setup.lexiconRecordMarker};
        trie.outMarker = out;
    };
    auto parse = std::make_unique<CLookupProc>(&list, true);
    parse->SetFrom(markers.SearchOrAdd(setup.textMarker));
    parse->SetTo(markers.SearchOrAdd(setup.morphemeMarker));
    for (int k : {CLexiconTrie::kLookup, CLexiconTrie::kPrefix, CLexiconTrie::kRoot})
        lexicon(parse->Trie(k), setup.lexiconRecordMarker);
    parse->CopyAffixDatabases();
    list.AddProc(std::move(parse));
    auto gloss = std::make_unique<CLookupProc>(&list, false);
    gloss->SetFrom(markers.SearchOrAdd(setup.morphemeMarker));
    gloss->SetTo(markers.SearchOrAdd(setup.glossMarker));
    lexicon(gloss->Trie(CLexiconTrie::kLookup), setup.lexiconGloss);
    list.AddProc(std::move(gloss));
    if (!setup.posMarker.empty()) {
        auto pos = std::make_unique<CLookupProc>(&list, false);
        pos->SetFrom(markers.SearchOrAdd(setup.morphemeMarker));
        pos->SetTo(markers.SearchOrAdd(setup.posMarker));
        lexicon(pos->Trie(CLexiconTrie::kLookup), setup.lexiconPos);
        list.AddProc(std::move(pos));
    }
    return true;
}

} // namespace crv
