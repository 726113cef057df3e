#include "record/database_file.h"

#include <fstream>
#include <sstream>

#include "base/byte_stream.h"
#include "record_fixture.h"

namespace crv::test {
namespace {

class DatabaseFileTest : public RecordTest {
protected:
    DatabaseReadResult ReadFile(const std::string& bytes) {
        std::string path = dir.File("db.txt");
        WriteFileBytes(path, bytes);
        return ReadDatabaseRecords(path, markers, RecordMarker("lx"), records);
    }
    ScratchDir dir;
};

TEST_F(DatabaseFileTest, ReadsUnderAProgressDisplay) {
    auto r = ReadFile("\\_sh v3.0  400  Lexicon\r\n\r\n\\lx a\r\n\\ge b\r\n\r\n\\lx c\r\n");
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.records, 2);
    EXPECT_FALSE(r.skippedMaterial);
    EXPECT_EQ(Dump(records), "lx:a|ge:b\nlx:c\n");
    EXPECT_EQ(rec.ProgressTexts(), std::vector<std::string>{"Reading " + dir.File("db.txt")});
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(DatabaseFileTest, SkippedMaterialIsSummarized) {
    auto r = ReadFile("one\r\ntwo\r\n\\ge stray\r\n\\lx a\r\n");
    EXPECT_TRUE(r.Ok());
    EXPECT_TRUE(r.skippedMaterial);
    EXPECT_EQ(rec.Messages(),
              std::vector<std::string>{"File read results:\n3 line(s) skipped\n1 field(s) skipped\n"
                                       "1 record(s) read"});
    EXPECT_EQ(rec.events.back().messageKind, MessageKind::Information);
}

TEST_F(DatabaseFileTest, SkippingEverythingFailsTheRead) {
    auto r = ReadFile("no records here\r\n\\ge stray\r\n");
    EXPECT_EQ(r.status, ReadStatus::NothingRead);
    EXPECT_EQ(rec.Messages().size(), 1u);
    // An empty file is an empty database.
    rec.Clear();
    EXPECT_TRUE(ReadFile("").Ok());
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(DatabaseFileTest, ATooLargeFieldFailsAndKeepsNothing) {
    MakeRecord("lx kept from before");
    auto r = ReadFile("\\lx a\r\n\\lx b\r\n\\ge " + std::string(32001, 'x') + "\r\n");
    EXPECT_EQ(r.status, ReadStatus::TooLarge);
    EXPECT_EQ(Dump(records), "lx:kept from before\n");
    EXPECT_EQ(rec.Messages(),
              std::vector<std::string>{dir.File("db.txt") +
                                       "\nCan not open this file because it contains a field "
                                       "more than 32000 characters in size."});
}

TEST_F(DatabaseFileTest, CancellingFailsTheRead) {
    rec.cancelProgressAt = 1;
    auto r = ReadFile("\\lx a\r\n\\lx b\r\n");
    EXPECT_EQ(r.status, ReadStatus::Cancelled);
    EXPECT_EQ(records.Count(), 0u);
}

TEST_F(DatabaseFileTest, AMissingFileCannotBeOpened) {
    auto r = ReadDatabaseRecords(dir.File("missing.db"), markers, RecordMarker("lx"), records);
    EXPECT_EQ(r.status, ReadStatus::CannotOpen);
    EXPECT_EQ(rec.Messages(), std::vector<std::string>{
                                  dir.File("missing.db") +
                                  "\nCannot open this file.\n\nPlease check whether it is already "
                                  "open in another program."});
    rec.Clear();
    EXPECT_EQ(ReadDatabaseRecords(dir.Path().string(), markers, RecordMarker("lx"), records).status,
              ReadStatus::CannotOpen);
}

TEST_F(DatabaseFileTest, FirstMarkerName) {
    std::string path = dir.File("f.db");
    WriteFileBytes(path, "\\_sh v3.0  400  X\r\ntext\r\n\\\\not\r\n\\ref 1\r\n\\lx a\r\n");
    EXPECT_EQ(FirstMarkerName(path), "ref");
    WriteFileBytes(path, "nothing\r\n");
    EXPECT_EQ(FirstMarkerName(path), "");
    EXPECT_EQ(FirstMarkerName(dir.File("none")), "");
}

TEST_F(DatabaseFileTest, RoundTripOfAWholeDatabaseIsByteExact) {
    std::string file = "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n"
                       "\\lx nga\r\n\\ps n\r\n\\ge dog\r\n\\xv ng\xC3\xA1 tsu\r\nline two\r\n"
                       " \\escaped\r\n\r\n\\dt 05/Dec/1998\r\n\r\n\\lx tse\r\n\\ge\r\n";
    std::string path = dir.File("lexicon.db");
    WriteFileBytes(path, file);
    std::ifstream hin(path, std::ios::binary);
    SFHeader header;
    ASSERT_EQ(ReadHeader(hin, header), HeaderStatus::Found);
    ASSERT_TRUE(ReadDatabaseRecords(path, markers, RecordMarker("lx"), records).Ok());
    std::ostringstream out;
    ASSERT_TRUE(WriteDatabaseStream(out, records, header, header.fourDigitYear, "lexicon.db"));
    EXPECT_EQ(out.str(), file);
}

} // namespace
} // namespace crv::test
