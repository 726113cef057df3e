#include "corpus/corpus_run.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "base/message_text.h"
#include "base/platform.h"
#include "base/safe_file.h"
#include "base/sf_header.h"
#include "corpus/corpus_messages.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kWordListTypePrefix = "Word List- ";
constexpr std::string_view kConcordanceTypePrefix = "Concordance- ";
constexpr std::string_view kConcordBookTypePrefix = "Concord_Book- ";

// Gives a generated type's marker its field name, description and encoding.
void DefineMarker(CMarkerSet& markers, std::string_view name, std::string fieldName,
                  std::string description, CLangEnc* langEnc) {
    CMarker* marker = markers.Search(name);
    CMarkerProperties props = marker ? marker->Properties() : CMarkerProperties{};
    props.name = std::string(name);
    props.fieldName = std::move(fieldName);
    props.description = std::move(description);
    props.langEnc = langEnc;
    CNote error;
    bool ok = marker ? markers.Modify(marker, props, error) : markers.Add(props, error) != nullptr;
    CRV_ASSERT(ok);
}

// The type of that name, made with its markers when the set lacks it.
template <class Define>
CDatabaseType* GeneratedType(CDatabaseTypeSet& types, const std::string& name,
                             std::string_view recordMarker, std::string description,
                             Define define) {
    if (types.FindProxy(name))
        return types.Find(name);
    CDatabaseType* type = types.CreateByProgram(name, recordMarker, name, std::move(description));
    if (!type)
        return nullptr;
    define(type->MarkerSet());
    type->SetModified(true);
    types.Write(*type);
    return type;
}

// The text of a run's file as a whole, or a message.
bool WriteOutput(const std::string& path, const std::function<void(std::ostream&)>& write) {
    SafeWriteResult r = WriteFileSafely(path, [&](std::ostream& os) {
        write(os);
        return static_cast<bool>(os);
    });
    if (r)
        return true;
    platform().ShowMessage(FormatMessage(
        r.failure == SafeWriteResult::Failure::Create ? kOutputNotCreated : kOutputNotWritten,
        {path}));
    return false;
}

// The steps both runs share before their own: the files, the language, the output and
// the index. False when the run stops (failed set when it failed rather than was
// refused or cancelled).
struct RunStart {
    CLangEnc* langEnc = nullptr;
    std::unique_ptr<CWordChars> chars;
    std::unique_ptr<CCorpusScan> scan;
    CWordIndex index;

    bool Begin(CCorpusEnvironment& env, const CCorpus& corpus, const std::string& output,
               CCorpusResult& result, bool& failed) {
        failed = false;
        if (corpus.Properties().files.empty()) {
            platform().ShowMessage(kNeedFiles);
            return false;
        }
        const std::string& name = corpus.Properties().langEnc;
        langEnc = name.empty() ? env.langEncs.Default() : env.langEncs.FindOrCreate(name);
        if (!langEnc) {
            failed = true;
            return false;
        }
        result.outputPath = output;
        result.rightToLeft = langEnc->RightToLeft();
        if (!MayReplaceOutput(output))
            return false;
        chars = std::make_unique<CWordChars>(*langEnc);
        scan = std::make_unique<CCorpusScan>(corpus, env.baseFolder, *chars);
        CRefLimitNotices notices;
        RunStatus status = UpdateWordIndex(*scan, index, notices, &result.update);
        failed = status == RunStatus::Failed;
        return status == RunStatus::Ok;
    }
};

} // namespace

CDatabaseType* WordListType(CDatabaseTypeSet& types, CLangEnc& langEnc) {
    std::string name = std::string(kWordListTypePrefix) + langEnc.Name();
    return GeneratedType(
        types, name, "w", WordListTypeDescription(langEnc.Name()), [&](CMarkerSet& markers) {
            DefineMarker(markers, "w", "Word", {}, &langEnc);
            DefineMarker(markers, "c", "Count", {}, nullptr);
            DefineMarker(markers, "cz", "Count Sort",
                         "Count field with leading zeros, for sorting by count.", nullptr);
            DefineMarker(markers, "r", "References", {}, nullptr);
        });
}

CDatabaseType* ConcordanceType(CDatabaseTypeSet& types, CLangEnc& langEnc, bool& byBook) {
    CLangEnc* refLangEnc = types.LangEncs().FindProxy(kBookReferences)
                               ? types.LangEncs().Find(kBookReferences)
                               : nullptr;
    byBook = refLangEnc != nullptr;
    if (!byBook) {
        platform().ShowMessage(kNoBookReferences, MessageKind::Information);
        refLangEnc = types.LangEncs().Default();
    }
    std::string name =
        std::string(byBook ? kConcordBookTypePrefix : kConcordanceTypePrefix) + langEnc.Name();
    return GeneratedType(
        types, name, "concref", ConcordanceTypeDescription(langEnc.Name(), refLangEnc->Name()),
        [&](CMarkerSet& markers) {
            DefineMarker(markers, "concref", "Reference", {}, refLangEnc);
            DefineMarker(markers, "concrefz", "Reference Sort",
                         "Reference with leading zeros, for general sorting.", nullptr);
            DefineMarker(markers, "concbef", "Before", {}, &langEnc);
            DefineMarker(markers, "conctar", "Target", {}, &langEnc);
            DefineMarker(markers, "concaft", "After", {}, &langEnc);
        });
}

bool MayReplaceOutput(const std::string& path) {
    std::error_code ec;
    if (!fs::exists(path, ec))
        return true;
    std::ifstream in(path, std::ios::binary);
    SFHeader header;
    if (in && ReadHeader(in, header) == HeaderStatus::Found) {
        const std::string& type = header.typeName;
        if (type.starts_with(kWordListTypePrefix) || type.starts_with(kConcordanceTypePrefix) ||
            type.starts_with(kConcordBookTypePrefix))
            return true;
    }
    return platform().Ask(FormatMessage(kReplaceOtherFile, {path}), Buttons::YesNo, Answer::No,
                          true) == Answer::Yes;
}

bool MakeWordList(CCorpusEnvironment& env, const CCorpus& corpus, const CWordListOptions& options,
                  const std::string& output, CCorpusResult& result) {
    RunStart run;
    bool failed = false;
    auto fail = [] {
        platform().ShowMessage(kWordListFailed);
        return false;
    };
    if (!run.Begin(env, corpus, output, result, failed))
        return failed ? fail() : false;
    CDatabaseType* type = WordListType(env.types, *run.langEnc);
    if (!type)
        return fail();
    result.typeName = type->Name();
    if (!WriteOutput(output, [&](std::ostream& os) {
            result.records = WriteWordList(os, run.index, options, result.typeName);
        }))
        return fail();
    return true;
}

bool MakeConcordance(CCorpusEnvironment& env, const CCorpus& corpus,
                     const CConcordanceOptions& options, const std::string& output,
                     CCorpusResult& result) {
    RunStart run;
    bool failed = false;
    auto fail = [] {
        platform().ShowMessage(kConcordanceFailed);
        return false;
    };
    if (!run.Begin(env, corpus, output, result, failed))
        return failed ? fail() : false;
    std::vector<CConcordanceMatch> matches;
    if (FindConcordance(*run.scan, run.index, options, matches) != RunStatus::Ok)
        return fail();
    CDatabaseType* type = ConcordanceType(env.types, *run.langEnc, result.byBook);
    if (!type)
        return fail();
    result.typeName = type->Name();
    result.records = matches.size();
    if (!WriteOutput(output, [&](std::ostream& os) {
            WriteConcordance(os, run.index, matches, result.typeName);
        }))
        return fail();
    return true;
}

} // namespace crv
