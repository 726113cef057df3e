#include "app/record_view.h"

#include <deque>
#include <random>

#include "app/view_test_support.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

// In the lexicon's default font the recording platform measures n * 19 / 2 pixels for n
// bytes; a margin of 96 pixels holds ten characters.
constexpr int kTenCharacters = 96;

// A marker chooser that answers with names from a script (as a user may type one that
// is not in the list), then closes.
class ScriptedChooser : public CViewDialogs {
public:
    std::optional<std::string> ChooseMarker(const CMarkerSet&, const CMarker*) override {
        if (names.empty())
            return std::nullopt;
        std::string name = names.front();
        names.pop_front();
        return name;
    }
    std::deque<std::string> names;
};

class RecordViewEditTest : public ViewTest {
protected:
    RecordViewEditTest() { dialogs = &chooser; }
    ScriptedChooser chooser;
    CMarker* Marker(CCrvDoc& doc, const std::string& name) {
        return doc.Records().Markers().Search(name);
    }
    void GoToEndOf(CRecordView& v, int field) {
        v.SetCaret(CViewCaret{field, v.Record() ? FieldAt(*v.Record(), field)->Text().size() : 0});
    }
    static CField* FieldAt(const CRecord& r, int i) {
        CField* f = r.GetFirst();
        while (f && i-- > 0)
            f = r.GetNext(f);
        return f;
    }
};

TEST_F(RecordViewEditTest, TypingLineBreaksAndABackslashSplittingTheFieldUndoStepByStep) {
    CCrvDoc& doc = Open("\\lx kelo\r\n\\ge house\r\n");
    CRecordView& v = View(doc);
    GoToEndOf(v, 1);
    v.TypeText("s");
    v.Key(ViewKey::Enter);
    EXPECT_EQ(Fields(v.Record()), (Strings{"\\lx kelo", "\\ge houses\n"}));
    // A backslash typed at the start of a line opens the marker chooser; the record marker
    // is refused, an unknown marker asked about (No: back to the chooser).
    chooser.names = {"lx", "zz", "nt"};
    rec.answers = {Answer::No, Answer::Yes};
    v.TypeText("\\");
    EXPECT_EQ(rec.Messages(),
              (Strings{"Insertion of record marker not allowed. Use Database Insert Record."}));
    EXPECT_EQ(rec.Questions(), (Strings{"Marker not in marker list. Add it?",
                                        "Marker not in marker list. Add it?"}));
    v.TypeText("big\\one");
    EXPECT_EQ(Fields(v.Record()), (Strings{"\\lx kelo", "\\ge houses\n", "\\nt big\\one"}));
    EXPECT_EQ(v.Caret(), (CViewCaret{2, 7}));
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(v.Undo());
    EXPECT_EQ(Fields(v.Record()), (Strings{"\\lx kelo", "\\ge houses\n", "\\nt "}));
    ASSERT_TRUE(v.Undo()); // the split: the two fields are one again
    EXPECT_EQ(Fields(v.Record()), (Strings{"\\lx kelo", "\\ge houses\n"}));
    ASSERT_TRUE(v.Undo()); // "s" and the line break were typed as one step
    EXPECT_EQ(Fields(v.Record()), (Strings{"\\lx kelo", "\\ge house"}));
    EXPECT_EQ(v.Caret(), (CViewCaret{1, 5}));
    EXPECT_FALSE(v.Undo());
    EXPECT_FALSE(v.IsChanged()) << "everything undone: leaving stamps nothing";
}

TEST_F(RecordViewEditTest, ControlCharactersAndReadOnlyDatabasesOnlyBeep) {
    CCrvDoc& doc = Open("\\lx kelo\r\n\\ge house\r\n");
    CRecordView& v = View(doc);
    GoToEndOf(v, 1);
    v.TypeText("a\x01\tb");
    EXPECT_EQ(Fields(v.Record())[1], "\\ge houseab");
    EXPECT_EQ(rec.Beeps(), 1);
    doc.SetReadOnly(true);
    v.TypeText("c");
    v.Key(ViewKey::Backspace);
    EXPECT_FALSE(v.Paste("x"));
    EXPECT_EQ(Fields(v.Record())[1], "\\ge houseab");
    EXPECT_EQ(rec.Beeps(), 4);
}

TEST_F(RecordViewEditTest, FieldAndLineLimits) {
    // 32000 characters in lines of 100.
    std::string full;
    for (int i = 0; i < 320; ++i)
        full += std::string(i ? "\r\n" : "") + std::string(i ? 99 : 100, 'a');
    CCrvDoc& doc = Open("\\lx kelo\r\n\\ge " + full + "\r\n\\nt\r\n");
    options.autoWrap = false;
    CRecordView& v = View(doc);
    GoToEndOf(v, 1);
    v.TypeText("b");
    EXPECT_EQ(FieldAt(*v.Record(), 1)->Text().size(), 32000u);
    EXPECT_EQ(rec.Messages(), (Strings{"Fields are limited to 32000 characters in size."}));
    rec.Clear();
    // A line past 1000 characters is broken, at a space when there is one; the message
    // comes once per window.
    GoToEndOf(v, 2);
    v.TypeText(std::string(1001, 'x'));
    EXPECT_EQ(FieldAt(*v.Record(), 2)->Text(), std::string(1000, 'x') + "\nx");
    v.TypeText(" " + std::string(1100, 'y'));
    std::string t = FieldAt(*v.Record(), 2)->Text();
    EXPECT_EQ(t.substr(1000, 3), "\nx\n") << "the space became the break";
    EXPECT_EQ(rec.Messages(), (Strings{kLongLineMessage}));
    for (std::size_t s = 0, e; s <= t.size(); s = e + 1) {
        e = t.find('\n', s);
        if (e == std::string::npos)
            e = t.size();
        EXPECT_LE(e - s, 1000u);
    }
}

TEST_F(RecordViewEditTest, AutomaticWrappingFormatsTheParagraphAfterEachCharacter) {
    CCrvDoc& doc = Open("\\lx kelo\r\n\\ge\r\n\\nt\r\n");
    doc.Records().SetRecordWidth(kTenCharacters);
    CRecordView& v = View(doc);
    GoToEndOf(v, 1);
    for (char c : std::string("aaaa bbbb cccc"))
        v.TypeText(std::string(1, c));
    EXPECT_EQ(FieldAt(*v.Record(), 1)->Text(), "aaaa bbbb\ncccc");
    EXPECT_EQ(v.Caret(), (CViewCaret{1, 14}));
    // No Word Wrap, and automatic wrapping off, leave lines as typed.
    Marker(doc, "nt")->SetNoWordWrap(true);
    GoToEndOf(v, 2);
    v.TypeText("aaaa bbbb cccc");
    EXPECT_EQ(FieldAt(*v.Record(), 2)->Text(), "aaaa bbbb cccc");
    // Format Paragraph does it on request.
    Marker(doc, "nt")->SetNoWordWrap(false);
    options.autoWrap = false;
    v.TypeText(" d");
    EXPECT_EQ(FieldAt(*v.Record(), 2)->Text(), "aaaa bbbb cccc d");
    EXPECT_TRUE(v.FormatParagraphCommand());
    EXPECT_EQ(FieldAt(*v.Record(), 2)->Text(), "aaaa bbbb\ncccc d");
    // Undo all asks, then returns the record to what it was.
    rec.answers = {Answer::Yes};
    EXPECT_TRUE(v.UndoAll());
    EXPECT_EQ(rec.Questions().back(), "Are you sure you want to undo ALL changes to this record?");
    EXPECT_EQ(Fields(v.Record()), (Strings{"\\lx kelo", "\\ge ", "\\nt "}));
}

// A seeded random sequence of edits of every kind; undo all must give the record back
// byte for byte, and no step may leave a line beginning with a backslash.
TEST_F(RecordViewEditTest, RandomEditsUndoToTheOriginalBytes) {
    std::string original =
        "\\lx kelo\r\n\\ge big house\r\nby the river\r\n\r\n\\nt one two three four\r\n"
        "\\ge small\r\n\\dt 01/Jan/2001\r\n";
    CCrvDoc& doc = Open(original);
    doc.Records().SetRecordWidth(kTenCharacters);
    CRecordView& v = View(doc);
    Strings before = Fields(v.Record());
    std::mt19937 rng(4242);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* pieces[] = {"a", " ", "\n", "\\", "xy z", "\\ge q", "é", "  "};
    for (int step = 0; step < 600; ++step) {
        int fields = static_cast<int>(v.Record()->Count());
        int field = pick(fields);
        std::size_t length = FieldAt(*v.Record(), field)->Text().size();
        v.SetCaret(CViewCaret{field, static_cast<std::size_t>(pick(static_cast<int>(length) + 1))});
        if (pick(4) == 0) {
            int to = pick(fields);
            std::size_t l2 = FieldAt(*v.Record(), to)->Text().size();
            v.SetCaret(CViewCaret{to, static_cast<std::size_t>(pick(static_cast<int>(l2) + 1))},
                       true);
        }
        switch (pick(7)) {
        case 0:
        case 1:
            chooser.names = {pick(2) ? "ge" : "nt"};
            v.TypeText(pieces[pick(8)]);
            break;
        case 2:
            v.Key(ViewKey::Backspace);
            break;
        case 3:
            v.Key(ViewKey::Delete);
            break;
        case 4:
            v.Paste(pieces[pick(8)]);
            break;
        case 5: {
            std::string clip;
            v.Cut(clip);
            break;
        }
        default:
            v.FormatParagraphCommand();
            break;
        }
        for (const CField& f : *v.Record())
            ASSERT_EQ(f.Text().find("\n\\"), std::string::npos) << "step " << step;
    }
    EXPECT_NE(Fields(v.Record()), before);
    rec.answers = {Answer::Yes};
    EXPECT_TRUE(v.UndoAll());
    EXPECT_EQ(Fields(v.Record()), before);
}

TEST_F(RecordViewEditTest, LeavingAChangedRecordChecksRangeSetsThenStampsAndReSorts) {
    CCrvDoc& doc = Open("\\lx b\r\n\\ge house\r\n\r\n\\lx c\r\n\\ge tree\r\n");
    Marker(doc, "ge")->RangeSet().Parse("house tree");
    CRecordView& v = View(doc);
    CRecordView& other = View(doc);
    unsigned told = 0;
    other.SetListener([&](unsigned changes) { told |= changes; });
    EXPECT_EQ(Key(v), "b");
    GoToEndOf(v, 1);
    v.TypeText("s");
    EXPECT_TRUE(told & kViewText) << "the other window redraws the record";
    rec.answers = {Answer::No};
    EXPECT_FALSE(MoveToNextRecord(v));
    EXPECT_EQ(Key(v), "b");
    EXPECT_EQ(v.SelectedText(), "houses");
    // The key changes the record's place; leaving stamps it (the type's \dt) and re-sorts.
    v.Key(ViewKey::Backspace); // deletes the selection
    v.TypeText("house");
    v.SetCaret(CViewCaret{0, 0});
    v.TypeText("z");
    EXPECT_FALSE(MoveToNextRecord(v)) << "after its new place there is no record";
    EXPECT_EQ(Key(v), "zb");
    EXPECT_EQ(Fields(v.Record()), (Strings{"\\lx zb", "\\ge house", "\\dt 05/Mar/2024"}));
    EXPECT_TRUE(MoveToPreviousRecord(v));
    EXPECT_EQ(Key(v), "c");
    EXPECT_FALSE(v.CanUndo()) << "the undo list goes with the record";
}

TEST_F(RecordViewEditTest, ThePlatformsChooserOffersTheMarkersAndTheOneThatFollows) {
    CCrvDoc& doc = Open("\\lx kelo\r\n\\ge house\r\n");
    dialogs = nullptr;
    CRecordView& v = View(doc);
    GoToEndOf(v, 1);
    v.TypeText("\n");
    // The list: dt, ge, lx in name order; offered first the field's own marker (ge).
    v.TypeText("\\");
    EXPECT_EQ(Fields(v.Record()), (Strings{"\\lx kelo", "\\ge house\n", "\\ge "}));
    // Choosing the record marker is refused; the same answer again closes the chooser.
    rec.choices = {2, 2};
    v.TypeText("\n\\");
    EXPECT_EQ(rec.Messages().back(),
              "Insertion of record marker not allowed. Use Database Insert Record.");
    EXPECT_EQ(Fields(v.Record()).size(), 3u);
}

} // namespace
} // namespace crv::test
