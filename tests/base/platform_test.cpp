#include "base/console_platform.h"
#include "base/message_text.h"
#include "base/note.h"

#include <cstdio>

#include "support/test_support.h"

namespace crv {
namespace {

std::string ConsoleTranscript(AnswerMode mode, bool quiet, void (*script)(Platform&)) {
    std::FILE* f = std::tmpfile();
    {
        ConsolePlatform console(mode, quiet, f);
        script(console);
    }
    std::rewind(f);
    std::string out;
    char buf[512];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return out;
}

TEST(ConsolePlatform, MessagesAndAnswers) {
    auto script = [](Platform& p) {
        p.ShowMessage("Hello", MessageKind::Warning, true);
        p.ShowMessage("Info", MessageKind::Information, false);
        Question q{"Save?", Buttons::YesNoCancel, Answer::No};
        p.Ask(q);
        p.Ask("Go on?", Buttons::OkCancel);
    };
    EXPECT_EQ(ConsoleTranscript(AnswerMode::Default, false, script),
              "Hello\n\nInfo\n\nSave?\n-> No\n\nGo on?\n-> OK\n\n");
    EXPECT_EQ(ConsoleTranscript(AnswerMode::Yes, true, script),
              "Hello\n\nSave?\n-> Yes\n\nGo on?\n-> OK\n\n");
    EXPECT_EQ(ConsoleTranscript(AnswerMode::No, false, script),
              "Hello\n\nInfo\n\nSave?\n-> No\n\nGo on?\n-> Cancel\n\n");
}

TEST(RecordingPlatform, ScriptedAnswersThenDefaults) {
    RecordingPlatform rec;
    rec.answers = {Answer::No};
    EXPECT_EQ(rec.Ask("a", Buttons::YesNo), Answer::No);
    EXPECT_EQ(rec.Ask("b", Buttons::YesNo, Answer::No), Answer::No);
    EXPECT_EQ(rec.Ask("c", Buttons::YesNoCancel), Answer::Yes);
    EXPECT_EQ(rec.Questions(), (std::vector<std::string>{"a", "b", "c"}));
    auto progress = rec.BeginProgress("Reading x", 10, true);
    EXPECT_FALSE(progress->Cancelled());
    rec.cancelProgressAt = 3;
    auto cancellable = rec.BeginProgress("Reading y", 10, true);
    cancellable->Step(3);
    EXPECT_TRUE(cancellable->Cancelled());
}

TEST(MessageText, FillsPlaceholdersInOrder) {
    EXPECT_EQ(FormatMessage("The marker \\%1 already exists.  Merge \\%2 with \\%1?", {"a", "b"}),
              "The marker \\a already exists.  Merge \\b with \\a?");
    EXPECT_EQ(FormatMessage("100%% %3 %1", {"x"}), "100%% %3 x");
}

TEST(Note, ChainsAndPositions) {
    CNote n;
    n.Add(kNoteNotExpectingChar, ",", 7, 1).Add(kNoteInMarker);
    EXPECT_EQ(n.Text(), "Not expecting the character: , in a marker");
    int line, col;
    n.LineAndColumn("ab\ncd,ef", line, col);
    EXPECT_EQ(n.Position(), 7);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(col, 5);
    CNote e(kNoteExpectingName);
    e.ReplaceId(kNoteExpectingName, kNoteExpectingMarker);
    EXPECT_EQ(e.Text(), "Expecting a marker");
    e.Wrap("In sort order: ", "Main");
    EXPECT_EQ(e.Text(), "In sort order: Main Expecting a marker");
}

TEST(TraceLog, OffUntilSwitchedOnThenLinesAreCut) {
    test::ScratchDir dir;
    TraceLog log;
    log.SetPath(dir.File("crv.log"));
    log.Write("not written %d", 1);
    EXPECT_EQ(test::ReadFileBytes(dir.File("crv.log")), "");
    log.SwitchOn("Ctrl+Alt+Shift+A");
    log.Write("%s", std::string(400, 'x').c_str());
    std::string text = test::ReadFileBytes(dir.File("crv.log"));
    EXPECT_EQ(text.rfind("Trace switched on: Ctrl+Alt+Shift+A\nBuild date ", 0), 0u);
    auto last = text.substr(text.rfind('\n', text.size() - 2) + 1);
    EXPECT_EQ(last, std::string(255, 'x') + "\n");
}

} // namespace
} // namespace crv
