// Helpers of the record view tests: a lexicon document (lx, ge, dt, with date stamps in
// dt) opened from bytes, a window on it with the project's options and find settings,
// and a record's fields as "\mkr text" strings.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/crv_doc.h"
#include "app/doc_test_support.h"
#include "app/project.h"
#include "app/record_view.h"

namespace crv::test {

class ViewTest : public DocTest {
protected:
    ~ViewTest() override {
        views.clear();
        docs.reset();
    }
    CCrvDoc& Open(const std::string& records, const std::string& name = "a.db") {
        CCrvDoc* doc = docs->OpenDocument(Db(name, Lexicon(records)));
        EXPECT_NE(doc, nullptr) << (rec.Messages().empty() ? "" : rec.Messages().back());
        return *doc;
    }
    CRecordView& View(CCrvDoc& doc, const CWindowSettings& s = CWindowSettings::ForNewWindow()) {
        CViewEnvironment env{&options, &find, dialogs};
        views.push_back(std::make_unique<CRecordView>(doc, env, s));
        return *views.back();
    }
    static std::vector<std::string> Fields(const CRecord* r) {
        std::vector<std::string> out;
        if (r)
            for (const CField& f : *r)
                out.push_back("\\" + f.Marker()->Name() + " " + f.Text());
        return out;
    }
    static std::string Key(CRecordView& v) { return v.Record() ? v.Record()->GetKey() : "-"; }

    CProjectOptions options;
    CFindSettings find;
    CViewDialogs* dialogs = nullptr; // null: through the platform
    std::vector<std::unique_ptr<CRecordView>> views;
};

using Strings = std::vector<std::string>;

} // namespace crv::test
