// Keys and objects of a settings object that this version does not read (written by a
// newer version, or by hand) are kept with the object that held them and written back in
// their place, so that reading and writing a settings file loses nothing.
//
// Reading an object whose begin line has been consumed:
//     SettingsObjectReader reader(is, "mkr", m_kept, {"fnt"});
//     while (reader.Next()) {
//         if (is.ReadString("nam", m_fieldName) || is.ReadFont("", m_font))
//             continue;
//         reader.Keep();
//     }
// and writing it:
//     os.WriteBeginMarker("mkr", Name());
//     SettingsObjectWriter writer(os, m_kept);
//     os.WriteString("nam", m_fieldName);
//     ...
//     os.WriteEndMarker("mkr");
//
// Where kept entries are written: after the known entry that came before them in the
// object as read (after the whole object, when that entry began one), before the next
// entry that the writer writes at the object's level; the n-th of several entries with the
// same key (and, for an object, the same name) counts as its own place. Entries read
// before every known entry go before the first entry written; entries whose place is not
// written again (a flag now off, a marker renamed) go just before the object's end line.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace crv {

class ObjectStream;

class KeptEntries {
public:
    bool Empty() const { return m_groups.empty(); }
    void Clear() { m_groups.clear(); }
    // Every kept entry in the order read, each ending with LF.
    std::string Text() const;
    bool operator==(const KeptEntries&) const = default;

private:
    friend class SettingsObjectReader;
    friend class SettingsObjectWriter;
    // Entries that stood together after one known entry.
    struct Group {
        std::string after;  // the known entry's place; empty: before every one
        int occurrence = 0; // which of the known entries with that place (1 = the first)
        std::string text;   // as read, lines joined by LF, each entry ending with LF
        bool operator==(const Group&) const = default;
    };
    std::vector<Group> m_groups;
};

// The objects open inside one object being passed over, captured or written, innermost
// last. An end line closes the innermost open object of its name and those opened inside
// it; one that names no open object is a stray line and closes nothing. Works without
// recursion and in time linear in the entries, however deep a damaged file nests.
class OpenObjects {
public:
    bool Empty() const { return m_names.empty(); }
    void Open(std::string_view name);
    // False when no open object has that name.
    bool Close(std::string_view name);
    const std::vector<std::string>& Names() const { return m_names; }

private:
    std::vector<std::string> m_names;
    std::unordered_map<std::string, int> m_counts;
};

class SettingsObjectReader {
public:
    enum class Place {
        // Inside an object whose reader may not be a SettingsObjectReader: an end line of
        // an object not known to be open is taken for the enclosing one's (its own end
        // line is missing).
        Inner,
        // The outermost object of a file: end lines of objects that are not open are
        // stray lines and are kept.
        File,
    };

    // objects: the nested objects this reader reads itself. An object's begin line that
    // its enclosing object's reader reads, and this one does not, ends this object where
    // its end line is missing.
    SettingsObjectReader(ObjectStream& is, std::string_view name, KeptEntries& kept,
                         std::vector<std::string_view> objects = {}, Place place = Place::Inner);
    ~SettingsObjectReader();
    SettingsObjectReader(const SettingsObjectReader&) = delete;
    SettingsObjectReader& operator=(const SettingsObjectReader&) = delete;

    // The condition of the reading loop: true while the current entry belongs to the
    // object. False at the end of the input, at the object's own end line (consumed), at
    // an enclosing object's end line and at a begin line that ends the object (neither
    // consumed). Past an overflow the rest of the input is passed over.
    bool Next();
    // The current entry matched no read: it is kept (an object with its contents) and
    // consumed.
    void Keep();
    // The current entry is read and deliberately not written back (an older version's
    // object): passed over, and what follows it is kept in the place before it.
    void Drop();

    const std::string& Name() const { return m_name; }
    bool Reads(std::string_view object) const;

private:
    ObjectStream& m_is;
    std::string m_name;
    KeptEntries& m_kept;
    std::vector<std::string_view> m_objects;
    Place m_place;
    const SettingsObjectReader* m_enclosing = nullptr;
    std::string m_head;      // the place of the entry the current turn began at
    bool m_haveHead = false; // a turn has begun
    bool m_headKept = false; // and its entry was kept
    std::string m_after;     // the place of the last known entry
    int m_occurrence = 0;
    std::unordered_map<std::string, int> m_seen; // known entries per place
};

class SettingsObjectWriter {
public:
    // Made right after the object's begin line is written; places the kept entries among
    // the entries written at the object's level until its end line.
    SettingsObjectWriter(ObjectStream& os, const KeptEntries& kept);
    ~SettingsObjectWriter();
    SettingsObjectWriter(const SettingsObjectWriter&) = delete;
    SettingsObjectWriter& operator=(const SettingsObjectWriter&) = delete;

private:
    friend class ObjectStream;
    // Called by the stream before it writes an entry.
    void BeforeEntry(std::string_view key, std::string_view value);
    void MarkDue(const std::string& place, int occurrence);
    void WriteDue();
    void Finish();

    ObjectStream& m_os;
    const KeptEntries& m_kept;
    bool m_active = false;
    std::map<std::pair<std::string, int>, std::vector<std::size_t>> m_byPlace;
    std::vector<std::size_t> m_due; // groups whose place has been written
    std::vector<bool> m_written;
    OpenObjects m_open;     // objects open inside this one
    std::string m_openedAt; // the place of the nested object being written
    int m_openedOccurrence = 0;
    std::unordered_map<std::string, int> m_seen;
};

} // namespace crv
