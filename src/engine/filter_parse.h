// The grammar of a filter's element sequence: And and Or of the same precedence, grouped
// from the left; Not binding tighter; parentheses; With chains of marker text elements.
#pragma once

#include <string>

#include "base/note.h"
#include "engine/filter_element.h"

namespace crv {

// Trees deeper than this are refused, so that evaluating one never exhausts the stack;
// no filter built in the dialog comes near it.
inline constexpr int kMaxFilterDepth = 500;

struct CFilterParseError {
    std::string message;
    // The element the message names (its position in the sequence); -1 for none.
    int element = -1;
    // The message, and on a line of its own the display text of the element it names.
    CNote Note(const CFilterElementList& elements) const;
};

// Links the operators of elements to their operands and returns the root; null with
// error when the sequence does not follow the grammar.
const CFilterElement* ParseFilterElements(CFilterElementList& elements, CFilterParseError& error);

} // namespace crv
