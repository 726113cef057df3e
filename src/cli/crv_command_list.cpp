#include "cli/crv_command_list.h"

namespace crv::cli {

const std::vector<CrvCommand>& AllCommands() {
    static const std::vector<CrvCommand> commands = {
        {"sf stats", "FILE [--record-marker M]", &CmdSfStats},
        {"sf cat", "FILE [--record-marker M] [-o OUT]", &CmdSfCat},
    };
    return commands;
}

} // namespace crv::cli
