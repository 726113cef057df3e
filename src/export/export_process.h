// Export processes of a database type: the standard format process, the Rich Text
// Format process and (plx_process.h) the dictionary formatter, each a named object of
// the type's export set with the fields it exports and its settings object.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/object_stream.h"
#include "base/set.h"
#include "base/unknown_entries.h"
#include "export/page_setup.h"
#include "schema/marker_subset.h"

namespace crv {

class CExportProcessSet;

// The markers a process exports. The record marker is always exported: without it the
// output would not read back as records.
class CMarkersToExportSubSet : public CMarkerSubSet {
public:
    using CMarkerSubSet::CMarkerSubSet;
    bool IncludesMarker(const CMarker* marker) const override;

    // Reading waits until the type's markers are all known: the list is kept as read
    // and applied by Resolve.
    bool ReadDeferred(ObjectStream& is);
    void Resolve();

private:
    std::string m_pending;
};

class CExportProcess : public CSetEl {
public:
    enum class Kind { StandardFormat, RichText, Dictionary };

    CExportProcess(CExportProcessSet& owner, std::string name);
    ~CExportProcess() override;

    virtual Kind GetKind() const = 0;
    // The key of its settings object: "expSF", "expRTF", "expPLX".
    virtual std::string_view ObjectKey() const = 0;
    // A new process of the same kind with the same settings, not yet in any set.
    std::unique_ptr<CExportProcess> Clone(const std::string& name) const;

    CExportProcessSet& Owner() const { return *m_owner; }

    // Exporting the current window sorted by another marker than the record marker:
    // the sorting field is moved to the top of each record.
    bool priKeyFieldFirst = false;
    std::string changeTable;  // zttFile; empty: none
    std::string exportedFile; // the last output path
    CMarkersToExportSubSet& Fields() { return m_fields; }
    const CMarkersToExportSubSet& Fields() const { return m_fields; }

    // "\+<ObjectKey> NAME" ... "\-<ObjectKey>".
    void Write(ObjectStream& os) const;
    // Reads the keys after the begin line up to the end line.
    void Read(ObjectStream& is);
    // After the whole type was read.
    virtual void FinishReading();
    // Keeps an entry it does not read, written back with its settings.
    void KeepEntry(std::string_view raw) { m_unknown.AddRaw(raw); }

protected:
    virtual void WriteKeys(ObjectStream& os) const = 0;
    // One key of this kind; false when it is not one.
    virtual bool ReadKey(ObjectStream& is) = 0;
    // The keys every kind has; false when the entry is not one of them.
    bool ReadBaseKey(ObjectStream& is);
    // The process's page setup object, read once: a second one is kept as read, so that
    // values it would reinterpret in another unit stay as they were.
    bool ReadPageSetupOnce(ObjectStream& is, CRtfPageSetup& setup);
    UnknownEntries m_unknown;

private:
    CExportProcessSet* m_owner;
    CMarkersToExportSubSet m_fields;
    bool m_pageSetupRead = false;
};

// Writes the records as standard format, optionally through a change table.
class CExportProcessSF : public CExportProcess {
public:
    using CExportProcess::CExportProcess;
    Kind GetKind() const override { return Kind::StandardFormat; }
    std::string_view ObjectKey() const override { return "expSF"; }

protected:
    void WriteKeys(ObjectStream& os) const override;
    bool ReadKey(ObjectStream& is) override;
};

// Writes a Rich Text Format document whose styles are made from the markers.
class CExportProcessRTF : public CExportProcess {
public:
    static constexpr int kDefaultSpacing = 120;
    using CExportProcess::CExportProcess;
    Kind GetKind() const override { return Kind::RichText; }
    std::string_view ObjectKey() const override { return "expRTF"; }

    std::string documentTemplate; // dotFile
    bool markerFont = false;      // style formatting from the markers' fonts
    bool tabAligned = false;      // interlinear lines aligned with tab stops
    int spacing = 0;              // twips per character column, when tab aligned
    CRtfPageSetup pageSetup;

    // Spacing as reading leaves it: 0 when not tab aligned, else 60..240 or 120.
    void NormalizeSpacing();
    void FinishReading() override;

protected:
    void WriteKeys(ObjectStream& os) const override;
    bool ReadKey(ObjectStream& is) override;
};

} // namespace crv
