#include "app/type_options.h"

#include "app/doc_manager.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "export/export_process_set.h"
#include "schema/database_type.h"

namespace crv {

namespace {

// The marker a choice names: null for "[none]" (and an empty text); false when the type
// has no marker of that name.
bool MarkerOfChoice(const CDatabaseType& type, const std::string& name, CMarker*& marker) {
    marker = nullptr;
    if (name.empty() || name == kNoMarkerChoice)
        return true;
    marker = type.MarkerSet().Search(name);
    if (!marker)
        platform().ShowMessage("Marker not in marker list: \\" + name);
    return marker != nullptr;
}

} // namespace

CTypeOptions TypeOptionsOf(const CDatabaseType& type) {
    CTypeOptions o;
    o.description = type.Description();
    if (CMarker* m = type.DateStampMarker())
        o.dateStamp = m->Name();
    if (CMarker* m = type.MultipleMatchMarker())
        o.multipleMatch = m->Name();
    o.interlinCharWidth = type.InterlinCharWidth();
    o.recordTemplate = type.Template();
    if (CExportProcessSet* exports = ExportSetOf(type))
        o.polylex = exports->HasDictionaryFormatter();
    return o;
}

std::vector<std::string> MarkerChoices(const CDatabaseType& type) {
    std::vector<std::string> out{kNoMarkerChoice};
    for (const CMarker& m : type.MarkerSet())
        out.push_back(m.Name());
    return out;
}

bool ApplyTypeOptions(CDatabaseType& type, const CTypeOptions& options, CDocManager* docs) {
    CMarker* dateStamp = nullptr;
    CMarker* multipleMatch = nullptr;
    if (!MarkerOfChoice(type, options.dateStamp, dateStamp) ||
        !MarkerOfChoice(type, options.multipleMatch, multipleMatch))
        return false;
    if (options.interlinCharWidth < 1 || options.interlinCharWidth > kMaxInterlinCharWidth) {
        platform().ShowMessage(
            FormatMessage("The interlinear character width must be from 1 to %1.",
                          {std::to_string(kMaxInterlinCharWidth)}));
        return false;
    }
    // A template is a sequence of fields; text before the first marker would be lost.
    if (!options.recordTemplate.empty() && options.recordTemplate.front() != '\\') {
        platform().ShowMessage("The record template must begin with a field marker, such as \\" +
                               (type.RecordMarker() ? type.RecordMarker()->Name() : "lx") + ".");
        return false;
    }
    type.SetDescription(options.description);
    type.SetMultipleMatchMarker(multipleMatch);
    type.SetInterlinCharWidth(options.interlinCharWidth);
    type.SetTemplate(options.recordTemplate);
    if (CExportProcessSet* exports = ExportSetOf(type);
        exports && exports->HasDictionaryFormatter() != options.polylex) {
        exports->SetDictionaryFormatter(options.polylex);
        type.SetModified(true);
    }
    if (dateStamp != type.DateStampMarker()) {
        type.SetDateStampMarker(dateStamp);
        if (dateStamp && docs)
            docs->DateStampMarkerChanged(type);
    }
    return true;
}

} // namespace crv
