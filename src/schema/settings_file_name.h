// File names of new settings files (.typ, .lng) made from the name of what they hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace crv {

// name's ASCII letters and digits, at most 8 of them, plus ext (".lng"); while a file of
// that name exists in folder or is in taken, a counter from 2 is appended, the base cut
// so that base and counter stay within 8 characters. A name without letters or digits
// uses ext's letters as its base.
std::string MakeSettingsFileName(const std::string& folder, std::string_view name, std::string_view ext,
                                 const std::vector<std::string>& taken = {});

} // namespace crv
