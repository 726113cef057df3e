// The elements a filter is built from: text and date tests on fields, the language text
// test, Non-Unique, the operators And, Or, Not, With and the parentheses. The elements of
// a filter's sequence are also the nodes of its expression tree: the parser links each
// operator to its operands.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/counted_ref.h"
#include "base/note.h"
#include "record/date_condition.h"
#include "schema/pattern_match.h"
#include "schema/text_pattern.h"

namespace crv {

class CField;
class CLangEnc;
class CMarker;
class CMarkerSet;
class CRecord;
struct CLangEncUpdate;
struct CMarkerUpdate;
class CVarNameSet;
class ObjectStream;

// The language element's name for all encodings.
inline constexpr std::string_view kAnyLangText = "Any Lang.";

enum class FilterElementKind {
    MarkerText,
    MarkerDate,
    LangText,
    NonUnique,
    Not,
    And,
    Or,
    LeftParen,
    RightParen,
    With,
    Unreadable, // read from settings in a form no element has; kept to be written back
};

// What one evaluation looks at: the entry (record and field of the sort marker, or none),
// the records of its neighbours in the index being filtered, and the filter's settings.
struct CFilterContext {
    const CRecord* record = nullptr;
    const CField* field = nullptr;
    const CRecord* prev = nullptr;
    const CRecord* next = nullptr;
    CMatchSettings settings;
    bool matchWhole = false;
    // Where elements find markers that were unknown when they were made.
    CMarkerSet* markers = nullptr;
};

class CFilterElement {
public:
    virtual ~CFilterElement() = default;
    CFilterElement(const CFilterElement&) = delete;
    CFilterElement& operator=(const CFilterElement&) = delete;

    FilterElementKind Kind() const { return m_kind; }
    bool IsMarkerText() const { return m_kind == FilterElementKind::MarkerText; }
    // A text or date test or Non-Unique: what stands where the grammar wants an element.
    bool IsOperand() const;

    // True when the entry passes this element (with its operands, for operators).
    virtual bool Matches(const CFilterContext& ctx) const = 0;
    // The settings entries of this element alone (operands are elements of their own).
    virtual void Write(ObjectStream& os) const = 0;
    // A copy without links to operands.
    virtual std::unique_ptr<CFilterElement> Clone() const = 0;
    // The text the filter dialog lists for the element.
    virtual std::string DisplayText() const = 0;

    // Notices: markers and encodings are renamed under the element.
    virtual void OnMarkerUpdate(const CMarkerUpdate&) {}
    // True when the element's text changed (it names the renamed encoding).
    virtual bool OnLangEncUpdate(const CLangEncUpdate&) { return false; }

protected:
    explicit CFilterElement(FilterElementKind kind) : m_kind(kind) {}

private:
    FilterElementKind m_kind;
};

using CFilterElementList = std::vector<std::unique_ptr<CFilterElement>>;

CFilterElementList CloneElements(const CFilterElementList& elements);

class CFilterMarker;
// The marker of a marker text or marker date element; null for other elements.
CFilterMarker* ElementMarker(const CFilterElement& element);

// A marker named by an element: kept by name, and while the marker set has it, held
// counted and as a settings reference, so that the marker is not merged away.
class CFilterMarker {
public:
    explicit CFilterMarker(std::string name);
    CFilterMarker(const CFilterMarker& other);
    CFilterMarker& operator=(const CFilterMarker&) = delete;
    ~CFilterMarker();

    const std::string& Name() const;
    CMarker* Get() const { return m_marker.Get(); }
    // Looks the name up in markers when the marker is not held yet.
    CMarker* Resolve(CMarkerSet* markers);
    void OnMarkerUpdate(const CMarkerUpdate& update);

private:
    void Hold(CMarker* marker);
    std::string m_name;
    CountedRef<CMarker> m_marker;
};

// The text pattern of a text element: its text as typed, and the compiled pattern (none
// when the text does not compile; the element then matches nothing).
class CFilterPattern {
public:
    CFilterPattern(std::string text, std::optional<CTextPattern> pattern)
        : m_text(std::move(text)), m_pattern(std::move(pattern)) {}
    CFilterPattern(const CFilterPattern& other)
        : m_text(other.m_text), m_pattern(other.m_pattern) {}
    CFilterPattern& operator=(const CFilterPattern&) = delete;

    const std::string& Text() const { return m_text; }
    bool IsCompiled() const { return m_pattern.has_value(); }
    // A match anywhere in text, or of the whole text when the filter matches whole fields.
    bool MatchesText(const CFilterContext& ctx, const CLangEnc& langEnc,
                     std::string_view text) const;
    // A match that starts at offset (and with whole-field matching runs to the end).
    bool MatchesAt(const CFilterContext& ctx, const CLangEnc& langEnc, std::string_view text,
                   std::size_t offset) const;

private:
    CPatternMatcher& Matcher(const CFilterContext& ctx) const;
    std::string m_text;
    std::optional<CTextPattern> m_pattern;
    // Kept between calls so that its buffers are reused over a whole index.
    mutable std::optional<CPatternMatcher> m_matcher;
    mutable int m_matcherMask = 0;
};

// "\mkr" and a text pattern: a field of the marker within the entry's scope matches.
class CFilterMarkerText : public CFilterElement {
public:
    CFilterMarkerText(const CFilterMarker& marker, const CFilterPattern& pattern);
    bool Matches(const CFilterContext& ctx) const override;
    // Whether some field of the marker (not the record's first field) has a match that
    // starts at column of one of its lines: With ties aligned lines together this way.
    bool MatchesAtColumn(const CFilterContext& ctx, std::size_t column) const;
    // Calls found(column) for the start of every match in the fields of the marker (not
    // the record's first field) until it answers true; true then.
    bool AnyMatchColumn(const CFilterContext& ctx,
                        const std::function<bool(std::size_t)>& found) const;
    void Write(ObjectStream& os) const override;
    std::unique_ptr<CFilterElement> Clone() const override;
    std::string DisplayText() const override;
    void OnMarkerUpdate(const CMarkerUpdate& update) override { m_marker.OnMarkerUpdate(update); }

    CFilterMarker& Marker() const { return m_marker; }
    const CFilterPattern& Pattern() const { return m_pattern; }

private:
    mutable CFilterMarker m_marker;
    CFilterPattern m_pattern;
};

// "\mkr", a relation and a date: a field of the marker within the entry's scope holds a
// date in that relation.
class CFilterMarkerDate : public CFilterElement {
public:
    CFilterMarkerDate(const CFilterMarker& marker, CDateCondition condition);
    bool Matches(const CFilterContext& ctx) const override;
    void Write(ObjectStream& os) const override;
    std::unique_ptr<CFilterElement> Clone() const override;
    std::string DisplayText() const override;
    void OnMarkerUpdate(const CMarkerUpdate& update) override { m_marker.OnMarkerUpdate(update); }

    CFilterMarker& Marker() const { return m_marker; }
    const CDateCondition& Condition() const { return m_condition; }

private:
    mutable CFilterMarker m_marker;
    CDateCondition m_condition;
};

// A language encoding (by name) or any, and a text pattern: a field of the record whose
// marker is in that encoding matches.
class CFilterLangText : public CFilterElement {
public:
    // any: fields of every encoding (langName is then empty).
    CFilterLangText(bool any, std::string langName, const CFilterPattern& pattern);
    bool Matches(const CFilterContext& ctx) const override;
    void Write(ObjectStream& os) const override;
    std::unique_ptr<CFilterElement> Clone() const override;
    std::string DisplayText() const override;
    bool OnLangEncUpdate(const CLangEncUpdate& update) override;

    bool AnyLang() const { return m_any; }
    const std::string& LangName() const { return m_langName; }
    const CFilterPattern& Pattern() const { return m_pattern; }

private:
    bool m_any;
    std::string m_langName;
    CFilterPattern m_pattern;
};

// Non-Unique, the operators and the parentheses. The parser sets the operands: left and
// right of And, Or and With; the operand of Not and "(" in left.
class CFilterOperator : public CFilterElement {
public:
    explicit CFilterOperator(FilterElementKind kind) : CFilterElement(kind) {}
    bool Matches(const CFilterContext& ctx) const override;
    // With chains: the whole chain matches at column.
    bool MatchesAtColumn(const CFilterContext& ctx, std::size_t column) const;
    void Write(ObjectStream& os) const override;
    std::unique_ptr<CFilterElement> Clone() const override;
    std::string DisplayText() const override;

    void SetOperands(const CFilterElement* left, const CFilterElement* right = nullptr) {
        m_left = left;
        m_right = right;
    }
    const CFilterElement* Left() const { return m_left; }
    const CFilterElement* Right() const { return m_right; }

private:
    const CFilterElement* m_left = nullptr;
    const CFilterElement* m_right = nullptr;
};

// Entries read from settings that make no element (a marker without text or date, a
// stray text, an operator this version does not know). Written back as read; false.
class CFilterUnreadable : public CFilterElement {
public:
    using Entries = std::vector<std::pair<std::string, std::string>>;
    explicit CFilterUnreadable(Entries entries)
        : CFilterElement(FilterElementKind::Unreadable), m_entries(std::move(entries)) {}
    bool Matches(const CFilterContext&) const override { return false; }
    void Write(ObjectStream& os) const override;
    std::unique_ptr<CFilterElement> Clone() const override;
    std::string DisplayText() const override;

private:
    Entries m_entries;
};

// The word of an operator as the dialog shows it ("And", "Non-Unique", "(") and as the
// settings write it after "fel" ("NonUnique" for Non-Unique).
std::string_view OperatorDisplayText(FilterElementKind kind);
std::string_view OperatorSettingsWord(FilterElementKind kind);
// The operator of a "fel" value ("Non-Unique" accepted too); nullopt for another word.
std::optional<FilterElementKind> OperatorOfSettingsWord(std::string_view word);

// A pattern for a text element: compiled, or nullopt with the pattern's note followed by
// "in a marker-string filter condition".
std::optional<CTextPattern> CompileFilterPattern(std::string_view text, CVarNameSet& names,
                                                 CNote& error);

} // namespace crv
