// The keyboards a language encoding can switch on when the user types in it. No keyboard
// manager exists on this platform: the list stays empty, names named by encodings are
// kept (with index -1) so that they are written back, and nothing is switched.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace crv {

struct CKeyboard {
    std::string name;
    int index = -1; // -1: not installed
};

class CKeyboardList {
public:
    // The installed keyboards: none here.
    std::vector<CKeyboard> Installed() const;
    // The keyboard of that name, added with index -1 when it is not installed.
    CKeyboard FindOrAdd(std::string_view name);
    // Switching is not available without a keyboard manager: both do nothing.
    void Activate(const CKeyboard*) {}
    void Deactivate() {}

private:
    std::vector<CKeyboard> m_keyboards;
};

} // namespace crv
