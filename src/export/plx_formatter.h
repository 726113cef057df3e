// The dictionary formatter's run: checks, then three passes through the change tables
// of the settings folder with a sort in between. Pass one selects fields into a first
// temporary file; the sort reads it into a working database and indexes it; pass two
// writes the sorted entries, with option lines and letter headings, into a second
// temporary file; pass three reads that through the audience's labels table into the
// RTF writer, with running heads, title and date.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/export_run.h"
#include "export/plx_process.h"

namespace crv {

class CDatabaseType;
class CSortOrder;

// The order of ps, se and sn in the type's marker hierarchy: the sort markers after lx
// (e.g. "se", "sn", "ps") and the name the second pass announces ("se_sn_ps").
struct PlxSortSequence {
    std::vector<std::string> markers;
    std::string name;
};
PlxSortSequence SortSequenceOf(const CDatabaseType& type);

// The letter heading of an index key's primary part: the upper- and lower-case forms
// of its first letter joined by "  -  " (the letter alone where it has no case pair);
// letter receives the letter's primary weight (0 when there is none).
std::string LetterHeading(const CSortOrder& order, std::string_view key, int& letter);

// The formatter's own markers: without IncludeNonPLX only these are exported.
bool IsPlxMarker(std::string_view name);

ExportResult RunDictionaryFormatter(CExportProcessPLX& process, const ExportRequest& request,
                                    ExportDialogs& dialogs);

} // namespace crv
