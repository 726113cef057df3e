// The project's language encodings: one proxy per .lng file of the settings folder, each
// loading its encoding on first use; the project-wide variable names and unit slots; the
// change notices of encodings and sort orders.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/counted_ref.h"
#include "base/set.h"
#include "schema/keyboard.h"
#include "schema/lang_enc.h"
#include "schema/update_notice.h"
#include "schema/var.h"

namespace crv {

class CLangEncSet;

class CLangEncProxy : public CSetEl {
public:
    CLangEncProxy(CLangEncSet& owner, std::string name, std::string fileName, std::string version)
        : CSetEl(std::move(name)), m_owner(&owner), m_fileName(std::move(fileName)),
          m_version(std::move(version)) {}

    CLangEncSet& Owner() const { return *m_owner; }
    // File name inside the settings folder; empty for an encoding kept only in memory.
    const std::string& FileName() const { return m_fileName; }
    std::string Path() const;
    const std::string& Version() const { return m_version; }
    // The encoding, read from its file on first use.
    CLangEnc* GetLangEnc();
    bool IsLoaded() const { return m_langEnc != nullptr; }

    void AddRef() { ++m_refs; }
    void Release() { --m_refs; }
    int RefCount() const { return m_refs; }

    bool IsModified() const { return m_modified; }
    void SetModified(bool b = true) { m_modified = b; }

private:
    friend class CLangEncSet;
    CLangEncSet* m_owner;
    std::string m_fileName;
    std::string m_version;
    std::unique_ptr<CLangEnc> m_langEnc;
    int m_refs = 0;
    bool m_modified = false;
};

class CLangEncSet {
public:
    // An empty folder keeps every encoding in memory only (no files are read or written).
    explicit CLangEncSet(std::string settingsFolder = {});
    ~CLangEncSet();
    CLangEncSet(const CLangEncSet&) = delete;
    CLangEncSet& operator=(const CLangEncSet&) = delete;

    const std::string& SettingsFolder() const { return m_folder; }
    // The settings folder moved (a project saved in another folder with copies of its
    // files): files are read and written there from now on.
    void Relocate(std::string folder) { m_folder = std::move(folder); }

    // Scans the settings folder for .lng files, adds a proxy for each, then makes sure the
    // encoding "Default" exists. Problems are shown as messages.
    void LoadAll();
    // The encoding of that name (loaded on first use), or null.
    CLangEnc* Find(std::string_view name);
    // The encoding of that name; when missing, one with default properties is created,
    // added, announced and written to a new .lng file at once.
    CLangEnc* FindOrCreate(std::string_view name);
    // The encoding named "Default".
    CLangEnc* Default();
    const CSet<CLangEncProxy>& Proxies() const { return m_proxies; }
    CLangEncProxy* FindProxy(std::string_view name) const { return m_proxies.Search(name); }

    // Adds a new encoding with default properties under a name not yet used; null with
    // the reason in error otherwise.
    CLangEnc* Add(std::string_view name, CNote& error);
    // Adds a new encoding with the properties of source under a name not yet used.
    CLangEnc* Copy(const CLangEnc& source, std::string_view name, CNote& error);
    // Asks, then deletes the encoding's file and the encoding. Refused (false, with a
    // message) while anything holds the encoding, and for "Default".
    bool Delete(CLangEnc* langEnc);
    // Writes the encoding to its file (a temporary file renamed over it). False, with a
    // message, when that fails.
    bool Write(CLangEnc* langEnc);
    // Writes every modified encoding; false when one could not be written.
    bool WriteAllModified();
    // Marks the encoding modified and tells every listener (sortOrder: which one changed).
    void NotifyChanged(CLangEnc* langEnc, CSortOrder* sortOrder = nullptr);

    CVarNameSet& VarNames() { return m_varNames; }
    CKeyboardList& Keyboards() { return m_keyboards; }
    // Change notices of markers, encodings and sort orders travel through the project's
    // hub, which the encoding set carries because every marker set can reach it.
    CUpdateHub& UpdateHub() { return m_hub; }

    // Unit slots for variable membership bits: the lowest free one, and its return.
    int AllocateSlot();
    void FreeSlot(int slot);

private:
    friend class CLangEncProxy;
    CLangEncProxy* AddProxyForFile(const std::string& fileName);
    CLangEnc* Load(CLangEncProxy& proxy);
    CLangEnc* Create(std::string_view name);
    // A new encoding read from settingsText (its object, under any name), announced and
    // written.
    CLangEnc* Create(std::string_view name, const std::string& settingsText);

    CUpdateHub m_hub;
    std::string m_folder;
    // Declared before the proxies: encodings give their slots back as they go.
    CVarNameSet m_varNames;
    std::vector<bool> m_slotsInUse;
    CKeyboardList m_keyboards;
    CSet<CLangEncProxy> m_proxies;
    CountedRef<CLangEnc> m_default;
};

} // namespace crv
