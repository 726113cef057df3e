#include "corpus/word_list.h"

#include <sstream>

#include <gtest/gtest.h>

namespace crv {
namespace {

CWordRef Ref(std::uint8_t book, std::uint8_t chap, std::uint8_t verse, std::uint32_t offset = 0) {
    return {offset, 1, book, chap, verse};
}

TEST(WordListTest, ReferencesAreGroupedByBookChapterAndVerse) {
    CWordIndex index;
    index.bookNames = {"Kelo", "Ámi ngári-ne"};
    CRefList refs = {Ref(0, 1, 1), Ref(0, 1, 2), Ref(0, 1, 2),
                     Ref(0, 1, 3), Ref(0, 1, 5), Ref(0, 2, 4),
                     Ref(1, 1, 1), Ref(1, 1, 2), Ref(CWordIndex::kUnknownBook, 9, 9)};
    EXPECT_EQ(ReferenceLines(refs, index, 0),
              std::vector<std::string>{"Kelo 1:1-3,5; 2:4; Ámi ngári-ne 1:1-2; ??? 9:9"});
    // The limit counts references as listed: a repeated verse once.
    EXPECT_EQ(ReferenceLines(refs, index, 4), std::vector<std::string>{"Kelo 1:1-3,5"});
    EXPECT_EQ(ReferenceLines(refs, index, 2), std::vector<std::string>{"Kelo 1:1-2"});

    // Lines end before 75 characters; the next begins with book and chapter again.
    CRefList many;
    for (int v = 1; v < 60; v += 2)
        many.Add(Ref(0, 12, static_cast<std::uint8_t>(v)));
    std::vector<std::string> lines = ReferenceLines(many, index, 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "Kelo 12:1,3,5,7,9,11,13,15,17,19,21,23,25,27,29,31,33,35,37,39,41,43,45,47");
    EXPECT_LE(lines[0].size(), kMaxReferenceLine);
    EXPECT_EQ(lines[1], "Kelo 12:49,51,53,55,57,59");

    // Corpus order: by the file's place in the list, then by offset.
    CWordIndex order;
    order.words["a"] = {{5, 3, 0, 1, 1}, {9, 1, 0, 1, 2}, {2, 3, 0, 1, 3}};
    order.words["b"] = {{1, 3, 0, 1, 1}, {2, 1, 0, 1, 2}};
    std::vector<int> position(0x10000, 0);
    position[3] = 0;
    position[1] = 1;
    EXPECT_TRUE(order.SortInCorpusOrder(position));
    std::vector<CWordRef> a = order.words["a"].Unpacked();
    EXPECT_EQ(a[0].offset, 2u);
    EXPECT_EQ(a[1].offset, 5u);
    EXPECT_EQ(a[2].offset, 9u);
    EXPECT_FALSE(order.SortInCorpusOrder(position)) << "in order now";
}

TEST(WordListTest, DatabaseHoldsOneRecordPerWordInByteOrder) {
    CWordIndex index;
    index.bookNames = {"Kelo"};
    index.words["ponyu"] = {Ref(0, 1, 1), Ref(0, 1, 2)};
    index.words["ámi"] = {Ref(0, 3, 1)};
    index.words["kelo"].Assign(std::vector<CWordRef>(1234567, Ref(0, 1, 1)));
    std::ostringstream all, bare;
    EXPECT_EQ(WriteWordList(all, index, {}, "Word List- Tsaloni"), 3u);
    EXPECT_EQ(all.str(), "\\_sh v3.0  400  Word List- Tsaloni\r\n"
                         "\r\n\\w kelo\r\n\\c 1234567\r\n\\cz 1234567\r\n\\r Kelo 1:1\r\n"
                         "\r\n\\w ponyu\r\n\\c 2\r\n\\cz 000002\r\n\\r Kelo 1:1-2\r\n"
                         "\r\n\\w ámi\r\n\\c 1\r\n\\cz 000001\r\n\\r Kelo 3:1\r\n");
    WriteWordList(bare, index, {false, false, 0}, "W");
    EXPECT_EQ(bare.str(), "\\_sh v3.0  400  W\r\n\r\n\\w kelo\r\n\r\n\\w ponyu\r\n\r\n\\w ámi\r\n");
}

} // namespace
} // namespace crv
