#include "app/sound_field.h"

#include <gtest/gtest.h>

#include "record/record.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"
#include "support/test_support.h"

namespace crv {
namespace {

TEST(SoundFieldTest, TheCurrentFieldOrTheFirstThatNamesASoundFileIsPlayed) {
    CLangEncSet encodings;
    CMarkerSet markers(&encodings);
    CMarker* lx = markers.SearchOrAdd("lx");
    markers.SetRecordMarker(lx);
    CRecord record(new CField(lx, "nga"));
    auto* ge = new CField(markers.SearchOrAdd("ge"), "fish");
    auto* sf1 = new CField(markers.SearchOrAdd("sf"), " sounds\\nga.WAV \nsaid twice");
    auto* sf2 = new CField(markers.SearchOrAdd("sf"), "nga2.ogg");
    record.Add(ge);
    record.Add(sf1);
    record.Add(sf2);
    EXPECT_EQ(SoundField(record, sf2), sf2);
    EXPECT_EQ(SoundField(record, ge), sf1);
    EXPECT_EQ(SoundField(record, nullptr), sf1);
    EXPECT_FALSE(NamesSoundFile("wave"));
    EXPECT_FALSE(NamesSoundFile("a.wav.txt"));
    CRecord none(new CField(lx, "x.wav is a name"));
    EXPECT_EQ(SoundField(none, nullptr), nullptr);
}

TEST(SoundFieldTest, FilesAreFoundBesideTheDatabaseAndWithBackslashes) {
    test::ScratchDir dir;
    std::filesystem::create_directories(dir.Path() / "sounds");
    test::WriteFileBytes(dir.File("sounds/nga.wav"), "RIFF");
    test::WriteFileBytes(dir.File("top.wav"), "RIFF");
    std::string db = dir.File("lexicon.db");
    std::string message;
    EXPECT_EQ(SoundFilePath("sounds/nga.wav", db, message), dir.File("sounds/nga.wav"));
    EXPECT_EQ(SoundFilePath(" sounds\\nga.wav\nsecond line", db, message),
              dir.File("sounds/nga.wav"));
    EXPECT_EQ(SoundFilePath(dir.File("top.wav"), "/elsewhere/x.db", message), dir.File("top.wav"));
    EXPECT_EQ(SoundFilePath("missing.wav", db, message), std::nullopt);
    EXPECT_EQ(message, "The sound file missing.wav was not found.");
    EXPECT_EQ(SoundFilePath("sounds", db, message), std::nullopt); // a folder is no sound
    EXPECT_EQ(SoundFilePath("  ", db, message), std::nullopt);
    EXPECT_EQ(message, "This field does not name a sound file.");
}

} // namespace
} // namespace crv
