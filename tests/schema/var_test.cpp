#include "schema/var.h"

#include "schema/lang_enc_set.h"
#include "support/test_support.h"

namespace crv {
namespace {

class VarTest : public test::PlatformTest {
protected:
    bool In(const char* varName, CLangEnc* e, const char* unit) {
        CVarName* v = set.VarNames().Search(varName);
        CLangChar* u = e->FindUnit(unit);
        return v && u && v->Contains(u->Slot());
    }
    CLangEncSet set;
};

TEST_F(VarTest, ProjectStartsWithTheMetacharacterNames) {
    std::string names;
    for (auto& v : set.VarNames())
        names += v.Name() + " ";
    EXPECT_EQ(names, "! @ D L U ");
}

TEST_F(VarTest, DefaultVariablesOfANewEncoding) {
    CLangEnc* e = set.FindOrCreate("X");
    EXPECT_EQ(e->Vars().Count(), 8u);
    EXPECT_TRUE(In("vowel", e, "E"));
    EXPECT_TRUE(In("vowel", e, "u"));
    EXPECT_FALSE(In("vowel", e, "b"));
    EXPECT_TRUE(In("cons", e, "Z"));
    EXPECT_TRUE(In("!", e, "`"));
    EXPECT_TRUE(In("!", e, "\""));
    EXPECT_TRUE(In("@", e, "q"));
    EXPECT_FALSE(In("@", e, "1"));
    EXPECT_TRUE(In("D", e, "7"));
    EXPECT_TRUE(In("U", e, "Q"));
    EXPECT_FALSE(In("U", e, "q"));
    EXPECT_TRUE(In("nasal", e, "m"));
    EXPECT_EQ(e->Vars().Search("nasal")->Chars(), "M m N n");
}

TEST_F(VarTest, NamesAreProjectWideAndMembershipIsPerEncoding) {
    CLangEnc* x = set.FindOrCreate("X");
    CLangEnc* y = set.FindOrCreate("Y");
    CNote error;
    ASSERT_NE(x->Vars().AddVar("glide", "w y ch", error), nullptr);
    EXPECT_TRUE(In("glide", x, "ch")); // a multigraph unit is created
    EXPECT_FALSE(In("glide", y, "w")); // the same name holds nothing of Y yet
    ASSERT_NE(y->Vars().AddVar("glide", "j", error), nullptr);
    EXPECT_EQ(set.VarNames().Search("glide"), x->Vars().Search("glide")->VarName());
    EXPECT_TRUE(In("glide", y, "j"));
    EXPECT_TRUE(In("glide", x, "w"));

    // Redefining clears the encoding's old members only.
    CVar* g = x->Vars().Search("glide");
    ASSERT_TRUE(x->Vars().ModifyVar(g, "glide", "y", error));
    EXPECT_FALSE(In("glide", x, "w"));
    EXPECT_TRUE(In("glide", x, "y"));
    EXPECT_TRUE(In("glide", y, "j"));
    // Renaming moves the members to the new name.
    ASSERT_TRUE(x->Vars().ModifyVar(g, "semi", "y y", error));
    EXPECT_FALSE(In("glide", x, "y"));
    EXPECT_TRUE(In("semi", x, "y"));
    EXPECT_EQ(x->Vars().Search("semi"), g);
    x->Vars().DeleteVar(g);
    EXPECT_FALSE(In("semi", x, "y"));
    EXPECT_EQ(x->Vars().Search("semi"), nullptr);
}

TEST_F(VarTest, BadNamesAreRefusedWithNotes) {
    CLangEnc* x = set.FindOrCreate("X");
    CNote e1, e2, e3, e4;
    EXPECT_EQ(x->Vars().AddVar("", "a", e1), nullptr);
    EXPECT_EQ(e1.Text(), "Expecting a name");
    EXPECT_EQ(x->Vars().AddVar("a[b", "a", e2), nullptr);
    EXPECT_EQ(e2.Text(), "Not expecting the character: [");
    EXPECT_EQ(e2.Position(), 1);
    EXPECT_EQ(x->Vars().AddVar("vowel", "a", e3), nullptr);
    EXPECT_EQ(e3.Text(), "This name has already been used: vowel");
    EXPECT_EQ(x->Vars().AddVar("two words", "a", e4), nullptr);
    EXPECT_EQ(e4.Text(), "Not expecting the character:  ");
    // A failed modify changes nothing.
    CVar* v = x->Vars().Search("nasal");
    CNote e5;
    EXPECT_FALSE(x->Vars().ModifyVar(v, "vowel", "z", e5));
    EXPECT_EQ(v->Name(), "nasal");
    EXPECT_TRUE(In("nasal", x, "m"));
}

TEST_F(VarTest, SlotsOfAGoneEncodingAreFreedAndLeaveEveryVariable) {
    int slot = -1;
    {
        CLangEnc temp(set, "T");
        CNote error;
        temp.Vars().AddVar("vowel", "a", error);
        slot = temp.FindUnit("a")->Slot();
        EXPECT_TRUE(set.VarNames().Search("vowel")->Contains(slot));
    }
    EXPECT_FALSE(set.VarNames().Search("vowel")->Contains(slot));
    CLangEnc next(set, "N");
    EXPECT_EQ(next.FindOrAddUnit("q")->Slot(), slot); // reused
    EXPECT_FALSE(set.VarNames().Search("vowel")->Contains(slot));
}

} // namespace
} // namespace crv
