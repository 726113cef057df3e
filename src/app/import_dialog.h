// The import dialog as logic: which choices it offers for a file that is not yet a
// database (the database type, a change table, removing hanging indents, keeping the
// original as ".ori"), their defaults from the project, and its OK. The desktop
// program draws it; crv fills it from its options.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/platform.h"

namespace crv {

class CDatabaseType;
class CDatabaseTypeSet;

// The project's import choices, remembered from one import to the next.
struct CImportSettings {
    bool useChangeTable = false; // UseImportZTT
    std::string changeTable;     // ImportZTT
    bool removeSpaces = true;    // stored as KeepSpaces when false
};

// Why the dialog is shown: a file without a usable header, or a database whose type
// the project does not have (the type name is shown; the other choices are disabled).
enum class ImportMode { NoHeader = 0, TypeMissing = 1 };

class CImportDialog {
public:
    // How much of the source file the dialog shows.
    static constexpr std::size_t kPreviewSize = 32765;
    static constexpr const char* kAddTypeItem = "&Add a new Database Type...";

    CImportDialog(CDatabaseTypeSet& types, CImportSettings& settings, std::string sourcePath,
                  std::string preview, ImportMode mode, std::string missingTypeName = {});

    const std::string& SourcePath() const { return m_sourcePath; }
    // The first bytes of the source file ("Source File").
    const std::string& Preview() const { return m_preview; }
    ImportMode Mode() const { return m_mode; }
    // "Database type   %1   not found for:" in the missing-type mode, else empty.
    std::string MissingTypeText() const;
    // The change-table, indent and backup controls can be used (not in the missing-type
    // mode).
    bool OptionsEnabled() const { return m_mode == ImportMode::NoHeader; }

    // The project's types, by name, then kAddTypeItem.
    std::vector<std::string> TypeItems() const;
    // The chosen type, or null.
    CDatabaseType* ChosenType() const;

    // The choices, as the controls show them.
    std::string typeName;
    bool useChangeTable = false;
    std::string changeTable;
    bool removeIndent = false;
    bool backupOriginal = false;

    // The change table shown by its file name, or "None" when there is none or its file
    // does not exist.
    std::string ChangeTableDisplayName() const;
    // The file dialog that chooses the change table.
    FileRequest ChangeTableRequest() const;
    // Asks for the change table through the platform; false when cancelled.
    bool ChooseChangeTable();
    // "&Add a new Database Type...": the type set's checks, then editProperties (the
    // property sheet); the new type is selected. Null when refused or cancelled.
    CDatabaseType* AddNewType(std::string_view name, std::string_view recordMarker,
                              const std::function<bool(CDatabaseType&)>& editProperties = {});

    // OK: without a type "You must choose a Database Type!" and false (the dialog
    // stays). Otherwise the change-table and indent choices go back to the project's
    // settings.
    bool Confirm();

private:
    CDatabaseTypeSet* m_types;
    CImportSettings* m_settings;
    std::string m_sourcePath;
    std::string m_preview;
    ImportMode m_mode;
    std::string m_missingTypeName;
};

} // namespace crv
