// The label the record view draws in its marker area for a field: the hierarchy indent,
// the marker with its backslash, the field name, as the window's marker-area settings
// ask; at most 99 characters.
#pragma once

#include <string>

namespace crv {

class CMarker;

struct CMarkerAreaSettings {
    bool markers = true;
    bool hierarchy = false;
    bool fieldNames = false;
};

// The indent (three characters of the marker set's indent string per level) when the
// hierarchy is shown; then, when markers are shown or the marker has no field name, the
// backslash (not for subfield markers) and the marker; then, with field names, two spaces
// after a marker written and the field name. A field name of "*" (a marker added from
// data) counts as none: the label would not tell the fields apart.
std::string MarkerLabel(const CMarker& marker, const CMarkerAreaSettings& settings);

} // namespace crv
