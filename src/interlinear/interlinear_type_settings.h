// The settings objects a database type holds when the interlinear layer is linked: the
// engine's (filters, jump path) and the interlinear process list.
#pragma once

#include "engine/engine_type_settings.h"

namespace crv {

class CInterlinearTypeSettings : public CEngineTypeSettings {
public:
    std::unique_ptr<CTypeSettingsObject> MakeInterlinearProcs(CDatabaseType& type) const override;
};

} // namespace crv
