// The table of crv's commands. Each command group has its own crv_<group>.cpp.
#pragma once

#include "cli/crv_commands.h"

namespace crv::cli {

// Handlers, one block per command group (crv_sf.cpp, crv_lang.cpp, ...).

// crv_sf.cpp
int CmdSfStats(CrvContext& ctx);
int CmdSfCat(CrvContext& ctx);

// crv_lang.cpp
int CmdLangList(CrvContext& ctx);
int CmdUnits(CrvContext& ctx);
int CmdKey(CrvContext& ctx);
int CmdCompare(CrvContext& ctx);
int CmdSort(CrvContext& ctx);

// crv_match.cpp
int CmdMatch(CrvContext& ctx);

// crv_index.cpp
int CmdList(CrvContext& ctx);
int CmdFind(CrvContext& ctx);

// crv_type.cpp
int CmdTypeList(CrvContext& ctx);
int CmdTypeShow(CrvContext& ctx);

// crv_doc.cpp
int CmdOpen(CrvContext& ctx);
int CmdResave(CrvContext& ctx);
int CmdImport(CrvContext& ctx);
int CmdNew(CrvContext& ctx);

// crv_text.cpp
int CmdTextFind(CrvContext& ctx);
int CmdTextReplace(CrvContext& ctx);
int CmdReshape(CrvContext& ctx);

// crv_export.cpp
int CmdExport(CrvContext& ctx);

// crv_project.cpp
int CmdProjectNew(CrvContext& ctx);
int CmdCheck(CrvContext& ctx);

// crv_interlinear.cpp
int CmdJump(CrvContext& ctx);
int CmdParse(CrvContext& ctx);
int CmdInterlinearize(CrvContext& ctx);

// crv_corpus.cpp
int CmdCorpusList(CrvContext& ctx);
int CmdWordList(CrvContext& ctx);
int CmdConcordance(CrvContext& ctx);

} // namespace crv::cli
