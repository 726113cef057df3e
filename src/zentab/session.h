// One loaded change table and its run state: what a ZTHANDLE names. Holds the ways of
// driving the executor (whole buffers, pulled input, pushed output, files) with the
// argument checks and messages of the interface functions; C++ callers use it directly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "zentab/compiler.h"
#include "zentab/executor.h"

namespace crv::zt {

// Input: fills the buffer, returns the bytes delivered, 0 at the end, negative on error.
using InputFunction = std::function<int(char* buffer, int size)>;
// Output: takes the bytes; a negative result reports a failure.
using OutputFunction = std::function<int(const char* buffer, int length)>;

class Session {
public:
    // Compiles a table; nullptr after the errors were reported (the caller raises message 70).
    static std::unique_ptr<Session> FromText(std::string_view text, MessageSink sink,
                                             const CompileErrorSink& onError = {});
    static std::unique_ptr<Session> FromFile(const std::string& path, MessageSink sink,
                                             const CompileErrorSink& onError = {});

    Session(std::unique_ptr<Table> table, MessageSink sink);

    bool IsBinary() const { return m_table->binary; }
    const Table& GetTable() const { return *m_table; }
    Executor& GetExecutor() { return m_executor; }
    void SetMessageSink(MessageSink sink) { m_reporter.SetSink(std::move(sink)); }
    Reporter& GetReporter() { return m_reporter; }

    // The interface functions, after the handle check; return codes as zentab.h gives them.
    int Reinitialize();
    int SetUpInputFilter(InputFunction input);
    int GetBuffer(char* output, int* length);
    int SetUpOutputFilter(OutputFunction output);
    int PutBuffer(const char* input, int length, bool lastCall);
    int ProcessBuffer(const char* input, int inputLength, char* output, int* outputLength);
    int MultiProcessBuffer(const char* input, int inputLength, bool lastInput, char* output,
                           int* outputLength);
    int ProcessFile(const char* inputFile, const char* outputFile, bool append);
    int QueryStore(const char* store, char* buffer, int size);
    int QuerySwitch(const char* name);
    int GetActiveGroups(char* buffer, int size);
    int QueryInput(char* buffer, int size);
    int QueryOutput(char* buffer, int size);

    // Runs the whole input through a fresh run; false after an error was reported.
    bool ProcessAll(std::string_view input, std::string& output);

private:
    // Runs until input is wanted or the run is done, handing full 1024-byte pieces (all
    // that is ready at the end) to the output function. 0, or the failing message number.
    int DrainToOutput();
    // Runs until outputLimit bytes are ready, the run is done or an error stops it, pulling
    // input whenever the executor wants more: pull fills a buffer and returns the bytes, 0 at
    // the end, negative on a read error (which gives Error).
    Executor::Status Pump(std::size_t outputLimit, const InputFunction& pull, int piece);
    // Raises an interface message. Argument errors leave the run state as it was: only the
    // engine's own stop messages put it in its error state.
    void Report(int number, const MessageArgs& args = {});
    // Report(number), then the failure code -1.
    int Fail(int number);

    Reporter m_reporter;
    std::unique_ptr<Table> m_table;
    Executor m_executor;
    InputFunction m_input;
    OutputFunction m_output;
    bool m_completed = false; // ZTGetBuffer or ZTMultiProcessBuffer returned 1
    bool m_lastInputGiven = false;
};

} // namespace crv::zt
