#include "schema/lang_enc.h"

#include "schema/lang_enc_set.h"
#include "support/test_support.h"

namespace crv {
namespace {

class LangEncTest : public test::PlatformTest {
protected:
    std::string Split(CLangEnc& e, std::string_view text) {
        std::string out;
        for (auto piece : e.UnitTexts(text))
            out += "[" + std::string(piece) + "]";
        return out;
    }
    CLangEncSet set;
};

TEST_F(LangEncTest, NewEncodingStartsWithFourUnitsThenNumbersInCreationOrder) {
    CLangEnc e(set, "X");
    EXPECT_EQ(e.Count(), 4u);
    EXPECT_EQ(e.FindUnit("\x1A")->Code(), 2);
    EXPECT_EQ(e.FindUnit(" ")->Code(), 3);
    EXPECT_EQ(e.FindUnit("\t")->Code(), 4);
    EXPECT_EQ(e.FindUnit("\n")->Code(), 5);
    EXPECT_EQ(e.FindOrAddUnit("b")->Code(), 6);
    EXPECT_EQ(e.FindOrAddUnit("a")->Code(), 7);
    EXPECT_EQ(e.FindOrAddUnit("b")->Code(), 6);
    EXPECT_EQ(e.UnitOfCode(7)->Text(), "a");
    EXPECT_EQ(e.FindOrAddUnit(""), nullptr);
    EXPECT_EQ(e.FindUnit("  a"), nullptr);
    EXPECT_EQ(e.FindOrAddUnit("a")->DisplayText(), "  a");

    // A default encoding numbers its case units first, then its sort order's.
    CLangEnc* d = set.FindOrCreate("Y");
    EXPECT_EQ(d->FindUnit("A")->Code(), 6);
    EXPECT_EQ(d->FindUnit("a")->Code(), 7);
}

TEST_F(LangEncTest, SplittingTakesTheLongestUnitAndTheUnknownUnitForOtherBytes) {
    CLangEnc e(set, "X");
    for (const char* u : {"c", "ch", "chh", "a", "ng"})
        e.FindOrAddUnit(u);
    EXPECT_EQ(Split(e, "ch"), "[ch]");
    EXPECT_EQ(Split(e, "chha"), "[chh][a]");
    EXPECT_EQ(Split(e, "cx"), "[c][x]");
    EXPECT_EQ(Split(e, "n"), "[n]"); // a multigraph's first byte alone is no unit
    EXPECT_EQ(Split(e, "ngc"), "[ng][c]");
    EXPECT_EQ(Split(e, "a b"), "[a][ ][b]");
    auto units = e.Units("cxng");
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0]->Text(), "c");
    EXPECT_EQ(units[1]->Code(), CLangEnc::kUnknownCode);
    EXPECT_EQ(units[2]->Text(), "ng");
    // The byte 0x1A is its own unit; bytes above 0x7F split like any other.
    EXPECT_EQ(e.Units("\x1A")[0]->Code(), CLangEnc::kUnknownCode);
    EXPECT_EQ(Split(e, "\xE9\xFF"), "[\xE9][\xFF]");
    // A unit added later joins the splitting at once.
    e.FindOrAddUnit("xyz");
    EXPECT_EQ(Split(e, "cxyzx"), "[c][xyz][x]");
}

TEST_F(LangEncTest, AnEncodingHoldsAtMost254Units) {
    CLangEnc e(set, "X");
    int added = 0;
    CNote error;
    for (int i = 0; i < 300 && error.IsEmpty(); ++i) {
        std::string text = "u" + std::to_string(i);
        if (e.FindOrAddUnit(text, &error))
            ++added;
    }
    EXPECT_EQ(added, 250);
    EXPECT_EQ(e.Count(), 254u);
    EXPECT_NE(error.Text().find("no more can be added: u250"), std::string::npos) << error.Text();
    EXPECT_EQ(e.UnitOfCode(255)->Text(), "u249");
    // Splitting still works with every code in use.
    EXPECT_EQ(e.Units("u249")[0]->Code(), 255);
}

TEST_F(LangEncTest, CaseAssociationsLinkUpperAndLowerAndReportErrors) {
    CLangEnc e(set, "X");
    CNoteList notes;
    e.SetCaseText("A a\nCH ch Ch\nB\nE e\ne x\nD D", notes);
    CLangChar* A = e.FindUnit("A");
    CLangChar* a = e.FindUnit("a");
    EXPECT_TRUE(A->IsUpper());
    EXPECT_EQ(A->LowerForm(), a);
    EXPECT_EQ(a->UpperForm(), A);
    EXPECT_FALSE(a->IsUpper());
    // The first lower form is the upper unit's; both lower forms point at the upper.
    EXPECT_EQ(e.FindUnit("CH")->LowerForm(), e.FindUnit("ch"));
    EXPECT_EQ(e.FindUnit("Ch")->UpperForm(), e.FindUnit("CH"));
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].Text(), "Expecting a lower case association for this character: B");
    EXPECT_EQ(notes[1].Text(), "This character's case is already defined: e");
    EXPECT_EQ(notes[2].Text(), "This character's case is already defined: D");
    EXPECT_EQ(e.CaseText(), "A a\nCH ch Ch\nB\nE e\ne x\nD D");

    // New text replaces the old links.
    notes.clear();
    e.SetCaseText("a A", notes);
    EXPECT_TRUE(notes.empty());
    EXPECT_TRUE(a->IsUpper());
    EXPECT_EQ(A->UpperForm(), a);
    EXPECT_FALSE(e.FindUnit("CH")->HasCase());
}

TEST_F(LangEncTest, WordCharactersAreUnitsDefinedInTheDefaultSortOrder) {
    CLangEnc* e = set.FindOrCreate("X");
    std::string text = "ab, c";
    EXPECT_TRUE(e->IsWordChar(text, 0));
    EXPECT_TRUE(e->IsWordChar(text, 1));
    EXPECT_FALSE(e->IsWordChar(text, 2)); // the comma is in no list
    EXPECT_FALSE(e->IsWordChar(text, 3)); // space
    EXPECT_TRUE(e->IsWordChar(text, 4));
    EXPECT_FALSE(e->IsWordChar(text, 5)); // the end
    EXPECT_TRUE(e->IsWordChar("-", 0));   // ignored units are defined
}

} // namespace
} // namespace crv
