// Error notes of settings parsers: a chain of message items, each a numbered text with an
// argument and, where it applies, the position and length of the offending text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace crv {

enum NoteId : int {
    kNoteExpectingName = 48000,
    kNoteNotExpectingChar = 48001,
    kNoteExpectingMarker = 48002,
    kNoteInMarker = 48003,
    kNoteInStyleName = 48004,
    kNoteMarkerExists = 48005,
    kNoteExpectingBackslash = 48006,
    kNoteExpectingStyleName = 48007,
    kNoteInLangEnc = 48008,
    kNoteNameUsed = 48009,
};

// The text of a numbered note item; empty for an unknown id.
std::string_view NoteText(int id);

struct CNoteItem {
    int id = 0;       // 0: text is the whole message
    std::string text; // the message text (from the id, or given)
    std::string arg;  // appended to the text
    int pos = -1;     // offset of the offending text in the parsed text, -1 when none
    int len = 0;
};

class CNote {
public:
    CNote() = default;
    CNote(int id, std::string_view arg = {}, int pos = -1, int len = 0) { Add(id, arg, pos, len); }

    // Appends a numbered item.
    CNote& Add(int id, std::string_view arg = {}, int pos = -1, int len = 0);
    // Appends an item with its own text (messages of other modules).
    CNote& AddText(std::string_view text, std::string_view arg = {}, int pos = -1, int len = 0);
    // Puts an item in front, to wrap the chain in context ("In sort order: " ...).
    CNote& Wrap(std::string_view text, std::string_view arg = {});

    bool IsEmpty() const { return m_items.empty(); }
    const std::vector<CNoteItem>& Items() const { return m_items; }
    // The first item of that id, or null.
    const CNoteItem* Find(int id) const;
    // Replaces every item of one id by another (e.g. 48000 by 48002 in marker context).
    void ReplaceId(int from, int to);

    // All items joined with single spaces.
    std::string Text() const;
    // Offset and length of the first item that carries a position; pos -1 when none.
    int Position() const;
    int Length() const;
    // 1-based line and column of Position() in source (lines counted by LFs).
    void LineAndColumn(std::string_view source, int& line, int& column) const;
    // The settings file line the note was made at (0: none), for the caller to show.
    void SetFileLine(int line) { m_fileLine = line; }
    int FileLine() const { return m_fileLine; }

private:
    std::vector<CNoteItem> m_items;
    int m_fileLine = 0;
};

// The notes collected while reading one settings file, shown together with the file.
using CNoteList = std::vector<CNote>;

} // namespace crv
