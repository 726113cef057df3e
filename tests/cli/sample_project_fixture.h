// A copy of the sample project in a scratch folder (SampleCopyTest), and with a
// preferences folder of its own for crv, for the tests of commands that work on a project
// (SampleProjectTest).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_program.h"
#include "support/test_support.h"

namespace crv::test {

// Nothing a command does can touch the originals.
class SampleCopyTest : public ::testing::Test {
protected:
    SampleCopyTest() {
        for (const auto& e : std::filesystem::directory_iterator(CORVANE_SAMPLE_DIR))
            std::filesystem::copy_file(e.path(), dir.Path() / e.path().filename());
    }
    // crv with the copy as its settings folder.
    ProgramResult Crv(std::vector<std::string> args) {
        args.insert(args.begin(), {"-s", dir.Path().string()});
        return RunCrv(args);
    }
    ScratchDir dir;
};

class SampleProjectTest : public SampleCopyTest {
protected:
    SampleProjectTest() {
        prj = dir.File("sample.prj");
        const char* old = std::getenv("CORVANE_CONFIG_DIR");
        if (old)
            oldConfig = old;
        hadConfig = old != nullptr;
        ::setenv("CORVANE_CONFIG_DIR", config.Path().c_str(), 1);
    }
    ~SampleProjectTest() override {
        if (hadConfig)
            ::setenv("CORVANE_CONFIG_DIR", oldConfig.c_str(), 1);
        else
            ::unsetenv("CORVANE_CONFIG_DIR");
    }

    ScratchDir config;
    std::string prj;
    std::string oldConfig;
    bool hadConfig = false;
};

} // namespace crv::test
