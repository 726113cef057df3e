// Filters: named conditions on records, kept in the database type's filter set. A
// filter's element sequence is parsed into an expression tree when it is read or
// edited, and evaluated for each entry of the unfiltered index a filtered index is
// built from. Stored inside the type as the object "filset".
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/note.h"
#include "base/set.h"
#include "engine/filter_element.h"
#include "engine/index_filter.h"
#include "schema/type_settings_object.h"

namespace crv {

class CFilterSet;
class CIndexSet;
class CMarkerSet;
class CVarNameSet;
class ObjectStream;
struct CLangEncUpdate;
struct CMarkerUpdate;

class CFilter : public CSetEl, public CIndexFilter {
public:
    // A filter of owner (null for one kept on its own) with its elements parsed; a
    // sequence that does not parse leaves the filter matching nothing (ParseError).
    CFilter(CFilterSet* owner, std::string name, CFilterElementList elements, bool matchWhole,
            int mask);
    ~CFilter() override;

    CFilterSet* Owner() const { return m_owner; }
    const std::string& FilterName() const override { return Name(); }
    // The entry at ordinal of base, with its neighbours there.
    bool Matches(const CIndex& base, std::size_t ordinal) const override;
    // The test itself: the entry's record and field (null: none), and the records of the
    // entries before and after it in the index being filtered (null at its ends).
    bool Evaluate(const CRecord& record, const CField* field, const CRecord* prev = nullptr,
                  const CRecord* next = nullptr) const;

    // The sequence as the user built it, for editing (edit a CloneElements copy).
    const CFilterElementList& Elements() const { return m_elements; }
    bool MatchWhole() const { return m_matchWhole; }
    // 3, 23, 7 or 15.
    int MatchMask() const { return m_mask; }
    // Whether the sequence parsed; one read from settings that did not matches nothing.
    bool IsParsed() const { return m_root != nullptr; }
    const CNote& ParseError() const { return m_parseError; }

private:
    friend class CFilterSet;
    // Takes a new definition (parsed here); false when it does not parse.
    bool Define(CFilterElementList elements, bool matchWhole, int mask);

    CFilterSet* m_owner;
    CFilterElementList m_elements;
    const CFilterElement* m_root = nullptr;
    bool m_matchWhole = false;
    int m_mask = 3;
    CNote m_parseError;
    int m_fileLine = 0; // where a filter read from settings begins
    KeptEntries m_kept; // entries of "\+fil" this version does not read
};

// Told when a filter of the set changed or is about to be deleted: documents refill their
// indexes and windows let go of a filter that goes.
class CFilterSetListener {
public:
    virtual ~CFilterSetListener() = default;
    virtual void OnFilterChanged(CFilter& filter) = 0;
    virtual void OnFilterDeleting(CFilter&) {}
};

// The filter set of a database type: made by the type set's factory (see
// engine_type_settings.h), read and written in its place in the type's file.
class CFilterSet : public CSet<CFilter>, public CIndexFilterSource, public CTypeSettingsObject {
public:
    // Filters of the type whose markers are markers; patterns name the variables of the
    // markers' encoding set.
    explicit CFilterSet(CMarkerSet& markers);
    ~CFilterSet() override;
    CFilterSet(const CFilterSet&) = delete;
    CFilterSet& operator=(const CFilterSet&) = delete;

    CMarkerSet& Markers() const { return *m_markers; }
    CVarNameSet& VarNames() const;

    CFilter* Find(std::string_view name) const { return Search(name); }
    CIndexFilter* FindIndexFilter(std::string_view name) const override { return Find(name); }

    // A new filter: the name must be new ("A filter already exists with this name: ") and
    // the sequence must parse; else null with the message in error.
    CFilter* Add(std::string_view name, CFilterElementList elements, bool matchWhole, int mask,
                 CNote& error);
    // Gives filter a new name and definition under the same rules; every index that
    // uses it is refilled.
    bool Modify(CFilter* filter, std::string_view name, CFilterElementList elements,
                bool matchWhole, int mask, CNote& error);
    // Asks "Do you want to delete this filter: %1"; on Yes the listeners let go of it and
    // it is deleted. Refused with a message when an index still holds it.
    bool Delete(CFilter* filter);
    // Checks a name for a new filter or a rename of except.
    bool CheckName(std::string_view name, const CFilter* except, CNote& error) const;
    // Checks that elements may name this marker / encoding: a marker of the type
    // ("Marker not in marker list: \" and the name), an encoding of the project.
    bool CheckMarker(std::string_view name, CNote& error) const;
    bool CheckLangEnc(std::string_view name, CNote& error) const;

    void AddListener(CFilterSetListener* listener);
    void RemoveListener(CFilterSetListener* listener);

    bool IsModified() const override { return m_modified; }
    void SetModified(bool modified) override { m_modified = modified; }

    // --- settings ---
    std::string_view ObjectName() const override { return "filset"; }
    // Reads "\+filset" when it is the current entry. A broken element, an unreadable
    // date or a pattern that does not compile is kept as read (and written back), with
    // a note in notes; such a filter or element matches nothing.
    bool Read(ObjectStream& is, CNoteList& notes) override;
    // Nothing for a set without filters.
    void Write(ObjectStream& os) const override;
    // After the whole type was read: markers are looked up (each one the type lacks is
    // noted, and its elements match nothing until a marker of that name exists).
    void FinishReading(CNoteList& notes) override;

    // --- notices: markers and encodings renamed under the filters ---
    void OnMarkerUpdate(const CMarkerUpdate& update) override;
    void OnLangEncUpdate(const CLangEncUpdate& update) override;

private:
    void ReadFilter(ObjectStream& is, const std::string& name, int line, CNoteList& notes);
    void Changed(CFilter& filter);

    CMarkerSet* m_markers;
    // Patterns of a set whose markers have no encodings take their variables from here.
    std::unique_ptr<CVarNameSet> m_ownVarNames;
    std::vector<CFilterSetListener*> m_listeners;
    bool m_modified = false;
    KeptEntries m_kept; // entries of "\+filset" this version does not read
};

// Keeps an index set's filtered indexes in step with a filter set while it lives: the
// index set finds filters by name in it, and an index using a filter that changes is
// refilled. A document holds one for its database.
class CFilterSetLink : public CFilterSetListener {
public:
    CFilterSetLink(CFilterSet& filters, CIndexSet& indexes);
    ~CFilterSetLink() override;
    CFilterSetLink(const CFilterSetLink&) = delete;
    CFilterSetLink& operator=(const CFilterSetLink&) = delete;
    void OnFilterChanged(CFilter& filter) override;

private:
    CFilterSet* m_filters;
    CIndexSet* m_indexes;
};

} // namespace crv
