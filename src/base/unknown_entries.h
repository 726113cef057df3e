// Entries of a settings object that this version does not read (keys and objects of newer
// versions, values it cannot use): captured as they stand and written back before the
// object's end line, so that a load and a save lose nothing. The readers of objects that
// keep no order of their own (jump paths, interlinear and export processes, corpora) use
// this; the files' top-level objects keep each entry's place (kept_entries.h).
#pragma once

#include <string>
#include <string_view>

#include "base/object_stream.h"

namespace crv {

class UnknownEntries {
public:
    // Takes the current entry (an object whole) of the object named enclosing.
    void Capture(ObjectStream& is, std::string_view enclosing);
    // Keeps one entry given as it stood in the input (PeekRawEntry).
    void AddRaw(std::string_view raw);
    // The current entry captured as Capture takes it, for a reader that decides later
    // whether to keep it (AddCaptured), in its place among the others.
    static std::string Take(ObjectStream& is, std::string_view enclosing);
    void AddCaptured(std::string_view captured) { m_text += captured; }
    void Write(ObjectStream& os) const;
    bool IsEmpty() const { return m_text.empty(); }
    const std::string& Text() const { return m_text; }
    bool operator==(const UnknownEntries&) const = default;

private:
    std::string m_text;
};

// Whether the current entry ends the object name: its own end line (consumed), or the
// end line of an enclosing object where name's is missing (left for the enclosing
// reader). At the end of the input too.
bool AtObjectEnd(ObjectStream& is, std::string_view name);

// Marks object name open on the stream while a reader that loops on AtObjectEnd reads it,
// so that an object captured inside stops at its end line as the reader itself does;
// kept, the end line would end the object early when the file is read again.
class ReadingObject {
public:
    ReadingObject(ObjectStream& is, std::string_view name) : m_is(is) { is.PushOpenObject(name); }
    ~ReadingObject() { m_is.PopOpenObject(); }
    ReadingObject(const ReadingObject&) = delete;
    ReadingObject& operator=(const ReadingObject&) = delete;

private:
    ObjectStream& m_is;
};

} // namespace crv
