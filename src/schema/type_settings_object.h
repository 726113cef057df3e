// Settings objects that a database type holds for the layers above the schema (the
// engine's filter set; later jump paths and processes). The type reads, writes and
// notifies each in its place; the factory that the type set is given makes them, so
// that the schema does not depend on the layers that implement them.
#pragma once

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "base/note.h"

namespace crv {

class CDatabaseType;
class CMarker;
class ObjectStream;
struct CLangEncUpdate;
struct CMarkerUpdate;

class CTypeSettingsObject {
public:
    virtual ~CTypeSettingsObject() = default;
    // The key of the object ("filset"): the type hands over its begin line.
    virtual std::string_view ObjectName() const = 0;
    // Reads the object whose begin line is the current entry; notes go to notes.
    virtual bool Read(ObjectStream& is, CNoteList& notes) = 0;
    virtual void Write(ObjectStream& os) const = 0;
    // After the whole type was read (its markers are all known).
    virtual void FinishReading(CNoteList& notes) = 0;
    virtual void OnMarkerUpdate(const CMarkerUpdate&) {}
    virtual void OnLangEncUpdate(const CLangEncUpdate&) {}
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
    // The (source, target) markers of interlinear processes, in order (the process list).
    virtual std::vector<std::pair<CMarker*, CMarker*>> InterlinearMarkerPairs() const { return {}; }
};

class CTypeSettingsFactory {
public:
    virtual ~CTypeSettingsFactory() = default;
    // The filter set ("filset") of a new type.
    virtual std::unique_ptr<CTypeSettingsObject> MakeFilterSet(CDatabaseType& type) const = 0;
    // The jump path ("drflst") and the interlinear process list ("intprclst"); null
    // where a layer that reads them is not linked (they are then carried as written).
    virtual std::unique_ptr<CTypeSettingsObject> MakeJumpPath(CDatabaseType&) const {
        return nullptr;
    }
    virtual std::unique_ptr<CTypeSettingsObject> MakeInterlinearProcs(CDatabaseType&) const {
        return nullptr;
    }
};

} // namespace crv
