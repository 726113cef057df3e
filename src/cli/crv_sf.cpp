// crv sf stats and sf cat: read a file as a database, report what was read, or write
// it back in database format.
#include "base/byte_stream.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "base/safe_file.h"
#include "base/sf_syntax.h"
#include "cli/crv_command_list.h"
#include "cli/crv_settings.h"
#include "record/database_file.h"
#include "record/sf_writer.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv::cli {

namespace {

// A database file read with its schema.
struct LoadedDatabase {
    std::unique_ptr<CrvSettings> settings;
    DatabaseSchema schema;
    CRecordList records;
    DatabaseReadResult result;
    ~LoadedDatabase() {
        records.DeleteAll(); // fields let go of their markers before the markers go
    }
};

// The record marker named by --record-marker, if any; a leading backslash is allowed.
std::string RecordMarkerOption(CommandArgs& args) {
    auto m = args.Value("--record-marker");
    if (!m)
        return {};
    std::string name = *m;
    if (!name.empty() && name[0] == '\\')
        name.erase(0, 1);
    if (!IsValidMarkerName(name) || name.find_first_of(" \t\n") != std::string::npos)
        throw UsageError("--record-marker needs a marker name, not '" + *m + "'");
    return name;
}

// Reads path as a database; false (the messages shown) when the read failed.
bool Load(const CrvContext& ctx, const std::string& path, const std::string& recordMarker,
          LoadedDatabase& db) {
    db.settings = OpenSettings(ctx);
    if (!db.settings || !OpenDatabaseSchema(*db.settings, path, recordMarker, db.schema))
        return false;
    db.result = ReadDatabaseRecords(path, *db.schema.markers, db.schema.recordMarker, db.records);
    return db.result.Ok();
}

bool WriteLoaded(ByteSink& sink, const LoadedDatabase& db) {
    SFStreamWriter writer(sink);
    const DatabaseSchema& schema = db.schema;
    if (schema.hasHeader)
        return WriteDatabase(writer, db.records, schema.header.typeName, schema.header.number,
                             schema.header.fourDigitYear);
    WriteRecords(writer, db.records);
    return writer.Flush();
}

} // namespace

int CmdSfStats(CrvContext& ctx) {
    std::string marker = RecordMarkerOption(ctx.args);
    std::string path = ctx.args.Operands(1, 1)[0];
    LoadedDatabase db;
    if (!Load(ctx, path, marker, db))
        return kExitFailed;
    std::size_t fields = 0;
    for (const CRecord& rec : db.records)
        fields += rec.Count();
    std::fprintf(ctx.out, "records: %ld\nfields: %zu\nfields skipped: %ld\nlines skipped: %ld\n",
                 db.result.records, fields, db.result.fieldsSkipped, db.result.linesSkipped);
    std::string list = "markers:";
    for (const CMarker& m : *db.schema.markers)
        list += " " + m.Name();
    list += '\n';
    std::fwrite(list.data(), 1, list.size(), ctx.out);
    return kExitOk;
}

int CmdSfCat(CrvContext& ctx) {
    std::string marker = RecordMarkerOption(ctx.args);
    auto outPath = ctx.args.Value("-o");
    std::string path = ctx.args.Operands(1, 1)[0];
    if (outPath && outPath->empty())
        throw UsageError("-o needs a file name");
    LoadedDatabase db;
    if (!Load(ctx, path, marker, db))
        return kExitFailed;
    if (!outPath) {
        StdioSink sink(ctx.out);
        if (WriteLoaded(sink, db) && std::fflush(ctx.out) == 0)
            return kExitOk;
        std::fprintf(stderr, "crv: the output could not be written\n");
        return kExitFailed;
    }
    // A file is replaced only once the new one is whole; a device or a pipe is written to.
    SafeFileWriter file;
    SafeWriteResult written = file.Open(*outPath);
    if (written) {
        (void)WriteLoaded(file, db); // a write that failed is the file's to report
        written = file.Commit();
    }
    if (!written) {
        const char* advice = written.failure == SafeWriteResult::Failure::Create
                                 ? "Please check whether the disk is write-protected."
                             : written.failure == SafeWriteResult::Failure::Write
                                 ? "Please check whether there is enough disk space."
                                 : "Please check whether it is also open in another program.";
        platform().ShowMessage(
            FormatMessage("%1\nFailed to save this file.\n\n%2", {*outPath, advice}));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace crv::cli
