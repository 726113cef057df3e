// A database type: the schema shared by every database of one kind (its markers and
// record marker, secondary sort markers, date-stamp and multiple-match markers, record
// template, print properties) and the settings that work on its records. The filter set
// is made by the type set's factory (type_settings_object.h); jump paths, interlinear and
// export processes, and filters of a type made without a factory, are carried as written
// until their owners read them (CTypeCarriedSettings).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/note.h"
#include "base/object_stream.h"
#include "schema/marker.h"
#include "schema/print_properties.h"
#include "schema/type_settings_object.h"
#include "schema/update_notice.h"

namespace crv {

class CDatabaseTypeProxy;
class CLangEncSet;

// Settings objects of a type that this version does not read yet, each captured verbatim
// (record/settings_capture.h) and written back in its place.
struct CTypeCarriedSettings {
    std::string interlinearProcs; // "\+intprclst"
    std::string filters;          // "\+filset"
    std::string jumpPath;         // "\+drflst"
    std::string exportProcs;      // "\+expset"
    // Keys of the single export process of older files, in the order read.
    std::string olderExportKeys;
    bool operator==(const CTypeCarriedSettings&) const = default;
};

class CDatabaseType : public CUpdateListener {
public:
    static constexpr int kDefaultInterlinCharWidth = 8;

    // An empty type of that name whose markers use the encodings of langEncs; proxy is
    // the set's entry for it (null for a type kept outside a set); factory makes the
    // settings objects of the layers above (none: they are carried as written).
    CDatabaseType(CLangEncSet& langEncs, std::string name, CDatabaseTypeProxy* proxy = nullptr,
                  const CTypeSettingsFactory* factory = nullptr);
    ~CDatabaseType() override;
    CDatabaseType(const CDatabaseType&) = delete;
    CDatabaseType& operator=(const CDatabaseType&) = delete;

    const std::string& Name() const { return m_name; }
    CDatabaseTypeProxy* Proxy() const { return m_proxy; }
    CLangEncSet& LangEncs() const { return *m_langEncs; }

    // Open databases and indexes hold their type counted.
    void AddRef() { ++m_refs; }
    void Release() { --m_refs; }
    int RefCount() const { return m_refs; }

    const std::string& Description() const { return m_description; }
    void SetDescription(std::string s);

    CMarkerSet& MarkerSet() { return m_markerSet; }
    const CMarkerSet& MarkerSet() const { return m_markerSet; }
    // The record marker is the marker set's: one place decides it.
    CMarker* RecordMarker() const { return m_markerSet.RecordMarker(); }
    // Sets the record marker of a type being made (new, generated, or asked for while
    // loading); the marker is added when missing. False for an invalid name.
    bool SetRecordMarkerName(std::string_view name, CNote& error);

    // The default index sorts by the record marker, then by these, in order.
    std::vector<CMarker*> SecKeyMarkers() const;
    void SetSecKeyMarkers(const std::vector<CMarker*>& markers);

    CMarker* DateStampMarker() const { return m_dateStamp.Marker(); }
    void SetDateStampMarker(CMarker* m);
    // The field shown beside each candidate in the multiple-matches list.
    CMarker* MultipleMatchMarker() const { return m_multipleMatch.Marker(); }
    void SetMultipleMatchMarker(CMarker* m);

    // The record skeleton: fields separated by LF, each beginning with its backslash
    // marker.
    const std::string& Template() const { return m_template; }
    void SetTemplate(std::string text);

    CPrintProperties& PrintProperties() { return m_print; }
    const CPrintProperties& PrintProperties() const { return m_print; }
    void SetPrintProperties(const CPrintProperties& p);

    int InterlinCharWidth() const { return m_interlinCharWidth; }
    void SetInterlinCharWidth(int width);

    const CTypeCarriedSettings& Carried() const { return m_carried; }
    // The filter set, when the type was made with a factory (the engine's CFilterSet).
    CTypeSettingsObject* FilterSet() const { return m_filters.get(); }
    // The jump path and interlinear processes, when the factory makes them.
    CTypeSettingsObject* JumpPathSettings() const { return m_jumpPath.get(); }
    CTypeSettingsObject* InterlinearSettings() const { return m_interlinear.get(); }
    // The interlinear flags of the markers made again from the processes (after they
    // were added, changed or deleted).
    void UpdateInterlinearFlags();
    // The folder the type's file is in (relative database paths are taken there).
    std::string SettingsFolder() const;

    // True for new types and whenever a setting or a marker of the type changed; a
    // modified type is written back when the project's settings are saved.
    bool IsModified() const;
    void SetModified(bool modified);

    // --- settings file ---
    // Reads the keys after "\+DatabaseType NAME" (read by the caller) up to the end
    // line. Errors of names become notes in notes; nothing here asks the user.
    void Read(ObjectStream& is, CNoteList& notes);
    // The steps after reading: interlinear flags from the interlinear processes, and the
    // record marker read from the file (added when missing), which resolves the marker
    // hierarchy. False when the file named no usable record marker: the caller asks for
    // one (SetRecordMarkerName).
    bool FinishReading(CNoteList& notes);
    void Write(ObjectStream& os) const;
    // The record marker name read from the file (empty when none).
    const std::string& RecordMarkerNameRead() const { return m_recordMarkerName; }

    // --- change notices (rank Types) ---
    void OnMarkerUpdate(const CMarkerUpdate& update) override;
    void OnLangEncUpdate(const CLangEncUpdate& update) override;

private:
    void ReadTemplate(ObjectStream& is);
    void WriteTemplate(ObjectStream& os) const;
    CMarker* MarkerNamedInSettings(const std::string& name, CNoteList& notes, int line);
    // (source, target) markers of the carried interlinear processes, in order.
    std::vector<std::pair<CMarker*, CMarker*>> InterlinearMarkerPairs() const;
    void RenameInTemplate(std::string_view oldName, std::string_view newName);

    CLangEncSet* m_langEncs;
    std::string m_name;
    CDatabaseTypeProxy* m_proxy;
    int m_refs = 0;
    std::string m_description;
    CMarkerSet m_markerSet;
    // After the marker set: filters hold its markers and go first.
    std::unique_ptr<CTypeSettingsObject> m_filters;
    std::unique_ptr<CTypeSettingsObject> m_interlinear;
    std::unique_ptr<CTypeSettingsObject> m_jumpPath;
    std::string m_recordMarkerName;
    std::vector<CMarkerRef> m_secKeys;
    std::string m_template;
    CMarkerRef m_dateStamp;
    CMarkerRef m_multipleMatch;
    bool m_modified = false;
    CPrintProperties m_print;
    int m_interlinCharWidth = kDefaultInterlinCharWidth;
    CTypeCarriedSettings m_carried;
    CUpdateSubscription m_subscription;
};

} // namespace crv
