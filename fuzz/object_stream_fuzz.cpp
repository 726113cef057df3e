// Reads any bytes as a settings file, through every kind of keyed read, and checks that
// each string value read survives a write and a second read unchanged.
#include <cstdint>
#include <sstream>
#include <string>

#include "base/object_stream.h"
#include "base/recording_platform.h"

namespace {

void CheckRoundTrip(const std::string& value) {
    if (value.size() > 30000)
        return;
    std::ostringstream out;
    crv::ObjectStream writer(out);
    writer.WriteString("k", value);
    std::istringstream in(out.str());
    crv::ObjectStream reader(in);
    std::string again;
    if (!value.empty() && (!reader.ReadString("k", again) || again != value))
        __builtin_trap();
}

struct Values {
    std::string s;
    int n = 0;
    double d = 0;
    bool b = false;
    char c = 0;
    std::uint32_t rgb = 0;
    crv::WindowPlacement p;
    crv::CFontDef font;
};

// Reads entries the way every settings owner does: keyed reads, nested objects, and the
// end line (or the next object's begin line) closing the object.
bool ReadKeyed(crv::ObjectStream& is, Values& v) {
    if (is.ReadString("s", v.s)) {
        CheckRoundTrip(v.s);
        return true;
    }
    return is.ReadInteger("n", v.n) || is.ReadDouble("d", v.d) || is.ReadBool("b", v.b) ||
           is.ReadChar("c", v.c) || is.ReadColor("rgb", v.rgb) ||
           is.ReadWindowPlacement("p", v.p) || is.ReadFont("X", v.font) ||
           is.ReadStringWithPrefix("mkr", "Record", v.s);
}

void ReadObject(crv::ObjectStream& is, Values& v, int depth) {
    std::string name;
    while (!is.AtEnd()) {
        if (ReadKeyed(is, v))
            continue;
        if (depth < 20 && is.ReadBeginMarker("obj", name)) {
            ReadObject(is, v, depth + 1);
            continue;
        }
        if (is.ReadEnd("obj"))
            break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope(rec);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    crv::ObjectStream is(in);
    is.AtBackslash();
    Values v;
    std::string name;
    while (!is.AtEnd()) {
        if (ReadKeyed(is, v))
            continue;
        if (is.ReadBeginMarker("obj", name)) {
            ReadObject(is, v, 1);
            continue;
        }
        is.SkipEntry();
    }
    return 0;
}
