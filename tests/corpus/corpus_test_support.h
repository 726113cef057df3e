// Shared by the corpus tests: a settings folder with the Tsaloni encoding (digraphs ng
// and ts, acute vowels in UTF-8, a title-case "Ng"), corpus files written with a
// modification time in the past, and a corpus over them.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "corpus/corpus.h"
#include "corpus/corpus_run.h"
#include "engine/engine_type_settings.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"
#include "support/test_support.h"

namespace crv::test {

inline std::string TsaloniEncodingText() {
    std::string primary = "a A á Á\nb B\nc C\nd D\ne E é É\nf F\ng G\nh H\ni I í Í\nj J\nk K\n"
                          "l L\nm M\nn N\nng Ng NG\no O ó Ó\np P\nr R\ns S\nt T\nts Ts TS\n"
                          "u U ú Ú\nw W\ny Y\nz Z\n0\n1\n2\n3\n4\n5\n6\n7\n8\n9";
    std::string cases = "A a\nÁ á\nB b\nC c\nD d\nE e\nÉ é\nF f\nG g\nH h\nI i\nÍ í\nJ j\nK k\n"
                        "L l\nM m\nN n\nNG ng Ng\nO o\nÓ ó\nP p\nR r\nS s\nT t\nTS ts Ts\nU u\n"
                        "Ú ú\nW w\nY y\nZ z";
    return "\\+LanguageEncoding Tsaloni\n\\ver 4.0\n\\case " + cases +
           "\n\\+srtset\n\\+srt Tsaloni\n\\primary " + primary +
           "\n\\SecFollowing ː '\n\\ignore -\n\\-srt\n\\srtDefault Tsaloni\n\\-srtset\n"
           "\\-LanguageEncoding\n";
}

class CorpusTest : public PlatformTest {
protected:
    CorpusTest() {
        WriteFileBytes(dir.File("Tsaloni.lng"), Crlf(TsaloniEncodingText()));
        langEncs = std::make_unique<CLangEncSet>(dir.Path().string());
        langEncs->LoadAll();
        types = std::make_unique<CDatabaseTypeSet>(*langEncs, &typeSettings);
        types->LoadAll();
        tsaloni = langEncs->Find("Tsaloni");
    }
    ~CorpusTest() override {
        types.reset();
        langEncs.reset();
    }

    // A corpus file, dated a minute ago so that a run trusts its time.
    std::string WriteText(const std::string& name, const std::string& text, int minutesAgo = 1) {
        std::string path = dir.File(name);
        WriteFileBytes(path, text);
        Age(path, minutesAgo);
        return path;
    }
    static void Age(const std::string& path, int minutesAgo) {
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::minutes(minutesAgo));
    }
    CCorpus& MakeCorpus(std::vector<std::string> files, std::string langEnc = "Tsaloni") {
        CCorpusProperties props;
        props.langEnc = std::move(langEnc);
        props.files = std::move(files);
        return *corpora.Add("Texts", std::move(props));
    }
    CCorpusEnvironment Env() { return {*langEncs, *types, dir.Path().string()}; }

    ScratchDir dir;
    std::unique_ptr<CLangEncSet> langEncs;
    CEngineTypeSettings typeSettings;
    std::unique_ptr<CDatabaseTypeSet> types;
    CLangEnc* tsaloni = nullptr;
    CCorpusSet corpora;
};

} // namespace crv::test
