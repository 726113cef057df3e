// zentab: runs a change table over files or standard input, or checks and lists a table.
// Argument handling and where bytes come from and go; the rest is the zentab library.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "zentab/host_messages.h"
#include "zentab/safe_file.h"
#include "zentab/session.h"

namespace {

constexpr int kUsage = 2, kFailed = 1;

// The temporary output file, removed when Ctrl+C ends a run (a looping table never ends).
char g_tempPath[4096];

extern "C" void OnInterrupt(int) {
    if (g_tempPath[0])
        ::unlink(g_tempPath);
    ::_exit(130);
}

int Usage() {
    std::fputs("usage: zentab [-o OUTPUT] [-a] [-q] TABLE [INPUT...]\n"
               "       zentab --check TABLE\n"
               "       zentab --listing TABLE\n",
               stderr);
    return kUsage;
}

bool Feed(crv::zt::Session& session, std::FILE* in) {
    std::vector<char> buffer(1 << 16);
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
        if (session.PutBuffer(buffer.data(), static_cast<int>(n), false) != 0)
            return false;
    return !std::ferror(in);
}

} // namespace

int main(int argc, char** argv) {
    std::string output, table;
    std::vector<std::string> inputs;
    bool append = false, quiet = false, check = false, listing = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-o" && i + 1 < argc && output.empty())
            output = argv[++i];
        else if (a == "-a")
            append = true;
        else if (a == "-q")
            quiet = true;
        else if (a == "--check")
            check = true;
        else if (a == "--listing")
            listing = true;
        else if (a == "-h" || a == "--help")
            return Usage(), 0;
        else if (a.size() > 1 && a[0] == '-')
            return Usage();
        else if (table.empty())
            table = a;
        else
            inputs.push_back(a);
    }
    if (table.empty() || (check && listing) ||
        ((check || listing) && (!inputs.empty() || !output.empty() || append)) ||
        (append && output.empty()))
        return Usage();

    crv::zt::SetHostMessageHandler([quiet](const crv::zt::Message& m) {
        if (quiet && !m.stop)
            return true;
        std::string text = m.text;
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
        std::fprintf(stderr, "zentab: [%d] %s\n", m.number, text.c_str());
        return true;
    });

    auto session = crv::zt::Session::FromFile(table, {});
    if (!session)
        return kUsage;
    if (check)
        return 0;
    if (listing) {
        std::fputs(crv::zt::SymbolListing(session->GetTable()).c_str(), stdout);
        return 0;
    }

    crv::zt::SafeFileWriter file;
    if (!output.empty()) {
        for (const std::string& in : inputs)
            if (crv::zt::SameFile(in, output)) {
                std::fprintf(stderr, "zentab: [21] Input and output files must be different!\n");
                return kFailed;
            }
        if (!file.Open(output, append)) {
            std::fprintf(stderr, "zentab: cannot write %s: %s\n", output.c_str(),
                         std::strerror(errno));
            return kFailed;
        }
        std::snprintf(g_tempPath, sizeof g_tempPath, "%s", file.TempPath().c_str());
    }
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);

    bool writeFailed = false;
    session->SetUpOutputFilter([&](const char* data, int length) {
        bool ok = output.empty() ? std::fwrite(data, 1, static_cast<std::size_t>(length), stdout) ==
                                       static_cast<std::size_t>(length)
                                 : file.Write(data, static_cast<std::size_t>(length));
        writeFailed = writeFailed || !ok;
        return ok ? length : -1;
    });

    bool ok = true;
    if (inputs.empty()) {
        ok = Feed(*session, stdin);
    } else {
        for (const std::string& name : inputs) {
            std::FILE* in = std::fopen(name.c_str(), "rb");
            if (!in) {
                std::fprintf(stderr, "zentab: cannot read %s: %s\n", name.c_str(),
                             std::strerror(errno));
                ok = false;
                break;
            }
            ok = Feed(*session, in);
            std::fclose(in);
            if (!ok)
                break;
        }
    }
    ok = ok && session->PutBuffer(nullptr, 0, true) == 0 && !writeFailed;
    if (output.empty()) {
        if (std::fflush(stdout) != 0 || writeFailed) {
            std::fprintf(stderr, "zentab: cannot write the output\n");
            ok = false;
        }
    } else if (ok || writeFailed) {
        // Commit reports a write that failed before it.
        if (!file.Commit()) {
            std::fprintf(stderr, "zentab: cannot write %s: %s\n", output.c_str(),
                         std::strerror(errno));
            ok = false;
        }
    }
    g_tempPath[0] = '\0';
    return ok ? 0 : kFailed;
}
