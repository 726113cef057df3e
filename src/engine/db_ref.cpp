#include "engine/db_ref.h"

#include <filesystem>

#include "base/object_stream.h"
#include "schema/database_type.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv {

namespace fs = std::filesystem;

std::string_view DbFileName(std::string_view path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// ---------------------------------------------------------------- CDbRef

CDbRef::CDbRef(std::string path, std::string markerName)
    : m_path(std::move(path)), m_marker(std::move(markerName)) {}

// NOLINTNEXTLINE(bugprone-copy-constructor-init): a copy starts unlinked and unheard
CDbRef::CDbRef(const CDbRef& other)
    : CDblListEl(), CIndexSetListener(), m_path(other.m_path), m_marker(other.m_marker),
      m_unknown(other.m_unknown) {}

CDbRef::~CDbRef() { DropIndex(); }

void CDbRef::SetPath(std::string path) {
    if (path == m_path)
        return;
    DropIndex();
    m_path = std::move(path);
}

void CDbRef::SetMarkerName(std::string name) {
    if (name == m_marker)
        return;
    DropIndex();
    m_marker = std::move(name);
}

std::string CDbRef::FullPath(std::string_view base) const {
    // Paths written on Windows keep their backslashes; only the separator of this
    // system decides whether a path is relative.
    fs::path p(m_path);
    if (p.is_absolute() || base.empty() || m_path.empty())
        return m_path;
    return (fs::path(base) / p).lexically_normal().string();
}

void CDbRef::DropIndex() {
    m_index.Reset(nullptr);
    if (m_set) {
        m_set->RemoveListener(this);
        m_set = nullptr;
    }
}

void CDbRef::OnSetClosing(CIndexSet& set) {
    if (&set == m_set)
        DropIndex();
}

void CDbRef::OnSetRenamed(CIndexSet& set, const std::string& newPath) {
    if (&set == m_set)
        m_path = newPath;
}

CIndexSet* CDbRef::Database(COpenDatabases& dbs, std::string_view base) {
    if (m_set)
        return m_set;
    CIndexSet* set = dbs.FindOpen(FullPath(base));
    if (set)
        m_lastMarkers = &set->Markers();
    return set;
}

CIndex* CDbRef::GetIndex(COpenDatabases& dbs, std::string_view base) {
    if (m_index.Get())
        return m_index.Get();
    CIndexSet* set = Database(dbs, base);
    if (!set)
        return nullptr;
    CMarker* m = m_marker.empty() ? nullptr : set->Markers().Search(m_marker);
    if (m && m != set->RecordMarker()) {
        CIndexKeys keys;
        keys.priMarker = m;
        m_index = set->GetIndex(keys);
    } else {
        // A marker that is gone falls back to the record marker.
        m_index = CIndexRef(&set->DefaultIndex());
    }
    m_set = set;
    set->AddListener(this);
    return m_index.Get();
}

void CDbRef::Write(ObjectStream& os) const {
    os.WriteBeginMarker("drf");
    os.WriteString("File", m_path);
    os.WriteString("mkr", m_marker);
    m_unknown.Write(os);
    os.WriteEndMarker("drf");
}

std::unique_ptr<CDbRef> CDbRef::Read(ObjectStream& is) {
    if (!is.ReadBeginMarker("drf"))
        return nullptr;
    auto ref = std::make_unique<CDbRef>();
    while (!is.AtEnd()) {
        if (is.ReadString("File", ref->m_path) || is.ReadString("mkr", ref->m_marker))
            continue;
        // A begin of the next reference ends one whose end line is missing.
        if (is.PeekBeginMarker("drf") || is.IsOtherEnd("drf") || is.ReadMarker('-', "drf"))
            break;
        ref->m_unknown.Capture(is, "drf");
    }
    return ref;
}

// ---------------------------------------------------------------- CDbRefList

CDbRefList& CDbRefList::operator=(const CDbRefList& other) {
    if (this != &other) {
        DeleteAll();
        CopyFrom(other);
    }
    return *this;
}

void CDbRefList::CopyFrom(const CDbRefList& other) {
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks): the list owns its elements
    for (const CDbRef& ref : other)
        Add(new CDbRef(ref));
    m_unknown = other.m_unknown;
}

bool CDbRefList::References(COpenDatabases& dbs, const CIndexSet& set,
                            std::string_view base) const {
    for (CDbRef& ref : *this)
        if (ref.Database(dbs, base) == &set)
            return true;
    return false;
}

bool CDbRefList::RenameMarker(const CMarkerSet& markers, std::string_view oldName,
                              std::string_view newName) {
    bool changed = false;
    for (CDbRef& ref : *this) {
        if (ref.LastMarkerSet() != &markers || ref.MarkerName() != oldName)
            continue;
        ref.SetMarkerName(std::string(newName));
        changed = true;
    }
    return changed;
}

std::vector<CDbRef*> CDbRefList::OpenRefs(COpenDatabases& dbs, std::string_view base) const {
    std::vector<CDbRef*> out;
    for (CDbRef& ref : *this)
        if (ref.Database(dbs, base))
            out.push_back(&ref);
    return out;
}

void CDbRefList::Write(ObjectStream& os, std::string_view name) const {
    if (IsEmpty() && m_unknown.IsEmpty())
        return;
    os.WriteBeginMarker(name);
    for (const CDbRef& ref : *this)
        ref.Write(os);
    m_unknown.Write(os);
    os.WriteEndMarker(name);
}

bool CDbRefList::Read(ObjectStream& is, std::string_view name, std::string_view base,
                      const CFileLocator& locate) {
    if (!is.ReadBeginMarker(name))
        return false;
    while (!is.AtEnd()) {
        if (auto ref = CDbRef::Read(is)) {
            if (ref->Path().empty())
                continue;
            std::error_code ec;
            if (locate && !fs::exists(ref->FullPath(base), ec)) {
                // A file that cannot be found now may be back later (a drive not
                // mounted): the reference stays as written and is skipped meanwhile.
                std::string path = ref->FullPath(base);
                if (locate(path))
                    ref->SetPath(path);
            }
            Add(ref.release());
            continue;
        }
        if (is.IsOtherEnd(name) || is.ReadMarker('-', name))
            break;
        m_unknown.Capture(is, name);
    }
    return true;
}

// ---------------------------------------------------------------- CJumpPath

CJumpPath::CJumpPath(const CDatabaseType* type, CFileLocator locate)
    : m_type(type), m_locate(std::move(locate)) {}

std::string CJumpPath::Base() const { return m_type ? m_type->SettingsFolder() : std::string(); }

bool CJumpPath::Read(ObjectStream& is, CNoteList&) {
    return m_refs.Read(is, ObjectName(), Base(), m_locate);
}

void CJumpPath::Write(ObjectStream& os) const { m_refs.Write(os, ObjectName()); }

void CJumpPath::OnMarkerUpdate(const CMarkerUpdate& update) {
    if (!update.marker || !update.marker->Owner())
        return;
    std::string oldName, newName;
    if (update.mergedInto) {
        oldName = update.marker->Name();
        newName = update.mergedInto->Name();
    } else if (update.nameChanged) {
        oldName = update.oldName;
        newName = update.marker->Name();
    }
    if (oldName.empty() || newName.empty())
        return;
    if (m_refs.RenameMarker(*update.marker->Owner(), oldName, newName))
        m_modified = true;
}

} // namespace crv
