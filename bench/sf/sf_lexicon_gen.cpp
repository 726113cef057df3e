// Writes a synthetic lexicon: sf_lexicon_gen RECORDS OUTPUT [SEED]
#include <cstdio>
#include <cstdlib>

#include "lexicon_gen.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: sf_lexicon_gen RECORDS OUTPUT [SEED]\n");
        return 2;
    }
    long records = std::strtol(argv[1], nullptr, 10);
    long seed = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 1;
    if (records < 0 || records > 100000000) {
        std::fprintf(stderr, "sf_lexicon_gen: RECORDS must be 0..100000000\n");
        return 2;
    }
    std::string text = crv::bench::GenerateLexicon(static_cast<std::uint32_t>(records),
                                                   static_cast<std::uint32_t>(seed));
    std::FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
