#include "record/sf_writer.h"

#include <sstream>

#include "base/byte_stream.h"
#include "base/safe_file.h"
#include "record/database_file.h"
#include "record_fixture.h"

namespace crv::test {
namespace {

class SFWriterTest : public RecordTest {};

TEST_F(SFWriterTest, FieldLayout) {
    MakeRecord("lx a\nge\nxv \tstarts with a tab\nxe |starts with a line end");
    MakeRecord("lx b\nge one|\\looks like a marker|\\_control|end|");
    EXPECT_EQ(WriteText(records),
              "\\lx a\r\n"
              "\\ge\r\n"
              "\\xv\tstarts with a tab\r\n"
              "\\xe\r\nstarts with a line end\r\n"
              "\r\n"
              "\\lx b\r\n"
              "\\ge one\r\n \\looks like a marker\r\n \\_control\r\nend\r\n\r\n");
}

TEST_F(SFWriterTest, WrittenTextReadsBackUnchanged) {
    MakeRecord("lx a\nge\nxv \tstarts with a tab\nxe |starts with a line end");
    MakeRecord("lx b\nge one|\\looks like a marker|| two empty lines above|\nxv x");
    MakeRecord("lx  leading space");
    std::string once = WriteText(records);
    CRecordList again;
    ReadText(markers, once, "lx", true, false, &again);
    // Only the later line beginning with a backslash changes: it keeps the space put
    // in front of it.
    EXPECT_EQ(Dump(again),
              "lx:a|ge:|xv:\tstarts with a tab|xe:\\nstarts with a line end\n"
              "lx:b|ge:one\\n \\looks like a marker\\n\\n two empty lines above\\n|xv:x\n"
              "lx: leading space\n");
    EXPECT_EQ(WriteText(again), once);
}

TEST_F(SFWriterTest, DatabaseHeaderAndFourDigitYearLine) {
    MakeRecord("lx a\ndt 05/Dec/1998");
    std::string out;
    StringSink sink(out);
    SFStreamWriter writer(sink);
    EXPECT_TRUE(WriteDatabase(writer, records, "Lexicon", 12, true));
    EXPECT_EQ(out, "\\_sh v3.0  12   Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n"
                   "\\lx a\r\n\\dt 05/Dec/1998\r\n");
    for (int n : {10000, -1}) {
        std::string o;
        StringSink s(o);
        SFStreamWriter w(s);
        EXPECT_TRUE(WriteDatabase(w, records, "Text", n, false));
        EXPECT_EQ(o.substr(0, o.find('\r')), "\\_sh v3.0  400  Text");
    }
    // An empty database: the header and its empty line only.
    CRecordList none;
    std::string e;
    StringSink es(e);
    SFStreamWriter ew(es);
    EXPECT_TRUE(WriteDatabase(ew, none, "Text", 9999, false));
    EXPECT_EQ(e, "\\_sh v3.0  9999 Text\r\n");
}

class FailingSink : public ByteSink {
public:
    bool Write(const char*, std::size_t) override { return false; }
};

TEST_F(SFWriterTest, AFailingSinkIsReported) {
    MakeRecord("lx a");
    FailingSink sink;
    SFStreamWriter writer(sink);
    EXPECT_FALSE(WriteDatabase(writer, records, "Lexicon", 400, false));
    EXPECT_TRUE(writer.Failed());
}

TEST_F(SFWriterTest, AFullDiskLeavesTheOldFileInPlace) {
    ScratchDir dir;
    std::string path = dir.File("lexicon.db");
    WriteFileBytes(path, "old contents\r\n");
    for (int i = 0; i < 2000; ++i)
        MakeRecord("lx word" + std::to_string(i) + "\nge a gloss long enough to fill the disk");
    SFHeader header{"Lexicon", 400, false};
    {
        FileSizeLimit limit(4096);
        auto r = WriteFileSafely(path, [&](std::ostream& out) {
            return WriteDatabaseStream(out, records, header, false, "lexicon.db");
        });
        EXPECT_FALSE(r.ok);
    }
    EXPECT_EQ(ReadFileBytes(path), "old contents\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(rec.ProgressTexts().at(0), "Writing lexicon.db");
}

} // namespace
} // namespace crv::test
