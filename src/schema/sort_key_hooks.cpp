#include "schema/sort_key_hooks.h"

#include <cstring>
#include <vector>

#include "record/message_text.h"
#include "record/platform.h"

namespace crv {

std::unique_ptr<CSortKeyLibrary> CSortKeyLibrary::Load(const std::string& folder, std::string_view fileName) {
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
    std::vector<char> key(CRV_SORT_KEY_BUFFER * 16, '\0');
    m_makeKey(in.c_str(), key.data(), fromEnd ? 1 : 0);
    key.back() = '\0';
    return std::string(key.data(), strnlen(key.data(), 255));
}

} // namespace crv

namespace crv {

std::unique_ptr<CKeyChangeTable> LoadKeyChangeTable(const std::string& folder, std::string_view fileName) {
    std::string path = ResolveInSettingsFolder(folder, fileName);
    std::string text = path.empty() ? "Change table %s not found." : "Change table %s cannot be run: the change-table engine is not available.";
    text.replace(text.find("%s"), 2, fileName);
    platform().ShowMessage(text);
    return nullptr;
}

} // namespace crv
