#include "base/dbl_list.h"

#include "base/platform.h"

namespace crv {

CDblListEl::~CDblListEl() { CRV_ASSERT(m_next == nullptr); }

void ReportNullListElement(const char* file, int line) {
    platform().InternalError(file, line, "null list element");
}

void CDblListBase::ReportNotLinkable() {
    platform().InternalError(__FILE__, __LINE__, "null or already linked list element");
}

CDblListBase::CDblListBase(CDblListBase&& other) noexcept
    : m_first(other.m_first), m_last(other.m_last) {
    other.m_first = other.m_last = nullptr;
}

CDblListBase& CDblListBase::operator=(CDblListBase&& other) noexcept {
    if (this != &other) {
        DeleteAll();
        m_first = other.m_first;
        m_last = other.m_last;
        other.m_first = other.m_last = nullptr;
    }
    return *this;
}

void CDblListBase::InsertAfter(CDblListEl* pos, CDblListEl* el) {
    if (!IsLinkable(el))
        return;
    if (!pos) { // after nothing: at the head
        el->m_next = m_first;
        if (m_first)
            m_first->m_prev = el;
        else
            m_last = el;
        m_first = el;
        return;
    }
    el->m_prev = pos;
    el->m_next = pos->m_next;
    if (pos->m_next)
        pos->m_next->m_prev = el;
    else
        m_last = el;
    pos->m_next = el;
}

void CDblListBase::InsertBefore(CDblListEl* pos, CDblListEl* el) {
    if (!IsLinkable(el))
        return;
    if (!pos) { // before nothing: at the tail
        Add(el);
        return;
    }
    el->m_next = pos;
    el->m_prev = pos->m_prev;
    if (pos->m_prev)
        pos->m_prev->m_next = el;
    else
        m_first = el;
    pos->m_prev = el;
}

CDblListEl* CDblListBase::Remove(CDblListEl* el) {
    CRV_ASSERT(el != nullptr);
    if (!el)
        return nullptr;
    if (el->m_prev)
        el->m_prev->m_next = el->m_next;
    else
        m_first = el->m_next;
    if (el->m_next)
        el->m_next->m_prev = el->m_prev;
    else
        m_last = el->m_prev;
    el->m_prev = el->m_next = nullptr;
    return el;
}

CDblListEl* CDblListBase::RemoveRef(CDblListEl*& ref) {
    CDblListEl* el = ref;
    CRV_ASSERT(el != nullptr);
    if (!el)
        return nullptr;
    ref = el->m_next ? el->m_next : el->m_prev;
    return Remove(el);
}

void CDblListBase::DeleteRef(CDblListEl*& ref) { delete RemoveRef(ref); }

void CDblListBase::Delete(CDblListEl* el) { delete Remove(el); }

void CDblListBase::DeleteAll() {
    while (m_first) {
        CDblListEl* el = m_first;
        m_first = el->m_next;
        el->m_prev = el->m_next = nullptr;
        delete el;
    }
    m_last = nullptr;
}

std::size_t CDblListBase::Count() const {
    std::size_t n = 0;
    for (CDblListEl* el = m_first; el; el = el->m_next)
        ++n;
    return n;
}

void CDblListBase::MoveAllTo(CDblListBase& other) {
    if (!m_first)
        return;
    if (other.m_last) {
        other.m_last->m_next = m_first;
        m_first->m_prev = other.m_last;
    } else {
        other.m_first = m_first;
    }
    other.m_last = m_last;
    m_first = m_last = nullptr;
}

} // namespace crv
