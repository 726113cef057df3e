#include "engine/paragraph_wrap.h"

#include <random>

#include "engine/engine_test_support.h"
#include "engine/text_measure.h"

namespace crv::test {
namespace {

// The recording platform measures 12 pixels per byte in a font of height -20.
constexpr int kPx = 12;

class ParagraphWrapTest : public EngineTest {
protected:
    ParagraphWrapTest() {
        font.height = -20;
        markers.DefaultLangEnc()->SetFont(font);
    }
    std::string Format(std::string text, int chars) {
        FormatText(text, chars * kPx, font, measure);
        return text;
    }
    std::string FormatAt(std::string text, std::size_t offset, int chars) {
        FormatParagraph(text, offset, chars * kPx, font, measure);
        return text;
    }
    FontSpec font;
    CTextMeasure measure;
};

TEST_F(ParagraphWrapTest, BreaksLongLinesAndJoinsShortOnesWithinTheParagraph) {
    EXPECT_EQ(Format("aaa bbb ccc ddd", 8), "aaa bbb\nccc ddd");
    EXPECT_EQ(Format("aaa\nbbb\nccc", 8), "aaa bbb\nccc");
    // A line exactly as wide as the margin neither breaks nor takes a word.
    EXPECT_EQ(Format("aaa bbbb\ncc", 8), "aaa bbbb\ncc");
    // Never across an empty line, never inside a word.
    EXPECT_EQ(Format("aaa\n\nbbb", 20), "aaa\n\nbbb");
    EXPECT_EQ(Format("abcdefghijkl", 5), "abcdefghijkl");
    // A first word wider than the margin stays whole and the rest goes down.
    EXPECT_EQ(Format("abcdefghij xy zz", 5), "abcdefghij\nxy zz");
    // A word is taken with the spaces after it; the last of them becomes the break.
    EXPECT_EQ(Format("aa\nbb  cc dd", 7), "aa bb \ncc dd");
    // A line of spaces only is a line of the paragraph, not its end.
    EXPECT_EQ(Format("aa\n  \nbb", 10), "aa    bb");
}

TEST_F(ParagraphWrapTest, OnlyTheParagraphAtTheOffsetIsFormatted) {
    std::string text = "aaa\nbbb\n\nccc\nddd\n";
    EXPECT_EQ(FormatAt(text, 9, 20), "aaa\nbbb\n\nccc ddd\n");
    EXPECT_EQ(FormatAt(text, 1, 20), "aaa bbb\n\nccc\nddd\n");
    // On an empty line there is nothing to format.
    EXPECT_EQ(FormatAt(text, 8, 20), text);
    ParagraphBounds p = ParagraphAt(text, 12);
    EXPECT_EQ(p.begin, 9u);
    EXPECT_EQ(p.end, 16u);
    p = ParagraphAt("\nab", 0);
    EXPECT_EQ(p.begin, p.end);
}

TEST_F(ParagraphWrapTest, NoLineIsMadeToBeginWithABackslash) {
    EXPECT_EQ(Format("aaa \\bb ccc", 5), "aaa \\bb\nccc");
    EXPECT_EQ(Format("aa\nbb \\cc dd", 8), "aa\nbb \\cc\ndd");
    EXPECT_EQ(Format("a\nb \\c d", 7), "a b \\c\nd");
}

TEST_F(ParagraphWrapTest, FieldsWithNoWordWrapAreLeftAlone) {
    CField field(ge, "one two three four");
    EXPECT_TRUE(FormatField(field, 8 * kPx, measure));
    EXPECT_EQ(field.Text(), "one two\nthree\nfour");
    ge->SetNoWordWrap(true);
    CField kept(ge, "one two three four");
    EXPECT_FALSE(FormatField(kept, 8 * kPx, measure));
    EXPECT_EQ(kept.Text(), "one two three four");
}

TEST_F(ParagraphWrapTest, MeasuresAreKeptSoThatFormattingAgainAsksLittle) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "word" + std::to_string(i) + " ";
    Format(text, 40);
    std::size_t first = measure.PlatformCalls();
    Format(Format(text, 40), 40);
    EXPECT_LT(measure.PlatformCalls() - first, first / 4);
}

// Random texts: formatting only swaps spaces and line breaks, keeps every empty line,
// never starts a line with a backslash, leaves no line that could be wrapped better, and
// formatting its own result changes nothing.
TEST_F(ParagraphWrapTest, RandomTextsKeepTheirBytesAndSettle) {
    std::mt19937 rng(17);
    const char pieces[] = "ab  \n\\xyz";
    for (int round = 0; round < 400; ++round) {
        std::string text;
        int n = static_cast<int>(rng() % 80);
        for (int i = 0; i < n; ++i)
            text += pieces[rng() % (sizeof pieces - 1)];
        // Text as the program keeps it: no line after the first begins with a backslash.
        for (std::size_t i = 1; i < text.size(); ++i)
            if (text[i] == '\\' && text[i - 1] == '\n')
                text[i] = 'b';
        int chars = 1 + static_cast<int>(rng() % 12);
        std::string once = Format(text, chars);
        ASSERT_EQ(once.size(), text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (once[i] == text[i])
                continue;
            ASSERT_TRUE((once[i] == ' ' && text[i] == '\n') || (once[i] == '\n' && text[i] == ' '))
                << text;
        }
        EXPECT_EQ(once.find("\n\\"), std::string::npos) << text;
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == '\n' && text[i + 1] == '\n') {
                EXPECT_TRUE(once[i] == '\n' && once[i + 1] == '\n') << text;
            }
        }
        EXPECT_EQ(Format(once, chars), once) << text << " at " << chars;
    }
}

} // namespace
} // namespace crv::test
