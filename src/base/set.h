// Named objects kept sorted by the unsigned byte order of their names (CSet), with an
// optional 256-entry first-byte table for sets searched per keystroke (CIndexedSet).
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

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
    virtual ~CSetBase() = default;
    CSetBase(CSetBase&&) = default;
    CSetBase& operator=(CSetBase&&) = default;

    bool IsEmpty() const { return m_list.IsEmpty(); }
    std::size_t Count() const { return m_list.Count(); }

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
    void IndexInserted(CSetEl* el);
    void IndexRemoved(CSetEl* el);
    std::unique_ptr<std::array<CSetEl*, 256>> m_firstByte;
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
