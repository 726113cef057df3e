#include "schema/render_library.h"

#include <climits>

#include "base/message_text.h"
#include "base/platform.h"

namespace crv {

CRenderer::~CRenderer() = default;

std::unique_ptr<CRenderer> CRenderer::Load(const std::string& folder, std::string_view library,
                                           std::string_view table) {
    std::string lib(library);
    auto loaded = CSettingsLibrary::Open(folder, library);
    if (!loaded) {
        platform().ShowMessage(
            FormatMessage("Warning: Render DLL %1 not found or not valid.", {lib}));
        return nullptr;
    }
    auto init = reinterpret_cast<CrvRenderInitFn>(loaded->Symbol("iInit"));
    auto encode = reinterpret_cast<CrvRenderEncodeFn>(loaded->Symbol("iEncode"));
    auto underPos = reinterpret_cast<CrvRenderPosFn>(loaded->Symbol("iUnderPos"));
    auto surfacePos = reinterpret_cast<CrvRenderPosFn>(loaded->Symbol("iSurfacePos"));
    if (!init || !encode || !underPos || !surfacePos) {
        platform().ShowMessage(FormatMessage("Warning: Render DLL %1 not valid.", {lib}));
        return nullptr;
    }
    // The table is a data file; it too must be inside the settings folder.
    std::string tablePath = ResolveInSettingsFolder(folder, table);
    std::intptr_t handle = tablePath.empty() ? 0 : init(tablePath.c_str());
    if (handle == 0) {
        platform().ShowMessage(FormatMessage("Warning: Render table %1 not found or not valid.",
                                             {std::string(table)}));
        return nullptr;
    }
    std::unique_ptr<CRenderer> r(new CRenderer);
    r->m_library = std::move(loaded);
    r->m_encode = encode;
    r->m_underPos = underPos;
    r->m_surfacePos = surfacePos;
    r->m_table = handle;
    return r;
}

std::string CRenderer::Encode(std::string_view under) const {
    if (under.size() > INT_MAX / 4)
        return std::string(under);
    std::string in(under); // the library gets a terminated copy
    int length = static_cast<int>(in.size());
    // Room for a displayed form several times longer than the underlying text.
    std::string out(static_cast<std::size_t>(length) * 4 + 64, '\0');
    int n = m_encode(m_table, in.c_str(), length, out.data(), static_cast<int>(out.size()));
    if (n < 0 || static_cast<std::size_t>(n) > out.size())
        return std::string(under);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

int CRenderer::UnderPos(std::string_view under, int surfacePos) const {
    std::string in(under);
    return m_underPos(m_table, in.c_str(), static_cast<int>(in.size()), surfacePos);
}

int CRenderer::SurfacePos(std::string_view under, int underPos) const {
    std::string in(under);
    return m_surfacePos(m_table, in.c_str(), static_cast<int>(in.size()), underPos);
}

} // namespace crv
