// Markers and marker sets: what each field of a database type holds (field name, language
// encoding, place in the marker hierarchy, range set, display and export options), and
// the counted marker reference that settings objects keep.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/counted_ref.h"
#include "base/note.h"
#include "base/object_stream.h"
#include "base/platform.h"
#include "base/set.h"
#include "schema/lang_enc_set.h"
#include "schema/range_set.h"
#include "schema/update_notice.h"

namespace crv {

class CMarkerSet;

// Everything the marker properties dialog edits, and what the settings file alone sets
// (section, hidden, subfield). Used to add a marker and to modify one.
struct CMarkerProperties {
    std::string name;
    std::string fieldName;
    std::string description;
    CLangEnc* langEnc = nullptr; // null: the set's default encoding
    CMarker* parent = nullptr;   // null: the record marker
    CMarker* following = nullptr;
    std::string rangeSetText;
    bool rangeSetCharacters = false;
    bool rangeSetAllowsSpaces = true;
    bool useLangEncFont = true;
    CFontDef font;
    bool noWordWrap = false;
    bool charStyle = false;
    int section = 0;
    bool hidden = false;
    bool subfield = false;
};

class CMarker : public CSetEl {
public:
    CMarker(CMarkerSet* owner, std::string name);
    ~CMarker() override;
    CMarker(const CMarker&) = delete;
    CMarker& operator=(const CMarker&) = delete;

    CMarkerSet* Owner() const { return m_owner; }

    // Fields using the marker (a field holds its marker counted).
    void IncUse() { ++m_useCount; }
    void DecUse() { --m_useCount; }
    int UseCount() const { return m_useCount; }
    // Settings objects holding the marker (filters, sort and jump settings, processes);
    // a marker with such references cannot be merged away.
    void IncSettingsRef() { ++m_settingsRefs; }
    void DecSettingsRef() { --m_settingsRefs; }
    int SettingsRefCount() const { return m_settingsRefs; }
    // References held by CMarkerRef objects and other counted pointers.
    void AddRef() { ++m_refs; }
    void Release() { --m_refs; }
    int RefCount() const { return m_refs; }

    const std::string& FieldName() const { return m_fieldName; }
    const std::string& Description() const { return m_description; }
    void SetDescription(std::string s) { m_description = std::move(s); }
    CLangEnc* LangEnc() const { return m_langEnc.Get(); }
    void SetLangEnc(CLangEnc* e) { m_langEnc = e; }

    // The values or characters the field may hold; empty: no checking.
    CRangeSet& RangeSet() { return m_rangeSet; }
    const CRangeSet& RangeSet() const { return m_rangeSet; }
    bool RangeSetCharacters() const { return m_rangeSetCharacters; }
    void SetRangeSetCharacters(bool b) { m_rangeSetCharacters = b; }
    bool RangeSetAllowsSpaces() const { return m_rangeSetAllowsSpaces; }
    void SetRangeSetAllowsSpaces(bool b) { m_rangeSetAllowsSpaces = b; }

    // The marker's own font, or none (the encoding's font is used). Setting one measures
    // it through the platform.
    bool UsesLangEncFont() const { return m_useLangEncFont; }
    const CFontDef& Font() const { return m_font; }
    const FontMetrics& FontMetricsOwn() const { return m_fontMetrics; }
    void SetFont(const CFontDef& font);
    void ClearFont();

    // Hierarchy: the parent is the marker this one stands under (none for the record
    // marker); the level is the number of ancestors.
    CMarker* Parent() const { return m_parent; }
    // Refuses (as a broken invariant) a parent that would make a cycle; levels of the
    // owning set are recomputed.
    void SetParent(CMarker* parent);
    int Level() const { return m_level; }
    // other is an ancestor of this marker.
    bool IsUnder(const CMarker* other) const;
    // this marker is an ancestor of other.
    bool IsOver(const CMarker* other) const { return other && other->IsUnder(this); }
    bool IsLowerLevelThan(const CMarker* other) const { return m_level > other->m_level; }
    // The nearest ancestor of this marker that is also an ancestor of other; null when
    // this marker has no parent.
    CMarker* NearestCommonAncestor(const CMarker* other) const;
    // Whether this marker may be chosen as parent of child in the properties dialog: not
    // child itself, not one of its descendants, never a subfield marker.
    bool CanBeParentOf(const CMarker* child) const;

    // The parent's and following marker's names, as they are written: those read from
    // the settings until the record marker resolves them.
    const std::string& ParentName() const { return m_parent ? m_parent->Name() : m_parentName; }
    const std::string& FollowingName() const {
        return m_following ? m_following->Name() : m_followingName;
    }

    // The marker offered for the field inserted after a field of this marker.
    CMarker* Following() const { return m_following; }
    void SetFollowing(CMarker* m) { m_following = m; }

    bool NoWordWrap() const { return m_noWordWrap; }
    void SetNoWordWrap(bool b) { m_noWordWrap = b; }
    bool CharStyle() const { return m_charStyle; }
    void SetCharStyle(bool b) { m_charStyle = b; }
    int Section() const { return m_section; }
    void SetSection(int n) { m_section = n; }
    bool Hidden() const { return m_hidden; }
    void SetHidden(bool b) { m_hidden = b; }
    bool Subfield() const { return m_subfield; }
    void SetSubfield(bool b) { m_subfield = b; }

    enum InterlinearFlag : int { kInterlinearLine = 1, kInterlinearTextLine = 2 };
    int InterlinearFlags() const { return m_interlinearFlags; }
    void SetInterlinearFlags(int f) { m_interlinearFlags = f; }

    // The marker's bit in the bit arrays of CMarkerSubSet.
    int SubsetSlot() const { return m_subsetSlot; }

    // Labels of marker lists, at most 99 characters: indent (".  " per level), backslash
    // (left out for subfield markers), name, and two spaces and the field name.
    std::string ListLabel(bool indent, bool backslash, bool fieldName) const;
    // "name  field name" and "name<TAB>field name".
    std::string ShortLabel() const;
    std::string TabLabel() const;

    CMarkerProperties Properties() const;

private:
    friend class CMarkerSet;
    CMarkerSet* m_owner;
    int m_useCount = 0;
    int m_settingsRefs = 0;
    int m_refs = 0;
    std::string m_fieldName;
    std::string m_description;
    CountedRef<CLangEnc> m_langEnc;
    CRangeSet m_rangeSet;
    bool m_rangeSetCharacters = false;
    bool m_rangeSetAllowsSpaces = true;
    bool m_useLangEncFont = true;
    CFontDef m_font;
    FontMetrics m_fontMetrics;
    bool m_noWordWrap = false;
    CMarker* m_parent = nullptr;
    int m_level = 0;
    CMarker* m_following = nullptr;
    std::string m_parentName;    // as read, until the record marker resolves it
    std::string m_followingName; // likewise
    bool m_namesRead = false;    // the two names above wait for the record marker
    bool m_charStyle = false;
    int m_section = 0;
    bool m_hidden = false;
    bool m_subfield = false;
    int m_subsetSlot = 0;
    int m_interlinearFlags = 0;
};

// A holder that moves with a marker update: the surviving marker of a merge, else the
// marker held. Documents move their fields with it (field.SetMarker(...)).
CMarker* MarkerAfterUpdate(const CMarkerUpdate& update, CMarker* held);

// A marker name plus a counted pointer to the marker, as settings objects keep them.
class CMarkerRef {
public:
    CMarkerRef() = default;
    explicit CMarkerRef(CMarker* marker) { Set(marker); }
    explicit CMarkerRef(std::string name) : m_name(std::move(name)) {}

    void Set(CMarker* marker);
    // Points at the marker of the held name, when the set has one.
    CMarker* Resolve(const CMarkerSet& set);
    CMarker* Marker() const { return m_marker.Get(); }
    const std::string& Name() const { return m_name; }
    // Follows a rename (the name) and a merge (the survivor).
    void Follow(const CMarkerUpdate& update);

private:
    std::string m_name;
    CountedRef<CMarker> m_marker;
};

class CMarkerSet : public CSet<CMarker> {
public:
    // Without an encoding set (a scratch set for a quick look at a file) markers have no
    // encoding and no notices are sent.
    explicit CMarkerSet(CLangEncSet* langEncSet);
    ~CMarkerSet() override;

    CLangEncSet* LangEncSet() const { return m_langEncSet; }
    CLangEnc* DefaultLangEnc() const { return m_defaultLangEnc.Get(); }
    void SetDefaultLangEnc(CLangEnc* e);

    bool SubfieldsFlag() const { return m_subfields; }
    void SetSubfieldsFlag(bool b) { m_subfields = b; }

    // Set whenever a marker is added or changed; the database type saves and clears it.
    bool IsModified() const { return m_modified; }
    void SetModified(bool b) { m_modified = b; }

    // --- record marker and hierarchy ---
    CMarker* RecordMarker() const { return m_recordMarker; }
    // Makes rec the record marker: it loses its parent, the old record marker goes under
    // it, and levels are recomputed. The first call after reading resolves the parent
    // and following names read from the settings file.
    void SetRecordMarker(CMarker* rec);
    // The user's change of record marker: SetRecordMarker, then a notice through the hub.
    void ChangeRecordMarker(CMarker* rec);
    // Levels from the parent chains, and the maximum level with its indent string.
    void ComputeLevels();
    int MaxLevel() const { return m_maxLevel; }
    const std::string& Indent() const { return m_indent; }
    // The markers the properties dialog offers as parent of child, in set order.
    std::vector<CMarker*> ParentChoices(const CMarker* child) const;

    // Interlinear flags from the (source, target) markers of the interlinear processes,
    // in process order: all are lines of a bundle, the first source is its text line.
    void SetInterlinearFlags(std::span<const std::pair<CMarker*, CMarker*>> processes);

    // --- finding and adding ---
    // A name met in settings before its definition: an existing marker, or a new one
    // with an empty field name. Null (with a note when notes are given) for a name that
    // is not a valid marker name.
    CMarker* SearchOrAdd(std::string_view name, CNoteList* notes = nullptr);
    // A marker met in data that the set does not know: field name "*", the default
    // encoding, directly under the record marker. Returns the existing marker when the
    // name is known. wasAdded (optional) tells which happened.
    CMarker* SearchOrAddFromData(std::string_view name, bool* wasAdded = nullptr);
    using CSet<CMarker>::Add;
    // A new marker with all its properties. Refused (null, with the error) for an invalid
    // name, "This marker already exists: ", or a field name FieldNameRefused refuses.
    CMarker* Add(const CMarkerProperties& props, CNote& error);
    // Changes the properties of marker. The name must be valid and unused (merging is
    // the dialog's business, see marker_edit.h). A changed name or encoding is
    // broadcast as a CMarkerUpdate.
    bool Modify(CMarker* marker, const CMarkerProperties& props, CNote& error);
    // Whether the field name may not be given to except (a new marker when null): it
    // holds a character that ends a style name, or another marker has it ("*" and ""
    // never clash).
    bool FieldNameRefused(std::string_view fieldName, const CMarker* except, CNote& error) const;
    // Moves every reference from marker to survivor (hierarchy, following markers, and
    // through a merge notice the fields and settings of open documents), then removes
    // marker. The caller has checked that marker is neither the record marker nor held
    // by settings.
    void Merge(CMarker* marker, CMarker* survivor);

    // --- settings file ---
    // Reads "\+mkrset" ... "\-mkrset" when it is the current entry; notes go to the
    // stream's note list.
    bool Read(ObjectStream& is);
    void Write(ObjectStream& os) const;
    // The record marker name read from the settings ("\mkrRecord"), for reference.
    const std::string& RecordMarkerNameRead() const { return m_recordMarkerName; }

    // One past the highest subset slot given to a marker.
    int SubsetSlotCount() const { return m_nextSubsetSlot; }
    // The hub that carries notices of this set's markers.
    CUpdateHub* Hub() const;

private:
    friend class CMarker;
    CMarker* NewMarker(std::string_view name);
    // A valid marker name that no marker has; else "This marker already exists: ".
    bool CheckNewMarkerName(std::string_view name, CNote& error) const;
    void ReadMarker(ObjectStream& is, std::vector<CMarker*>& defined,
                    std::vector<CMarker*>& withoutLangEnc);
    void WriteMarker(ObjectStream& os, const CMarker& m) const;
    void ResolveNames();
    void Apply(CMarker* m, const CMarkerProperties& props);
    void Broadcast(const CMarkerUpdate& update);

    CLangEncSet* m_langEncSet;
    CountedRef<CLangEnc> m_defaultLangEnc;
    CMarker* m_recordMarker = nullptr;
    std::string m_recordMarkerName;
    bool m_subfields = false;
    bool m_modified = false;
    bool m_namesPending = false;
    int m_nextSubsetSlot = 0;
    int m_maxLevel = 0;
    std::string m_indent;
    // Merged markers that some holder did not let go of: kept alive, out of the set.
    std::vector<std::unique_ptr<CMarker>> m_retired;
};

// Shown once after an insertion or paste that added markers from its text.
void TellNewMarkersAdded();

} // namespace crv
