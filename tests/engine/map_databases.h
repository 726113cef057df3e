// Open databases for tests: index sets found by the path they were given under.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/db_ref.h"

namespace crv::test {

struct MapDatabases : COpenDatabases {
    std::map<std::string, CIndexSet*> sets;
    CIndexSet* FindOpen(const std::string& path) override {
        auto it = sets.find(path);
        return it == sets.end() ? nullptr : it->second;
    }
    std::vector<CIndexSet*> AllOpen() override {
        std::vector<CIndexSet*> out;
        for (auto& [p, s] : sets)
            out.push_back(s);
        return out;
    }
    std::string PathOf(const CIndexSet& set) override {
        for (auto& [p, s] : sets)
            if (s == &set)
                return p;
        return {};
    }
};

} // namespace crv::test
