// Sort orders: the weight table compiled from a language's primary groups, secondary
// marks and ignored units; sort keys made from text; key comparison at match levels.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/kept_entries.h"
#include "base/note.h"
#include "base/set.h"

namespace crv {

class CLangEnc;
class CSortKeyLibrary;
class CKeyChangeTable;

// Kind flags of a unit in a sort order; a mask selects the kinds that take part.
enum SortKind : unsigned char {
    kSortPrimary = 1,
    kSortUndefined = 2,
    kSortSecondary = 4, // secondary-only: a mark ordered before or after unmarked units
    kSortIgnored = 8,
};

// The four match masks offered to users, and the bit that selects case-folded weights.
enum MatchMask : int {
    kMatchPrimary = 3, // p: by primary grouping only
    kMatchNoCase = 23, // c: disregarding case
    kMatchExact = 7,   // e: exactly by secondary ordering
    kMatchAll = 15,    // i: even those normally ignored
    kMaskFolded = 16,
};

// The mask of a one-letter level code (p, c, e, i); -1 for any other letter.
int MatchMaskOfCode(char code);
char MatchCodeOfMask(int mask);

// One entry of the weight table, indexed by unit code.
struct CSortWeight {
    unsigned char primary = 0xFF;
    unsigned char folded = 0xFF; // secondary weight with case forms made equal
    unsigned char exact = 0xFF;  // secondary weight
    unsigned char kind = kSortUndefined;
};
// The comparison reads the table as bytes, four per entry.
static_assert(sizeof(CSortWeight) == 4);

// What a sort order is compiled from, as the settings file and the dialog hold it.
struct CSortOrderDef {
    std::string description;
    std::string primary;      // one group per line
    std::string secPreceding; // marks ordered before unmarked units
    std::string secFollowing; // marks ordered after unmarked units
    std::string ignore;
    bool secAfterBase = false;
    std::string changeTable; // ztt, relative to the settings folder
    std::string keyLibrary;  // dll, in the settings folder
    bool binary = false;     // SkipSeq: the key is the text, compared byte by byte
    KeptEntries kept;        // entries of "\+srt" this version does not read
    bool operator==(const CSortOrderDef&) const = default;
};

class CSortOrder : public CSetEl {
public:
    // Longest key text handed to a change table or key library.
    static constexpr std::size_t kMaxLibraryText = 255;
    // Numbered units (ordinals 1..255): the preceding, primary and following lists.
    static constexpr int kMaxOrdinals = 255;

    ~CSortOrder() override;
    // Compiles def for owner, creating the units it names there. Null, with the reason in
    // error, when a unit is defined twice or the encoding or weight table is full.
    static std::unique_ptr<CSortOrder> Compile(CLangEnc& owner, std::string name, CSortOrderDef def,
                                               CNote& error);
    // Recompiles with a new definition; on error the previous one stays in force.
    bool Modify(CSortOrderDef def, CNote& error);
    // Case-folded weights from the encoding's case associations.
    void RecomputeCaseFolding();

    CLangEnc& Owner() const { return *m_owner; }
    const CSortOrderDef& Definition() const { return m_def; }
    const std::string& Description() const { return m_def.description; }
    bool IsBinary() const { return m_def.binary; }
    bool SecAfterBase() const { return m_def.secAfterBase; }

    // Counted references from indexes and settings; each also holds the encoding.
    void AddRef();
    void Release();
    int RefCount() const { return m_refs; }

    const CSortWeight& Weight(unsigned char unit) const { return m_weights[unit]; }
    bool HasKind(unsigned char unit, int flags) const {
        return (m_weights[unit].kind & flags) != 0;
    }
    // A secondary-only unit numbered before the space unit (ordered before unmarked units).
    bool IsPrecedingSecondary(unsigned char unit) const {
        return m_weights[unit].kind == kSortSecondary && m_weights[unit].exact < m_boundary;
    }
    // Difference of the two units' weights at the mask.
    int CompareUnits(unsigned char a, unsigned char b, int mask) const;

    // The key of text (its first line, trimmed), at most maxUnits codes. False when the
    // text had to be cut or the change table failed; the key is still usable (empty for a
    // from-end key).
    bool MakeKey(std::string_view text, std::string& key, std::size_t maxUnits, bool fromEnd) const;
    // Appends 0x01 and the key: a secondary part of a composite key.
    bool MakeKeyWithSeparator(std::string_view text, std::string& key, std::size_t maxUnits,
                              bool fromEnd) const;
    // Appends the key without clearing what key holds.
    bool AppendKey(std::string_view text, std::string& key, std::size_t maxUnits,
                   bool fromEnd) const;

    // Compares the first parts (up to the end or a 0x01 byte) of two keys at a match level
    // (1, 3, 21, 23, 5, 7, 13, 15): primary first, then stricter levels while equal. With
    // whole false, a that ends where b goes on matches (prefix matching).
    int CompareKeys(std::string_view a, std::string_view b, int mask, bool whole) const;
    // The comparison at one mask only.
    int CompareAtMask(std::string_view a, std::string_view b, int mask, bool whole) const;

    // The hooks a key is made through; set when the order is compiled or modified.
    const CSortKeyLibrary* KeyLibrary() const { return m_keyLibrary.get(); }
    const CKeyChangeTable* ChangeTable() const { return m_changeTable.get(); }

private:
    CSortOrder(CLangEnc& owner, std::string name);
    bool Build(const CSortOrderDef& def, CNote& error);
    void LoadHooks();
    int CompareBinary(std::string_view a, std::string_view b, bool whole) const;

    CLangEnc* m_owner;
    int m_refs = 0;
    CSortOrderDef m_def;
    std::array<CSortWeight, 256> m_weights;
    unsigned char m_boundary = 1;
    std::unique_ptr<CSortKeyLibrary> m_keyLibrary;
    std::unique_ptr<CKeyChangeTable> m_changeTable;
};

} // namespace crv
