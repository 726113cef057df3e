// The "Options" page of a database type's properties sheet: what it shows and what its
// OK does (a date-stamp marker that became another converts the date stamps of the
// type's open databases).
#pragma once

#include <string>
#include <vector>

namespace crv {

class CDatabaseType;
class CDocManager;

struct CTypeOptions {
    std::string description;
    std::string dateStamp;     // marker name; empty: "[none]"
    std::string multipleMatch; // likewise
    int interlinCharWidth = 8;
    std::string recordTemplate; // fields separated by LF
    bool polylex = false;       // the "Polylex Formatter" export process is in the set
    bool operator==(const CTypeOptions&) const = default;
};

inline constexpr const char* kNoMarkerChoice = "[none]";
inline constexpr int kMaxInterlinCharWidth = 100;

CTypeOptions TypeOptionsOf(const CDatabaseType& type);

// The choices of a single-marker list: "[none]", then the type's markers by name.
std::vector<std::string> MarkerChoices(const CDatabaseType& type);

// OK of the page. A marker name must be one of the type's ("Marker not in marker list:
// \" and the name) and the interlinear character width 1 to 100; a refusal is shown
// and changes nothing. A date-stamp marker that became another converts the open,
// writable databases of the type (docs may be null). False when refused.
bool ApplyTypeOptions(CDatabaseType& type, const CTypeOptions& options, CDocManager* docs);

} // namespace crv
