#include "schema/database_type_set.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/message_text.h"
#include "base/object_stream.h"
#include "base/platform.h"
#include "base/safe_file.h"
#include "schema/lang_enc_set.h"
#include "schema/marker_name.h"
#include "schema/settings_file_name.h"
#include "schema/settings_version.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kObject = "DatabaseType";

constexpr std::string_view kNotTypeFile = "%1\nis not a database type file; it is not used.";
constexpr std::string_view kDuplicate =
    "The database type %1 in %2 is already defined in %3; %2 is not used.";
constexpr std::string_view kCannotRead =
    "%1\nCannot open this database type file.\n\nPlease check whether it's already open in "
    "another program.";
constexpr std::string_view kCannotWrite = "The database type file %1 could not be written:\n%2";
constexpr std::string_view kCannotDelete = "The database type file %1 could not be deleted:\n%2";
constexpr std::string_view kNotesIn = "%1, line %2:\n%3";
constexpr std::string_view kAskTitle = "Database type %1 (%2)";
constexpr std::string_view kAskRecordMarker =
    "This database type is missing the record marker setting.  Please enter the record marker "
    "for this database type.";
constexpr std::string_view kMustEnterRecordMarker =
    "You MUST enter the record marker for this database type!";
constexpr std::string_view kNoRecordMarker =
    "The database type %1 (%2) has no record marker; it cannot be used.";
constexpr std::string_view kNameInUse =
    "There is an existing database type using this name.  Please enter a different name.";
constexpr std::string_view kAskDelete =
    "Do you want to delete the database type named \"%1\" and the settings file %2 which "
    "contains it?";
constexpr std::string_view kInUse = "The database type %1 is in use and cannot be deleted.";
constexpr std::string_view kTempWriteFailed =
    "%1\nFailed to write this temporary file.\n\nPlease check whether there's enough disk space.";
constexpr std::string_view kTempOpenFailed =
    "%1\nCannot open this temporary file.\n\nPlease check whether it's already open in another "
    "program.";
constexpr std::string_view kTypeNotFound =
    "%1\nis of database type   %2,\nbut the type file is missing from the project settings folder.";

// A type name is one line: a header line names it, and a name spread over lines (a
// damaged file) could never be matched.
std::string FirstLine(std::string_view text) {
    text = text.substr(0, text.find('\n'));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return std::string(text);
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return std::string(text);
}

// A record marker as typed: surrounding spaces and one leading backslash are allowed.
std::string RecordMarkerText(std::string_view typed) {
    std::string name = Trimmed(typed);
    if (!name.empty() && name[0] == '\\')
        name.erase(0, 1);
    return name;
}

void ShowNotes(const CNoteList& notes, const std::string& path) {
    for (const auto& note : notes)
        platform().ShowMessage(
            FormatMessage(kNotesIn, {path, std::to_string(note.FileLine()), note.Text()}));
}

} // namespace

// ---------------------------------------------------------------- proxy

CDatabaseTypeProxy::CDatabaseTypeProxy(CDatabaseTypeSet& owner, std::string name,
                                       std::string fileName, std::string version)
    : CSetEl(std::move(name)), m_owner(&owner), m_fileName(std::move(fileName)),
      m_version(std::move(version)) {}

CDatabaseTypeProxy::~CDatabaseTypeProxy() = default;

std::string CDatabaseTypeProxy::Path() const {
    if (m_fileName.empty() || m_owner->SettingsFolder().empty())
        return m_fileName;
    return (fs::path(m_owner->SettingsFolder()) / m_fileName).string();
}

CDatabaseType* CDatabaseTypeProxy::GetType() {
    if (!m_type)
        return m_owner->Load(*this);
    return m_type.get();
}

// ---------------------------------------------------------------- set

CDatabaseTypeSet::CDatabaseTypeSet(CLangEncSet& langEncs, const CTypeSettingsFactory* factory)
    : m_langEncs(&langEncs), m_folder(langEncs.SettingsFolder()), m_factory(factory) {}

CDatabaseTypeSet::~CDatabaseTypeSet() { m_proxies.DeleteAll(); }

void CDatabaseTypeSet::LoadAll() {
    if (m_folder.empty())
        return;
    for (const std::string& file : SettingsFilesIn(m_folder, ".typ"))
        AddProxyForFile(file);
}

CDatabaseTypeProxy* CDatabaseTypeSet::AddProxyForFile(const std::string& fileName) {
    for (const auto& p : m_proxies)
        if (p.FileName() == fileName)
            return nullptr; // already known (written by this set)
    std::string path = (fs::path(m_folder) / fileName).string();
    SettingsFileHeader header;
    switch (ReadSettingsFileHeader(path, kObject, header)) {
    case SettingsFileStatus::NotSettings:
        platform().ShowMessage(FormatMessage(kNotTypeFile, {path}));
        return nullptr;
    case SettingsFileStatus::CannotRead:
        platform().ShowMessage(FormatMessage(kCannotRead, {path}));
        return nullptr;
    case SettingsFileStatus::Ok:
        break;
    }
    std::string name = FirstLine(header.name);
    const std::string& version = header.version;
    if (CDatabaseTypeProxy* other = m_proxies.Search(name)) {
        platform().ShowMessage(FormatMessage(kDuplicate, {name, fileName, other->FileName()}));
        return nullptr;
    }
    auto* proxy = new CDatabaseTypeProxy(*this, name, fileName, version);
    m_proxies.Add(proxy);
    return proxy;
}

CDatabaseType* CDatabaseTypeSet::Find(std::string_view name) {
    CDatabaseTypeProxy* proxy = m_proxies.Search(name);
    return proxy ? proxy->GetType() : nullptr;
}

CDatabaseType* CDatabaseTypeSet::Load(CDatabaseTypeProxy& proxy) {
    std::string path = proxy.Path();
    auto type = std::make_unique<CDatabaseType>(*m_langEncs, proxy.Name(), &proxy, m_factory);
    std::ifstream file;
    std::error_code ec;
    if (!proxy.FileName().empty() && fs::is_regular_file(path, ec))
        file.open(path, std::ios::binary);
    if (!file.is_open()) {
        if (!proxy.FileName().empty() && fs::exists(path, ec)) {
            // Settings we cannot see must not be replaced by a type made without them.
            platform().ShowMessage(FormatMessage(kCannotRead, {path}));
            return nullptr;
        }
        // The file is gone: the type is made again around a record marker and saved.
        if (!AskRecordMarker(*type, path))
            return nullptr;
        type->SetModified(true);
        proxy.m_type = std::move(type);
        Write(*proxy.m_type);
        return proxy.m_type.get();
    }
    ObjectStream in(file);
    std::string ignored;
    CNoteList notes;
    try {
        if (!in.AtBackslash() || !in.ReadBeginMarker(kObject, ignored)) {
            platform().ShowMessage(FormatMessage(kNotTypeFile, {path}));
            return nullptr;
        }
        type->Read(in, notes);
    } catch (const std::ios_base::failure&) {
        // The file stream reports a failing disk by throwing.
        platform().ShowMessage(FormatMessage(kCannotRead, {path}));
        return nullptr;
    }
    bool hasRecordMarker = type->FinishReading(notes);
    ShowNotes(notes, path);
    if (!hasRecordMarker && !AskRecordMarker(*type, path))
        return nullptr;
    proxy.m_type = std::move(type);
    return proxy.m_type.get();
}

bool CDatabaseTypeSet::AskRecordMarker(CDatabaseType& type, const std::string& path) {
    TextRequest request;
    request.title = FormatMessage(kAskTitle, {type.Name(), path});
    request.prompt = std::string(kAskRecordMarker);
    // The marker set keeps the record marker's name for reference: offer it.
    request.initial = type.MarkerSet().RecordMarkerNameRead();
    for (;;) {
        std::optional<std::string> typed = platform().InputText(request);
        if (!typed) {
            platform().ShowMessage(FormatMessage(kNoRecordMarker, {type.Name(), path}));
            return false;
        }
        request.initial = *typed;
        std::string name = RecordMarkerText(*typed);
        if (name.empty()) {
            platform().ShowMessage(kMustEnterRecordMarker);
            continue;
        }
        CNote error;
        if (type.SetRecordMarkerName(name, error))
            return true;
        platform().ShowMessage(error.Text());
    }
}

// ---------------------------------------------------------------- new types

bool CDatabaseTypeSet::CheckTypeName(std::string_view name) const {
    CNote error;
    if (name.empty()) {
        platform().ShowMessage(CNote(kNoteExpectingName).Text());
        return false;
    }
    // One line: the header line of every database of the type names it.
    std::size_t bad = name.find_first_of("\n\r\t");
    if (bad != std::string_view::npos) {
        platform().ShowMessage(CNote(kNoteNotExpectingChar, name.substr(bad, 1)).Text());
        return false;
    }
    if (m_proxies.Search(name)) {
        platform().ShowMessage(kNameInUse);
        return false;
    }
    return true;
}

CDatabaseTypeSet::NewTypeField CDatabaseTypeSet::CheckNewType(std::string_view name,
                                                              std::string_view recordMarker) const {
    if (!CheckTypeName(Trimmed(name)))
        return NewTypeField::Name;
    std::string marker = RecordMarkerText(recordMarker);
    if (marker.empty()) {
        platform().ShowMessage(kMustEnterRecordMarker);
        return NewTypeField::RecordMarker;
    }
    CNote error;
    if (!CheckMarkerName(marker, error)) {
        platform().ShowMessage(error.Text());
        return NewTypeField::RecordMarker;
    }
    return NewTypeField::None;
}

std::unique_ptr<CDatabaseTypeProxy> CDatabaseTypeSet::NewProxy(const std::string& name,
                                                               std::string_view fileBase) {
    std::string fileName;
    if (!m_folder.empty()) {
        std::vector<std::string> taken;
        for (const auto& p : m_proxies)
            taken.push_back(p.FileName());
        fileName = MakeSettingsFileName(m_folder, fileBase, ".typ", taken);
    }
    return std::make_unique<CDatabaseTypeProxy>(*this, name, fileName,
                                                std::string(kSettingsVersion));
}

CDatabaseType* CDatabaseTypeSet::Join(std::unique_ptr<CDatabaseTypeProxy> proxy) {
    CDatabaseTypeProxy* p = proxy.release();
    m_proxies.Add(p);
    p->m_type->SetModified(true);
    Write(*p->m_type);
    return p->m_type.get();
}

CDatabaseType* CDatabaseTypeSet::Add(std::string_view name, std::string_view recordMarker,
                                     const std::function<bool(CDatabaseType&)>& editProperties) {
    if (CheckNewType(name, recordMarker) != NewTypeField::None)
        return nullptr;
    std::string typeName = Trimmed(name);
    auto proxy = NewProxy(typeName, typeName);
    proxy->m_type = std::make_unique<CDatabaseType>(*m_langEncs, typeName, proxy.get(), m_factory);
    CNote error;
    proxy->m_type->SetRecordMarkerName(RecordMarkerText(recordMarker), error);
    if (editProperties && !editProperties(*proxy->m_type))
        return nullptr;
    return Join(std::move(proxy));
}

CDatabaseType* CDatabaseTypeSet::Copy(const CDatabaseType& source, std::string_view newName) {
    std::string typeName = Trimmed(newName);
    if (!CheckTypeName(typeName))
        return nullptr;
    auto proxy = NewProxy(typeName, typeName);
    proxy->m_type = std::make_unique<CDatabaseType>(*m_langEncs, typeName, proxy.get(), m_factory);
    auto readBack = [&](std::istream& text) {
        ObjectStream in(text);
        CNoteList notes;
        if (in.ReadBeginMarker(kObject))
            proxy->m_type->Read(in, notes);
        proxy->m_type->FinishReading(notes);
        ShowNotes(notes, typeName);
    };
    if (m_folder.empty()) {
        std::ostringstream written;
        ObjectStream out(written);
        source.Write(out);
        std::istringstream text(written.str());
        readBack(text);
    } else {
        std::string temp =
            (fs::path(m_folder) / MakeSettingsFileName(m_folder, "typ", ".tmp")).string();
        SafeWriteResult written = WriteFileSafely(temp, [&](std::ostream& os) {
            ObjectStream out(os);
            source.Write(out);
            return true;
        });
        if (!written) {
            platform().ShowMessage(FormatMessage(kTempWriteFailed, {temp}));
            return nullptr;
        }
        std::ifstream text(temp, std::ios::binary);
        std::error_code ec;
        if (!text) {
            platform().ShowMessage(FormatMessage(kTempOpenFailed, {temp}));
            fs::remove(temp, ec);
            return nullptr;
        }
        readBack(text);
        text.close();
        fs::remove(temp, ec);
    }
    return Join(std::move(proxy));
}

bool CDatabaseTypeSet::Delete(CDatabaseTypeProxy* proxy) {
    if (!proxy || &proxy->Owner() != this)
        return false;
    if (proxy->RefCount() > 0) {
        platform().ShowMessage(FormatMessage(kInUse, {proxy->Name()}));
        return false;
    }
    if (platform().Ask(FormatMessage(kAskDelete, {proxy->Name(), proxy->FileName()}),
                       Buttons::YesNo) != Answer::Yes)
        return false;
    if (!proxy->FileName().empty() && !m_folder.empty()) {
        std::error_code ec;
        fs::remove(proxy->Path(), ec);
        if (ec) {
            platform().ShowMessage(FormatMessage(kCannotDelete, {proxy->Path(), ec.message()}));
            return false;
        }
    }
    m_proxies.Delete(proxy);
    return true;
}

CDatabaseType* CDatabaseTypeSet::CreateByProgram(std::string_view name,
                                                 std::string_view recordMarker,
                                                 std::string_view fileBase,
                                                 std::string description) {
    if (CDatabaseTypeProxy* existing = m_proxies.Search(name))
        return existing->GetType();
    auto proxy = NewProxy(std::string(name), fileBase);
    proxy->m_type =
        std::make_unique<CDatabaseType>(*m_langEncs, std::string(name), proxy.get(), m_factory);
    CNote error;
    bool ok = proxy->m_type->SetRecordMarkerName(recordMarker, error);
    CRV_ASSERT(ok);
    if (!ok)
        return nullptr;
    proxy->m_type->SetDescription(std::move(description));
    return Join(std::move(proxy));
}

bool CDatabaseTypeSet::Write(CDatabaseType& type) {
    CDatabaseTypeProxy* proxy = type.Proxy();
    if (!proxy || proxy->FileName().empty() || m_folder.empty())
        return true; // kept in memory only
    std::string path = proxy->Path();
    SafeWriteResult r = WriteFileSafely(path, [&](std::ostream& os) {
        ObjectStream out(os);
        type.Write(out);
        return true;
    });
    if (!r) {
        platform().ShowMessage(FormatMessage(kCannotWrite, {path, r.error}));
        return false;
    }
    proxy->m_version = std::string(kSettingsVersion);
    type.SetModified(false);
    return true;
}

bool CDatabaseTypeSet::WriteAllModified() {
    bool ok = true;
    for (auto& p : m_proxies)
        if (p.m_type && p.m_type->IsModified())
            ok = Write(*p.m_type) && ok;
    return ok;
}

// ---------------------------------------------------------------- generated types

std::string WordListTypeDescription(std::string_view langEncName) {
    return FormatMessage(
        "This database type was generated by Corvane for wordlist databases using the %1 language.",
        {langEncName});
}

std::string ConcordanceTypeDescription(std::string_view langEncName,
                                       std::string_view refLangEncName) {
    return FormatMessage("This database type was generated by Corvane for concordance databases "
                         "using the %1 language.\n(References sorted by the %2 language)",
                         {langEncName, refLangEncName});
}

// ---------------------------------------------------------------- the type of a database

DatabaseTypeOfFile FindDatabaseTypeOfFile(const std::string& path, CDatabaseTypeSet& types) {
    using Status = DatabaseTypeOfFile::Status;
    DatabaseTypeOfFile result;
    std::error_code ec;
    std::ifstream in;
    if (!fs::is_directory(path, ec)) // a folder opens as a stream that fails to read
        in.open(path, std::ios::binary);
    if (!in.is_open()) {
        result.status = Status::CannotOpen;
        return result;
    }
    switch (ReadHeader(in, result.header)) {
    case HeaderStatus::NoHeader:
        result.status = Status::NoHeader;
        return result;
    case HeaderStatus::TooLarge:
        result.status = Status::TooLarge;
        return result;
    case HeaderStatus::Found:
        break;
    }
    CDatabaseTypeProxy* proxy = types.FindProxy(result.header.typeName);
    if (!proxy) {
        result.status = Status::TypeMissing;
        return result;
    }
    result.type = proxy->GetType();
    result.status = result.type ? Status::Found : Status::TypeNotLoaded;
    return result;
}

std::string DatabaseTypeNotFoundText(std::string_view path, std::string_view typeName) {
    return FormatMessage(kTypeNotFound, {path, typeName});
}

} // namespace crv
