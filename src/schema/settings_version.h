// The settings version this program writes into .typ, .lng and project files; a project
// compares the versions it finds with it when it opens.
#pragma once

#include <string_view>

namespace crv {

inline constexpr std::string_view kSettingsVersion = "4.0";

} // namespace crv
