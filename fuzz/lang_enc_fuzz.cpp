// Reads any bytes as the .lng file of a scratch settings folder, loads the encoding through
// the encoding set as crv does, writes it, loads the written text the same way and
// requires the same written form, and no internal error either time.
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

#include "base/recording_platform.h"
#include "fuzz_support.h"
#include "schema/lang_enc_set.h"

namespace {

namespace fs = std::filesystem;
using fuzz::Check;
using fuzz::WriteFile;

// The set writes "Default.lng" whenever the input is not the default encoding itself.
const fs::path& Folder() {
    static const fs::path folder = fuzz::NewScratchFolder("lang");
    return folder;
}

// Loads the folder's one input file; its written form, or nothing when it is no encoding.
bool Load(const std::string& bytes, std::string& written) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(Folder()))
        fs::remove_all(e.path(), ec);
    WriteFile(Folder() / "fuzz.lng", bytes);
    crv::CLangEncSet set(Folder().string());
    set.LoadAll();
    for (const auto& proxy : set.Proxies()) {
        if (proxy.FileName() != "fuzz.lng")
            continue;
        crv::CLangEnc* enc = set.Find(proxy.Name());
        Check(enc != nullptr);
        std::ostringstream out;
        crv::ObjectStream os(out);
        enc->Write(os);
        written = out.str();
        return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope(rec);
    std::string first;
    bool loaded = Load(std::string(reinterpret_cast<const char*>(data), size), first);
    Check(rec.InternalErrors().empty());
    if (!loaded)
        return 0;
    std::string second;
    Check(Load(first, second));
    Check(rec.InternalErrors().empty());
    Check(second == first);
    return 0;
}
