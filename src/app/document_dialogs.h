// The dialogs documents show: the import dialog, "Database Type Not Found", the choice of
// a new database's file and type, "Select Database" for copying and merging, and
// "Save As" for a read-only database. The desktop program implements them with
// widgets; CPlatformDocumentDialogs answers through the platform services with choices
// given beforehand (crv's options, tests).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace crv {

class CCrvDoc;
class CDatabaseType;
class CDatabaseTypeSet;
class CImportDialog;

class CDocumentDialogs {
public:
    virtual ~CDocumentDialogs() = default;
    // Shows the import dialog until it is confirmed (dialog.Confirm() accepted it): true,
    // or cancelled: false.
    virtual bool RunImportDialog(CImportDialog& dialog) = 0;
    // "Database Type Not Found" with text: true for "&Import as a Different Type".
    virtual bool TypeNotFound(std::string_view text) = 0;
    // The save-file dialog "Enter the name for the new database" (asking before an
    // existing file is replaced); nullopt when cancelled.
    virtual std::optional<std::string> NewDatabasePath() = 0;
    // The type of a new database; null when cancelled.
    virtual CDatabaseType* ChooseNewDatabaseType(CDatabaseTypeSet& types) = 0;
    // "Select Database" with prompt: one of candidates, or null when cancelled.
    virtual CCrvDoc* ChooseDatabase(std::string_view prompt,
                                    const std::vector<CCrvDoc*>& candidates) = 0;
    // A new name for a document that cannot be saved under its own; nullopt when
    // cancelled.
    virtual std::optional<std::string> SaveAsPath(const CCrvDoc& doc) = 0;
};

// Choices made beforehand, as a command line gives them.
struct CPresetChoices {
    std::string typeName;    // the import dialog's and the new database's type
    std::string changeTable; // empty: no change table
    bool keepSpaces = false; // do not remove hanging indents
    bool backup = false;     // keep the original as ".ori"
    std::string newPath;     // the new database's file
};

// Through the platform services. The import dialog is filled from the preset once;
// showing it again (after a refusal or a "Yes" to a discrepancy) cannot change its
// choices, so it stops there and StoppedAtDialog tells so.
class CPlatformDocumentDialogs : public CDocumentDialogs {
public:
    explicit CPlatformDocumentDialogs(CPresetChoices preset = {}) : m_preset(std::move(preset)) {}

    bool RunImportDialog(CImportDialog& dialog) override;
    bool TypeNotFound(std::string_view text) override;
    std::optional<std::string> NewDatabasePath() override;
    CDatabaseType* ChooseNewDatabaseType(CDatabaseTypeSet& types) override;
    CCrvDoc* ChooseDatabase(std::string_view prompt,
                            const std::vector<CCrvDoc*>& candidates) override;
    std::optional<std::string> SaveAsPath(const CCrvDoc& doc) override;

    // An import dialog had to be shown again, or was refused.
    bool StoppedAtDialog() const { return m_stopped; }

private:
    CPresetChoices m_preset;
    int m_importShown = 0;
    bool m_stopped = false;
};

} // namespace crv
