// Reading a whole database file into a record list, with the progress display, the
// too-large message and the summary of skipped material; and writing one back.
// Opening a database document, importing, and reading corpus files all come here.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "base/sf_header.h"
#include "record/record.h"

namespace crv {

class CMarker;
class CMarkerSet;
class SFStream;

enum class ReadStatus {
    Ok,
    CannotOpen,  // the file could not be opened (message shown)
    TooLarge,    // a field passed 32000 characters (message shown)
    ReadError,   // reading the file failed part way (message shown)
    Cancelled,   // the user cancelled the progress display
    NothingRead, // material was skipped and no record found (summary shown)
};

struct DatabaseReadResult {
    ReadStatus status = ReadStatus::Ok;
    long records = 0;
    long fields = 0; // in the records read
    long fieldsSkipped = 0;
    long linesSkipped = 0;
    // Material was skipped: the document counts as modified, so that the next save
    // writes the file without it.
    bool skippedMaterial = false;
    bool Ok() const { return status == ReadStatus::Ok; }
};

// "%1\nCan not open this file because it contains a field more than 32000 characters
// in size." (a field, or the header entry, passed the limit): the text, and showing it.
std::string TooLargeText(std::string_view path);
void ShowTooLarge(std::string_view path);

// "%1\nCannot open this file.\n\nPlease check whether it is already open in another
// program."
std::string CannotOpenText(std::string_view path);

// Reads every record of reader into records, under the progress display "Reading %1"
// (path) sized to the input's length. records receives the records only when the whole
// read succeeds; on failure nothing is kept.
DatabaseReadResult ReadAllRecords(SFStream& reader, std::string_view path, std::int64_t length,
                                  CRecordList& records);

// Opens path and reads it as a database: skipping to the first record (header and
// control lines included), adding unknown markers to markers. Without a record marker
// (a file with no marker line) everything is skipped and counted.
DatabaseReadResult ReadDatabaseRecords(const std::string& path, CMarkerSet& markers,
                                       CMarker* recordMarker, CRecordList& records);

// The first marker line's name in the file at path (as the reader sees it: "??" for an
// invalid name); empty when there is none or the file cannot be read.
std::string FirstMarkerName(const std::string& path);

// Writes a whole database (header, records) to out under the progress display
// "Writing %1" (displayName); false when writing failed.
[[nodiscard]] bool WriteDatabaseStream(std::ostream& out, const CRecordList& records,
                                       const SFHeader& header, bool hasDateStampMarker,
                                       std::string_view displayName);

} // namespace crv
