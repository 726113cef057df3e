// The project's find and replace settings (object "Find" of the project file): where to
// search, how to match, the history of find texts and the last replacement.
//   \+Find  \MatchWhole  \SingleRecord  \SingleField  \Field MKR  \match_char p|c|e|i
//   \+ftxlst (\+ftx \text ... \lng ... \-ftx)... \-ftxlst  \Replace ...  \-Find
// Entries this version does not know are kept and written back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace crv {

class ObjectStream;

struct CFindHistoryEntry {
    std::string text;
    std::string lang; // the language encoding the text was typed in
    std::string unknown;
};

class CFindSettings {
public:
    static constexpr std::size_t kMaxHistory = 20;

    bool matchWhole = false;
    bool singleRecord = false; // the current record only, else the window's filtered index
    bool singleField = false;  // fields of marker field only, else fields of the text's language
    std::string field;
    int mask = 3; // the comparison level (3, 23, 7 or 15)
    // Most recent first; the first entry is the text a search looks for.
    std::vector<CFindHistoryEntry> history;
    std::string replace;

    // The text to find and its language: the first history entry (empty when none).
    const std::string& Text() const;
    const std::string& Lang() const;
    // Puts text first; an equal entry (same text and language) is taken out first, and
    // the oldest goes when more than kMaxHistory remain.
    void AddToHistory(std::string text, std::string lang);

    void Write(ObjectStream& os) const;
    // Reads the object when it is the current entry.
    bool Read(ObjectStream& is);

private:
    std::string m_unknown;
    std::string m_unknownHistory;
};

} // namespace crv
