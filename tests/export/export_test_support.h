// A scratch settings folder with types read through the export factory, for the tests
// of export processes and runs.
#pragma once

#include <memory>
#include <string>

#include "export/export_process_set.h"
#include "export/export_type_settings.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"
#include "support/test_support.h"

namespace crv::test {

// A small lexicon type: lx (record marker), hm, ps, sn, ge, xv, dt; Default encoding.
inline std::string LexiconTypeText(const std::string& extra = {}) {
    return "\\+DatabaseType Lexicon\r\n\\ver 4.0\r\n\\+mkrset\r\n\\lngDefault Default\r\n"
           "\\mkrRecord lx\r\n\r\n"
           "\\+mkr dt\r\n\\nam Date\r\n\\lng Default\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
           "\\+mkr ge\r\n\\nam Gloss\r\n\\lng Default\r\n\\mkrOverThis sn\r\n\\-mkr\r\n"
           "\\+mkr hm\r\n\\nam Homonym\r\n\\lng Default\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
           "\\+mkr lx\r\n\\nam Lexeme\r\n\\lng Default\r\n\\-mkr\r\n"
           "\\+mkr ps\r\n\\nam Part of speech\r\n\\lng Default\r\n\\mkrOverThis sn\r\n"
           "\\-mkr\r\n"
           "\\+mkr sn\r\n\\nam Sense\r\n\\lng Default\r\n\\mkrOverThis lx\r\n\\-mkr\r\n"
           "\\+mkr xv\r\n\\nam Example\r\n\\lng Default\r\n\\mkrOverThis sn\r\n\\-mkr\r\n"
           "\\-mkrset\r\n\\iInterlinCharWd 8\r\n\\mkrRecord lx\r\n"
           "\\+PrintProperties\r\n\\header File: &f, Date: &d\r\n\\footer Page &p\r\n"
           "\\breakrecordswithspace\r\n\\printcurrentrecord\r\n\\recordsspace 10\r\n"
           "\\-PrintProperties\r\n" +
           extra + "\\-DatabaseType\r\n";
}

class ExportSettingsTest : public PlatformTest {
protected:
    ~ExportSettingsTest() override {
        types.reset();
        encodings.reset();
    }
    // Loads the folder's settings after writing text as lexicon.typ (when given).
    CDatabaseType* Load(const std::string& text, const std::string& name = "Lexicon") {
        if (!text.empty())
            WriteFileBytes(dir.File("lexicon.typ"), text);
        types.reset();
        encodings = std::make_unique<CLangEncSet>(dir.Path().string());
        encodings->LoadAll();
        types = std::make_unique<CDatabaseTypeSet>(*encodings, &factory);
        types->LoadAll();
        return types->Find(name);
    }
    CExportProcessSet& Exports(CDatabaseType* type) {
        CExportProcessSet* set = type ? ExportSetOf(*type) : nullptr;
        if (!set)
            throw std::runtime_error("no export set");
        return *set;
    }

    ScratchDir dir;
    CExportTypeSettings factory;
    std::unique_ptr<CLangEncSet> encodings;
    std::unique_ptr<CDatabaseTypeSet> types;
};

} // namespace crv::test

#include "engine/index_set.h"
#include "export/export_run.h"

namespace crv::test {

// The dialogs of a run, scripted: the output file, the window question's answer, the
// properties dialog's and the opening's outcome; what was asked is kept.
class ScriptedExportDialogs : public ExportDialogs {
public:
    std::optional<std::string> output;
    std::optional<bool> moveSortField = false;
    bool propertiesOk = true;
    bool openOk = true;
    int propertiesShown = 0;
    int windowQuestions = 0;
    std::vector<FileRequest> requests;
    std::vector<std::string> opened;

    bool EditProperties(CExportProcess&) override {
        ++propertiesShown;
        return propertiesOk;
    }
    std::optional<bool> AskMoveSortField(bool) override {
        ++windowQuestions;
        return moveSortField;
    }
    std::optional<std::string> ChooseOutput(const FileRequest& request) override {
        requests.push_back(request);
        return output;
    }
    bool OpenDocument(const std::string& path) override {
        opened.push_back(path);
        return openOk;
    }
};

// A database of type read from SF text written to path.
inline std::unique_ptr<CIndexSet> ReadDatabase(CDatabaseType& type, const std::string& path,
                                               const std::string& text) {
    WriteFileBytes(path, text);
    auto set = std::make_unique<CIndexSet>(type);
    EXPECT_TRUE(set->ReadFile(path).Ok());
    return set;
}

} // namespace crv::test
