#include "corpus/word_index.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace crv {
namespace {

using namespace std::string_literals;

CWordIndex SmallIndex() {
    CWordIndex index;
    index.identity = {0x0123456789abcdefULL, "\\v \\p", "\\id", "\\c", "\\v"};
    index.files = {{1, "a,b.txt", "2024/01/02,03:04:05"}, {7, "/c/d.txt", "2023/12/31,23:59:59"}};
    index.bookNames = {"Kelo ne ponyu", "Ámi"};
    index.words["kelo"] = {{10, 1, 0, 1, 2}, {70000, 7, 1, 255, 3}};
    index.words["ngári"] = {{0xFFFFFFF0u, 7, CWordIndex::kUnknownBook, 0, 0}};
    return index;
}

bool SameContent(const CWordIndex& a, const CWordIndex& b) {
    if (!(a.identity == b.identity) || a.bookNames != b.bookNames ||
        a.files.size() != b.files.size() || a.words.size() != b.words.size())
        return false;
    for (std::size_t i = 0; i < a.files.size(); ++i)
        if (a.files[i].number != b.files[i].number || a.files[i].path != b.files[i].path ||
            a.files[i].time != b.files[i].time)
            return false;
    for (const auto& [word, refs] : a.words) {
        const CRefList* other = b.words.Find(word);
        if (!other || other->Unpacked() != refs.Unpacked())
            return false;
    }
    return true;
}

// Replaces the checksum so that only the structure decides.
std::string Resealed(std::string bytes) {
    std::uint32_t sum = WordIndexChecksum(std::string_view(bytes).substr(0, bytes.size() - 9));
    for (int i = 0; i < 4; ++i)
        bytes[bytes.size() - 4 + i] = static_cast<char>((sum >> (8 * i)) & 0xFF);
    return bytes;
}

TEST(WordIndexTest, FileReadsBackAndItsLayoutIsFixed) {
    CWordIndex index = SmallIndex();
    std::string bytes = index.Serialize();
    EXPECT_TRUE(bytes.starts_with("Word List Data File v1.1\nchars 0123456789abcdef\n"
                                  "\\v \\p\n\\id\n\\c\n\\v\n\x02\x00"
                                  "1,a,b.txt,2024/01/02,03:04:05\n"
                                  "7,/c/d.txt,2023/12/31,23:59:59\n\x02\x00Kelo ne ponyu\nÁmi\n\n"
                                  "\x04\x00\x00\x00kelo\n\x02\x00\x00\x00\x0D\x00\x00\x00"
                                  // file 1 offset 10, chapter 1, verse 2; then file 7,
                                  // offset 70000, book 1, chapter 255, verse 3
                                  "\x0D\x01\x0A\x01\x02\x0F\x07\xF0\xA2\x04\x01\xFF\x03"s));
    CWordIndex back;
    ASSERT_TRUE(CWordIndex::Parse(bytes, back));
    EXPECT_TRUE(SameContent(index, back));
    EXPECT_EQ(back.Serialize(), bytes);

    // An empty index too.
    CWordIndex empty;
    ASSERT_TRUE(CWordIndex::Parse(empty.Serialize(), back));
    EXPECT_TRUE(back.words.empty() && back.files.empty());
}

TEST(WordIndexTest, DamagedTruncatedOrInconsistentFilesAreRefused) {
    std::string bytes = SmallIndex().Serialize();
    CWordIndex back;
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(CWordIndex::Parse(bytes.substr(0, n), back)) << "cut at " << n;
    EXPECT_FALSE(CWordIndex::Parse(bytes + "x", back));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::string damaged = bytes;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x20);
        EXPECT_FALSE(CWordIndex::Parse(damaged, back)) << "byte " << i;
    }

    // With a right checksum, the structure is still checked: a reference to a file the
    // index does not list, a book past the table, a word twice, a file line without time.
    auto refused = [&](CWordIndex index) {
        return !CWordIndex::Parse(Resealed(index.Serialize()), back);
    };
    CWordIndex bad = SmallIndex();
    auto changed = [&](auto change) {
        std::vector<CWordRef> refs = bad.words["kelo"].Unpacked();
        change(refs[0]);
        bad.words["kelo"].Assign(refs);
    };
    changed([](CWordRef& r) { r.file = 3; });
    EXPECT_TRUE(refused(bad));
    bad = SmallIndex();
    changed([](CWordRef& r) { r.book = 2; });
    EXPECT_TRUE(refused(bad));
    bad = SmallIndex();
    bad.files[1].number = 1;
    EXPECT_TRUE(refused(bad));
    bad = SmallIndex();
    bad.files[0].time = "yesterday";
    EXPECT_TRUE(refused(bad));
    bad = SmallIndex();
    bad.words["kelo"] = CRefList();
    EXPECT_TRUE(refused(bad));
    std::string twice = SmallIndex().Serialize();
    std::size_t at = twice.find("\x06\x00\x00\x00ngári"s);
    ASSERT_NE(at, std::string::npos);
    twice.replace(at, 10, "\x04\x00\x00\x00kelo"s);
    EXPECT_FALSE(CWordIndex::Parse(Resealed(twice), back));
}

TEST(WordIndexTest, ChecksumTakenInPiecesIsTheChecksumOfTheWhole) {
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += static_cast<char>(i * 37 % 251);
    for (std::size_t piece : {1, 7, 31, 32, 33, 100}) {
        CChecksum sum;
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            sum.Add(std::string_view(bytes).substr(at, piece));
        EXPECT_EQ(sum.Finish(), WordIndexChecksum(bytes)) << piece;
    }
    EXPECT_NE(WordIndexChecksum(bytes), WordIndexChecksum(bytes + '\0'));
}

TEST(WordIndexTest, RemovingFilesDropsTheirReferencesWordsAndUnusedNames) {
    CWordIndex index = SmallIndex();
    std::vector<bool> removed(0x10000, false);
    removed[1] = true;
    index.RemoveFiles(removed);
    ASSERT_EQ(index.files.size(), 1u);
    EXPECT_EQ(index.files[0].number, 7);
    ASSERT_EQ(index.words["kelo"].size(), 1u);
    EXPECT_EQ(index.words["kelo"].Unpacked()[0].offset, 70000u);
    index.CompactNames();
    EXPECT_EQ(index.bookNames, std::vector<std::string>{"Ámi"});
    EXPECT_EQ(index.words["kelo"].Unpacked()[0].book, 0);
    EXPECT_EQ(index.words["ngári"].Unpacked()[0].book, CWordIndex::kUnknownBook);
    EXPECT_EQ(index.BookName(CWordIndex::kUnknownBook), "???");

    removed[7] = true;
    index.RemoveFiles(removed);
    EXPECT_TRUE(index.words.empty());
    index.CompactNames();
    EXPECT_TRUE(index.bookNames.empty());

    bool full = false;
    for (int i = 0; i < 255; ++i)
        EXPECT_EQ(index.BookNumber("B" + std::to_string(i), full), i);
    EXPECT_FALSE(full);
    EXPECT_EQ(index.BookNumber("B3", full), 3);
    EXPECT_EQ(index.BookNumber("one more", full), CWordIndex::kUnknownBook);
    EXPECT_TRUE(full);
}

} // namespace
} // namespace crv

namespace crv {
namespace {

TEST(RefListTest, PackedReferencesComeBackAsAddedAndBadBytesAreRefused) {
    std::vector<CWordRef> refs = {{0xFFFFFFFFu, 0xFFFF, 255, 255, 255},
                                  {0, 1, 0, 0, 0},
                                  {5, 1, 0, 0, 1},
                                  {3, 1, 0, 0, 1}, // an offset before the last
                                  {200000, 1, 7, 9, 9},
                                  {200000, 2, 7, 9, 9}};
    CRefList list;
    for (const CWordRef& r : refs)
        list.Add(r);
    EXPECT_EQ(list.size(), refs.size());
    EXPECT_EQ(list.Unpacked(), refs);
    CRefList copy = list;
    copy.Add({1, 1, 1, 1, 1});
    EXPECT_EQ(list.Unpacked(), refs) << "a copy is its own";
    EXPECT_EQ(copy.size(), refs.size() + 1);

    auto any = [](const CWordRef&) { return true; };
    CRefList taken;
    EXPECT_TRUE(taken.Take(list.Bytes(), 6, any));
    EXPECT_EQ(taken.Unpacked(), refs);
    taken.Add({9, 9, 9, 9, 9}); // appending goes on from the last one taken
    EXPECT_EQ(taken.Unpacked().back(), (CWordRef{9, 9, 9, 9, 9}));

    std::string bytes(list.Bytes());
    EXPECT_FALSE(taken.Take(bytes, 5, any));
    EXPECT_FALSE(taken.Take(bytes, 7, any));
    EXPECT_FALSE(taken.Take(bytes.substr(0, bytes.size() - 1), 6, any));
    EXPECT_FALSE(taken.Take(std::string("\x10\x01", 2), 1, any)) << "unknown flag";
    EXPECT_FALSE(taken.Take(std::string("\x01\xFF\xFF\x07\x00", 5), 1, any)) << "file past 16 bits";
    EXPECT_FALSE(taken.Take(std::string("\x01\x01\xFF\xFF\xFF\xFF\x7F", 7), 1, any))
        << "offset past 32 bits";
    EXPECT_FALSE(taken.Take(bytes, 6, [](const CWordRef& r) { return r.file != 2; }));
    EXPECT_EQ(taken.Unpacked().back(), (CWordRef{9, 9, 9, 9, 9})) << "a refusal changes nothing";

    // Taking out the references of some files keeps the rest in order, at either end
    // and between runs.
    std::vector<CWordRef> many;
    for (std::uint16_t file : {1, 1, 2, 2, 3, 1, 2, 2, 3, 3})
        many.push_back({static_cast<std::uint32_t>(many.size() * 7 % 13), file,
                        static_cast<std::uint8_t>(file), 1,
                        static_cast<std::uint8_t>(many.size())});
    for (std::uint16_t gone : {1, 2, 3}) {
        CRefList packed;
        packed.Assign(many);
        std::vector<CWordRef> expected;
        for (const CWordRef& r : many)
            if (r.file != gone)
                expected.push_back(r);
        EXPECT_TRUE(packed.RemoveIf([&](const CWordRef& r) { return r.file == gone; }));
        EXPECT_EQ(packed.Unpacked(), expected) << "file " << gone;
        EXPECT_EQ(packed.size(), expected.size());
        packed.Add({1, 9, 9, 9, 9});
        EXPECT_EQ(packed.Unpacked().back(), (CWordRef{1, 9, 9, 9, 9}));
        EXPECT_FALSE(packed.RemoveIf([&](const CWordRef& r) { return r.file == gone; }));
    }

    // A file read again goes in its place: before the first reference of a later file.
    std::vector<CWordRef> one = {{4, 5, 1, 2, 3}, {8, 5, 1, 2, 4}};
    for (std::uint16_t place : {0, 2, 4, 9}) {
        std::vector<CWordRef> in;
        for (std::uint16_t file : {1, 3, 3, 7})
            in.push_back({static_cast<std::uint32_t>(in.size()), file, 0, 1,
                          static_cast<std::uint8_t>(file)});
        CRefList packed;
        packed.Assign(in);
        CRefList run;
        run.Assign(one);
        packed.InsertBefore(run, [&](const CWordRef& r) { return r.file > place; });
        auto at =
            std::find_if(in.begin(), in.end(), [&](const CWordRef& r) { return r.file > place; });
        in.insert(at, one.begin(), one.end());
        EXPECT_EQ(packed.Unpacked(), in) << "before files past " << place;
        EXPECT_EQ(packed.size(), in.size());
    }
    CRefList empty;
    CRefList run;
    run.Assign(one);
    empty.InsertBefore(run, [](const CWordRef&) { return true; });
    EXPECT_EQ(empty.Unpacked(), one);
}

} // namespace
} // namespace crv
