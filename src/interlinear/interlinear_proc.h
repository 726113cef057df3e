// Interlinear processes: the ordered list a database type holds ("intprclst") and the
// base of its processes. Each process reads one line of a bundle (From) and writes
// another (To), column by column; the kinds are in lookup_proc.h (Lookup, Parse),
// rearrange_proc.h (Rearrange, Generate) and here (Given).
//
// Stored form (only when the list is not empty):
//   \+intprclst
//   \fglst {   \fglend }   \mbnd +   \mbrks -
//   \+intprc Lookup | Rearrange | Given   ...keys of the kind...   \-intprc
//   \-intprclst
// Unknown entries inside the list or a process are kept and written back before the
// object's end line.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/dbl_list.h"
#include "base/platform.h"
#include "base/unknown_entries.h"
#include "engine/db_ref.h"
#include "schema/marker.h"
#include "schema/type_settings_object.h"

namespace crv {

class CBundle;
class CDatabaseType;
class CInterlinearProcList;
class CInterlinearRun;

// A column of a run: the source word's position, the column width (in and out) and how
// many processes already ran for it.
struct CColumn {
    std::size_t col = 0;
    std::size_t width = 0;
    int ran = 0;
    bool adapt = false;
};
// A column width that means "to the end of the line".
inline constexpr std::size_t kToLineEnd = 10000;

enum class ProcStatus { Ok, Stop };

class CInterlinearProc : public CDblListEl {
public:
    enum class Kind { Lookup, Parse, Rearrange, Generate, Given };

    explicit CInterlinearProc(CInterlinearProcList* owner) : m_owner(owner) {}
    ~CInterlinearProc() override = default;

    CInterlinearProcList* Owner() const { return m_owner; }
    void SetOwner(CInterlinearProcList* owner) { m_owner = owner; }
    virtual Kind GetKind() const = 0;
    // "Lookup", "Parse", "Rearrange", "Generate" or "Given".
    std::string_view KindName() const;
    virtual std::unique_ptr<CInterlinearProc> Clone() const = 0;

    CMarker* From() const { return m_from.Marker(); }
    CMarker* To() const { return m_to.Marker(); }
    void SetFrom(CMarker* m) { m_from.Set(m); }
    void SetTo(CMarker* m) { m_to.Set(m); }
    bool Adapt() const { return m_adapt; }
    void SetAdapt(bool b) { m_adapt = b; }

    // One column of a run (see CColumn).
    virtual ProcStatus Interlinearize(CInterlinearRun& run, CColumn& column) = 0;
    // Whether word fails (Lookup and Parse only); others find nothing to report.
    virtual bool SpellCheckFails(CInterlinearRun&, std::string_view) { return false; }
    // A marker of the type is going: Rearrange lets go of its part-of-speech and
    // punctuation lines.
    virtual void MarkerDeleting(const CMarker*) {}
    virtual void OnMarkerUpdate(const CMarkerUpdate& update);
    // Keys after the begin line (written by the list).
    virtual void WriteProperties(ObjectStream& os) const = 0;
    // The object's keys; false for a key the kind does not know.
    virtual bool ReadProperty(ObjectStream& is, CDatabaseType& type);
    // After reading or editing: the change table of a Lookup process is loaded.
    virtual void PropertiesConfirmed() {}
    // Built lexicon indexes are dropped (the lexicon settings changed).
    virtual void InvalidateIndexes() {}

    UnknownEntries& Unknown() { return m_unknown; }
    const UnknownEntries& Unknown() const { return m_unknown; }

protected:
    // NOLINTNEXTLINE(bugprone-copy-constructor-init): a copy starts unlinked
    CInterlinearProc(const CInterlinearProc& other)
        : CDblListEl(), m_owner(nullptr), m_from(other.m_from), m_to(other.m_to),
          m_adapt(other.m_adapt), m_unknown(other.m_unknown) {}
    void WriteFromTo(ObjectStream& os) const;

    CInterlinearProcList* m_owner;
    CMarkerRef m_from;
    CMarkerRef m_to;
    bool m_adapt = false;
    UnknownEntries m_unknown;
};

// A line the user types: the driver skips it, but it belongs to the bundle.
class CGivenProc : public CInterlinearProc {
public:
    using CInterlinearProc::CInterlinearProc;
    Kind GetKind() const override { return Kind::Given; }
    std::unique_ptr<CInterlinearProc> Clone() const override;
    ProcStatus Interlinearize(CInterlinearRun&, CColumn&) override { return ProcStatus::Ok; }
    void WriteProperties(ObjectStream& os) const override;
};

class CInterlinearProcList : public CDblList<CInterlinearProc>, public CTypeSettingsObject {
public:
    explicit CInterlinearProcList(CDatabaseType* type = nullptr, CFileLocator locate = {});
    ~CInterlinearProcList() override;

    CDatabaseType* Type() const { return m_type; }
    // Relative lexicon and rule paths are taken in the folder of the type's file.
    std::string Base() const;
    const CFileLocator& Locator() const { return m_locate; }

    char ForcedGlossStart() const { return m_fgStart; }
    char ForcedGlossEnd() const { return m_fgEnd; }
    char MorphophonemicBoundary() const { return m_mbnd; }
    const std::string& MorphemeBreaks() const { return m_breaks; }
    void SetForcedGloss(char start, char end);
    void SetMorphophonemicBoundary(char c);
    // An empty list of break characters is refused (the old one stays).
    void SetMorphemeBreaks(std::string breaks);
    // The character put where a morpheme break is needed: the first of the list.
    char FirstBreak() const { return m_breaks.empty() ? '-' : m_breaks[0]; }
    bool IsBreak(char c) const { return m_breaks.find(c) != std::string::npos; }

    // The text-line marker: the From marker of the first process.
    CMarker* TextMarker() const;
    bool HasAdaptProcs() const;
    bool HasNormalProcs() const;

    // --- editing (the list page of the type's properties) ---
    // Adds proc at the end (or before before); the type's interlinear flags follow.
    void AddProc(std::unique_ptr<CInterlinearProc> proc, CInterlinearProc* before = nullptr);
    // "Do you want to delete the interlinear process?"; Yes deletes it.
    bool DeleteProc(CInterlinearProc* proc);
    // Replaces proc by its edited copy (the properties dialog's OK).
    void ReplaceProc(CInterlinearProc* proc, std::unique_ptr<CInterlinearProc> edited);
    // A new process of kind with its defaults (the "Select Process" choice); From and To
    // are chosen by the properties dialog.
    std::unique_ptr<CInterlinearProc> MakeProc(CInterlinearProc::Kind kind);
    // Every built lexicon index of every process is dropped.
    void InvalidateIndexes();

    // --- settings ---
    std::string_view ObjectName() const override { return "intprclst"; }
    bool Read(ObjectStream& is, CNoteList& notes) override;
    void Write(ObjectStream& os) const override;
    void FinishReading(CNoteList&) override {}
    void OnMarkerUpdate(const CMarkerUpdate& update) override;
    bool IsModified() const override { return m_modified; }
    void SetModified(bool modified) override { m_modified = modified; }
    std::vector<std::pair<CMarker*, CMarker*>> InterlinearMarkerPairs() const override;

private:
    void Changed();

    CDatabaseType* m_type;
    CFileLocator m_locate;
    char m_fgStart = '{';
    char m_fgEnd = '}';
    char m_mbnd = '+';
    std::string m_breaks = "-";
    bool m_modified = false;
    UnknownEntries m_unknown;
};

// The process list of a type made with the interlinear layer's factory; null otherwise.
CInterlinearProcList* InterlinearProcsOf(const CDatabaseType& type);

// "Quick Setup": a Parse process from the text line to the morpheme line and Lookup
// processes from the morpheme line to the gloss and part-of-speech lines, all searching
// the lexicons given (paths) by their record marker; gloss and part of speech come from
// the lexicon markers named.
struct CQuickSetup {
    std::string textMarker;
    std::string morphemeBreaks = "-";
    std::string morphemeMarker;
    std::string glossMarker;
    std::string posMarker; // empty: no part-of-speech process
    std::vector<std::string> lexicons;
    std::string lexiconType;
    std::string lexiconGloss = "ge"; // markers of the lexicon type
    std::string lexiconPos = "ps";
    std::string lexiconRecordMarker = "lx";
};
// Checks the choices (markers valid, at least one lexicon) and adds the processes;
// false with the reason in error.
bool ApplyQuickSetup(CInterlinearProcList& list, const CQuickSetup& setup, std::string& error);

} // namespace crv
