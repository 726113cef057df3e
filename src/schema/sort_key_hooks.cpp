#include "schema/sort_key_hooks.h"

#include <cstring>
#include <vector>

#include "base/message_text.h"
#include "base/platform.h"
#include "zentab/change_table.h"

namespace crv {

std::unique_ptr<CSortKeyLibrary> CSortKeyLibrary::Load(const std::string& folder,
                                                       std::string_view fileName) {
    auto lib = CSettingsLibrary::Open(folder, fileName);
    auto fn = lib ? reinterpret_cast<CrvMakeSortKeyFn>(lib->Symbol("MAKE_SORT_KEY")) : nullptr;
    if (!fn) {
        // The message names the file with a printf-style placeholder.
        std::string text = "DLL file %s could not be loaded.";
        text.replace(text.find("%s"), 2, fileName);
        platform().ShowMessage(text);
        return nullptr;
    }
    std::unique_ptr<CSortKeyLibrary> out(new CSortKeyLibrary);
    out->m_library = std::move(lib);
    out->m_makeKey = fn;
    return out;
}

std::string CSortKeyLibrary::MakeKey(std::string_view text, bool fromEnd) const {
    std::string in(text.substr(0, 255));
    // Far more room than the contract asks for, so that a library that overruns it by a
    // little does not write over the stack; only the first 255 bytes are taken.
    std::vector<char> key(std::size_t{CRV_SORT_KEY_BUFFER} * 16, '\0');
    m_makeKey(in.c_str(), key.data(), fromEnd ? 1 : 0);
    key.back() = '\0';
    return std::string(key.data(), strnlen(key.data(), 255));
}

} // namespace crv

namespace crv {

namespace {

// A sort order's change table, run afresh for each key text.
class CZentabKeyChangeTable : public CKeyChangeTable {
public:
    explicit CZentabKeyChangeTable(CChangeTable table) : m_table(std::move(table)) {}
    bool Run(std::string_view text, std::string& out, std::size_t maxOut) const override {
        std::string result;
        if (!m_table.Process(text, result))
            return false;
        if (result.size() > maxOut)
            return false;
        out = std::move(result);
        return true;
    }

private:
    // Running a table changes its run state, not what the sort order means by it.
    mutable CChangeTable m_table;
};

} // namespace

std::unique_ptr<CKeyChangeTable> LoadKeyChangeTable(const std::string& folder,
                                                    std::string_view fileName) {
    std::string path = ResolveInSettingsFolder(folder, fileName);
    if (path.empty()) {
        platform().ShowMessage(FormatMessage("Change table %1 not found.", {fileName}));
        return nullptr;
    }
    CChangeTable table;
    ChangeTableResult loaded = table.LoadFile(path);
    if (!loaded) {
        platform().ShowMessage(
            FormatMessage("Change table %1 could not be loaded.\n%2", {fileName, loaded.Text()}));
        return nullptr;
    }
    return std::make_unique<CZentabKeyChangeTable>(std::move(table));
}

} // namespace crv
