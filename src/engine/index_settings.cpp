// The "ind" and "rec" objects of window settings.
#include "engine/index_settings.h"

#include "base/object_stream.h"
#include "record/record.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

namespace crv {

void WriteIndexSettings(ObjectStream& os, const CIndex& index, const KeptEntries* kept) {
    os.WriteBeginMarker("ind");
    const KeptEntries none;
    SettingsObjectWriter keep(os, kept ? *kept : none);
    if (index.PriMarker())
        os.WriteString("mkrPriKey", index.PriMarker()->Name());
    if (index.SortOrder())
        os.WriteString("srtPriKey", index.SortOrder()->Name());
    os.WriteBool("SortPriKeyFromEnd", index.FromEnd());
    for (std::size_t i = 0; i < index.SecMarkerCount(); ++i)
        if (index.SecMarker(i))
            os.WriteString("mkrSecKey", index.SecMarker(i)->Name());
    if (index.Filter())
        os.WriteString("fil", index.Filter()->FilterName());
    os.WriteEndMarker("ind");
}

bool ReadIndexSettings(ObjectStream& is, CIndexSettings& settings) {
    if (!is.ReadBeginMarker("ind"))
        return false;
    settings = CIndexSettings();
    SettingsObjectReader reader(is, "ind", settings.kept);
    while (reader.Next()) {
        std::string value;
        if (is.ReadString("mkrPriKey", settings.priMarker) ||
            is.ReadString("srtPriKey", settings.sortOrder) ||
            is.ReadBool("SortPriKeyFromEnd", settings.fromEnd) ||
            is.ReadString("fil", settings.filter))
            continue;
        if (is.ReadString("mkrSecKey", value)) {
            settings.secMarkers.push_back(value);
            continue;
        }
        reader.Keep();
    }
    return true;
}

CWindowIndexes IndexesFromSettings(CIndexSet& set, const CIndexSettings& settings) {
    CWindowIndexes out;
    CMarker* pri = settings.priMarker.empty() ? nullptr : set.Markers().Search(settings.priMarker);
    if (!pri) {
        out.unfiltered = &set.DefaultIndex();
        out.filtered = out.unfiltered;
        return out;
    }
    CIndexKeys keys;
    keys.priMarker = pri;
    if (pri->LangEnc() && !settings.sortOrder.empty())
        keys.sortOrder = pri->LangEnc()->FindSortOrder(settings.sortOrder);
    keys.fromEnd = settings.fromEnd;
    for (const std::string& name : settings.secMarkers)
        if (CMarker* m = set.Markers().Search(name))
            keys.secMarkers.push_back(m);
    out.unfiltered = set.GetIndex(keys);
    CIndexFilter* filter = nullptr;
    if (!settings.filter.empty() && set.FilterSource())
        filter = set.FilterSource()->FindIndexFilter(settings.filter);
    if (filter) {
        keys.filter = filter;
        out.filtered = set.GetIndex(keys);
    } else {
        out.filtered = out.unfiltered;
    }
    return out;
}

void WriteRecordPosition(ObjectStream& os, const CIndex& index, const CIndexPos& pos,
                         const KeptEntries* kept) {
    const CIndexEntry* e = pos.Entry();
    if (!e)
        return;
    os.WriteBeginMarker("rec");
    const KeptEntries none;
    SettingsObjectWriter keep(os, kept ? *kept : none);
    os.WriteStringAlways("fldPriKey", e->Field() ? e->Field()->Text() : std::string());
    for (std::size_t i = 0; i < index.SecMarkerCount(); ++i) {
        const CField* f = e->Record()->FindRelatedField(index.SecMarker(i), e->Field());
        os.WriteStringAlways("fldSecKey", f ? f->Text() : std::string());
    }
    os.WriteEndMarker("rec");
}

std::optional<CIndexPos> ReadRecordPosition(ObjectStream& is, const CIndex& index,
                                            KeptEntries* kept) {
    if (!is.ReadBeginMarker("rec"))
        return std::nullopt;
    std::string pri;
    std::vector<std::string> sec;
    KeptEntries passedOver;
    SettingsObjectReader reader(is, "rec", kept ? *kept : passedOver);
    while (reader.Next()) {
        std::string value;
        if (is.ReadString("fldPriKey", pri))
            continue;
        if (is.ReadString("fldSecKey", value)) {
            sec.push_back(value);
            continue;
        }
        reader.Keep();
    }
    const std::string key = index.MakeTypedKey(pri, sec);
    for (std::size_t i = 0; i < index.Count(); ++i)
        if (index.KeysEqual(key, index.EntryAt(i)->Key()))
            return index.PosAt(i);
    return std::nullopt;
}

} // namespace crv
