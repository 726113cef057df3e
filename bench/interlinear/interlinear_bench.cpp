// Interlinear figures: building the five tries of a Parse process over a generated
// lexicon with affixes, interlinearizing a generated text with a Lookup process and with
// a Parse process, and a jump to a word of a large lexicon once its index exists. The
// lexicon and the text's words are also written as files, for the awk baseline of run.sh.
//   interlinear_bench OUT_FOLDER ENTRIES WORDS BIG_LEXICON RUNS
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/object_stream.h"
#include "base/recording_platform.h"
#include "bench/support/bench_support.h"
#include "engine/jump.h"
#include "interlinear/interlinear_type_settings.h"
#include "interlinear/interlinearizer.h"
#include "interlinear/lookup_proc.h"
#include "schema/database_type.h"

using namespace crv;
using namespace crv::bench;

namespace {

struct MapDatabases : COpenDatabases {
    std::map<std::string, CIndexSet*> sets;
    CIndexSet* FindOpen(const std::string& p) override {
        auto it = sets.find(p);
        return it == sets.end() ? nullptr : it->second;
    }
    std::vector<CIndexSet*> AllOpen() override { return {}; }
    std::string PathOf(const CIndexSet&) override { return {}; }
};

struct Host : CInterlinearHost {
    MapDatabases* dbs;
    COpenDatabases* Databases() override { return dbs; }
    std::optional<std::size_t> ChooseAmbiguity(const std::vector<std::string>&) override {
        return 0;
    }
};

// Quiet platform services: progress and messages of the runs are not printed.
struct Quiet : RecordingPlatform {
    void ShowMessage(std::string_view, MessageKind, bool) override {}
};

const char* kSyllables[] = {"pa", "pe", "pi", "po", "pu", "ta", "te", "ti", "to", "tu", "ka", "ke",
                            "ki", "ko", "ku", "ma", "me", "mi", "mo", "mu", "na", "ne", "ni", "no",
                            "nu", "sa", "se", "si", "so", "su", "la", "le", "li", "lo", "lu"};

std::string Root(unsigned i) {
    return std::string(kSyllables[i % 35]) + kSyllables[(i / 35) % 35] +
           kSyllables[(i / 1225) % 35];
}
std::string Affix(unsigned i) {
    return std::string(1, "bdgvz"[i % 5]) + "aeiou"[(i / 5) % 5] +
           std::string(1, "aeiou"[(i / 25) % 5]);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: interlinear_bench OUT ENTRIES WORDS BIG_LEXICON RUNS\n");
        return 2;
    }
    const std::string out = argv[1];
    const unsigned entries = static_cast<unsigned>(std::atoi(argv[2]));
    const unsigned words = static_cast<unsigned>(std::atoi(argv[3]));
    const char* big = argv[4];
    const int runs = std::atoi(argv[5]);
    Quiet quiet;
    ScopedPlatform scope(quiet);

    // The lexicon: roots, 100 prefixes, 100 suffixes, an infix, a reduplication pattern.
    const std::string lexPath = out + "/lexicon-affixes.db";
    {
        std::ofstream f(lexPath, std::ios::binary);
        f << "\\_sh v3.0  400  Lexicon\r\n\r\n";
        for (unsigned i = 0; i < 100; ++i)
            f << "\\lx " << Affix(i) << "-\r\n\\ge P" << i << "\r\n\r\n";
        for (unsigned i = 0; i < 100; ++i)
            f << "\\lx -" << Affix(i) << "\r\n\\ge S" << i << "\r\n\r\n";
        f << "\\lx -ur-\r\n\\ge INF\r\n\r\n\\lx [.]-\r\n\\ge DUP\r\n\r\n";
        for (unsigned i = 202; i < entries; ++i)
            f << "\\lx " << Root(i * 7) << "\r\n\\ge g" << i << "\r\n\r\n";
    }
    // The text: one text line of ten words per record; every tenth word is unknown.
    std::vector<std::string> plain, affixed;
    {
        std::ofstream w(out + "/words.txt", std::ios::binary);
        unsigned seed = 12345;
        for (unsigned i = 0; i < words; ++i) {
            seed = seed * 1103515245u + 12345u;
            unsigned r = 202 + (seed >> 8) % (entries - 202);
            std::string word = i % 10 == 9 ? "zzz" + std::to_string(i) : Root(r * 7);
            plain.push_back(word);
            affixed.push_back(i % 3 == 0 ? Affix(seed % 100) + word + Affix((seed >> 4) % 100)
                                         : word);
            w << word << "\n";
        }
    }

    CLangEncSet encodings;
    CInterlinearTypeSettings factory;
    CDatabaseType lexType(encodings, "Lexicon");
    CNote error;
    lexType.SetRecordMarkerName("lx", error);
    CIndexSet lexicon(lexType);
    lexicon.ReadFile(lexPath);
    MapDatabases dbs;
    dbs.sets[lexPath] = &lexicon;
    Host host;
    host.dbs = &dbs;

    auto tri = [&](const char* name, const char* outMarker) {
        return std::string("\\+") + name + "\n\\dbtyp Lexicon\n\\+drflst\n\\+drf\n\\File " +
               lexPath + "\n\\-drf\n\\-drflst\n\\+mrflst\n\\mkr lx\n\\-mrflst\n\\Out " + outMarker +
               "\n\\-" + name + "\n";
    };
    auto makeType = [&](const std::string& procs) {
        std::istringstream in("\\+DatabaseType Text\n\\+intprclst\n" + procs +
                              "\\-intprclst\n\\mkrRecord id\n\\-DatabaseType\n");
        ObjectStream is(in);
        is.ReadBeginMarker("DatabaseType");
        auto type = std::make_unique<CDatabaseType>(encodings, "Text", nullptr, &factory);
        CNoteList notes;
        type->Read(is, notes);
        type->FinishReading(notes);
        return type;
    };
    auto lookupType = makeType("\\+intprc Lookup\n\\From tx\n\\To ge\n" + tri("triLook", "ge") +
                               "\\bShowFailMark\n\\-intprc\n");
    auto parseType = makeType("\\+intprc Lookup\n\\bParseProc\n\\From tx\n\\To mb\n" +
                              tri("triLook", "lx") + tri("triPref", "lx") + tri("triRoot", "lx") +
                              "\\bShowFailMark\n\\bPreferSuffix\n\\-intprc\n");
    auto& lookupProcs = *InterlinearProcsOf(*lookupType);
    auto& parseProcs = *InterlinearProcsOf(*parseType);
    auto& parser = static_cast<CLookupProc&>(*parseProcs.GetFirst());

    // 1. The five tries of the Parse process.
    Best build;
    for (int r = 0; r < runs; ++r) {
        parser.InvalidateIndexes();
        auto t0 = Clock::now();
        double c0 = CpuMs();
        parser.EnsureBuilt(dbs);
        build.Take(Ms(t0, Clock::now()), CpuMs() - c0);
    }
    std::printf("tries of a %u-entry lexicon with affixes (5 indexes, %zu keys): %.1f ms "
                "(processor %.1f ms; best of %d)\n",
                entries, parser.Trie(0).KeyCount(), build.wall, build.cpu, runs);

    // 2 and 3. Interlinearizing the text, ten words a record.
    auto interlinearize = [&](CInterlinearProcList& procs, const std::vector<std::string>& text,
                              const char* what) {
        Best best;
        std::size_t filled = 0;
        for (int r = 0; r < runs; ++r) {
            CRecordList records;
            CMarker* tx = procs.TextMarker();
            CMarker* id = procs.Type()->MarkerSet().SearchOrAdd("id");
            for (std::size_t i = 0; i < text.size(); i += 10) {
                std::string line;
                for (std::size_t k = i; k < std::min(text.size(), i + 10); ++k)
                    line += (line.empty() ? "" : " ") + text[k];
                auto* rec = new CRecord(new CField(id, "t"));
                rec->Add(new CField(tx, line));
                records.Add(rec);
            }
            // Tries built beforehand: the figure is the interlinearizing itself.
            InterlinearizeRecord(procs, *records.GetFirst(), false, host);
            auto t0 = Clock::now();
            double c0 = CpuMs();
            for (CRecord& rec : records)
                InterlinearizeRecord(procs, rec, false, host);
            best.Take(Ms(t0, Clock::now()), CpuMs() - c0);
            filled = 0;
            for (CRecord& rec : records)
                filled += rec.Count() > 2;
            records.DeleteAll();
        }
        std::printf("interlinearize %zu words, %s: %.1f ms, %.0f words/s (processor %.1f ms; "
                    "best of %d; %zu records filled)\n",
                    text.size(), what, best.wall, 1000.0 * text.size() / best.wall, best.cpu, runs,
                    filled);
    };
    interlinearize(lookupProcs, plain, "lookup only");
    interlinearize(parseProcs, affixed, "with the parser");

    // 4. A jump into a large lexicon whose index exists.
    LexiconRecords bigLex;
    if (!bigLex.Load(big))
        return 1;
    bigLex.set = std::make_unique<CIndexSet>(bigLex.markers);
    const std::size_t count = bigLex.records.Count();
    bigLex.set->AddRecords(bigLex.records, count);
    MapDatabases bigDbs;
    bigDbs.sets["big.db"] = bigLex.set.get();
    CDbRefList path;
    path.Add(new CDbRef("big.db"));
    CJumpScope jumpScope{&path, "", &bigDbs, bigLex.set.get(), false};
    // A word from the middle of the lexicon.
    std::string word;
    std::size_t n = 0;
    for (CRecord& r : bigLex.set->Records())
        if (n++ == count / 2) {
            word = r.GetKey();
            break;
        }
    CPlatformJumpDialogs dialogs;
    CKeySearch search;
    search.key = word;
    search.matchWhole = true;
    RunJumpSearch(jumpScope, search, false, true, dialogs); // the reference takes its index
    Best jump;
    CJumpResult result;
    for (int r = 0; r < runs * 10; ++r) {
        auto t0 = Clock::now();
        double c0 = CpuMs();
        result = RunJumpSearch(jumpScope, search, false, true, dialogs);
        jump.Take(Ms(t0, Clock::now()), CpuMs() - c0);
    }
    std::printf("jump to \"%s\" in a %zu-record lexicon, index existing: %.2f ms (processor %.2f "
                "ms; best of %d; %s)\n",
                word.c_str(), count, jump.wall, jump.cpu, runs * 10,
                result.outcome == CJumpResult::Outcome::Found ? "found" : "not found");
    return 0;
}
