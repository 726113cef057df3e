// Reads any bytes as a database, with and without skipping to the first record and
// removing hanging indents; writes what was read and reads that again. The second read
// must give the same records (and never a too-large field), writing them again the same
// bytes, and every field's marker count must match the fields that hold it.
#include <cstdint>
#include <memory>
#include <string>

#include "base/byte_stream.h"
#include "base/recording_platform.h"
#include "record/sf_reader.h"
#include "record/sf_writer.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace {

struct Read {
    crv::CRecordList records;
    bool tooLarge = false;
    long fields = 0;
};

void ReadAll(std::string_view bytes, crv::CMarkerSet& markers, bool skip, bool removeIndent,
             Read& out) {
    crv::MemorySource in(bytes);
    crv::SFStream reader(in, markers, markers.RecordMarker(), skip, removeIndent);
    while (reader.MoreRecords()) {
        std::unique_ptr<crv::CRecord> rec;
        if (!reader.ReadRecord(rec))
            break;
        out.fields += static_cast<long>(rec->Count());
        out.records.Add(rec.release());
    }
    out.tooLarge = reader.TooLarge();
}

std::string Write(const crv::CRecordList& records) {
    std::string text;
    crv::StringSink sink(text);
    crv::SFStreamWriter writer(sink);
    crv::WriteRecords(writer, records);
    if (!writer.Flush())
        __builtin_trap();
    return text;
}

// Marker and text of every field, with record boundaries.
std::string Dump(const crv::CRecordList& records) {
    std::string out;
    for (const crv::CRecord& rec : records) {
        out += '\x01';
        for (const crv::CField& f : rec) {
            out += f.Marker()->Name();
            out += '\x02';
            out += f.Text();
            out += '\x03';
        }
    }
    return out;
}

long UseCounts(const crv::CMarkerSet& markers) {
    long n = 0;
    for (const crv::CMarker& m : markers)
        n += m.UseCount();
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    crv::RecordingPlatform platform;
    crv::ScopedPlatform scope(platform);
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Building an encoding set is costly and none of it is under test here.
    static crv::CLangEncSet encodings;
    for (int mode = 0; mode < 4; ++mode) {
        bool skip = mode & 1;
        bool removeIndent = mode & 2;
        crv::CMarkerSet markers(&encodings);
        markers.SetRecordMarker(markers.SearchOrAddFromData("lx"));

        Read first;
        ReadAll(bytes, markers, skip, removeIndent, first);
        if (UseCounts(markers) != first.fields)
            __builtin_trap();
        if (first.tooLarge)
            continue;
        for (const crv::CRecord& rec : first.records)
            for (const crv::CField& f : rec)
                if (f.Length() > 32000)
                    __builtin_trap();

        std::string written = Write(first.records);
        Read second;
        ReadAll(written, markers, skip, false, second);
        if (second.tooLarge || Dump(second.records) != Dump(first.records))
            __builtin_trap();
        if (Write(second.records) != written)
            __builtin_trap();
        if (UseCounts(markers) != first.fields + second.fields)
            __builtin_trap();
    }
    if (!platform.InternalErrors().empty())
        __builtin_trap();
    return 0;
}
