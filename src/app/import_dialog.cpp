#include "app/import_dialog.h"

#include <filesystem>

#include "base/file_names.h"
#include "base/message_text.h"
#include "schema/database_type_set.h"

namespace crv {

CImportDialog::CImportDialog(CDatabaseTypeSet& types, CImportSettings& settings,
                             std::string sourcePath, std::string preview, ImportMode mode,
                             std::string missingTypeName)
    : m_types(&types), m_settings(&settings), m_sourcePath(std::move(sourcePath)),
      m_preview(std::move(preview)), m_mode(mode), m_missingTypeName(std::move(missingTypeName)) {
    if (mode == ImportMode::NoHeader) {
        useChangeTable = settings.useChangeTable;
        changeTable = settings.changeTable;
        removeIndent = settings.removeSpaces;
        backupOriginal = true;
    }
}

std::string CImportDialog::MissingTypeText() const {
    if (m_mode != ImportMode::TypeMissing)
        return {};
    return FormatMessage("Database type   %1   not found for:", {m_missingTypeName});
}

std::vector<std::string> CImportDialog::TypeItems() const {
    std::vector<std::string> items;
    for (const auto& proxy : m_types->Proxies())
        items.push_back(proxy.Name());
    items.push_back(kAddTypeItem);
    return items;
}

CDatabaseType* CImportDialog::ChosenType() const {
    if (typeName.empty() || !m_types->FindProxy(typeName))
        return nullptr;
    return m_types->Find(typeName);
}

std::string CImportDialog::ChangeTableDisplayName() const {
    if (changeTable.empty() || !FileExists(changeTable))
        return "None";
    return std::filesystem::path(changeTable).filename().string();
}

FileRequest CImportDialog::ChangeTableRequest() const {
    FileRequest r;
    r.title = "Choose the Conversion Table for Import";
    r.filter = "Change Table (*.ztt;*.zt)|*.ztt;*.zt||";
    r.initialPath = changeTable;
    r.mustExist = true;
    return r;
}

bool CImportDialog::ChooseChangeTable() {
    auto chosen = platform().ChooseFile(ChangeTableRequest());
    if (!chosen)
        return false;
    changeTable = *chosen;
    useChangeTable = true;
    return true;
}

CDatabaseType*
CImportDialog::AddNewType(std::string_view name, std::string_view recordMarker,
                          const std::function<bool(CDatabaseType&)>& editProperties) {
    CDatabaseType* type = m_types->Add(name, recordMarker, editProperties);
    if (type)
        typeName = std::string(name);
    return type;
}

bool CImportDialog::Confirm() {
    if (!ChosenType()) {
        platform().ShowMessage("You must choose a Database Type!");
        return false;
    }
    if (OptionsEnabled()) {
        m_settings->useChangeTable = useChangeTable;
        m_settings->changeTable = changeTable;
        m_settings->removeSpaces = removeIndent;
    } else {
        useChangeTable = false;
        removeIndent = false;
        backupOriginal = false;
    }
    return true;
}

} // namespace crv
