// Interlinear bundles: a field of the text-line marker and the interlinear lines that
// follow it, kept aligned column by column. A bundle too wide for the margin is wrapped
// as a whole: every line is cut at one column where a word begins in all of them, and
// the rest moves into a new bundle of the same markers after it. The record view's
// Reshape and Format Paragraph use this, and the interlinearizer for a new bundle.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace crv {

class CField;
class CRecord;
class CTextMeasure;

// Whether field begins a bundle: its marker is the text line and an interlinear line
// (not a text line) follows it.
bool IsBundleTextLine(const CRecord& record, const CField* field);
// Whether field belongs to a bundle: a text line that begins one, or an interlinear line
// that follows one.
bool IsInBundle(const CRecord& record, const CField* field);
// The text line of the bundle field is in; null when it is in none.
CField* BundleTextLine(const CRecord& record, CField* field);
// The bundle that begins at textLine: the text line and the interlinear lines after it.
std::vector<CField*> BundleFields(const CRecord& record, CField* textLine);

// Columns are where characters line up under each other: in a line that is UTF-8 each
// character is one column, in any other line each byte. Positions past the end count
// as if the line went on in spaces.
std::size_t ColumnCount(std::string_view line);
std::size_t ByteOfColumn(std::string_view line, std::size_t column);
std::size_t ColumnOfByte(std::string_view line, std::size_t byte);
// The columns up to the end of the last character that is not a space or line end.
std::size_t TrimmedColumns(std::string_view line);

// The wrap width in columns for a margin in pixels and the database type's interlinear
// character width; each is taken as at least 1.
std::size_t BundleWrapColumns(int margin, int interlinearCharWidth);

// Wraps the bundle that begins at textLine at width columns (see ColumnCount): while its longest
// line is longer, every line is cut at the largest column not beyond width where a word begins in
// every line that reaches it (else the first such column beyond width); the text from
// there moves into a new bundle inserted after it, and the new bundle is wrapped in turn.
// The line ends that closed a bundle's fields close each new bundle's fields as well.
// Returns the number of bundles added. Nothing is lost: joining the pieces of a line
// again gives its text.
std::size_t WrapBundle(CRecord& record, CField* textLine, std::size_t width);

// Formats every field of record at margin: interlinear bundles whole, the paragraphs of
// other fields line by line; fields of a marker with No Word Wrap are left alone.
struct RecordFormatResult {
    bool changed = false;
    bool fieldsAdded = false; // a bundle was split into new fields
};
RecordFormatResult FormatRecord(CRecord& record, int margin, int interlinearCharWidth,
                                CTextMeasure& measure);

} // namespace crv
