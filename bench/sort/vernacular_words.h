// Deterministic words in the sample vernacular's orthography (UTF-8): syllables of an
// optional onset (with the digraphs ng and ts) and a vowel, plain or acute, sometimes
// long or closed by n; now and then capitalised or joined by a hyphen.
#pragma once

#include <cstdint>
#include <string>

namespace crv::bench {

class VernacularWords {
public:
    explicit VernacularWords(std::uint64_t seed = 1) : m_state(seed * 2654435761u + 1) {}

    std::string Next() {
        static const char* const onsets[] = {"", "b", "d", "g", "h", "k", "l", "m", "n", "ng", "p",
                                             "r", "s", "t", "ts", "v", "w", "y"};
        static const char* const vowels[] = {"a", "e", "i", "o", "u", "a", "e", "i", "o", "u",
                                             "\xC3\xA1", "\xC3\xA9", "\xC3\xAD", "\xC3\xB3", "\xC3\xBA"};
        std::string w;
        int syllables = 1 + static_cast<int>(Draw(4)) + (Draw(3) == 0 ? 1 : 0);
        for (int s = 0; s < syllables; ++s) {
            if (s > 0 && Draw(40) == 0)
                w += '-';
            w += onsets[Draw(sizeof onsets / sizeof *onsets)];
            w += vowels[Draw(sizeof vowels / sizeof *vowels)];
            if (Draw(12) == 0)
                w += "\xCB\x90"; // length mark
            else if (Draw(8) == 0)
                w += 'n';
        }
        if (Draw(20) == 0 && w[0] >= 'a' && w[0] <= 'z')
            w[0] = static_cast<char>(w[0] - 'a' + 'A');
        return w;
    }

private:
    std::uint64_t Draw(std::uint64_t n) {
        m_state = m_state * 6364136223846793005u + 1442695040888963407u;
        return (m_state >> 33) % n;
    }
    std::uint64_t m_state;
};

} // namespace crv::bench
