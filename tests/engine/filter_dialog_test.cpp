#include "engine/filter_dialog.h"

#include "engine/filter_test_support.h"

namespace crv::test {
namespace {

TEST_F(FilterTest, ElementDialogsRefuseWhatMakesNoElement) {
    EXPECT_EQ(FilterElementChoiceLabels().size(), 10u);
    EXPECT_EQ(MakeOperatorElement(FilterElementChoice::MarkerText), nullptr);
    EXPECT_EQ(MakeOperatorElement(FilterElementChoice::NonUnique)->DisplayText(), "Non-Unique");
    CNote error;
    EXPECT_FALSE(MakeMarkerTextElement(*filters, "ge", "a]", error));
    EXPECT_EQ(error.Text(),
              "This right bracket doesn't enclose a variable or metacharacter;\r\nuse \\] if you "
              "want to match a "
              "literal right bracket in a text pattern string in a marker-string filter condition");
    EXPECT_EQ(error.Position(), 1);
    CNote marker;
    EXPECT_FALSE(MakeMarkerTextElement(*filters, "qq", "a", marker));
    EXPECT_EQ(marker.Text(), "Marker not in marker list: \\qq");
    CNote date;
    EXPECT_FALSE(
        MakeMarkerDateElement(*filters, "dt", CDateCondition::Relation::Equal, "31 June", date));
    EXPECT_EQ(date.Text(), "Unrecognized date:  31 June");
    CNote lang;
    EXPECT_FALSE(MakeLangTextElement(*filters, "Klingon", "a", lang));
    EXPECT_EQ(lang.Text(), "Language encoding not found: Klingon");
    auto typed =
        MakeMarkerDateElement(*filters, "dt", CDateCondition::Relation::After, "5/jun/01", error);
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->DisplayText(), "\\dt > 05/Jun/2001");

    std::vector<std::string> langs = FilterLangEncChoices(encodings);
    EXPECT_EQ(langs.front(), "Any Lang.");
    std::vector<std::string> vars = FilterVariableChoices(*filters);
    EXPECT_NE(std::find(vars.begin(), vars.end(), "vowel"), vars.end());
    std::size_t caret = 1;
    EXPECT_EQ(InsertVariable("ab", caret, "vowel"), "a[vowel]b");
    EXPECT_EQ(caret, 8u);
}

TEST_F(FilterTest, FilterDialogOkParsesAndChecksTheName) {
    CFilterEditor editor;
    editor.name = "nouns";
    editor.InsertLast(Seq({"\\ps n"})[0]->Clone());
    editor.InsertFirst(MakeOperatorElement(FilterElementChoice::Not));
    editor.InsertBefore(1, MakeOperatorElement(FilterElementChoice::And));
    EXPECT_EQ(editor.DisplayTexts(), (Strings{"Not", "And", "\\ps n"}));
    int selected = 0;
    EXPECT_EQ(editor.Apply(*filters, nullptr, selected), nullptr);
    EXPECT_EQ(rec.Messages().back(), "Expecting a Text or Date Element\nAnd");
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(filters->Find("nouns"), nullptr);
    editor.Delete(1);
    CFilter* nouns = editor.Apply(*filters, nullptr, selected);
    ASSERT_TRUE(nouns);
    EXPECT_EQ(selected, -1);

    CFilterEditor second;
    second.name = "nouns";
    second.InsertLast(MakeOperatorElement(FilterElementChoice::NonUnique));
    EXPECT_EQ(second.Apply(*filters, nullptr, selected), nullptr);
    EXPECT_EQ(rec.Messages().back(), "A filter already exists with this name: nouns");

    // Editing a copy changes nothing until OK.
    CFilterEditor edit(*nouns);
    edit.Replace(1, Seq({"\\ps v"})[0]->Clone());
    EXPECT_EQ(nouns->Elements()[1]->DisplayText(), "\\ps n");
    edit.matchWhole = true;
    EXPECT_EQ(edit.Apply(*filters, nouns, selected), nouns);
    EXPECT_EQ(nouns->Elements()[1]->DisplayText(), "\\ps v");
    EXPECT_TRUE(nouns->MatchWhole());
    edit.DeleteAll();
    EXPECT_EQ(edit.Apply(*filters, nouns, selected), nullptr);
    EXPECT_EQ(rec.Messages().back(), "Expecting a Filter Element");
}

TEST_F(FilterTest, LiveCountWalksTheWindowsIndexAndStoresNothing) {
    Add({{lx, "a"}, {ps, "n"}});
    Add({{lx, "b"}, {ps, "v"}});
    Add({{lx, "c"}, {ps, "n"}});
    CFilterEditor editor;
    editor.name = "nouns";
    EXPECT_EQ(editor.CountPassing(*filters, Db().DefaultIndex()), std::nullopt);
    editor.InsertLast(Seq({"\\ps n"})[0]->Clone());
    const int held = ps->SettingsRefCount();
    EXPECT_EQ(editor.CountPassing(*filters, Db().DefaultIndex()), 2u);
    editor.InsertFirst(MakeOperatorElement(FilterElementChoice::Not));
    EXPECT_EQ(editor.CountPassing(*filters, Db().DefaultIndex()), 1u);
    EXPECT_EQ(filters->Find("nouns"), nullptr);
    // The trial let go of its marker: a merge is not refused by it.
    EXPECT_EQ(ps->SettingsRefCount(), held);
}

TEST_F(FilterTest, WindowTexts) {
    CFilter* f = AddFilter("nouns", {"\\ps n"});
    AddFilter("all", {"Not", "\\ps n"});
    EXPECT_EQ(FilterChoices(*filters), (Strings{"[no filter]", "all", "nouns"}));
    EXPECT_EQ(FilterOfChoice(*filters, 0), nullptr);
    EXPECT_EQ(FilterOfChoice(*filters, 2), f);
    EXPECT_EQ(FilterOfChoice(*filters, 3), nullptr);
    EXPECT_EQ(FilterSelectionText(nullptr), "All records [no filter]");
    EXPECT_EQ(FilterSelectionText(f), "Filter:  nouns");
    EXPECT_EQ(EmptyIndexText(Db().DefaultIndex()), "Database is empty.");
    Add({{lx, "a"}, {ps, "v"}});
    CIndexRef index = Filtered(f);
    EXPECT_EQ(EmptyIndexText(*index), "No matches for filter");
    EXPECT_EQ(EmptyIndexText(Db().DefaultIndex()), "");
}

} // namespace
} // namespace crv::test
