// The interlinearizer: bundles (a text line and the interlinear lines under it), the run
// of the processes column by column with widening and aligned writing, the questions a
// run asks (through CInterlinearHost), and Spell check.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/platform.h"
#include "engine/bundle_wrap.h" // columns of bundle lines
#include "interlinear/interlinear_proc.h"
#include "record/rec_pos.h"

namespace crv {

class COpenDatabases;
class CRecord;
class CField;

// What a run needs of the application: the open databases, the questions, the view's
// jump insert, and the margin new bundles are wrapped at.
class CInterlinearHost {
public:
    virtual ~CInterlinearHost() = default;
    virtual COpenDatabases* Databases() = 0;
    // "Ambiguity Selection": one line per result; nullopt on Cancel. By default through
    // the platform's choice, the first result offered.
    virtual std::optional<std::size_t> ChooseAmbiguity(const std::vector<std::string>& results);
    // "Lookup failure. Insert in lexicon?" (the word is selected in the view first):
    // Yes, No or Cancel.
    virtual Answer AskInsertOnFailure(const std::string& word, const CRecPos& start,
                                      const CRecPos& end);
    // The view's jump insert of word (Yes to the question above).
    virtual void JumpInsert(const std::string&) {}
    // The wrap width of new bundles in columns; 0: not wrapped.
    virtual std::size_t WrapColumns() { return 0; }
    // Told of each ambiguity answered, for crv's report.
    virtual void AmbiguityChosen(const std::vector<std::string>&, std::size_t) {}
};

// A bundle: a field of the text line and the consecutive interlinear lines after it.
class CBundle {
public:
    CBundle(CRecord& record, CField* textLine) : m_record(&record), m_text(textLine) {}

    // The bundle at field (a text line, or a line inside a bundle); none otherwise.
    static std::optional<CBundle> At(CRecord& record, CField* field);
    static bool IsTextLine(const CField* f);
    static bool IsBundleLine(const CField* f);

    CRecord& Record() const { return *m_record; }
    CField* TextLine() const { return m_text; }
    // The text line first, then the other lines in order.
    std::vector<CField*> Lines() const;
    CField* LastLine() const;
    // The line of marker, or null.
    CField* Find(const CMarker* marker) const;
    // The line of marker, made empty after the last line when missing.
    CField* FindOrAdd(CMarker* marker);
    // Whether a following interlinear line exists yet.
    bool HasInterlinearLines() const;

    // Positions are columns (see ColumnCount).
    // Inserts n spaces at column at of every line long enough to have it. False, after
    // the field-limit message, when a line would pass the limit (nothing changed).
    bool Widen(std::size_t at, std::size_t n);
    // Pads line with spaces to column at, then puts out there in place of the word that
    // stood at that column. False after the field-limit message.
    bool Write(CField* line, std::size_t at, std::string_view out);

private:
    CRecord* m_record;
    CField* m_text;
};

// The state of one run, passed to each process.
class CInterlinearRun {
public:
    CInterlinearRun(CInterlinearProcList& procs, CBundle& bundle, CInterlinearHost& host)
        : m_procs(&procs), m_bundle(&bundle), m_host(&host) {}

    CInterlinearProcList& Procs() const { return *m_procs; }
    CBundle& Bundle() const { return *m_bundle; }
    CInterlinearHost& Host() const { return *m_host; }

    // Writes out at column at of line to, widening the bundle when out does not fit
    // before next (the start of the next word in the source, or kToLineEnd), and the
    // column width with it. False when the field limit stopped it.
    bool WriteOutput(CField* to, std::size_t at, const std::string& out, std::size_t next,
                     CColumn& column);

    // Blanks what line to holds in the column (col, width) before it is written anew.
    void ClearColumn(CField* to, std::size_t col, std::size_t width);
    // Where the last WriteOutput widened the bundle and by how much (0: it did not).
    std::pair<std::size_t, std::size_t> LastWidening() const { return m_lastWidening; }

private:
    CInterlinearProcList* m_procs;
    CBundle* m_bundle;
    CInterlinearHost* m_host;
    std::pair<std::size_t, std::size_t> m_lastWidening{0, 0};
};

// Start of the next word at or after byte pos (kToLineEnd when none).
std::size_t NextWordStart(std::string_view line, std::size_t pos);

struct InterlinearizeResult {
    bool ran = false;     // processes ran (the record may have changed)
    bool stopped = false; // a process stopped the run (a dialog cancelled, the limit)
    CRecPos caret;        // where the caret goes afterwards
};

// Interlinearize (normal) or Adapt from pos in record: the command of the record view.
// singleWord: only the column of the word (or the phrase a lookup matches) at pos.
InterlinearizeResult Interlinearize(CInterlinearProcList& procs, CRecord& record,
                                    const CRecPos& pos, bool adapt, CInterlinearHost& host,
                                    bool singleWord = false);

// Every bundle of record from its first field on (crv interlinearize): each text line
// without interlinear lines is interlinearized whole, existing bundles only where their
// lines end early.
InterlinearizeResult InterlinearizeRecord(CInterlinearProcList& procs, CRecord& record, bool adapt,
                                          CInterlinearHost& host);

// The wrap of a bundle filled for the first time, at width columns: the engine's bundle
// wrap, the pieces left without closing spaces as the interlinearizer writes its lines.
void WrapNewBundle(CRecord& record, CField* textLine, std::size_t width);

// Spell check from pos: the first word of a field in the From line's encoding that the
// first process cannot look up or parse. Its position (start, end), or none when the
// records were walked to the end ("Spell Check is complete" shown then).
struct SpellCheckHit {
    CRecPos start, end;
};
std::optional<SpellCheckHit> SpellCheck(CInterlinearProcList& procs,
                                        const std::vector<CRecord*>& records,
                                        std::size_t recordIndex, const CRecPos& pos,
                                        CInterlinearHost& host);

} // namespace crv
