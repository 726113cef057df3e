// The change-table executor: runs a compiled table over a stream of characters fed in
// pieces, keeping stores, switches, active groups, the back buffer and pending input.
// The result never depends on how the input is cut into pieces: a match that needs
// characters not yet fed waits for them.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "zentab/messages.h"
#include "zentab/table.h"

namespace crv::zt {

using DebugHook = std::function<int(int sourceLine, std::intptr_t value)>;

class Executor {
public:
    enum class Status { NeedInput, OutputFull, Done, Error };

    Executor(const Table& table, Reporter& reporter);

    // Back to the state after loading: stores empty, switches clear, buffers empty, the back
    // buffer full of spaces, the begin section to run again.
    void Reinitialize();

    // Adds input bytes; in text mode a line end (LF, CR LF or CR) becomes the element nl (13).
    void FeedInput(const char* data, std::size_t length);
    // No more input will come.
    void EndInput();
    bool InputEnded() const { return m_inputEnded; }

    // Runs until at least outputLimit bytes are ready (SIZE_MAX: no limit), more input is
    // needed, everything is processed and flushed (Done), or an error stopped it.
    // FatalStop passes through (Cancel, fatal errors).
    Status Run(std::size_t outputLimit);

    std::size_t ReadyBytes() const { return m_ready.size() - m_readyPos; }
    std::size_t TakeOutput(char* buffer, std::size_t max);
    bool Finished() const { return m_phase == Phase::Finished; }

    // Queries for the interface.
    std::string StoreText(int number) const;
    // The value of one of the four predefined stores by name; empty for other names.
    static std::string PredefinedValue(const std::string& name);
    bool SwitchSet(int number) const {
        return number >= 1 && number <= kMaxSymbol && m_switches[number];
    }
    std::string ActiveGroupNames() const;
    std::string InputContext() const;
    std::string RecentOutput() const;

    void SetDebugHooks(DebugHook lineTrace, DebugHook other);
    // Stops a run with an error after this many steps (0: never). Keeps fuzzing bounded.
    void SetStepBudget(std::uint64_t steps) { m_budget = steps; }

private:
    enum class Phase { NotStarted, Running, Finished };
    enum class Match { No, Yes, NeedMore };
    enum class Exec { Continue, NeedInput, OutputFull, Error };
    struct Frame {
        std::uint32_t pc, end, start;
        int following;
    };
    struct Operand {
        std::vector<Element> text;
        std::uint32_t after;      // first element after the operand
        std::uint32_t continueAt; // where a true test goes on
    };

    // Matching
    Match FindMatch(int& change, std::size_t& length, bool& folded);
    Match MatchChange(const Change& c, bool skipFirst, std::size_t& length);
    bool TryEndfileChanges();
    bool InStore(int store, Element e);
    bool Preceding(std::size_t distance, Element& e, bool fillerCounts) const;
    void RebuildPossible();
    void RunPlain();
    void StartChange(int index, bool folded);
    void SetDefaultGroups();

    // Output parts
    Exec ExecuteFrames();
    Exec ExecuteCommand(std::uint8_t code, Element arg, std::uint32_t next);
    void SkipBlock(Frame& f, bool stopAtElse);
    // Starts store() or append() at the current command with its further arguments;
    // where the output part goes on.
    std::uint32_t StartStoring(std::uint8_t code, int store, std::uint32_t next);
    Operand ReadOperand(std::uint32_t next, std::uint8_t code) const;
    bool Compare(std::uint8_t code, int store, const std::vector<Element>& operand) const;
    void Arithmetic(std::uint8_t code, int store, const std::vector<Element>& operand);
    void Increment(int store, bool up);
    void Back(std::size_t count);
    void Include(int group);
    void Exclude(int group);

    // Output and stores
    void Emit(Element e);
    void EmitInput(std::size_t from, std::size_t to);
    void EmitText(const std::string& text);
    void StoreAppend(int store, Element e);
    // Output while storing: into every store being filled.
    void StoreOutput(Element e);
    void EndStoring();
    bool StoringIntoMatchStore() const;
    void StoreChanged(int store);
    std::vector<Element> StoreValue(int store) const;
    std::string StoreName(int store) const;
    std::string GroupNameOf(int group) const { return m_table.GroupName(group); }
    void AppendBytes(std::string& out, Element e);
    void AppendQuietly(std::string& out, Element e) const;
    void FlushRing(bool all);
    bool OutputReady();
    void PushInputFront(const Element* data, std::size_t count);
    void Finish();
    bool OverBudget();

    const Table& m_table;
    Reporter& m_reporter;

    // Input window: m_in[m_inPos..] is pending; m_matched the characters of the last match.
    std::vector<Element> m_in;
    std::size_t m_inPos = 0;
    bool m_inputEnded = false;
    bool m_lastWasCR = false;
    int m_lead = -1;
    std::vector<Element> m_matched;

    // Output: m_out[m_written..] not yet converted to bytes; its last m_ringCount elements
    // are the back buffer that back() may take again. m_out[..m_fillerEnd) are the spaces
    // the back buffer starts with, never written.
    std::vector<Element> m_out;
    std::size_t m_written = 0, m_fillerEnd = 0, m_ringCount = 0;
    std::string m_ready;
    std::size_t m_readyPos = 0;
    std::size_t m_limit = SIZE_MAX;

    std::array<std::vector<Element>, kMaxSymbol + 1> m_stores;
    struct StoreSet {
        std::bitset<256> bits;
        bool wide = false;
        bool valid = false;
    };
    std::array<StoreSet, kMaxSymbol + 1> m_sets;
    std::bitset<kMaxSymbol + 1> m_overflowWarned;
    int m_storing = 0;              // the store being filled (prec() and back() read it)
    std::vector<int> m_storingMore; // the further stores of store(a,b), filled alike
    std::bitset<kMaxSymbol + 1> m_switches;
    std::vector<std::uint8_t> m_active;
    std::array<bool, 256> m_possible{};
    bool m_possibleValid = false;
    bool m_plainGroups = false; // no active group has a change that starts with a command

    std::vector<Frame> m_frames;
    Phase m_phase = Phase::NotStarted;
    bool m_inBegin = false;
    bool m_ended = false;    // endfile command ran
    bool m_endTried = false; // endfile changes were tried at the end of input
    bool m_upperNext = false;
    bool m_doublebyteWarned = false;
    int m_currentGroup = 1;
    unsigned m_literalSteps = 0;

    DebugHook m_lineTrace, m_otherTrace;
    std::uint64_t m_budget = 0, m_steps = 0;
};

} // namespace crv::zt
