// The word list and concordance of a generated corpus, timed inside one process: the full
// build (no word index), the build after one file changed, and concordances of the most
// frequent word with the index up to date. Word lists list at most 10 references a word.
//   corpus_bench FOLDER [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/recording_platform.h"
#include "bench/support/bench_support.h"
#include "corpus/corpus_run.h"
#include "schema/database_type_set.h"

namespace fs = std::filesystem;
using crv::bench::Best;
using crv::bench::Clock;
using crv::bench::CpuMs;
using crv::bench::Ms;

namespace {

// Appends a verse to path and dates it some minutes back, a different time each call.
void ChangeFile(const std::string& path, int round) {
    std::ofstream(path, std::ios::app) << "\\v 999 A changed verse number " << round << ".\r\n";
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::minutes(10 + round));
}

template <class Fn> Best Time(int runs, Fn fn) {
    Best best;
    for (int i = 0; i < runs; ++i) {
        double c0 = CpuMs();
        auto t0 = Clock::now();
        if (!fn(i))
            std::exit(1);
        best.Take(Ms(t0, Clock::now()), CpuMs() - c0);
    }
    return best;
}

void Print(const char* what, const Best& b) {
    std::printf("%-46s %8.1f ms wall %8.1f ms cpu (best)\n", what, b.wall, b.cpu);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: corpus_bench FOLDER [RUNS]\n");
        return 2;
    }
    std::string folder = fs::absolute(argv[1]).string();
    int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope(rec);
    crv::CLangEncSet langEncs;
    crv::CDatabaseTypeSet types(langEncs);
    crv::CCorpusProperties props;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".sfm")
            props.files.push_back(e.path().filename().string());
    std::sort(props.files.begin(), props.files.end());
    props.wordMarkers = "\\v";
    props.wordIndex = folder + "/bench-inprocess.wi";
    crv::CCorpus corpus("Bench", props);
    crv::CCorpusEnvironment env{langEncs, types, folder};
    std::string out = folder + "/bench-out.db";
    crv::CCorpusResult result;

    // The parts of a full build: reading the files, the index file's bytes, the word list.
    {
        crv::CWordChars chars(*langEncs.Default());
        crv::CCorpusScan scan(corpus, folder, chars);
        crv::CWordIndex index;
        crv::CRefLimitNotices notices;
        double c0 = CpuMs();
        for (std::size_t i = 0; i < scan.files.size(); ++i)
            crv::ScanCorpusFile(scan, i, static_cast<std::uint16_t>(i + 1), index, notices);
        double c1 = CpuMs();
        std::string bytes = index.Serialize();
        double c2 = CpuMs();
        std::ofstream sink("/dev/null");
        crv::WriteWordList(sink, index, {true, true, 10}, "Word List- Default");
        double c3 = CpuMs();
        std::printf("full build parts (cpu): reading %.0f ms, index file bytes %.0f ms (%.1f MB), "
                    "word list %.0f ms; %zu references\n",
                    c1 - c0, c2 - c1, static_cast<double>(bytes.size()) / 1048576, c3 - c2,
                    index.ReferenceCount());
    }

    Best full = Time(runs, [&](int) {
        fs::remove(props.wordIndex);
        return crv::MakeWordList(env, corpus, {true, true, 10}, out, result) &&
               result.update.filesRead == props.files.size();
    });
    std::printf("%zu files, %zu words listed\n", props.files.size(), result.records);
    Print("word list, no word index (full build):", full);
    std::string changed = folder + "/" + props.files[props.files.size() / 2];
    Best one = Time(runs, [&](int round) {
        ChangeFile(changed, round);
        return crv::MakeWordList(env, corpus, {true, true, 10}, out, result) &&
               result.update.filesRead == 1;
    });
    Print("word list, one file changed:", one);
    Best none = Time(runs, [&](int) {
        return crv::MakeWordList(env, corpus, {true, true, 10}, out, result);
    });
    Print("word list, nothing changed:", none);
    Best conc = Time(runs, [&](int) {
        return crv::MakeConcordance(env, corpus, {"the", crv::MatchKind::Whole, false, 1000}, out,
                                    result);
    });
    std::printf("concordance of \"the\": %zu matches written\n", result.records);
    Print("concordance, index up to date, 1000 matches:", conc);
    Best all = Time(runs, [&](int) {
        return crv::MakeConcordance(env, corpus, {"the", crv::MatchKind::Whole, false, 0}, out,
                                    result);
    });
    std::printf("concordance of \"the\", no limit: %zu matches written\n", result.records);
    Print("concordance, index up to date, all matches:", all);
    fs::remove(props.wordIndex);
    fs::remove(out);
    return 0;
}
