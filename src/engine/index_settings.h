// A window's stored index settings (object "ind") and current record (object "rec"),
// written and read back into indexes of a database's index set.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/kept_entries.h"
#include "engine/index_set.h"

namespace crv {

class ObjectStream;

// "\+ind": mkrPriKey, srtPriKey, SortPriKeyFromEnd, mkrSecKey (one per secondary
// marker), and fil with the filter's name when the window has a filter; then the entries
// kept when the settings were read.
void WriteIndexSettings(ObjectStream& os, const CIndex& index, const KeptEntries* kept = nullptr);

// The names an "ind" object holds, as read.
struct CIndexSettings {
    std::string priMarker;
    std::string sortOrder;
    bool fromEnd = false;
    std::vector<std::string> secMarkers;
    std::string filter;
    KeptEntries kept; // entries this version does not read
};

// The same object from names (settings kept while their database is not open).
void WriteIndexSettings(ObjectStream& os, const CIndexSettings& settings);
// The names of index's settings.
CIndexSettings IndexSettingsOf(const CIndex& index);

// Reads "\+ind" when it is the current entry.
bool ReadIndexSettings(ObjectStream& is, CIndexSettings& settings);

// The window's unfiltered and filtered indexes (the same one without filter).
struct CWindowIndexes {
    CIndexRef unfiltered;
    CIndexRef filtered;
};

// Indexes for settings read: without a primary marker the set's default index for
// both; a sort order the marker's encoding lacks selects its default; unknown secondary
// markers are left out; an unknown filter name leaves the window unfiltered.
CWindowIndexes IndexesFromSettings(CIndexSet& set, const CIndexSettings& settings);

// "\+rec": fldPriKey, the entry's primary field text (empty without field), then
// fldSecKey per secondary marker with the related field's text. Window settings name the
// object ("\+rec Cur"); the second form writes back entries kept when it was read.
void WriteRecordPosition(ObjectStream& os, const CIndex& index, const CIndexPos& pos,
                         std::string_view name = {});
void WriteRecordPosition(ObjectStream& os, const CIndex& index, const CIndexPos& pos,
                         const KeptEntries* kept);
// Reads "\+rec" when it is the current entry and finds the first entry whose key equals
// the key made from those texts at every level; nullopt when none does (or no object).
// Entries it does not read go to kept (passed over without it).
std::optional<CIndexPos> ReadRecordPosition(ObjectStream& is, const CIndex& index,
                                            KeptEntries* kept = nullptr);

// The texts a "rec" object holds, for settings read before their database is open.
struct CRecordPositionTexts {
    std::string primary;
    std::vector<std::string> secondary;
    KeptEntries kept; // entries this version does not read
};
CRecordPositionTexts RecordPositionTexts(const CIndex& index, const CIndexPos& pos);
void WriteRecordPositionTexts(ObjectStream& os, const CRecordPositionTexts& texts,
                              std::string_view name = {});
// Reads "\+rec" when it is the current entry.
bool ReadRecordPositionTexts(ObjectStream& is, CRecordPositionTexts& texts);
// The first entry whose key equals the key made from texts at every level.
std::optional<CIndexPos> FindRecordPosition(const CIndex& index, const CRecordPositionTexts& texts);

} // namespace crv
