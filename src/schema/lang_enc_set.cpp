#include "schema/lang_enc_set.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/message_text.h"
#include "base/object_stream.h"
#include "base/safe_file.h"
#include "schema/settings_file_name.h"
#include "schema/settings_version.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDefaultName = "Default";
constexpr std::string_view kNotEncodingFile =
    "%1\nis not a language encoding file; it is not used.";
constexpr std::string_view kCannotRead = "The language encoding file %1 could not be read.\nThe "
                                         "encoding %2 has default sort order only.";
constexpr std::string_view kDuplicate =
    "The language encoding %1 in %2 is already defined in %3; %2 is not used.";
constexpr std::string_view kCannotWrite = "The language encoding file %1 could not be written:\n%2";
constexpr std::string_view kCannotDelete =
    "The language encoding file %1 could not be deleted:\n%2";
constexpr std::string_view kAskDelete = "Do you want to delete the language encoding named \"%1\" "
                                        "and the settings file %2 which contains it?";
constexpr std::string_view kInUse = "The language encoding %1 is in use and cannot be deleted.";

void ShowNotes(const CNoteList& notes) {
    for (const auto& note : notes)
        platform().ShowMessage(note.Text());
}

} // namespace

std::string CLangEncProxy::Path() const {
    if (m_fileName.empty() || m_owner->SettingsFolder().empty())
        return m_fileName;
    return (fs::path(m_owner->SettingsFolder()) / m_fileName).string();
}

CLangEnc* CLangEncProxy::GetLangEnc() {
    if (!m_langEnc)
        m_owner->Load(*this);
    return m_langEnc.get();
}

CLangEncSet::CLangEncSet(std::string settingsFolder) : m_folder(std::move(settingsFolder)) {}

CLangEncSet::~CLangEncSet() {
    m_default.Reset(nullptr);
    m_proxies.DeleteAll();
}

int CLangEncSet::AllocateSlot() {
    auto it = std::find(m_slotsInUse.begin(), m_slotsInUse.end(), false);
    auto slot = static_cast<int>(it - m_slotsInUse.begin());
    if (it == m_slotsInUse.end())
        m_slotsInUse.push_back(true);
    else
        *it = true;
    return slot;
}

void CLangEncSet::FreeSlot(int slot) {
    if (slot < 0 || static_cast<std::size_t>(slot) >= m_slotsInUse.size())
        return;
    m_slotsInUse[static_cast<std::size_t>(slot)] = false;
    m_varNames.ClearSlot(slot);
}

void CLangEncSet::LoadAll() {
    if (!m_folder.empty())
        for (const std::string& file : SettingsFilesIn(m_folder, ".lng"))
            AddProxyForFile(file);
    Default();
}

CLangEncProxy* CLangEncSet::AddProxyForFile(const std::string& fileName) {
    for (const auto& p : m_proxies)
        if (p.FileName() == fileName)
            return nullptr; // already known (written by this set)
    std::string path = (fs::path(m_folder) / fileName).string();
    SettingsFileHeader header;
    if (ReadSettingsFileHeader(path, "LanguageEncoding", header) != SettingsFileStatus::Ok) {
        platform().ShowMessage(FormatMessage(kNotEncodingFile, {path}));
        return nullptr;
    }
    const std::string& name = header.name;
    const std::string& version = header.version;
    if (CLangEncProxy* other = m_proxies.Search(name)) {
        platform().ShowMessage(FormatMessage(kDuplicate, {name, fileName, other->FileName()}));
        return nullptr;
    }
    auto* proxy = new CLangEncProxy(*this, name, fileName, version);
    m_proxies.Add(proxy);
    return proxy;
}

CLangEnc* CLangEncSet::Load(CLangEncProxy& proxy) {
    proxy.m_langEnc = std::make_unique<CLangEnc>(*this, proxy.Name(), &proxy);
    CLangEnc* enc = proxy.m_langEnc.get();
    std::string path = proxy.Path();
    std::ifstream file(path, std::ios::binary);
    ObjectStream in(file);
    std::string ignored;
    if (proxy.FileName().empty() || !file || !in.AtBackslash() ||
        !in.ReadBeginMarker("LanguageEncoding", ignored)) {
        if (!proxy.FileName().empty())
            platform().ShowMessage(FormatMessage(kCannotRead, {path, proxy.Name()}));
        // Keys still need an order: the encoding gets one with default properties.
        enc->SortOrders().AddDefaultSortOrder();
        return enc;
    }
    CNoteList notes;
    enc->Read(in, notes, path);
    notes.insert(notes.end(), in.Notes().begin(), in.Notes().end());
    ShowNotes(notes);
    return enc;
}

CLangEnc* CLangEncSet::Find(std::string_view name) {
    CLangEncProxy* proxy = m_proxies.Search(name);
    return proxy ? proxy->GetLangEnc() : nullptr;
}

CLangEnc* CLangEncSet::FindOrCreate(std::string_view name) {
    if (CLangEnc* e = Find(name))
        return e;
    return Create(name);
}

CLangEnc* CLangEncSet::Default() {
    if (!m_default)
        m_default = FindOrCreate(kDefaultName);
    return m_default.Get();
}

CLangEnc* CLangEncSet::Add(std::string_view name, CNote& error) {
    if (!m_proxies.CheckNewName(name, error))
        return nullptr;
    return Create(name);
}

CLangEnc* CLangEncSet::Copy(const CLangEnc& source, std::string_view name, CNote& error) {
    if (!m_proxies.CheckNewName(name, error))
        return nullptr;
    std::ostringstream text;
    ObjectStream out(text);
    source.Write(out);
    return Create(name, text.str());
}

CLangEnc* CLangEncSet::Create(std::string_view name) {
    return Create(name, CLangEnc::DefaultSettingsText(name));
}

CLangEnc* CLangEncSet::Create(std::string_view name, const std::string& settingsText) {
    std::string fileName;
    if (!m_folder.empty()) {
        std::vector<std::string> taken;
        for (const auto& p : m_proxies)
            taken.push_back(p.FileName());
        fileName = MakeSettingsFileName(m_folder, name, ".lng", taken);
    }
    auto* proxy =
        new CLangEncProxy(*this, std::string(name), fileName, std::string(kSettingsVersion));
    m_proxies.Add(proxy);
    proxy->m_langEnc = std::make_unique<CLangEnc>(*this, std::string(name), proxy);
    CLangEnc* enc = proxy->m_langEnc.get();
    std::istringstream text(settingsText);
    ObjectStream in(text);
    in.ReadBeginMarker("LanguageEncoding");
    CNoteList notes;
    enc->Read(in, notes);
    ShowNotes(notes);
    CLangEncUpdate update;
    update.langEnc = enc;
    m_hub.Broadcast(update);
    proxy->SetModified();
    if (!m_folder.empty())
        Write(enc);
    return enc;
}

bool CLangEncSet::Write(CLangEnc* enc) {
    CLangEncProxy* proxy = enc ? enc->Proxy() : nullptr;
    if (!proxy || proxy->FileName().empty() || m_folder.empty())
        return true; // kept in memory only
    std::string path = proxy->Path();
    SafeWriteResult r = WriteFileSafely(path, [&](std::ostream& os) {
        ObjectStream out(os);
        enc->Write(out);
        return true;
    });
    if (!r) {
        platform().ShowMessage(FormatMessage(kCannotWrite, {path, r.error}));
        return false;
    }
    proxy->SetModified(false);
    return true;
}

bool CLangEncSet::WriteAllModified() {
    bool ok = true;
    for (auto& p : m_proxies)
        if (p.IsModified() && p.IsLoaded())
            ok = Write(p.m_langEnc.get()) && ok;
    return ok;
}

void CLangEncSet::NotifyChanged(CLangEnc* enc, CSortOrder* sortOrder) {
    if (enc && enc->Proxy())
        enc->Proxy()->SetModified();
    CLangEncUpdate update;
    update.langEnc = enc;
    update.sortOrder = sortOrder;
    m_hub.Broadcast(update);
}

bool CLangEncSet::Delete(CLangEnc* enc) {
    CLangEncProxy* proxy = enc ? enc->Proxy() : nullptr;
    if (!proxy)
        return false;
    // Markers and indexes hold the encodings they use; the set holds "Default" itself.
    if (enc->Name() == kDefaultName || enc->RefCount() > 0) {
        platform().ShowMessage(FormatMessage(kInUse, {enc->Name()}));
        return false;
    }
    if (platform().Ask(FormatMessage(kAskDelete, {enc->Name(), proxy->FileName()}),
                       Buttons::YesNo) != Answer::Yes)
        return false;
    // The file goes first: an encoding whose file stays must stay too.
    if (!proxy->FileName().empty() && !m_folder.empty()) {
        std::error_code ec;
        fs::remove(proxy->Path(), ec);
        if (ec) {
            platform().ShowMessage(FormatMessage(kCannotDelete, {proxy->Path(), ec.message()}));
            return false;
        }
    }
    CLangEncUpdate update;
    update.langEnc = enc;
    update.deleted = true;
    m_hub.Broadcast(update);
    m_proxies.Delete(proxy);
    return true;
}

} // namespace crv
