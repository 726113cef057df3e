// A counted reference: holds an object that keeps a count of its holders (AddRef and
// Release), as fields, indexes and settings hold markers, sort orders, encodings and
// types. The count keeps the object from being deleted or merged away; the object's
// owner (a set) decides when it goes.
#pragma once

#include <utility>

namespace crv {

template <class T> class CountedRef {
public:
    CountedRef() = default;
    CountedRef(T* p) : m_p(p) { // NOLINT: implicit from a pointer, like the raw pointer it replaces
        if (m_p)
            m_p->AddRef();
    }
    CountedRef(const CountedRef& o) : CountedRef(o.m_p) {}
    CountedRef(CountedRef&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    // Reset takes the new reference before it lets the old one go: self-assignment is safe.
    CountedRef& operator=(const CountedRef& o) { // NOLINT(bugprone-unhandled-self-assignment)
        Reset(o.m_p);
        return *this;
    }
    CountedRef& operator=(CountedRef&& o) noexcept {
        if (this != &o) {
            Reset(nullptr);
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }
    CountedRef& operator=(T* p) {
        Reset(p);
        return *this;
    }
    ~CountedRef() { Reset(nullptr); }

    void Reset(T* p) {
        if (p)
            p->AddRef();
        T* old = std::exchange(m_p, p);
        if (old)
            old->Release();
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    bool operator==(const T* p) const { return m_p == p; }

private:
    T* m_p = nullptr;
};

} // namespace crv
