// crv sf stats and sf cat: read a file as a database, report what was read, or write
// it back in database format.
#include <fstream>
#include <ostream>

#include "cli/crv_command_list.h"
#include "record/byte_stream.h"
#include "record/database_file.h"
#include "record/message_text.h"
#include "record/platform.h"
#include "record/safe_file.h"
#include "record/sf_syntax.h"
#include "record/sf_writer.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv::cli {

namespace {

// A database file read on its own, without a database type.
struct LoadedDatabase {
    CLangEncSet encodings;
    CMarkerSet markers{&encodings};
    CRecordList records;
    SFHeader header;
    bool hasHeader = false;
    DatabaseReadResult result;
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
bool Load(const std::string& path, const std::string& recordMarker, LoadedDatabase& db) {
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            HeaderStatus status = ReadHeader(in, db.header);
            if (status == HeaderStatus::TooLarge) {
                platform().ShowMessage(FormatMessage(
                    "%1\nCan not open this file because it contains a field more than 32000 "
                    "characters in size.",
                    {path}));
                return false;
            }
            db.hasHeader = status == HeaderStatus::Found;
        }
    }
    std::string name = recordMarker.empty() ? FirstMarkerName(path) : recordMarker;
    CMarker* rec = nullptr;
    if (!name.empty()) {
        rec = db.markers.SearchOrAddFromData(name);
        db.markers.SetRecordMarker(rec);
    }
    db.result = ReadDatabaseRecords(path, db.markers, rec, db.records);
    return db.result.Ok();
}

bool WriteLoaded(ByteSink& sink, const LoadedDatabase& db) {
    SFStreamWriter writer(sink);
    if (db.hasHeader)
        return WriteDatabase(writer, db.records, db.header.typeName, db.header.number,
                             db.header.fourDigitYear);
    WriteRecords(writer, db.records);
    return writer.Flush();
}

} // namespace

int CmdSfStats(CrvContext& ctx) {
    std::string marker = RecordMarkerOption(ctx.args);
    std::string path = ctx.args.Operands(1, 1)[0];
    LoadedDatabase db;
    if (!Load(path, marker, db))
        return kExitFailed;
    std::size_t fields = 0;
    for (const CRecord& rec : db.records)
        fields += rec.Count();
    std::fprintf(ctx.out, "records: %ld\nfields: %zu\nfields skipped: %ld\nlines skipped: %ld\n",
                 db.result.records, fields, db.result.fieldsSkipped, db.result.linesSkipped);
    std::string list = "markers:";
    for (const CMarker& m : db.markers)
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
    if (!Load(path, marker, db))
        return kExitFailed;
    if (!outPath) {
        StdioSink sink(ctx.out);
        return WriteLoaded(sink, db) && std::fflush(ctx.out) == 0 ? kExitOk : kExitFailed;
    }
    auto written = WriteFileSafely(*outPath, [&](std::ostream& out) {
        OstreamSink sink(out);
        return WriteLoaded(sink, db);
    });
    if (!written) {
        const char* advice =
            written.failure == SafeWriteResult::Failure::Create
                ? "Please check whether the disk is write-protected."
            : written.failure == SafeWriteResult::Failure::Rename
                ? "Please check whether it is also open in another program."
                : "Please check whether there is enough disk space.";
        platform().ShowMessage(
            FormatMessage("%1\nFailed to save this file.\n\n%2", {*outPath, advice}));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace crv::cli
