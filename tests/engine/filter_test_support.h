// Helpers of the filter tests: the engine tests' lexicon markers with a filter set, and
// element sequences written short: "\ge walk" (marker text), "\dt = 2001" (marker date),
// "@English walk" or "@* walk" (language text, * for any), and the operator words.
#pragma once

#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>

#include "base/object_stream.h"
#include "engine/engine_test_support.h"
#include "engine/filter.h"
#include "engine/filter_dialog.h"

namespace crv::test {

class FilterTest : public EngineTest {
protected:
    FilterTest() : filters(std::make_unique<CFilterSet>(markers)) {
        xv = Make("xv", "Example", sn);
        xe = Make("xe", "Translation", xv);
    }
    ~FilterTest() override {
        link.reset();
        db.reset(); // indexes let go of their filters first
        filters.reset();
    }

    CFilterElementList Seq(std::initializer_list<std::string> items) {
        CFilterElementList out;
        for (const std::string& item : items) {
            std::unique_ptr<CFilterElement> e;
            CNote error;
            if (item.starts_with("\\")) {
                std::size_t sp = item.find(' ');
                std::string marker =
                    item.substr(1, sp == std::string::npos ? std::string::npos : sp - 1);
                std::string rest = sp == std::string::npos ? std::string() : item.substr(sp + 1);
                if (rest.size() >= 2 && (rest[0] == '<' || rest[0] == '=' || rest[0] == '>') &&
                    rest[1] == ' ')
                    e = MakeMarkerDateElement(*filters, marker,
                                              CDateCondition::RelationOfCode(rest.substr(0, 1)),
                                              rest.substr(2), error);
                else
                    e = MakeMarkerTextElement(*filters, marker, rest, error);
            } else if (item.starts_with("@")) {
                std::size_t sp = item.find(' ');
                std::string lang = item.substr(1, sp - 1);
                e = MakeLangTextElement(*filters, lang == "*" ? std::string(kAnyLangText) : lang,
                                        item.substr(sp + 1), error);
            } else if (auto kind = OperatorOfSettingsWord(item)) {
                e = std::make_unique<CFilterOperator>(*kind);
            }
            EXPECT_TRUE(e) << item << ": " << error.Text();
            if (e)
                out.push_back(std::move(e));
        }
        return out;
    }

    // A filter added to the set (the test fails when it is refused).
    CFilter* AddFilter(const std::string& name, std::initializer_list<std::string> items,
                       bool whole = false, int mask = 3) {
        CNote error;
        CFilter* f = filters->Add(name, Seq(items), whole, mask, error);
        EXPECT_TRUE(f) << name << ": " << error.Text();
        return f;
    }

    // The parse error's text for a sequence ("" when it parses).
    std::string ParseText(std::initializer_list<std::string> items) {
        CFilter f(filters.get(), "t", Seq(items), false, 3);
        return f.ParseError().Text();
    }

    // The index by marker (null: the default index's keys) filtered by filter.
    CIndexRef Filtered(CFilter* filter, CMarker* by = nullptr) {
        if (!link)
            link = std::make_unique<CFilterSetLink>(*filters, Db());
        return Db().GetIndex(By(by ? by : lx, {}, filter));
    }

    std::string WriteSet() const {
        std::ostringstream out;
        ObjectStream os(out);
        filters->Write(os);
        return out.str();
    }

    // Reads text into a new filter set (finished as a type would); its notes. Call it
    // before any index is filtered by the old set's filters.
    CNoteList ReadSet(const std::string& text) {
        link.reset();
        filters = std::make_unique<CFilterSet>(markers);
        std::istringstream in(text);
        ObjectStream is(in);
        CNoteList notes;
        EXPECT_TRUE(filters->Read(is, notes));
        filters->FinishReading(notes);
        return notes;
    }

    CMarker *xv, *xe;
    std::unique_ptr<CFilterSet> filters;
    std::unique_ptr<CFilterSetLink> link;
};

} // namespace crv::test
