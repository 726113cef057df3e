// crv's language commands: the encodings of the settings, the units of a text, sort keys,
// comparisons and sorting lines in a language's order.
#include <algorithm>
#include <cstdio>
#include <numeric>

#include "cli/crv_command_list.h"
#include "cli/crv_settings.h"
#include "cli/crv_text_input.h"

namespace crv::cli {

namespace {

// Keys as an index makes them: at most this many units per key part.
constexpr std::size_t kIndexKeyLength = 100;

// The settings of the invocation and a sort order of one encoding (its default when no
// name is given); order is null after a message when either is missing.
struct LangOrder {
    std::unique_ptr<CrvSettings> settings;
    const CSortOrder* order = nullptr;
};

LangOrder OpenOrder(const CrvContext& ctx, const std::string& lang,
                    const std::optional<std::string>& name) {
    LangOrder lo;
    lo.settings = OpenSettings(ctx);
    CLangEnc* enc = lo.settings ? FindLangEnc(*lo.settings, lang) : nullptr;
    if (!enc)
        return lo;
    lo.order = enc->FindSortOrder(name ? *name : std::string());
    if (!lo.order)
        std::fprintf(stderr, "crv: language encoding %s has no sort order named %s\n",
                     enc->Name().c_str(), name ? name->c_str() : "");
    return lo;
}

std::size_t MaxUnits(CommandArgs& args) {
    auto max = args.Number("--max");
    if (max && *max < 0)
        throw UsageError("--max needs a number of units of 0 or more");
    return max ? static_cast<std::size_t>(*max) : kIndexKeyLength;
}

} // namespace

int CmdLangList(CrvContext& ctx) {
    ctx.args.Operands(0, 0);
    auto settings = OpenSettings(ctx);
    if (!settings)
        return kExitFailed;
    for (auto& proxy : settings->langEncs->Proxies()) {
        CLangEnc* enc = proxy.GetLangEnc();
        std::fprintf(ctx.out, "%s\t%zu", enc->Name().c_str(), enc->Count());
        const CSortOrder* def = enc->DefaultSortOrder();
        if (def)
            std::fprintf(ctx.out, "\t%s", def->Name().c_str());
        for (const auto& so : enc->SortOrders())
            if (&so != def)
                std::fprintf(ctx.out, "\t%s", so.Name().c_str());
        std::fputc('\n', ctx.out);
    }
    return kExitOk;
}

int CmdUnits(CrvContext& ctx) {
    auto operands = ctx.args.Operands(2, 2);
    auto settings = OpenSettings(ctx);
    CLangEnc* enc = settings ? FindLangEnc(*settings, operands[0]) : nullptr;
    if (!enc)
        return kExitFailed;
    std::string line;
    for (std::string_view unit : enc->UnitTexts(operands[1])) {
        if (!line.empty())
            line += ' ';
        line += PrintableText(unit);
    }
    std::fprintf(ctx.out, "%s\n", line.c_str());
    return kExitOk;
}

int CmdKey(CrvContext& ctx) {
    auto order = ctx.args.Value("--order");
    bool fromEnd = ctx.args.Flag("--from-end");
    std::size_t max = MaxUnits(ctx.args);
    auto operands = ctx.args.Operands(2, 2);
    LangOrder lo = OpenOrder(ctx, operands[0], order);
    const CSortOrder* so = lo.order;
    if (!so)
        return kExitFailed;
    std::string key;
    bool ok = so->MakeKey(operands[1], key, max, fromEnd);
    std::string line;
    char hex[4];
    for (unsigned char c : key) {
        std::snprintf(hex, sizeof hex, "%02x", c);
        if (!line.empty())
            line += ' ';
        line += hex;
    }
    if (!ok)
        line += " (failed)";
    std::fprintf(ctx.out, "%s\n", line.c_str());
    return kExitOk;
}

int CmdCompare(CrvContext& ctx) {
    auto order = ctx.args.Value("--order");
    int mask = MatchLevelOption(ctx.args, kMatchAll);
    bool whole = ctx.args.Flag("--whole");
    auto operands = ctx.args.Operands(3, 3);
    LangOrder lo = OpenOrder(ctx, operands[0], order);
    const CSortOrder* so = lo.order;
    if (!so)
        return kExitFailed;
    std::string a, b;
    so->MakeKey(operands[1], a, kIndexKeyLength, false);
    so->MakeKey(operands[2], b, kIndexKeyLength, false);
    int r = so->CompareKeys(a, b, mask, whole);
    std::fprintf(ctx.out, "%d\n", r < 0 ? -1 : r > 0 ? 1 : 0);
    return kExitOk;
}

int CmdSort(CrvContext& ctx) {
    auto order = ctx.args.Value("--order");
    bool fromEnd = ctx.args.Flag("--from-end");
    auto operands = ctx.args.Operands(1, 2);
    LangOrder lo = OpenOrder(ctx, operands[0], order);
    const CSortOrder* so = lo.order;
    std::string text;
    if (!so || !ReadInput(operands.size() > 1 ? operands[1] : std::string(), text))
        return kExitFailed;

    // Each line's key is made once.
    std::vector<std::string_view> lines = InputLines(text);
    std::vector<std::string> keys(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        so->MakeKey(lines[i], keys[i], kIndexKeyLength, fromEnd);
    std::vector<std::size_t> sorted(lines.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(), [&](std::size_t a, std::size_t b) {
        return so->CompareKeys(keys[a], keys[b], kMatchAll, true) < 0;
    });
    std::string out;
    out.reserve(text.size() + 1);
    for (std::size_t i : sorted) {
        out.append(lines[i]);
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), ctx.out);
    return kExitOk;
}

} // namespace crv::cli
