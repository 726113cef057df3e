#include "cli/crv_args.h"

#include <cerrno>
#include <cstdlib>

#include "base/message_text.h"
#include "schema/sort_order.h"

namespace crv::cli {

std::vector<std::string> CommandArgs::Values(std::string_view name) {
    std::vector<std::string> out;
    std::string eq = std::string(name) + "=";
    for (std::size_t i = 0; i < m_args.size();) {
        if (m_args[i] == "--") // operands only from here on
            break;
        if (m_args[i] == name) {
            if (i + 1 >= m_args.size())
                throw UsageError("option " + std::string(name) + " needs a value");
            out.push_back(m_args[i + 1]);
            m_args.erase(m_args.begin() + static_cast<long>(i),
                         m_args.begin() + static_cast<long>(i) + 2);
        } else if (m_args[i].compare(0, eq.size(), eq) == 0) {
            out.push_back(m_args[i].substr(eq.size()));
            m_args.erase(m_args.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    return out;
}

std::optional<std::string> CommandArgs::Value(std::string_view name) {
    auto v = Values(name);
    if (v.empty())
        return std::nullopt;
    return v.back();
}

bool CommandArgs::Flag(std::string_view name) {
    bool found = false;
    for (std::size_t i = 0; i < m_args.size();) {
        if (m_args[i] == "--")
            break;
        if (m_args[i] == name) {
            found = true;
            m_args.erase(m_args.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    return found;
}

std::optional<long> CommandArgs::Number(std::string_view name) {
    auto v = Value(name);
    if (!v)
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    long n = std::strtol(v->c_str(), &end, 10);
    if (v->empty() || *end != '\0' || errno == ERANGE)
        throw UsageError("option " + std::string(name) + " needs a number, not '" + *v + "'");
    return n;
}

std::vector<std::string> CommandArgs::Operands(std::size_t min, std::size_t max) {
    std::vector<std::string> out;
    bool onlyOperands = false;
    for (const auto& a : m_args) {
        if (!onlyOperands && a == "--") {
            onlyOperands = true;
            continue;
        }
        if (!onlyOperands && a.size() > 1 && a[0] == '-')
            throw UsageError("unknown option " + a);
        out.push_back(a);
    }
    if (out.size() < min)
        throw UsageError("missing operand");
    if (out.size() > max)
        throw UsageError("too many operands");
    return out;
}

int MatchLevelOption(CommandArgs& args, int defaultMask) {
    auto level = args.Value("--level");
    if (!level)
        return defaultMask;
    int mask = level->size() == 1 ? MatchMaskOfCode((*level)[0]) : -1;
    if (mask < 0)
        throw UsageError("--level must be p, c, e or i");
    return mask;
}

std::string PrintableText(std::string_view text) { return EscapeLineBreaks(text); }

} // namespace crv::cli
