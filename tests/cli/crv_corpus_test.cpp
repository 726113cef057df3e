// crv corpus list, wordlist and concordance on a copy of the sample project.
#include <filesystem>

#include <gtest/gtest.h>

#include "run_program.h"
#include "sample_project_fixture.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

using CrvCorpus = SampleProjectTest;

TEST_F(CrvCorpus, SampleCorpusGivesAWordListAndAConcordance) {
    std::string project = ReadFileBytes(prj);
    auto r = RunCrv({"-p", prj, "corpus", "list"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Tsaloni stories\tVernacular\t3\n");

    r = RunCrv({"-p", prj, "wordlist", "Tsaloni stories"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "words: 26\n");
    EXPECT_EQ(r.err, "");
    std::string words = ReadFileBytes(dir.File("wordlist.db"));
    EXPECT_TRUE(words.starts_with("\\_sh v3.0  400  Word List- Vernacular\r\n"));
    EXPECT_NE(words.find("\\w kelo\r\n\\c 4\r\n\\cz 000004\r\n"
                         "\\r Kelo ne ponyu 1:1,3; 2:2; Ulu ne súnge 1:3\r\n"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(dir.File("Tsalonistories.wi")));

    // Options, and -o in the working folder.
    r = RunCrv({"-p", prj, "wordlist", "Tsaloni stories", "--no-counts", "--max-refs", "1", "-o",
                "mine.db"},
               {}, config.Path().string());
    EXPECT_EQ(r.status, 0) << r.err;
    words = ReadFileBytes(config.File("mine.db"));
    EXPECT_NE(words.find("\\w kelo\r\n\\r Kelo ne ponyu 1:1\r\n\r\n"), std::string::npos);
    r = RunCrv({"-p", prj, "wordlist", "Tsaloni stories", "--no-refs", "-o", dir.File("bare.db")});
    EXPECT_EQ(ReadFileBytes(dir.File("bare.db")).find("\\r "), std::string::npos);

    r = RunCrv({"-p", prj, "concordance", "Tsaloni stories", "ulu", "--kind", "start"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "matches: 5\n");
    EXPECT_NE(r.err.find("The  Book References  language is not available."), std::string::npos);
    EXPECT_NE(ReadFileBytes(dir.File("lookup.db"))
                  .find("\\concref Ulu ne súnge 1:2\r\n\\concrefz Ulu ne súnge 001:002\r\n"
                        "\\concbef Lóni-ni\r\n\\conctar ulu\r\n\\concaft sáwe-ko irátsa-ne.\r\n"),
              std::string::npos);
    EXPECT_EQ(RunCrv({"-p", prj, "concordance", "Tsaloni stories", "Ulu", "--match-case"}).out,
              "matches: 2\n");
    EXPECT_EQ(RunCrv({"-p", prj, "concordance", "Tsaloni stories", "ulu", "--max", "1"}).out,
              "matches: 1\n");
    EXPECT_EQ(RunCrv({"-p", prj, "concordance", "Tsaloni stories", "ulu mará", "--kind", "middle",
                      "-o", dir.File("phrase.db")})
                  .out,
              "matches: 1\n");
    EXPECT_EQ(ReadFileBytes(prj), project) << "crv leaves the project file as it is";
}

TEST_F(CrvCorpus, WrongUseAndRefusals) {
    EXPECT_EQ(RunCrv({"corpus", "list"}).status, 2) << "the corpora are a project's";
    EXPECT_EQ(RunCrv({"-p", prj, "wordlist"}).status, 2);
    EXPECT_EQ(RunCrv({"-p", prj, "concordance", "Tsaloni stories", "x", "--kind", "all"}).status,
              2);
    EXPECT_EQ(RunCrv({"-p", prj, "wordlist", "Tsaloni stories", "--max-refs", "x"}).status, 2);

    auto r = RunCrv({"-p", prj, "wordlist", "Stories"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "crv: the project has no text corpus named Stories\n");
    r = RunCrv({"-p", prj, "concordance", "Tsaloni stories", "ulu", "--max", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "The number of Matches to Display must be greater than zero.\n\n");
    r = RunCrv({"-p", prj, "concordance", "Tsaloni stories", " "});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Please enter a word or phrase for search for.\n\n");

    // Another database is not replaced unless the answer is yes.
    std::string lexicon = ReadFileBytes(dir.File("lexicon.db"));
    r = RunCrv({"-p", prj, "wordlist", "Tsaloni stories", "-o", dir.File("lexicon.db")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("This file is not a word list or concordance."), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.db")), lexicon);

    // A corpus file that is gone stops the run with its message.
    fs::remove(dir.File("story2.sfm"));
    r = RunCrv({"-p", prj, "wordlist", "Tsaloni stories"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "story2.sfm\nFailed to access this file.\n\nPlease check whether it is also "
                     "open in another program.\n\nError in creating word list.\n\n");
    EXPECT_FALSE(fs::exists(dir.File("wordlist.db")));
}

} // namespace
} // namespace crv::test
