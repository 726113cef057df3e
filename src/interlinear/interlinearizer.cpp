// Bundles, the driver of a run, the bundle wrap of new bundles, and Spell check.
#include "interlinear/interlinearizer.h"

#include <algorithm>

#include "base/message_text.h"
#include "base/platform.h"
#include "record/field.h"
#include "record/record.h"
#include "schema/marker.h"

namespace crv {

// ---------------------------------------------------------------- the host

std::optional<std::size_t>
CInterlinearHost::ChooseAmbiguity(const std::vector<std::string>& results) {
    return platform().ChooseItem("Ambiguity Selection", results, 0);
}

Answer CInterlinearHost::AskInsertOnFailure(const std::string&, const CRecPos&, const CRecPos&) {
    return platform().Ask("Lookup failure. Insert in lexicon?", Buttons::YesNoCancel, Answer::No);
}

// ---------------------------------------------------------------- bundles

bool CBundle::IsTextLine(const CField* f) {
    return f && (f->Marker()->InterlinearFlags() & CMarker::kInterlinearTextLine);
}

bool CBundle::IsBundleLine(const CField* f) {
    return f && (f->Marker()->InterlinearFlags() & CMarker::kInterlinearLine) && !IsTextLine(f);
}

std::optional<CBundle> CBundle::At(CRecord& record, CField* field) {
    if (!field)
        return std::nullopt;
    CField* f = field;
    while (IsBundleLine(f))
        f = record.GetPrev(f);
    if (!IsTextLine(f))
        return std::nullopt;
    return CBundle(record, f);
}

std::vector<CField*> CBundle::Lines() const {
    std::vector<CField*> out{m_text};
    for (CField* f = m_record->GetNext(m_text); IsBundleLine(f); f = m_record->GetNext(f))
        out.push_back(f);
    return out;
}

CField* CBundle::LastLine() const { return Lines().back(); }

bool CBundle::HasInterlinearLines() const { return IsBundleLine(m_record->GetNext(m_text)); }

CField* CBundle::Find(const CMarker* marker) const {
    if (!marker)
        return nullptr;
    for (CField* f : Lines())
        if (f->Marker() == marker)
            return f;
    return nullptr;
}

CField* CBundle::FindOrAdd(CMarker* marker) {
    if (CField* f = Find(marker))
        return f;
    auto* f = new CField(marker);
    m_record->InsertAfter(LastLine(), f);
    return f;
}

bool CBundle::Widen(std::size_t at, std::size_t n) {
    if (n == 0)
        return true;
    // In a line whose word runs across the point (the text word over its morphemes) the
    // spaces go after that word, so that no word is split and the next column still
    // starts at the same place in every line.
    std::vector<std::pair<CField*, std::size_t>> where;
    for (CField* f : Lines()) {
        const std::string& t = f->Text();
        std::size_t p = ByteOfColumn(t, at);
        while (p < t.size() && p > 0 && t[p - 1] != ' ' && t[p] != ' ')
            ++p;
        if (p >= t.size())
            continue;
        if (!FieldLengthOK(static_cast<std::int64_t>(t.size() + n)))
            return false;
        where.emplace_back(f, p);
    }
    for (auto& [f, p] : where)
        f->Text().insert(p, n, ' ');
    return true;
}

bool CBundle::Write(CField* line, std::size_t at, std::string_view out) {
    std::string& text = line->Text();
    const std::size_t cols = ColumnCount(text);
    const std::size_t pad = cols < at ? at - cols : 0;
    std::size_t b = ByteOfColumn(text, at);
    std::size_t e = std::min(b, text.size());
    while (e < text.size() && text[e] != ' ' && text[e] != '\n')
        ++e;
    const std::size_t oldCols = e > b ? ColumnOfByte(text, e) - at : 0;
    const std::size_t outCols = ColumnCount(out);
    // Characters are replaced in place, so the columns after stay where they are; a
    // longer word that stood there is blanked out.
    const std::size_t n = std::max(outCols, oldCols);
    const std::size_t end = std::min(ByteOfColumn(text, at + n), text.size());
    const std::size_t from = std::min(b, text.size());
    std::string replacement(out);
    replacement.append(n - outCols, ' ');
    if (!FieldLengthOK(
            static_cast<std::int64_t>(text.size() + pad - (end - from) + replacement.size())))
        return false;
    text.append(pad, ' ');
    b = ByteOfColumn(text, at);
    text.replace(b, std::min(end, text.size()) - b, replacement);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return true;
}

// ---------------------------------------------------------------- a run

std::size_t NextWordStart(std::string_view line, std::size_t pos) {
    std::size_t p = std::min(pos, line.size());
    while (p < line.size() && line[p] != ' ' && line[p] != '\n')
        ++p;
    while (p < line.size() && (line[p] == ' ' || line[p] == '\n'))
        ++p;
    return p >= line.size() ? kToLineEnd : p;
}

void CInterlinearRun::ClearColumn(CField* to, std::size_t col, std::size_t width) {
    std::string& text = to->Text();
    const std::size_t b = ByteOfColumn(text, col);
    if (b >= text.size())
        return;
    const std::size_t e =
        width >= kToLineEnd ? text.size() : std::min(text.size(), ByteOfColumn(text, col + width));
    text.replace(b, e - b, ColumnOfByte(text, e) - col, ' ');
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
}

bool CInterlinearRun::WriteOutput(CField* to, std::size_t at, const std::string& out,
                                  std::size_t next, CColumn& column) {
    m_lastWidening = {0, 0};
    const std::size_t outCols = ColumnCount(out);
    if (next < kToLineEnd && at + outCols + 1 > next) {
        const std::size_t by = at + outCols + 1 - next;
        if (!m_bundle->Widen(next, by))
            return false;
        m_lastWidening = {next, by};
        if (column.width < kToLineEnd)
            column.width += by;
    }
    return m_bundle->Write(to, at, out);
}

namespace {

void StripLineEnds(const CBundle& bundle) {
    for (CField* f : bundle.Lines())
        while (!f->Text().empty() && f->Text().back() == '\n')
            f->Text().pop_back();
}

// Which processes run: a normal run those before the first adaptation process, an
// adaptation run that one and all after it.
std::vector<CInterlinearProc*> ProcsOfRun(CInterlinearProcList& procs, bool adapt) {
    std::vector<CInterlinearProc*> out;
    bool seenAdapt = false;
    for (CInterlinearProc& p : procs) {
        seenAdapt |= p.Adapt();
        if (p.GetKind() == CInterlinearProc::Kind::Given)
            continue;
        if (seenAdapt == adapt)
            out.push_back(&p);
    }
    return out;
}

// The processes of one kind over the bundle from column col; the bundle's lines have
// no line ends meanwhile.
ProcStatus RunColumns(CInterlinearProcList& procs, CBundle& bundle, CInterlinearHost& host,
                      std::size_t col, bool adapt, bool wholeLine, bool oneColumn = false) {
    std::vector<CInterlinearProc*> run = ProcsOfRun(procs, adapt);
    if (run.empty())
        return ProcStatus::Ok;
    CInterlinearRun state(procs, bundle, host);
    for (bool firstColumn = true;; firstColumn = false) {
        if (col >= ColumnCount(bundle.TextLine()->Text()) || (oneColumn && !firstColumn))
            return ProcStatus::Ok;
        if (!firstColumn && !wholeLine) {
            // An existing bundle: only the part its first interlinear line has not
            // reached yet.
            std::vector<CField*> lines = bundle.Lines();
            if (lines.size() < 2 || TrimmedColumns(lines[1]->Text()) > col)
                return ProcStatus::Ok;
        }
        CColumn column;
        column.col = col;
        column.adapt = adapt;
        for (CInterlinearProc* p : run) {
            if (p->Interlinearize(state, column) == ProcStatus::Stop)
                return ProcStatus::Stop;
            ++column.ran;
        }
        if (column.width == 0 || column.width >= kToLineEnd)
            return ProcStatus::Ok;
        col = std::min(col + column.width, ColumnCount(bundle.TextLine()->Text()));
    }
}

// The column of the start of the word at byte pos, or of the word whose trailing spaces
// pos is in.
std::size_t WordStartAt(const std::string& text, std::size_t pos) {
    std::size_t p = std::min(pos, text.size());
    while (p > 0 && (p == text.size() || text[p] == ' ') && text[p - 1] == ' ')
        --p;
    while (p > 0 && text[p - 1] != ' ')
        --p;
    return ColumnOfByte(text, p);
}

} // namespace

InterlinearizeResult Interlinearize(CInterlinearProcList& procs, CRecord& record,
                                    const CRecPos& pos, bool adapt, CInterlinearHost& host,
                                    bool singleWord) {
    InterlinearizeResult result;
    result.caret = pos;
    std::optional<CBundle> found = CBundle::At(record, pos.Field());
    if (!found)
        return result;
    CBundle& bundle = *found;
    // The kind asked for, else the other kind when the list holds none of it.
    if (adapt && !procs.HasAdaptProcs())
        adapt = false;
    else if (!adapt && !procs.HasNormalProcs())
        adapt = true;
    const bool fresh = !bundle.HasInterlinearLines();
    CField* last = bundle.LastLine();
    std::string tail;
    for (std::size_t n = last->Text().size(); n > 0 && last->Text()[n - 1] == '\n'; --n)
        tail += '\n';
    const std::string original = bundle.TextLine()->Text();
    StripLineEnds(bundle);
    std::string& text = bundle.TextLine()->Text();
    if (fresh)
        std::replace(text.begin(), text.end(), '\n', ' ');
    // A caret in a lower line stands for the same column of the text line.
    std::size_t caret = 0;
    if (pos.Field() == bundle.TextLine())
        caret = static_cast<std::size_t>(pos.Offset());
    else if (pos.Field())
        caret = ByteOfColumn(
            text, ColumnOfByte(pos.Field()->Text(), static_cast<std::size_t>(pos.Offset())));
    const std::size_t col = WordStartAt(text, caret);
    ProcStatus status = ProcStatus::Ok;
    // A new line adapted is first interlinearized the normal way.
    if (fresh && adapt && procs.HasNormalProcs())
        status = RunColumns(procs, bundle, host, col, false, true, singleWord);
    if (status == ProcStatus::Ok)
        status = RunColumns(procs, bundle, host, col, adapt, fresh, singleWord);
    result.ran = true;
    result.stopped = status == ProcStatus::Stop;
    if (!bundle.HasInterlinearLines()) {
        // Nothing was written: the line stays exactly as it was.
        bundle.TextLine()->Text() = original;
        result.caret = pos;
        return result;
    }
    // The line end after the bundle comes back (all that stood there).
    bundle.LastLine()->Text() += tail.empty() ? std::string("\n") : tail;
    if (fresh && !result.stopped) {
        std::size_t width = host.WrapColumns();
        if (width > 0)
            WrapNewBundle(record, bundle.TextLine(), width);
    }
    const std::string& done = bundle.TextLine()->Text();
    result.caret = CRecPos(&record, bundle.TextLine(),
                           static_cast<int>(std::min(ByteOfColumn(done, col), done.size())));
    return result;
}

InterlinearizeResult InterlinearizeRecord(CInterlinearProcList& procs, CRecord& record, bool adapt,
                                          CInterlinearHost& host) {
    InterlinearizeResult total;
    std::vector<CField*> texts;
    for (CField& f : record)
        if (CBundle::IsTextLine(&f))
            texts.push_back(&f);
    for (CField* t : texts) {
        // A new bundle may have been wrapped into several: each is a text line of its own
        // that the walk below does not revisit.
        CBundle b(record, t);
        std::size_t col = 0;
        if (b.HasInterlinearLines()) {
            // The first word the bundle's first interlinear line has not reached.
            const std::string& text = t->Text();
            std::size_t p = ByteOfColumn(text, TrimmedColumns(b.Lines()[1]->Text()));
            if (p < text.size() && p > 0 && text[p - 1] != ' ')
                p = NextWordStart(text, p);
            while (p < text.size() && (text[p] == ' ' || text[p] == '\n'))
                ++p;
            if (p >= text.size())
                continue;
            col = p;
        }
        InterlinearizeResult r =
            Interlinearize(procs, record, CRecPos(&record, t, static_cast<int>(col)), adapt, host);
        total.ran |= r.ran;
        if (r.stopped) {
            total.stopped = true;
            break;
        }
    }
    return total;
}

// ---------------------------------------------------------------- wrapping

void WrapNewBundle(CRecord& record, CField* textLine, std::size_t width) {
    const std::size_t added = WrapBundle(record, textLine, width);
    // The cut leaves the spaces before it on each piece but the last; this program
    // writes its lines without closing spaces.
    CField* first = textLine;
    for (std::size_t b = 0; b < added; ++b) {
        std::vector<CField*> lines = BundleFields(record, first);
        for (CField* f : lines) {
            std::string& t = f->Text();
            std::size_t ends = t.size();
            while (ends > 0 && t[ends - 1] == '\n')
                --ends;
            std::size_t words = ends;
            while (words > 0 && t[words - 1] == ' ')
                --words;
            t.erase(words, ends - words);
        }
        first = record.GetNext(lines.back());
    }
}

// ---------------------------------------------------------------- spell check

std::optional<SpellCheckHit> SpellCheck(CInterlinearProcList& procs,
                                        const std::vector<CRecord*>& records,
                                        std::size_t recordIndex, const CRecPos& pos,
                                        CInterlinearHost& host) {
    CInterlinearProc* proc = procs.GetFirst();
    if (!proc || !proc->From()) {
        platform().ShowMessage("Spell Check is complete", MessageKind::Information, false);
        return std::nullopt;
    }
    const CLangEnc* enc = proc->From()->LangEnc();
    for (std::size_t r = recordIndex; r < records.size(); ++r) {
        CRecord& record = *records[r];
        CBundle dummy(record, record.GetFirst());
        CInterlinearRun run(procs, dummy, host);
        bool started = r != recordIndex || !pos.Field();
        for (CField& f : record) {
            std::size_t from = 0;
            if (!started) {
                if (&f != pos.Field())
                    continue;
                started = true;
                from = static_cast<std::size_t>(pos.Offset());
            }
            if (f.Marker()->LangEnc() != enc)
                continue;
            const std::string& text = f.Text();
            std::size_t p = from;
            while (p < text.size()) {
                while (p < text.size() && (text[p] == ' ' || text[p] == '\n'))
                    ++p;
                std::size_t e = p;
                while (e < text.size() && text[e] != ' ' && text[e] != '\n')
                    ++e;
                if (e == p)
                    break;
                if (proc->SpellCheckFails(run, std::string_view(text).substr(p, e - p))) {
                    return SpellCheckHit{CRecPos(&record, &f, static_cast<int>(p)),
                                         CRecPos(&record, &f, static_cast<int>(e))};
                }
                p = e;
            }
        }
    }
    platform().ShowMessage("Spell Check is complete", MessageKind::Information, false);
    return std::nullopt;
}

} // namespace crv
