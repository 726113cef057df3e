#include "schema/sort_order.h"

#include "schema/lang_enc_set.h"
#include "support/test_support.h"

namespace crv {
namespace {

class SortOrderTest : public test::PlatformTest {
protected:
    SortOrderTest() : enc(set.FindOrCreate("X")), so(enc->DefaultSortOrder()) {}

    std::string Key(std::string_view text, std::size_t max = 100, bool fromEnd = false,
                    bool* ok = nullptr, const CSortOrder* order = nullptr) {
        std::string key;
        bool r = (order ? order : so)->MakeKey(text, key, max, fromEnd);
        if (ok)
            *ok = r;
        return key;
    }
    int Cmp(std::string_view a, std::string_view b, int mask, bool whole = true,
            const CSortOrder* order = nullptr) {
        const CSortOrder* o = order ? order : so;
        int r = o->CompareKeys(Key(a, 100, false, nullptr, o), Key(b, 100, false, nullptr, o), mask,
                               whole);
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    std::string Codes(std::string_view text) {
        std::string out;
        for (auto* u : enc->Units(text))
            out += static_cast<char>(u->Code());
        return out;
    }

    CLangEncSet set;
    CLangEnc* enc;
    CSortOrder* so;
};

TEST_F(SortOrderTest, CompilingNumbersPrecedingSpacePrimaryFollowingAndIgnored) {
    auto w = [&](const char* unit) { return so->Weight(enc->FindUnit(unit)->Code()); };
    // Preceding: the grave accent gets ordinal 1; space 2; then A a B b ...
    EXPECT_EQ(w("`").kind, kSortSecondary);
    EXPECT_EQ(w("`").primary, 0);
    EXPECT_EQ(w("`").exact, 1);
    EXPECT_EQ(w(" ").kind, kSortPrimary);
    EXPECT_EQ(w(" ").primary, 2);
    EXPECT_EQ(w("A").primary, 3);
    EXPECT_EQ(w("a").primary, 3);
    EXPECT_EQ(w("A").exact, 3);
    EXPECT_EQ(w("a").exact, 4);
    EXPECT_EQ(w("a").folded, 3); // case-folded onto A
    EXPECT_EQ(w("B").primary, 5);
    EXPECT_EQ(w("'").kind, kSortSecondary);
    EXPECT_FALSE(so->IsPrecedingSecondary(enc->FindUnit("'")->Code()));
    EXPECT_TRUE(so->IsPrecedingSecondary(enc->FindUnit("`")->Code()));
    EXPECT_EQ(w("-").kind, kSortIgnored);
    EXPECT_EQ(w("-").exact, 0xFE);
    EXPECT_EQ(so->Weight(enc->FindOrAddUnit(",")->Code()).kind, kSortUndefined);
    EXPECT_EQ(so->Weight(CLangEnc::kUnknownCode).primary, 0xFF);
    EXPECT_TRUE(so->HasKind(enc->FindUnit("a")->Code(), kSortPrimary | kSortIgnored));
    EXPECT_FALSE(so->HasKind(enc->FindUnit("a")->Code(), kSortUndefined));
    EXPECT_EQ(
        so->CompareUnits(enc->FindUnit("a")->Code(), enc->FindUnit("A")->Code(), kMatchPrimary), 0);
    EXPECT_EQ(so->CompareUnits(enc->FindUnit("a")->Code(), enc->FindUnit("A")->Code(), kMatchExact),
              1);
    EXPECT_EQ(
        so->CompareUnits(enc->FindUnit("a")->Code(), enc->FindUnit("A")->Code(), kMatchNoCase), 0);
}

TEST_F(SortOrderTest, DefaultOrderMatchesAtEachLevel) {
    EXPECT_EQ(Cmp("a", "A", kMatchPrimary), 0);
    EXPECT_EQ(Cmp("a", "A", kMatchNoCase), 0);
    EXPECT_EQ(Cmp("A", "a", kMatchExact), -1);
    EXPECT_EQ(Cmp("A", "a", kMatchAll), -1);
    EXPECT_EQ(Cmp("a b", "ab", kMatchAll), -1); // space is the lowest primary
    EXPECT_EQ(Cmp("b", "ab", kMatchAll), 1);
    // Secondary marks: a preceding one sorts the marked text first, a following one last.
    EXPECT_EQ(Cmp("a`", "a", kMatchExact), -1);
    EXPECT_EQ(Cmp("a'", "a", kMatchExact), 1);
    EXPECT_EQ(Cmp("a", "a`", kMatchExact), 1);
    EXPECT_EQ(Cmp("a", "a'", kMatchExact), -1);
    EXPECT_EQ(Cmp("a'", "a", kMatchPrimary), 0);
    // The hyphen is ignored except at the strictest level.
    for (int mask : {kMatchPrimary, kMatchNoCase, kMatchExact})
        EXPECT_EQ(Cmp("co-op", "coop", mask), 0) << mask;
    EXPECT_EQ(Cmp("co-op", "coop", kMatchAll), 1);
    // Undefined units sort after every defined unit, and are skipped without bit 2.
    EXPECT_EQ(Cmp("a\x1A", "az", kMatchPrimary), 1);
    EXPECT_EQ(Cmp("a\x1A", "a", 1), 0);
    EXPECT_EQ(Cmp("a.", "a,", kMatchAll), 0); // undefined units are all alike
    EXPECT_EQ(Cmp("a.", "a,", 13), 0);
}

TEST_F(SortOrderTest, PrefixMatchingAndSecondaryAfterBase) {
    EXPECT_EQ(Cmp("ab", "abc", kMatchAll, false), 0);
    EXPECT_EQ(Cmp("ab", "a", kMatchAll, false), 1);
    EXPECT_EQ(Cmp("ab", "abc", kMatchAll, true), -1);
    EXPECT_EQ(Cmp("", "abc", kMatchAll, false), 0);
    // Without secondary-after-base a search key matches a field that adds a mark ...
    EXPECT_EQ(Cmp("a", "a'", kMatchExact, false), 0);
    // ... with it, the mark belongs to the base and the field does not match.
    CSortOrderDef def = so->Definition();
    def.secAfterBase = true;
    CNote error;
    ASSERT_TRUE(so->Modify(def, error)) << error.Text();
    EXPECT_EQ(Cmp("a", "a'", kMatchExact, false), -1);
    EXPECT_EQ(Cmp("a", "a`", kMatchExact, false), 1);
    EXPECT_EQ(Cmp("a", "a'", kMatchPrimary, false), 0);
}

TEST_F(SortOrderTest, KeysTakeTheFirstLineTrimmedAndCutAtTheMaximum) {
    EXPECT_EQ(Key("  abc  \nsecond line"), Key("abc"));
    EXPECT_EQ(Key("\n\t abc"), Key("abc"));
    EXPECT_EQ(Key("abc"), Codes("abc"));
    EXPECT_EQ(Key(""), "");
    EXPECT_EQ(Key("   \n  "), "");
    bool ok = false;
    EXPECT_EQ(Key("abcdef", 3, false, &ok), Codes("abc"));
    EXPECT_FALSE(ok);
    EXPECT_EQ(Key("abc", 3, false, &ok), Codes("abc"));
    EXPECT_TRUE(ok);
    // From the end: units reversed; a text longer than the maximum gives an empty key.
    EXPECT_EQ(Key("abc", 100, true, &ok), Key("cba"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Key("abcd", 3, true, &ok), "");
    EXPECT_FALSE(ok);
    // Multigraph units stay whole when reversed.
    enc->FindOrAddUnit("ch");
    EXPECT_EQ(Key("chab", 100, true), Codes("bach"));
    // No key byte is 0x00 or 0x01, so composite keys can join parts with 0x01.
    std::string key = Key(std::string("a\x01\x00z", 4));
    for (char c : key)
        EXPECT_GE(static_cast<unsigned char>(c), 2);
    std::string composite = Key("b");
    EXPECT_TRUE(so->MakeKeyWithSeparator("a", composite, 100, false));
    EXPECT_EQ(composite, Codes("b") + "\x01" + Codes("a"));
    // Comparison stops at the separator.
    EXPECT_EQ(so->CompareKeys(composite, Key("b"), kMatchAll, true), 0);
}

TEST_F(SortOrderTest, CompileErrorsAndModifyKeepingThePreviousTable) {
    CSortOrderDef def;
    def.primary = "a b\nc a";
    CNote error;
    EXPECT_EQ(CSortOrder::Compile(*enc, "bad", def, error), nullptr);
    EXPECT_EQ(error.Text(), "This character is already defined: a");
    CNote wrapped;
    EXPECT_EQ(enc->SortOrders().AddSortOrder("bad", def, wrapped), nullptr);
    EXPECT_EQ(wrapped.Text(), "In sort order: bad This character is already defined: a");
    CNote exists;
    EXPECT_EQ(enc->SortOrders().AddSortOrder("X", def, exists), nullptr);
    EXPECT_EQ(exists.Text(), "A sort order already exists with this name: X");

    def.primary = "b a";
    def.ignore = "b";
    error = {};
    int before = Cmp("a", "b", kMatchPrimary);
    EXPECT_FALSE(so->Modify(def, error));
    EXPECT_EQ(error.Text(), "This character is already defined: b");
    EXPECT_EQ(Cmp("a", "b", kMatchPrimary), before);
    def.ignore.clear();
    EXPECT_TRUE(so->Modify(def, error));
    EXPECT_EQ(Cmp("a", "b", kMatchPrimary), 0);
    EXPECT_EQ(Cmp("b", "a", kMatchExact), -1);
}

TEST_F(SortOrderTest, AnOrderNamingMoreUnitsThanTheEncodingHoldsIsRefused) {
    // 250 new units fill an encoding (codes 6 to 255); with the space and the 0x1A unit
    // that is 252 numbered units, so the weights never run out before the codes do.
    CSortOrderDef def;
    for (int i = 0; i < 249; ++i)
        def.primary += (i ? " " : "") + std::string(1, 'a') + std::to_string(i);
    def.secFollowing = "\x1A z";
    CLangEnc big(set, "Big");
    CNote error;
    auto full = CSortOrder::Compile(big, "full", def, error);
    ASSERT_NE(full, nullptr) << error.Text();
    EXPECT_EQ(big.Count(), 254u);
    EXPECT_EQ(full->Weight(255).exact, 252);
    def.ignore = "y";
    CLangEnc bigger(set, "Bigger");
    EXPECT_EQ(CSortOrder::Compile(bigger, "over", def, error), nullptr);
    EXPECT_EQ(error.Text(),
              "This language encoding already has 254 characters; no more can be added: y");
}

TEST_F(SortOrderTest, CaseFoldingFollowsTheCaseAssociations) {
    CSortOrderDef def;
    def.primary = "N n\nÑ ñ";
    CNote error;
    CSortOrder* order = enc->SortOrders().AddSortOrder("n", def, error);
    ASSERT_NE(order, nullptr);
    EXPECT_EQ(Cmp("ñ", "Ñ", kMatchNoCase, true, order), 1); // no case pair yet: they differ
    CNoteList notes;
    enc->SetCaseText(enc->CaseText() + "\nÑ ñ", notes);
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(Cmp("ñ", "Ñ", kMatchNoCase, true, order), 0);
    EXPECT_EQ(Cmp("Ñ", "ñ", kMatchExact, true, order), -1);
    EXPECT_EQ(Cmp("ñ", "N", kMatchNoCase, true, order), 1);
}

TEST_F(SortOrderTest, DeletingAsksAndKeepsOneOrderAndHeldOrders) {
    CSortOrderSet& orders = enc->SortOrders();
    EXPECT_FALSE(orders.DeleteSortOrder(so)); // the last one
    CNote error;
    CSortOrder* other = orders.AddSortOrder("Other", CSortOrderDef{}, error);
    ASSERT_NE(other, nullptr);
    other->AddRef();
    EXPECT_FALSE(orders.DeleteSortOrder(other));
    EXPECT_EQ(enc->RefCount(), 1); // a held order holds its encoding
    other->Release();
    rec.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(orders.DeleteSortOrder(so));
    EXPECT_TRUE(orders.DeleteSortOrder(so));
    EXPECT_EQ(orders.Default(), other);
    EXPECT_EQ(orders.Count(), 1u);
    EXPECT_EQ(rec.Messages(),
              (std::vector<std::string>{
                  "A language encoding needs at least one sort order; X cannot be deleted.",
                  "The sort order Other is in use and cannot be deleted.",
              }));
    EXPECT_EQ(rec.Questions()[0], "Do you want to delete the sort order named \"X\"?");
    so = nullptr;
}

TEST_F(SortOrderTest, MatchLevelCodes) {
    EXPECT_EQ(MatchMaskOfCode('p'), 3);
    EXPECT_EQ(MatchMaskOfCode('c'), 23);
    EXPECT_EQ(MatchMaskOfCode('e'), 7);
    EXPECT_EQ(MatchMaskOfCode('i'), 15);
    EXPECT_EQ(MatchMaskOfCode('x'), -1);
    EXPECT_EQ(MatchCodeOfMask(23), 'c');
    EXPECT_EQ(MatchCodeOfMask(5), 'e');
}

TEST_F(SortOrderTest, BinaryOrdersCompareTheTextBytes) {
    CSortOrderDef def;
    def.binary = true;
    CNote error;
    CSortOrder* bin = enc->SortOrders().AddSortOrder("bin", def, error);
    ASSERT_NE(bin, nullptr);
    EXPECT_EQ(Key(" Ba\n", 100, false, nullptr, bin), "Ba");
    EXPECT_EQ(Cmp("B", "a", kMatchPrimary, true, bin), -1);
    EXPECT_EQ(Cmp("\xE9", "z", kMatchAll, true, bin), 1); // unsigned bytes
    EXPECT_EQ(Cmp("ab", "abc", kMatchAll, false, bin), 0);
    EXPECT_EQ(Cmp("ab", "abc", kMatchAll, true, bin), -1);
    bool ok = true;
    EXPECT_EQ(Key("abcd", 2, false, &ok, bin), "ab");
    EXPECT_FALSE(ok);
    EXPECT_EQ(Key("abc", 10, true, &ok, bin), "cba");
    EXPECT_EQ(Key(std::string("a\x01", 2), 10, false, &ok, bin), "a\x02");
}

} // namespace
} // namespace crv
