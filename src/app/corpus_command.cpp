#include "app/corpus_command.h"

#include <sstream>

#include "app/doc_manager.h"
#include "app/project.h"
#include "base/object_stream.h"
#include "base/platform.h"
#include "corpus/corpus_messages.h"

namespace crv {

namespace {

// The steps both commands share around their run.
template <class Run>
bool RunCommand(CProject& project, const std::string& corpusName, const std::string& output,
                CCorpusCommandResult& result, bool openResult, Run run) {
    CCorpus* corpus = project.Corpora().Find(corpusName);
    if (!corpus) {
        platform().ShowMessage(kSelectCorpus);
        return false;
    }
    if (!SaveBeforeRun(project.Documents()))
        return false;
    CCorpusEnvironment env{project.LangEncs(), project.Types(), project.SettingsFolder()};
    std::string path = ResolvePath(output, project.SettingsFolder());
    if (!run(env, *corpus, path))
        return false;
    if (!openResult)
        return true;
    result.doc = ReopenReplacedFile(project.Documents(), path);
    return result.doc != nullptr;
}

} // namespace

std::string CResultWindow::SettingsText() const {
    std::ostringstream out;
    ObjectStream os(out);
    os.WriteBeginMarker("wnd");
    os.WriteBool("Browse", true);
    os.WriteBeginMarker("brflst");
    for (const CResultColumn& column : columns) {
        os.WriteBeginMarker("brf");
        os.WriteString("mkr", column.marker);
        os.WriteInteger("width", column.width);
        os.WriteBool("rightjustify", column.rightJustify);
        os.WriteEndMarker("brf");
    }
    os.WriteEndMarker("brflst");
    os.WriteBeginMarker("ind");
    os.WriteString("mkrPriKey", sortMarker);
    os.WriteEndMarker("ind");
    os.WriteEndMarker("wnd");
    return out.str();
}

CResultWindow WordListWindow(const CWordListOptions& options) {
    CResultWindow window{"w", {{"w", 75, false}}};
    if (options.counts)
        window.columns.push_back({"c", 50, true});
    if (options.refs)
        window.columns.push_back({"r", 600, false});
    return window;
}

CResultWindow ConcordanceWindow(bool rightToLeft) {
    if (rightToLeft)
        return {"concref",
                {{"concref", 75, false},
                 {"concaft", 200, true},
                 {"conctar", 75, true},
                 {"concbef", 200, false}}};
    return {"concref",
            {{"concref", 75, false},
             {"concbef", 200, true},
             {"conctar", 75, false},
             {"concaft", 200, false}}};
}

bool RunWordListCommand(CProject& project, const std::string& corpus,
                        const CWordListOptions& options, const std::string& output,
                        CCorpusCommandResult& result, bool openResult) {
    result.window = WordListWindow(options);
    return RunCommand(project, corpus, output, result, openResult,
                      [&](CCorpusEnvironment& env, const CCorpus& c, const std::string& path) {
                          return MakeWordList(env, c, options, path, result.run);
                      });
}

bool RunConcordanceCommand(CProject& project, const std::string& corpus,
                           const CConcordanceOptions& options, const std::string& output,
                           CCorpusCommandResult& result, bool openResult) {
    return RunCommand(project, corpus, output, result, openResult,
                      [&](CCorpusEnvironment& env, const CCorpus& c, const std::string& path) {
                          bool ok = MakeConcordance(env, c, options, path, result.run);
                          result.window = ConcordanceWindow(result.run.rightToLeft);
                          return ok;
                      });
}

} // namespace crv
