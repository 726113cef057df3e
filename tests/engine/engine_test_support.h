// Helpers of the engine tests: a lexicon's markers (lx, hm, sn, ge, ps, dt) in the default
// encoding, a database's index set over them, and records and index listings made short.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/index_set.h"
#include "record/record.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/marker_test_support.h"
#include "support/test_support.h"

namespace crv::test {

// Passes entries whose record has a field of marker holding text (any, when empty).
class TestFilter : public CIndexFilter {
public:
    TestFilter(std::string name, CMarker* marker, std::string text = {})
        : m_name(std::move(name)), m_marker(marker), m_text(std::move(text)) {}
    const std::string& FilterName() const override { return m_name; }
    bool Matches(const CIndex& base, std::size_t ordinal) const override {
        ++calls;
        for (const CField& f : *base.EntryAt(ordinal)->Record())
            if (f.Marker() == m_marker && (m_text.empty() || f.Text() == m_text))
                return true;
        return false;
    }
    void SetText(std::string text) { m_text = std::move(text); }
    mutable int calls = 0;

private:
    std::string m_name;
    CMarker* m_marker;
    std::string m_text;
};

class EngineTest : public PlatformTest {
protected:
    EngineTest() : markers(&encodings) {
        lx = Make("lx", "Lexeme");
        markers.SetRecordMarker(lx);
        hm = Make("hm", "Homonym");
        sn = Make("sn", "Sense");
        ge = Make("ge", "Gloss", sn);
        ps = Make("ps", "Part of speech", sn);
        dt = Make("dt", "Date");
    }
    ~EngineTest() override { db.reset(); }

    CMarker* Make(const std::string& name, const std::string& fieldName,
                  CMarker* parent = nullptr) {
        return AddMarker(markers, name, fieldName, parent);
    }

    CIndexSet& Db(std::vector<CMarker*> secKeys = {}) {
        if (!db)
            db = std::make_unique<CIndexSet>(markers, std::move(secKeys));
        return *db;
    }

    // A record of (marker, text) fields added to the database.
    CRecord* Add(std::initializer_list<std::pair<CMarker*, std::string>> fields) {
        CRecordList list;
        CRecord* record = AddRecord(list, fields);
        Db().AddRecords(list);
        return record;
    }

    // The entries of index as "primary text/first field text" ("-" for no field).
    static std::vector<std::string> Listing(const CIndex& index) {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < index.Count(); ++i) {
            const CIndexEntry* e = index.EntryAt(i);
            out.push_back((e->Field() ? e->Field()->Text() : std::string("-")) + "/" +
                          e->Record()->GetKey());
        }
        return out;
    }

    CIndexKeys By(CMarker* m, std::vector<CMarker*> sec = {}, CIndexFilter* filter = nullptr) {
        CIndexKeys k;
        k.priMarker = m;
        k.secMarkers = std::move(sec);
        k.filter = filter;
        return k;
    }

    CLangEncSet encodings;
    CMarkerSet markers;
    CMarker *lx, *hm, *sn, *ge, *ps, *dt;
    std::unique_ptr<CIndexSet> db;
};

using Strings = std::vector<std::string>;

} // namespace crv::test
