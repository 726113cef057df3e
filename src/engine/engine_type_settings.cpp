#include "engine/engine_type_settings.h"

#include "engine/filter.h"
#include "schema/database_type.h"

namespace crv {

std::unique_ptr<CTypeSettingsObject> CEngineTypeSettings::MakeFilterSet(CDatabaseType& type) const {
    return std::make_unique<CFilterSet>(type.MarkerSet());
}

CFilterSet* FilterSetOf(const CDatabaseType& type) {
    return dynamic_cast<CFilterSet*>(type.FilterSet());
}

} // namespace crv
