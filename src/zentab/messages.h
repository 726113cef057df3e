// Zentab's numbered messages: the table entries, filling in their arguments, and the
// reporter through which the compiler and executor raise them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace crv::zt {

enum class ArgKind : std::uint8_t { TwoStrings, StringCharString, String, None, Number };

struct MessageInfo {
    bool stop; // shown as a stop message; raising it puts the engine in its error state
    ArgKind kind;
    const char* text; // printf-style: %s, %c, %ld, %%
};

constexpr int kMessageCount = 138;
constexpr int kUnknownMessage = 31;

// The entry for a number; out-of-range numbers give entry kUnknownMessage.
const MessageInfo& MessageAt(int number);

struct MessageArgs {
    std::string a, b;
    char ch = 0;
    long number = 0;
};

// The message text with its arguments filled in, as the error callback receives it.
std::string FormatMessageText(int number, const MessageArgs& args = {});

// The numbers the engine raises by name.
namespace msg {
enum : int {
    BackedUpTooFar = 0,
    CaselessWithDoublebyte = 1,
    GroupExcludedNotActive = 2,
    StorageOverflow = 4,
    TooManyActiveGroups = 5,
    StoreUnchanged = 6,
    BackedTooFarStoring = 11,
    DecrNewVariable = 12,
    DecrZero = 13,
    DoublebyteInconsistent = 14,
    DoublebyteOutputMismatch = 17,
    DoublebyteTooManyArgs = 18,
    Arithmetic = 19,
    ArithmeticOperands = 20,
    SameInputAndOutput = 21,
    DefaultingToEmptyGroup = 23,
    DefaultingToGroup1 = 25,
    NoDefinition = 26,
    MemoryAllocation = 29,
    UnableToDoChanges = 30,
    StoreNeverStored = 32,
    SwitchNeverSet = 33,
    GroupNeverDefined = 34,
    DefineNeverDefined = 35,
    TooManyChanges = 38,
    GroupMultiplyDefined = 39,
    FontSectionIgnored = 40,
    GroupNotInFront = 41,
    DoNestedTooDeep = 42,
    CaselessNotInBegin = 45,
    BinaryNotInBegin = 46,
    DoublebyteNotInBegin = 47,
    UnsortedNotInBegin = 48,
    IllegalAfterWedge = 49,
    ExclRemovesAll = 50,
    TooManyPrec = 51,
    IllegalBeforeWedge = 52,
    CompileError = 53,
    TableNotFound = 55,
    TableTooLarge = 56,
    ErrorsInTable = 57,
    BinaryWithDoublebyte = 99,
    TableEmpty = 136,
};
} // namespace msg

// One message as delivered to a handler.
struct Message {
    int number = 0;
    bool stop = false;
    std::string text;
    int sourceLine = 0;
};

// Takes a message; returns false for Cancel.
using MessageSink = std::function<bool(const Message&)>;

// Thrown to unwind a running call at once: a fatal error, or Cancel in a message box.
struct FatalStop {};

// Raises messages for one engine: to its sink, or to the host's handler when it has none.
class Reporter {
public:
    void SetSink(MessageSink sink) { m_sink = std::move(sink); }
    // Delivers the message. A stop message sets the error state; Cancel throws FatalStop.
    void Report(int number, const MessageArgs& args = {}, int sourceLine = 0);
    bool HadError() const { return m_error; }
    void ClearError() { m_error = false; }

private:
    MessageSink m_sink;
    bool m_error = false;
};

} // namespace crv::zt
