// Find and replace over a database: which fields are searched (one marker, or every
// field in the find text's language), the order fields and records are visited in (from
// a position through the rest of its record, then the window's index from the next
// record on, each record once, round to the start), and Replace All. The record view
// and crv's text commands both search through here.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/find_settings.h"
#include "app/find_text.h"
#include "engine/index_entry.h"

namespace crv {

class CCrvDoc;
class CDocView;
class CField;
class CIndex;
class CIndexSet;
class CLangEnc;
class CMarker;
class CRecord;

struct CFindHit {
    CRecord* record = nullptr;
    CField* field = nullptr;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// Where a search starts: the record (its entry in the window's index, when it has one),
// the field and the character offset.
struct CFindStart {
    CRecord* record = nullptr;
    CField* field = nullptr;
    std::size_t offset = 0;
    CIndexPos entry;
};

class CFindScope {
public:
    // index: the window's index (filtered when it has a filter); null searches only the
    // start record. The settings are read when the scope is made.
    CFindScope(const CFindSettings& settings, CIndexSet& db, const CIndex* index);
    ~CFindScope();

    // Why the search cannot run, for the caller to show; empty when it can. A marker the
    // type lacks is no reason: such a search simply finds nothing.
    const std::string& Problem() const { return m_problem; }
    // Whether the fields of marker are searched.
    bool Searches(const CMarker* marker) const;

    // The next hit from start, forward or backward; none when the search came round to
    // where it started (or reached the end of the record, searching one record).
    std::optional<CFindHit> Find(const CFindStart& start, bool forward) const;
    // Every hit in search order from start forward, hits in a field one after another;
    // fn returns false to stop.
    void ForEachHit(const CFindStart& start, const std::function<bool(const CFindHit&)>& fn) const;

    // The records of the scope from start on, in search order, each once: the start
    // record first (its fields from start's field on, when singleRecord), then the
    // index's records after it, round to the one before it.
    std::vector<CRecord*> RecordsFrom(const CFindStart& start) const;
    // The matcher for a field of marker (null when its fields are not searched).
    const CFindMatcher* MatcherFor(const CMarker* marker) const;
    bool SingleRecord() const { return m_singleRecord; }

private:
    const CLangEnc* LangOf(const CMarker* marker) const;
    // Visits the search's segments in order: fn(record, field, lo, hi) for hits beginning
    // in [lo, hi) of the field; fn returns true to stop.
    void Walk(const CFindStart& start, bool forward,
              const std::function<bool(CRecord*, CField*, std::size_t, std::size_t)>& fn) const;

    CIndexSet& m_db;
    const CIndex* m_index;
    std::string m_text;
    int m_mask;
    bool m_whole;
    bool m_singleRecord;
    const CMarker* m_field = nullptr; // SingleField: the marker searched
    bool m_nothing = false;           // SingleField naming a marker the type lacks
    const CLangEnc* m_lang = nullptr; // otherwise: the language searched
    std::string m_problem;
    mutable std::vector<std::unique_ptr<CFindMatcher>> m_matchers;
};

// What Replace All did.
struct CReplaceResult {
    std::size_t replaced = 0;
    std::size_t records = 0;
    // Fields where a replacement was left out because the field would have passed 32000
    // characters.
    std::vector<CFindHit> skipped;
};

// Replaces every hit of the scope from start forward with replacement, under the
// progress text "Replacing all..."; each record changed is stamped and re-sorted
// (CCrvDoc::RecordTextChanged) and its views told. A replacement that would take a field
// past 32000 characters is left out (the text there stays as it was). Nothing is
// shown; the caller shows the counts (ReplaceAllMessages).
CReplaceResult ReplaceAll(CCrvDoc& doc, const CFindScope& scope, const CFindStart& start,
                          const std::string& replacement, CDocView* sender = nullptr);
// "%1 occurrences were replaced." (information), after the field-limit message when
// replacements were left out.
void ShowReplaceAllMessages(const CReplaceResult& result);

// The field text with the hits in [hits] replaced, left to right, while the field stays
// within 32000 characters; the hits left out are counted in skipped. Line starts that
// now begin with a backslash get a space in front.
std::string ReplaceHits(std::string_view text, const std::vector<CTextHit>& hits,
                        const std::string& replacement, std::size_t& replaced,
                        std::size_t& skipped);

} // namespace crv
