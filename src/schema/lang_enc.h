// Language encodings: how the text of one language is split into units, sorted and
// shown. This first form holds only the name and the counted references; the units, sort
// orders, variables, fonts and settings file come with the full encoding.
#pragma once

#include <string>
#include <string_view>

#include "record/set.h"
#include "schema/update_notice.h"

namespace crv {

class CLangEncSet;

class CLangEnc : public CSetEl {
public:
    CLangEnc(CLangEncSet* owner, std::string name) : CSetEl(std::move(name)), m_owner(owner) {}

    void AddRef() { ++m_refs; }
    void Release() { --m_refs; }
    int RefCount() const { return m_refs; }
    CLangEncSet* Owner() const { return m_owner; }

private:
    CLangEncSet* m_owner;
    int m_refs = 0;
};

// The project's language encodings. "Default" always exists.
class CLangEncSet {
public:
    explicit CLangEncSet(std::string settingsFolder = {});
    ~CLangEncSet();
    CLangEncSet(const CLangEncSet&) = delete;
    CLangEncSet& operator=(const CLangEncSet&) = delete;

    const std::string& SettingsFolder() const { return m_folder; }
    // The encoding of that name, or null.
    CLangEnc* Find(std::string_view name);
    // The encoding of that name, created with default properties when missing.
    CLangEnc* FindOrCreate(std::string_view name);
    CLangEnc* Default();
    // Change notices of markers, encodings and sort orders travel through the project's
    // hub, which the encoding set carries because every marker set can reach it.
    CUpdateHub& UpdateHub() { return m_hub; }

private:
    CUpdateHub m_hub;
    std::string m_folder;
    CSet<CLangEnc> m_encodings;
};

} // namespace crv
