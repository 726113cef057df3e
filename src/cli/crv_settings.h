// The settings an invocation of crv works with: the project named by -p (opened as the
// desktop program opens it, without making its folder current or rewriting settings
// files), or the settings folder named by -s. Every command that needs encodings or
// types opens them here.
#pragma once

#include <memory>
#include <string>

#include "cli/crv_commands.h"
#include "interlinear/interlinear_type_settings.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"

namespace crv {
class CProject;
class Preferences;
} // namespace crv

namespace crv::cli {

struct CrvSettings {
    CrvSettings();
    ~CrvSettings();
    CrvSettings(const CrvSettings&) = delete;
    CrvSettings& operator=(const CrvSettings&) = delete;

    std::string folder; // empty: no -p or -s; encodings are then kept in memory
    CLangEncSet* langEncs = nullptr;
    CDatabaseTypeSet* types = nullptr; // see Types()
    CProject* project = nullptr;       // with -p

    // What the pointers above point into. Without -p: the folder's own sets (the type
    // settings outlive the types, the types go before the encodings they listen to).
    std::unique_ptr<CLangEncSet> ownLangEncs;
    CInterlinearTypeSettings typeSettings;
    std::unique_ptr<CDatabaseTypeSet> ownTypes;
    // With -p: the preferences ("<AppPath>") and the project.
    std::unique_ptr<Preferences> prefs;
    std::unique_ptr<CProject> ownProject;
};

// Opens the settings of the invocation: with -p the project (and, when openDatabases is
// set, the databases it lists), with -s the folder's encodings. Null, after a message
// on standard error, when they cannot be opened.
std::unique_ptr<CrvSettings> OpenSettings(const CrvContext& ctx, bool openDatabases = false);

// The database types: the project's, or the settings folder's, loaded on first use.
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
