// Times applying filters to a large lexicon: filter_bench FILE [RUNS]
// Beside building the default index (the baseline), each filter's filtered index is
// built from its unfiltered base, best of RUNS.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>

#include "bench/support/bench_support.h"
#include "engine/filter.h"
#include "engine/filter_dialog.h"
#include "engine/index_set.h"
#include "record/database_file.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"

using namespace crv;
using namespace crv::bench;

namespace {

// One element of a filter: "\mkr pattern", or an operator word.
std::unique_ptr<CFilterElement> Element(const CFilterSet& filters, const std::string& item) {
    CNote error;
    std::unique_ptr<CFilterElement> e;
    if (item[0] == '\\') {
        std::size_t sp = item.find(' ');
        std::string marker = item.substr(1, sp - 1), rest = item.substr(sp + 1);
        if (rest[0] == '>')
            e = MakeMarkerDateElement(filters, marker, CDateCondition::Relation::After,
                                      rest.substr(2), error);
        else
            e = MakeMarkerTextElement(filters, marker, rest, error);
    } else if (auto kind = OperatorOfSettingsWord(item)) {
        e = std::make_unique<CFilterOperator>(*kind);
    }
    if (!e) {
        std::fprintf(stderr, "%s: %s\n", item.c_str(), error.Text().c_str());
        std::exit(1);
    }
    return e;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: filter_bench FILE [RUNS]\n");
        return 2;
    }
    int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    LexiconRecords db;
    if (!db.Load(argv[1]))
        return 1;
    CMarker* lx = db.markers.RecordMarker();
    std::size_t records = db.records.Count();

    // The baseline: the default index of the records, built afresh each run.
    double build = 1e300;
    for (int run = 0; run < runs; ++run) {
        if (run > 0) {
            db.set.reset();
            if (!ReadDatabaseRecords(argv[1], db.markers, lx, db.records).Ok())
                return 1;
        }
        auto t0 = Clock::now();
        db.set = std::make_unique<CIndexSet>(db.markers);
        db.set->AddRecords(db.records);
        build = std::min(build, Ms(t0, Clock::now()));
    }
    std::printf("records: %zu\n", records);
    std::printf("baseline: build the default index (lx):      %8.1f ms\n", build);

    db.filters = std::make_unique<CFilterSet>(db.markers);
    CFilterSetLink link(*db.filters, *db.set);
    struct Case {
        const char* label;
        std::initializer_list<const char*> items;
        bool whole;
        CMarker* by;
    };
    CMarker* ge = db.markers.Search("ge");
    const Case cases[] = {
        {"marker text \\ge walk, by lx", {"\\ge walk"}, false, nullptr},
        {"marker text \\ge walk, whole field, by lx", {"\\ge walk"}, true, nullptr},
        {"marker text \\ge walk, by ge", {"\\ge walk"}, false, ge},
        {"marker text \\xv [...]nga[#], by lx", {"\\xv [...]nga[#]"}, false, nullptr},
        {"marker date \\dt > 2000, by lx", {"\\dt > 2000"}, false, nullptr},
        {"\\ge walk And Not Non-Unique, by lx",
         {"\\ge walk", "And", "Not", "NonUnique"},
         false,
         nullptr},
    };
    int n = 0;
    for (const Case& c : cases) {
        CFilterElementList elements;
        for (const char* item : c.items)
            elements.push_back(Element(*db.filters, item));
        CNote error;
        CFilter* filter =
            db.filters->Add("f" + std::to_string(n++), std::move(elements), c.whole, 3, error);
        if (!filter) {
            std::fprintf(stderr, "%s: %s\n", c.label, error.Text().c_str());
            return 1;
        }
        CIndexKeys keys;
        keys.priMarker = c.by ? c.by : lx;
        CIndexRef base = db.set->GetIndex(keys); // built once, outside the timing
        keys.filter = filter;
        double best = 1e300, tests = 1e300;
        std::size_t passed = 0;
        for (int run = 0; run < runs; ++run) {
            auto t0 = Clock::now();
            CIndexRef filtered = db.set->GetIndex(keys);
            best = std::min(best, Ms(t0, Clock::now()));
            passed = filtered->Count();
            // The filter's own work: its test of every base entry, without the index.
            t0 = Clock::now();
            std::size_t n = 0;
            for (std::size_t i = 0; i < base->Count(); ++i)
                n += filter->Matches(*base, i);
            tests = std::min(tests, Ms(t0, Clock::now()));
            if (n != passed)
                return 1;
        }
        std::printf("filter %-42s %8.1f ms, of which the tests %6.1f ms (%zu of %zu entries)\n",
                    c.label, best, tests, passed, base->Count());
    }
    return 0;
}
