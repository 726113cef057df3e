// A copy of the sample project in a scratch folder, and a preferences folder of its own
// for crv, for the tests of commands that work on a project.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace crv::test {

class SampleProjectTest : public ::testing::Test {
protected:
    SampleProjectTest() {
        for (const auto& e : std::filesystem::directory_iterator(CORVANE_SAMPLE_DIR))
            std::filesystem::copy_file(e.path(), dir.Path() / e.path().filename());
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

    ScratchDir dir;
    ScratchDir config;
    std::string prj;
    std::string oldConfig;
    bool hadConfig = false;
};

} // namespace crv::test
