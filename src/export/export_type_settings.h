// The settings objects database types hold for the layers up to export: the engine's
// filter set and the export set. The project and crv give their type sets this factory.
#pragma once

#include "engine/engine_type_settings.h"

namespace crv {

class CExportTypeSettings : public CEngineTypeSettings {
public:
    std::unique_ptr<CTypeSettingsObject> MakeExportSet(CDatabaseType& type) const override;
};

} // namespace crv
