#include "record/sf_reader.h"

#include <random>

#include "base/byte_stream.h"
#include "record_fixture.h"

namespace crv::test {
namespace {

class SFReaderTest : public RecordTest {
protected:
    ReadOutcome Read(const std::string& bytes, bool skip = true, bool removeIndent = false) {
        return ReadText(markers, bytes, "lx", skip, removeIndent);
    }
};

TEST_F(SFReaderTest, ReadsRecordsWithEitherLineEnd) {
    std::string crlf =
        "\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n\\ge one\r\n\r\n\\lx b\r\n\\ge two\r\n";
    auto r = Read(crlf);
    EXPECT_EQ(r.dump, "lx:a|ge:one\nlx:b|ge:two\n");
    EXPECT_EQ(r.fieldsSkipped, 0);
    EXPECT_EQ(r.linesSkipped, 0);
    // Lone LFs, a mixture, and a last line without a line end read the same.
    EXPECT_EQ(Read("\\lx a\n\\ge one\n\n\\lx b\r\n\\ge two").dump, r.dump);
    // A CR that is not part of a line end is kept as a byte; NUL bytes too.
    EXPECT_EQ(Read(std::string("\\lx a\rb\r\n\\ge x\0y\r\n", 18)).dump,
              std::string("lx:a\rb|ge:x\0y\n", 14));
}

TEST_F(SFReaderTest, ContinuationLinesAndEmptyLines) {
    auto r = Read("\\lx a\r\n\\ge one\r\ntwo\r\n\r\nthree\r\n\r\n\\xv x\r\n\r\n\r\n\\lx b\r\n");
    // An empty line inside a record belongs to the field before it; the empty lines
    // at the end of a record are the separator and go.
    EXPECT_EQ(r.dump, "lx:a|ge:one\\ntwo\\n\\nthree\\n|xv:x\nlx:b\n");
}

TEST_F(SFReaderTest, BackslashLinesThatAreText) {
    auto r = Read("\\lx a\r\n\\\\double\r\n\\ space\r\n\\\tab\r\n\\\r\n\\ge g\r\n");
    EXPECT_EQ(r.dump, "lx:a\\n \\\\double\\n \\ space\\n \\\tab\\n \\|ge:g\n");
}

TEST_F(SFReaderTest, MarkerLineSplitsNameAndText) {
    auto r = Read("\\lx  two spaces\r\n\\ge\ttab\r\n\\xv\r\n\\xe \r\n");
    EXPECT_EQ(r.dump, "lx: two spaces|ge:\ttab|xv:|xe:\n");
}

TEST_F(SFReaderTest, InvalidMarkerNamesKeepTheirLineUnderQuestionMarks) {
    auto r = Read("\\lx a\r\n\\ge,x hello\r\nmore\r\n\\a{b}\r\n\\c|d x\r\n");
    EXPECT_EQ(r.dump, "lx:a|??:\\ge,x hello\\nmore|??:\\a{b}|??:\\c|d x\n");
    ASSERT_NE(markers.Search("??"), nullptr);
    EXPECT_EQ(markers.Search("ge,x"), nullptr);
    // Written back and read again, nothing changes.
    CRecordList list;
    ReadText(markers, "\\lx a\r\n\\ge,x hello\r\n", "lx", true, false, &list);
    std::string once = WriteText(list);
    EXPECT_EQ(once, "\\lx a\r\n\\?? \\ge,x hello\r\n");
    EXPECT_EQ(Read(once).dump, "lx:a|??:\\ge,x hello\n");
}

TEST_F(SFReaderTest, ControlLinesAreSkippedWithTheirTextAndCounted) {
    auto r = Read("\\lx a\r\n\\ge g\r\n\\_junk x\r\nlost one\r\n\r\nlost two\r\n\\\\not counted\r\n"
                  "\\xv kept\r\n");
    EXPECT_EQ(r.dump, "lx:a|ge:g|xv:kept\n");
    EXPECT_EQ(r.linesSkipped, 2);
    EXPECT_EQ(r.fieldsSkipped, 0);
}

TEST_F(SFReaderTest, NoControlLineGivesUnmarkedTextTheQuestionMarks) {
    EXPECT_EQ(Read("\\lx a\r\n\\_no\r\nplain text\r\nmore\r\n").dump,
              "lx:a|??:plain text\\nmore\n");
    EXPECT_EQ(Read("\\lx a\r\n\\_no\r\n  indented\r\n").dump, "lx:a|??: indented\n");
    EXPECT_EQ(Read("\\lx a\r\n\\_no\r\n\ttab\r\n").dump, "lx:a|??:\ttab\n");
    EXPECT_EQ(Read("\\lx a\r\n\\_no x\r\n\r\n\\ge g\r\n").dump, "lx:a|??:|ge:g\n");
    // A line with a marker is read as it stands.
    EXPECT_EQ(Read("\\lx a\r\n\\_no\r\n\\ge g\r\n").dump, "lx:a|ge:g\n");
    // "\_nothing" is an ordinary control line.
    auto r = Read("\\lx a\r\n\\_nothing\r\ntext\r\n");
    EXPECT_EQ(r.dump, "lx:a\n");
    EXPECT_EQ(r.linesSkipped, 1);
}

TEST_F(SFReaderTest, SkippingToTheFirstRecordCountsWhatItSkips) {
    auto r = Read("\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n"
                  "a text line\r\n\\ge stray\r\nits second line\r\n\r\n\\\\old\r\n\\ x\r\n"
                  "\\lx a\r\n");
    EXPECT_EQ(r.dump, "lx:a\n");
    EXPECT_EQ(r.fieldsSkipped, 1);
    EXPECT_EQ(r.linesSkipped, 3);
    EXPECT_EQ(markers.Search("ge"), nullptr);
}

TEST_F(SFReaderTest, WithoutSkippingToTheRecordTheFirstMarkerStartsARecord) {
    auto r = Read("junk\r\n\\ge before\r\n\\lx a\r\n\\ge g\r\n", false);
    EXPECT_EQ(r.dump, "ge:before\nlx:a|ge:g\n");
    EXPECT_EQ(r.linesSkipped, 1);
    EXPECT_EQ(r.fieldsSkipped, 0);
}

TEST_F(SFReaderTest, OldVersionOneFilesSkipDoubleBackslashStretches) {
    auto r = Read("\\_sh v1.0  400  Old\r\n\\lx a\r\n\\ge g\r\n\\\\comment\r\ntext\r\n\\ge gone\r\n"
                  "\\lx b\r\n");
    EXPECT_EQ(r.dump, "lx:a|ge:g\nlx:b\n");
    EXPECT_EQ(r.fieldsSkipped, 1);
    EXPECT_EQ(r.linesSkipped, 2);
    // In a version 3 file the same lines are text.
    EXPECT_EQ(Read("\\_sh v3.0  400  New\r\n\\lx a\r\n\\\\comment\r\n").dump,
              "lx:a\\n \\\\comment\n");
}

TEST_F(SFReaderTest, UnknownMarkersAreAddedUnderTheRecordMarkerAndCounted) {
    CRecordList list;
    ReadText(markers, "\\lx a\r\n\\zz one\r\n\\lx b\r\n\\zz two\r\n", "lx", true, false, &list);
    CMarker* zz = markers.Search("zz");
    ASSERT_NE(zz, nullptr);
    EXPECT_EQ(zz->FieldName(), "*");
    EXPECT_EQ(zz->Parent(), markers.Search("lx"));
    EXPECT_EQ(zz->Level(), 1);
    EXPECT_EQ(zz->UseCount(), 2);
    list.DeleteAll();
    EXPECT_EQ(zz->UseCount(), 0);
}

TEST_F(SFReaderTest, LongLinesAreBrokenEveryThousandCharacters) {
    std::string line(2500, 'x');
    auto r = Read("\\lx " + line + "\r\n\\ge " + std::string(1000, 'y') + "\r\n");
    std::string expect = "lx:" + std::string(1000, 'x') + "\\n" + std::string(1000, 'x') + "\\n" +
                         std::string(500, 'x') + "|ge:" + std::string(1000, 'y') + "\n";
    EXPECT_EQ(r.dump, expect);
}

TEST_F(SFReaderTest, ABrokenLineNeverBeginsWithABackslash) {
    auto r = Read("\\lx " + std::string(1000, 'x') + "\\y\r\n");
    EXPECT_EQ(r.dump, "lx:" + std::string(1000, 'x') + "\\n \\y\n");
}

TEST_F(SFReaderTest, FieldLimitIsThirtyTwoThousandCharactersOfText) {
    // Exactly 32000 characters of text (in lines of up to 1000) is accepted, also when
    // the record's separating empty lines follow.
    std::string text;
    while (text.size() + 1000 < 32000)
        text += std::string(999, 'a') + "\n";
    text += std::string(32000 - text.size(), 'b');
    ASSERT_EQ(text.size(), 32000u);
    std::string file = "\\lx " + text + "\n\n\n\\lx next\n";
    auto r = Read(file);
    EXPECT_FALSE(r.tooLarge);
    EXPECT_EQ(r.records, 2);
    // One character more, or an empty line kept inside the record, fails the read.
    EXPECT_TRUE(Read("\\lx " + text + "b\n").tooLarge);
    EXPECT_TRUE(Read("\\lx " + text + "\n\n\\ge x\n").tooLarge);
    // Breaking a long line needs room too.
    EXPECT_TRUE(Read("\\lx " + std::string(31990, 'c') + "\n").tooLarge);
    // A physical line far past any field fails without being buffered whole.
    auto huge = Read("\\lx a\n" + std::string(200000, 'z'));
    EXPECT_TRUE(huge.tooLarge);
    EXPECT_EQ(huge.records, 0);
}

TEST_F(SFReaderTest, RemoveIndentTrimsContinuationLines) {
    auto r = Read("\\lx  a  \r\n   hanging  \r\n    \\not a marker\r\n\\\\x  \r\n", true, true);
    EXPECT_EQ(r.dump, "lx: a  \\nhanging\\n \\not a marker\\n \\\\x\n");
}

TEST_F(SFReaderTest, LinesCrossingTheInputBufferReadIntact) {
    // Enough records to pass the input buffer several times, with multi-line fields
    // and lines of every length around the refills.
    std::string file;
    std::string expect;
    for (int i = 0; i < 3000; ++i) {
        std::string a(static_cast<std::size_t>(i % 977), static_cast<char>('a' + i % 26));
        file += "\\lx w" + std::to_string(i) + "\r\n\\ge " + a + "\r\nline two\r\n\r\n";
        expect += "lx:w" + std::to_string(i) + "|ge:" + a + "\\nline two\n";
    }
    auto r = Read(file);
    EXPECT_EQ(r.records, 3000);
    EXPECT_EQ(r.dump, expect);
}

TEST_F(SFReaderTest, ReadingInOneBufferOrByteByByteGivesTheSame) {
    // Whole, the reader takes one-line fields straight from its buffer; byte by byte the
    // next line is never there yet, so every field goes the general way.
    const std::vector<std::string> lines = {"\\lx w",
                                            "\\ge gloss",
                                            "\\ge",
                                            "\\definition x",
                                            "\\definitiox y",
                                            "\\ge\ttab",
                                            "\\x{y} bad",
                                            "\\_sh v3.0  400  Lexicon",
                                            "\\_sh v1.0",
                                            "\\_no",
                                            "plain text",
                                            "",
                                            "",
                                            "   ",
                                            "\\\\escaped",
                                            "\\ spaced",
                                            "\\",
                                            "\\ge " + std::string(1200, 'a'),
                                            "\\lx \xC3\xA9t\xC3\xA9",
                                            "\\ge trailing  ",
                                            "\\lx"};
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        std::string file;
        const int count = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            file += lines[random() % lines.size()];
            if (i + 1 < count || random() % 2)
                file += random() % 2 ? "\r\n" : "\n";
        }
        const bool skip = random() % 2;
        const bool indent = random() % 4 == 0;
        auto whole = ReadText(markers, file, "lx", skip, indent);
        for (std::size_t chunk : {std::size_t{1}, std::size_t{5}}) {
            auto piecemeal = ReadText(markers, file, "lx", skip, indent, nullptr, chunk);
            ASSERT_EQ(whole.dump, piecemeal.dump) << file;
            ASSERT_EQ(whole.records, piecemeal.records) << file;
            ASSERT_EQ(whole.fieldsSkipped, piecemeal.fieldsSkipped) << file;
            ASSERT_EQ(whole.linesSkipped, piecemeal.linesSkipped) << file;
            ASSERT_EQ(whole.tooLarge, piecemeal.tooLarge) << file;
        }
    }
}

TEST_F(SFReaderTest, AnInputLongerThanItsSizeHintReadsWhole) {
    class Understated : public MemorySource {
    public:
        using MemorySource::MemorySource;
        std::int64_t SizeHint() const override { return 3; }
    };
    std::string file;
    for (int i = 0; i < 20000; ++i)
        file += "\\lx w" + std::to_string(i) + "\n\\ge gloss\n";
    markers.SetRecordMarker(markers.SearchOrAddFromData("lx"));
    Understated in(file);
    SFStream reader(in, markers, markers.RecordMarker(), true, false);
    long n = 0;
    std::unique_ptr<CRecord> r;
    while (reader.ReadRecord(r))
        ++n;
    EXPECT_EQ(n, 20000);
    EXPECT_EQ(r->GetKey(), "w19999");
}

TEST_F(SFReaderTest, EmptyAndMarkerlessInput) {
    auto r = Read("");
    EXPECT_EQ(r.records, 0);
    r = Read("just text\r\nand more\r\n");
    EXPECT_EQ(r.records, 0);
    EXPECT_EQ(r.linesSkipped, 2);
}

TEST_F(SFReaderTest, ReadFieldReturnsFieldsOneByOne) {
    markers.SetRecordMarker(markers.SearchOrAddFromData("lx"));
    MemorySource in("\\lx a\n\\ge b\nc\n\n\\lx d\n");
    SFStream reader(in, markers, markers.RecordMarker(), true, false);
    EXPECT_EQ(reader.HeldMarkerName(), "lx");
    std::unique_ptr<CField> f;
    ASSERT_TRUE(reader.ReadField(f));
    EXPECT_EQ(f->Text(), "a");
    EXPECT_EQ(reader.Position(), 12); // up to the next marker line, which waits
    ASSERT_TRUE(reader.ReadField(f));
    EXPECT_EQ(f->Marker()->Name(), "ge");
    EXPECT_EQ(f->Text(), "b\nc");
    ASSERT_TRUE(reader.ReadField(f));
    EXPECT_EQ(f->Text(), "d");
    EXPECT_FALSE(reader.MoreRecords());
    EXPECT_FALSE(reader.ReadField(f));
    EXPECT_EQ(reader.Position(), 21);
}

} // namespace
} // namespace crv::test
