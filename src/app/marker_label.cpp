#include "app/marker_label.h"

#include "schema/marker.h"

namespace crv {

namespace {
constexpr std::size_t kMaxLabel = 99;
}

std::string MarkerLabel(const CMarker& marker, const CMarkerAreaSettings& settings) {
    std::string label;
    if (settings.hierarchy && marker.Owner()) {
        const std::string& indent = marker.Owner()->Indent();
        label.append(indent, 0, static_cast<std::size_t>(marker.Level()) * 3);
    }
    const std::string& name = marker.FieldName();
    bool hasName = !name.empty() && name != "*";
    bool written = settings.markers || !hasName;
    if (written) {
        if (!marker.Subfield())
            label += '\\';
        label += marker.Name();
    }
    if (settings.fieldNames && hasName) {
        if (written)
            label += "  ";
        label += name;
    }
    if (label.size() > kMaxLabel)
        label.resize(kMaxLabel);
    return label;
}

} // namespace crv
