#include "interlinear/interlinear_type_settings.h"

#include "interlinear/interlinear_proc.h"

namespace crv {

std::unique_ptr<CTypeSettingsObject>
CInterlinearTypeSettings::MakeInterlinearProcs(CDatabaseType& type) const {
    return std::make_unique<CInterlinearProcList>(
        &type, [this](std::string& path) { return FileLocator() && FileLocator()(path); });
}

} // namespace crv
