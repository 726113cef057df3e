#include "schema/text_pattern.h"

#include "schema/lang_enc_set.h"
#include "support/test_support.h"

namespace crv {
namespace {

class TextPatternTest : public test::PlatformTest {
protected:
    TextPatternTest() { set.FindOrCreate("X"); }

    // The elements as one line: literals in quotes, others by their written form.
    std::string Shape(std::string_view text) {
        CNote error;
        auto p = CTextPattern::Compile(text, "", "", set.VarNames(), error);
        if (!p)
            return "error: " + error.Text();
        std::string out;
        for (const auto& e : p->Elements()) {
            switch (e.kind) {
            case PatternElemKind::Literal:
                out += "'" + e.literal + "'";
                break;
            case PatternElemKind::WhiteSpace:
                out += "_";
                break;
            case PatternElemKind::AnyUnit:
                out += "?";
                break;
            case PatternElemKind::AnySequence:
                out += "...";
                break;
            case PatternElemKind::Boundary:
                out += "#";
                break;
            case PatternElemKind::BoundaryOrHyphen:
                out += "-";
                break;
            case PatternElemKind::Variable:
                out += "<" + e.var->Name() + ">";
                break;
            }
        }
        return out;
    }
    // The error of a pattern that must not compile.
    CNote Error(std::string_view text, std::string_view terminators = "",
                std::string_view followers = "") {
        CNote error;
        std::size_t end = 99;
        auto p = CTextPattern::Compile(text, terminators, followers, set.VarNames(), error, &end);
        EXPECT_FALSE(p.has_value()) << text;
        EXPECT_EQ(end, 99u) << "the end is only set on success";
        return error;
    }

    CLangEncSet set;
};

TEST_F(TextPatternTest, ElementsOfLiteralsWhiteSpaceMetacharactersAndVariables) {
    EXPECT_EQ(Shape("ab cd"), "'ab'_'cd'");
    EXPECT_EQ(Shape("a  \n b"), "'a'_'b'");
    EXPECT_EQ(Shape(" a\t"), "_'a\t'"); // a tab is literal text
    EXPECT_EQ(Shape("x[?]y[...][#][-]z"), "'x'?'y'...#-'z'");
    EXPECT_EQ(Shape("[cons][vowel]ng"), "<cons><vowel>'ng'");
    EXPECT_EQ(Shape("[@][U][L][D][!]"), "<@><U><L><D><!>");
    // A backslash takes the next character literally, brackets and spaces too.
    EXPECT_EQ(Shape("\\[a\\]\\\\b"), "'[a]\\b'");
    EXPECT_EQ(Shape("a\\ b"), "'a b'");
    EXPECT_EQ(Shape(""), "");
}

TEST_F(TextPatternTest, BracketAndBackslashErrorsCarryTheOffendingText) {
    const std::string in = " in a text pattern string";
    CNote e = Error("ab[");
    EXPECT_EQ(e.Text(), "Expecting a variable or metacharacter after the left bracket;\r\n"
                        "use \\[ if you want to match a literal left bracket" +
                            in);
    EXPECT_EQ(e.Position(), 2);
    EXPECT_EQ(e.Length(), 1);
    EXPECT_EQ(Error("[]").Position(), 0);
    EXPECT_EQ(Error("a[ vowel]").Text(), e.Text());

    e = Error("x [vowel y");
    EXPECT_EQ(e.Text(), "Expecting right bracket after a variable or metacharacter;\r\n"
                        "use \\[ if you want to match a literal left bracket" +
                            in);
    EXPECT_EQ(e.Position(), 2);
    EXPECT_EQ(e.Length(), 6); // "[vowel"
    EXPECT_EQ(Error("[vowel").Text(), e.Text());
    EXPECT_EQ(Error("[?").Text(), e.Text());
    EXPECT_EQ(Error("[vowel[cons]").Text(), e.Text());

    e = Error("a]");
    EXPECT_EQ(e.Text(), "This right bracket doesn't enclose a variable or metacharacter;\r\n"
                        "use \\] if you want to match a literal right bracket" +
                            in);
    EXPECT_EQ(e.Position(), 1);
    EXPECT_EQ(e.Length(), 1);

    e = Error("ab\\");
    EXPECT_EQ(e.Text(), "Expecting a character after the backslash;\r\n"
                        "use \\\\ if you want to match a literal backslash" +
                            in);
    EXPECT_EQ(e.Position(), 2);
}

TEST_F(TextPatternTest, UndefinedNamesAndTheProjectsVariables) {
    CNote e = Error("a[tone]");
    EXPECT_EQ(e.Text(),
              "Variable or metacharacter name not defined: tone in a text pattern string");
    EXPECT_EQ(e.Position(), 2);
    EXPECT_EQ(e.Length(), 4);
    EXPECT_EQ(Error("[..]").Text(),
              "Variable or metacharacter name not defined: .. in a text pattern string");
    // A name that any encoding of the project defines is known to every pattern.
    CNote error;
    ASSERT_NE(set.FindOrCreate("Y")->Vars().AddVar("tone", "1 2 3", error), nullptr);
    EXPECT_EQ(Shape("a[tone]"), "'a'<tone>");
}

TEST_F(TextPatternTest, StopsAtATerminatorAndChecksWhatFollows) {
    CNote error;
    std::size_t end = 0;
    auto p = CTextPattern::Compile("ab c)rest", ")", ")", set.VarNames(), error, &end);
    ASSERT_TRUE(p);
    EXPECT_EQ(end, 4u);
    EXPECT_EQ(p->Elements().size(), 3u);
    // An escaped terminator is text; a terminator inside brackets ends nothing.
    p = CTextPattern::Compile("a\\)b)", ")", ")", set.VarNames(), error, &end);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Elements()[0].literal, "a)b");
    EXPECT_EQ(end, 4u);

    CNote e = Error("ab;c", ";", ")");
    EXPECT_EQ(e.Text(), "Not expecting the character: ; in a text pattern string");
    EXPECT_EQ(e.Items()[0].id, kNoteNotExpectingChar);
    EXPECT_EQ(e.Position(), 2);
    EXPECT_EQ(e.Length(), 1);
    EXPECT_TRUE(CTextPattern::Compile(";", ";", ";", set.VarNames(), error, &end));
    EXPECT_EQ(end, 0u);
}

TEST_F(TextPatternTest, PatternsHoldCountedReferencesToTheirVariableNames) {
    CVarName* vowel = set.VarNames().Search("vowel");
    CVarName* punct = set.VarNames().Search("!");
    ASSERT_TRUE(vowel && punct);
    int before = punct->RefCount();
    {
        CNote error;
        auto p = CTextPattern::Compile("[vowel]x[vowel][#][-]", "", "", set.VarNames(), error);
        ASSERT_TRUE(p);
        EXPECT_EQ(vowel->RefCount(), 2);
        EXPECT_EQ(punct->RefCount(), before + 2);
        CTextPattern copy = *p;
        EXPECT_EQ(vowel->RefCount(), 4);
    }
    EXPECT_EQ(vowel->RefCount(), 0);
    EXPECT_EQ(punct->RefCount(), before);
    // A failed compile keeps nothing.
    CNote error;
    EXPECT_FALSE(CTextPattern::Compile("[vowel][nope]", "", "", set.VarNames(), error));
    EXPECT_EQ(vowel->RefCount(), 0);
}

} // namespace
} // namespace crv
