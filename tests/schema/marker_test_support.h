// Helpers of the marker tests: a project's encodings with one marker set, records made
// of (marker, text) pairs, and settings text read and written.
#pragma once

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "record/record.h"
#include "schema/marker.h"
#include "support/test_support.h"

namespace crv::test {

// A record of (marker, text) fields, appended to list.
inline CRecord* AddRecord(CRecordList& list,
                          std::initializer_list<std::pair<CMarker*, std::string>> fields) {
    CRecord* record = nullptr;
    for (const auto& [marker, text] : fields) {
        auto* field = new CField(marker, text);
        if (!record)
            record = new CRecord(field);
        else
            record->Add(field);
    }
    list.Add(record);
    return record;
}

// A marker added to set with a field name, under parent (the record marker when null);
// a test failure when the set refuses it.
inline CMarker* AddMarker(CMarkerSet& set, const std::string& name,
                          const std::string& fieldName = {}, CMarker* parent = nullptr) {
    CMarkerProperties p;
    p.name = name;
    p.fieldName = fieldName;
    p.parent = parent;
    CNote error;
    CMarker* m = set.Add(p, error);
    EXPECT_NE(m, nullptr) << error.Text();
    return m;
}

inline CField* FieldAt(const CRecord& record, int index) {
    CField* f = record.GetFirst();
    while (f && index-- > 0)
        f = record.GetNext(f);
    return f;
}

class MarkerTest : public PlatformTest {
protected:
    MarkerTest() : set(&encodings) {}
    ~MarkerTest() override {
        records.DeleteAll(); // fields let go of their markers before the set goes
    }

    // A marker with a field name, under parent (the record marker when null).
    CMarker* Make(const std::string& name, const std::string& fieldName = {},
                  CMarker* parent = nullptr) {
        return AddMarker(set, name, fieldName, parent);
    }

    // Reads text as a marker set into set; the notes of the read.
    CNoteList ReadSet(const std::string& text) {
        std::istringstream in(text);
        ObjectStream is(in);
        EXPECT_TRUE(set.Read(is));
        return is.Notes();
    }

    static std::string Written(const CMarkerSet& s) {
        std::ostringstream out;
        ObjectStream os(out);
        s.Write(os);
        return out.str();
    }

    CLangEncSet encodings;
    CMarkerSet set;
    CRecordList records;
};

} // namespace crv::test
