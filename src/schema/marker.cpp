#include "schema/marker.h"

#include "schema/marker_name.h"

namespace crv {

namespace {

constexpr std::size_t kMaxLabel = 99;

std::string Capped(std::string s) {
    if (s.size() > kMaxLabel)
        s.resize(kMaxLabel);
    return s;
}

} // namespace

// ---------------------------------------------------------------- CMarker

CMarker::CMarker(CMarkerSet* owner, std::string name)
    : CSetEl(std::move(name)), m_owner(owner), m_rangeSet(this) {
    if (owner) {
        m_subsetSlot = owner->m_nextSubsetSlot++;
        m_langEnc = owner->DefaultLangEnc();
    }
}

CMarker::~CMarker() = default;

void CMarker::SetFont(const CFontDef& font) {
    m_useLangEncFont = false;
    m_font = font;
    m_fontMetrics = platform().MeasureFont(font);
}

void CMarker::ClearFont() {
    m_useLangEncFont = true;
    m_font = CFontDef{};
    m_fontMetrics = FontMetrics{};
}

void CMarker::SetParent(CMarker* parent) {
    // The hierarchy is kept free of cycles so that every walk up a parent chain ends.
    bool cycle = parent && (parent == this || parent->IsUnder(this));
    CRV_ASSERT(!cycle);
    if (cycle)
        return;
    m_parent = parent;
    if (m_owner)
        m_owner->ComputeLevels();
}

bool CMarker::IsUnder(const CMarker* other) const {
    if (!other)
        return false;
    for (const CMarker* p = m_parent; p; p = p->m_parent)
        if (p == other)
            return true;
    return false;
}

CMarker* CMarker::NearestCommonAncestor(const CMarker* other) const {
    for (CMarker* p = m_parent; p; p = p->m_parent)
        if (p == other || (other && other->IsUnder(p)))
            return p;
    return nullptr;
}

bool CMarker::CanBeParentOf(const CMarker* child) const {
    if (m_subfield || this == child)
        return false;
    return !IsUnder(child);
}

std::string CMarker::ListLabel(bool indent, bool backslash, bool fieldName) const {
    std::string s;
    if (indent)
        for (int i = 0; i < m_level && s.size() < kMaxLabel; ++i)
            s += ".  ";
    if (backslash && !m_subfield)
        s += '\\';
    s += Name();
    if (fieldName) {
        s += "  ";
        s += m_fieldName;
    }
    return Capped(std::move(s));
}

std::string CMarker::ShortLabel() const { return Capped(Name() + "  " + m_fieldName); }

std::string CMarker::TabLabel() const { return Capped(Name() + "\t" + m_fieldName); }

CMarkerProperties CMarker::Properties() const {
    CMarkerProperties p;
    p.name = Name();
    p.fieldName = m_fieldName;
    p.description = m_description;
    p.langEnc = m_langEnc.Get();
    p.parent = m_parent;
    p.following = m_following;
    p.rangeSetText = m_rangeSet.Text();
    p.rangeSetCharacters = m_rangeSetCharacters;
    p.rangeSetAllowsSpaces = m_rangeSetAllowsSpaces;
    p.useLangEncFont = m_useLangEncFont;
    p.font = m_font;
    p.noWordWrap = m_noWordWrap;
    p.charStyle = m_charStyle;
    p.section = m_section;
    p.hidden = m_hidden;
    p.subfield = m_subfield;
    return p;
}

CMarker* MarkerAfterUpdate(const CMarkerUpdate& update, CMarker* held) {
    if (held && held == update.marker && update.mergedInto)
        return update.mergedInto;
    return held;
}

// ---------------------------------------------------------------- CMarkerRef

void CMarkerRef::Set(CMarker* marker) {
    m_marker = marker;
    if (marker)
        m_name = marker->Name();
}

CMarker* CMarkerRef::Resolve(const CMarkerSet& set) {
    if (!m_marker)
        m_marker = set.Search(m_name);
    return m_marker.Get();
}

void CMarkerRef::Follow(const CMarkerUpdate& update) {
    if (!m_marker || m_marker.Get() != update.marker)
        return;
    if (update.mergedInto)
        Set(update.mergedInto);
    else if (update.nameChanged)
        m_name = update.marker->Name();
}

// ---------------------------------------------------------------- CMarkerSet

CMarkerSet::CMarkerSet(CLangEncSet* langEncSet) : m_langEncSet(langEncSet) {
    if (m_langEncSet)
        m_defaultLangEnc = m_langEncSet->Default();
}

CMarkerSet::~CMarkerSet() {
    // Markers refer to each other through plain pointers: clear them before deleting.
    for (auto& m : *this) {
        m.m_parent = nullptr;
        m.m_following = nullptr;
    }
    for (auto& m : m_retired) {
        m->m_parent = nullptr;
        m->m_following = nullptr;
    }
    DeleteAll();
}

void CMarkerSet::SetDefaultLangEnc(CLangEnc* e) {
    if (e)
        m_defaultLangEnc = e;
}

CUpdateHub* CMarkerSet::Hub() const { return m_langEncSet ? &m_langEncSet->UpdateHub() : nullptr; }

void CMarkerSet::Broadcast(const CMarkerUpdate& update) {
    if (CUpdateHub* hub = Hub())
        hub->Broadcast(update);
}

CMarker* CMarkerSet::NewMarker(std::string_view name) {
    auto* m = new CMarker(this, std::string(name));
    Add(m);
    m_modified = true;
    return m;
}

// ---------------------------------------------------------------- hierarchy

void CMarkerSet::SetRecordMarker(CMarker* rec) {
    CRV_ASSERT(!rec || rec->m_owner == this);
    CMarker* old = m_recordMarker;
    m_recordMarker = rec;
    if (m_namesPending) {
        ResolveNames();
        return;
    }
    if (rec)
        rec->m_parent = nullptr;
    if (old && old != rec)
        old->m_parent = rec;
    // Markers named before there was a record marker (a type file's single-marker keys
    // without a marker set) stand under the first one, like markers met in data.
    if (!old)
        for (auto& m : *this)
            if (&m != rec && !m.m_parent)
                m.m_parent = rec;
    ComputeLevels();
}

void CMarkerSet::ChangeRecordMarker(CMarker* rec) {
    if (!rec || rec == m_recordMarker)
        return;
    SetRecordMarker(rec);
    m_modified = true;
    CMarkerUpdate update;
    update.marker = rec;
    update.recordMarkerChanged = true;
    Broadcast(update);
}

void CMarkerSet::ResolveNames() {
    m_namesPending = false;
    for (auto& m : *this) {
        if (&m == m_recordMarker) {
            m.m_parent = nullptr;
        } else if (m.m_namesRead) {
            CMarker* parent = m.m_parentName.empty() ? nullptr : Search(m.m_parentName);
            m.m_parent = parent ? parent : m_recordMarker;
        } else if (!m.m_parent) {
            m.m_parent = m_recordMarker;
        }
        if (m.m_namesRead) {
            CMarker* following = m.m_followingName.empty() ? nullptr : Search(m.m_followingName);
            m.m_following = following == m_recordMarker ? nullptr : following;
        }
        m.m_namesRead = false;
        m.m_parentName.clear();
        m.m_followingName.clear();
    }
    // A hand-edited file can name parents in a circle. A walk longer than the set is
    // inside one: that marker goes under the record marker, which opens the circle.
    std::size_t n = Count();
    for (auto& m : *this) {
        for (;;) {
            CMarker* p = &m;
            std::size_t steps = 0;
            while (p && steps <= n) {
                p = p->m_parent;
                ++steps;
            }
            if (!p)
                break;
            p->m_parent = p == m_recordMarker ? nullptr : m_recordMarker;
        }
    }
    ComputeLevels();
}

void CMarkerSet::ComputeLevels() {
    m_maxLevel = 0;
    std::size_t n = Count();
    for (auto& m : *this) {
        int level = 0;
        for (CMarker* p = m.m_parent; p && static_cast<std::size_t>(level) <= n; p = p->m_parent)
            ++level;
        m.m_level = level;
        if (level > m_maxLevel)
            m_maxLevel = level;
    }
    m_indent.clear();
    for (int i = 0; i < m_maxLevel; ++i)
        m_indent += ".  ";
}

std::vector<CMarker*> CMarkerSet::ParentChoices(const CMarker* child) const {
    std::vector<CMarker*> out;
    for (auto& m : *this)
        if (m.CanBeParentOf(child))
            out.push_back(&m);
    return out;
}

void CMarkerSet::SetInterlinearFlags(std::span<const std::pair<CMarker*, CMarker*>> processes) {
    for (auto& m : *this)
        m.m_interlinearFlags = 0;
    bool first = true;
    for (const auto& [source, target] : processes) {
        if (source) {
            source->m_interlinearFlags |= CMarker::kInterlinearLine;
            if (first)
                source->m_interlinearFlags |= CMarker::kInterlinearTextLine;
        }
        if (target)
            target->m_interlinearFlags |= CMarker::kInterlinearLine;
        first = false;
    }
}

// ---------------------------------------------------------------- finding and adding

CMarker* CMarkerSet::SearchOrAdd(std::string_view name, CNoteList* notes) {
    if (CMarker* m = Search(name))
        return m;
    CNote error;
    if (!CheckMarkerName(name, error)) {
        if (notes)
            notes->push_back(std::move(error));
        return nullptr;
    }
    CMarker* m = NewMarker(name);
    // Placed like a marker from data until the record marker resolves the hierarchy.
    if (m_recordMarker && !m_namesPending) {
        m->m_parent = m_recordMarker;
        ComputeLevels();
    }
    return m;
}

CMarker* CMarkerSet::SearchOrAddFromData(std::string_view name, bool* wasAdded) {
    if (wasAdded)
        *wasAdded = false;
    if (CMarker* m = Search(name))
        return m;
    CMarker* m = NewMarker(name);
    m->m_fieldName = "*";
    if (m_recordMarker && !m_namesPending) {
        m->m_parent = m_recordMarker;
        m->m_level = m_recordMarker->m_level + 1;
        if (m->m_level > m_maxLevel)
            ComputeLevels();
    }
    if (wasAdded)
        *wasAdded = true;
    return m;
}

bool CMarkerSet::FieldNameRefused(std::string_view fieldName, const CMarker* except,
                                  CNote& error) const {
    if (fieldName.empty())
        return false;
    // The field name is the RTF style name: the characters that end one are refused.
    if (!CheckFieldName(fieldName, error))
        return true;
    if (fieldName == "*")
        return false;
    for (const auto& m : *this) {
        if (&m != except && m.m_fieldName == fieldName) {
            error.AddText("Another marker already has this Field Name: ", fieldName);
            return true;
        }
    }
    return false;
}

bool CMarkerSet::CheckNewMarkerName(std::string_view name, CNote& error) const {
    if (!CheckMarkerName(name, error))
        return false;
    if (Search(name)) {
        error.Add(kNoteMarkerExists, name);
        return false;
    }
    return true;
}

CMarker* CMarkerSet::Add(const CMarkerProperties& props, CNote& error) {
    if (!CheckNewMarkerName(props.name, error) || FieldNameRefused(props.fieldName, nullptr, error))
        return nullptr;
    CMarker* m = NewMarker(props.name);
    Apply(m, props);
    return m;
}

bool CMarkerSet::Modify(CMarker* marker, const CMarkerProperties& props, CNote& error) {
    CRV_ASSERT(marker && marker->m_owner == this);
    if (!marker || marker->m_owner != this)
        return false;
    bool rename = props.name != marker->Name();
    if ((rename && !CheckNewMarkerName(props.name, error)) ||
        FieldNameRefused(props.fieldName, marker, error))
        return false;
    CMarkerUpdate update;
    update.marker = marker;
    update.oldName = marker->Name();
    update.nameChanged = rename;
    CLangEnc* enc = props.langEnc ? props.langEnc : DefaultLangEnc();
    update.langEncChanged = enc != marker->LangEnc();
    if (rename)
        Rename(marker, props.name);
    Apply(marker, props);
    m_modified = true;
    if (update.nameChanged || update.langEncChanged)
        Broadcast(update);
    return true;
}

void CMarkerSet::Apply(CMarker* m, const CMarkerProperties& props) {
    m->m_fieldName = props.fieldName;
    m->m_description = props.description;
    m->m_langEnc = props.langEnc ? props.langEnc : DefaultLangEnc();
    m->m_rangeSet.Parse(props.rangeSetText);
    m->m_rangeSetCharacters = props.rangeSetCharacters;
    m->m_rangeSetAllowsSpaces = props.rangeSetAllowsSpaces;
    if (props.useLangEncFont)
        m->ClearFont();
    else
        m->SetFont(props.font);
    m->m_noWordWrap = props.noWordWrap;
    m->m_charStyle = props.charStyle;
    m->m_section = props.section;
    m->m_hidden = props.hidden;
    m->m_subfield = props.subfield;
    CMarker* following =
        props.following && props.following->m_owner == this ? props.following : nullptr;
    m->m_following = following == m_recordMarker ? nullptr : following;
    if (m == m_recordMarker) {
        m->m_parent = nullptr;
    } else {
        CMarker* parent = props.parent ? props.parent : m_recordMarker;
        // The dialog offers only valid parents; anything else keeps the hierarchy whole.
        bool valid = !parent || (parent->m_owner == this && parent->CanBeParentOf(m));
        CRV_ASSERT(valid);
        if (valid)
            m->m_parent = parent;
        else if (!m->m_parent)
            m->m_parent = m_recordMarker;
    }
    ComputeLevels();
}

void CMarkerSet::Merge(CMarker* marker, CMarker* survivor) {
    bool ok = marker && survivor && marker != survivor && marker->m_owner == this &&
              survivor->m_owner == this && marker != m_recordMarker && marker->m_settingsRefs == 0;
    CRV_ASSERT(ok);
    if (!ok)
        return;
    for (auto& m : *this) {
        if (&m == marker)
            continue;
        if (m.m_parent == marker) {
            // Children go to the survivor unless that would put the survivor above
            // itself; then they take the merged marker's place.
            bool cycle = &m == survivor || survivor->IsUnder(&m);
            m.m_parent = cycle ? marker->m_parent : survivor;
        }
        if (m.m_following == marker)
            m.m_following = survivor == m_recordMarker ? nullptr : survivor;
    }
    CMarkerUpdate update;
    update.marker = marker;
    update.oldName = marker->Name();
    update.mergedInto = survivor;
    Broadcast(update);
    Remove(marker);
    marker->m_parent = nullptr;
    marker->m_following = nullptr;
    if (marker->m_useCount != 0 || marker->m_refs != 0) {
        // A holder (an undo buffer, a clipboard copy) did not follow the notice: keep the
        // object alive so that its pointer stays good.
        platform().Trace().Write("merged marker %s still held (%d uses, %d references)",
                                 marker->Name().c_str(), marker->m_useCount, marker->m_refs);
        m_retired.emplace_back(marker);
    } else {
        delete marker;
    }
    m_modified = true;
    ComputeLevels();
}

void TellNewMarkersAdded() {
    platform().ShowMessage(
        "One or more new markers were added.\nThey are marked with * as their field name.",
        MessageKind::Information);
}

} // namespace crv
