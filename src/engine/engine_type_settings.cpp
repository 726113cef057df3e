#include "engine/engine_type_settings.h"

#include "engine/filter.h"
#include "schema/database_type.h"

namespace crv {

std::unique_ptr<CTypeSettingsObject> CEngineTypeSettings::MakeFilterSet(CDatabaseType& type) const {
    return std::make_unique<CFilterSet>(type.MarkerSet());
}

std::unique_ptr<CTypeSettingsObject> CEngineTypeSettings::MakeJumpPath(CDatabaseType& type) const {
    // The locator is looked up when a path is read, so that it may be set after the
    // factory was handed to the type set.
    return std::make_unique<CJumpPath>(
        &type, [this](std::string& path) { return m_locate && m_locate(path); });
}

CFilterSet* FilterSetOf(const CDatabaseType& type) {
    return dynamic_cast<CFilterSet*>(type.FilterSet());
}

CJumpPath* JumpPathOf(const CDatabaseType& type) {
    return dynamic_cast<CJumpPath*>(type.JumpPathSettings());
}

} // namespace crv
