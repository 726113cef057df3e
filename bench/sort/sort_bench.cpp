// Measures sort keys per second and key comparisons per second at mask 15 with the
// vernacular's sort order, beside ICU's root collator on the same words in the same run.
// The words are the lx values of the synthetic lexicon of bench/sf.
//   sort_bench SETTINGS_FOLDER [WORDS]   measure (default 1,000,000 words)
//   sort_bench --words N                 print the lx values of an N-record lexicon
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/recording_platform.h"
#include "lexicon_gen.h"
#include "schema/lang_enc_set.h"

#ifdef CORVANE_BENCH_ICU
#include <unicode/ucol.h>
#include <unicode/ustring.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// The lx values of a generated lexicon of that many records.
std::vector<std::string> HeadWords(std::size_t records) {
    std::string db = crv::bench::GenerateLexicon(static_cast<std::uint32_t>(records));
    std::vector<std::string> words;
    words.reserve(records);
    for (std::size_t pos = db.find("\n\\lx "); pos != std::string::npos;
         pos = db.find("\n\\lx ", pos + 1)) {
        std::size_t start = pos + 5;
        std::size_t end = db.find_first_of("\r\n", start);
        words.push_back(db.substr(start, end - start));
    }
    return words;
}

// Best of three runs, in seconds.
template <class Fn> double Best(Fn fn) {
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        auto start = Clock::now();
        fn();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void Report(const char* what, std::size_t count, double seconds) {
    std::printf("%-52s %12.0f /s  (%zu in %.3f s)\n", what, static_cast<double>(count) / seconds,
                count, seconds);
}

// Keys packed one after another, each zero-terminated, as an index keeps them in its
// entries: both contestants' comparisons read the same layout.
struct PackedKeys {
    std::string bytes;
    std::vector<std::uint32_t> start;
    explicit PackedKeys(const std::vector<std::string>& keys) {
        for (const auto& k : keys) {
            start.push_back(static_cast<std::uint32_t>(bytes.size()));
            bytes += k;
            bytes += '\0';
        }
        start.push_back(static_cast<std::uint32_t>(bytes.size()));
    }
    std::string_view operator[](std::size_t i) const {
        return std::string_view(bytes.data() + start[i], start[i + 1] - start[i] - 1);
    }
    const char* CStr(std::size_t i) const { return bytes.data() + start[i]; }
};

// Pairs of word indices, the same for every contestant.
std::vector<std::pair<std::uint32_t, std::uint32_t>> Pairs(std::size_t words, std::size_t n) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs(n);
    std::uint64_t s = 12345;
    for (auto& p : pairs) {
        s = s * 6364136223846793005u + 1442695040888963407u;
        p.first = static_cast<std::uint32_t>((s >> 33) % words);
        s = s * 6364136223846793005u + 1442695040888963407u;
        p.second = static_cast<std::uint32_t>((s >> 33) % words);
    }
    return pairs;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--words") == 0) {
        for (const auto& w : HeadWords(static_cast<std::size_t>(std::atol(argv[2]))))
            std::printf("%s\n", w.c_str());
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: sort_bench SETTINGS_FOLDER [WORDS] | --words N\n");
        return 2;
    }
    std::size_t count = argc > 2 ? static_cast<std::size_t>(std::atol(argv[2])) : 1000000;
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope(rec);
    crv::CLangEncSet set(argv[1]);
    set.LoadAll();
    crv::CLangEnc* enc = set.Find("Vernacular");
    if (!enc) {
        std::fprintf(stderr, "no Vernacular encoding in %s\n", argv[1]);
        return 1;
    }
    const crv::CSortOrder* so = enc->DefaultSortOrder();

    std::vector<std::string> words = HeadWords(count);
    count = words.size();
    std::size_t bytes = 0;
    for (const auto& w : words)
        bytes += w.size();
    std::printf("%zu words, %.1f bytes on average; keys packed as an index holds them\n\n", count,
                static_cast<double>(bytes) / static_cast<double>(count));

    std::vector<std::string> keys(count);
    double t = Best([&] {
        for (std::size_t i = 0; i < count; ++i)
            so->MakeKey(words[i], keys[i], 100, false);
    });
    Report("Corvane MakeKey (Vernacular order)", count, t);

    const std::size_t nPairs = 10000000;
    auto pairs = Pairs(count, nPairs);
    long sink = 0;
    PackedKeys packed(keys);
    t = Best([&] {
        for (const auto& [a, b] : pairs)
            sink += so->CompareKeys(packed[a], packed[b], crv::kMatchAll, true) < 0;
    });
    Report("Corvane CompareKeys, mask 15, whole field", nPairs, t);

#ifdef CORVANE_BENCH_ICU
    UErrorCode status = U_ZERO_ERROR;
    UCollator* coll = ucol_open("", &status);
    if (U_FAILURE(status)) {
        std::fprintf(stderr, "ICU: %s\n", u_errorName(status));
        return 1;
    }
    std::vector<std::u16string> utf16(count);
    auto toUtf16 = [&](const std::string& w, std::u16string& out) {
        out.resize(w.size() + 1);
        int32_t n = 0;
        UErrorCode st = U_ZERO_ERROR;
        u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &n,
                      w.data(), static_cast<int32_t>(w.size()), &st);
        out.resize(static_cast<std::size_t>(n));
    };
    for (std::size_t i = 0; i < count; ++i)
        toUtf16(words[i], utf16[i]);
    std::vector<std::string> icuKeys(count);
    std::vector<uint8_t> buf(1024);
    auto icuKey = [&](const std::u16string& w, std::string& key) {
        int32_t n = ucol_getSortKey(coll, reinterpret_cast<const UChar*>(w.data()),
                                    static_cast<int32_t>(w.size()), buf.data(),
                                    static_cast<int32_t>(buf.size()));
        key.assign(reinterpret_cast<const char*>(buf.data()),
                   static_cast<std::size_t>(n > 0 ? n - 1 : 0));
    };
    t = Best([&] {
        for (std::size_t i = 0; i < count; ++i)
            icuKey(utf16[i], icuKeys[i]);
    });
    Report("ICU ucol_getSortKey (root, UTF-16 given)", count, t);
    std::u16string scratch;
    t = Best([&] {
        for (std::size_t i = 0; i < count; ++i) {
            toUtf16(words[i], scratch);
            icuKey(scratch, icuKeys[i]);
        }
    });
    Report("ICU ucol_getSortKey (root, from UTF-8)", count, t);
    PackedKeys icuPacked(icuKeys);
    t = Best([&] {
        for (const auto& [a, b] : pairs)
            sink += std::strcmp(icuPacked.CStr(a), icuPacked.CStr(b)) < 0;
    });
    Report("ICU sort keys compared (strcmp)", nPairs, t);
    t = Best([&] {
        for (const auto& [a, b] : pairs)
            sink += ucol_strcoll(coll, reinterpret_cast<const UChar*>(utf16[a].data()),
                                 static_cast<int32_t>(utf16[a].size()),
                                 reinterpret_cast<const UChar*>(utf16[b].data()),
                                 static_cast<int32_t>(utf16[b].size())) == UCOL_LESS;
    });
    Report("ICU ucol_strcoll (root, UTF-16)", nPairs, t);
    ucol_close(coll);
#else
    std::printf("(ICU not found: no comparison figures)\n");
#endif
    std::printf("\n(checksum %ld)\n", sink);
    return 0;
}
