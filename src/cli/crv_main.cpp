// crv: Corvane's command-line program over the same engine as the desktop program.
#include <string>
#include <vector>

#include "cli/crv_commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return crv::cli::RunCrv(args);
}
