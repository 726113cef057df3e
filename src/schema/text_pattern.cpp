#include "schema/text_pattern.h"

namespace crv {

namespace {

// The messages carry CR LF: message boxes show the hint on a line of its own.
constexpr std::string_view kExpectingVariable =
    "Expecting a variable or metacharacter after the left bracket;\r\n"
    "use \\[ if you want to match a literal left bracket";
constexpr std::string_view kExpectingRightBracket =
    "Expecting right bracket after a variable or metacharacter;\r\n"
    "use \\[ if you want to match a literal left bracket";
constexpr std::string_view kNotDefined = "Variable or metacharacter name not defined: ";
constexpr std::string_view kExpectingEscaped = "Expecting a character after the backslash;\r\n"
                                               "use \\\\ if you want to match a literal backslash";
constexpr std::string_view kStrayRightBracket =
    "This right bracket doesn't enclose a variable or metacharacter;\r\n"
    "use \\] if you want to match a literal right bracket";
constexpr std::string_view kInPattern = "in a text pattern string";

bool IsIn(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }

// A variable name ends at white space or a bracket, as variable names are checked.
bool EndsName(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '[' || c == ']';
}

class PatternCompiler {
public:
    PatternCompiler(std::string_view text, std::string_view terminators, CVarNameSet& names,
                    CNote& error)
        : m_text(text), m_terminators(terminators), m_names(names), m_error(error) {}

    // Compiles up to a terminator or the end; false after recording the error.
    bool Run(std::vector<CPatternElement>& out);
    std::size_t Pos() const { return m_pos; }

private:
    bool Bracket(CPatternElement& elem);
    bool Literal(std::string& literal);
    bool Fail(std::string_view text, std::string_view arg, std::size_t pos, std::size_t len) {
        m_error.AddText(text, arg, static_cast<int>(pos), static_cast<int>(len));
        return false;
    }
    bool AtStop() const { return m_pos >= m_text.size() || IsIn(m_text[m_pos], m_terminators); }

    std::string_view m_text;
    std::string_view m_terminators;
    CVarNameSet& m_names;
    CNote& m_error;
    std::size_t m_pos = 0;
};

bool PatternCompiler::Run(std::vector<CPatternElement>& out) {
    while (!AtStop()) {
        char c = m_text[m_pos];
        CPatternElement elem;
        if (c == '[') {
            if (!Bracket(elem))
                return false;
        } else if (c == ' ' || c == '\n') {
            while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\n') &&
                   !AtStop())
                ++m_pos;
            elem.kind = PatternElemKind::WhiteSpace;
        } else if (c == ']') {
            return Fail(kStrayRightBracket, {}, m_pos, 1);
        } else if (!Literal(elem.literal)) {
            return false;
        }
        out.push_back(std::move(elem));
    }
    return true;
}

bool PatternCompiler::Bracket(CPatternElement& elem) {
    const std::size_t open = m_pos;
    std::size_t nameEnd = open + 1;
    while (nameEnd < m_text.size() && !EndsName(m_text[nameEnd]))
        ++nameEnd;
    std::string_view name = m_text.substr(open + 1, nameEnd - open - 1);
    if (name.empty())
        return Fail(kExpectingVariable, {}, open, 1);
    if (nameEnd >= m_text.size() || m_text[nameEnd] != ']')
        return Fail(kExpectingRightBracket, {}, open, nameEnd - open);
    if (name == "?") {
        elem.kind = PatternElemKind::AnyUnit;
    } else if (name == "...") {
        elem.kind = PatternElemKind::AnySequence;
    } else if (name == "#" || name == "-") {
        elem.kind = name == "#" ? PatternElemKind::Boundary : PatternElemKind::BoundaryOrHyphen;
        elem.var = m_names.FindOrAdd("!");
    } else {
        CVarName* var = m_names.Search(name);
        if (!var)
            return Fail(kNotDefined, name, open + 1, name.size());
        elem.kind = PatternElemKind::Variable;
        elem.var = var;
    }
    m_pos = nameEnd + 1;
    return true;
}

bool PatternCompiler::Literal(std::string& literal) {
    while (!AtStop()) {
        char c = m_text[m_pos];
        if (c == '[' || c == ']' || c == ' ' || c == '\n')
            break;
        if (c == '\\') {
            if (m_pos + 1 >= m_text.size())
                return Fail(kExpectingEscaped, {}, m_pos, 1);
            literal += m_text[m_pos + 1];
            m_pos += 2;
            continue;
        }
        literal += c;
        ++m_pos;
    }
    return true;
}

} // namespace

std::optional<CTextPattern> CTextPattern::Compile(std::string_view text,
                                                  std::string_view terminators,
                                                  std::string_view followers, CVarNameSet& names,
                                                  CNote& error, std::size_t* end) {
    PatternCompiler compiler(text, terminators, names, error);
    std::vector<CPatternElement> elements;
    bool ok = compiler.Run(elements);
    std::size_t pos = compiler.Pos();
    if (ok && pos < text.size() && !IsIn(text[pos], followers)) {
        error.Add(kNoteNotExpectingChar, text.substr(pos, 1), static_cast<int>(pos), 1);
        ok = false;
    }
    if (!ok) {
        error.AddText(kInPattern);
        return std::nullopt;
    }
    if (end)
        *end = pos;
    CTextPattern pattern;
    for (const auto& elem : elements)
        if (elem.kind == PatternElemKind::WhiteSpace || elem.kind == PatternElemKind::AnySequence)
            pattern.m_backtracks = true;
    pattern.m_elements = std::move(elements);
    return pattern;
}

} // namespace crv
