#include "engine/key_search.h"

#include <sstream>

#include "base/object_stream.h"
#include "engine/engine_test_support.h"
#include "engine/index_settings.h"
#include "engine/sort_dialog.h"
#include "schema/sort_order.h"

namespace crv::test {
namespace {

// Dialogs answered from a script.
struct ScriptedDialogs : CKeySearchDialogs {
    bool AskKey(CKeySearch& search, std::string_view title, std::string_view) override {
        titles.push_back(std::string(title));
        if (keys.empty())
            return false;
        search.key = keys.front();
        keys.erase(keys.begin());
        return true;
    }
    Choice NoMatches(const CKeySearch&) override { return Next(); }
    Choice MultipleMatches(const CIndex&, const CKeyRecordSet& m, bool, std::size_t& r) override {
        listed = m.Matches().size();
        r = row;
        return Next();
    }
    Choice Next() {
        Choice c = choices.empty() ? Choice::Cancel : choices.front();
        if (!choices.empty())
            choices.erase(choices.begin());
        return c;
    }
    std::vector<std::string> keys;
    std::vector<Choice> choices;
    std::vector<std::string> titles;
    std::size_t row = 0;
    std::size_t listed = 0;
};
using Choice = CKeySearchDialogs::Choice;

TEST_F(EngineTest, SearchMatchesByLevelPrefixAndWholeField) {
    Add({{lx, "Bat"}});
    Add({{lx, "bat"}});
    Add({{lx, "batter"}});
    Add({{lx, "cat"}});
    const CIndex& d = Db().DefaultIndex();
    CKeySearch s;
    s.key = "bat";
    EXPECT_EQ(CKeyRecordSet(d, s).Matches().size(), 3u); // primary, prefix
    s.matchWhole = true;
    EXPECT_EQ(CKeyRecordSet(d, s).Matches().size(), 2u);
    s.mask = kMatchExact;
    CKeyRecordSet exact(d, s);
    ASSERT_EQ(exact.Matches().size(), 1u);
    EXPECT_EQ(exact.Matches()[0].Record()->GetKey(), "bat");
    s.key = "dog";
    EXPECT_FALSE(CKeyRecordSet(d, s).Found());
}

TEST_F(EngineTest, SearchListsTheFirst500InIndexOrderAndStillFindsMore) {
    CRecordList list;
    for (int i = 0; i < 600; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "k%03d", 599 - i);
        list.Add(new CRecord(new CField(lx, text)));
    }
    Db().AddRecords(list);
    CKeySearch s;
    s.key = "k";
    CKeyRecordSet m(Db().DefaultIndex(), s);
    ASSERT_EQ(m.Matches().size(), 500u);
    EXPECT_TRUE(m.HasMore());
    EXPECT_EQ(m.Matches()[0].Record()->GetKey(), "k000");
    EXPECT_EQ(m.Matches()[499].Record()->GetKey(), "k499");
    EXPECT_EQ(m.Matches()[499].Ordinal(), 499u);
}

TEST_F(EngineTest, SearchIgnoresEntriesWithoutFieldAndUsesSecondaryParts) {
    Add({{lx, "a"}, {sn, "1"}, {ge, "dog"}, {ps, "n"}, {sn, "2"}, {ge, "dog"}, {ps, "v"}});
    Add({{lx, "b"}});
    CIndexRef byGe = Db().GetIndex(By(ge, {ps}));
    CKeySearch s;
    EXPECT_EQ(CKeyRecordSet(*byGe, s).Matches().size(), 2u); // empty key: every field
    s.key = "dog";
    s.secondary = {"v"};
    CKeyRecordSet m(*byGe, s);
    ASSERT_EQ(m.Matches().size(), 1u);
    EXPECT_EQ(m.Matches()[0].Field(), FieldAt(*m.Matches()[0].Record(), 5));
}

TEST_F(EngineTest, SearchCommandMovesInsertsOrTriesAgain) {
    Add({{lx, "bat"}});
    Add({{lx, "batter"}});
    CIndex& d = Db().DefaultIndex();
    CKeySearch s;
    ScriptedDialogs ui;
    // One match: move.
    ui.keys = {"batt"};
    KeyCommandResult r = RunSearchCommand(Db(), d, s, ui);
    EXPECT_EQ(r.outcome, KeyCommandResult::Outcome::Moved);
    EXPECT_EQ(r.pos.Record()->GetKey(), "batter");
    // No match, try again, then several: the second is taken.
    ui.keys = {"cow", "ba"};
    ui.choices = {Choice::TryAgain, Choice::Take};
    ui.row = 1;
    r = RunSearchCommand(Db(), d, s, ui);
    EXPECT_EQ(ui.listed, 2u);
    EXPECT_EQ(r.pos.Ordinal(), 1u);
    // No match, insert: the new record holds the key.
    ui.keys = {"cow"};
    ui.choices = {Choice::Insert};
    r = RunSearchCommand(Db(), d, s, ui);
    EXPECT_EQ(r.outcome, KeyCommandResult::Outcome::Inserted);
    EXPECT_EQ(r.pos.Record()->GetKey(), "cow");
    EXPECT_EQ(Db().RecordCount(), 3u);
    // Cancel in the key dialog ends it.
    r = RunSearchCommand(Db(), d, s, ui);
    EXPECT_EQ(r.outcome, KeyCommandResult::Outcome::Cancelled);
}

TEST_F(EngineTest, RecordInsertInsertsAtOnceOrListsExistingRecords) {
    Add({{lx, "bat"}, {ge, "animal"}});
    CIndexRef byGe = Db().GetIndex(By(ge));
    CKeySearch s;
    ScriptedDialogs ui;
    ui.keys = {"cat"};
    KeyCommandResult r = RunRecordInsertCommand(Db(), *byGe, s, ui);
    EXPECT_EQ(r.outcome, KeyCommandResult::Outcome::Inserted);
    EXPECT_EQ(ui.titles.back(), "Record Insert");
    EXPECT_EQ(r.pos.Entry(), byGe->EntryAt(0)); // no gloss: first
    ui.keys = {"bat"};
    ui.choices = {Choice::Take};
    r = RunRecordInsertCommand(Db(), *byGe, s, ui);
    EXPECT_EQ(r.outcome, KeyCommandResult::Outcome::Moved);
    EXPECT_EQ(r.pos.Field()->Text(), "animal");
}

TEST_F(EngineTest, PlatformDialogsAnswerOnceWithTheirDefaults) {
    Add({{lx, "bat"}});
    CPlatformKeySearchDialogs ui;
    CKeySearch s;
    s.key = "zebra";
    // "No Matches" defaults to Cancel; a second key dialog cannot be shown and cancels.
    KeyCommandResult r = RunSearchCommand(Db(), Db().DefaultIndex(), s, ui);
    EXPECT_EQ(r.outcome, KeyCommandResult::Outcome::Cancelled);
    EXPECT_EQ(Db().RecordCount(), 1u);
}

TEST_F(EngineTest, KeySettingsRoundTripAndUnknownLettersKeepPrimary) {
    CKeySearch s;
    s.key = "two\nlines";
    s.matchWhole = true;
    s.mask = kMatchNoCase;
    std::ostringstream out;
    ObjectStream os(out);
    s.Write(os);
    EXPECT_EQ(out.str(),
              "\\+key\r\n\\fldPri two\r\nlines\r\n\\MatchWhole\r\n\\match_char c\r\n\\-key\r\n");
    std::istringstream in(out.str());
    ObjectStream is(in);
    CKeySearch back;
    ASSERT_TRUE(back.Read(is));
    EXPECT_EQ(back.key, s.key);
    EXPECT_TRUE(back.matchWhole);
    EXPECT_EQ(back.mask, kMatchNoCase);
    std::istringstream odd("\\+key\n\\match_char x\n\\other 1\n\\-key\n");
    ObjectStream is2(odd);
    ASSERT_TRUE(back.Read(is2));
    EXPECT_EQ(back.mask, kMatchPrimary);
    EXPECT_FALSE(back.matchWhole);

    // What a newer version added neither ends the object nor gets lost.
    const std::string newer = "\\+key\r\n\\fldPri a\r\n\\+future\r\n\\-future\r\n"
                              "\\MatchWhole\r\n\\match_char p\r\n\\-key\r\n";
    std::istringstream in3(newer);
    ObjectStream is3(in3);
    ASSERT_TRUE(back.Read(is3));
    EXPECT_TRUE(back.matchWhole);
    std::ostringstream out3;
    ObjectStream os3(out3);
    back.Write(os3);
    EXPECT_EQ(out3.str(), newer);
}

struct OneFilterSource : CIndexFilterSource {
    explicit OneFilterSource(CIndexFilter* f) : filter(f) {}
    CIndexFilter* FindIndexFilter(std::string_view name) const override {
        return name == filter->FilterName() ? filter : nullptr;
    }
    CIndexFilter* filter;
};

TEST_F(EngineTest, IndexAndRecordSettingsRoundTrip) {
    TestFilter nouns("nouns", ps, "n");
    OneFilterSource source(&nouns);
    Db().SetFilterSource(&source);
    Add({{lx, "a"}, {sn, "1"}, {ge, "dog"}, {ps, "n"}, {sn, "2"}, {ge, "cat"}, {ps, "n"}});
    CIndexKeys k = By(ge, {ps, lx}, &nouns);
    k.fromEnd = true;
    CIndexRef idx = Db().GetIndex(k);
    std::ostringstream out;
    ObjectStream os(out);
    WriteIndexSettings(os, *idx);
    WriteRecordPosition(os, *idx, idx->PosAt(1));
    EXPECT_EQ(out.str(),
              "\\+ind\r\n\\mkrPriKey ge\r\n\\srtPriKey Default\r\n\\SortPriKeyFromEnd\r\n"
              "\\mkrSecKey ps\r\n\\mkrSecKey lx\r\n\\fil nouns\r\n\\-ind\r\n"
              "\\+rec\r\n\\fldPriKey cat\r\n\\fldSecKey n\r\n\\fldSecKey a\r\n\\-rec\r\n");
    std::istringstream in(out.str());
    ObjectStream is(in);
    CIndexSettings settings;
    ASSERT_TRUE(ReadIndexSettings(is, settings));
    CWindowIndexes w = IndexesFromSettings(Db(), settings);
    EXPECT_EQ(w.filtered.Get(), idx.Get());
    EXPECT_EQ(w.unfiltered.Get(), idx->Base());
    auto pos = ReadRecordPosition(is, *w.filtered);
    ASSERT_TRUE(pos.has_value());
    EXPECT_EQ(pos->Ordinal(), 1u);
    // No primary marker: the default index for both; an unknown filter: unfiltered.
    CIndexSettings none;
    w = IndexesFromSettings(Db(), none);
    EXPECT_EQ(w.unfiltered.Get(), &Db().DefaultIndex());
    EXPECT_EQ(w.filtered.Get(), &Db().DefaultIndex());
    settings.filter = "gone";
    settings.sortOrder = "no such order";
    w = IndexesFromSettings(Db(), settings);
    EXPECT_EQ(w.filtered.Get(), idx->Base());
    std::istringstream miss("\\+rec\n\\fldPriKey zebra\n\\-rec\n");
    ObjectStream is2(miss);
    EXPECT_FALSE(ReadRecordPosition(is2, *idx).has_value());

    // What a newer version added neither ends the objects nor gets lost.
    std::istringstream newer("\\+ind\n\\mkrPriKey ge\n\\+future\n\\-future\n\\fil nouns\n\\-ind\n"
                             "\\+rec\n\\newKey\n\\fldPriKey cat\n\\-rec\n");
    ObjectStream is3(newer);
    ASSERT_TRUE(ReadIndexSettings(is3, settings));
    EXPECT_EQ(settings.filter, "nouns");
    KeptEntries kept;
    EXPECT_TRUE(ReadRecordPosition(is3, *Db().GetIndex(By(ge)), &kept).has_value());
    std::ostringstream out2;
    ObjectStream os2(out2);
    WriteIndexSettings(os2, *idx, &settings.kept);
    WriteRecordPosition(os2, *idx, idx->PosAt(1), &kept);
    EXPECT_EQ(out2.str(),
              "\\+ind\r\n\\mkrPriKey ge\r\n\\+future\r\n\\-future\r\n\\srtPriKey Default\r\n"
              "\\SortPriKeyFromEnd\r\n\\mkrSecKey ps\r\n\\mkrSecKey lx\r\n\\fil nouns\r\n\\-ind\r\n"
              "\\+rec\r\n\\newKey\r\n\\fldPriKey cat\r\n\\fldSecKey n\r\n\\fldSecKey a\r\n"
              "\\-rec\r\n");
}

TEST_F(EngineTest, SortDialogRules) {
    EXPECT_FALSE(SortKeyLengthOK(3));
    EXPECT_TRUE(SortKeyLengthOK(4));
    EXPECT_TRUE(SortKeyLengthOK(256));
    EXPECT_FALSE(SortKeyLengthOK(257));
    EXPECT_EQ(DefaultSortOrderFor(ge), encodings.Default()->DefaultSortOrder());
    TestFilter nouns("nouns", ps, "n");
    CIndexRef u, f;
    CSortChoice choice;
    rec.answers = {Answer::Cancel, Answer::Ok};
    EXPECT_EQ(ApplySortDialog(Db(), choice, &nouns, u, f), SortDialogOutcome::BackToDialog);
    EXPECT_EQ(rec.Questions().back(), "Corvane needs a field marker to sort by. Since you didn't "
                                      "select one, Corvane will sort by "
                                      "the database's record marker:\n\\lx  Lexeme");
    EXPECT_EQ(ApplySortDialog(Db(), choice, &nouns, u, f), SortDialogOutcome::Applied);
    EXPECT_EQ(u.Get(), &Db().DefaultIndex());
    EXPECT_EQ(f.Get(), &Db().DefaultIndex());
    choice.fields = {ge, ps};
    EXPECT_EQ(ApplySortDialog(Db(), choice, &nouns, u, f), SortDialogOutcome::Applied);
    EXPECT_EQ(u->PriMarker(), ge);
    EXPECT_EQ(u->SecMarkers(), (std::vector<CMarker*>{ps}));
    EXPECT_EQ(f->Filter(), &nouns);
    EXPECT_EQ(f->Base(), u.Get());
    choice.keyLength = 2;
    EXPECT_EQ(ApplySortDialog(Db(), choice, nullptr, u, f), SortDialogOutcome::BackToDialog);
}

} // namespace
} // namespace crv::test
