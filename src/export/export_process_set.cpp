// The settings form of an export set, inside its database type:
//   \+expset
//   \+expSF NAME ... \-expSF    \+expRTF NAME ... \-expRTF    \+expPLX NAME ... \-expPLX
//   \expDefault NAME  \CurrentRecord  \CurrentWindow  \AutoOpen  \NotAutoUpdateStyles
//   \SkipProperties  \PLX  \NoPLXReminder
//   \-expset
#include "export/export_process_set.h"

#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "base/message_text.h"
#include "base/platform.h"
#include "export/plx_process.h"
#include "schema/database_type.h"

namespace crv {

namespace {

constexpr std::string_view kObject = "expset";
constexpr std::pair<std::string_view, CExportProcess::Kind> kProcesses[] = {
    {"expSF", CExportProcess::Kind::StandardFormat},
    {"expRTF", CExportProcess::Kind::RichText},
    {"expPLX", CExportProcess::Kind::Dictionary},
};

constexpr std::string_view kNoName = "Please give this export process a name.";
constexpr std::string_view kNameUsed = "%1\nAnother export process already has this name.\n\n"
                                       "Please give this export process a different name.";
constexpr std::string_view kDeleteQuestion = "%1\n\nDo you want to delete this export process?";

std::string_view DefaultNameOf(CExportProcess::Kind kind) {
    switch (kind) {
    case CExportProcess::Kind::StandardFormat:
        return CExportProcessSet::kStandardFormat;
    case CExportProcess::Kind::RichText:
        return CExportProcessSet::kRichText;
    case CExportProcess::Kind::Dictionary:
        return CExportProcessPLX::kDefaultName;
    }
    return CExportProcessSet::kStandardFormat;
}

// Marker names of an older excluded-fields setting: "\mkr" lines of its object, or the
// names in the key's value.
std::vector<std::string> MarkerNamesOf(ObjectStream& is, std::string_view key) {
    std::vector<std::string> names;
    auto addWords = [&](std::string_view text) {
        std::size_t i = 0;
        while (i < text.size()) {
            std::size_t start = text.find_first_not_of(" \t\n", i);
            if (start == std::string_view::npos)
                break;
            std::size_t end = text.find_first_of(" \t\n", start);
            if (end == std::string_view::npos)
                end = text.size();
            names.emplace_back(text.substr(start, end - start));
            i = end;
        }
    };
    if (!key.starts_with("+")) {
        addWords(is.PeekValue());
        is.SkipEntry();
        return names;
    }
    std::string name(key.substr(1));
    is.SkipEntry();
    while (!AtObjectEnd(is, name)) {
        if (!is.Overflow() && !is.IsBeginOrEnd())
            addWords(is.PeekValue());
        is.SkipObject();
    }
    return names;
}

} // namespace

std::unique_ptr<CExportProcess> MakeExportProcess(CExportProcess::Kind kind,
                                                  CExportProcessSet& owner, std::string name) {
    switch (kind) {
    case CExportProcess::Kind::StandardFormat:
        return std::make_unique<CExportProcessSF>(owner, std::move(name));
    case CExportProcess::Kind::RichText:
        return std::make_unique<CExportProcessRTF>(owner, std::move(name));
    case CExportProcess::Kind::Dictionary:
        return std::make_unique<CExportProcessPLX>(owner, std::move(name));
    }
    return nullptr;
}

CExportProcessSet::CExportProcessSet(CDatabaseType& type) : m_type(&type) {
    EnsureStandardProcesses();
}

CExportProcessSet::~CExportProcessSet() { m_processes.DeleteAll(); }

CMarkerSet& CExportProcessSet::Markers() const { return m_type->MarkerSet(); }

CExportProcess* CExportProcessSet::DefaultProcess() const {
    if (CExportProcess* p = Find(m_defaultName))
        return p;
    if (CExportProcess* p = Find(kStandardFormat))
        return p;
    return m_processes.GetFirst();
}

void CExportProcessSet::SetDefaultProcess(const CExportProcess* process) {
    std::string name = process ? process->Name() : std::string();
    if (name == m_defaultName)
        return;
    m_defaultName = name;
    m_modified = true;
}

void CExportProcessSet::SetOptions(const ExportOptions& options) {
    if (options == m_options)
        return;
    m_options = options;
    m_modified = true;
}

bool CExportProcessSet::HasDictionaryFormatter() const {
    for (const CExportProcess& p : m_processes)
        if (p.GetKind() == CExportProcess::Kind::Dictionary)
            return true;
    return false;
}

bool CExportProcessSet::CheckName(std::string_view name, const CExportProcess* except,
                                  std::string& message) const {
    if (name.empty()) {
        message = kNoName;
        return false;
    }
    const CExportProcess* other = Find(name);
    if (other && other != except) {
        message = FormatMessage(kNameUsed, {name});
        return false;
    }
    return true;
}

CExportProcess* CExportProcessSet::Add(std::unique_ptr<CExportProcess> process) {
    if (!process)
        return nullptr;
    CRV_ASSERT(&process->Owner() == this);
    std::string name =
        process->Name().empty() ? std::string(DefaultNameOf(process->GetKind())) : process->Name();
    if (Find(name))
        name = m_processes.MakeUniqueName(name);
    CExportProcess* p = process.release();
    m_processes.Add(p);
    if (p->Name() != name)
        m_processes.Rename(p, name);
    m_modified = true;
    return p;
}

CExportProcess* CExportProcessSet::Copy(const CExportProcess& process) {
    return Add(process.Clone(m_processes.MakeUniqueName(process.Name())));
}

bool CExportProcessSet::Rename(CExportProcess* process, std::string_view name,
                               std::string& message) {
    if (!CheckName(name, process, message))
        return false;
    if (process->Name() == name)
        return true;
    bool wasDefault = process->Name() == m_defaultName;
    m_processes.Rename(process, name);
    if (wasDefault)
        m_defaultName = name;
    m_modified = true;
    return true;
}

bool CExportProcessSet::Delete(CExportProcess* process) {
    if (!process)
        return false;
    if (platform().Ask(FormatMessage(kDeleteQuestion, {process->Name()}), Buttons::YesNo) !=
        Answer::Yes)
        return false;
    m_processes.Delete(process);
    m_modified = true;
    return true;
}

void CExportProcessSet::Discard(CExportProcess* process) {
    if (!process)
        return;
    if (m_defaultName == process->Name())
        m_defaultName.clear();
    m_processes.Delete(process);
    m_modified = true;
}

void CExportProcessSet::SetDictionaryFormatter(bool on) {
    if (on == HasDictionaryFormatter())
        return;
    if (on) {
        auto p = std::make_unique<CExportProcessPLX>(*this,
                                                     std::string(CExportProcessPLX::kDefaultName));
        p->ExcludeDefaultFields();
        Add(std::move(p));
        return;
    }
    for (CExportProcess* p = m_processes.GetFirst(); p;) {
        CExportProcess* next = m_processes.GetNext(p);
        if (p->GetKind() == CExportProcess::Kind::Dictionary)
            m_processes.Delete(p);
        p = next;
    }
    m_modified = true;
}

void CExportProcessSet::EnsureStandardProcesses() {
    if (!Find(kStandardFormat))
        m_processes.Add(new CExportProcessSF(*this, std::string(kStandardFormat)));
    if (!Find(kRichText))
        m_processes.Add(new CExportProcessRTF(*this, std::string(kRichText)));
}

// ---------------------------------------------------------------- settings

CExportProcess* CExportProcessSet::ReadProcess(ObjectStream& is, CExportProcess::Kind kind,
                                               std::string_view key) {
    std::string name;
    is.ReadBeginMarker(key, name);
    if (name.empty())
        name = DefaultNameOf(kind);
    auto process = MakeExportProcess(kind, *this, name);
    process->Read(is);
    // A name read twice is made unique, so that neither process is lost.
    CExportProcess* p = Add(std::move(process));
    return p;
}

bool CExportProcessSet::ReadSetEntry(ObjectStream& is) {
    for (const auto& [key, kind] : kProcesses)
        if (is.PeekBeginMarker(key)) {
            ReadProcess(is, kind, key);
            return true;
        }
    struct Flag {
        std::string_view key;
        bool ExportOptions::*member;
        bool value;
    };
    static constexpr Flag kFlags[] = {
        {"CurrentRecord", &ExportOptions::currentRecord, true},
        {"CurrentWindow", &ExportOptions::currentWindow, true},
        {"AutoOpen", &ExportOptions::autoOpen, true},
        {"NotAutoUpdateStyles", &ExportOptions::autoUpdateStyles, false},
        {"SkipProperties", &ExportOptions::showProperties, false},
        {"NoPLXReminder", &ExportOptions::noDictionaryReminder, true},
    };
    bool flag = false;
    for (const Flag& f : kFlags)
        if (is.ReadBool(f.key, flag)) {
            m_options.*f.member = f.value;
            return true;
        }
    // PLX is derived from the processes read.
    return is.ReadString("expDefault", m_defaultName) || is.ReadBool("PLX", flag);
}

bool CExportProcessSet::Read(ObjectStream& is, CNoteList&) {
    if (!is.ReadBeginMarker(kObject))
        return false;
    m_processes.DeleteAll();
    m_defaultName.clear();
    m_options = ExportOptions();
    ReadingObject reading(is, kObject);
    while (!AtObjectEnd(is, kObject)) {
        if (is.Overflow())
            is.SkipEntry();
        else if (!ReadSetEntry(is))
            m_unknown.Capture(is, kObject);
    }
    EnsureStandardProcesses();
    m_modified = false;
    return true;
}

void CExportProcessSet::Write(ObjectStream& os) const {
    os.WriteBeginMarker(kObject);
    for (const CExportProcess& p : m_processes)
        p.Write(os);
    os.WriteString("expDefault", m_defaultName);
    os.WriteBool("CurrentRecord", m_options.currentRecord);
    os.WriteBool("CurrentWindow", m_options.currentWindow);
    os.WriteBool("AutoOpen", m_options.autoOpen);
    os.WriteBool("NotAutoUpdateStyles", !m_options.autoUpdateStyles);
    os.WriteBool("SkipProperties", !m_options.showProperties);
    os.WriteBool("PLX", HasDictionaryFormatter());
    os.WriteBool("NoPLXReminder", m_options.noDictionaryReminder);
    m_unknown.Write(os);
    os.WriteEndMarker(kObject);
}

void CExportProcessSet::FinishReading(CNoteList&) {
    for (CExportProcess& p : m_processes)
        p.FinishReading();
}

void CExportProcessSet::ReadOlderEntries(std::string_view entries, CNoteList&) {
    if (entries.empty())
        return;
    std::string text(entries);
    std::istringstream in(text);
    ObjectStream is(in);
    // What is read here is written back inside the set and its processes; the stream is
    // this function's own, so the marks go with it.
    is.PushOpenObject(kObject);
    for (const auto& [key, kind] : kProcesses)
        is.PushOpenObject(key);
    auto* sf = dynamic_cast<CExportProcessSF*>(Find(kStandardFormat));
    auto* rtf = dynamic_cast<CExportProcessRTF*>(Find(kRichText));
    CRV_ASSERT(sf && rtf);
    if (!sf || !rtf)
        return;
    bool makeChanges = false, exportPlx = false, exportRtf = false, pageSetupRead = false;
    std::string table, tableEntry;
    while (!is.AtEnd()) {
        if (is.Overflow()) {
            is.SkipEntry();
            continue;
        }
        bool flag = false;
        std::string_view key = is.PeekKey();
        // An end line met here closes nothing of the set's: kept, it would end the set
        // early when the file is read again.
        if (key.starts_with("-")) {
            is.SkipEntry();
            continue;
        }
        if (key == "mrfsetExportFieldsExcluded" || key == "+mrfsetExportFieldsExcluded") {
            for (const std::string& name : MarkerNamesOf(is, key))
                if (const CMarker* m = Markers().Search(name)) {
                    sf->Fields().SetIncluded(m, false);
                    rtf->Fields().SetIncluded(m, false);
                }
            continue;
        }
        if (key == "zttExportSF") {
            table = is.PeekValue();
            tableEntry = is.PeekRawEntry();
            is.SkipEntry();
            continue;
        }
        if (!pageSetupRead && is.PeekBeginMarker("rtfPageSetup")) {
            pageSetupRead = rtf->pageSetup.Read(is);
            continue;
        }
        if (is.ReadBool("MakeChangesExportSF", flag))
            makeChanges = true;
        else if (is.ReadBool("IncludeFormatting", flag))
            rtf->markerFont = true;
        else if (is.ReadBool("ExportPLX", flag))
            exportPlx = true;
        else if (is.ReadBool("ExportRTF", flag))
            exportRtf = true;
        // The set's own entries (the old dictionary formatter object among them) mean
        // here what they mean inside it.
        else if (!ReadSetEntry(is))
            m_unknown.Capture(is, kObject); // as the set's own reader will take it
    }
    if (makeChanges) {
        sf->changeTable = table;
    } else if (!tableEntry.empty()) {
        // A table named but switched off stays with the process, as it was in the type.
        sf->KeepEntry(tableEntry);
    }
    const CExportProcess* plx = nullptr;
    for (const CExportProcess& p : m_processes)
        if (!plx && p.GetKind() == CExportProcess::Kind::Dictionary)
            plx = &p;
    m_defaultName = exportPlx && plx ? plx->Name() : exportRtf ? rtf->Name() : sf->Name();
}

CExportProcessSet* ExportSetOf(const CDatabaseType& type) {
    return dynamic_cast<CExportProcessSet*>(type.ExportSet());
}

} // namespace crv
