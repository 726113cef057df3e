// The project's database types: one proxy per .typ file of the settings folder, each
// loading its type on first use; adding, copying, deleting and generating types; and
// finding the type a database file's header names.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/set.h"
#include "base/sf_header.h"
#include "schema/database_type.h"

namespace crv {

class CDatabaseTypeSet;
class CLangEncSet;

class CDatabaseTypeProxy : public CSetEl {
public:
    CDatabaseTypeProxy(CDatabaseTypeSet& owner, std::string name, std::string fileName,
                       std::string version);
    ~CDatabaseTypeProxy() override;

    CDatabaseTypeSet& Owner() const { return *m_owner; }
    // File name inside the settings folder; empty for a type kept only in memory.
    const std::string& FileName() const { return m_fileName; }
    std::string Path() const;
    // The settings version of the file ("3.0" when it names none).
    const std::string& Version() const { return m_version; }
    // The type, read from its file on first use; null when it could not be loaded (the
    // reason shown).
    CDatabaseType* GetType();
    bool IsLoaded() const { return m_type != nullptr; }
    // Counted references of open databases and indexes to the type.
    int RefCount() const { return m_type ? m_type->RefCount() : 0; }

private:
    friend class CDatabaseTypeSet;
    CDatabaseTypeSet* m_owner;
    std::string m_fileName;
    std::string m_version;
    std::unique_ptr<CDatabaseType> m_type;
};

class CDatabaseTypeSet {
public:
    // Types of the settings folder of langEncs (an empty folder keeps them in memory
    // only). langEncs must outlive the set: types listen to its change notices. factory
    // (which must outlive the set too) makes the settings objects of the layers above,
    // the engine's filter sets; without one they are carried as written.
    explicit CDatabaseTypeSet(CLangEncSet& langEncs, const CTypeSettingsFactory* factory = nullptr);
    ~CDatabaseTypeSet();
    CDatabaseTypeSet(const CDatabaseTypeSet&) = delete;
    CDatabaseTypeSet& operator=(const CDatabaseTypeSet&) = delete;

    const std::string& SettingsFolder() const { return m_folder; }
    // The settings folder moved (a project saved in another folder with copies of its
    // files): files are read and written there from now on.
    void Relocate(std::string folder) { m_folder = std::move(folder); }
    CLangEncSet& LangEncs() const { return *m_langEncs; }

    // Scans the settings folder for .typ files and adds a proxy for each file that
    // begins a database type. Problems are shown as messages.
    void LoadAll();
    // The type of that name (exact, case-sensitive), loaded on first use; null when
    // there is none or it could not be loaded.
    CDatabaseType* Find(std::string_view name);
    CDatabaseTypeProxy* FindProxy(std::string_view name) const { return m_proxies.Search(name); }
    const CSet<CDatabaseTypeProxy>& Proxies() const { return m_proxies; }

    // The checks of the "New Database Type" dialog, each refusal shown as a message:
    // which field to correct (its text is then selected), or None.
    enum class NewTypeField { None, Name, RecordMarker };
    NewTypeField CheckNewType(std::string_view name, std::string_view recordMarker) const;
    // Adds a type after the checks: its record marker is added and set, then
    // editProperties (the properties sheet) may change it; false from it (Cancel)
    // discards the type. Otherwise the type joins the set and is written to a new file.
    CDatabaseType* Add(std::string_view name, std::string_view recordMarker,
                       const std::function<bool(CDatabaseType&)>& editProperties = {});
    // A copy of source under newName, made by writing source to a temporary file of the
    // settings folder and reading it back; written to its own new file.
    CDatabaseType* Copy(const CDatabaseType& source, std::string_view newName);
    // Asks, then deletes the type's file and the proxy. Refused while a database or an
    // index holds the type.
    bool Delete(CDatabaseTypeProxy* proxy);
    // A type made by the program (word lists, concordances): the file name is made from
    // fileBase; the type is written at once. An existing type of that name is returned
    // as it is.
    CDatabaseType* CreateByProgram(std::string_view name, std::string_view recordMarker,
                                   std::string_view fileBase, std::string description);

    // Writes the type to its file (a temporary file renamed over it); false, with a
    // message, when that fails.
    bool Write(CDatabaseType& type);
    // Writes every loaded type that is modified; false when one could not be written.
    bool WriteAllModified();

private:
    friend class CDatabaseTypeProxy;
    CDatabaseTypeProxy* AddProxyForFile(const std::string& fileName);
    CDatabaseType* Load(CDatabaseTypeProxy& proxy);
    // Asks for the record marker of a type that has none; false when Cancelled.
    bool AskRecordMarker(CDatabaseType& type, const std::string& path);
    // A proxy, not yet in the set, with a new file name made from fileBase.
    std::unique_ptr<CDatabaseTypeProxy> NewProxy(const std::string& name,
                                                 std::string_view fileBase);
    bool CheckTypeName(std::string_view name) const;
    CDatabaseType* Join(std::unique_ptr<CDatabaseTypeProxy> proxy);

    CLangEncSet* m_langEncs;
    std::string m_folder;
    const CTypeSettingsFactory* m_factory;
    CSet<CDatabaseTypeProxy> m_proxies;
};

// The descriptions of generated types.
std::string WordListTypeDescription(std::string_view langEncName);
std::string ConcordanceTypeDescription(std::string_view langEncName,
                                       std::string_view refLangEncName);

// The type a database file's header names, looked up in a set.
struct DatabaseTypeOfFile {
    enum class Status {
        Found,         // type is the loaded type
        CannotOpen,    // the file could not be opened
        NoHeader,      // not a database file (it goes to import)
        TooLarge,      // the header entry passed the settings entry limit
        TypeMissing,   // the set has no type of header.typeName
        TypeNotLoaded, // the type's file could not be loaded (the reason shown)
    };
    Status status = Status::NoHeader;
    SFHeader header;
    CDatabaseType* type = nullptr;
};
DatabaseTypeOfFile FindDatabaseTypeOfFile(const std::string& path, CDatabaseTypeSet& types);

// "%1\nis of database type   %2,\nbut the type file is missing from the project
// settings folder." for a file whose type the project does not have.
std::string DatabaseTypeNotFoundText(std::string_view path, std::string_view typeName);

} // namespace crv
