// crv export on a copy of the sample project: what crv adds to the export runs (the
// options, the output, the records chosen, messages and exit status).
#include <gtest/gtest.h>

#include <filesystem>

#include "sample_project_fixture.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

class CrvExport : public SampleCopyTest {
protected:
    CrvExport() {
        typ = ReadFileBytes(dir.File("Lexicon.typ"));
        db = ReadFileBytes(dir.File("lexicon.db"));
    }
    ProgramResult Export(std::vector<std::string> args) {
        args.insert(args.begin(), {"-p", dir.File("sample.prj"), "export", dir.File("lexicon.db")});
        return RunCrv(args);
    }
    std::string typ, db;
};

TEST_F(CrvExport, RecordsOfTheFileAWindowOrOneRecord) {
    std::string out = dir.File("out.db");
    auto r = Export({"--process", "Standard Format", "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::string all = ReadFileBytes(out);
    EXPECT_EQ(all.substr(0, 66), "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n"
                                 "\r\n\\lx \xc3\xa1mi\r\n");
    // The exported file opens as a database of the same type.
    auto open = RunCrv({"-p", dir.File("sample.prj"), "open", out});
    EXPECT_EQ(open.out, "records: 32\nmodified: no\n");

    r = Export({"--process", "Standard Format", "-o", out, "--record", "kelo"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(out), "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n"
                                  "\r\n\\lx kelo\r\n\\ps n\r\n\\ge dog\r\n\\gn kare\r\n"
                                  "\\xv Kelo \xc3\xb3si s\xc3\xa1we.\r\n"
                                  "\\xe The dog sees the fire.\r\n\\dt 19/May/2023\r\n");

    // A window sorted by another marker asks how; crv answers with the process's
    // setting.
    r = Export({"--process", "Standard Format", "-o", out, "--window-order", "--by", "gn"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Export Current Window\n-> Without reordering fields\n\n");
    // In the order of the Hausa glosses, a record once per gloss: "ba" comes first and
    // ngári ("gida", "iyali") twice.
    std::string window = ReadFileBytes(out);
    EXPECT_EQ(window.find("\\lx "), window.find("\\lx peng\xc3\xa1\r\n"));
    std::size_t first = window.find("\\lx ng\xc3\xa1ri\r\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(window.find("\\lx ng\xc3\xa1ri\r\n", first + 1), std::string::npos);
    // The settings are the type's, and crv does not save them.
    EXPECT_EQ(ReadFileBytes(dir.File("Lexicon.typ")), typ);
    EXPECT_EQ(ReadFileBytes(dir.File("lexicon.db")), db);

    // The dictionary formatter's document.
    r = Export({"--process", "Polylex Formatter", "-o", dir.File("dict.rtf")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("dict.rtf")).substr(0, 6), "{\\rtf1");
}

TEST_F(CrvExport, UsageAndFailures) {
    auto usage = [&](std::vector<std::string> args) { return Export(std::move(args)).status; };
    EXPECT_EQ(usage({}), 2);
    EXPECT_EQ(usage({"--process", "Standard Format", "--by", "ge", "-o", "x"}), 2);
    EXPECT_EQ(usage({"--process", "Standard Format", "--window-order", "--record", "a", "-o", "x"}),
              2);
    // Without -o the process's last output is used; it has none.
    EXPECT_EQ(usage({"--process", "Standard Format"}), 2);

    auto r = Export({"--process", "XML", "-o", dir.File("x")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "crv: the database type Lexicon has no export process named XML\n");
    r = Export({"--process", "Standard Format", "-o", dir.File("x"), "--record", "zzz"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "crv: --record: no record has the key zzz\n");
    r = Export({"--process", "Standard Format", "-o", dir.File("x"), "--window-order", "--filter",
                "None"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "crv: --filter: the database type has no filter named None\n");
    r = Export({"--process", "Standard Format", "-o", dir.File("no/folder/x")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, dir.File("no/folder/x") +
                         "\nFailed to write this file.\n\nPlease check whether there is enough "
                         "disk space or whether it is also open in another program.\n\n");
    EXPECT_FALSE(fs::exists(dir.File("x")));
}

} // namespace
} // namespace crv::test
