#include <filesystem>

#include <gtest/gtest.h>

#include "sample_project_fixture.h"

namespace crv::test {
namespace {

namespace fs = std::filesystem;

// A copy of the sample project's settings and databases, so that nothing a command
// does can touch the originals.
class CrvType : public SampleCopyTest {};

TEST_F(CrvType, ListAndShowTheSampleTypes) {
    auto list = Crv({"type", "list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "Lexicon\tLexicon.typ\t4.0\nPLX Rich Text Format\tplx_rtf.typ\t4.0\n"
                        "Rules\tRules.typ\t4.0\nText\tText.typ\t4.0\n");
    EXPECT_EQ(list.err, "");

    // Shown exactly as saved: the sample files are in the written form.
    for (const char* name : {"Lexicon", "Text"}) {
        auto show = Crv({"type", "show", name});
        EXPECT_EQ(show.status, 0) << show.err;
        EXPECT_TRUE(show.out == ReadFileBytes(dir.File(std::string(name) + ".typ"))) << show.out;
    }
    // A project file's folder is its settings folder.
    auto p = RunCrv({"-p", dir.File("sample.prj"), "type", "list"});
    EXPECT_EQ(p.out, list.out);
    // Without settings there are no types.
    EXPECT_EQ(RunCrv({"type", "list"}).out, "");

    auto unknown = Crv({"type", "show", "lexicon"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "crv: no database type named lexicon\n");
    EXPECT_EQ(Crv({"type", "show"}).status, 2);
    EXPECT_EQ(Crv({"type", "list", "extra"}).status, 2);
}

TEST_F(CrvType, ShowKeepsWhatANewerVersionWrote) {
    // An object this version does not know between two markers: every marker is listed.
    const std::string text = Crlf("\\+DatabaseType Newer\n\\ver 4.0\n"
                                  "\\+mkrset\n\\lngDefault Default\n\\mkrRecord a\n\n"
                                  "\\+mkr a\n\\nam First\n\\lng Default\n\\-mkr\n"
                                  "\\+futureobj x\n\\k\n\\-futureobj\n"
                                  "\\+mkr b\n\\nam Second\n\\lng Default\n\\mkrOverThis a\n\\-mkr\n"
                                  "\\+mkr c\n\\nam Third\n\\lng Default\n\\mkrOverThis a\n\\-mkr\n"
                                  "\\-mkrset\n\\iInterlinCharWd 8\n\\mkrRecord a\n"
                                  "\\+PrintProperties\n\\header File: &f, Date: &d\n"
                                  "\\footer Page &p\n\\breakrecordswithspace\n"
                                  "\\printcurrentrecord\n\\recordsspace 10\n\\-PrintProperties\n"
                                  "\\-DatabaseType\n");
    WriteFileBytes(dir.File("Newer.typ"), text);
    auto show = Crv({"type", "show", "Newer"});
    EXPECT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(show.err, "");
    // A type without export processes is shown with the default ones after what it holds.
    const std::string end = Crlf("\\-DatabaseType\n");
    const std::string held = text.substr(0, text.size() - end.size());
    EXPECT_TRUE(show.out.starts_with(held + Crlf("\\+expset\n"))) << show.out;
    EXPECT_TRUE(show.out.ends_with(Crlf("\\-expset\n") + end)) << show.out;
}

TEST_F(CrvType, DatabasesAreReadWithTheTypeTheirHeaderNames) {
    // The header names Lexicon: its record marker is lx, its markers are listed even when
    // the data does not use them, and markers met in the data join them.
    std::string path = dir.File("short.db");
    WriteFileBytes(path,
                   "\\_sh v3.0  400  Lexicon\r\n\r\n\\hm 1\r\n\\lx a\r\n\\zz new\r\n\\lx b\r\n");
    auto r = Crv({"sf", "stats", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "records: 2\nfields: 3\nfields skipped: 1\nlines skipped: 1\n"
                     "markers: dt ge gn hm lx mr ps re rn se sn xe xv zz\n");
    // --record-marker still decides how records are cut; the type keeps its own.
    auto hm = Crv({"-q", "sf", "stats", path, "--record-marker", "hm"});
    EXPECT_EQ(hm.out, "records: 1\nfields: 4\nfields skipped: 0\nlines skipped: 0\n"
                      "markers: dt ge gn hm lx mr ps re rn se sn xe xv zz\n");

    auto texts = Crv({"sf", "stats", dir.File("texts.db")});
    EXPECT_EQ(texts.status, 0) << texts.err;
    EXPECT_EQ(texts.out.substr(0, 11), "records: 3\n");

    // A type the settings do not have: the open stops with the dialog's text.
    std::string other = dir.File("other.db");
    WriteFileBytes(other, "\\_sh v3.0  400  Dictionary\r\n\r\n\\lx a\r\n");
    auto missing = Crv({"sf", "cat", other});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, other +
                               "\nis of database type   Dictionary,\nbut the type file is missing "
                               "from the project settings folder.\n\n");
    // Without settings the header is only copied.
    auto plain = RunCrv({"sf", "cat", other});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out, "\\_sh v3.0  400  Dictionary\r\n\r\n\\lx a\r\n");
}

TEST_F(CrvType, ATypeWithoutARecordMarkerIsNotUsed) {
    std::string typ = "\\+DatabaseType Notes\r\n\\desc no record marker\r\n\\-DatabaseType\r\n";
    WriteFileBytes(dir.File("notes.typ"), typ);
    std::string expected =
        "Database type Notes (" + dir.File("notes.typ") +
        ")\nThis database type is missing the record marker setting.  Please enter "
        "the record marker for this database type.\n-> Cancel\n\n"
        "The database type Notes (" +
        dir.File("notes.typ") + ") has no record marker; it cannot be used.\n\n";
    auto show = Crv({"type", "show", "Notes"});
    EXPECT_EQ(show.status, 1);
    EXPECT_EQ(show.out, "");
    EXPECT_EQ(show.err, expected);

    std::string db = dir.File("n.db");
    WriteFileBytes(db, "\\_sh v3.0  400  Notes\r\n\r\n\\nt a\r\n");
    auto stats = Crv({"sf", "stats", db});
    EXPECT_EQ(stats.status, 1);
    EXPECT_EQ(stats.err, expected);
    // Nothing was written.
    EXPECT_EQ(ReadFileBytes(dir.File("notes.typ")), typ);
}

} // namespace
} // namespace crv::test
