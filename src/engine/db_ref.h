// References from one database type to other databases: CDbRef (a database file and the
// marker to search in it), CJumpPath (an ordered list of them, stored as "drflst"), and
// COpenDatabases, the seam through which the engine learns which databases are open.
//
// Stored form:
//   \+drflst
//   \+drf          (one per reference, in search order)
//   \File PATH
//   \mkr MARKER    (left out when empty: the database's record marker)
//   \-drf
//   \-drflst
// Unknown entries inside either object are kept and written back before its end line.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/dbl_list.h"
#include "base/unknown_entries.h"
#include "engine/index_set.h"
#include "schema/type_settings_object.h"

namespace crv {

class CDatabaseType;
class CMarkerSet;
class ObjectStream;

// The databases that are open, as the application knows them.
class COpenDatabases {
public:
    virtual ~COpenDatabases() = default;
    // The open database on the file at path (the same file, however written), or null.
    virtual CIndexSet* FindOpen(const std::string& path) = 0;
    // The open databases, in the order the application lists them.
    virtual std::vector<CIndexSet*> AllOpen() = 0;
    // The file an open database was read from.
    virtual std::string PathOf(const CIndexSet& set) = 0;
    // Opens the file as a database when it is not open yet (rule files); null when it
    // cannot be opened. By default only databases already open are found.
    virtual CIndexSet* Open(const std::string& path) { return FindOpen(path); }
};

// The file name of a path (after the last '/' or '\').
std::string_view DbFileName(std::string_view path);

// One reference: a database file and the marker to search in it. While the database
// is open the reference keeps the index it searches; the index is let go when the
// database closes.
class CDbRef : public CDblListEl, private CIndexSetListener {
public:
    CDbRef(std::string path = {}, std::string markerName = {});
    CDbRef(const CDbRef& other);
    CDbRef& operator=(const CDbRef&) = delete;
    ~CDbRef() override;

    // The path as stored.
    const std::string& Path() const { return m_path; }
    void SetPath(std::string path);
    // Empty: the database's record marker.
    const std::string& MarkerName() const { return m_marker; }
    void SetMarkerName(std::string name);
    // The stored path with a relative one taken in base (the settings folder).
    std::string FullPath(std::string_view base) const;

    // The open database, or null.
    CIndexSet* Database(COpenDatabases& dbs, std::string_view base);
    // The index searched: by the marker named (in its encoding's default order, no
    // secondary keys), else the default index; null while the database is not open.
    CIndex* GetIndex(COpenDatabases& dbs, std::string_view base);
    // The marker set of the database last found open (compared only, never followed).
    const CMarkerSet* LastMarkerSet() const { return m_lastMarkers; }

    // Entries of the stored object this version does not know.
    UnknownEntries& Unknown() { return m_unknown; }
    void Write(ObjectStream& os) const;
    // Reads "\+drf" when it is the current entry; null when it is not.
    static std::unique_ptr<CDbRef> Read(ObjectStream& is);

private:
    void OnEntriesRemoving(CIndex&, const std::vector<const CIndexEntry*>&) override {}
    void OnSetClosing(CIndexSet& set) override;
    void OnSetRenamed(CIndexSet& set, const std::string& newPath) override;
    void DropIndex();

    std::string m_path;
    std::string m_marker;
    CIndexSet* m_set = nullptr;
    CIndexRef m_index;
    const CMarkerSet* m_lastMarkers = nullptr;
    UnknownEntries m_unknown;
};

// Finds a file that is not where a reference says (the project's search for moved
// files); false when the user gives up.
using CFileLocator = std::function<bool(std::string& path)>;

// An ordered list of references: the search order of jumps and of lexicon lookups.
class CDbRefList : public CDblList<CDbRef> {
public:
    CDbRefList() = default;
    CDbRefList(const CDbRefList& other) { CopyFrom(other); }
    CDbRefList& operator=(const CDbRefList& other);
    void CopyFrom(const CDbRefList& other);

    // Whether a reference names the file of the open database set.
    bool References(COpenDatabases& dbs, const CIndexSet& set, std::string_view base) const;
    // Renames a marker in every reference whose database has the marker set markers.
    bool RenameMarker(const CMarkerSet& markers, std::string_view oldName,
                      std::string_view newName);
    // The references whose database is open, in order.
    std::vector<CDbRef*> OpenRefs(COpenDatabases& dbs, std::string_view base) const;

    // Writes "\+name" with one "drf" per reference, "\-name"; nothing when empty and
    // nothing unknown was read.
    void Write(ObjectStream& os, std::string_view name) const;
    // Reads the object "name" when it is the current entry. A reference with an empty
    // path is dropped; one whose file is missing is offered to locate (when given) and
    // kept as written when that fails.
    bool Read(ObjectStream& is, std::string_view name, std::string_view base,
              const CFileLocator& locate);
    UnknownEntries& Unknown() { return m_unknown; }

private:
    UnknownEntries m_unknown;
};

// A database type's jump path ("drflst").
class CJumpPath : public CTypeSettingsObject {
public:
    // Relative paths are taken in the folder of type's file (none: as they stand);
    // locate: see CDbRefList::Read.
    explicit CJumpPath(const CDatabaseType* type = nullptr, CFileLocator locate = {});

    CDbRefList& Refs() { return m_refs; }
    const CDbRefList& Refs() const { return m_refs; }
    std::string Base() const;

    std::string_view ObjectName() const override { return "drflst"; }
    bool Read(ObjectStream& is, CNoteList& notes) override;
    void Write(ObjectStream& os) const override;
    void FinishReading(CNoteList&) override {}
    // A renamed marker of a database the path searches is renamed in its references.
    void OnMarkerUpdate(const CMarkerUpdate& update) override;
    bool IsModified() const override { return m_modified; }
    void SetModified(bool modified) override { m_modified = modified; }

private:
    const CDatabaseType* m_type;
    CFileLocator m_locate;
    CDbRefList m_refs;
    bool m_modified = false;
};

} // namespace crv
