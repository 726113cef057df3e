// The "ind" and "rec" objects of window settings.
#include "engine/index_settings.h"

#include "base/object_stream.h"
#include "record/record.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

namespace crv {

CIndexSettings IndexSettingsOf(const CIndex& index) {
    CIndexSettings s;
    if (index.PriMarker())
        s.priMarker = index.PriMarker()->Name();
    if (index.SortOrder())
        s.sortOrder = index.SortOrder()->Name();
    s.fromEnd = index.FromEnd();
    for (std::size_t i = 0; i < index.SecMarkerCount(); ++i)
        if (index.SecMarker(i))
            s.secMarkers.push_back(index.SecMarker(i)->Name());
    if (index.Filter())
        s.filter = index.Filter()->FilterName();
    return s;
}

void WriteIndexSettings(ObjectStream& os, const CIndexSettings& s) {
    os.WriteBeginMarker("ind");
    SettingsObjectWriter keep(os, s.kept);
    os.WriteString("mkrPriKey", s.priMarker);
    os.WriteString("srtPriKey", s.sortOrder);
    os.WriteBool("SortPriKeyFromEnd", s.fromEnd);
    for (const std::string& m : s.secMarkers)
        os.WriteString("mkrSecKey", m);
    os.WriteString("fil", s.filter);
    os.WriteEndMarker("ind");
}

void WriteIndexSettings(ObjectStream& os, const CIndex& index, const KeptEntries* kept) {
    CIndexSettings s = IndexSettingsOf(index);
    if (kept)
        s.kept = *kept;
    WriteIndexSettings(os, s);
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

CRecordPositionTexts RecordPositionTexts(const CIndex& index, const CIndexPos& pos) {
    CRecordPositionTexts texts;
    const CIndexEntry* e = pos.Entry();
    if (!e)
        return texts;
    if (e->Field())
        texts.primary = e->Field()->Text();
    for (std::size_t i = 0; i < index.SecMarkerCount(); ++i) {
        const CField* f = e->Record()->FindRelatedField(index.SecMarker(i), e->Field());
        texts.secondary.push_back(f ? f->Text() : std::string());
    }
    return texts;
}

void WriteRecordPositionTexts(ObjectStream& os, const CRecordPositionTexts& texts,
                              std::string_view name) {
    os.WriteBeginMarker("rec", name);
    SettingsObjectWriter keep(os, texts.kept);
    os.WriteStringAlways("fldPriKey", texts.primary);
    for (const std::string& sec : texts.secondary)
        os.WriteStringAlways("fldSecKey", sec);
    os.WriteEndMarker("rec");
}

void WriteRecordPosition(ObjectStream& os, const CIndex& index, const CIndexPos& pos,
                         std::string_view name) {
    if (pos.Entry())
        WriteRecordPositionTexts(os, RecordPositionTexts(index, pos), name);
}

void WriteRecordPosition(ObjectStream& os, const CIndex& index, const CIndexPos& pos,
                         const KeptEntries* kept) {
    if (!pos.Entry())
        return;
    CRecordPositionTexts texts = RecordPositionTexts(index, pos);
    if (kept)
        texts.kept = *kept;
    WriteRecordPositionTexts(os, texts);
}

bool ReadRecordPositionTexts(ObjectStream& is, CRecordPositionTexts& texts) {
    if (!is.ReadBeginMarker("rec"))
        return false;
    texts = CRecordPositionTexts();
    SettingsObjectReader reader(is, "rec", texts.kept);
    while (reader.Next()) {
        std::string value;
        if (is.ReadString("fldPriKey", texts.primary))
            continue;
        if (is.ReadString("fldSecKey", value)) {
            texts.secondary.push_back(value);
            continue;
        }
        reader.Keep();
    }
    return true;
}

std::optional<CIndexPos> FindRecordPosition(const CIndex& index,
                                            const CRecordPositionTexts& texts) {
    const std::string key = index.MakeTypedKey(texts.primary, texts.secondary);
    for (std::size_t i = 0; i < index.Count(); ++i)
        if (index.KeysEqual(key, index.EntryAt(i)->Key()))
            return index.PosAt(i);
    return std::nullopt;
}

std::optional<CIndexPos> ReadRecordPosition(ObjectStream& is, const CIndex& index,
                                            KeptEntries* kept) {
    CRecordPositionTexts texts;
    if (!ReadRecordPositionTexts(is, texts))
        return std::nullopt;
    if (kept)
        *kept = std::move(texts.kept);
    return FindRecordPosition(index, texts);
}

} // namespace crv
