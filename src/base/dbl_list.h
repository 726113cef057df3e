// The intrusive doubly linked list everything is built on. A list owns its elements:
// deleting from it destroys them, removing hands them back unlinked.
#pragma once

#include <cstddef>
#include <iterator>

namespace crv {

class CDblListBase;

class CDblListEl {
public:
    CDblListEl() = default;
    // Copies of an element start unlinked.
    CDblListEl(const CDblListEl&) {}
    // Assignment leaves the links alone, so assigning an element to itself changes nothing.
    CDblListEl& operator=(const CDblListEl&) { // NOLINT(bugprone-unhandled-self-assignment)
        return *this;
    }
    virtual ~CDblListEl();

    CDblListEl* NextEl() const { return m_next; }
    CDblListEl* PrevEl() const { return m_prev; }

private:
    friend class CDblListBase;
    CDblListEl* m_prev = nullptr;
    CDblListEl* m_next = nullptr;
};

// Untyped list operations; CDblList<T> adds typed navigation.
class CDblListBase {
public:
    CDblListBase() = default;
    CDblListBase(const CDblListBase&) = delete;
    CDblListBase& operator=(const CDblListBase&) = delete;
    CDblListBase(CDblListBase&& other) noexcept;
    CDblListBase& operator=(CDblListBase&& other) noexcept;
    ~CDblListBase() { DeleteAll(); }

    bool IsEmpty() const { return m_first == nullptr; }
    // Inline: the reader adds every field of a file through it.
    void Add(CDblListEl* el) {
        if (!IsLinkable(el))
            return;
        el->m_prev = m_last;
        if (m_last)
            m_last->m_next = el;
        else
            m_first = el;
        m_last = el;
    }
    void InsertAfter(CDblListEl* pos, CDblListEl* el);
    void InsertBefore(CDblListEl* pos, CDblListEl* el);
    // Unlinks el and returns it; the caller owns it.
    CDblListEl* Remove(CDblListEl* el);
    // Unlinks the element ref names and moves ref to its successor (at the tail, to its
    // predecessor).
    CDblListEl* RemoveRef(CDblListEl*& ref);
    void DeleteRef(CDblListEl*& ref);
    void Delete(CDblListEl* el);
    void DeleteAll();
    std::size_t Count() const;
    // Appends this list's whole chain to the tail of other in one splice.
    void MoveAllTo(CDblListBase& other);

protected:
    // Linking a null or already linked element would corrupt two lists: refused.
    static bool IsLinkable(const CDblListEl* el) {
        if (el && !el->m_prev && !el->m_next)
            return true;
        ReportNotLinkable();
        return false;
    }
    static void ReportNotLinkable();
    CDblListEl* m_first = nullptr;
    CDblListEl* m_last = nullptr;
};

template <class T> class CDblList : public CDblListBase {
public:
    T* GetFirst() const { return static_cast<T*>(m_first); }
    T* GetLast() const { return static_cast<T*>(m_last); }
    T* GetNext(const T* el) const;
    T* GetPrev(const T* el) const;
    T* Remove(T* el) { return static_cast<T*>(CDblListBase::Remove(el)); }
    T* RemoveRef(T*& ref) {
        CDblListEl* r = ref;
        CDblListEl* out = CDblListBase::RemoveRef(r);
        ref = static_cast<T*>(r);
        return static_cast<T*>(out);
    }
    void DeleteRef(T*& ref) {
        CDblListEl* r = ref;
        CDblListBase::DeleteRef(r);
        ref = static_cast<T*>(r);
    }

    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = T*;
        using reference = T&;
        explicit iterator(CDblListEl* p = nullptr) : m_p(p) {}
        T& operator*() const { return *static_cast<T*>(m_p); }
        T* operator->() const { return static_cast<T*>(m_p); }
        iterator& operator++() {
            m_p = m_p->NextEl();
            return *this;
        }
        iterator operator++(int) {
            iterator t = *this;
            ++*this;
            return t;
        }
        bool operator==(const iterator& o) const { return m_p == o.m_p; }
        bool operator!=(const iterator& o) const { return m_p != o.m_p; }

    private:
        CDblListEl* m_p;
    };
    iterator begin() const { return iterator(m_first); }
    iterator end() const { return iterator(nullptr); }
};

void ReportNullListElement(const char* file, int line);

template <class T> T* CDblList<T>::GetNext(const T* el) const {
    if (!el) {
        ReportNullListElement(__FILE__, __LINE__);
        return nullptr;
    }
    return static_cast<T*>(el->NextEl());
}

template <class T> T* CDblList<T>::GetPrev(const T* el) const {
    if (!el) {
        ReportNullListElement(__FILE__, __LINE__);
        return nullptr;
    }
    return static_cast<T*>(el->PrevEl());
}

} // namespace crv
