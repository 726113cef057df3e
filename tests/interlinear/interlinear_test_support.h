// Helpers of the interlinear tests: open databases kept in a map, a host that answers
// from a script, a lexicon read from text and a text type whose processes are written
// as settings text.
#pragma once

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/db_ref.h"
#include "engine/index_set.h"
#include "engine/map_databases.h"
#include "interlinear/interlinear_type_settings.h"
#include "interlinear/interlinearizer.h"
#include "interlinear/lookup_proc.h"
#include "schema/database_type.h"
#include "schema/lang_enc_set.h"
#include "support/test_support.h"

namespace crv::test {
using Strings = std::vector<std::string>;
}

namespace crv::test {

struct ScriptedHost : CInterlinearHost {
    MapDatabases* dbs = nullptr;
    std::size_t wrap = 0;
    std::vector<std::string> jumpInserts;
    COpenDatabases* Databases() override { return dbs; }
    std::size_t WrapColumns() override { return wrap; }
    void JumpInsert(const std::string& word) override { jumpInserts.push_back(word); }
};

// Lexicon index settings of a process: the databases, key marker lx, the output marker.
inline std::string TrieText(const std::string& name, const std::string& out,
                            const std::string& db = "lex.db") {
    return "\\+" + name + "\n\\dbtyp Lexicon\n\\+drflst\n\\+drf\n\\File " + db +
           "\n\\-drf\n\\-drflst\n\\+mrflst\n\\mkr lx\n\\-mrflst\n\\Out " + out + "\n\\-" + name +
           "\n";
}

class InterlinearTest : public PlatformTest {
protected:
    InterlinearTest() {
        host.dbs = &dbs;
        lexType = std::make_unique<CDatabaseType>(encodings, "Lexicon");
        CNote error;
        lexType->SetRecordMarkerName("lx", error);
    }
    ~InterlinearTest() override {
        records.DeleteAll();
        lexicons.clear();
        textType.reset();
    }

    // A lexicon of that database text (records of "\lx" lines), open as path.
    CIndexSet& Lexicon(const std::string& text, const std::string& path = "lex.db") {
        std::string file = dir.File(path);
        WriteFileBytes(file, "\\_sh v3.0  400  Lexicon\n\n" + text);
        auto set = std::make_unique<CIndexSet>(*lexType);
        set->ReadFile(file);
        dbs.sets[path] = set.get();
        lexicons.push_back(std::move(set));
        return *lexicons.back();
    }

    // The text type: "\+DatabaseType Text", then procs (the intprclst body) and mkrRecord.
    CInterlinearProcList& TextType(const std::string& procs, const std::string& head = {}) {
        std::istringstream in("\\+DatabaseType Text\n\\+intprclst\n" + head + procs +
                              "\\-intprclst\n\\mkrRecord id\n\\-DatabaseType\n");
        ObjectStream is(in);
        is.ReadBeginMarker("DatabaseType");
        textType = std::make_unique<CDatabaseType>(encodings, "Text", nullptr, &factory);
        CNoteList notes;
        textType->Read(is, notes);
        textType->FinishReading(notes);
        return *InterlinearProcsOf(*textType);
    }

    CMarker* M(const std::string& name) { return textType->MarkerSet().SearchOrAdd(name); }

    // A text record: "\id T" and the given (marker, text) fields.
    CRecord* Text(std::initializer_list<std::pair<std::string, std::string>> fields) {
        auto* r = new CRecord(new CField(M("id"), "T"));
        for (auto& [m, t] : fields)
            r->Add(new CField(M(m), t));
        records.Add(r);
        return r;
    }

    // The record's fields as "\m text" lines.
    static std::string Dump(const CRecord& r) {
        std::string out;
        for (const CField& f : r)
            if (f.Marker()->Name() != "id")
                out += "\\" + f.Marker()->Name() + " " + f.Text() + "|\n";
        return out;
    }

    InterlinearizeResult Run(CRecord* r, int field = 1, int offset = 0, bool adapt = false) {
        CField* f = r->GetFirst();
        for (int i = 0; i < field; ++i)
            f = r->GetNext(f);
        return Interlinearize(*InterlinearProcsOf(*textType), *r, CRecPos(r, f, offset), adapt,
                              host);
    }

    ScratchDir dir;
    CLangEncSet encodings;
    CInterlinearTypeSettings factory;
    std::unique_ptr<CDatabaseType> lexType;
    std::vector<std::unique_ptr<CIndexSet>> lexicons;
    std::unique_ptr<CDatabaseType> textType;
    CRecordList records;
    MapDatabases dbs;
    ScriptedHost host;
};

} // namespace crv::test
