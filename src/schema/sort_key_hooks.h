// What a sort order may pass key text through before splitting it into units: a change
// table (run by the change-table engine) and a key library exporting MAKE_SORT_KEY.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "schema/library_abi.h"
#include "schema/settings_library.h"

namespace crv {

// A change table that rewrites key text.
class CKeyChangeTable {
public:
    virtual ~CKeyChangeTable() = default;
    // The rewritten text, at most maxOut bytes. False when the table fails or its output
    // does not fit.
    virtual bool Run(std::string_view text, std::string& out, std::size_t maxOut) const = 0;
};

// Loads the change table at path (inside the settings folder); null, after a message,
// when it cannot be loaded or compiled.
std::unique_ptr<CKeyChangeTable> LoadKeyChangeTable(const std::string& folder,
                                                    std::string_view fileName);

class CSortKeyLibrary {
public:
    // Loads fileName from the settings folder; null after "DLL file %s could not be
    // loaded." when it cannot be loaded or lacks MAKE_SORT_KEY.
    static std::unique_ptr<CSortKeyLibrary> Load(const std::string& folder,
                                                 std::string_view fileName);
    // The library's key text for text (cut to 255 bytes).
    std::string MakeKey(std::string_view text, bool fromEnd) const;

private:
    CSortKeyLibrary() = default;
    std::unique_ptr<CSettingsLibrary> m_library;
    CrvMakeSortKeyFn m_makeKey = nullptr;
};

} // namespace crv
