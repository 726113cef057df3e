// Named objects kept sorted by the unsigned byte order of their names (CSet). Past a few
// elements a set keeps a name index beside its list (a hash for exact names, a tree for
// prefixes and for the place of a new name), so that a set of 40,000 markers is searched
// and grown as fast as one of ten; CIndexedSet keeps it from the first element.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/dbl_list.h"
#include "base/note.h"

namespace crv {

class CSetEl : public CDblListEl {
public:
    CSetEl() = default;
    explicit CSetEl(std::string name) : m_name(std::move(name)) {}
    const std::string& Name() const { return m_name; }

private:
    friend class CSetBase;
    std::string m_name;
};

// Unsigned byte comparison of names: negative, zero or positive.
int CompareNames(std::string_view a, std::string_view b);

class CSetBase {
public:
    explicit CSetBase(bool indexed = false);
    virtual ~CSetBase();
    CSetBase(CSetBase&& other) noexcept;
    CSetBase& operator=(CSetBase&& other) noexcept;

    bool IsEmpty() const { return m_list.IsEmpty(); }
    std::size_t Count() const { return m_count; }

    // The first element whose name equals name (exact) or begins with it (not exact).
    CSetEl* SearchEl(std::string_view name, bool exact = true) const;
    // The same for the first length bytes of name.
    CSetEl* SearchElN(const char* name, std::size_t length, bool exact = true) const {
        return SearchEl(std::string_view(name, length), exact);
    }
    // Inserts in order, after any element with an equal name.
    void AddEl(CSetEl* el);
    CSetEl* RemoveEl(CSetEl* el);
    void DeleteEl(CSetEl* el) { delete RemoveEl(el); }
    void DeleteAll();
    void RenameEl(CSetEl* el, std::string_view name);

    // Refuses an empty name (48000) and a name in use (48009 with the name); a derived
    // set's IsValidName runs first.
    bool CheckNewName(std::string_view name, CNote& error) const;
    // base, or base with its trailing number replaced by the first free one.
    std::string MakeUniqueName(std::string_view base) const;

protected:
    virtual bool IsValidName(std::string_view, CNote&) const { return true; }
    CDblList<CSetEl> m_list;

private:
    // Each distinct name maps to the first element (in list order) that has it; the keys
    // are views of the elements' own names.
    struct NameIndex {
        std::unordered_map<std::string_view, CSetEl*> exact;
        std::map<std::string_view, CSetEl*> ordered;
    };
    void BuildIndex();
    void Indexed(CSetEl* el);
    void Unindexed(CSetEl* el);

    std::size_t m_count = 0;
    bool m_indexFromStart = false;
    std::unique_ptr<NameIndex> m_index;
};

template <class T> class CSet : public CSetBase {
public:
    using CSetBase::CSetBase;
    T* Search(std::string_view name, bool exact = true) const {
        return static_cast<T*>(SearchEl(name, exact));
    }
    T* SearchN(const char* name, std::size_t length, bool exact = true) const {
        return static_cast<T*>(SearchElN(name, length, exact));
    }
    void Add(T* el) { AddEl(el); }
    T* Remove(T* el) { return static_cast<T*>(RemoveEl(el)); }
    void Delete(T* el) { DeleteEl(el); }
    void Rename(T* el, std::string_view name) { RenameEl(el, name); }
    T* GetFirst() const { return static_cast<T*>(m_list.GetFirst()); }
    T* GetLast() const { return static_cast<T*>(m_list.GetLast()); }
    T* GetNext(const T* el) const { return static_cast<T*>(m_list.GetNext(el)); }
    T* GetPrev(const T* el) const { return static_cast<T*>(m_list.GetPrev(el)); }

    class iterator {
    public:
        explicit iterator(CSetEl* p) : m_p(p) {}
        T& operator*() const { return *static_cast<T*>(m_p); }
        T* operator->() const { return static_cast<T*>(m_p); }
        iterator& operator++() {
            m_p = m_p->NextEl() ? static_cast<CSetEl*>(m_p->NextEl()) : nullptr;
            return *this;
        }
        bool operator!=(const iterator& o) const { return m_p != o.m_p; }
        bool operator==(const iterator& o) const { return m_p == o.m_p; }

    private:
        CSetEl* m_p;
    };
    iterator begin() const { return iterator(m_list.GetFirst()); }
    iterator end() const { return iterator(nullptr); }
};

template <class T> class CIndexedSet : public CSet<T> {
public:
    CIndexedSet() : CSet<T>(true) {}
};

} // namespace crv
