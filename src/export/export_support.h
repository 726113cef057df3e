// What the export runs share: the records to write and how each is written, a
// scratch copy of a marker set for reading exported text back, standard format written
// through a change table, and the files and messages of the runs.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "record/sf_writer.h"
#include "zentab/change_table.h"

namespace crv {

// The messages of a temporary file that an export writes and reads back.
inline constexpr std::string_view kTempWriteFailed =
    "%1\nFailed to write this temporary file.\n\nPlease check whether there's enough disk space.";
inline constexpr std::string_view kTempTooLarge =
    "%1\nPLX cannot open this temporary file because it contains a field more than 32000 "
    "characters in size.";

class CMarker;
class CMarkerSet;
class CMarkerSubSet;
class CRecord;
class CField;
class Progress;

// One record to export, and the field to write first (its sorting field) or null.
struct ExportItem {
    const CRecord* record = nullptr;
    const CField* first = nullptr;
};

// Writes the record's fields that fields includes (first, when given, at the top).
void WriteExportItem(RecordOutput& out, const ExportItem& item, const CMarkerSubSet& fields);

// A copy of markers (names, properties, hierarchy, record marker, interlinear flags)
// that markers met while reading exported text can join without changing the type.
std::unique_ptr<CMarkerSet> CopyMarkerSet(const CMarkerSet& markers);

// A stream buffer that writes LF as CR LF: a change table's text output as it goes to
// disk.
class CrlfBuf : public std::streambuf {
public:
    explicit CrlfBuf(std::streambuf* sink) : m_sink(sink) {}

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override { return m_sink->pubsync(); }

private:
    std::streambuf* m_sink;
    bool m_afterCr = false;
};

// Standard format written to out, through table when one is given (text tables write
// CR LF line ends). write fills the writer and returns false to abandon. tableError
// holds the change table's messages when it failed while running.
bool WriteThroughTable(std::ostream& out, CChangeTable* table,
                       const std::function<bool(SFStreamWriter&)>& write, std::string& tableError);

// Whether the table file exists as named (or with ".ztt" where it names no extension).
bool TableFileExists(const std::string& path);

// Shows a message made from pattern and its arguments (%1, %2).
void ShowExportMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

// Reads a file in whole; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text);

} // namespace crv
