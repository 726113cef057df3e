#include "engine/filter.h"

#include <algorithm>

#include "base/message_text.h"
#include "base/platform.h"
#include "engine/filter_parse.h"
#include "engine/index.h"
#include "engine/index_set.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"
#include "schema/marker_name.h"
#include "schema/sort_order.h"
#include "schema/var.h"

namespace crv {

namespace {

// The four masks offered to the user; anything else is taken as the default.
int ValidMask(int mask) {
    return mask == kMatchPrimary || mask == 23 || mask == 7 || mask == 15 ? mask : kMatchPrimary;
}

} // namespace

// --- CFilter ---

CFilter::CFilter(CFilterSet* owner, std::string name, CFilterElementList elements, bool matchWhole,
                 int mask)
    : CSetEl(std::move(name)), m_owner(owner) {
    Define(std::move(elements), matchWhole, mask);
}

CFilter::~CFilter() {
    // Indexes hold their filter counted and let go before it goes.
    CRV_ASSERT(RefCount() == 0);
}

bool CFilter::Define(CFilterElementList elements, bool matchWhole, int mask) {
    m_elements = std::move(elements);
    m_matchWhole = matchWhole;
    m_mask = ValidMask(mask);
    m_parseError = CNote();
    CFilterParseError error;
    m_root = ParseFilterElements(m_elements, error);
    if (!m_root)
        m_parseError = error.Note(m_elements);
    // The markers named are held at once (settings references keep them from being
    // merged away), not first at evaluation.
    if (m_owner)
        for (auto& e : m_elements)
            if (CFilterMarker* marker = ElementMarker(*e))
                marker->Resolve(&m_owner->Markers());
    return m_root != nullptr;
}

bool CFilter::Matches(const CIndex& base, std::size_t ordinal) const {
    const CIndexEntry* entry = base.EntryAt(ordinal);
    if (!entry)
        return false;
    const CIndexEntry* prev = ordinal > 0 ? base.EntryAt(ordinal - 1) : nullptr;
    const CIndexEntry* next = base.EntryAt(ordinal + 1);
    return Evaluate(*entry->Record(), entry->Field(), prev ? prev->Record() : nullptr,
                    next ? next->Record() : nullptr);
}

bool CFilter::Evaluate(const CRecord& record, const CField* field, const CRecord* prev,
                       const CRecord* next) const {
    if (!m_root)
        return false;
    CFilterContext ctx;
    ctx.record = &record;
    ctx.field = field;
    ctx.prev = prev;
    ctx.next = next;
    ctx.settings.mask = m_mask;
    ctx.matchWhole = m_matchWhole;
    ctx.markers = m_owner ? &m_owner->Markers() : nullptr;
    return m_root->Matches(ctx);
}

// --- CFilterSet ---

CFilterSet::CFilterSet(CMarkerSet& markers) : m_markers(&markers) {
    if (!markers.LangEncSet())
        m_ownVarNames = std::make_unique<CVarNameSet>();
}

CFilterSet::~CFilterSet() {
    // Filters hold markers of the marker set: they go first.
    DeleteAll();
}

CVarNameSet& CFilterSet::VarNames() const {
    return m_ownVarNames ? *m_ownVarNames : m_markers->LangEncSet()->VarNames();
}

bool CFilterSet::CheckName(std::string_view name, const CFilter* except, CNote& error) const {
    if (name.empty()) {
        error.Add(kNoteExpectingName);
        return false;
    }
    // The settings file keeps the name on the object's begin line.
    for (char c : name) {
        if (c == '\n' || c == '\r') {
            error.Add(kNoteNotExpectingChar, std::string(1, c));
            return false;
        }
    }
    CFilter* same = Find(name);
    if (same && same != except) {
        error.AddText("A filter already exists with this name: ", name);
        return false;
    }
    return true;
}

bool CFilterSet::CheckMarker(std::string_view name, CNote& error) const {
    if (!CheckMarkerName(name, error))
        return false;
    if (!m_markers->Search(name)) {
        error.AddText("Marker not in marker list: \\", name);
        return false;
    }
    return true;
}

bool CFilterSet::CheckLangEnc(std::string_view name, CNote& error) const {
    CLangEncSet* langEncs = m_markers->LangEncSet();
    if (langEncs && !langEncs->FindProxy(name)) {
        error.AddText("Language encoding not found: ", name);
        return false;
    }
    return true;
}

CFilter* CFilterSet::Add(std::string_view name, CFilterElementList elements, bool matchWhole,
                         int mask, CNote& error) {
    if (!CheckName(name, nullptr, error))
        return nullptr;
    auto filter =
        std::make_unique<CFilter>(this, std::string(name), std::move(elements), matchWhole, mask);
    if (!filter->IsParsed()) {
        error = filter->ParseError();
        return nullptr;
    }
    CFilter* added = filter.release();
    CSet<CFilter>::Add(added);
    m_modified = true;
    return added;
}

bool CFilterSet::Modify(CFilter* filter, std::string_view name, CFilterElementList elements,
                        bool matchWhole, int mask, CNote& error) {
    if (!filter || !CheckName(name, filter, error))
        return false;
    // Parsed on a scratch filter first, so that a refused definition changes nothing.
    CFilter trial(nullptr, std::string(name), std::move(elements), matchWhole, mask);
    if (!trial.IsParsed()) {
        error = trial.ParseError();
        return false;
    }
    filter->Define(std::move(trial.m_elements), matchWhole, mask);
    trial.m_root = nullptr;
    if (name != filter->Name())
        Rename(filter, name);
    Changed(*filter);
    return true;
}

bool CFilterSet::Delete(CFilter* filter) {
    if (!filter)
        return false;
    Answer a = platform().Ask(
        FormatMessage("Do you want to delete this filter: %1", {filter->Name()}), Buttons::YesNo);
    if (a != Answer::Yes)
        return false;
    for (CFilterSetListener* l : std::vector<CFilterSetListener*>(m_listeners))
        l->OnFilterDeleting(*filter);
    if (filter->RefCount() > 0) {
        platform().ShowMessage(FormatMessage(
            "The filter %1 is in use in an open window and cannot be deleted.", {filter->Name()}));
        return false;
    }
    CSet<CFilter>::Delete(filter);
    m_modified = true;
    return true;
}

void CFilterSet::AddListener(CFilterSetListener* listener) { m_listeners.push_back(listener); }

void CFilterSet::RemoveListener(CFilterSetListener* listener) {
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener),
                      m_listeners.end());
}

void CFilterSet::Changed(CFilter& filter) {
    m_modified = true;
    for (CFilterSetListener* l : std::vector<CFilterSetListener*>(m_listeners))
        l->OnFilterChanged(filter);
}

void CFilterSet::OnMarkerUpdate(const CMarkerUpdate& update) {
    for (CFilter& f : *this)
        for (auto& e : f.m_elements)
            e->OnMarkerUpdate(update);
}

void CFilterSet::OnLangEncUpdate(const CLangEncUpdate& update) {
    for (CFilter& f : *this)
        for (auto& e : f.m_elements)
            m_modified |= e->OnLangEncUpdate(update);
}

// --- CFilterSetLink ---

CFilterSetLink::CFilterSetLink(CFilterSet& filters, CIndexSet& indexes)
    : m_filters(&filters), m_indexes(&indexes) {
    indexes.SetFilterSource(&filters);
    filters.AddListener(this);
}

CFilterSetLink::~CFilterSetLink() {
    m_filters->RemoveListener(this);
    if (m_indexes->FilterSource() == m_filters)
        m_indexes->SetFilterSource(nullptr);
}

void CFilterSetLink::OnFilterChanged(CFilter& filter) { m_indexes->FilterChanged(&filter); }

} // namespace crv
