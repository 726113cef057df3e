// What the benchmarks share: wall and processor clocks, the best of several runs, and a
// generated lexicon read into a record list with lx as its record marker.
#pragma once

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>

#include "engine/filter.h"
#include "engine/index_set.h"
#include "record/database_file.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"

namespace crv::bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Processor time of this process: on a shared machine it varies less than wall time.
inline double CpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The best wall and processor time over runs.
struct Best {
    double wall = 1e300, cpu = 1e300;
    void Take(double w, double c) {
        wall = std::min(wall, w);
        cpu = std::min(cpu, c);
    }
};

// A lexicon's records with the index set (and filters) a benchmark makes over them; the
// set goes first, then the filters its indexes use, then the records it points into.
struct LexiconRecords {
    CLangEncSet encodings;
    CMarkerSet markers{&encodings};
    std::unique_ptr<CIndexSet> set;
    std::unique_ptr<CFilterSet> filters;
    CRecordList records;
    ~LexiconRecords() {
        set.reset();
        filters.reset();
        records.DeleteAll();
    }
    // Reads a generated lexicon, lx being its record marker.
    bool Load(const char* path) {
        CMarker* lx = markers.SearchOrAddFromData("lx");
        markers.SetRecordMarker(lx);
        return ReadDatabaseRecords(path, markers, lx, records).Ok();
    }
};

} // namespace crv::bench
