#include "engine/filter_parse.h"

#include "engine/filter_test_support.h"

namespace crv::test {
namespace {

class FilterParseTest : public FilterTest {
protected:
    // The tree of a sequence, written with brackets: [a And b], ~a, (a), {a With b}.
    std::string Tree(std::initializer_list<std::string> items) {
        CFilterElementList els = Seq(items);
        CFilterParseError error;
        const CFilterElement* root = ParseFilterElements(els, error);
        return root ? Show(root) : "error: " + error.message;
    }
    static std::string Show(const CFilterElement* e) {
        if (!e)
            return "?";
        auto* op = dynamic_cast<const CFilterOperator*>(e);
        switch (e->Kind()) {
        case FilterElementKind::And:
        case FilterElementKind::Or:
            return "[" + Show(op->Left()) + " " + e->DisplayText() + " " + Show(op->Right()) + "]";
        case FilterElementKind::With:
            return "{" + Show(op->Left()) + " With " + Show(op->Right()) + "}";
        case FilterElementKind::Not:
            return "~" + Show(op->Left());
        case FilterElementKind::LeftParen:
            return "(" + Show(op->Left()) + ")";
        default:
            return e->DisplayText();
        }
    }
};

TEST_F(FilterParseTest, AndAndOrGroupFromTheLeftAndNotBindsTighter) {
    EXPECT_EQ(Tree({"\\ge a", "And", "\\ge b", "Or", "\\ge c"}), "[[\\ge a And \\ge b] Or \\ge c]");
    EXPECT_EQ(Tree({"\\ge a", "Or", "\\ge b", "And", "\\ge c"}), "[[\\ge a Or \\ge b] And \\ge c]");
    EXPECT_EQ(Tree({"Not", "\\ge a", "And", "\\ge b"}), "[~\\ge a And \\ge b]");
    EXPECT_EQ(Tree({"Not", "Not", "\\ge a"}), "~~\\ge a");
    EXPECT_EQ(Tree({"\\ge a", "Or", "(", "\\ge b", "And", "Non-Unique", ")"}),
              "[\\ge a Or ([\\ge b And Non-Unique])]");
    EXPECT_EQ(Tree({"Not", "\\ge a", "With", "\\xv b", "With", "\\xe c"}),
              "~{{\\ge a With \\xv b} With \\xe c}");
    EXPECT_EQ(Tree({"\\dt = 2001"}), "\\dt = 2001");
    EXPECT_EQ(Tree({"@* x", "And", "@Default y"}), "[Any Lang.: x And Default: y]");
}

TEST_F(FilterParseTest, EveryErrorHasItsMessageAndNamesItsElement) {
    EXPECT_EQ(ParseText({}), "Expecting a Filter Element");
    EXPECT_EQ(ParseText({"And"}), "Expecting a Text or Date Element\nAnd");
    EXPECT_EQ(ParseText({"\\ge a", "And"}), "Expecting a Text or Date Element");
    EXPECT_EQ(ParseText({"Not"}), "Expecting a Text or Date Element");
    EXPECT_EQ(ParseText({"(", ")"}), "Expecting a Text or Date Element\n)");
    EXPECT_EQ(ParseText({"\\ge a", "With", "Non-Unique"}),
              "\"With\" expects Marker Text Elements\nNon-Unique");
    EXPECT_EQ(ParseText({"\\dt = 2001", "With", "\\ge a"}),
              "\"With\" expects Marker Text Elements\n\\dt = 2001");
    EXPECT_EQ(ParseText({"\\ge a", "With", "Not"}), "Expecting a Text or Date Element\nNot");
    EXPECT_EQ(ParseText({"\\ge a", "With"}), "Expecting a Text or Date Element");
    EXPECT_EQ(ParseText({"(", "\\ge a", ")", "With", "\\ge b"}),
              "\"With\" expects Marker Text Elements\n)");
    EXPECT_EQ(ParseText({"(", "\\ge a"}), "Expecting a right parenthesis )");
    EXPECT_EQ(ParseText({"(", "\\ge a", "\\ge b"}), "Expecting a right parenthesis )\n\\ge b");
    EXPECT_EQ(ParseText({"\\ge a", "\\ge b"}), "Unexpected Element after end of Filter\n\\ge b");
    EXPECT_EQ(ParseText({"\\ge a", ")"}), "Unexpected Element after end of Filter\n)");
    EXPECT_EQ(ParseText({"\\ge a", "Not", "\\ge b"}),
              "Unexpected Element after end of Filter\nNot");

    CFilterElementList els = Seq({"\\ge a", "And", "Or", "\\ge b"});
    CFilterParseError error;
    EXPECT_EQ(ParseFilterElements(els, error), nullptr);
    EXPECT_EQ(error.element, 2);
}

TEST_F(FilterParseTest, DeepTreesAreRefusedNotOverflowed) {
    CFilterElementList nots;
    for (int i = 0; i < 20000; ++i)
        nots.push_back(std::make_unique<CFilterOperator>(FilterElementKind::Not));
    nots.push_back(std::make_unique<CFilterOperator>(FilterElementKind::NonUnique));
    CFilterParseError error;
    EXPECT_EQ(ParseFilterElements(nots, error), nullptr);
    EXPECT_EQ(error.message, "This filter is nested too deeply to be used");

    CFilterElementList chain;
    for (int i = 0; i < 20000; ++i) {
        if (i)
            chain.push_back(std::make_unique<CFilterOperator>(FilterElementKind::And));
        chain.push_back(std::make_unique<CFilterOperator>(FilterElementKind::NonUnique));
    }
    EXPECT_EQ(ParseFilterElements(chain, error), nullptr);

    CFilterElementList parens;
    for (int i = 0; i < 20000; ++i)
        parens.push_back(std::make_unique<CFilterOperator>(FilterElementKind::LeftParen));
    EXPECT_EQ(ParseFilterElements(parens, error), nullptr);

    // Within the limit a long chain parses and evaluates.
    CFilterElementList ok;
    for (int i = 0; i < kMaxFilterDepth / 2; ++i) {
        if (i)
            ok.push_back(std::make_unique<CFilterOperator>(FilterElementKind::Or));
        ok.push_back(std::make_unique<CFilterOperator>(FilterElementKind::NonUnique));
    }
    CFilter f(filters.get(), "long", std::move(ok), false, 3);
    ASSERT_TRUE(f.IsParsed());
    CRecord* a = Add({{lx, "a"}});
    CRecord* twin = Add({{lx, "a"}});
    EXPECT_TRUE(f.Evaluate(*a, a->GetFirst(), twin));
    EXPECT_FALSE(f.Evaluate(*a, a->GetFirst()));
}

} // namespace
} // namespace crv::test
