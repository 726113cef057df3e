#include "cli/crv_command_list.h"

namespace crv::cli {

const std::vector<CrvCommand>& AllCommands() {
    static const std::vector<CrvCommand> commands = {
        {"sf stats", "FILE [--record-marker M]", &CmdSfStats},
        {"sf cat", "FILE [--record-marker M] [-o OUT]", &CmdSfCat},
        {"lang list", "", &CmdLangList},
        {"units", "LANG TEXT", &CmdUnits},
        {"key", "LANG [--order NAME] [--from-end] [--max N] TEXT", &CmdKey},
        {"compare", "LANG [--order NAME] [--level p|c|e|i] [--whole] A B", &CmdCompare},
        {"sort", "LANG [--order NAME] [--from-end] [FILE]", &CmdSort},
        {"match", "LANG [--level p|c|e|i] [--whole] PATTERN [FILE]", &CmdMatch},
        {"type list", "", &CmdTypeList},
        {"type show", "NAME", &CmdTypeShow},
        {"list",
         "DB [--by M] [--then M]... [--order NAME] [--from-end] [--filter NAME] [--columns M,M...]",
         &CmdList},
        {"find", "DB KEY [--by M] [--level p|c|e|i] [--whole]", &CmdFind},
        {"open", "DB", &CmdOpen},
        {"resave", "DB", &CmdResave},
        {"import", "FILE --type NAME [--ztt TABLE] [--keep-spaces] [--backup]", &CmdImport},
        {"new", "FILE --type NAME", &CmdNew},
        {"text find",
         "DB TEXT [--field M | --lang L] [--level p|c|e|i] [--whole-word] [--by M] "
         "[--filter NAME] [--backward] [--record-only KEY]",
         &CmdTextFind},
        {"text replace", "DB TEXT REPLACEMENT [the options of text find]", &CmdTextReplace},
        {"reshape", "DB [--margin PIXELS]", &CmdReshape},
        {"export",
         "DB --process NAME [-o OUT] [--window-order --by M --filter NAME | --record KEY]",
         &CmdExport},
        {"project new", "FILE.prj", &CmdProjectNew},
        {"check", "", &CmdCheck},
        {"jump", "DB WORD [--insert] [--level p|c|e|i]", &CmdJump},
        {"parse", "DB WORD", &CmdParse},
        {"interlinearize", "DB [--record KEY] [--adapt]", &CmdInterlinearize},
        {"corpus list", "", &CmdCorpusList},
        {"wordlist", "CORPUS [-o OUT] [--no-counts] [--no-refs] [--max-refs N]", &CmdWordList},
        {"concordance",
         "CORPUS TEXT [--kind whole|start|end|middle] [--match-case] [--max N] [-o OUT]",
         &CmdConcordance},
    };
    return commands;
}

} // namespace crv::cli
