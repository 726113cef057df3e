// Writes a deterministic text of about N megabytes (default 20) to standard output: lines of
// words built from syllables of an invented orthography, rich in the digraphs that the
// benchmark's substitution tables rewrite.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    long megabytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20;
    const char* onsets[] = {"",   "b",  "ch", "d",  "dh", "g", "gh", "h",  "j",  "k",  "kh",
                            "l",  "m",  "n",  "ng", "ny", "p", "ph", "r",  "s",  "sh", "t",
                            "th", "ts", "v",  "w",  "y",  "z", "zh", "kw", "gw", "mb", "nd"};
    const char* nuclei[] = {"a",  "e",  "i",  "o",  "u",  "aa", "ee", "ii",
                            "oo", "uu", "ai", "au", "ei", "ou", "ua", "ia"};
    const char* codas[] = {"", "", "", "n", "ng", "m", "k", "q", "r", "l", "s", "x"};
    unsigned long state = 20240917;
    auto next = [&state](unsigned n) {
        state = state * 6364136223846793005ul + 1442695040888963407ul;
        return static_cast<unsigned>((state >> 33) % n);
    };
    std::string line;
    const long target = megabytes * 1000000;
    long written = 0;
    while (written < target) {
        line.clear();
        unsigned words = 6 + next(10);
        for (unsigned w = 0; w < words; ++w) {
            unsigned syllables = 1 + next(3);
            for (unsigned s = 0; s < syllables; ++s) {
                line += onsets[next(sizeof onsets / sizeof *onsets)];
                line += nuclei[next(sizeof nuclei / sizeof *nuclei)];
                line += codas[next(sizeof codas / sizeof *codas)];
            }
            line += w + 1 < words ? (next(12) == 0 ? ", " : " ") : ".\n";
        }
        std::fwrite(line.data(), 1, line.size(), stdout);
        written += static_cast<long>(line.size());
    }
    return 0;
}
