#include "corpus/word_chars.h"

#include "corpus_test_support.h"

namespace crv::test {
namespace {

class WordCharsTest : public CorpusTest {
protected:
    std::string Cut(const CWordChars& chars, std::string_view text) {
        std::string out;
        chars.ForEachWord(text, [&](const CWordSpan& span, std::string_view word) {
            out += "[" + std::string(word) + "@" + std::to_string(span.begin) + "-" +
                   std::to_string(span.end) + "]";
            return true;
        });
        return out;
    }
};

TEST_F(WordCharsTest, WordsAreDefinedUnitsLowerCasedWithoutPunctuationOrEdgeHyphens) {
    ASSERT_TRUE(tsaloni);
    CWordChars chars(*tsaloni);
    // Punctuation the order leaves undefined ends words; title-case "Ng" and "NG" become
    // "ng"; a hyphen inside a word stays, at its edges it goes; a mark stays anywhere.
    EXPECT_EQ(Cut(chars, "Kelo, NGÁRI-ne! Ngári -ne- ponyuː"),
              "[kelo@0-4][ngári-ne@6-15][ngári@17-23][ne@25-27][ponyuː@29-36]");
    // Runs without a letter are no words; digits the order defines are.
    EXPECT_EQ(Cut(chars, "' - ː 12"), "[12@7-9]");
    // Characters the encoding lacks: UTF-8 letters belong to words, quotes and dashes
    // do not, nor ASCII the order leaves out (x); other bytes are read as Windows-1252.
    EXPECT_EQ(Cut(chars, "\xE2\x80\x9C"
                         "façade\xE2\x80\x9D \xE2\x80\x94 y x"),
              "[façade@3-10][y@18-19]");
    EXPECT_EQ(Cut(chars, "\x93"
                         "fa\xE7"
                         "ade\x94"),
              "[fa\xE7"
              "ade@1-7]");
    // A word that ends the text, and tabs and line ends between words.
    EXPECT_EQ(Cut(chars, "a\tb\r\nc"), "[a@0-1][b@2-3][c@5-6]");
    EXPECT_EQ(chars.Words("Ts TS ts"), (std::vector<std::string>{"ts", "ts", "ts"}));

    CWordSpan span;
    std::string mapped;
    EXPECT_TRUE(chars.WordAtStart("Ngári, kelo", span, mapped));
    EXPECT_EQ(mapped, "ngári");
    EXPECT_EQ(span.end, 6u);
    EXPECT_FALSE(chars.WordAtStart(", kelo", span, mapped));
}

TEST_F(WordCharsTest, DefaultEncodingAndAlternativeLowerForms) {
    CWordChars chars(*langEncs->Default());
    EXPECT_EQ(chars.Words("The dog's co-op. \"Yes\""),
              (std::vector<std::string>{"the", "dog's", "co-op", "yes"}));

    // A second lower form (a final sigma) is a letter of its own, not the first form.
    WriteFileBytes(dir.File("Greek.lng"),
                   Crlf("\\+LanguageEncoding Greek\n\\case Σ σ ς\n\\+srtset\n\\+srt Greek\n"
                        "\\primary σ ς Σ\n\\-srt\n\\-srtset\n\\-LanguageEncoding\n"));
    CLangEncSet set(dir.Path().string());
    set.LoadAll();
    CWordChars greek(*set.Find("Greek"));
    EXPECT_EQ(greek.Words("Σσς"), std::vector<std::string>{"σσς"});
    // Other units, other words: the index knows by the fingerprint.
    EXPECT_NE(greek.Fingerprint(), chars.Fingerprint());
    EXPECT_EQ(CWordChars(*langEncs->Default()).Fingerprint(), chars.Fingerprint());
}

} // namespace
} // namespace crv::test
