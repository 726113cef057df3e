// The word index of a corpus: every word with the references of its occurrences, the
// files it was made from with their modification times, and the table of book names;
// and its file (".wi"), which lets a run read only the files that changed.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/file_bytes.h"
#include "corpus/ref_list.h"

namespace crv {

struct CIndexedFile {
    std::uint16_t number = 0;
    std::string path; // as the corpus lists it
    std::string time; // "YYYY/MM/DD,hh:mm:ss" (UTC), or kUnsureTime
};

// The markers and word characters an index was made with; an index made with others
// is of no use.
struct CWordIndexIdentity {
    std::uint64_t wordChars = 0; // CWordChars::Fingerprint
    std::string wordMarkers;
    std::string bookMarker;
    std::string chapMarker;
    std::string verseMarker;
    bool operator==(const CWordIndexIdentity&) const = default;
};

// The words of an index with their references. Open addressing over one array of slots,
// each holding part of the word's hash and its entry's place, so that the look-up made
// for every word of a corpus touches one slot and one entry.
class CWordTable {
public:
    struct Entry {
        std::string word;
        CRefList refs;
    };

    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    void clear();
    std::vector<Entry>::iterator begin() { return m_entries.begin(); }
    std::vector<Entry>::iterator end() { return m_entries.end(); }
    std::vector<Entry>::const_iterator begin() const { return m_entries.begin(); }
    std::vector<Entry>::const_iterator end() const { return m_entries.end(); }

    // The entry of word, or null. Valid until a word is added or dropped.
    const Entry* FindEntry(std::string_view word) const;
    // The references of word, or null; valid as long as the entry.
    const CRefList* Find(std::string_view word) const {
        const Entry* e = FindEntry(word);
        return e ? &e->refs : nullptr;
    }
    // The references of word, added empty when missing (added tells which).
    CRefList& Get(std::string_view word, bool* added = nullptr);
    CRefList& operator[](std::string_view word) { return Get(word); }
    // Drops the words left without references.
    void DropEmpty();

private:
    std::size_t Slot(std::string_view word, std::uint64_t hash) const;
    void Rehash(std::size_t slots);

    std::vector<Entry> m_entries;
    std::vector<std::uint64_t> m_slots; // high 32 bits of the hash, entry place + 1; 0 free
};

class CWordIndex {
public:
    // Names past the table's limit get this entry ("???").
    static constexpr std::uint8_t kUnknownBook = 255;
    static constexpr std::size_t kMaxNames = 255;
    // Chapter and verse numbers are kept to one byte.
    static constexpr int kMaxRefNumber = 255;
    // An index with a higher file number is made again with the files renumbered.
    static constexpr int kMaxFileNumber = 900;
    // A time that matches no file: the file is read again next time.
    static constexpr std::string_view kUnsureTime = "0000/00/00,00:00:00";

    CWordIndexIdentity identity;
    std::vector<CIndexedFile> files;
    std::vector<std::string> bookNames;
    CWordTable words;
    // The bytes Load read, which unchanged words' references point into.
    std::shared_ptr<const CFileBytes> source;

    // The entry of name in the book-name table, added when missing; kUnknownBook when
    // the table is full (full set then).
    std::uint8_t BookNumber(std::string_view name, bool& full);
    std::string_view BookName(std::uint8_t book) const;
    const CIndexedFile* FindFile(std::uint16_t number) const;
    int HighestFileNumber() const;
    // Takes the references of the files whose numbers are set in removed out of every
    // word, drops words left without one, and drops those files.
    void RemoveFiles(const std::vector<bool>& removed);
    // Drops book names no reference uses and renumbers the rest, so that names of
    // files gone do not fill the table.
    void CompactNames();
    // Puts every word's references in corpus order: by the place of their file in the
    // corpus list (position, by file number), then by offset. Cheap for words in order
    // already, and for words whose out-of-place references are those of files just read
    // again. True when any moved.
    bool SortInCorpusOrder(const std::vector<int>& position);
    std::size_t ReferenceCount() const;

    // The file's bytes:
    //   "Word List Data File v1.1\n"
    //   "chars " + 16 hex digits of identity.wordChars + "\n"
    //   word markers "\n" book marker "\n" chapter marker "\n" verse marker "\n"
    //   u16 number of files, then per file "%u,%s,%04i/%02i/%02i,%02i:%02i:%02i\n"
    //   u16 number of book names, then each name and "\n", then "\n"
    //   per word, in byte order of the words: u32 length of the word, the word, "\n",
    //     u32 number of references, then the references: u32 length in bytes and the
    //     bytes, packed as CRefList packs them
    //   end: u32 0, "\n", u32 checksum of every byte before the end
    // Integers are little-endian. Nothing follows the end.
    std::string Serialize() const;
    void Serialize(std::ostream& os) const;
    // Reads bytes written by Serialize. False for anything else (a damaged, truncated or
    // foreign file); index is then unspecified. The references are copied.
    static bool Parse(std::string_view bytes, CWordIndex& index);
    // Reads the index file at path; false when it cannot be read or Parse refuses it. The
    // references stay in the file's bytes, which the index keeps.
    static bool Load(const std::string& path, CWordIndex& index);

private:
    static bool ParseInto(std::string_view bytes, CWordIndex& index, bool borrow);
};

// The checksum of the index file, taken piece by piece.
class CChecksum {
public:
    void Add(std::string_view bytes);
    std::uint32_t Finish() const;

private:
    void Block(const char* p);
    std::uint64_t m_lane[4] = {0x9E3779B97F4A7C15ULL, 0xC2B2AE3D27D4EB4FULL, 0x165667B19E3779F9ULL,
                               0x27D4EB2F165667C5ULL};
    char m_carry[32] = {};
    std::size_t m_carried = 0;
    std::uint64_t m_total = 0;
};
std::uint32_t WordIndexChecksum(std::string_view bytes);

} // namespace crv
