// Text patterns of filters and searches: literal text, white space, the metacharacters
// [?] [...] [#] [-] and bracketed character variables, compiled into a list of elements.
// Matching is in pattern_match.h.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/counted_ref.h"
#include "base/note.h"
#include "schema/var.h"

namespace crv {

enum class PatternElemKind {
    Literal,          // text compared unit by unit at the match level
    WhiteSpace,       // one or more spaces, tabs or LFs
    AnyUnit,          // [?]
    AnySequence,      // [...]
    Boundary,         // [#]
    BoundaryOrHyphen, // [-]
    Variable,         // [name]
};

struct CPatternElement {
    PatternElemKind kind = PatternElemKind::Literal;
    std::string literal;      // Literal: the bytes, backslash escapes removed
    CountedRef<CVarName> var; // Variable: its name; boundaries: the punctuation variable "!"
};

class CTextPattern {
public:
    // Compiles text from its start up to the first terminator character (or the end).
    // The pattern must stop at the end or at one of the follower characters. On success
    // end (if given) is the offset where it stopped. On failure nullopt, with the reason in
    // error: an item with the offset and length of the offending text, then "in a text
    // pattern string".
    static std::optional<CTextPattern> Compile(std::string_view text, std::string_view terminators,
                                               std::string_view followers, CVarNameSet& names,
                                               CNote& error, std::size_t* end = nullptr);

    const std::vector<CPatternElement>& Elements() const { return m_elements; }
    bool IsEmpty() const { return m_elements.empty(); }
    // Whether an element can give back text ([...] or white space).
    bool Backtracks() const { return m_backtracks; }

private:
    std::vector<CPatternElement> m_elements;
    bool m_backtracks = false;
};

} // namespace crv
