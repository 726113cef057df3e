// The seam between indexes and filters: what a filtered index asks of its filter, and
// how settings find a filter by name. Filters derive from CIndexFilter; a filter set
// (or anything that owns filters) implements CIndexFilterSource.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace crv {

class CIndex;
class CIndexEntry;

class CIndexFilter {
public:
    CIndexFilter() = default;
    CIndexFilter(const CIndexFilter&) = delete;
    CIndexFilter& operator=(const CIndexFilter&) = delete;
    virtual ~CIndexFilter() = default;

    // The name shown in progress texts and stored in window settings.
    virtual const std::string& FilterName() const = 0;

    // Whether the entry at ordinal of base passes. base is the unfiltered index being
    // filtered; the entry is base.EntryAt(ordinal) and its neighbours, for tests that
    // compare adjacent records, are the entries at ordinal - 1 and ordinal + 1. The
    // entry gives the record and the field (null when the record has no field of the
    // sort marker).
    virtual bool Matches(const CIndex& base, std::size_t ordinal) const = 0;

    // Indexes hold their filter counted; a filter still held must not be destroyed
    // (its owner asks the documents to let go, or refuses the deletion).
    void AddRef() { ++m_refs; }
    void Release() { --m_refs; }
    int RefCount() const { return m_refs; }

private:
    int m_refs = 0;
};

// Finds a filter by its name (window settings store the name).
class CIndexFilterSource {
public:
    virtual ~CIndexFilterSource() = default;
    // Null when there is no filter of that name.
    virtual CIndexFilter* FindIndexFilter(std::string_view name) const = 0;
};

} // namespace crv
