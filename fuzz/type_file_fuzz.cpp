// Reads any bytes as a .typ file of a scratch settings folder (holding the sample's
// encodings), loads the type through the type set (a missing record marker is answered),
// writes it, loads the written text the same way and requires the same written form,
// with no question asked and no message shown the second time.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "base/recording_platform.h"
#include "fuzz_support.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"

namespace {

namespace fs = std::filesystem;
using fuzz::Check;
using fuzz::WriteFile;

// A settings folder in memory-backed storage where there is one: every new encoding an
// input names is written there at once.
const fs::path& Folder() {
    static const fs::path folder = [] {
        fs::path f = fuzz::NewScratchFolder("type");
        for (const auto& e : fs::directory_iterator(CORVANE_SAMPLE_DIR))
            if (e.path().extension() == ".lng")
                fs::copy_file(e.path(), f / e.path().filename());
        return f;
    }();
    return folder;
}

// Encodings are costly to build: one set serves many inputs, and is renewed (with the
// files of the encodings inputs made removed) before they pile up.
crv::CLangEncSet& Encodings() {
    static std::unique_ptr<crv::CLangEncSet> shared;
    static std::size_t sampleCount = 0;
    if (shared && shared->Proxies().Count() <= sampleCount + 16)
        return *shared;
    shared.reset();
    for (const auto& e : fs::directory_iterator(Folder())) {
        std::error_code ec;
        if (!fs::exists(fs::path(CORVANE_SAMPLE_DIR) / e.path().filename(), ec))
            fs::remove_all(e.path(), ec);
    }
    shared = std::make_unique<crv::CLangEncSet>(Folder().string());
    shared->LoadAll();
    sampleCount = shared->Proxies().Count();
    return *shared;
}

std::string Written(const crv::CDatabaseType& type) {
    std::ostringstream out;
    crv::ObjectStream os(out);
    type.Write(os);
    return out.str();
}

// Loads the folder's type file; its written form, or nothing when no type loaded.
bool Load(const std::string& bytes, crv::RecordingPlatform& rec, std::string& written) {
    crv::CLangEncSet& encodings = Encodings(); // before the file: renewing clears the folder
    WriteFile(Folder() / "fuzz.typ", bytes);
    crv::CDatabaseTypeSet types(encodings);
    types.LoadAll();
    crv::CDatabaseTypeProxy* proxy = types.Proxies().GetFirst();
    if (!proxy)
        return false;
    rec.texts = {std::string("lx")};
    crv::CDatabaseType* type = proxy->GetType();
    if (!type)
        return false;
    Check(type->RecordMarker() != nullptr);
    written = Written(*type);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope(rec);
    std::string first;
    if (!Load(std::string(reinterpret_cast<const char*>(data), size), rec, first)) {
        Check(rec.InternalErrors().empty());
        return 0;
    }
    Check(rec.InternalErrors().empty());
    rec.Clear();
    std::string second;
    Check(Load(first, rec, second));
    Check(second == first);
    Check(rec.events.empty());
    return 0;
}
