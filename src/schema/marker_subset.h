// A subset of the markers of one marker set (markers to export, to show, ...), kept as
// one bit per marker and stored either as the list of markers left out or as the list
// of markers taken in.
#pragma once

#include <vector>

#include "base/object_stream.h"
#include "schema/marker.h"

namespace crv {

class CMarkerSubSet {
public:
    // How the subset is written, and so what markers created later become: included
    // under an excluded list, excluded under an included list.
    enum class Storage { Excluded, Included };

    // A new subset holds the whole set.
    explicit CMarkerSubSet(const CMarkerSet* set, Storage storage = Storage::Excluded);
    virtual ~CMarkerSubSet() = default;

    virtual bool IncludesMarker(const CMarker* marker) const;
    virtual void SetIncluded(const CMarker* marker, bool included);

    const CMarkerSet* MarkerSet() const { return m_set; }
    // The whole set: every marker, those created later too; nothing is written.
    bool IsWholeSet() const { return m_wholeSet; }
    void SetWholeSet();
    Storage GetStorage() const { return m_storage; }
    void SetStorage(Storage storage);

    // "\+mkrsubsetExcluded" or "\+mkrsubsetIncluded" with one "\mkr NAME" per listed
    // marker; nothing for the whole set.
    void Write(ObjectStream& os) const;
    // Reads either list when it is the current entry. Names not in the set are ignored.
    bool Read(ObjectStream& is);

private:
    // Fixes the membership of every marker that exists now.
    void Materialize();
    bool NewMarkersIncluded() const { return m_storage == Storage::Excluded; }

    const CMarkerSet* m_set;
    Storage m_storage;
    bool m_wholeSet = true;
    std::vector<bool> m_bits; // by subset slot; slots past the end follow the storage mode
    KeptEntries m_kept;       // entries of the list this version does not read
};

} // namespace crv
