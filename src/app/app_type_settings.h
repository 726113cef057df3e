// The settings objects database types hold in the program: the engine's (filters, jump
// path), the interlinear process list and the export set. The project and crv give their
// type sets this factory.
#pragma once

#include "interlinear/interlinear_type_settings.h"

namespace crv {

class CAppTypeSettings : public CInterlinearTypeSettings {
public:
    std::unique_ptr<CTypeSettingsObject> MakeExportSet(CDatabaseType& type) const override;
};

} // namespace crv
