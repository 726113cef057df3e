#include "lexicon_gen.h"

namespace crv::bench {

namespace {

// A small linear congruential generator: the same sequence on every platform.
class Random {
public:
    explicit Random(std::uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    std::uint32_t Next(std::uint32_t below) {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) % below;
    }

private:
    std::uint32_t m_state;
};

const char* const kSyllables[] = {"nga", "tsu", "ma",  "ri",  "ke", "lo", "pó", "nyu",
                                  "sá",  "we",  "té",  "ngo", "u",  "lu", "i",  "rá",
                                  "tsa", "ló",  "ni",  "yé",  "na", "ku", "wé", "ti",
                                  "á",   "mi",  "ápo", "nya", "ra", "ó",  "si", "pe"};
const char* const kPos[] = {"n", "v", "adj", "adv", "pro", "sfx", "pfx", "dem"};
const char* const kGloss[] = {"house", "walk",   "water", "bird",  "see",   "tree",   "moon",
                              "river", "person", "eat",   "big",   "stone", "mother", "father",
                              "sing",  "fire",   "give",  "night", "sun",   "child",  "come"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void Word(Random& r, std::string& out) {
    int n = 1 + static_cast<int>(r.Next(3));
    for (int i = 0; i < n; ++i)
        out += kSyllables[r.Next(32)];
}

void Sentence(Random& r, std::string& out, bool vernacular) {
    int words = 3 + static_cast<int>(r.Next(8));
    for (int i = 0; i < words; ++i) {
        if (i)
            out += ' ';
        if (vernacular)
            Word(r, out);
        else
            out += kGloss[r.Next(21)];
    }
    out += '.';
}

} // namespace

std::string GenerateLexicon(std::uint32_t records, std::uint32_t seed) {
    Random r(seed);
    std::string out;
    out.reserve(static_cast<std::size_t>(records) * 260);
    out += "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n";
    for (std::uint32_t i = 0; i < records; ++i) {
        out += "\r\n\\lx ";
        Word(r, out);
        out += "\r\n";
        if (r.Next(5) == 0) {
            out += "\\hm " + std::to_string(1 + r.Next(3)) + "\r\n";
        }
        out += "\\ps ";
        out += kPos[r.Next(8)];
        out += "\r\n";
        int senses = 1 + static_cast<int>(r.Next(3));
        for (int s = 0; s < senses; ++s) {
            if (senses > 1)
                out += "\\sn " + std::to_string(s + 1) + "\r\n";
            out += "\\ge ";
            out += kGloss[r.Next(21)];
            if (r.Next(4) == 0) {
                out += ", ";
                out += kGloss[r.Next(21)];
            }
            out += "\r\n\\xv ";
            Sentence(r, out, true);
            if (r.Next(3) == 0) { // a second line
                out += "\r\n";
                Sentence(r, out, true);
            }
            out += "\r\n\\xe ";
            Sentence(r, out, false);
            out += "\r\n";
        }
        char date[32];
        std::snprintf(date, sizeof date, "\\dt %02u/%s/%u\r\n", 1 + r.Next(28), kMonths[r.Next(12)],
                      1995 + r.Next(30));
        out += date;
    }
    return out;
}

} // namespace crv::bench
