// Compiling table text: reading lines, cutting them into tokens, and turning tokens into
// elements (quoted text, character codes, keywords with their arguments).
#include "zentab/compiler.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "zentab/commands.h"
#include "zentab/table_builder.h"

namespace crv::zt {

namespace {

constexpr std::size_t kMaxLine = 500;
constexpr long kArithmeticLimit = 2000000000;

struct Token {
    enum Kind { Quoted, Wedge, Word } kind;
    std::string text;
    int column; // from 1
};

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const char* const kTooMany[] = {"Too many stores", "Too many switches", "Too many groups",
                                "Too many defines"};
const char* const kPredefinedStores[] = {"ztcurrentdate", "ztcurrenttime", "ztversionmajor",
                                         "ztversionminor"};

class Compiler {
public:
    Compiler(Reporter& reporter, const CompileErrorSink& sink)
        : m_reporter(reporter), m_sink(sink) {}

    std::unique_ptr<Table> Compile(std::string_view source) {
        m_table = std::make_unique<Table>();
        ReadLines(source);
        bool ok = FinishTable(
            *m_table, m_reporter, m_errors > 0, m_tooLarge, true,
            [this](int line, int column, const std::string& text) { Error(column, text, line); });
        if (!ok)
            return nullptr;
        return std::move(m_table);
    }

private:
    enum class Expect { Nothing, Comparison, Arithmetic };

    void Error(int column, const std::string& text, int line = 0) {
        ++m_errors;
        if (line == 0)
            line = m_lineNumber;
        if (m_sink) {
            m_sink(text, line, column);
            return;
        }
        std::string where = line == m_lineNumber ? m_line : std::string();
        std::string caret(column > 1 ? static_cast<std::size_t>(column - 1) : 0, ' ');
        MessageArgs args;
        args.a = where + "\n" + caret + "^";
        args.b = text;
        m_reporter.Report(msg::CompileError, args, line);
    }

    void ReadLines(std::string_view src) {
        std::string cur;
        bool inQuote = false, cut = false, any = false;
        char quote = 0;
        m_lineNumber = 1;
        auto finish = [&] {
            while (!cur.empty() && cur.back() == ' ')
                cur.pop_back();
            m_line = cur;
            if (cut)
                Error(static_cast<int>(kMaxLine) + 1, "Line too long, end cut off");
            if (!m_fontSection)
                CompileLine(cur);
            cur.clear();
            inQuote = cut = false;
            ++m_lineNumber;
        };
        for (char ch : src) {
            if (ch == '\x1a')
                break;
            any = true;
            if (ch == '\n' || ch == '\f') {
                finish();
                any = false;
                continue;
            }
            if (ch == '\r' || ch == '\0')
                continue;
            if (!inQuote && ch == '\t')
                ch = ' ';
            if (!inQuote && (ch == '"' || ch == '\'')) {
                inQuote = true;
                quote = ch;
            } else if (inQuote && ch == quote) {
                inQuote = false;
            }
            if (cur.size() >= kMaxLine) {
                cut = true;
                continue;
            }
            cur += ch;
        }
        if (any)
            finish();
    }

    std::vector<Token> Tokenize(const std::string& line) {
        std::vector<Token> tokens;
        std::size_t i = 0, n = line.size();
        while (i < n) {
            if (line[i] == ' ') {
                ++i;
                continue;
            }
            int column = static_cast<int>(i) + 1;
            char ch = line[i];
            if (ch == '"' || ch == '\'') {
                std::size_t close = line.find(ch, i + 1);
                if (close == std::string::npos) {
                    Error(column, "Unmatched quote");
                    break;
                }
                tokens.push_back({Token::Quoted, line.substr(i + 1, close - i - 1), column});
                i = close + 1;
            } else if (ch == '>') {
                tokens.push_back({Token::Wedge, ">", column});
                ++i;
            } else {
                std::size_t end = line.find_first_of(" >\"'", i);
                if (end == std::string::npos)
                    end = n;
                std::string word = line.substr(i, end - i);
                i = end;
                if (word == "c" || word == "C")
                    break;
                if (word[0] == '(') {
                    Error(column, "Parenthesized parameter(s) must be adjacent to a keyword");
                    continue;
                }
                tokens.push_back({Token::Word, word, column});
            }
        }
        return tokens;
    }

    void Append(const std::vector<Element>& elements) {
        for (Element e : elements) {
            if (m_table->elements.size() >= kMaxElements) {
                m_tooLarge = true;
                return;
            }
            m_table->elements.push_back(e);
        }
    }
    void Append(Element e) { Append(std::vector<Element>{e}); }

    void CompileLine(const std::string& line) {
        std::vector<Token> tokens = Tokenize(line);
        if (tokens.empty())
            return;
        std::size_t before = m_table->elements.size();
        std::size_t wedge = 0;
        while (wedge < tokens.size() && tokens[wedge].kind != Token::Wedge)
            ++wedge;
        if (wedge < tokens.size()) {
            m_expect = Expect::Nothing;
            bool begin = false;
            for (std::size_t i = 0; i < wedge; ++i)
                if (tokens[i].kind == Token::Word && tokens[i].text == "begin")
                    begin = true;
            if (begin) {
                if (wedge != 1) {
                    Error(tokens[0].column, "Illegal search string in begin statement");
                    return;
                }
                if (m_changes > 0) {
                    Error(tokens[0].column, "Begin command not first in table");
                    return;
                }
                Append({kChangeStart, Command(op::Begin), kWedge});
            } else {
                Append(kChangeStart);
                CompileMatch(tokens, wedge);
                Append(kWedge);
            }
            ++m_changes;
            CompileOutput(tokens, wedge + 1);
        } else {
            if (m_changes == 0 && tokens[0].kind == Token::Word && tokens[0].text == "begin") {
                Error(tokens[0].column, "No wedge on 'begin' line");
                return;
            }
            CompileOutput(tokens, 0);
        }
        if (m_table->elements.size() > before)
            m_table->lineStarts.push_back({static_cast<std::uint32_t>(before), m_lineNumber});
    }

    // prec() tokens before the first other element are compiled right after that element:
    // they test the output before the match, wherever they stand.
    void CompileMatch(const std::vector<Token>& tokens, std::size_t end) {
        std::vector<const Token*> held;
        bool first = true;
        for (std::size_t i = 0; i < end; ++i) {
            const Token& t = tokens[i];
            if (first && t.kind == Token::Word && t.text.compare(0, 5, "prec(") == 0) {
                held.push_back(&t);
                continue;
            }
            std::vector<Element> out;
            CompileToken(t, Side::Match, out);
            if (first && !out.empty()) {
                first = false;
                std::size_t lead = IsCommand(out[0]) && out.size() > 1 ? 2 : 1;
                Append(std::vector<Element>(out.begin(), out.begin() + static_cast<long>(lead)));
                EmitHeld(held);
                Append(std::vector<Element>(out.begin() + static_cast<long>(lead), out.end()));
            } else {
                Append(out);
            }
        }
        EmitHeld(held);
    }

    void EmitHeld(std::vector<const Token*>& held) {
        for (const Token* t : held) {
            std::vector<Element> out;
            CompileToken(*t, Side::Match, out);
            Append(out);
        }
        held.clear();
    }

    void CompileOutput(const std::vector<Token>& tokens, std::size_t from) {
        for (std::size_t i = from; i < tokens.size() && !m_fontSection; ++i) {
            std::vector<Element> out;
            CompileToken(tokens[i], Side::Output, out);
            std::size_t base = m_table->elements.size();
            Append(out);
            for (std::size_t at : m_repeatOffsets)
                if (base + at < m_table->elements.size())
                    m_table->repeats.push_back(static_cast<std::uint32_t>(base + at));
        }
    }

    void CompileToken(const Token& t, Side side, std::vector<Element>& out) {
        m_repeatOffsets.clear();
        if (t.kind == Token::Wedge) {
            Error(t.column, "Unrecognized keyword");
            return;
        }
        if (t.kind == Token::Quoted) {
            if (m_expect == Expect::Arithmetic)
                CheckArithmeticNumber(t.text, t.column);
            m_expect = Expect::Nothing;
            for (char ch : t.text)
                out.push_back(static_cast<unsigned char>(ch));
            return;
        }
        const std::string& w = t.text;
        if (m_expect == Expect::Arithmetic && (IsDigit(w[0]) || w[0] == '-')) {
            CheckArithmeticNumber(w, t.column);
            m_expect = Expect::Nothing;
            for (char ch : w)
                out.push_back(static_cast<unsigned char>(ch));
            return;
        }
        if (IsDigit(w[0]) || ((w[0] == 'd' || w[0] == 'D') && w.size() > 1 && IsDigit(w[1])) ||
            ((w[0] == 'x' || w[0] == 'X') && w.size() > 1 && HexValue(w[1]) >= 0)) {
            m_expect = Expect::Nothing;
            CharacterCode(w, t.column, out);
            return;
        }
        CompileKeyword(t, side, out);
    }

    void CheckArithmeticNumber(const std::string& text, int column) {
        std::size_t i = text.size() > 1 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
        if (i == text.size()) {
            Error(column, "Invalid number for arithmetic");
            return;
        }
        long long value = 0;
        for (; i < text.size(); ++i) {
            if (!IsDigit(text[i])) {
                Error(column, "Invalid number for arithmetic");
                return;
            }
            if (value < kArithmeticLimit)
                value = value * 10 + (text[i] - '0');
        }
        if (value >= kArithmeticLimit)
            Error(column, "Number too big, must be less than 2,000,000,000");
    }

    // Octal (leading 1-7 or 0), decimal (d), hexadecimal (x, two digits per element).
    void CharacterCode(const std::string& w, int column, std::vector<Element>& out) {
        char kind = 'o';
        std::size_t from = 0;
        if (w[0] == 'd' || w[0] == 'D') {
            kind = 'd';
            from = 1;
        } else if (w[0] == 'x' || w[0] == 'X') {
            kind = 'x';
            from = 1;
        } else if (w[0] == '0' && w.size() > 1) {
            if (w[1] == 'x' || w[1] == 'X')
                kind = 'x', from = 2;
            else if (w[1] == 'd' || w[1] == 'D')
                kind = 'd', from = 2;
        }
        std::string digits = w.substr(from);
        if (kind == 'x') {
            if (digits.empty()) {
                Error(column, "Invalid hexadecimal digit");
                return;
            }
            for (char c : digits)
                if (HexValue(c) < 0) {
                    Error(column, "Invalid hexadecimal digit");
                    return;
                }
            if (digits.size() % 2)
                digits.insert(digits.begin(), '0');
            for (std::size_t i = 0; i < digits.size(); i += 2)
                out.push_back(
                    static_cast<Element>(HexValue(digits[i]) * 16 + HexValue(digits[i + 1])));
            return;
        }
        long value = 0;
        for (char c : digits) {
            bool ok = kind == 'd' ? IsDigit(c) : IsOctalDigit(c);
            if (!ok) {
                Error(column, kind == 'd' ? "Invalid decimal digit" : "Invalid octal digit");
                return;
            }
            if (value < 100000)
                value = value * (kind == 'd' ? 10 : 8) + (c - '0');
        }
        if (digits.empty()) {
            Error(column, "Invalid decimal digit");
        } else if (kind == 'd' && value >= 256) {
            Error(column, "Decimal number too big, must be less than 256");
        } else if (kind == 'o' && value > 0377) {
            Error(column, "Octal number too big, must not exceed 377");
        } else {
            out.push_back(static_cast<Element>(value));
        }
    }

    void CompileKeyword(const Token& t, Side side, std::vector<Element>& out) {
        const std::string& w = t.text;
        std::size_t paren = w.find('(');
        std::string name = w.substr(0, paren);
        if (name == "nl" || name == "tab") {
            if (w.size() != name.size())
                Error(t.column + static_cast<int>(name.size()), "Illegal parenthesis");
            m_expect = Expect::Nothing;
            out.push_back(name == "nl" ? 13 : 9);
            return;
        }
        const CommandInfo* kw = FindKeyword(name, side);
        if (!kw) {
            if (side == Side::Output && name == "font") {
                m_fontSection = true;
                m_reporter.Report(msg::FontSectionIgnored);
                return;
            }
            Error(t.column, "Unrecognized keyword");
            return;
        }
        if (m_expect != Expect::Nothing && kw->code != op::Cont)
            Error(t.column, m_expect == Expect::Comparison
                                ? "Illegal command following comparison operator"
                                : "Illegal command following arithmetic operator");
        m_expect = IsComparison(kw->code)   ? Expect::Comparison
                   : IsArithmetic(kw->code) ? Expect::Arithmetic
                                            : Expect::Nothing;
        int afterName = t.column + static_cast<int>(name.size());
        if (kw->args == ArgType::None) {
            if (paren != std::string::npos || w.size() != name.size())
                Error(afterName, "Illegal parenthesis");
            else if (kw->code != op::Read)
                out.push_back(Command(kw->code));
            return;
        }
        if (paren == std::string::npos) {
            if (kw->args == ArgType::Number && w.size() == name.size()) {
                out.insert(out.end(), {Command(kw->code), 1});
                return;
            }
            Error(afterName, "Missing parenthesis");
            return;
        }
        std::size_t close = w.find(')', paren);
        if (close == std::string::npos) {
            Error(t.column + static_cast<int>(w.size()), "No close parenthesis");
            return;
        }
        if (close + 1 != w.size()) {
            Error(t.column + static_cast<int>(close) + 1, "Illegal parenthesis");
            return;
        }
        std::vector<std::string> args;
        std::string list = w.substr(paren + 1, close - paren - 1);
        for (std::size_t start = 0;;) {
            std::size_t comma = list.find(',', start);
            args.push_back(list.substr(start, comma == std::string::npos ? comma : comma - start));
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
        if (kw->code == op::Use)
            out.push_back(Command(op::Use));
        int index = 0;
        bool emitted = false;
        for (const std::string& arg : args) {
            int column = afterName + 1;
            if (arg.empty()) {
                Error(column, "Missing parameter");
                continue;
            }
            std::size_t at = out.size();
            switch (kw->args) {
            case ArgType::Symbols:
                SymbolArgument(*kw, arg, column, out);
                break;
            case ArgType::Number:
                NumberArgument(*kw, arg, column, out);
                break;
            case ArgType::Bytes:
                if (index == 2)
                    m_reporter.Report(msg::DoublebyteTooManyArgs);
                if (index < 2)
                    ByteArgument(arg, column, out);
                break;
            case ArgType::None:
                break;
            }
            if (out.size() > at) {
                if (emitted)
                    m_repeatOffsets.push_back(at);
                emitted = true;
            }
            ++index;
        }
    }

    void SymbolArgument(const CommandInfo& kw, const std::string& name, int column,
                        std::vector<Element>& out) {
        SymbolTable& table = m_table->Symbols(kw.symbols);
        int n = table.Intern(name);
        if (n == 0) {
            Error(column, kTooMany[static_cast<int>(kw.symbols)]);
            return;
        }
        Symbol* s = table.ByNumber(n);
        if (kw.defines)
            s->defined = true;
        if (kw.symbols == SymbolKind::Store && (kw.code == op::Out || kw.code == op::Outs ||
                                                kw.code == op::Wrstore || IsComparison(kw.code)))
            for (const char* p : kPredefinedStores)
                if (name == p)
                    s->predefined = true;
        out.insert(out.end(), {Command(kw.code == op::Use ? std::uint8_t{op::Incl} : kw.code),
                               static_cast<Element>(n)});
    }

    void NumberArgument(const CommandInfo& kw, const std::string& arg, int column,
                        std::vector<Element>& out) {
        long value = 0;
        for (char c : arg) {
            if (!IsDigit(c)) {
                Error(column, "Bad number");
                return;
            }
            if (value < 100000)
                value = value * 10 + (c - '0');
        }
        if (value > kMaxSymbol)
            Error(column, "Number too big");
        else if (value == 0)
            Error(column, "Number cannot be zero");
        else
            out.insert(out.end(), {Command(kw.code), static_cast<Element>(value)});
    }

    // A doublebyte value: octal, or decimal after d, or hexadecimal after x; at most 255.
    void ByteArgument(const std::string& arg, int column, std::vector<Element>& out) {
        char kind = 'o';
        std::size_t from = 0;
        if (arg[0] == 'd' || arg[0] == 'D')
            kind = 'd', from = 1;
        else if (arg[0] == 'x' || arg[0] == 'X')
            kind = 'x', from = 1;
        bool bad = from >= arg.size();
        long value = 0;
        for (std::size_t i = from; i < arg.size() && !bad; ++i) {
            char c = arg[i];
            int d = kind == 'x'   ? HexValue(c)
                    : kind == 'd' ? (IsDigit(c) ? c - '0' : -1)
                                  : (IsOctalDigit(c) ? c - '0' : -1);
            if (d < 0)
                bad = true;
            else if (value < 100000)
                value = value * (kind == 'x' ? 16 : kind == 'd' ? 10 : 8) + d;
        }
        if (bad)
            Error(column, "Error - doublebyte argument is illegal octal number");
        else if (value > 255)
            Error(column, "Doublebyte number too big");
        else
            out.insert(out.end(), {Command(op::Doublebyte), static_cast<Element>(value)});
    }

    Reporter& m_reporter;
    const CompileErrorSink& m_sink;
    std::unique_ptr<Table> m_table;
    std::string m_line;
    int m_lineNumber = 0;
    int m_errors = 0;
    int m_changes = 0;
    bool m_tooLarge = false;
    bool m_fontSection = false;
    Expect m_expect = Expect::Nothing;
    // Where in the token's elements a further argument repeats its command.
    std::vector<std::size_t> m_repeatOffsets;
};

// A compiled byte stream: bytes below 0x80 are characters and arguments, bytes from 0x80
// commands; 0x1A ends it. Arguments are checked since the stream was never compiled here.
std::unique_ptr<Table> LoadCompiledStream(std::string_view bytes, Reporter& reporter,
                                          const CompileErrorSink& sink) {
    auto table = std::make_unique<Table>();
    std::vector<Element>& el = table->elements;
    int errors = 0;
    bool tooLarge = false;
    auto error = [&](int line, int column, const std::string& text) {
        ++errors;
        if (sink) {
            sink(text, line, column);
            return;
        }
        MessageArgs args;
        args.a = "\n^";
        args.b = text;
        reporter.Report(msg::CompileError, args, line);
    };
    for (char ch : bytes) {
        unsigned char b = static_cast<unsigned char>(ch);
        if (b == 0x1A)
            break;
        if (el.size() >= kMaxElements) {
            tooLarge = true;
            break;
        }
        el.push_back(b < 0x80 ? Element(b) : Command(b));
    }
    table->lineStarts.push_back({0, 1});
    for (std::uint32_t i = 0; i < el.size(); ++i) {
        if (!IsCommand(el[i]))
            continue;
        std::uint8_t code = CodeOf(el[i]);
        const CommandInfo* info = CommandByCode(code);
        if (!info) {
            if (code != op::ChangeStart && code != op::Wedge)
                error(1, static_cast<int>(i) + 1, "Unrecognized keyword");
            continue;
        }
        if (ArgumentCount(code) == 0)
            continue;
        if (i + 1 >= el.size() || IsCommand(el[i + 1]) ||
            (info->args != ArgType::Bytes && el[i + 1] == 0)) {
            error(1, static_cast<int>(i) + 1, "Missing parameter");
            el.resize(i);
            break;
        }
        // A stream does not tell if(a,b) from if(a) if(b): a command right after the same
        // command is taken as its further argument.
        if (i >= 2 && el[i - 2] == el[i])
            table->repeats.push_back(i);
        ++i;
        if (info->args == ArgType::Symbols) {
            SymbolTable& st = table->Symbols(info->symbols);
            int n = st.Intern(std::to_string(el[i]));
            if (Symbol* s = st.ByNumber(n); s && info->defines)
                s->defined = true;
        }
    }
    if (!FinishTable(*table, reporter, errors > 0, tooLarge, false, error))
        return nullptr;
    return table;
}

} // namespace

std::unique_ptr<Table> CompileTable(std::string_view source, Reporter& reporter,
                                    const CompileErrorSink& onError) {
    // A UTF-8 byte order mark opens many text files saved on Windows: it is text, not the
    // first command of a compiled stream.
    if (source.substr(0, 3) == "\xEF\xBB\xBF")
        source.remove_prefix(3);
    else if (!source.empty() && static_cast<unsigned char>(source[0]) >= 0x80)
        return LoadCompiledStream(source, reporter, onError);
    Compiler compiler(reporter, onError);
    return compiler.Compile(source);
}

std::unique_ptr<Table> CompileTableFile(const std::string& path, Reporter& reporter,
                                        const CompileErrorSink& onError) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::size_t slash = path.find_last_of("/\\");
        std::size_t dot = path.find('.', slash == std::string::npos ? 0 : slash + 1);
        if (dot == std::string::npos) {
            in.clear();
            in.open(path + ".ZTT", std::ios::binary);
            if (!in) {
                in.clear();
                in.open(path + ".ztt", std::ios::binary);
            }
        }
    }
    if (!in) {
        MessageArgs args;
        args.a = path;
        reporter.Report(msg::TableNotFound, args);
        return nullptr;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return CompileTable(text, reporter, onError);
}

} // namespace crv::zt
