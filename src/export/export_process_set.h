// A database type's export processes ("expset"): the processes by name, the default
// one, and the Export dialog's options kept with them. Made for each type by the
// export factory (export_type_settings.h); older type files that keep one export
// process's settings directly in the type are turned into processes here.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/set.h"
#include "base/unknown_entries.h"
#include "export/export_process.h"
#include "schema/type_settings_object.h"

namespace crv {

class CDatabaseType;
class CMarkerSet;

// The Export dialog's choices, kept with the set.
struct ExportOptions {
    bool currentRecord = false;
    bool currentWindow = false;
    bool autoOpen = false;
    bool autoUpdateStyles = true; // stored inverted: NotAutoUpdateStyles
    bool showProperties = true;   // stored inverted: SkipProperties
    bool noDictionaryReminder = false;
    bool operator==(const ExportOptions&) const = default;
};

// A new process of that kind, not yet in the set.
std::unique_ptr<CExportProcess> MakeExportProcess(CExportProcess::Kind kind,
                                                  CExportProcessSet& owner, std::string name);

class CExportProcessSet : public CTypeSettingsObject {
public:
    static constexpr std::string_view kStandardFormat = "Standard Format";
    static constexpr std::string_view kRichText = "Rich Text Format";

    // A new set holds a "Standard Format" and a "Rich Text Format" process.
    explicit CExportProcessSet(CDatabaseType& type);
    ~CExportProcessSet() override;
    CExportProcessSet(const CExportProcessSet&) = delete;
    CExportProcessSet& operator=(const CExportProcessSet&) = delete;

    CDatabaseType& Type() const { return *m_type; }
    CMarkerSet& Markers() const;

    const CSet<CExportProcess>& Processes() const { return m_processes; }
    CExportProcess* Find(std::string_view name) const { return m_processes.Search(name); }
    // The process the Export dialog preselects: the default one when it exists, else
    // the standard format process (else the first).
    CExportProcess* DefaultProcess() const;
    void SetDefaultProcess(const CExportProcess* process);
    ExportOptions& Options() { return m_options; }
    const ExportOptions& Options() const { return m_options; }
    void SetOptions(const ExportOptions& options);
    // A dictionary formatter process is in the set (PLX).
    bool HasDictionaryFormatter() const;

    // --- editing, with the dialogs' messages ---
    // A name for a new process or a rename of except: not empty, not another's. The
    // message to show in message when refused.
    bool CheckName(std::string_view name, const CExportProcess* except, std::string& message) const;
    // Adds process under a unique form of its name; the set owns it.
    CExportProcess* Add(std::unique_ptr<CExportProcess> process);
    // A copy of process under a unique name made from its own.
    CExportProcess* Copy(const CExportProcess& process);
    bool Rename(CExportProcess* process, std::string_view name, std::string& message);
    // Asks "%1\n\nDo you want to delete this export process?"; Yes deletes it.
    bool Delete(CExportProcess* process);
    // Deletes without asking (a new process whose properties were cancelled).
    void Discard(CExportProcess* process);
    // The type's "Polylex Formatter" check box: adds the process of that name (fields
    // excluded by default) when on, removes every dictionary formatter process when off.
    void SetDictionaryFormatter(bool on);
    // Marks the set changed (a process was edited or exported).
    void Touch() { m_modified = true; }

    // --- settings ---
    std::string_view ObjectName() const override { return "expset"; }
    bool Read(ObjectStream& is, CNoteList& notes) override;
    void Write(ObjectStream& os) const override;
    void FinishReading(CNoteList& notes) override;
    // The export keys of an older type file that had no "expset".
    void ReadOlderEntries(std::string_view entries, CNoteList& notes) override;
    bool IsModified() const override { return m_modified; }
    void SetModified(bool modified) override { m_modified = modified; }

private:
    // The standard format and RTF processes, made with defaults where missing.
    void EnsureStandardProcesses();
    CExportProcess* ReadProcess(ObjectStream& is, CExportProcess::Kind kind, std::string_view key);
    // A process or an option of the set; false when the entry is none of them.
    bool ReadSetEntry(ObjectStream& is);

    CDatabaseType* m_type;
    CSet<CExportProcess> m_processes;
    std::string m_defaultName;
    ExportOptions m_options;
    UnknownEntries m_unknown;
    bool m_modified = false;
};

// The export set of a type made with the export factory; null otherwise.
CExportProcessSet* ExportSetOf(const CDatabaseType& type);

} // namespace crv
