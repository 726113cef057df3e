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
    if (!input) {
        Report(100);
        return -1;
    }
    m_input = std::move(input);
    return 0;
}

int Session::GetBuffer(char* output, int* length) {
    if (!output) {
        Report(101);
        return -1;
    }
    if (!length || *length <= 0) {
        Report(93);
        return 0;
    }
    int want = *length;
    *length = 0;
    if (!m_input) {
        Report(85);
        return -1;
    }
    if (m_completed) {
        Report(112);
        return -1;
    }
    std::vector<char> buffer(kPiece);
    for (;;) {
        Executor::Status st = m_executor.Run(static_cast<std::size_t>(want));
        if (st == Executor::Status::Error) {
            Report(81);
            return -1;
        }
        if (st != Executor::Status::NeedInput)
            break;
        int n = m_input(buffer.data(), kPiece);
        if (n < 0) {
            Report(81);
            return -1;
        }
        if (n == 0)
            m_executor.EndInput();
        else
            m_executor.FeedInput(buffer.data(), static_cast<std::size_t>(std::min(n, kPiece)));
    }
    *length = static_cast<int>(m_executor.TakeOutput(output, static_cast<std::size_t>(want)));
    if (m_executor.Finished() && m_executor.ReadyBytes() == 0) {
        m_completed = true;
        return 1;
    }
    return 0;
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
    if (!m_output) {
        Report(86);
        return -1;
    }
    if (!input && length > 0) {
        Report(96);
        return -1;
    }
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
    if (!outputLength) {
        Report(102);
        return -1;
    }
    if (*outputLength <= 0) {
        Report(137);
        *outputLength = 0;
        return -1;
    }
    int capacity = *outputLength;
    *outputLength = 0;
    if (!input) {
        Report(103);
        return -1;
    }
    if (!output) {
        Report(104);
        return -1;
    }
    if (inputLength < 1) {
        Report(94);
        return 0;
    }
    if (Reinitialize() != 0) {
        Report(97);
        return -1;
    }
    std::size_t limit = static_cast<std::size_t>(capacity) + 1;
    std::size_t total = static_cast<std::size_t>(inputLength), offset = 0;
    Executor::Status st;
    do {
        std::size_t n = std::min(kFeedChunk, total - offset);
        m_executor.FeedInput(input + offset, n);
        offset += n;
        if (offset == total)
            m_executor.EndInput();
        st = m_executor.Run(limit);
    } while (st == Executor::Status::NeedInput && offset < total);
    if (st == Executor::Status::Error) {
        Report(84);
        return -1;
    }
    if (st == Executor::Status::OutputFull) {
        MessageArgs args;
        args.number = capacity;
        Report(83, args);
        return -1;
    }
    *outputLength = static_cast<int>(m_executor.TakeOutput(output, static_cast<std::size_t>(capacity)));
    return 0;
}

int Session::MultiProcessBuffer(const char* input, int inputLength, bool lastInput, char* output,
                                int* outputLength) {
    if (!input && inputLength > 0) {
        Report(106);
        return -1;
    }
    if (!outputLength) {
        Report(107);
        return -1;
    }
    if (*outputLength < 1) {
        Report(108);
        *outputLength = 0;
        return 0;
    }
    int capacity = *outputLength;
    *outputLength = 0;
    if (!output) {
        Report(109);
        return -1;
    }
    if (m_completed) {
        Report(111);
        return -1;
    }
    if (m_lastInputGiven && inputLength > 0) {
        Report(113);
        return -1;
    }
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
    if (!inputFile) {
        Report(126);
        return -1;
    }
    if (!outputFile) {
        Report(127);
        return -1;
    }
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
    std::vector<char> buffer(kPiece);
    int result = 0;
    for (;;) {
        Executor::Status st = m_executor.Run(kFeedChunk);
        if (st == Executor::Status::Error) {
            Report(131);
            result = -1;
            break;
        }
        while (m_executor.ReadyBytes() > 0) {
            std::size_t n = m_executor.TakeOutput(buffer.data(), buffer.size());
            if (!out.Write(buffer.data(), n))
                break;
        }
        if (st == Executor::Status::Done)
            break;
        if (st == Executor::Status::NeedInput) {
            std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
            if (n == 0) {
                if (std::ferror(in)) {
                    Report(131);
                    result = -1;
                    break;
                }
                m_executor.EndInput();
            } else {
                m_executor.FeedInput(buffer.data(), n);
            }
        }
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
    std::size_t offset = 0;
    Executor::Status st;
    do {
        std::size_t n = std::min(kFeedChunk, input.size() - offset);
        m_executor.FeedInput(input.data() + offset, n);
        offset += n;
        if (offset == input.size())
            m_executor.EndInput();
        st = m_executor.Run(SIZE_MAX);
        if (m_executor.ReadyBytes() > 0) {
            std::size_t old = output.size();
            output.resize(old + m_executor.ReadyBytes());
            m_executor.TakeOutput(output.data() + old, output.size() - old);
        }
    } while (st == Executor::Status::NeedInput && offset < input.size());
    return st == Executor::Status::Done;
}

int Session::QueryStore(const char* store, char* buffer, int size) {
    int n = store ? m_table->Symbols(SymbolKind::Store).Find(store) : 0;
    return CopyOut(n ? m_executor.StoreText(n) : std::string(), buffer, size, true);
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
