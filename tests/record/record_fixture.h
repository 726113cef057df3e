// Helpers for record tests: a marker set with a hierarchy, and reading and writing
// database text in memory.
#pragma once

#include <string>

#include "record/record.h"
#include "record/sf_reader.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "support/test_support.h"

namespace crv::test {

class RecordTest : public PlatformTest {
protected:
    // A marker under parent (the record marker when parent is null).
    CMarker* Marker(const std::string& name, CMarker* parent = nullptr);
    // Makes name the record marker.
    CMarker* RecordMarker(const std::string& name);
    // A record from "mkr text" lines ("lx a\nge b"); \n inside a text is written "|".
    CRecord* MakeRecord(const std::string& layout);

    CLangEncSet encodings;
    CMarkerSet markers{&encodings};
    CRecordList records;
};

// What a read produced.
struct ReadOutcome {
    std::string dump; // records one per line: "lx:a|ge:b\nc" with LF shown as "\n"
    long records = 0;
    long fieldsSkipped = 0;
    long linesSkipped = 0;
    bool tooLarge = false;
};

// Reads bytes with the given record marker (created when missing). A nonzero chunk
// hands the reader that many bytes at a time, without a size hint.
ReadOutcome ReadText(CMarkerSet& markers, const std::string& bytes, const std::string& recordMarker,
                     bool skipToRecord = true, bool removeIndent = false,
                     CRecordList* keep = nullptr, std::size_t chunk = 0);

// Writes records (no header) as database text.
std::string WriteText(const CRecordList& records);

// The record list as ReadOutcome::dump shows it.
std::string Dump(const CRecordList& records);

} // namespace crv::test
