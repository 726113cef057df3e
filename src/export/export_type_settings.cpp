#include "export/export_type_settings.h"

#include "export/export_process_set.h"

namespace crv {

std::unique_ptr<CTypeSettingsObject> CExportTypeSettings::MakeExportSet(CDatabaseType& type) const {
    return std::make_unique<CExportProcessSet>(type);
}

} // namespace crv
