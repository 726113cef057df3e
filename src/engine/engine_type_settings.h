// The settings objects that database types hold for the engine: the factory a type set
// is given, and the way back from a type to its filter set.
#pragma once

#include <memory>

#include "engine/db_ref.h"
#include "schema/type_settings_object.h"

namespace crv {

class CDatabaseType;
class CFilterSet;

class CEngineTypeSettings : public CTypeSettingsFactory {
public:
    std::unique_ptr<CTypeSettingsObject> MakeFilterSet(CDatabaseType& type) const override;
    std::unique_ptr<CTypeSettingsObject> MakeJumpPath(CDatabaseType& type) const override;

    // How references to files that are missing are found (the project's search for
    // moved files); none: they are kept as written.
    void SetFileLocator(CFileLocator locate) { m_locate = std::move(locate); }
    const CFileLocator& FileLocator() const { return m_locate; }

private:
    CFileLocator m_locate;
};

// The filter set of a type made with the engine's factory; null otherwise.
CFilterSet* FilterSetOf(const CDatabaseType& type);
// Its jump path; null otherwise.
CJumpPath* JumpPathOf(const CDatabaseType& type);

} // namespace crv
