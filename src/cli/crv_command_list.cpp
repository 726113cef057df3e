#include "cli/crv_command_list.h"

namespace crv::cli {

const std::vector<CrvCommand>& AllCommands() {
    static const std::vector<CrvCommand> commands = {
    };
    return commands;
}

} // namespace crv::cli
