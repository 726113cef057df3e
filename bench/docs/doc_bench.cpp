// Times opening and saving a database document: doc_bench SETTINGS FILE [RUNS]
// Open is CDocManager::OpenDocument (header, type, read, default index); save is
// CCrvDoc::OnSaveDocument (write the temporary file, flush it, keep the .bak, rename).
// Each figure is the best of RUNS, in wall and processor time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "app/doc_manager.h"
#include "base/recording_platform.h"
#include "bench/support/bench_support.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"

using namespace crv;
using namespace crv::bench;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: doc_bench SETTINGS FILE [RUNS]\n");
        return 2;
    }
    const std::string settings = argv[1];
    const std::string file = argv[2];
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    RecordingPlatform quiet;
    ScopedPlatform scope(quiet);
    CLangEncSet encodings(settings);
    encodings.LoadAll();
    CDatabaseTypeSet types(encodings);
    types.LoadAll();
    CImportSettings import;

    Best open, save;
    std::size_t records = 0;
    for (int run = 0; run < runs; ++run) {
        CDocManager docs(types, import);
        double c0 = CpuMs();
        auto t0 = Clock::now();
        CCrvDoc* doc = docs.OpenDocument(file);
        auto t1 = Clock::now();
        double c1 = CpuMs();
        if (!doc) {
            std::fprintf(stderr, "doc_bench: %s did not open\n", file.c_str());
            for (const auto& m : quiet.Messages())
                std::fprintf(stderr, "%s\n", m.c_str());
            return 1;
        }
        records = doc->Records().RecordCount();
        open.Take(Ms(t0, t1), c1 - c0);
        double c2 = CpuMs();
        auto t2 = Clock::now();
        bool saved = doc->OnSaveDocument(file);
        auto t3 = Clock::now();
        double c3 = CpuMs();
        if (!saved) {
            std::fprintf(stderr, "doc_bench: %s was not saved\n", file.c_str());
            return 1;
        }
        save.Take(Ms(t2, t3), c3 - c2);
    }
    std::printf("open %zu records (read, index):   %8.0f ms (processor %6.0f ms; best of %d)\n",
                records, open.wall, open.cpu, runs);
    std::printf("save (write, flush, .bak, rename): %8.0f ms (processor %6.0f ms; best of %d)\n",
                save.wall, save.cpu, runs);
    return 0;
}
