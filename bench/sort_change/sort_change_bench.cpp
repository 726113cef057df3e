// Times what OK in the language encoding sheet costs a window on a large lexicon whose
// sort order changed: sort_change_bench FILE [RUNS]
// Beside it, in the same run, building the window's default index from scratch. Each
// figure is the best of RUNS.
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <string>

#include "bench/support/bench_support.h"
#include "schema/lang_enc_edit.h"
#include "schema/sort_order_set.h"

using namespace crv;
using namespace crv::bench;

namespace {

// The letter groups of the default order in reverse: every key compares differently.
std::string ReversedLetters() {
    std::string primary;
    for (char c = 'Z'; c >= 'A'; --c) {
        primary += c;
        primary += ' ';
        primary += static_cast<char>(c - 'A' + 'a');
        primary += '\n';
    }
    return primary + "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n_";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sort_change_bench FILE [RUNS]\n");
        return 2;
    }
    int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    Best build, change;
    std::size_t records = 0;
    std::string first, firstAfter;
    for (int run = 0; run < runs; ++run) {
        LexiconRecords db;
        if (!db.Load(argv[1]))
            return 1;
        records = db.records.Count();
        malloc_trim(0);
        double c0 = CpuMs();
        auto t0 = Clock::now();
        db.set = std::make_unique<CIndexSet>(db.markers);
        db.set->AddRecords(db.records);
        build.Take(Ms(t0, Clock::now()), CpuMs() - c0);
        first = db.set->DefaultIndex().EntryAt(0)->Record()->GetKey();

        CLangEnc& enc = *db.markers.RecordMarker()->LangEnc();
        CLangEncEdit edit(enc);
        CSortOrderDef def = enc.DefaultSortOrder()->Definition();
        def.primary = ReversedLetters();
        CNote error;
        if (!edit.Working().SortOrders().Default()->Modify(def, error)) {
            std::fprintf(stderr, "%s\n", error.Text().c_str());
            return 1;
        }
        // OK: carried over, announced, every index on the encoding re-sorted.
        c0 = CpuMs();
        t0 = Clock::now();
        edit.Apply();
        change.Take(Ms(t0, Clock::now()), CpuMs() - c0);
        firstAfter = db.set->DefaultIndex().EntryAt(0)->Record()->GetKey();
    }
    std::printf("records: %zu\n", records);
    std::printf("build default index (lx) from scratch:      %8.1f ms (processor %.1f ms)\n",
                build.wall, build.cpu);
    std::printf("sort order changed, OK re-sorts the index:  %8.1f ms (processor %.1f ms)\n",
                change.wall, change.cpu);
    std::printf("first headword before: %s, after: %s\n", first.c_str(), firstAfter.c_str());
    return 0;
}
