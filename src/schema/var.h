// Character variables of text patterns. A variable name (CVarName) is project-wide and
// holds one membership bit per unit slot of all encodings; each encoding defines its own
// variables (CVar in its CVarSet) by listing units.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/kept_entries.h"
#include "base/note.h"
#include "base/set.h"

namespace crv {

class CLangEnc;
class CVarNameSet;
class ObjectStream;

class CVarName : public CSetEl {
public:
    CVarName(CVarNameSet* owner, std::string name) : CSetEl(std::move(name)), m_owner(owner) {}

    // Whether the unit with that slot belongs to the variable.
    bool Contains(int slot) const {
        auto i = static_cast<std::size_t>(slot) / 64;
        return slot >= 0 && i < m_bits.size() && ((m_bits[i] >> (slot % 64)) & 1u) != 0;
    }
    void SetMember(int slot, bool member);

    // Patterns naming the variable hold references.
    void AddRef() { ++m_refs; }
    void Release() { --m_refs; }
    int RefCount() const { return m_refs; }
    CVarNameSet* Owner() const { return m_owner; }

private:
    CVarNameSet* m_owner;
    int m_refs = 0;
    std::vector<std::uint64_t> m_bits;
};

// The project's variable names; created holding the punctuation variable "!" and the
// names of the metacharacters @ (letters), U (upper case), L (lower case), D (digits).
class CVarNameSet : public CSet<CVarName> {
public:
    CVarNameSet();
    ~CVarNameSet() override;
    CVarName* FindOrAdd(std::string_view name);
    // A unit slot is freed: it leaves every variable.
    void ClearSlot(int slot);
};

class CVarSet;

class CVar : public CSetEl {
public:
    CVar(CVarSet* owner, std::string name, CVarName* varName, std::string chars)
        : CSetEl(std::move(name)), m_owner(owner), m_varName(varName), m_chars(std::move(chars)) {}

    CVarName* VarName() const { return m_varName; }
    // The units as entered, separated by white space.
    const std::string& Chars() const { return m_chars; }
    CVarSet* Owner() const { return m_owner; }

private:
    friend class CVarSet;
    CVarSet* m_owner;
    CVarName* m_varName;
    std::string m_chars;
    KeptEntries m_kept; // entries of "\+var" this version does not read
};

class CVarSet : public CSet<CVar> {
public:
    explicit CVarSet(CLangEnc& owner) : m_owner(&owner) {}
    ~CVarSet() override;

    CLangEnc& Owner() const { return *m_owner; }
    // Defines a variable; null with the reason in error for a bad or used name or when
    // a unit cannot be created.
    CVar* AddVar(std::string_view name, std::string_view chars, CNote& error);
    // Renames and redefines; false (nothing changed) with the reason in error.
    bool ModifyVar(CVar* var, std::string_view name, std::string_view chars, CNote& error);
    void DeleteVar(CVar* var);

    // The varset object; the begin line has been read by the caller.
    void Read(ObjectStream& in, CNoteList& notes);
    void Write(ObjectStream& out) const;
    // Whether the object held entries this version does not read: it is written then
    // even without variables.
    bool HasKept() const { return !m_kept.Empty(); }

private:
    bool CheckName(std::string_view name, const CVar* self, CNote& error) const;
    // Clears the encoding's units from varName, then sets those named in chars.
    bool Define(CVarName* varName, std::string_view chars, CNote& error);
    void Undefine(CVarName* varName);

    CLangEnc* m_owner;
    KeptEntries m_kept; // entries of "\+varset" this version does not read
};

} // namespace crv
