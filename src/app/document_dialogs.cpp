#include "app/document_dialogs.h"

#include "app/crv_doc.h"
#include "app/import_dialog.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "schema/database_type_set.h"

namespace crv {

bool CPlatformDocumentDialogs::RunImportDialog(CImportDialog& dialog) {
    // A second showing would need choices the preset cannot change.
    if (m_importShown++ > 0) {
        m_stopped = true;
        return false;
    }
    dialog.typeName = m_preset.typeName;
    if (dialog.OptionsEnabled()) {
        dialog.useChangeTable = !m_preset.changeTable.empty();
        dialog.changeTable = m_preset.changeTable;
        dialog.removeIndent = !m_preset.keepSpaces;
        dialog.backupOriginal = m_preset.backup;
    }
    if (!dialog.Confirm()) {
        m_stopped = true;
        return false;
    }
    return true;
}

bool CPlatformDocumentDialogs::TypeNotFound(std::string_view text) {
    Question q;
    q.text = std::string(text);
    q.buttons = Buttons::OkCancel;
    q.defaultAnswer = Answer::Cancel;
    return platform().Ask(q) == Answer::Ok;
}

std::optional<std::string> CPlatformDocumentDialogs::NewDatabasePath() {
    std::string path = m_preset.newPath;
    if (path.empty()) {
        FileRequest r;
        r.title = "Enter the name for the new database";
        r.filter = "All files (*.*)|*.*||";
        r.save = true;
        r.mustExist = false;
        auto chosen = platform().ChooseFile(r);
        if (!chosen)
            return std::nullopt;
        path = *chosen;
    }
    if (FileExists(path)) {
        Question q;
        q.text = FormatMessage("%1 already exists.\nDo you want to replace it?", {path});
        q.buttons = Buttons::YesNo;
        q.defaultAnswer = Answer::No;
        if (platform().Ask(q) != Answer::Yes)
            return std::nullopt;
    }
    return path;
}

CDatabaseType* CPlatformDocumentDialogs::ChooseNewDatabaseType(CDatabaseTypeSet& types) {
    std::vector<std::string> names;
    std::size_t chosen = names.size();
    for (const auto& proxy : types.Proxies()) {
        if (proxy.Name() == m_preset.typeName)
            chosen = names.size();
        names.push_back(proxy.Name());
    }
    if (m_preset.typeName.empty() && !names.empty())
        chosen = 0;
    auto item = platform().ChooseItem("Database type for the new database:", names, chosen);
    if (!item || *item >= names.size())
        return nullptr;
    return types.Find(names[*item]);
}

CCrvDoc* CPlatformDocumentDialogs::ChooseDatabase(std::string_view prompt,
                                                  const std::vector<CCrvDoc*>& candidates) {
    std::vector<std::string> names;
    for (const CCrvDoc* doc : candidates)
        names.push_back(doc->Path());
    auto item = platform().ChooseItem(prompt, names, 0);
    if (!item || *item >= candidates.size())
        return nullptr;
    return candidates[*item];
}

std::optional<std::string> CPlatformDocumentDialogs::SaveAsPath(const CCrvDoc& doc) {
    FileRequest r;
    r.title = "Save As";
    r.initialPath = doc.Path();
    r.filter = "All files (*.*)|*.*||";
    r.save = true;
    r.mustExist = false;
    return platform().ChooseFile(r);
}

} // namespace crv
