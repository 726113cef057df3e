#include "app/batch_file.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "app/crv_doc.h"
#include "app/doc_manager.h"
#include "app/project.h"
#include "base/message_text.h"
#include "base/platform.h"

namespace crv {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kChooseBatchFile = "Run Batch File";
constexpr std::string_view kBatchFilter =
    "Batch Files (*.sh;*.bat;*.cmd)|*.sh;*.bat;*.cmd|All files (*.*)|*.*||";
constexpr std::string_view kBatchNotRun = "The batch file %1 could not be run.\n\n%2";
constexpr std::string_view kBatchFailed = "The batch file %1 ended with exit code %2.";
constexpr std::string_view kBatchStopped = "The batch file %1 was stopped.";
constexpr std::string_view kBatchChanged = "The batch file changed %1.\nRead it again?";
constexpr std::string_view kBatchChangedModified =
    "The batch file changed %1, which has changes here that are not saved.\n"
    "Saving it here will replace what the batch file wrote.";

// What a file looked like, to see whether the script rewrote it.
struct FileStamp {
    fs::file_time_type time{};
    std::uintmax_t size = 0;
    bool exists = false;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path) {
    std::error_code ec;
    FileStamp s;
    s.time = fs::last_write_time(path, ec);
    if (ec)
        return {};
    s.size = fs::file_size(path, ec);
    s.exists = !ec;
    return s;
}

} // namespace

std::string OutputTail(const std::string& output, std::size_t lines) {
    std::size_t end = output.size();
    while (end > 0 && (output[end - 1] == '\n' || output[end - 1] == '\r'))
        --end;
    std::size_t begin = end;
    for (std::size_t n = 0; begin > 0; --begin)
        if (output[begin - 1] == '\n' && ++n == lines)
            break;
    return output.substr(begin, end - begin);
}

std::vector<CCrvDoc*> RunBatchFileCommand(CProject& project, CCrvDoc* active, CBatchRunner& runner,
                                          std::string script) {
    if (script.empty()) {
        FileRequest request;
        request.title = kChooseBatchFile;
        request.initialPath = project.SettingsFolder();
        request.filter = kBatchFilter;
        std::optional<std::string> chosen = platform().ChooseFile(request);
        if (!chosen)
            return {};
        script = *chosen;
    }
    CDocManager& docs = project.Documents();
    if (!SaveBeforeRun(docs))
        return {};

    std::map<std::string, FileStamp> before;
    for (CCrvDoc* doc : docs.Documents())
        if (!doc->Path().empty())
            before[doc->Path()] = StampOf(doc->Path());

    BatchJob job;
    job.script = script;
    job.folder = fs::path(script).parent_path().string();
    job.environment = {{"CORVANE_PROJECT", project.Path()},
                       {"CORVANE_SETTINGS", project.SettingsFolder()},
                       {"CORVANE_DATABASE", active ? active->Path() : std::string()}};
    const std::string name = fs::path(script).filename().string();
    BatchOutcome outcome = runner.Run(job);
    if (!outcome.started) {
        platform().ShowMessage(FormatMessage(kBatchNotRun, {name, outcome.error}));
        return {};
    }
    if (outcome.cancelled) {
        platform().ShowMessage(FormatMessage(kBatchStopped, {name}), MessageKind::Information);
    } else if (outcome.exitCode != 0) {
        std::string text = FormatMessage(kBatchFailed, {name, std::to_string(outcome.exitCode)});
        if (std::string tail = OutputTail(outcome.output); !tail.empty())
            text += "\n\n" + tail;
        platform().ShowMessage(text);
    }

    // Whatever the outcome, a database the script rewrote must not be saved over unseen.
    std::vector<CCrvDoc*> reread;
    for (const auto& [path, stamp] : before) {
        if (StampOf(path) == stamp)
            continue;
        CCrvDoc* doc = docs.FindDocument(path);
        if (!doc)
            continue;
        const std::string file = fs::path(path).filename().string();
        if (doc->IsModified()) {
            platform().ShowMessage(FormatMessage(kBatchChangedModified, {file}));
            continue;
        }
        if (platform().Ask(FormatMessage(kBatchChanged, {file}), Buttons::YesNo, Answer::Yes) !=
            Answer::Yes)
            continue;
        if (CCrvDoc* again = ReopenReplacedFile(docs, path))
            reread.push_back(again);
    }
    return reread;
}

} // namespace crv
