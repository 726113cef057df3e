// Generates a corpus of FILES standard format texts of about BYTES in all, one book per
// file (\id, \c, \v), words in ASCII letters drawn from a vocabulary with the skewed
// frequencies of real text ("the" the most frequent), and a project file naming it.
//   corpus_gen FOLDER [FILES] [BYTES]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Vocabulary(std::mt19937& rng, std::size_t n) {
    static const char* const kOnsets[] = {"b", "d", "f", "g", "h", "k",  "l",  "m",  "n",  "p",
                                          "r", "s", "t", "w", "y", "ch", "sh", "th", "st", "tr"};
    static const char* const kVowels[] = {"a", "e", "i", "o", "u", "ai", "ou"};
    std::vector<std::string> words = {"the", "and", "of", "to", "in", "he", "that", "his"};
    std::uniform_int_distribution<int> syllables(1, 3), onset(0, 19), vowel(0, 6), coda(0, 5);
    while (words.size() < n) {
        std::string w;
        for (int s = syllables(rng); s > 0; --s) {
            w += kOnsets[onset(rng)];
            w += kVowels[vowel(rng)];
        }
        if (coda(rng) == 0)
            w += "n";
        words.push_back(w);
    }
    return words;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: corpus_gen FOLDER [FILES] [BYTES]\n");
        return 2;
    }
    std::string folder = argv[1];
    int files = argc > 2 ? std::atoi(argv[2]) : 100;
    long total = argc > 3 ? std::atol(argv[3]) : 20L * 1024 * 1024;
    std::filesystem::create_directories(folder);
    std::mt19937 rng(20240501);
    std::vector<std::string> vocab = Vocabulary(rng, 40000);
    // Word ranks with frequencies falling as 1/rank.
    std::vector<double> cdf(vocab.size());
    double sum = 0;
    for (std::size_t i = 0; i < vocab.size(); ++i)
        cdf[i] = sum += 1.0 / static_cast<double>(i + 1);
    std::uniform_real_distribution<double> pick(0, sum);
    std::uniform_int_distribution<int> sentenceLength(6, 18), sentences(1, 3), verses(15, 40),
        punct(0, 7);

    long words = 0;
    std::string list;
    for (int f = 1; f <= files; ++f) {
        char name[32];
        std::snprintf(name, sizeof name, "book%03d.sfm", f);
        std::string text = "\\id BOOK" + std::to_string(f) + "\r\n";
        long target = total / files;
        for (int c = 1; static_cast<long>(text.size()) < target; ++c) {
            text += "\\c " + std::to_string(c) + "\r\n";
            for (int v = 1, nv = verses(rng); v <= nv && static_cast<long>(text.size()) < target;
                 ++v) {
                text += "\\v " + std::to_string(v);
                for (int s = sentences(rng); s > 0; --s) {
                    for (int w = 0, n = sentenceLength(rng); w < n; ++w) {
                        std::size_t r = static_cast<std::size_t>(
                            std::lower_bound(cdf.begin(), cdf.end(), pick(rng)) - cdf.begin());
                        std::string word = vocab[std::min(r, vocab.size() - 1)];
                        if (w == 0)
                            word[0] = static_cast<char>(word[0] - 'a' + 'A');
                        text += " " + word;
                        if (w + 1 < n && punct(rng) == 0)
                            text += ",";
                        ++words;
                    }
                    text += ".";
                }
                text += "\r\n";
            }
        }
        std::FILE* out = std::fopen((folder + "/" + name).c_str(), "wb");
        if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size()) {
            std::fprintf(stderr, "corpus_gen: cannot write %s\n", name);
            return 1;
        }
        std::fclose(out);
        list += std::string("\\File ") + name + "\r\n";
    }
    std::string project =
        "\\+CrvProjectSettings\r\n\\ver 4.0\r\n\\+CorpusSet\r\n\\+Corpus Bench\r\n"
        "\\lng Default\r\n\\+FilesList\r\n" +
        list +
        "\\-FilesList\r\n\\WordMarkers \\v\r\n\\-Corpus\r\n\\-CorpusSet\r\n"
        "\\+dblst\r\n\r\n\\-dblst\r\n\\-CrvProjectSettings\r\n";
    std::FILE* prj = std::fopen((folder + "/bench.prj").c_str(), "wb");
    if (!prj || std::fwrite(project.data(), 1, project.size(), prj) != project.size())
        return 1;
    std::fclose(prj);
    std::printf("%d files, %ld words\n", files, words);
    return 0;
}
