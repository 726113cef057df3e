// crv corpus list, wordlist and concordance: the project's text corpora, and word lists
// and concordances made from them as the desktop program makes them.
#include <cstdio>
#include <filesystem>

#include "app/corpus_command.h"
#include "app/project.h"
#include "base/platform.h"
#include "cli/crv_command_list.h"
#include "cli/crv_settings.h"
#include "corpus/corpus_messages.h"

namespace crv::cli {

namespace {

namespace fs = std::filesystem;

// The project of -p, which holds the corpora; null after a message.
std::unique_ptr<CrvSettings> OpenProjectSettings(const CrvContext& ctx) {
    if (ctx.projectPath.empty())
        throw UsageError("the corpora are a project's: -p PROJECT.prj is needed");
    auto settings = OpenSettings(ctx);
    return settings && settings->project ? std::move(settings) : nullptr;
}

// Whether the project has the corpus; a message when not.
bool HasCorpus(CProject& project, const std::string& name) {
    if (project.Corpora().Find(name))
        return true;
    std::fprintf(stderr, "crv: the project has no text corpus named %s\n", name.c_str());
    return false;
}

// -o taken in the working folder; empty without it (the project's choice is then used).
std::string OutputOption(CommandArgs& args) {
    std::optional<std::string> out = args.Value("-o");
    if (!out)
        return {};
    if (out->empty())
        throw UsageError("-o needs a file name");
    return fs::absolute(*out).string();
}

// A limit option: 0 (all) without it. A value not above zero is refused, after its
// message, as the dialog refuses it.
bool TakeLimit(std::optional<long> n, std::string_view refusal, int& limit) {
    limit = n ? static_cast<int>(std::min<long>(*n, 1 << 30)) : 0;
    if (!n || *n > 0)
        return true;
    platform().ShowMessage(refusal);
    return false;
}

MatchKind KindOption(CommandArgs& args) {
    std::string kind = args.Value("--kind").value_or("whole");
    for (auto [value, name] : {std::pair{MatchKind::Whole, "whole"},
                               {MatchKind::Start, "start"},
                               {MatchKind::End, "end"},
                               {MatchKind::Middle, "middle"}})
        if (kind == name)
            return value;
    throw UsageError("--kind is whole, start, end or middle");
}

} // namespace

int CmdCorpusList(CrvContext& ctx) {
    ctx.args.Operands(0, 0);
    auto settings = OpenProjectSettings(ctx);
    if (!settings)
        return kExitFailed;
    for (const CCorpus& corpus : settings->project->Corpora().Corpora())
        std::fprintf(ctx.out, "%s\t%s\t%zu\n", corpus.Name().c_str(),
                     corpus.Properties().langEnc.c_str(), corpus.Properties().files.size());
    return kExitOk;
}

int CmdWordList(CrvContext& ctx) {
    CWordListOptions options;
    options.counts = !ctx.args.Flag("--no-counts");
    options.refs = !ctx.args.Flag("--no-refs");
    std::optional<long> maxRefs = ctx.args.Number("--max-refs");
    std::string output = OutputOption(ctx.args);
    std::string name = ctx.args.Operands(1, 1)[0];
    if (!TakeLimit(maxRefs, kReferencesAboveZero, options.maxRefs))
        return kExitFailed;
    auto settings = OpenProjectSettings(ctx);
    if (!settings || !HasCorpus(*settings->project, name))
        return kExitFailed;
    CProject& project = *settings->project;
    if (output.empty())
        output = project.Corpora().Find(name)->Properties().wordListOutput;
    CCorpusCommandResult result;
    if (!RunWordListCommand(project, name, options, output, result, false))
        return kExitFailed;
    std::fprintf(ctx.out, "words: %zu\n", result.run.records);
    return kExitOk;
}

int CmdConcordance(CrvContext& ctx) {
    CConcordanceOptions options;
    options.kind = KindOption(ctx.args);
    options.matchCase = ctx.args.Flag("--match-case");
    std::optional<long> maxMatches = ctx.args.Number("--max");
    std::string output = OutputOption(ctx.args);
    std::vector<std::string> operands = ctx.args.Operands(2, 2);
    options.search = operands[1];
    if (!TakeLimit(maxMatches, kMatchesAboveZero, options.maxMatches))
        return kExitFailed;
    if (options.search.find_first_not_of(" \t\r\n") == std::string::npos) {
        platform().ShowMessage(kEnterSearch);
        return kExitFailed;
    }
    auto settings = OpenProjectSettings(ctx);
    if (!settings || !HasCorpus(*settings->project, operands[0]))
        return kExitFailed;
    CProject& project = *settings->project;
    if (output.empty())
        output = project.Corpora().Concordance().output;
    CCorpusCommandResult result;
    if (!RunConcordanceCommand(project, operands[0], options, output, result, false))
        return kExitFailed;
    std::fprintf(ctx.out, "matches: %zu\n", result.run.records);
    return kExitOk;
}

} // namespace crv::cli
