// Times the index work of a large lexicon: index_bench FILE [RUNS]
// Building the default index (record marker), sorting by ge then lx, one record edited
// and re-keyed at positions spread over the index (median and worst), and a key search
// at each match level. Each figure is the best of RUNS (edits: over all positions).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <string>
#include <vector>

#include "bench/support/bench_support.h"
#include "engine/index_set.h"
#include "engine/key_search.h"
#include "record/database_file.h"
#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

using namespace crv;
using namespace crv::bench;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: index_bench FILE [RUNS]\n");
        return 2;
    }
    int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    // --default-only: nothing but the default index, RUNS times (for profiling).
    const bool defaultOnly = argc > 3 && std::string(argv[3]) == "--default-only";
    double build = 1e300, sortGe = 1e300, buildCpu = 1e300, sortGeCpu = 1e300;
    std::size_t records = 0, geEntries = 0;
    for (int run = 0; run < runs; ++run) {
        LexiconRecords db;
        if (!db.Load(argv[1]))
            return 1;
        records = db.records.Count();
        malloc_trim(0); // the reader's freed chunks are merged before, not inside, the timing
        double c0 = CpuMs();
        auto t0 = Clock::now();
        db.set = std::make_unique<CIndexSet>(db.markers);
        db.set->AddRecords(db.records);
        auto t1 = Clock::now();
        double c1 = CpuMs();
        build = std::min(build, Ms(t0, t1));
        buildCpu = std::min(buildCpu, c1 - c0);
        if (defaultOnly)
            continue;
        CIndexKeys k;
        k.priMarker = db.markers.Search("ge");
        k.secMarkers = {db.markers.Search("lx")};
        CIndexRef byGe = db.set->GetIndex(k);
        auto t2 = Clock::now();
        sortGeCpu = std::min(sortGeCpu, CpuMs() - c1);
        geEntries = byGe->Count();
        sortGe = std::min(sortGe, Ms(t1, t2));
    }
    std::printf("records: %zu\n", records);
    std::printf("build default index (lx):            %8.1f ms (processor %.1f ms)\n", build,
                buildCpu);
    if (defaultOnly)
        return 0;
    std::printf("sort by ge then lx (%zu entries): %8.1f ms (processor %.1f ms)\n", geEntries,
                sortGe, sortGeCpu);

    // Edits: the database with the default index and the ge index, as a window would.
    LexiconRecords db;
    if (!db.Load(argv[1]))
        return 1;
    db.set = std::make_unique<CIndexSet>(db.markers);
    db.set->AddRecords(db.records);
    CIndexKeys k;
    k.priMarker = db.markers.Search("ge");
    k.secMarkers = {db.markers.Search("lx")};
    CIndexRef byGe = db.set->GetIndex(k);
    const CIndex& def = db.set->DefaultIndex();
    std::vector<double> edits, editsCpu;
    const std::size_t samples = 201;
    for (std::size_t s = 0; s < samples; ++s) {
        std::size_t ordinal = s * (def.Count() - 1) / (samples - 1);
        CRecord* r = def.EntryAt(ordinal)->Record();
        // A new key that sends the record to the other end of the index.
        std::string key = r->GetKey();
        r->GetFirst()->SetText(ordinal < def.Count() / 2 ? "zz" + key : "a" + key);
        double c0 = CpuMs();
        auto t0 = Clock::now();
        db.set->RecordChanged(r);
        edits.push_back(Ms(t0, Clock::now()));
        editsCpu.push_back(CpuMs() - c0);
    }
    std::sort(edits.begin(), edits.end());
    std::sort(editsCpu.begin(), editsCpu.end());
    std::printf(
        "edit one record, re-key 2 indexes: median %.3f ms, worst %.3f ms (processor: median %.3f, "
        "worst %.3f) over %zu positions\n",
        edits[edits.size() / 2], edits.back(), editsCpu[editsCpu.size() / 2], editsCpu.back(),
        edits.size());

    const std::pair<int, const char*> levels[] = {{3, "p"}, {23, "c"}, {7, "e"}, {15, "i"}};
    for (auto [mask, code] : levels) {
        CKeySearch search;
        const std::string headword = def.EntryAt(def.Count() / 3)->Record()->GetKey();
        search.mask = mask;
        double best = 1e300, bestCpu = 1e300, whole = 1e300, wholeCpu = 1e300;
        std::size_t found = 0, foundWhole = 0;
        for (int run = 0; run < runs; ++run) {
            search.matchWhole = false;
            search.key = headword.substr(0, 3);
            double c0 = CpuMs();
            auto t0 = Clock::now();
            CKeyRecordSet m(def, search);
            best = std::min(best, Ms(t0, Clock::now()));
            bestCpu = std::min(bestCpu, CpuMs() - c0);
            found = m.Matches().size();
            // A whole-field search finds few and walks the whole index.
            search.matchWhole = true;
            search.key = headword;
            c0 = CpuMs();
            t0 = Clock::now();
            CKeyRecordSet w(def, search);
            whole = std::min(whole, Ms(t0, Clock::now()));
            wholeCpu = std::min(wholeCpu, CpuMs() - c0);
            foundWhole = w.Matches().size();
        }
        std::printf("key search level %s: prefix \"%s\" %6.2f ms (processor %.2f, %zu matches); "
                    "whole field "
                    "\"%s\" %6.2f ms (processor %.2f, %zu matches)\n",
                    code, headword.substr(0, 3).c_str(), best, bestCpu, found, headword.c_str(),
                    whole, wholeCpu, foundWhole);
    }
    return 0;
}
