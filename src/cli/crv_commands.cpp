#include "cli/crv_commands.h"

#include <cstring>

#include "cli/crv_command_list.h"

namespace crv::cli {

namespace {

void PrintUsage(std::FILE* f) {
    std::fputs("usage: crv [-p PROJECT.prj | -s SETTINGS_FOLDER] [--yes | --no] [-q] COMMAND "
               "[ARGS]\n\ncommands:\n",
               f);
    for (const auto& c : AllCommands())
        std::fprintf(f, "  %s %s\n", c.words, c.usage);
}

// Splits "sf stats" into its words.
std::vector<std::string> Words(const char* words) {
    std::vector<std::string> out;
    std::string w;
    for (const char* p = words;; ++p) {
        if (*p == ' ' || *p == '\0') {
            if (!w.empty())
                out.push_back(w);
            w.clear();
            if (!*p)
                break;
        } else {
            w += *p;
        }
    }
    return out;
}

} // namespace

int RunCrv(const std::vector<std::string>& argv) {
    CrvContext ctx;
    std::size_t i = 0;
    try {
        for (; i < argv.size(); ++i) {
            const std::string& a = argv[i];
            if (a == "-p" || a == "-s") {
                if (i + 1 >= argv.size())
                    throw UsageError("option " + a + " needs a value");
                (a == "-p" ? ctx.projectPath : ctx.settingsFolder) = argv[++i];
            } else if (a == "--yes") {
                ctx.answers = AnswerMode::Yes;
            } else if (a == "--no") {
                ctx.answers = AnswerMode::No;
            } else if (a == "-q") {
                ctx.quiet = true;
            } else if (a == "-h" || a == "--help") {
                PrintUsage(stdout);
                return kExitOk;
            } else if (!a.empty() && a[0] == '-') {
                throw UsageError("unknown option " + a);
            } else {
                break;
            }
        }
        if (!ctx.projectPath.empty() && !ctx.settingsFolder.empty())
            throw UsageError("-p and -s cannot be used together");
        if (i >= argv.size())
            throw UsageError("no command given");

        const CrvCommand* found = nullptr;
        std::size_t used = 0;
        for (const auto& c : AllCommands()) {
            auto words = Words(c.words);
            if (i + words.size() > argv.size())
                continue;
            bool match = true;
            for (std::size_t k = 0; k < words.size() && match; ++k)
                match = argv[i + k] == words[k];
            if (match && words.size() > used) {
                found = &c;
                used = words.size();
            }
        }
        if (!found)
            throw UsageError("unknown command '" + argv[i] + "'");
        ctx.args = CommandArgs(
            std::vector<std::string>(argv.begin() + static_cast<long>(i + used), argv.end()));

        ConsolePlatform console(ctx.answers, ctx.quiet);
        ScopedPlatform scope(console);
        int status = found->run(ctx);
        std::fflush(ctx.out);
        if (status == kExitOk && console.InternalErrorCount() > 0)
            status = kExitFailed;
        return status;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "crv: %s\n", e.what());
        PrintUsage(stderr);
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "crv: out of memory\n");
        return kExitFailed;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "crv: %s\n", e.what());
        return kExitFailed;
    }
}

} // namespace crv::cli
