#include "record/database_file.h"

#include <cstdio>

#include "base/file_source.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "record/sf_reader.h"
#include "record/sf_writer.h"
#include "schema/marker.h"

namespace crv {

namespace {

void ShowCannotOpen(std::string_view path) { platform().ShowMessage(CannotOpenText(path)); }

} // namespace

std::string TooLargeText(std::string_view path) {
    return FormatMessage("%1\nCan not open this file because it contains a field more than 32000 "
                         "characters in size.",
                         {path});
}

void ShowTooLarge(std::string_view path) { platform().ShowMessage(TooLargeText(path)); }

std::string CannotOpenText(std::string_view path) {
    return FormatMessage(
        "%1\nCannot open this file.\n\nPlease check whether it is already open in another program.",
        {path});
}

DatabaseReadResult ReadAllRecords(SFStream& reader, std::string_view path, std::int64_t length,
                                  CRecordList& records) {
    DatabaseReadResult result;
    CRecordList read;
    auto progress = platform().BeginProgress(FormatMessage("Reading %1", {path}), length);
    while (reader.MoreRecords()) {
        std::unique_ptr<CRecord> rec;
        if (!reader.ReadRecord(rec))
            break;
        read.Add(rec.release());
        ++result.records;
        progress->SetPosition(reader.Position());
        if (progress->Cancelled()) {
            result.status = ReadStatus::Cancelled;
            return result;
        }
    }
    progress.reset();
    if (reader.TooLarge()) {
        ShowTooLarge(path);
        result.status = ReadStatus::TooLarge;
        return result;
    }
    if (reader.ReadFailed()) {
        ShowCannotOpen(path);
        result.status = ReadStatus::ReadError;
        return result;
    }
    result.fields = reader.FieldsRead();
    result.fieldsSkipped = reader.FieldsSkipped();
    result.linesSkipped = reader.LinesSkipped();
    if (result.fieldsSkipped || result.linesSkipped) {
        char lines[32], fields[32], recs[32];
        std::snprintf(lines, sizeof lines, "%ld", result.linesSkipped);
        std::snprintf(fields, sizeof fields, "%ld", result.fieldsSkipped);
        std::snprintf(recs, sizeof recs, "%ld", result.records);
        platform().ShowMessage(
            FormatMessage("File read results:\n%1 line(s) skipped\n", {lines}) +
                FormatMessage("%1 field(s) skipped\n%2 record(s) read", {fields, recs}),
            MessageKind::Information);
        if (result.records == 0) {
            result.status = ReadStatus::NothingRead;
            return result;
        }
        result.skippedMaterial = true;
    }
    read.MoveAllTo(records);
    return result;
}

DatabaseReadResult ReadDatabaseRecords(const std::string& path, CMarkerSet& markers,
                                       CMarker* recordMarker, CRecordList& records) {
    FileSource in;
    if (!in.Open(path)) {
        ShowCannotOpen(path);
        return DatabaseReadResult{ReadStatus::CannotOpen};
    }
    SFStream reader(in, markers, recordMarker, recordMarker != nullptr, false);
    return ReadAllRecords(reader, path, in.Size(), records);
}

std::string FirstMarkerName(const std::string& path) {
    FileSource in;
    if (!in.Open(path))
        return {};
    CMarkerSet scratch(nullptr);
    SFStream reader(in, scratch, nullptr, false, false);
    return std::string(reader.HeldMarkerName());
}

bool WriteDatabaseStream(std::ostream& out, const CRecordList& records, const SFHeader& header,
                         bool hasDateStampMarker, std::string_view displayName) {
    auto progress = platform().BeginProgress(FormatMessage("Writing %1", {displayName}),
                                             static_cast<std::int64_t>(records.Count()), false);
    OstreamSink sink(out);
    SFStreamWriter writer(sink);
    return WriteDatabase(writer, records, header.typeName, header.number, hasDateStampMarker,
                         progress.get());
}

} // namespace crv
