// Editing a language encoding as its property sheet does: every change goes to a working
// copy, and only Apply carries it over to the project's encoding (announced and written),
// so that a cancelled sheet leaves the encoding and its file as they were. A sort order
// being edited is previewed on a scratch copy for the same reason: compiling creates the
// units it names in its encoding.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/note.h"
#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"

namespace crv {

// A copy of source, read from its settings text, in set (no proxy, no file).
std::unique_ptr<CLangEnc> CopyLangEnc(const CLangEnc& source, CLangEncSet& set);

// Names of encodings and sort orders stand on a settings line of their own: not empty,
// no line break, no white space at either end. False with the reason in error.
bool CheckSettingsName(std::string_view name, CNote& error);

class CLangEncEdit {
public:
    explicit CLangEncEdit(CLangEnc& real);
    ~CLangEncEdit();
    CLangEncEdit(const CLangEncEdit&) = delete;
    CLangEncEdit& operator=(const CLangEncEdit&) = delete;

    CLangEnc& Real() const { return *m_real; }
    // The copy the sheet shows and changes.
    CLangEnc& Working() const { return *m_working; }

    // --- sort orders of the working copy
    CSortOrder* AddSortOrder(std::string_view name, const CSortOrderDef& def, CNote& error);
    // Refused (the message shown) while the encoding's own order of that name is held by an
    // index or setting, or for the last order; otherwise asks first.
    bool DeleteSortOrder(CSortOrder* so);

    // --- units: a new character or multigraph (no white space inside); null with the
    // reason in error when it is empty, exists already or the encoding is full.
    CLangChar* AddUnit(std::string_view text, CNote& error);

    // Carries the working copy over to the encoding, announces the change so that open
    // windows re-sort, and writes its file. False when the file could not be written (the
    // message shown); notes from recompiling are shown as messages.
    bool Apply();

private:
    CLangEnc* m_real;
    CLangEncSet m_scratch;
    std::unique_ptr<CLangEnc> m_working;
};

// Sorts lines as a sort order compiled from def in enc would sort them (index order:
// every level, whole keys, stable). enc is not changed: the order is compiled on a
// scratch copy. False with the reason in error when def does not compile.
bool PreviewSort(const CLangEnc& enc, const CSortOrderDef& def, std::vector<std::string>& lines,
                 CNote& error);

} // namespace crv
