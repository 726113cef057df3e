#include "schema/keyboard.h"

namespace crv {

std::vector<CKeyboard> CKeyboardList::Installed() const {
    std::vector<CKeyboard> out;
    for (const auto& k : m_keyboards)
        if (k.index >= 0)
            out.push_back(k);
    return out;
}

CKeyboard CKeyboardList::FindOrAdd(std::string_view name) {
    for (const auto& k : m_keyboards)
        if (k.name == name)
            return k;
    m_keyboards.push_back({std::string(name), -1});
    return m_keyboards.back();
}

} // namespace crv
