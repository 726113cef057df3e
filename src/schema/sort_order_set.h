// The sort orders of one language encoding and its default sort order, with their
// settings form (the srtset object of a .lng file).
#pragma once

#include <string_view>

#include "base/kept_entries.h"
#include "base/note.h"
#include "schema/sort_order.h"

namespace crv {

class ObjectStream;

class CSortOrderSet : public CSet<CSortOrder> {
public:
    explicit CSortOrderSet(CLangEnc& owner) : m_owner(&owner) {}
    ~CSortOrderSet() override;

    // The default sort order; null only while the set is empty.
    CSortOrder* Default() const { return m_default; }
    void SetDefault(CSortOrder* so) { m_default = so; }

    // Compiles and adds a sort order. Null with the reason in error when the name is
    // empty or used ("A sort order already exists with this name: ") or it fails to compile.
    CSortOrder* AddSortOrder(std::string_view name, const CSortOrderDef& def, CNote& error);
    // Asks, then removes a sort order no index or setting holds; the first remaining one
    // becomes the default when the default goes. Refused with a message while it is held
    // or when it is the last one.
    bool DeleteSortOrder(CSortOrder* so);
    // Whether so may go: not while held, not the last one (the refusal shown).
    bool CheckDeletable(const CSortOrder* so) const;
    // Removes so without asking or checking (its deletion was asked and checked already).
    void RemoveSortOrder(CSortOrder* so);
    // Recomputes every order's case-folded weights.
    void RecomputeCaseFolding();

    // Adds a sort order with default properties named after the encoding, made default.
    void AddDefaultSortOrder();

    // The srtset object; the begin line has been read by the caller. Compile errors are
    // added to notes, each wrapped with the sort order's name.
    void Read(ObjectStream& in, CNoteList& notes);
    void Write(ObjectStream& out) const;

private:
    CLangEnc* m_owner;
    CSortOrder* m_default = nullptr;
    KeptEntries m_kept; // entries of "\+srtset" this version does not read
};

// The texts of a sort order with default properties.
CSortOrderDef DefaultSortOrderDef();
// The lines "A a" to "Z z": the default primary groups and case associations.
std::string LetterPairLines();
// One srt object.
void WriteSortOrder(ObjectStream& out, std::string_view name, const CSortOrderDef& def);

} // namespace crv
