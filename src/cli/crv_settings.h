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

// How a database file is read: with the database type its header names when the
// invocation has settings (-p, -s), else with a marker set of its own whose record
// marker is the first marker line's.
struct DatabaseSchema {
    CDatabaseType* type = nullptr; // null: read without a type
    std::unique_ptr<CMarkerSet> ownMarkers;
    CMarkerSet* markers = nullptr;
    CMarker* recordMarker = nullptr; // the reader's record marker
    SFHeader header;
    bool hasHeader = false;
};

// Finds the schema of the database at path; recordMarker, when not empty, is the
// record marker the records are read by (the type keeps its own). False after a
// message: the header entry is too large, or it names a type the settings do not
// have or that could not be loaded (crv answers no dialog).
bool OpenDatabaseSchema(CrvSettings& settings, const std::string& path,
                        const std::string& recordMarker, DatabaseSchema& schema);

} // namespace crv::cli
