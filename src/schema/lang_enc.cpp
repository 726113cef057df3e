#include "schema/lang_enc.h"

namespace crv {

CLangEncSet::CLangEncSet(std::string settingsFolder) : m_folder(std::move(settingsFolder)) {
    FindOrCreate("Default");
}

CLangEncSet::~CLangEncSet() = default;

CLangEnc* CLangEncSet::Find(std::string_view name) { return m_encodings.Search(name); }

CLangEnc* CLangEncSet::FindOrCreate(std::string_view name) {
    if (CLangEnc* e = Find(name))
        return e;
    auto* e = new CLangEnc(this, std::string(name));
    m_encodings.Add(e);
    return e;
}

CLangEnc* CLangEncSet::Default() { return FindOrCreate("Default"); }

} // namespace crv
