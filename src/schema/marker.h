// Markers and marker sets: what each field of a database type holds (field name, language
// encoding, place in the marker hierarchy, range set, display and export options).
#pragma once

#include <string>
#include <string_view>

#include "record/counted_ref.h"
#include "record/platform.h"
#include "record/set.h"
#include "schema/lang_enc_set.h"

namespace crv {

class CMarkerSet;

class CMarker : public CSetEl {
public:
    CMarker(CMarkerSet* owner, std::string name);
    ~CMarker() override;

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
    // References held by CMarkerRef objects.
    void AddRef() { ++m_refs; }
    void Release() { --m_refs; }
    int RefCount() const { return m_refs; }

    const std::string& FieldName() const { return m_fieldName; }
    void SetFieldName(std::string s) { m_fieldName = std::move(s); }
    const std::string& Description() const { return m_description; }
    void SetDescription(std::string s) { m_description = std::move(s); }
    CLangEnc* LangEnc() const { return m_langEnc.Get(); }
    void SetLangEnc(CLangEnc* e) { m_langEnc = e; }

    // Hierarchy: the parent is the marker this one stands under (none for the record
    // marker); the level is the number of ancestors.
    CMarker* Parent() const { return m_parent; }
    void SetParent(CMarker* parent) { m_parent = parent; }
    int Level() const { return m_level; }
    // other is an ancestor of this marker.
    bool IsUnder(const CMarker* other) const;
    // this marker is an ancestor of other.
    bool IsOver(const CMarker* other) const { return other && other->IsUnder(this); }
    bool IsLowerLevelThan(const CMarker* other) const { return m_level > other->m_level; }
    // The nearest ancestor of this marker that is also an ancestor of other; null when
    // this marker has no parent.
    CMarker* NearestCommonAncestor(const CMarker* other) const;

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

    // Bit 1: a line of an interlinear bundle; bit 2: the bundle's text line.
    int InterlinearFlags() const { return m_interlinearFlags; }
    void SetInterlinearFlags(int f) { m_interlinearFlags = f; }

private:
    friend class CMarkerSet;
    CMarkerSet* m_owner;
    int m_useCount = 0;
    int m_settingsRefs = 0;
    int m_refs = 0;
    std::string m_fieldName;
    std::string m_description;
    CountedRef<CLangEnc> m_langEnc;
    CMarker* m_parent = nullptr;
    int m_level = 0;
    CMarker* m_following = nullptr;
    std::string m_parentName;    // as read, until the record marker resolves it
    std::string m_followingName; // likewise
    bool m_noWordWrap = false;
    bool m_charStyle = false;
    int m_section = 0;
    bool m_hidden = false;
    bool m_subfield = false;
    int m_interlinearFlags = 0;
};

class CMarkerSet : public CSet<CMarker> {
public:
    explicit CMarkerSet(CLangEncSet* langEncSet);
    ~CMarkerSet() override;

    CLangEncSet* LangEncSet() const { return m_langEncSet; }
    CLangEnc* DefaultLangEnc() const { return m_defaultLangEnc.Get(); }
    void SetDefaultLangEnc(CLangEnc* e) { m_defaultLangEnc = e; }

    CMarker* RecordMarker() const { return m_recordMarker; }
    // Makes rec the record marker: it loses its parent, the old record marker goes under
    // it, and levels are recomputed.
    void SetRecordMarker(CMarker* rec);

    // A marker met in data that the set does not know: field name "*", the default
    // encoding, directly under the record marker. Returns the existing marker when the
    // name is known. wasAdded (optional) tells which happened.
    CMarker* SearchOrAddFromData(std::string_view name, bool* wasAdded = nullptr);

    // Levels from the parent chains, and the maximum level with its indent string.
    void ComputeLevels();
    int MaxLevel() const { return m_maxLevel; }
    const std::string& Indent() const { return m_indent; }

private:
    CLangEncSet* m_langEncSet;
    CountedRef<CLangEnc> m_defaultLangEnc;
    CMarker* m_recordMarker = nullptr;
    int m_maxLevel = 0;
    std::string m_indent;
};

} // namespace crv
