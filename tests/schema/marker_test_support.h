// Helpers of the marker tests: a project's encodings with one marker set, a stand-in
// for fields (a marker held counted, and text), and settings text read and written.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "schema/marker.h"
#include "support/test_support.h"

namespace crv::test {

// What a field does with its marker: holds it counted and moves with SetMarker.
class TestField {
public:
    TestField(CMarker* marker, std::string text) : m_marker(marker), m_text(std::move(text)) {
        m_marker->IncUse();
    }
    TestField(const TestField& o) : TestField(o.m_marker, o.m_text) {}
    ~TestField() { m_marker->DecUse(); }
    CMarker* Marker() const { return m_marker; }
    const std::string& Text() const { return m_text; }
    void SetMarker(CMarker* marker) {
        marker->IncUse();
        m_marker->DecUse();
        m_marker = marker;
    }

private:
    CMarker* m_marker;
    std::string m_text;
};

using TestRecord = std::vector<TestField>;

class MarkerTest : public PlatformTest {
protected:
    MarkerTest() : set(&encodings) {}
    ~MarkerTest() override {
        records.clear(); // fields let go of their markers before the set goes
    }

    // A marker with a field name, under parent (the record marker when null).
    CMarker* Make(const std::string& name, const std::string& fieldName = {},
                  CMarker* parent = nullptr) {
        CMarkerProperties p;
        p.name = name;
        p.fieldName = fieldName;
        p.parent = parent;
        CNote error;
        CMarker* m = set.Add(p, error);
        EXPECT_NE(m, nullptr) << error.Text();
        return m;
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
    std::vector<TestRecord> records;
};

// Settings text with LF line ends written as CR LF, as the writer writes them.
inline std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace crv::test
