// Printing records with a database type's print properties: the header and footer codes,
// the margins as the user typed them, and which lines of which records go on each page.
// The desktop program measures lines and draws; what goes where is decided here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schema/print_properties.h"

namespace crv {

// A header or footer with its codes filled in: &f the database's file name, &d the date,
// &p the page number, && one ampersand. Any other & is printed as it stands.
std::string ExpandPrintCodes(std::string_view text, std::string_view fileName,
                             std::string_view date, int page);

// A margin as typed: a number, optionally followed by in (or "), cm, mm or pt; a number
// alone is in inches. Sets points (nullopt for an empty text: the printer's own margin).
// False for a text that is not such a measurement, or a negative or absurd one.
bool ParseMargin(std::string_view text, std::optional<double>& points);

// The four margins of the print properties in points, nullopt where the printer's own
// margin applies. A margin that is not understood is left to the printer and named in
// message (empty when all were understood).
struct PrintMargins {
    std::optional<double> top, left, bottom, right;
};
PrintMargins ResolveMargins(const CPrintProperties& props, std::string& message);

// One record's part on a page: lines [firstLine, endLine) drawn from top (in the units
// of the heights given, from the top of the page's body).
struct PrintSlice {
    std::size_t record = 0;
    std::size_t firstLine = 0;
    std::size_t endLine = 0;
    int top = 0;
};
struct PrintPage {
    std::vector<PrintSlice> slices;
};

// Lays records (each the heights of its lines, in order) onto pages whose body is
// bodyHeight high, with recordSpace between records on a page (none at a page's top).
// keepWhole: a record that does not fit in what is left of a page starts the next page;
// only a record taller than a whole page is broken, at a line. Otherwise records break
// at whatever line ends a page. A line taller than the body gets a page of its own.
// A record without lines takes no room.
std::vector<PrintPage> PaginateRecords(const std::vector<std::vector<int>>& records, int bodyHeight,
                                       int recordSpace, bool keepWhole);

} // namespace crv
