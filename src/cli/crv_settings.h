// The settings an invocation of crv works with: the settings folder named by -s, or the
// folder of the project file named by -p. Every command that needs encodings or types
// opens them here.
#pragma once

#include <memory>
#include <string>

#include "cli/crv_commands.h"
#include "engine/engine_type_settings.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"

namespace crv::cli {

struct CrvSettings {
    std::string folder; // empty: no -p or -s; encodings are then kept in memory
    std::unique_ptr<CLangEncSet> langEncs;
    // What types hold for the engine (their filter sets); outlives the types.
    CEngineTypeSettings typeSettings;
    // Loaded by Types on first use; goes before the encodings it listens to.
    std::unique_ptr<CDatabaseTypeSet> types;
};

// Opens the settings of the invocation and loads its encodings. Null, after a message
// on standard error, when the folder does not exist.
std::unique_ptr<CrvSettings> OpenSettings(const CrvContext& ctx);

// The database types of the settings folder, loaded on first use.
CDatabaseTypeSet& Types(CrvSettings& settings);

// The encoding of that name; null after a message when the settings have none.
CLangEnc* FindLangEnc(CrvSettings& settings, const std::string& name);

} // namespace crv::cli
