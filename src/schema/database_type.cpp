#include "schema/database_type.h"

#include <sstream>

#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"
#include "schema/marker_name.h"
#include "schema/record_template.h"

namespace crv {

CDatabaseType::CDatabaseType(CLangEncSet& langEncs, std::string name, CDatabaseTypeProxy* proxy,
                             const CTypeSettingsFactory* factory)
    : m_langEncs(&langEncs), m_name(std::move(name)), m_proxy(proxy), m_markerSet(&langEncs),
      m_subscription(langEncs.UpdateHub(), this, ListenerRank::Types) {
    if (factory) {
        m_filters = factory->MakeFilterSet(*this);
        m_jumpPath = factory->MakeJumpPath(*this);
        m_interlinear = factory->MakeInterlinearProcs(*this);
    }
}

CDatabaseType::~CDatabaseType() {
    // Markers held counted let go before the marker set deletes them.
    m_interlinear.reset();
    m_jumpPath.reset();
    m_filters.reset();
    m_secKeys.clear();
    m_dateStamp = CMarkerRef();
    m_multipleMatch = CMarkerRef();
}

void CDatabaseType::SetDescription(std::string s) {
    if (s == m_description)
        return;
    m_description = std::move(s);
    m_modified = true;
}

bool CDatabaseType::SetRecordMarkerName(std::string_view name, CNote& error) {
    if (!CheckMarkerName(name, error))
        return false;
    CMarker* m = m_markerSet.SearchOrAdd(name);
    if (!m)
        return false;
    if (m != m_markerSet.RecordMarker()) {
        m_markerSet.SetRecordMarker(m);
        m_modified = true;
    }
    return true;
}

std::vector<CMarker*> CDatabaseType::SecKeyMarkers() const {
    std::vector<CMarker*> out;
    for (const auto& ref : m_secKeys)
        if (ref.Marker())
            out.push_back(ref.Marker());
    return out;
}

void CDatabaseType::SetSecKeyMarkers(const std::vector<CMarker*>& markers) {
    m_secKeys.clear();
    for (CMarker* m : markers)
        if (m && m->Owner() == &m_markerSet)
            m_secKeys.emplace_back(m);
    m_modified = true;
}

void CDatabaseType::SetDateStampMarker(CMarker* m) {
    CRV_ASSERT(!m || m->Owner() == &m_markerSet);
    if (m == m_dateStamp.Marker() || (m && m->Owner() != &m_markerSet))
        return;
    m_dateStamp = m ? CMarkerRef(m) : CMarkerRef();
    m_modified = true;
}

void CDatabaseType::SetMultipleMatchMarker(CMarker* m) {
    CRV_ASSERT(!m || m->Owner() == &m_markerSet);
    if (m == m_multipleMatch.Marker() || (m && m->Owner() != &m_markerSet))
        return;
    m_multipleMatch = m ? CMarkerRef(m) : CMarkerRef();
    m_modified = true;
}

void CDatabaseType::SetTemplate(std::string text) {
    if (text == m_template)
        return;
    m_template = std::move(text);
    m_modified = true;
}

void CDatabaseType::SetPrintProperties(const CPrintProperties& p) {
    if (p == m_print)
        return;
    m_print = p;
    m_modified = true;
}

void CDatabaseType::SetInterlinCharWidth(int width) {
    if (width == m_interlinCharWidth)
        return;
    m_interlinCharWidth = width;
    m_modified = true;
}

void CDatabaseType::SetModified(bool modified) {
    m_modified = modified;
    if (!modified)
        m_markerSet.SetModified(false);
    if (!modified)
        for (auto* object : {m_filters.get(), m_jumpPath.get(), m_interlinear.get()})
            if (object)
                object->SetModified(false);
}

bool CDatabaseType::IsModified() const {
    if (m_modified || m_markerSet.IsModified())
        return true;
    for (auto* object : {m_filters.get(), m_jumpPath.get(), m_interlinear.get()})
        if (object && object->IsModified())
            return true;
    return false;
}

void CDatabaseType::UpdateInterlinearFlags() {
    m_markerSet.SetInterlinearFlags(InterlinearMarkerPairs());
}

std::string CDatabaseType::SettingsFolder() const {
    return m_proxy ? m_proxy->Owner().SettingsFolder() : std::string();
}

// ---------------------------------------------------------------- change notices

void CDatabaseType::OnMarkerUpdate(const CMarkerUpdate& update) {
    // Markers of other types reach the settings too: interlinear processes and jump
    // paths name markers of the lexicons they search.
    for (auto& ref : m_secKeys)
        ref.Follow(update);
    m_dateStamp.Follow(update);
    m_multipleMatch.Follow(update);
    for (auto* object : {m_filters.get(), m_jumpPath.get(), m_interlinear.get()})
        if (object)
            object->OnMarkerUpdate(update);
    if (!update.marker || update.marker->Owner() != &m_markerSet)
        return;
    if (update.mergedInto)
        RenameInTemplate(update.oldName, update.mergedInto->Name());
    else if (update.nameChanged)
        RenameInTemplate(update.oldName, update.marker->Name());
    m_modified = true;
}

void CDatabaseType::OnLangEncUpdate(const CLangEncUpdate& update) {
    // The type's own settings hold no encoding: its markers hold theirs counted and
    // write them by name. Filters name encodings; the carried objects are passed on once
    // their owners read them.
    for (auto* object : {m_filters.get(), m_jumpPath.get(), m_interlinear.get()})
        if (object)
            object->OnLangEncUpdate(update);
}

void CDatabaseType::RenameInTemplate(std::string_view oldName, std::string_view newName) {
    if (!oldName.empty())
        m_template = RenameTemplateMarker(m_template, oldName, newName);
}

std::vector<std::pair<CMarker*, CMarker*>> CDatabaseType::InterlinearMarkerPairs() const {
    // Only the From and To lines of each "\+intprc" are looked at here; the processes
    // themselves stay as written.
    if (m_interlinear)
        return m_interlinear->InterlinearMarkerPairs();
    std::vector<std::pair<CMarker*, CMarker*>> pairs;
    if (m_carried.interlinearProcs.empty())
        return pairs;
    std::istringstream text(m_carried.interlinearProcs);
    ObjectStream is(text);
    if (!is.ReadBeginMarker("intprclst"))
        return pairs;
    while (!is.AtEnd()) {
        if (is.PeekBeginMarker("intprc")) {
            is.SkipEntry();
            std::string from, to;
            while (!is.AtEnd()) {
                if (is.ReadString("From", from) || is.ReadString("To", to))
                    continue;
                if (is.PeekKey().starts_with("+")) {
                    is.SkipObject();
                    continue;
                }
                if (is.IsOtherEnd("intprc") || is.ReadEnd("intprc"))
                    break;
            }
            // A process without both lines is discarded by its reader.
            if (!from.empty() && !to.empty())
                pairs.emplace_back(m_markerSet.Search(from), m_markerSet.Search(to));
            continue;
        }
        if (is.PeekKey().starts_with("+")) {
            is.SkipObject();
            continue;
        }
        if (is.IsOtherEnd("intprclst") || is.ReadEnd("intprclst"))
            break;
    }
    return pairs;
}

} // namespace crv
