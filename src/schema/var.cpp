#include "schema/var.h"

#include <vector>

#include "base/object_stream.h"
#include "schema/lang_enc_set.h"

namespace crv {

void CVarName::SetMember(int slot, bool member) {
    if (slot < 0)
        return;
    auto i = static_cast<std::size_t>(slot) / 64;
    std::uint64_t bit = std::uint64_t{1} << (slot % 64);
    if (i >= m_bits.size()) {
        if (!member)
            return;
        m_bits.resize(i + 1, 0);
    }
    if (member)
        m_bits[i] |= bit;
    else
        m_bits[i] &= ~bit;
}

CVarNameSet::CVarNameSet() {
    for (const char* name : {"!", "@", "U", "L", "D"})
        FindOrAdd(name);
}

CVarNameSet::~CVarNameSet() = default;

CVarName* CVarNameSet::FindOrAdd(std::string_view name) {
    if (CVarName* v = Search(name))
        return v;
    auto* v = new CVarName(this, std::string(name));
    Add(v);
    return v;
}

void CVarNameSet::ClearSlot(int slot) {
    for (auto& v : *this)
        v.SetMember(slot, false);
}

CVarSet::~CVarSet() = default;

bool CVarSet::CheckName(std::string_view name, const CVar* self, CNote& error) const {
    if (name.empty()) {
        error.Add(kNoteExpectingName);
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '[' || c == ']') {
            error.Add(kNoteNotExpectingChar, std::string_view(&name[i], 1), static_cast<int>(i), 1);
            return false;
        }
    }
    const CVar* same = Search(name);
    if (same && same != self) {
        error.Add(kNoteNameUsed, name);
        return false;
    }
    return true;
}

bool CVarSet::Define(CVarName* varName, std::string_view chars, CNote& error) {
    // Every unit first, so that a failure changes no membership.
    std::vector<const CLangChar*> units;
    bool ok = true;
    ForEachToken(chars, [&](std::string_view token, std::size_t) {
        if (!ok)
            return;
        if (const CLangChar* u = m_owner->FindOrAddUnit(token, &error))
            units.push_back(u);
        else
            ok = false;
    });
    if (!ok)
        return false;
    Undefine(varName);
    for (const CLangChar* u : units)
        varName->SetMember(u->Slot(), true);
    return true;
}

void CVarSet::Undefine(CVarName* varName) {
    for (const auto& unit : *m_owner)
        varName->SetMember(unit.Slot(), false);
}

CVar* CVarSet::AddVar(std::string_view name, std::string_view chars, CNote& error) {
    if (!CheckName(name, nullptr, error))
        return nullptr;
    CVarName* varName = m_owner->Owner().VarNames().FindOrAdd(name);
    if (!Define(varName, chars, error))
        return nullptr;
    auto* var = new CVar(this, std::string(name), varName, std::string(chars));
    Add(var);
    return var;
}

bool CVarSet::ModifyVar(CVar* var, std::string_view name, std::string_view chars, CNote& error) {
    if (!CheckName(name, var, error))
        return false;
    CVarName* varName = m_owner->Owner().VarNames().FindOrAdd(name);
    if (varName != var->m_varName) {
        // Define the new name first: on failure the old definition stays whole.
        if (!Define(varName, chars, error))
            return false;
        Undefine(var->m_varName);
        var->m_varName = varName;
    } else if (!Define(varName, chars, error)) {
        return false;
    }
    var->m_chars = std::string(chars);
    Rename(var, name);
    return true;
}

void CVarSet::DeleteVar(CVar* var) {
    Undefine(var->m_varName);
    Delete(var);
}

void CVarSet::Read(ObjectStream& in, CNoteList& notes) {
    SettingsObjectReader reader(in, "varset", m_kept, {"var"});
    while (reader.Next()) {
        std::string name;
        if (in.ReadBeginMarker("var", name)) {
            std::string chars;
            KeptEntries kept;
            // The next variable's begin line ends one whose end line is missing.
            SettingsObjectReader var(in, "var", kept);
            while (var.Next()) {
                if (in.ReadString("chars", chars))
                    continue;
                var.Keep();
            }
            CNote error;
            if (CVar* v = AddVar(name, chars, error))
                v->m_kept = std::move(kept);
            else
                notes.push_back(std::move(error));
            continue;
        }
        reader.Keep();
    }
}

void CVarSet::Write(ObjectStream& out) const {
    out.WriteBeginMarker("varset");
    SettingsObjectWriter keep(out, m_kept);
    out.WriteNewline();
    for (const auto& var : *this) {
        out.WriteBeginMarker("var", var.Name());
        SettingsObjectWriter keepVar(out, var.m_kept);
        out.WriteString("chars", var.Chars());
        out.WriteEndMarker("var");
        out.WriteNewline();
    }
    out.WriteEndMarker("varset");
}

} // namespace crv
