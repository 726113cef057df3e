// Reads any bytes as a database type whose settings objects are made by the export
// factory (export processes, page setups, the dictionary formatter, older single-process
// keys), writes it, reads the written form again and requires the same bytes: nothing
// the reader keeps may change on a second load and save. Runs in memory, no files.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "base/recording_platform.h"
#include "export/export_type_settings.h"
#include "schema/database_type.h"
#include "schema/lang_enc_set.h"

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

std::string Written(const crv::CDatabaseType& type) {
    std::ostringstream out;
    crv::ObjectStream os(out);
    type.Write(os);
    return out.str();
}

// The bytes read as the body of a type (its begin line taken as read), then written.
std::string LoadAndWrite(crv::CLangEncSet& encodings, const std::string& bytes) {
    static const crv::CExportTypeSettings factory;
    crv::CDatabaseType type(encodings, "Fuzz", nullptr, &factory);
    std::istringstream in(bytes);
    crv::ObjectStream is(in);
    crv::CNoteList notes;
    type.Read(is, notes);
    if (!type.FinishReading(notes)) {
        crv::CNote error;
        type.SetRecordMarkerName("lx", error);
    }
    return Written(type);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope(rec);
    static crv::CLangEncSet encodings; // in memory: encodings named are kept, not written
    std::string first =
        LoadAndWrite(encodings, std::string(reinterpret_cast<const char*>(data), size));
    Check(rec.InternalErrors().empty());
    // The written form begins with the type's own line; the reader starts after it.
    std::size_t body = first.find('\n');
    Check(body != std::string::npos);
    std::string second = LoadAndWrite(encodings, first.substr(body + 1));
    Check(second == first);
    Check(rec.InternalErrors().empty());
    return 0;
}
