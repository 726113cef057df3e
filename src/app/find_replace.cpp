#include "app/find_replace.h"

#include <algorithm>
#include <unordered_set>

#include "app/crv_doc.h"
#include "app/record_edit.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "engine/index_set.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"

namespace crv {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::vector<CField*> FieldsOf(CRecord& record) {
    std::vector<CField*> out;
    for (CField* f = record.GetFirst(); f; f = record.GetNext(f))
        out.push_back(f);
    return out;
}

} // namespace

CFindScope::CFindScope(const CFindSettings& settings, CIndexSet& db, const CIndex* index)
    : m_db(db), m_index(index), m_text(settings.Text()), m_mask(settings.mask),
      m_whole(settings.matchWhole), m_singleRecord(settings.singleRecord) {
    if (m_text.empty()) {
        m_problem = "There is no text to find.";
        return;
    }
    if (m_text.find_first_of("\r\n") != std::string::npos) {
        m_problem = "The text to find cannot hold a line break.";
        return;
    }
    if (settings.singleField) {
        m_field = db.Markers().Search(settings.field);
        m_nothing = m_field == nullptr;
        return;
    }
    CLangEncSet* encodings = db.Markers().LangEncSet();
    if (settings.Lang().empty())
        m_lang = db.Markers().DefaultLangEnc();
    else
        m_lang = encodings ? encodings->Find(settings.Lang()) : nullptr;
    m_nothing = m_lang == nullptr;
}

CFindScope::~CFindScope() = default;

const CLangEnc* CFindScope::LangOf(const CMarker* marker) const {
    if (marker->LangEnc())
        return marker->LangEnc();
    return marker->Owner() ? marker->Owner()->DefaultLangEnc() : nullptr;
}

bool CFindScope::Searches(const CMarker* marker) const {
    // Hidden fields are not shown, so nothing is found (or replaced) in them.
    if (!marker || m_nothing || !m_problem.empty() || marker->Hidden())
        return false;
    if (m_field)
        return marker == m_field;
    return LangOf(marker) == m_lang;
}

const CFindMatcher* CFindScope::MatcherFor(const CMarker* marker) const {
    if (!Searches(marker))
        return nullptr;
    const CLangEnc* lang = LangOf(marker);
    for (const auto& m : m_matchers)
        if (m->LangEnc() == lang)
            return m.get();
    m_matchers.push_back(std::make_unique<CFindMatcher>(m_text, lang, m_mask, m_whole));
    return m_matchers.back().get();
}

std::vector<CRecord*> CFindScope::RecordsFrom(const CFindStart& start) const {
    std::vector<CRecord*> out;
    if (start.record)
        out.push_back(start.record);
    if (m_singleRecord || !m_index)
        return out;
    std::size_t n = m_index->Count();
    std::size_t ordinal = kNone;
    if (start.record) {
        CIndexPos pos = start.entry.IsValid() ? m_index->PosOf(start.entry.Entry()) : CIndexPos();
        if (!pos.IsValid() || pos.Record() != start.record)
            pos = m_index->FindRecord(start.record);
        if (pos.IsValid())
            ordinal = pos.Ordinal();
    }
    // An index with one entry per record needs no memory of the records visited.
    bool once = m_index->Base() == nullptr && n == m_db.RecordCount();
    std::unordered_set<const CRecord*> seen;
    if (start.record)
        seen.insert(start.record);
    std::size_t first = ordinal == kNone ? 0 : ordinal + 1;
    for (std::size_t k = 0; k < n; ++k) {
        CRecord* r = m_index->EntryAt((first + k) % n)->Record();
        if (r == start.record)
            continue;
        if (once || seen.insert(r).second)
            out.push_back(r);
    }
    return out;
}

void CFindScope::Walk(
    const CFindStart& start, bool forward,
    const std::function<bool(CRecord*, CField*, std::size_t, std::size_t)>& fn) const {
    if (!start.record || !m_problem.empty() || m_nothing)
        return;
    CRecord* home = start.record;
    std::vector<CField*> fields = FieldsOf(*home);
    std::size_t at = 0;
    std::size_t offset = 0;
    auto it = std::find(fields.begin(), fields.end(), start.field);
    if (it != fields.end()) {
        at = static_cast<std::size_t>(it - fields.begin());
        offset = start.offset;
    }
    auto seg = [&](CRecord* r, CField* f, std::size_t lo, std::size_t hi) {
        return Searches(f->Marker()) && fn(r, f, lo, hi);
    };
    std::vector<CRecord*> others = RecordsFrom(start);
    others.erase(others.begin()); // the start record is searched apart
    if (forward) {
        if (seg(home, fields[at], offset, kNone))
            return;
        for (std::size_t j = at + 1; j < fields.size(); ++j)
            if (seg(home, fields[j], 0, kNone))
                return;
        if (m_singleRecord)
            return;
        for (CRecord* r : others)
            for (CField* f = r->GetFirst(); f; f = r->GetNext(f))
                if (seg(r, f, 0, kNone))
                    return;
        for (std::size_t j = 0; j < at; ++j)
            if (seg(home, fields[j], 0, kNone))
                return;
        seg(home, fields[at], 0, offset);
        return;
    }
    if (seg(home, fields[at], 0, offset))
        return;
    for (std::size_t j = at; j-- > 0;)
        if (seg(home, fields[j], 0, kNone))
            return;
    if (m_singleRecord)
        return;
    for (auto r = others.rbegin(); r != others.rend(); ++r)
        for (CField* f = (*r)->GetLast(); f; f = (*r)->GetPrev(f))
            if (seg(*r, f, 0, kNone))
                return;
    for (std::size_t j = fields.size(); j-- > at + 1;)
        if (seg(home, fields[j], 0, kNone))
            return;
    seg(home, fields[at], offset, kNone);
}

std::optional<CFindHit> CFindScope::Find(const CFindStart& start, bool forward) const {
    std::optional<CFindHit> found;
    Walk(start, forward, [&](CRecord* r, CField* f, std::size_t lo, std::size_t hi) {
        const CFindMatcher* m = MatcherFor(f->Marker());
        std::string_view text = f->Text();
        std::optional<CTextHit> hit =
            forward ? m->FindForward(text, lo) : m->FindBackward(text, hi);
        if (!hit || hit->begin < lo || (hi != kNone && hit->begin >= hi))
            return false;
        found = CFindHit{r, f, hit->begin, hit->end};
        return true;
    });
    return found;
}

void CFindScope::ForEachHit(const CFindStart& start,
                            const std::function<bool(const CFindHit&)>& fn) const {
    Walk(start, true, [&](CRecord* r, CField* f, std::size_t lo, std::size_t hi) {
        const CFindMatcher* m = MatcherFor(f->Marker());
        std::string_view text = f->Text();
        while (auto hit = m->FindForward(text, lo)) {
            if (hi != kNone && hit->begin >= hi)
                break;
            if (!fn(CFindHit{r, f, hit->begin, hit->end}))
                return true;
            lo = hit->end > hit->begin ? hit->end : hit->begin + 1;
        }
        return false;
    });
}

std::string ReplaceHits(std::string_view text, const std::vector<CTextHit>& hits,
                        const std::string& replacement, std::size_t& replaced,
                        std::size_t& skipped) {
    std::string out;
    out.reserve(text.size() + hits.size() * replacement.size());
    std::size_t pos = 0;
    std::size_t length = text.size();
    std::size_t done = 0;
    for (const CTextHit& h : hits) {
        std::size_t next = length - (h.end - h.begin) + replacement.size();
        if (next > static_cast<std::size_t>(kMaxFieldLength)) {
            ++skipped;
            continue;
        }
        out.append(text.substr(pos, h.begin - pos));
        out += replacement;
        pos = h.end;
        length = next;
        ++done;
    }
    out.append(text.substr(pos));
    EscapeLineStarts(out, 0, out.size());
    if (out.size() > static_cast<std::size_t>(kMaxFieldLength)) {
        // Only the spaces that keep lines from beginning with a backslash took it over.
        skipped += done;
        return std::string(text);
    }
    replaced += done;
    return out;
}

CReplaceResult ReplaceAll(CCrvDoc& doc, const CFindScope& scope, const CFindStart& start,
                          const std::string& replacement, CDocView* sender) {
    CReplaceResult result;
    // In index order: re-keying record after record then reads the index in sequence.
    std::vector<CRecord*> records = scope.RecordsFrom(start);
    auto progress = platform().BeginProgress("Replacing all...",
                                             static_cast<std::int64_t>(records.size()), false);
    std::vector<CTextHit> hits;
    for (CRecord* r : records) {
        bool changed = false;
        bool home = r == start.record;
        // One record only: from the start on; otherwise every hit of every record.
        bool fromStart = home && scope.SingleRecord();
        bool reached = !fromStart || start.field == nullptr;
        // NOLINTNEXTLINE(clang-analyzer-core.CallAndMessage): the scope holds no null record
        for (CField* f = r->GetFirst(); f; f = r->GetNext(f)) {
            if (!reached && f != start.field)
                continue;
            std::size_t lo = !reached ? start.offset : 0;
            reached = true;
            const CFindMatcher* m = scope.MatcherFor(f->Marker());
            if (!m)
                continue;
            hits.clear();
            std::string_view text = f->Text();
            m->ForEach(text, lo, [&](const CTextHit& h) { hits.push_back(h); });
            if (hits.empty())
                continue;
            std::size_t skipped = 0;
            std::string replaced = ReplaceHits(text, hits, replacement, result.replaced, skipped);
            if (skipped)
                result.skipped.push_back(CFindHit{r, f, hits.front().begin, hits.front().end});
            if (replaced != text) {
                f->SetText(std::move(replaced));
                changed = true;
            }
        }
        if (changed) {
            doc.RecordTextChanged(r, true, sender);
            ++result.records;
        }
        progress->Step();
    }
    return result;
}

void ShowReplaceAllMessages(const CReplaceResult& result) {
    if (!result.skipped.empty())
        platform().ShowMessage("Fields are limited to 32000 characters in size.");
    platform().ShowMessage(
        FormatMessage("%1 occurrences were replaced.", {std::to_string(result.replaced)}),
        MessageKind::Information, false);
}

} // namespace crv
