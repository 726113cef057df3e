// Rendering libraries: turn a complex script's underlying text into the form shown on
// screen and map caret positions between the two. Loaded from the settings folder; when
// the library or its table fails, a warning is shown and text is shown as it is.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "schema/library_abi.h"
#include "schema/settings_library.h"

namespace crv {

class CRenderer {
public:
    ~CRenderer();
    // Loads library and calls its iInit with the table's path. Null after one of the
    // three warnings when the library, an entry point or the table fails.
    static std::unique_ptr<CRenderer> Load(const std::string& folder, std::string_view library,
                                           std::string_view table);

    // The displayed form of underlying text (the text itself when the library fails).
    std::string Encode(std::string_view under) const;
    int UnderPos(std::string_view under, int surfacePos) const;
    int SurfacePos(std::string_view under, int underPos) const;

private:
    CRenderer() = default;
    std::unique_ptr<CSettingsLibrary> m_library;
    CrvRenderEncodeFn m_encode = nullptr;
    CrvRenderPosFn m_underPos = nullptr;
    CrvRenderPosFn m_surfacePos = nullptr;
    std::intptr_t m_table = 0;
};

} // namespace crv
