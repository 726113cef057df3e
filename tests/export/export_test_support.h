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
