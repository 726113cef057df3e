// Reads any bytes as a database type's filter set ("\+filset"), applies every filter to a
// small lexicon through filtered indexes sorted by the record marker and by the sense,
// writes the set and reads it back: the rewritten set writes the same bytes and passes
// the same entries.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/recording_platform.h"
#include "engine/filter.h"
#include "engine/index_set.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// A lexicon's markers (lx > sn > ge ps xv > xe; dt) and records with sub-entries, dates,
// aligned lines and twins, in one encoding set that all inputs share.
struct Lexicon {
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope{rec};
    crv::CLangEncSet encodings;
    crv::CMarkerSet markers{&encodings};
    std::unique_ptr<crv::CIndexSet> db;
    crv::CMarker *lx, *sn, *ge, *ps, *xv, *xe, *dt;

    crv::CMarker* Make(const char* name, crv::CMarker* parent) {
        crv::CMarkerProperties p;
        p.name = name;
        p.parent = parent;
        crv::CNote error;
        crv::CMarker* m = markers.Add(p, error);
        Check(m != nullptr);
        return m;
    }

    Lexicon() {
        lx = Make("lx", nullptr);
        markers.SetRecordMarker(lx);
        sn = Make("sn", nullptr);
        ge = Make("ge", sn);
        ps = Make("ps", sn);
        xv = Make("xv", sn);
        xe = Make("xe", xv);
        dt = Make("dt", nullptr);
        db = std::make_unique<crv::CIndexSet>(markers);
        crv::CRecordList list;
        auto add = [&](std::vector<std::pair<crv::CMarker*, std::string>> fields) {
            crv::CRecord* r = nullptr;
            for (auto& [m, text] : fields) {
                auto* f = new crv::CField(m, text);
                if (r)
                    r->Add(f);
                else
                    r = new crv::CRecord(f);
            }
            list.Add(r);
        };
        add({{lx, "kamba"},
             {sn, "1"},
             {ps, "n"},
             {ge, "rope"},
             {sn, "2"},
             {ge, "Walk"},
             {dt, "15/Jun/2001"}});
        add({{lx, "ni"},
             {sn, "1"},
             {xv, "ni   kamba  walk"},
             {xe, "I    rope   walk"},
             {dt, "5/dec/98"}});
        add({{lx, "kamba"}, {ge, "cord\nline"}, {dt, "someday"}});
        add({{lx, "zz"}});
        add({{lx, ""}, {ps, ""}, {xe, "x\ny  a"}, {xv, "q\nr  a"}});
        db->AddRecords(list);
    }
};

std::string Written(const crv::CFilterSet& set) {
    std::ostringstream out;
    crv::ObjectStream os(out);
    set.Write(os);
    return out.str();
}

std::unique_ptr<crv::CFilterSet> Read(Lexicon& lex, const std::string& text) {
    auto set = std::make_unique<crv::CFilterSet>(lex.markers);
    std::istringstream in(text);
    crv::ObjectStream is(in);
    crv::CNoteList notes;
    while (!is.AtEnd())
        if (!set->Read(is, notes))
            is.SkipEntry();
    set->FinishReading(notes);
    return set;
}

// Which entries each filter passes, by the record marker and by the sense: one letter
// per base entry.
std::string Passes(Lexicon& lex, crv::CFilterSet& set) {
    std::string out;
    for (crv::CFilter& f : set) {
        for (crv::CMarker* by : {lex.lx, lex.sn}) {
            crv::CIndexKeys keys;
            keys.priMarker = by;
            crv::CIndexRef base = lex.db->GetIndex(keys);
            keys.filter = &f;
            crv::CIndexRef filtered = lex.db->GetIndex(keys);
            Check(filtered->Count() <= base->Count());
            for (std::size_t i = 0; i < base->Count(); ++i)
                out += f.Matches(*base, i) ? '1' : '0';
            out += ' ';
        }
        out += '|';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Lexicon lex;
    lex.rec.Clear();
    std::string input(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<crv::CFilterSet> first = Read(lex, input);
    Passes(lex, *first);
    std::string text = Written(*first);

    std::unique_ptr<crv::CFilterSet> second = Read(lex, text);
    std::string again = Written(*second);
    std::unique_ptr<crv::CFilterSet> third = Read(lex, again);
    Check(Written(*third) == again);
    Check(second->Count() == third->Count());
    Check(Passes(lex, *second) == Passes(lex, *third));
    for (const std::string& e : lex.rec.InternalErrors())
        std::fprintf(stderr, "internal error: %s\n", e.c_str());
    Check(lex.rec.InternalErrors().empty());
    return 0;
}
