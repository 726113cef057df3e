#include <filesystem>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <gtest/gtest.h>

#include "run_program.h"
#include "support/test_support.h"

namespace crv::test {
namespace {

// A database that exercises the reader's rules: header, material before the first
// record, an empty line inside a record, escaped backslash lines, a control line with
// text after it, "\_no", an invalid marker name, a long line and trailing empty lines.
const std::string kMixed = "\\_sh v3.0  321  Lexicon\r\n"
                           "\\_DateStampHasFourDigitYear\r\n"
                           "\r\n"
                           "stray text\r\n"
                           "\\ge stray field\r\n"
                           "\\lx nga\r\n"
                           "\\ge fish\r\n"
                           "\r\n"
                           "\\xv Nga kuru.\r\n"
                           "\\\\double\r\n"
                           "\\_control\r\n"
                           "dropped\r\n"
                           "\\_no\r\n"
                           "no marker here\r\n"
                           "\\ge,x bad name\r\n"
                           "\r\n"
                           "\r\n"
                           "\\lx tse\n" // a lone LF
                           "\\ge " +
                           std::string(1500, 'a') + "\r\n";

const std::string kMixedWritten = "\\_sh v3.0  321  Lexicon\r\n"
                                  "\\_DateStampHasFourDigitYear\r\n"
                                  "\r\n"
                                  "\\lx nga\r\n"
                                  "\\ge fish\r\n"
                                  "\r\n"
                                  "\\xv Nga kuru.\r\n"
                                  " \\\\double\r\n"
                                  "\\?? no marker here\r\n"
                                  "\\?? \\ge,x bad name\r\n"
                                  "\r\n"
                                  "\\lx tse\r\n"
                                  "\\ge " +
                                  std::string(1000, 'a') + "\r\n" + std::string(500, 'a') + "\r\n";

class CrvSf : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = dir.File(name);
        WriteFileBytes(path, bytes);
        return path;
    }
    ScratchDir dir;
};

TEST_F(CrvSf, StatsCountsWhatWasReadAndSkipped) {
    auto r = RunCrv({"sf", "stats", Write("mixed.db", kMixed), "--record-marker", "lx"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "records: 2\nfields: 7\nfields skipped: 1\nlines skipped: 3\n"
                     "markers: ?? ge lx xv\n");
    EXPECT_EQ(r.err, "File read results:\n3 line(s) skipped\n1 field(s) skipped\n"
                     "2 record(s) read\n\n");
    // -q drops the information message.
    auto q = RunCrv({"-q", "sf", "stats", dir.File("mixed.db"), "--record-marker", "lx"});
    EXPECT_EQ(q.out, r.out);
    EXPECT_EQ(q.err, "");
}

TEST_F(CrvSf, StatsTakesTheFirstMarkerLineWithoutARecordMarker) {
    std::string path =
        Write("t.db", "\\_sh v3.0  400  Text\r\n\r\n\\id A\r\n\\ref 1\r\n\\tx a b\r\n"
                      "\\ref 2\r\n\\tx c\r\n\r\n\\id B\r\n");
    auto r = RunCrv({"sf", "stats", path});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "records: 2\nfields: 6\nfields skipped: 0\nlines skipped: 0\n"
                     "markers: id ref tx\n");
    // A backslash before the marker name is accepted.
    EXPECT_EQ(RunCrv({"sf", "stats", path, "--record-marker", "\\ref"}).out,
              "records: 2\nfields: 5\nfields skipped: 1\nlines skipped: 1\nmarkers: id ref tx\n");
}

TEST_F(CrvSf, StatsOfEmptyAndMarkerlessFiles) {
    auto e = RunCrv({"sf", "stats", Write("empty.db", "")});
    EXPECT_EQ(e.status, 0);
    EXPECT_EQ(e.out, "records: 0\nfields: 0\nfields skipped: 0\nlines skipped: 0\nmarkers:\n");
    // Nothing but skipped text: the read fails after its summary.
    auto t = RunCrv({"sf", "stats", Write("text.txt", "just\r\nwords\r\n")});
    EXPECT_EQ(t.status, 1);
    EXPECT_EQ(t.out, "");
    EXPECT_NE(t.err.find("2 line(s) skipped"), std::string::npos);
}

TEST_F(CrvSf, FailuresExitWithOne) {
    auto missing = RunCrv({"sf", "stats", dir.File("missing.db")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, dir.File("missing.db") +
                               "\nCannot open this file.\n\nPlease check "
                               "whether it is already open in another program.\n\n");
    // A folder is a file that cannot be opened as a database, not a library failure.
    auto folder = RunCrv({"sf", "stats", dir.Path().string()});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, dir.Path().string() +
                              "\nCannot open this file.\n\nPlease check "
                              "whether it is already open in another program.\n\n");
    std::string big = Write("big.db", "\\lx a\r\n\\ge " + std::string(32001, 'x') + "\r\n");
    for (const char* cmd : {"stats", "cat"}) {
        auto r = RunCrv({"sf", cmd, big});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, big + "\nCan not open this file because it contains a field more than "
                               "32000 characters in size.\n\n");
    }
}

TEST_F(CrvSf, WrongUsageExitsWithTwo) {
    EXPECT_EQ(RunCrv({"sf", "stats"}).status, 2);
    EXPECT_EQ(RunCrv({"sf", "stats", "a.db", "b.db"}).status, 2);
    EXPECT_EQ(RunCrv({"sf", "stats", "a.db", "--record-marker", "a,b"}).status, 2);
    EXPECT_EQ(RunCrv({"sf", "stats", "a.db", "--record-marker"}).status, 2);
    EXPECT_EQ(RunCrv({"sf", "cat", "a.db", "--bogus"}).status, 2);
}

TEST_F(CrvSf, CatWritesTheDatabaseBack) {
    auto r = RunCrv({"-q", "sf", "cat", Write("mixed.db", kMixed), "--record-marker", "lx"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out == kMixedWritten) << r.out;
    // What cat wrote reads back to the same bytes.
    auto again = RunCrv({"sf", "cat", Write("again.db", r.out)});
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out == kMixedWritten) << again.out;
    EXPECT_EQ(again.err, "");
}

TEST_F(CrvSf, CatWithoutAHeaderWritesNone) {
    auto r = RunCrv({"sf", "cat", Write("plain.db", "\\lx a\n\\ge b\n\n\n\\lx c")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\\lx a\r\n\\ge b\r\n\r\n\\lx c\r\n");
    // A header with a number outside 0..9999 is written with 400.
    auto h = RunCrv({"sf", "cat", Write("h.db", "\\_sh v3.0  -1   Dictionary\n\n\\lx a\n")});
    EXPECT_EQ(h.out, "\\_sh v3.0  400  Dictionary\r\n\r\n\\lx a\r\n");
}

TEST_F(CrvSf, CatToAFileReplacesItOnlyOnSuccess) {
    std::string in = Write("in.db", "\\_sh v3.0  400  Lexicon\n\n\\lx a\n");
    std::string out = Write("out.db", "old\r\n");
    auto r = RunCrv({"sf", "cat", in, "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFileBytes(out), "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n");
    // A failed read leaves the output alone; no temporary file stays behind.
    std::string bad = Write("bad.db", "\\lx a\n\\ge " + std::string(40000, 'x') + "\n");
    EXPECT_EQ(RunCrv({"sf", "cat", bad, "-o", out}).status, 1);
    EXPECT_EQ(ReadFileBytes(out), "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n");
    // Writing over the input itself is safe.
    EXPECT_EQ(RunCrv({"sf", "cat", in, "-o", in}).status, 0);
    EXPECT_EQ(ReadFileBytes(in), ReadFileBytes(out));
    // A folder that does not exist cannot take the file.
    auto nowhere = RunCrv({"sf", "cat", in, "-o", dir.File("no/such/folder.db")});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("Failed to save this file."), std::string::npos);
    std::size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        files += e.path().extension() == ".tmp";
    EXPECT_EQ(files, 0u);
}

TEST_F(CrvSf, CatToALinkOrADeviceWritesThroughIt) {
    std::string in = Write("in.db", "\\lx a\n");
    Write("real.db", "old");
    std::filesystem::create_symlink("real.db", dir.File("link.db"));
    EXPECT_EQ(RunCrv({"sf", "cat", in, "-o", dir.File("link.db")}).status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.db")));
    EXPECT_EQ(ReadFileBytes(dir.File("real.db")), "\\lx a\r\n");
    // A full device: the failure is reported and the device stays.
    std::string full = dir.File("full");
    if (::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "device nodes cannot be made here";
    auto r = RunCrv({"sf", "cat", in, "-o", full});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, full + "\nFailed to save this file.\n\nPlease check whether there is "
                            "enough disk space.\n\n");
    EXPECT_TRUE(std::filesystem::is_character_file(full));
}

} // namespace
} // namespace crv::test
