#include "engine/filter_parse.h"

#include <algorithm>

namespace crv {

namespace {

constexpr std::string_view kExpectingFilterElement = "Expecting a Filter Element";
constexpr std::string_view kExpectingTextOrDate = "Expecting a Text or Date Element";
constexpr std::string_view kWithExpectsMarkerText = "\"With\" expects Marker Text Elements";
constexpr std::string_view kExpectingRightParen = "Expecting a right parenthesis )";
constexpr std::string_view kUnexpectedElement = "Unexpected Element after end of Filter";
constexpr std::string_view kTooDeep = "This filter is nested too deeply to be used";

// A parsed subtree and its depth.
struct Node {
    const CFilterElement* element = nullptr;
    int depth = 0;
};

// Recursive descent over the sequence: expression, unary, primary, with-chain,
// element. Every function answers an empty node after setting the error.
class FilterParser {
public:
    FilterParser(CFilterElementList& elements, CFilterParseError& error)
        : m_els(elements), m_error(error) {}

    const CFilterElement* Parse() {
        if (m_els.empty())
            return Fail(kExpectingFilterElement, -1).element;
        for (auto& e : m_els)
            if (auto* op = dynamic_cast<CFilterOperator*>(e.get()))
                op->SetOperands(nullptr, nullptr);
        Node root = Expression(0);
        if (!root.element)
            return nullptr;
        if (m_pos < m_els.size())
            return Fail(kUnexpectedElement, static_cast<int>(m_pos)).element;
        return root.element;
    }

private:
    Node Fail(std::string_view message, int element) {
        m_error.message = std::string(message);
        m_error.element = element;
        return {};
    }
    bool AtEnd() const { return m_pos >= m_els.size(); }
    FilterElementKind Peek() const { return m_els[m_pos]->Kind(); }
    CFilterOperator* TakeOperator() { return static_cast<CFilterOperator*>(m_els[m_pos++].get()); }
    // A node one level over its deepest operand, refused past the depth limit.
    Node Join(CFilterOperator* op, Node left, Node right = {}) {
        op->SetOperands(left.element, right.element);
        Node node{op, std::max(left.depth, right.depth) + 1};
        if (node.depth > kMaxFilterDepth)
            return Fail(kTooDeep, -1);
        return node;
    }

    Node Expression(int nesting) {
        Node left = Unary(nesting);
        while (left.element && !AtEnd() &&
               (Peek() == FilterElementKind::And || Peek() == FilterElementKind::Or)) {
            CFilterOperator* op = TakeOperator();
            Node right = Unary(nesting);
            if (!right.element)
                return right;
            left = Join(op, left, right);
        }
        return left;
    }

    Node Unary(int nesting) {
        if (nesting > kMaxFilterDepth)
            return Fail(kTooDeep, -1);
        if (!AtEnd() && Peek() == FilterElementKind::Not) {
            CFilterOperator* op = TakeOperator();
            Node operand = Unary(nesting + 1);
            return operand.element ? Join(op, operand) : operand;
        }
        return Primary(nesting);
    }

    Node Primary(int nesting) {
        if (AtEnd() || Peek() != FilterElementKind::LeftParen)
            return WithChain();
        CFilterOperator* open = TakeOperator();
        Node inner = Expression(nesting + 1);
        if (!inner.element)
            return inner;
        if (AtEnd() || Peek() != FilterElementKind::RightParen)
            return Fail(kExpectingRightParen, AtEnd() ? -1 : static_cast<int>(m_pos));
        ++m_pos; // the ")" is no node of its own
        if (!AtEnd() && Peek() == FilterElementKind::With)
            return Fail(kWithExpectsMarkerText, static_cast<int>(m_pos - 1));
        return Join(open, inner);
    }

    Node WithChain() {
        Node left = Element();
        if (!left.element || AtEnd() || Peek() != FilterElementKind::With)
            return left;
        if (!left.element->IsMarkerText())
            return Fail(kWithExpectsMarkerText, static_cast<int>(m_pos - 1));
        while (left.element && !AtEnd() && Peek() == FilterElementKind::With) {
            CFilterOperator* with = TakeOperator();
            Node right = Element();
            if (!right.element)
                return right;
            if (!right.element->IsMarkerText())
                return Fail(kWithExpectsMarkerText, static_cast<int>(m_pos - 1));
            left = Join(with, left, right);
        }
        return left;
    }

    Node Element() {
        if (AtEnd())
            return Fail(kExpectingTextOrDate, -1);
        if (!m_els[m_pos]->IsOperand())
            return Fail(kExpectingTextOrDate, static_cast<int>(m_pos));
        return {m_els[m_pos++].get(), 1};
    }

    CFilterElementList& m_els;
    CFilterParseError& m_error;
    std::size_t m_pos = 0;
};

} // namespace

CNote CFilterParseError::Note(const CFilterElementList& elements) const {
    CNote note;
    std::string named;
    if (element >= 0 && static_cast<std::size_t>(element) < elements.size())
        named = "\n" + elements[static_cast<std::size_t>(element)]->DisplayText();
    note.AddText(message, named);
    return note;
}

const CFilterElement* ParseFilterElements(CFilterElementList& elements, CFilterParseError& error) {
    return FilterParser(elements, error).Parse();
}

} // namespace crv
