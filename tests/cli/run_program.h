// Runs a built program with arguments and standard input, capturing its output.
#pragma once

#include <string>
#include <vector>

namespace crv::test {

struct ProgramResult {
    int status = -1; // exit status, or 128 + signal
    std::string out;
    std::string err;
};

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {}, const std::string& workDir = {});

// The built crv with these arguments.
inline ProgramResult RunCrv(const std::vector<std::string>& args, const std::string& input = {},
                            const std::string& workDir = {}) {
    return RunProgram(CRV_BIN, args, input, workDir);
}

#ifdef ZENTAB_BIN
// The built zentab with these arguments.
inline ProgramResult RunZentab(const std::vector<std::string>& args, const std::string& input = {},
                               const std::string& workDir = {}) {
    return RunProgram(ZENTAB_BIN, args, input, workDir);
}
#endif

} // namespace crv::test
