// Compiling tables: tokens, character codes, keywords and arguments, symbol numbering, the
// order changes are tried in, and every compile error with its column.
#include <gtest/gtest.h>

#include <tuple>

#include "zentab/commands.h"
#include "zentab/compiler.h"

namespace crv::zt {
namespace {

struct Outcome {
    std::unique_ptr<Table> table;
    std::vector<std::tuple<std::string, int, int>> errors; // text, line, column
    std::vector<int> messages;
    std::vector<std::string> texts;
    bool HasError(const std::string& text) const {
        for (const auto& e : errors)
            if (std::get<0>(e) == text)
                return true;
        return false;
    }
    bool HasMessage(int n) const {
        return std::find(messages.begin(), messages.end(), n) != messages.end();
    }
};

Outcome Compile(const std::string& text, bool withSink = true) {
    Outcome o;
    Reporter r;
    r.SetSink([&o](const Message& m) {
        o.messages.push_back(m.number);
        o.texts.push_back(m.text);
        return true;
    });
    CompileErrorSink sink = [&o](const std::string& t, int line, int column) {
        o.errors.emplace_back(t, line, column);
    };
    o.table = CompileTable(text, r, withSink ? sink : CompileErrorSink{});
    return o;
}

std::string FirstError(const std::string& text) {
    Outcome o = Compile(text);
    EXPECT_EQ(o.table, nullptr) << text;
    return o.errors.empty() ? "" : std::get<0>(o.errors[0]);
}

int FirstColumn(const std::string& text) {
    Outcome o = Compile(text);
    return o.errors.empty() ? 0 : std::get<2>(o.errors[0]);
}

std::vector<Element> MatchOf(const Table& t, int change) {
    const Change& c = t.changes[static_cast<std::size_t>(change)];
    return {t.elements.begin() + c.matchStart, t.elements.begin() + c.matchEnd};
}

TEST(Compiler, CharacterCodes) {
    Outcome o = Compile("0377 d255 x41 x4142 0x41 0d65 101 '' \"q'\" > 'x'\n");
    ASSERT_NE(o.table, nullptr);
    std::vector<Element> expect{0377, 255, 0x41, 0x41, 0x42, 0x41, 65, 0101, 'q', '\''};
    EXPECT_EQ(MatchOf(*o.table, 0), expect);
    EXPECT_EQ(FirstError("0400 > 'x'\n"), "Octal number too big, must not exceed 377");
    EXPECT_EQ(FirstError("d256 > 'x'\n"), "Decimal number too big, must be less than 256");
    EXPECT_EQ(FirstError("'a' > 0378\n"), "Invalid octal digit");
    EXPECT_EQ(FirstError("d2a > 'x'\n"), "Invalid decimal digit");
    EXPECT_EQ(FirstError("x4g > 'x'\n"), "Invalid hexadecimal digit");
    EXPECT_EQ(FirstColumn("'a' > 'b' d999\n"), 11);
}

TEST(Compiler, TokensAndComments) {
    Outcome o = Compile("'a'>'b' c a comment > 'x'\n\t'c'\t>\t'd'  C  \"\n");
    ASSERT_NE(o.table, nullptr);
    EXPECT_EQ(o.table->changes.size(), 2u);
    EXPECT_EQ(FirstError("'abc > 'x'\n"), "Unmatched quote");
    EXPECT_EQ(FirstError("'a' > store (x)\n"),
              "Parenthesized parameter(s) must be adjacent to a keyword");
    EXPECT_EQ(FirstColumn("'a' > store (x)\n"), 13);
    EXPECT_EQ(FirstError("'a' > bogus\n"), "Unrecognized keyword");
    EXPECT_EQ(FirstError("store(x) > 'a'\n"), "Unrecognized keyword"); // output keyword before >
    EXPECT_EQ(FirstError("'a' > any(x)\n"), "Unrecognized keyword");   // match keyword after >
}

TEST(Compiler, ArgumentErrors) {
    EXPECT_EQ(FirstError("'a' > store\n"), "Missing parenthesis");
    EXPECT_EQ(FirstError("'a' > store(x\n"), "No close parenthesis");
    EXPECT_EQ(FirstError("'a' > store()\n"), "Missing parameter");
    EXPECT_EQ(FirstError("'a' > store(x,,y)\n"), "Missing parameter");
    EXPECT_EQ(FirstError("'a' > dup(x)\n"), "Illegal parenthesis");
    EXPECT_EQ(FirstError("'a' > store(x)y\n"), "Illegal parenthesis");
    EXPECT_EQ(FirstError("'a' > back(x)\n"), "Bad number");
    EXPECT_EQ(FirstError("'a' > back(128)\n"), "Number too big");
    EXPECT_EQ(FirstError("'a' > fwd(0)\n"), "Number cannot be zero");
    EXPECT_EQ(FirstError("begin > doublebyte(0400)\n"), "Doublebyte number too big");
    EXPECT_EQ(FirstError("begin > doublebyte(9z)\n"),
              "Error - doublebyte argument is illegal octal number");
    EXPECT_EQ(FirstError("'a' > ifeq(x) store(y)\n"),
              "Illegal command following comparison operator");
    EXPECT_EQ(FirstError("'a' > add(x) dup\n"), "Illegal command following arithmetic operator");
    EXPECT_EQ(FirstError("'a' > add(x) '1x'\n"), "Invalid number for arithmetic");
    EXPECT_EQ(FirstError("'a' > add(x) 2000000000\n"),
              "Number too big, must be less than 2,000,000,000");
    EXPECT_NE(Compile("'a' > store(x) '1' endstore add(x) 1999999999 ifeq(x) cont(y)\n").table,
              nullptr);
}

TEST(Compiler, NumberWithoutParenthesesIsOne) {
    Outcome o = Compile("'a' > back fwd(2,3)\n");
    ASSERT_NE(o.table, nullptr);
    const Change& c = o.table->changes[0];
    std::vector<Element> out(o.table->elements.begin() + c.output.start,
                             o.table->elements.begin() + c.output.end);
    std::vector<Element> expect{Command(op::Back), 1, Command(op::Fwd), 2, Command(op::Fwd), 3};
    EXPECT_EQ(out, expect);
}

TEST(Compiler, SymbolNumbering) {
    Outcome o = Compile("'a' > store(5) store(a,b) set(sw) clear(9)\n");
    ASSERT_NE(o.table, nullptr);
    const SymbolTable& stores = o.table->Symbols(SymbolKind::Store);
    EXPECT_EQ(stores.Find("5"), 5);
    EXPECT_EQ(stores.Find("a"), 127);
    EXPECT_EQ(stores.Find("b"), 126);
    EXPECT_EQ(o.table->Symbols(SymbolKind::Switch).Find("sw"), 127);
    EXPECT_EQ(o.table->Symbols(SymbolKind::Switch).Find("9"), 9);
    // store(a,b) compiles as store a, store b
    const Change& c = o.table->changes[0];
    EXPECT_EQ(o.table->elements[c.output.start + 2], Command(op::Store));
    EXPECT_EQ(o.table->elements[c.output.start + 3], 127);
    EXPECT_EQ(o.table->elements[c.output.start + 5], 126);

    std::string many = "'a' >";
    for (int i = 0; i < 128; ++i)
        many += " store(s" + std::to_string(i) + ")";
    EXPECT_EQ(FirstError(many + "\n"), "Line too long, end cut off");
    std::string lines;
    for (int i = 0; i < 128; ++i)
        lines += "'a' > set(w" + std::to_string(i) + ")\n";
    EXPECT_EQ(FirstError(lines), "Too many switches");
    lines.clear();
    for (int i = 0; i < 128; ++i)
        lines += "'a' > store(w" + std::to_string(i) + ")\n";
    EXPECT_EQ(FirstError(lines), "Too many stores");
    lines.clear();
    for (int i = 0; i < 128; ++i)
        lines += "group(g" + std::to_string(i) + ")\n";
    EXPECT_EQ(FirstError(lines), "Too many groups");
    lines.clear();
    for (int i = 0; i < 128; ++i)
        lines += "define(d" + std::to_string(i) + ") > 'x'\n";
    EXPECT_EQ(FirstError(lines), "Too many defines");
}

TEST(Compiler, LongLineIsCutAt500) {
    std::string line = "'a' > '" + std::string(600, 'x') + "'\n";
    Outcome o = Compile(line);
    ASSERT_FALSE(o.errors.empty());
    EXPECT_EQ(std::get<0>(o.errors[0]), "Line too long, end cut off");
    EXPECT_EQ(std::get<2>(o.errors[0]), 501);
    EXPECT_TRUE(o.HasError("Unmatched quote")); // the closing quote was cut off
}

TEST(Compiler, BeginSection) {
    EXPECT_EQ(FirstError("'a' > 'b'\nbegin > caseless\n"), "Begin command not first in table");
    EXPECT_EQ(FirstError("begin 'a' > caseless\n"), "Illegal search string in begin statement");
    EXPECT_EQ(FirstError("begin\n'a' > 'b'\n"), "No wedge on 'begin' line");
    Outcome o = Compile("begin > caseless unsorted\n'a' > 'b'\n");
    ASSERT_NE(o.table, nullptr);
    EXPECT_TRUE(o.table->hasBegin && o.table->caseless && o.table->unsorted && !o.table->binary);
    EXPECT_EQ(o.table->changes.size(), 1u);
}

TEST(Compiler, OrderingWithinGroup) {
    Outcome o = Compile("'ab' > 'y'\n'abc' > 'x'\nany(s) > 'z'\n'b' > 'w'\n'a' fol(s) > 'v'\n");
    ASSERT_NE(o.table, nullptr);
    // a-led by weight (abc 30, ab 20, a fol 11), then b, then the command-led any().
    std::vector<std::uint16_t> expect{1, 0, 4, 3, 2};
    EXPECT_EQ(o.table->groups[1].sorted, expect);
    Outcome u = Compile("begin > unsorted\n'ab' > 'y'\n'abc' > 'x'\n");
    ASSERT_NE(u.table, nullptr);
    std::vector<std::uint16_t> tableOrder{0, 1};
    EXPECT_EQ(u.table->groups[1].sorted, tableOrder);
}

TEST(Compiler, PrecIsHeldBackAfterFirstElement) {
    Outcome o = Compile("prec(x) prec(y) 'ab' > 'c'\n");
    ASSERT_NE(o.table, nullptr);
    std::vector<Element> expect{'a', Command(op::Prec), 127, Command(op::Prec), 126, 'b'};
    EXPECT_EQ(MatchOf(*o.table, 0), expect);
    EXPECT_EQ(o.table->changes[0].firstKey, 'a');
}

TEST(Compiler, GroupsAndDefines) {
    Outcome o = Compile("'a' > 'b'\ngroup(g)\n'c' > 'd' do(d)\ndefine(d) > 'e'\n'f' > 'g'\n");
    ASSERT_NE(o.table, nullptr);
    EXPECT_EQ(o.table->changes.size(), 3u);
    EXPECT_EQ(o.table->changes[0].group, 1);
    EXPECT_EQ(o.table->changes[1].group, 127);
    EXPECT_EQ(o.table->changes[2].group, 127);
    EXPECT_NE(o.table->defines[127].end, 0u);
    // The group command is not part of the output of the change before it.
    const Change& first = o.table->changes[0];
    EXPECT_EQ(first.output.end - first.output.start, 1u);

    Outcome bad = Compile("group(g)\n'a' > 'b'\ngroup(h)\n'c' > 'd'\ngroup(g)\n'e' > 'f'\n");
    EXPECT_EQ(bad.table, nullptr);
    EXPECT_TRUE(bad.HasMessage(msg::GroupMultiplyDefined));
}

TEST(Compiler, WarningsForUndefinedSymbols) {
    Outcome o = Compile("'a' > out(s) if(w) use(g) do(d) out(ztcurrentdate)\n");
    ASSERT_NE(o.table, nullptr);
    EXPECT_EQ(o.messages, (std::vector<int>{32, 33, 34, 35}));
    EXPECT_EQ(o.texts[0], "WARNING: Store s used but never stored into\n");
    EXPECT_TRUE(o.table->Symbols(SymbolKind::Store).ByNumber(126)->predefined);
}

TEST(Compiler, BeginOptionWarnings) {
    Outcome o = Compile("begin > binary caseless doublebyte(0201,0100,3)\n'a' > 'b'\n");
    ASSERT_NE(o.table, nullptr);
    EXPECT_TRUE(o.HasMessage(msg::DoublebyteTooManyArgs));
    EXPECT_TRUE(o.HasMessage(msg::BinaryWithDoublebyte));
    EXPECT_TRUE(o.HasMessage(msg::CaselessWithDoublebyte));
    EXPECT_TRUE(o.table->doublebyte && !o.table->binary && !o.table->caseless);
    EXPECT_EQ(o.table->doublebyteHigh, 0201);
    EXPECT_TRUE(Compile("begin > doublebyte(0)\n").HasMessage(msg::DoublebyteInconsistent));
    std::string precs = "'a'";
    for (int i = 0; i < 11; ++i)
        precs += " prec(p)";
    EXPECT_TRUE(Compile(precs + " > 'x'\n").HasMessage(msg::TooManyPrec));
}

TEST(Compiler, FontSectionEndsTable) {
    Outcome o = Compile("'a' > 'b'\n'c' > font\nthis is not a table line\n");
    ASSERT_NE(o.table, nullptr);
    EXPECT_TRUE(o.HasMessage(msg::FontSectionIgnored));
    EXPECT_EQ(o.table->changes.size(), 2u);
}

TEST(Compiler, Limits) {
    std::string many;
    for (int i = 0; i < 5001; ++i)
        many += "'a' > 'b'\n";
    Outcome o = Compile(many);
    EXPECT_EQ(o.table, nullptr);
    EXPECT_TRUE(o.HasMessage(msg::TooManyChanges));
    std::string big;
    for (int i = 0; i < 80; ++i)
        big += "'a' > '" + std::string(450, 'x') + "'\n";
    Outcome large = Compile(big);
    EXPECT_EQ(large.table, nullptr);
    EXPECT_TRUE(large.HasMessage(msg::TableTooLarge));
}

TEST(Compiler, ErrorsWithoutSinkGoThroughMessage53) {
    Outcome o = Compile("'a' > 'b'\n'a' > bogus\n", false);
    EXPECT_EQ(o.table, nullptr);
    ASSERT_TRUE(o.HasMessage(msg::CompileError));
    EXPECT_EQ(o.texts[0], "'a' > bogus\n      ^\n?ZT-F-Unrecognized keyword\n");
}

TEST(Compiler, AllErrorsAreReported) {
    Outcome o = Compile("'a' > bogus\n'b' > store(\n'c' > 'd'\n'e > 'f'\n");
    // Line 4: the quoted "e > " is output text, then f is no keyword and ' is unmatched.
    ASSERT_EQ(o.errors.size(), 4u);
    EXPECT_EQ(std::get<1>(o.errors[0]), 1);
    EXPECT_EQ(std::get<1>(o.errors[1]), 2);
    EXPECT_EQ(std::get<1>(o.errors[2]), 4);
    EXPECT_EQ(std::get<0>(o.errors[2]), "Unmatched quote");
    EXPECT_EQ(std::get<0>(o.errors[3]), "Unrecognized keyword");
}

TEST(Compiler, CompiledStreamAndByteOrderMark) {
    // 0xFE change, 'a', 0xFD wedge, 'b'
    Outcome o = Compile(std::string("\xFE"
                                    "a\xFD"
                                    "b"));
    ASSERT_NE(o.table, nullptr);
    EXPECT_EQ(o.table->changes.size(), 1u);
    Outcome bad = Compile(std::string("\xFE"
                                      "a\xFD\xF0"));
    EXPECT_EQ(bad.table, nullptr);
    Outcome bom = Compile("\xEF\xBB\xBF'a' > 'b'\n");
    ASSERT_NE(bom.table, nullptr);
    EXPECT_EQ(bom.table->changes.size(), 1u);
}

TEST(Compiler, Listing) {
    Outcome o = Compile("'a' > store(x) set(5)\n");
    ASSERT_NE(o.table, nullptr);
    std::string listing = SymbolListing(*o.table);
    EXPECT_NE(listing.find("Defines: \tNone\n"), std::string::npos);
    EXPECT_NE(listing.find("Stores:    Number  Name\n\t   127     x\n"), std::string::npos);
    EXPECT_NE(listing.find("\t     5     5\n"), std::string::npos);
    EXPECT_NE(listing.find("1 changes, 5000 maximum\n"), std::string::npos);
    EXPECT_NE(listing.find("maximum\n"), std::string::npos);
}

} // namespace
} // namespace crv::zt
