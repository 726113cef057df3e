// The drivers of the executor behind the interface functions.
#include "zentab/session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "zentab/safe_file.h"

namespace crv::zt {

namespace {

constexpr int kPiece = 1024;
constexpr std::size_t kFeedChunk = 1 << 16;

// Copies text into a caller's buffer, zero-terminated and cut to size - 1.
int CopyOut(const std::string& text, char* buffer, int size, bool minusOneWhenCut) {
    if (!buffer || size <= 0)
        return minusOneWhenCut && !text.empty() ? -1 : 0;
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    if (n < text.size() && minusOneWhenCut)
        return -1;
    return static_cast<int>(n);
}

} // namespace

std::unique_ptr<Session> Session::FromText(std::string_view text, MessageSink sink,
                                           const CompileErrorSink& onError) {
    Reporter reporter;
    reporter.SetSink(sink);
    auto table = CompileTable(text, reporter, onError);
    if (!table)
        return nullptr;
    return std::make_unique<Session>(std::move(table), std::move(sink));
}

std::unique_ptr<Session> Session::FromFile(const std::string& path, MessageSink sink,
                                           const CompileErrorSink& onError) {
    Reporter reporter;
    reporter.SetSink(sink);
    auto table = CompileTableFile(path, reporter, onError);
    if (!table)
        return nullptr;
    return std::make_unique<Session>(std::move(table), std::move(sink));
}

Session::Session(std::unique_ptr<Table> table, MessageSink sink)
    : m_table(std::move(table)), m_executor(*m_table, m_reporter) {
    m_reporter.SetSink(std::move(sink));
}

int Session::Fail(int number) {
    Report(number);
    return -1;
}

void Session::Report(int number, const MessageArgs& args) {
    bool hadError = m_reporter.HadError();
    try {
        m_reporter.Report(number, args);
    } catch (...) {
        if (!hadError)
            m_reporter.ClearError();
        throw;
    }
    if (!hadError)
        m_reporter.ClearError();
}

int Session::Reinitialize() {
    m_executor.Reinitialize();
    m_completed = m_lastInputGiven = false;
    return 0;
}

int Session::SetUpInputFilter(InputFunction input) {
    if (!input)
        return Fail(100);
    m_input = std::move(input);
    return 0;
}

int Session::GetBuffer(char* output, int* length) {
    if (!output)
        return Fail(101);
    if (!length || *length <= 0) {
        Report(93);
        return 0;
    }
    int want = *length;
    *length = 0;
    if (!m_input)
        return Fail(85);
    if (m_completed)
        return Fail(112);
    if (Pump(static_cast<std::size_t>(want), m_input, kPiece) == Executor::Status::Error)
        return Fail(81);
    *length = static_cast<int>(m_executor.TakeOutput(output, static_cast<std::size_t>(want)));
    if (m_executor.Finished() && m_executor.ReadyBytes() == 0) {
        m_completed = true;
        return 1;
    }
    return 0;
}

Executor::Status Session::Pump(std::size_t outputLimit, const InputFunction& pull, int piece) {
    std::vector<char> buffer;
    for (;;) {
        Executor::Status st = m_executor.Run(outputLimit);
        if (st != Executor::Status::NeedInput)
            return st;
        buffer.resize(static_cast<std::size_t>(piece));
        int n = pull(buffer.data(), static_cast<int>(buffer.size()));
        if (n < 0)
            return Executor::Status::Error;
        if (n == 0)
            m_executor.EndInput();
        else
            m_executor.FeedInput(buffer.data(),
                                 std::min(static_cast<std::size_t>(n), buffer.size()));
    }
}

// Pulls from a buffer in memory.
static InputFunction FromMemory(std::string_view input) {
    return [input, pos = std::size_t{0}](char* buffer, int size) mutable {
        std::size_t n = std::min(static_cast<std::size_t>(size), input.size() - pos);
        std::memcpy(buffer, input.data() + pos, n);
        pos += n;
        return static_cast<int>(n);
    };
}

int Session::SetUpOutputFilter(OutputFunction output) {
    m_output = std::move(output);
    return 0;
}

int Session::DrainToOutput() {
    std::vector<char> piece(kPiece);
    for (;;) {
        Executor::Status st = m_executor.Run(kFeedChunk);
        if (st == Executor::Status::Error)
            return 91;
        bool done = st == Executor::Status::Done;
        while (m_executor.ReadyBytes() >= static_cast<std::size_t>(kPiece) ||
               (done && m_executor.ReadyBytes() > 0)) {
            std::size_t n = m_executor.TakeOutput(piece.data(), kPiece);
            if (m_output(piece.data(), static_cast<int>(n)) < 0)
                return 92;
        }
        if (st != Executor::Status::OutputFull)
            return 0;
    }
}

int Session::PutBuffer(const char* input, int length, bool lastCall) {
    if (!m_output)
        return Fail(86);
    if (!input && length > 0)
        return Fail(96);
    if (length > 0 && m_executor.InputEnded()) {
        // Input after the last call would be lost: the run has ended.
        Report(91);
        return -1;
    }
    std::size_t total = length > 0 ? static_cast<std::size_t>(length) : 0;
    std::size_t offset = 0;
    do {
        std::size_t n = std::min(kFeedChunk, total - offset);
        if (n > 0)
            m_executor.FeedInput(input + offset, n);
        offset += n;
        if (offset == total && lastCall)
            m_executor.EndInput();
        if (int failure = DrainToOutput()) {
            Report(failure);
            return -1;
        }
    } while (offset < total);
    return 0;
}

int Session::ProcessBuffer(const char* input, int inputLength, char* output, int* outputLength) {
    if (!outputLength)
        return Fail(102);
    if (*outputLength <= 0) {
        Report(137);
        *outputLength = 0;
        return -1;
    }
    int capacity = *outputLength;
    *outputLength = 0;
    if (!input)
        return Fail(103);
    if (!output)
        return Fail(104);
    if (inputLength < 1) {
        Report(94);
        return 0;
    }
    if (Reinitialize() != 0)
        return Fail(97);
    Executor::Status st =
        Pump(static_cast<std::size_t>(capacity) + 1,
             FromMemory({input, static_cast<std::size_t>(inputLength)}), kFeedChunk);
    if (st == Executor::Status::Error)
        return Fail(84);
    if (st == Executor::Status::OutputFull) {
        MessageArgs args;
        args.number = capacity;
        Report(83, args);
        return -1;
    }
    *outputLength =
        static_cast<int>(m_executor.TakeOutput(output, static_cast<std::size_t>(capacity)));
    return 0;
}

int Session::MultiProcessBuffer(const char* input, int inputLength, bool lastInput, char* output,
                                int* outputLength) {
    if (!input && inputLength > 0)
        return Fail(106);
    if (!outputLength)
        return Fail(107);
    if (*outputLength < 1) {
        Report(108);
        *outputLength = 0;
        return 0;
    }
    int capacity = *outputLength;
    *outputLength = 0;
    if (!output)
        return Fail(109);
    if (m_completed)
        return Fail(111);
    if (m_lastInputGiven && inputLength > 0)
        return Fail(113);
    std::size_t got = m_executor.TakeOutput(output, static_cast<std::size_t>(capacity));
    if (inputLength > 0)
        m_executor.FeedInput(input, static_cast<std::size_t>(inputLength));
    if (lastInput && !m_lastInputGiven) {
        m_lastInputGiven = true;
        m_executor.EndInput();
    }
    if (got < static_cast<std::size_t>(capacity)) {
        if (m_executor.Run(static_cast<std::size_t>(capacity) - got) == Executor::Status::Error) {
            Report(110);
            return -1;
        }
        got += m_executor.TakeOutput(output + got, static_cast<std::size_t>(capacity) - got);
    }
    *outputLength = static_cast<int>(got);
    if (m_executor.Finished() && m_executor.ReadyBytes() == 0) {
        m_completed = true;
        return 1;
    }
    return 0;
}

int Session::ProcessFile(const char* inputFile, const char* outputFile, bool append) {
    if (!inputFile)
        return Fail(126);
    if (!outputFile)
        return Fail(127);
    MessageArgs args;
    std::FILE* in = std::fopen(inputFile, "rb");
    if (!in) {
        args.a = inputFile;
        Report(129, args);
        return -1;
    }
    if (SameFile(inputFile, outputFile)) {
        std::fclose(in);
        Report(msg::SameInputAndOutput);
        return -1;
    }
    SafeFileWriter out;
    if (!out.Open(outputFile, append)) {
        std::fclose(in);
        args.a = outputFile;
        Report(130, args);
        return -1;
    }
    Reinitialize();
    InputFunction read = [in](char* buffer, int size) {
        std::size_t n = std::fread(buffer, 1, static_cast<std::size_t>(size), in);
        return n == 0 && std::ferror(in) ? -1 : static_cast<int>(n);
    };
    std::vector<char> buffer(kFeedChunk);
    int result = 0;
    for (;;) {
        Executor::Status st = Pump(kFeedChunk, read, kPiece);
        if (st == Executor::Status::Error) {
            Report(131);
            result = -1;
            break;
        }
        bool written = true;
        while (written && m_executor.ReadyBytes() > 0) {
            std::size_t n = m_executor.TakeOutput(buffer.data(), buffer.size());
            written = out.Write(buffer.data(), n);
        }
        // A full disk ends the run at once (Commit reports it).
        if (st == Executor::Status::Done || !written)
            break;
    }
    std::fclose(in);
    if (result == 0 && !out.Commit()) {
        Report(15);
        result = -1;
    }
    return result;
}

bool Session::ProcessAll(std::string_view input, std::string& output) {
    Reinitialize();
    Executor::Status st = Pump(SIZE_MAX, FromMemory(input), kFeedChunk);
    std::size_t old = output.size();
    output.resize(old + m_executor.ReadyBytes());
    m_executor.TakeOutput(output.data() + old, output.size() - old);
    return st == Executor::Status::Done;
}

int Session::QueryStore(const char* store, char* buffer, int size) {
    int n = store ? m_table->Symbols(SymbolKind::Store).Find(store) : 0;
    std::string text = n ? m_executor.StoreText(n) : std::string();
    if (text.empty() && store)
        text = Executor::PredefinedValue(store);
    return CopyOut(text, buffer, size, true);
}

int Session::QuerySwitch(const char* name) {
    int n = name ? m_table->Symbols(SymbolKind::Switch).Find(name) : 0;
    return n && m_executor.SwitchSet(n) ? 1 : 0;
}

int Session::GetActiveGroups(char* buffer, int size) {
    return CopyOut(m_executor.ActiveGroupNames(), buffer, size, true);
}

int Session::QueryInput(char* buffer, int size) {
    return CopyOut(m_executor.InputContext(), buffer, size, false);
}

int Session::QueryOutput(char* buffer, int size) {
    return CopyOut(m_executor.RecentOutput(), buffer, size, false);
}

} // namespace crv::zt
