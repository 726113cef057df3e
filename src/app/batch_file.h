// Running a batch file (a shell script) from the desktop program: the modified databases
// saved first when the user wants, the script run in its own folder with the project and
// the active database named in its environment, a failure told with the end of what the
// script wrote, and the databases it rewrote read again.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace crv {

class CCrvDoc;
class CProject;

struct BatchJob {
    std::string script;
    std::string folder; // the script runs here
    std::vector<std::pair<std::string, std::string>> environment;
};

struct BatchOutcome {
    bool started = false;   // false: error says why it did not run
    bool cancelled = false; // the user stopped it
    int exitCode = 0;
    std::string output; // standard output and error, as the script wrote them
    std::string error;
};

// Runs a job and waits for it, with a progress display that can stop it.
class CBatchRunner {
public:
    virtual ~CBatchRunner() = default;
    virtual BatchOutcome Run(const BatchJob& job) = 0;
};

// The last lines of a script's output, as a message shows them.
std::string OutputTail(const std::string& output, std::size_t lines = 12);

// The Run Batch File command: script, or one the user chooses; active is the database of
// the active window (named to the script), or null. Returns the documents read again
// because the script rewrote their files; their old windows are gone.
std::vector<CCrvDoc*> RunBatchFileCommand(CProject& project, CCrvDoc* active, CBatchRunner& runner,
                                          std::string script = {});

} // namespace crv
