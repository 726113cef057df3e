#include "cli/crv_index_options.h"

#include <cstdio>

#include "engine/filter.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

namespace crv::cli {

CMarker* NamedMarker(CIndexSet& set, std::string name, const char* option) {
    if (!name.empty() && name[0] == '\\')
        name.erase(0, 1);
    CMarker* m = set.Markers().Search(name);
    if (!m)
        std::fprintf(stderr, "crv: %s: the database has no marker \\%s\n", option, name.c_str());
    return m;
}

void IndexOptions::Take(CommandArgs& args, Which which) {
    by = args.Value("--by");
    if (which == kBy)
        return;
    filter = args.Value("--filter");
    if (which == kByAndFilter)
        return;
    then = args.Values("--then");
    order = args.Value("--order");
    fromEnd = args.Flag("--from-end");
}

CIndexRef ChosenIndex(const IndexOptions& o, CIndexSet& set) {
    if (!o.by && o.then.empty() && !o.order && !o.fromEnd && !o.filter)
        return CIndexRef(&set.DefaultIndex());
    CIndexKeys keys;
    if (o.by && !(keys.priMarker = NamedMarker(set, *o.by, "--by")))
        return {};
    if (!o.by) {
        keys.priMarker = set.RecordMarker();
        keys.secMarkers = set.DefaultIndex().SecMarkers();
    }
    for (const std::string& name : o.then) {
        CMarker* m = NamedMarker(set, name, "--then");
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
        CIndexFilterSource* source = set.FilterSource();
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
    return set.GetIndex(keys);
}

} // namespace crv::cli
