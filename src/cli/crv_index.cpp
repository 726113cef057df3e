// crv list and find: a database's entries in the order of an index, and the entries a
// key search finds, printed as a browse list shows them.
#include <cstdio>

#include "cli/crv_command_list.h"
#include "cli/crv_settings.h"
#include "engine/browse_cell.h"
#include "engine/filter.h"
#include "engine/index_set.h"
#include "engine/key_search.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

namespace crv::cli {

namespace {

// A database opened for listing: with -s or -p, the type its header names; otherwise,
// or for a file without header, a type-less look at it whose record marker is the
// first marker line's and whose markers take the default encoding.
struct ListedDatabase {
    std::unique_ptr<CrvSettings> settings;
    DatabaseSchema schema;
    std::unique_ptr<CIndexSet> set;
    ~ListedDatabase() {
        set.reset(); // records let go of their markers first
    }
};

bool OpenDatabase(const CrvContext& ctx, const std::string& path, ListedDatabase& db) {
    db.settings = OpenSettings(ctx);
    if (!db.settings || !OpenDatabaseSchema(*db.settings, path, {}, db.schema))
        return false;
    if (db.schema.type) {
        db.set = std::make_unique<CIndexSet>(*db.schema.type);
        db.set->SetRecordWidth(db.schema.header.number);
    } else {
        db.set = std::make_unique<CIndexSet>(*db.schema.markers);
    }
    return db.set->ReadFile(path).Ok();
}

// A marker named on the command line (a leading backslash allowed); null after a
// message when the database has none of that name.
CMarker* NamedMarker(const ListedDatabase& db, std::string name, const char* option) {
    if (!name.empty() && name[0] == '\\')
        name.erase(0, 1);
    CMarker* m = db.set->Markers().Search(name);
    if (!m)
        std::fprintf(stderr, "crv: %s: the database has no marker \\%s\n", option, name.c_str());
    return m;
}

// The index options of list and find.
struct IndexOptions {
    std::optional<std::string> by;
    std::vector<std::string> then;
    std::optional<std::string> order;
    bool fromEnd = false;
    std::optional<std::string> filter;

    void Take(CommandArgs& args, bool listOptions) {
        by = args.Value("--by");
        if (!listOptions)
            return;
        then = args.Values("--then");
        order = args.Value("--order");
        fromEnd = args.Flag("--from-end");
        filter = args.Value("--filter");
    }
};

// The index the options ask for; null after a message.
CIndexRef ChosenIndex(const IndexOptions& o, ListedDatabase& db) {
    if (!o.by && o.then.empty() && !o.order && !o.fromEnd && !o.filter)
        return CIndexRef(&db.set->DefaultIndex());
    CIndexKeys keys;
    if (o.by && !(keys.priMarker = NamedMarker(db, *o.by, "--by")))
        return {};
    if (!o.by) {
        keys.priMarker = db.set->RecordMarker();
        keys.secMarkers = db.set->DefaultIndex().SecMarkers();
    }
    for (const std::string& name : o.then) {
        CMarker* m = NamedMarker(db, name, "--then");
        if (!m)
            return {};
        keys.secMarkers.push_back(m);
    }
    keys.fromEnd = o.fromEnd;
    if (o.order) {
        CLangEnc* enc = keys.priMarker ? keys.priMarker->LangEnc() : nullptr;
        keys.sortOrder = enc ? enc->SortOrders().Search(*o.order) : nullptr;
        if (!keys.sortOrder) {
            std::fprintf(stderr, "crv: --order: language encoding %s has no sort order named %s\n",
                         enc ? enc->Name().c_str() : "", o.order->c_str());
            return {};
        }
    }
    if (o.filter) {
        CIndexFilterSource* source = db.set->FilterSource();
        keys.filter = source ? source->FindIndexFilter(*o.filter) : nullptr;
        if (!keys.filter) {
            std::fprintf(stderr, "crv: --filter: the database type has no filter named %s\n",
                         o.filter->c_str());
            return {};
        }
        // One that did not parse would match nothing: an empty list that looks like an
        // answer.
        if (auto* filter = dynamic_cast<CFilter*>(keys.filter); filter && !filter->IsParsed()) {
            std::fprintf(stderr, "crv: --filter: the filter %s cannot be applied: %s\n",
                         o.filter->c_str(), filter->ParseError().Text().c_str());
            return {};
        }
    }
    return db.set->GetIndex(keys);
}

// The markers of --columns M,M...; UsageError for an empty name.
std::vector<std::string> ColumnNames(const std::optional<std::string>& text) {
    std::vector<std::string> names;
    if (!text)
        return names;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text->find(',', start);
        std::string name =
            text->substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (name.empty())
            throw UsageError("--columns needs marker names separated by commas");
        names.push_back(name);
        if (comma == std::string::npos)
            return names;
        start = comma + 1;
    }
}

void PrintEntry(std::FILE* out, const CIndexEntry& entry, const std::vector<CMarker*>& columns) {
    std::string line = PrintableText(BrowseCellText(entry, nullptr));
    for (const CMarker* c : columns) {
        line += '\t';
        line += PrintableText(BrowseCellText(entry, c));
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
}

} // namespace

int CmdList(CrvContext& ctx) {
    IndexOptions options;
    options.Take(ctx.args, true);
    std::vector<std::string> columnNames = ColumnNames(ctx.args.Value("--columns"));
    std::string path = ctx.args.Operands(1, 1)[0];
    ListedDatabase db;
    if (!OpenDatabase(ctx, path, db))
        return kExitFailed;
    std::vector<CMarker*> columns;
    for (const std::string& name : columnNames) {
        CMarker* m = NamedMarker(db, name, "--columns");
        if (!m)
            return kExitFailed;
        columns.push_back(m);
    }
    CIndexRef index = ChosenIndex(options, db);
    if (!index)
        return kExitFailed;
    for (std::size_t i = 0; i < index->Count(); ++i)
        PrintEntry(ctx.out, *index->EntryAt(i), columns);
    return kExitOk;
}

int CmdFind(CrvContext& ctx) {
    IndexOptions options;
    options.Take(ctx.args, false);
    CKeySearch search;
    search.mask = MatchLevelOption(ctx.args, kMatchPrimary);
    search.matchWhole = ctx.args.Flag("--whole");
    auto operands = ctx.args.Operands(2, 2);
    search.key = operands[1];
    ListedDatabase db;
    if (!OpenDatabase(ctx, operands[0], db))
        return kExitFailed;
    CIndexRef index = ChosenIndex(options, db);
    if (!index)
        return kExitFailed;
    CKeyRecordSet matches(*index, search);
    for (const CIndexPos& p : matches.Matches())
        PrintEntry(ctx.out, *p.Entry(), {});
    return matches.Found() ? kExitOk : kExitFailed;
}

} // namespace crv::cli
