// The settings file stream: every entry is a line that begins with a backslash and a key,
// continued by the following lines that do not begin with a backslash. "\+key value"
// opens an object and "\-key" closes it; objects nest. Lines end with CR LF on disk.
// Readers peek at one entry at a time and consume it only when it matches.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/kept_entries.h"
#include "base/note.h"
#include "base/platform.h"

namespace crv {

// A font as settings hold it: with the font object's entries this version does not read.
struct CFontDef : FontSpec {
    KeptEntries kept;
};

// A window's placement as the settings files store it.
struct WindowPlacement {
    enum class State { Normal, Minimized, Maximized };
    State state = State::Normal;
    int minX = -1, minY = -1;                     // minimized position
    int maxX = -1, maxY = -1;                     // maximized position
    int left = 0, top = 0, right = 0, bottom = 0; // normal rectangle
};

// Font size in points and logical font height convert with truncating division.
// Sizes beyond kMaxFontSize are not read.
inline constexpr int kMaxFontSize = 10000;
int FontSizeFromHeight(int height);
int FontHeightFromSize(int size);

// The longest beginning of value that one entry of key can hold as WriteString writes
// it (an entry past ObjectStream::kMaxEntry would throw the reader into its overflow
// state and lose the rest of the file). A cut never splits a line end from the space
// written before a backslash that follows it.
std::string_view FitEntryValue(std::string_view key, std::string_view value);

class ObjectStream {
public:
    static constexpr std::size_t kMaxEntry = 32000;

    // A stream for reading settings.
    explicit ObjectStream(std::istream& in);
    // A stream for writing settings.
    explicit ObjectStream(std::ostream& out);

    // --- writing: each call writes one complete entry and its line end ---
    void WriteBeginMarker(std::string_view name, std::string_view value = {});
    void WriteBeginMarker(std::string_view prefix, std::string_view name, std::string_view value);
    void WriteEndMarker(std::string_view name);
    void WriteEndMarker(std::string_view prefix, std::string_view name);
    // Nothing when the value is empty.
    void WriteString(std::string_view key, std::string_view value);
    void WriteString(std::string_view prefix, std::string_view key, std::string_view value);
    // Always writes the key line; the value only when it is not empty.
    void WriteStringAlways(std::string_view key, std::string_view value);
    // The bare key line when set; nothing otherwise.
    void WriteBool(std::string_view key, bool flag);
    void WriteInteger(std::string_view key, long n);
    void WriteDouble(std::string_view key, double d);
    void WriteChar(std::string_view key, char c);
    void WriteColor(std::string_view key, std::uint32_t rgb);
    void WriteWindowPlacement(std::string_view key, const WindowPlacement& placement);
    void WriteFont(std::string_view suffix, const CFontDef& font);
    void WriteNewline();
    // Entries as PeekRawEntry gave them (lines separated by LF), written as they are,
    // with a line end after the last.
    void WriteVerbatim(std::string_view text);

    // --- reading ---
    // True when an entry is pending or the next character is a backslash.
    bool AtBackslash();
    // True when no entry is pending and the input is exhausted.
    bool AtEnd();
    bool ReadBeginMarker(std::string_view name, std::string& value);
    bool ReadBeginMarker(std::string_view name);
    bool ReadBeginMarker(std::string_view prefix, std::string_view name, std::string& value);
    // Whether the current entry begins object name (with value expected, when given),
    // without consuming it.
    bool PeekBeginMarker(std::string_view name);
    bool PeekBeginMarker(std::string_view name, std::string_view expectedValue);
    // Matches "\+name" (sign '+') or "\-name" (sign '-').
    bool ReadMarker(char sign, std::string_view name);
    // The end line of name: true and consumed. True without consuming when the entry
    // begins another object, so that a missing end line does not swallow the next
    // object. Otherwise the entry is skipped and false returned; owners end their
    // reading loops with it.
    bool ReadEnd(std::string_view name);
    bool ReadEnd(std::string_view prefix, std::string_view name);
    bool ReadString(std::string_view key, std::string& value);
    bool ReadStringWithPrefix(std::string_view prefix, std::string_view rest, std::string& value);
    bool ReadBool(std::string_view key, bool& flag);
    bool ReadInteger(std::string_view key, int& n);
    bool ReadInteger(std::string_view key, long& n);
    bool ReadDouble(std::string_view key, double& d);
    bool ReadChar(std::string_view key, char& c);
    // Components missing from the value keep those of rgb.
    bool ReadColor(std::string_view key, std::uint32_t& rgb);
    // Matched entries are consumed; the placement changes only when all nine items are
    // present.
    bool ReadWindowPlacement(std::string_view key, WindowPlacement& placement);
    // A font object "\+fnt<suffix>" ... "\-fnt<suffix>"; entries it does not read are
    // kept with the font.
    bool ReadFont(std::string_view suffix, CFontDef& font);

    // Whether the current entry begins or ends an object, without consuming it.
    bool IsBeginOrEnd();
    // Whether the current entry ends an object other than name, without consuming it: an
    // enclosing object's end line met where name's own end line is missing.
    bool IsOtherEnd(std::string_view name);
    // Consumes the current entry whatever it is.
    void SkipEntry();
    // Consumes the current entry and, when it begins an object, the object's contents
    // and end line; stops before an end line that belongs to an enclosing object.
    void SkipObject();
    // Whether a reader of this stream is reading object name: a SettingsObjectReader or
    // one that marked it open (ReadingObject in unknown_entries.h).
    bool IsObjectOpen(std::string_view name) const;
    void PushOpenObject(std::string_view name) { m_openObjects.emplace_back(name); }
    void PopOpenObject() { m_openObjects.pop_back(); }
    bool Overflow() const { return m_overflow; }

    // The key and value of the current entry (reading it when none is pending).
    std::string_view PeekKey();
    std::string_view PeekValue();
    // The current entry as it stands in the input: its lines joined by LF, untrimmed.
    std::string_view PeekRawEntry();
    // Line number (1-based) where the current entry starts.
    int EntryLine() const { return m_entryLine; }

    // Errors of name parsers while reading, shown with the file by the owner.
    CNoteList& Notes() { return m_notes; }

private:
    friend class SettingsObjectReader;
    friend class SettingsObjectWriter;

    bool Current();
    bool ReadLine(std::string& line);
    void WriteEntry(std::string_view key, std::string_view value, bool always);
    void WriteRaw(std::string_view text);
    // Tells the writers of the objects being written of the entry about to be written.
    void BeforeEntry(std::string_view entry);
    // Kept entries: written as they are, with no writer told.
    void WriteKept(std::string_view text) { WriteRaw(text); }
    bool TakeIfKey(std::string_view key);
    bool TakeIfKey(std::string_view prefix, std::string_view key);

    std::istream* m_in = nullptr;
    std::ostream* m_out = nullptr;
    bool m_pending = false;
    bool m_overflow = false;
    std::string m_key;
    std::string m_value;
    std::string m_raw;
    std::string m_line;
    int m_lineNumber = 0;
    int m_entryLine = 0;
    CNoteList m_notes;
    std::vector<SettingsObjectReader*> m_readers; // innermost last
    std::vector<SettingsObjectWriter*> m_writers;
    std::vector<std::string> m_openObjects; // read by other readers, innermost last
};

} // namespace crv
