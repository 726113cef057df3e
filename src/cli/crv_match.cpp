// crv match: the lines of a text in which a text pattern finds a match, as a filter's
// text condition tests a field.
#include <cstdio>

#include "cli/crv_command_list.h"
#include "cli/crv_settings.h"
#include "cli/crv_text_input.h"
#include "schema/pattern_match.h"

namespace crv::cli {

int CmdMatch(CrvContext& ctx) {
    // Filters and key searches start at the primary level; so does match.
    int mask = MatchLevelOption(ctx.args, kMatchPrimary);
    bool whole = ctx.args.Flag("--whole");
    auto operands = ctx.args.Operands(2, 3);
    auto settings = OpenSettings(ctx);
    CLangEnc* enc = settings ? FindLangEnc(*settings, operands[0]) : nullptr;
    if (!enc)
        return kExitFailed;
    CNote error;
    auto pattern =
        CTextPattern::Compile(operands[1], "", "", settings->langEncs->VarNames(), error);
    if (!pattern) {
        platform().ShowMessage(error.Text());
        if (error.Position() >= 0)
            std::fprintf(stderr, "crv: the error is at character %d of the pattern\n",
                         error.Position() + 1);
        return kExitFailed;
    }
    std::string text;
    if (!ReadInput(operands.size() > 2 ? operands[2] : std::string(), text))
        return kExitFailed;

    CPatternMatcher matcher(*pattern, {mask});
    std::string out;
    std::size_t lineNumber = 0;
    bool gaveUp = false;
    for (std::string_view line : InputLines(text)) {
        ++lineNumber;
        CTextPos pos(line, *enc);
        if (whole ? matcher.MatchWhole(pos) : matcher.Find(pos)) {
            out.append(line);
            out += '\n';
        } else if (matcher.GaveUp()) {
            // Not a "no": say so, and fail the command.
            std::fprintf(
                stderr,
                "crv: line %zu: the pattern needs too much backtracking; the line is left out\n",
                lineNumber);
            gaveUp = true;
        }
    }
    std::fwrite(out.data(), 1, out.size(), ctx.out);
    return gaveUp ? kExitFailed : kExitOk;
}

} // namespace crv::cli
