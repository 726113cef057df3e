// One unit of a language encoding: a character or multigraph with its one-byte code,
// its case link and its project-wide slot for the membership bits of variables.
#pragma once

#include <string>

#include "base/set.h"

namespace crv {

class CLangEnc;

class CLangChar : public CSetEl {
public:
    CLangChar(CLangEnc* owner, std::string text, unsigned char code, int slot)
        : CSetEl(std::move(text)), m_owner(owner), m_code(code), m_slot(slot) {}

    const std::string& Text() const { return Name(); }
    unsigned char Code() const { return m_code; }
    // Index of this unit's bit in every CVarName; unique across the project's encodings.
    int Slot() const { return m_slot; }
    CLangEnc* Owner() const { return m_owner; }
    // Two spaces and the unit, as unit lists show it.
    std::string DisplayText() const { return "  " + Name(); }

    // Case: an upper-case unit links to its lower form, a lower-case unit to its upper.
    bool IsUpper() const { return m_isUpper; }
    CLangChar* CaseAssociate() const { return m_caseAssoc; }
    CLangChar* LowerForm() const { return m_isUpper ? m_caseAssoc : nullptr; }
    CLangChar* UpperForm() const { return m_isUpper ? nullptr : m_caseAssoc; }
    bool HasCase() const { return m_caseAssoc != nullptr; }

private:
    friend class CLangEnc;
    CLangEnc* m_owner;
    unsigned char m_code;
    int m_slot;
    bool m_isUpper = false;
    CLangChar* m_caseAssoc = nullptr;
};

} // namespace crv
