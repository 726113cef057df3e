// Reads any bytes as the .lng file of a scratch settings folder, loads the encoding through
// the encoding set as crv does, writes it, loads the written text the same way and
// requires the same written form, and no internal error either time.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "base/recording_platform.h"
#include "schema/lang_enc_set.h"

namespace {

namespace fs = std::filesystem;

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// In memory-backed storage where there is one: the set writes "Default.lng" whenever the
// input is not the default encoding itself.
const fs::path& Folder() {
    static const fs::path folder = [] {
        std::error_code ec;
        fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path f = base / ("corvane-lang-fuzz." + std::to_string(getpid()));
        fs::remove_all(f, ec);
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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
