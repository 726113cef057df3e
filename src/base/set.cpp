#include "base/set.h"

#include <cstdio>
#include <cstring>

#include "base/platform.h"

namespace crv {

int CompareNames(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0)
        return c;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

CSetBase::CSetBase(bool indexed) {
    if (indexed) {
        m_firstByte = std::make_unique<std::array<CSetEl*, 256>>();
        m_firstByte->fill(nullptr);
    }
}

CSetEl* CSetBase::SearchEl(std::string_view name, bool exact) const {
    CSetEl* el = m_list.GetFirst();
    if (m_firstByte) {
        if (name.empty())
            el = m_list.GetFirst();
        else
            el = (*m_firstByte)[static_cast<unsigned char>(name[0])];
    }
    for (; el; el = static_cast<CSetEl*>(el->NextEl())) {
        const std::string& n = el->m_name;
        if (exact) {
            int c = CompareNames(n, name);
            if (c == 0)
                return el;
            if (c > 0)
                return nullptr;
        } else {
            std::string_view prefix(n.data(), std::min(n.size(), name.size()));
            int c = CompareNames(prefix, name);
            if (c == 0 && n.size() >= name.size())
                return el;
            if (c > 0)
                return nullptr;
        }
    }
    return nullptr;
}

void CSetBase::AddEl(CSetEl* el) {
    CRV_ASSERT(el != nullptr);
    if (!el)
        return;
    CSetEl* pos = m_list.GetLast();
    while (pos && CompareNames(pos->m_name, el->m_name) > 0)
        pos = static_cast<CSetEl*>(pos->PrevEl());
    m_list.InsertAfter(pos, el);
    IndexInserted(el);
}

CSetEl* CSetBase::RemoveEl(CSetEl* el) {
    IndexRemoved(el);
    return m_list.Remove(el);
}

void CSetBase::DeleteAll() {
    m_list.DeleteAll();
    if (m_firstByte)
        m_firstByte->fill(nullptr);
}

void CSetBase::RenameEl(CSetEl* el, std::string_view name) {
    if (el->m_name == name)
        return;
    RemoveEl(el);
    el->m_name = std::string(name);
    AddEl(el);
}

void CSetBase::IndexInserted(CSetEl* el) {
    if (!m_firstByte || el->m_name.empty())
        return;
    auto& slot = (*m_firstByte)[static_cast<unsigned char>(el->m_name[0])];
    // The slot names the first element with this first byte; el becomes it when its
    // predecessor starts with another byte.
    auto* prev = static_cast<CSetEl*>(el->PrevEl());
    if (!prev || prev->m_name.empty() || prev->m_name[0] != el->m_name[0])
        slot = el;
}

void CSetBase::IndexRemoved(CSetEl* el) {
    if (!m_firstByte || !el || el->m_name.empty())
        return;
    auto& slot = (*m_firstByte)[static_cast<unsigned char>(el->m_name[0])];
    if (slot != el)
        return;
    auto* next = static_cast<CSetEl*>(el->NextEl());
    slot = (next && !next->m_name.empty() && next->m_name[0] == el->m_name[0]) ? next : nullptr;
}

bool CSetBase::CheckNewName(std::string_view name, CNote& error) const {
    if (!IsValidName(name, error))
        return false;
    if (name.empty()) {
        error.Add(kNoteExpectingName);
        return false;
    }
    if (SearchEl(name, true)) {
        error.Add(kNoteNameUsed, name);
        return false;
    }
    return true;
}

std::string CSetBase::MakeUniqueName(std::string_view base) const {
    if (!SearchEl(base, true))
        return std::string(base);
    std::size_t stem = base.size();
    while (stem > 0 && base[stem - 1] >= '0' && base[stem - 1] <= '9')
        --stem;
    long n = 1;
    if (stem < base.size()) {
        std::string digits(base.substr(stem, 18));
        n = std::strtol(digits.c_str(), nullptr, 10);
    }
    std::string name;
    do {
        ++n;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%ld", n);
        name = std::string(base.substr(0, stem)) + buf;
    } while (SearchEl(name, true));
    return name;
}

} // namespace crv
