// The index options of crv's commands (--by, --then, --order, --from-end, --filter): the
// index of a database they ask for, and markers named on the command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/crv_args.h"
#include "engine/index_set.h"

namespace crv::cli {

// A marker named on the command line (a leading backslash allowed); null after a
// message when the database has none of that name.
CMarker* NamedMarker(CIndexSet& set, std::string name, const char* option);

// The index options of list, find and the text commands.
struct IndexOptions {
    std::optional<std::string> by;
    std::vector<std::string> then;
    std::optional<std::string> order;
    bool fromEnd = false;
    std::optional<std::string> filter;

    // Which options a command takes.
    enum Which { kBy, kByAndFilter, kAll };
    void Take(CommandArgs& args, Which which);
};

// The index the options ask for; null after a message.
CIndexRef ChosenIndex(const IndexOptions& o, CIndexSet& set);

} // namespace crv::cli
