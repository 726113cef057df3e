// The commands of crv: each is a function over the invocation's context, found by its
// words ("sf stats", "lang list", ...).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "base/console_platform.h"
#include "cli/crv_args.h"

namespace crv::cli {

// What every command gets: the global options, its own arguments, and where to print.
struct CrvContext {
    std::string projectPath;    // -p
    std::string settingsFolder; // -s
    AnswerMode answers = AnswerMode::Default;
    bool quiet = false;
    CommandArgs args{{}};
    std::FILE* out = stdout;
};

// Exit statuses of crv.
enum ExitStatus { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

struct CrvCommand {
    const char* words; // "sf stats"
    const char* usage; // operands and options after the words
    int (*run)(CrvContext& ctx);
};

// Every command, in the order the usage text lists them.
const std::vector<CrvCommand>& AllCommands();

// Runs crv with argv (without the program name); returns the exit status.
int RunCrv(const std::vector<std::string>& argv);

} // namespace crv::cli
