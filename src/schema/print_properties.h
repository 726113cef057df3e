// The print properties of a database type ("\+PrintProperties"): header and footer
// texts, margins, and how records are spaced on the page. Printing itself reads them.
#pragma once

#include <string>

#include "base/object_stream.h"

namespace crv {

struct CPrintProperties {
    std::string header = "File: &f, Date: &d";
    std::string footer = "Page &p";
    // Margins as the user typed them; empty: the printer's own.
    std::string topMargin, leftMargin, bottomMargin, rightMargin;
    bool breakRecordsWithSpace = true;
    bool printCurrentRecord = true;
    int recordsSpace = 10;
    KeptEntries kept; // entries this version does not read

    // Reads the object when it is the current entry. A flag is written only when set,
    // so a present object starts with both flags off; an absent one keeps the defaults.
    bool Read(ObjectStream& is);
    void Write(ObjectStream& os) const;
    bool operator==(const CPrintProperties&) const = default;
};

} // namespace crv
