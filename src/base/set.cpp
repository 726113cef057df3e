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

namespace {

// Below this many elements a walk of the list is as quick as the index and costs nothing.
constexpr std::size_t kIndexFrom = 16;

bool StartsWith(std::string_view name, std::string_view prefix) {
    return name.size() >= prefix.size() && name.substr(0, prefix.size()) == prefix;
}

} // namespace

CSetBase::CSetBase(bool indexed) : m_indexFromStart(indexed) {
    if (indexed)
        m_index = std::make_unique<NameIndex>();
}

CSetBase::~CSetBase() = default;

CSetBase::CSetBase(CSetBase&& other) noexcept
    : m_list(std::move(other.m_list)), m_count(other.m_count),
      m_indexFromStart(other.m_indexFromStart), m_index(std::move(other.m_index)) {
    other.m_count = 0;
    if (other.m_indexFromStart)
        other.m_index = std::make_unique<NameIndex>();
}

CSetBase& CSetBase::operator=(CSetBase&& other) noexcept {
    if (this != &other) {
        m_index.reset();
        m_list = std::move(other.m_list);
        m_count = other.m_count;
        m_indexFromStart = other.m_indexFromStart;
        m_index = std::move(other.m_index);
        other.m_count = 0;
        if (other.m_indexFromStart)
            other.m_index = std::make_unique<NameIndex>();
    }
    return *this;
}

CSetEl* CSetBase::SearchEl(std::string_view name, bool exact) const {
    if (m_index) {
        if (exact) {
            auto it = m_index->exact.find(name);
            return it == m_index->exact.end() ? nullptr : it->second;
        }
        // Names that begin with name sort from name on, the first of them first.
        auto it = m_index->ordered.lower_bound(name);
        return it != m_index->ordered.end() && StartsWith(it->first, name) ? it->second : nullptr;
    }
    for (CSetEl* el = m_list.GetFirst(); el; el = static_cast<CSetEl*>(el->NextEl())) {
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
    if (m_index) {
        // Before the first element of the first name that sorts after el's: after every
        // element with an equal name.
        auto after = m_index->ordered.upper_bound(el->m_name);
        if (after == m_index->ordered.end())
            m_list.Add(el);
        else
            m_list.InsertBefore(after->second, el);
        Indexed(el);
    } else {
        CSetEl* pos = m_list.GetLast();
        while (pos && CompareNames(pos->m_name, el->m_name) > 0)
            pos = static_cast<CSetEl*>(pos->PrevEl());
        m_list.InsertAfter(pos, el);
    }
    if (++m_count >= kIndexFrom && !m_index)
        BuildIndex();
}

CSetEl* CSetBase::RemoveEl(CSetEl* el) {
    CRV_ASSERT(el != nullptr);
    if (!el)
        return nullptr;
    Unindexed(el);
    --m_count;
    return m_list.Remove(el);
}

void CSetBase::DeleteAll() {
    m_list.DeleteAll();
    m_count = 0;
    if (m_index) {
        m_index->exact.clear();
        m_index->ordered.clear();
    }
}

void CSetBase::RenameEl(CSetEl* el, std::string_view name) {
    if (el->m_name == name)
        return;
    RemoveEl(el);
    el->m_name = std::string(name);
    AddEl(el);
}

void CSetBase::BuildIndex() {
    m_index = std::make_unique<NameIndex>();
    m_index->exact.reserve(m_count * 2);
    for (CSetEl* el = m_list.GetFirst(); el; el = static_cast<CSetEl*>(el->NextEl()))
        Indexed(el);
}

void CSetBase::Indexed(CSetEl* el) {
    // An element whose name is there already comes after the one indexed.
    std::string_view name = el->m_name;
    if (m_index->exact.emplace(name, el).second)
        m_index->ordered.emplace(name, el);
}

void CSetBase::Unindexed(CSetEl* el) {
    if (!m_index)
        return;
    auto it = m_index->exact.find(el->m_name);
    if (it == m_index->exact.end() || it->second != el)
        return;
    // The next element with the same name (they stand together) becomes the first.
    auto* next = static_cast<CSetEl*>(el->NextEl());
    auto ordered = m_index->ordered.find(el->m_name);
    if (next && next->m_name == el->m_name) {
        m_index->exact.erase(it);
        m_index->ordered.erase(ordered);
        Indexed(next);
        return;
    }
    m_index->exact.erase(it);
    m_index->ordered.erase(ordered);
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
