// The settings objects that database types hold for the engine: the factory a type set
// is given, and the way back from a type to its filter set.
#pragma once

#include <memory>

#include "schema/type_settings_object.h"

namespace crv {

class CDatabaseType;
class CFilterSet;

class CEngineTypeSettings : public CTypeSettingsFactory {
public:
    std::unique_ptr<CTypeSettingsObject> MakeFilterSet(CDatabaseType& type) const override;
};

// The filter set of a type made with the engine's factory; null otherwise.
CFilterSet* FilterSetOf(const CDatabaseType& type);

} // namespace crv
