// Command-line parsing for crv: the global options, and the options and operands of one
// command. Wrong usage throws UsageError, which crv turns into exit status 2.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace crv::cli {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The arguments of one command after its name: options are taken by name, what is left
// are the operands.
class CommandArgs {
public:
    explicit CommandArgs(std::vector<std::string> args) : m_args(std::move(args)) {}

    // An option with a value (--name VALUE or --name=VALUE); the last one wins.
    std::optional<std::string> Value(std::string_view name);
    // Every occurrence of an option with a value, in order.
    std::vector<std::string> Values(std::string_view name);
    // An option without a value.
    bool Flag(std::string_view name);
    // An integer option; UsageError when the value is not a number.
    std::optional<long> Number(std::string_view name);
    // The operands left after every option was taken; UsageError when an unknown option
    // remains or the count is outside min..max.
    std::vector<std::string> Operands(std::size_t min, std::size_t max);

private:
    std::vector<std::string> m_args;
};

// The match level of --level (p, c, e or i) as a match mask; defaultMask without the
// option. UsageError for any other value.
int MatchLevelOption(CommandArgs& args, int defaultMask);

// A field text as crv prints it: each LF becomes the two characters \n.
std::string PrintableText(std::string_view text);

} // namespace crv::cli
