// Opens any bytes as the project file of a scratch project folder holding the sample's
// encodings, types and databases: the databases it names are opened (questions take
// their defaults, moved files are not chosen), then the project's written form is opened
// again and must give the same text and the same open databases, and the folder's other
// files must be as they were.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/doc_manager.h"
#include "app/project.h"
#include "base/recording_platform.h"
#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;
using fuzz::Check;
using fuzz::WriteFile;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// In memory-backed storage where there is one; a "Corvane" folder inside stands for
// "<AppPath>" (there are no preferences) and holds a copy of the lexicon.
const fs::path& Folder() {
    static const fs::path folder = [] {
        fs::path f = fuzz::NewScratchFolder("project");
        fs::create_directories(f / "Corvane");
        for (const auto& e : fs::directory_iterator(CORVANE_SAMPLE_DIR))
            if (e.path().extension() != ".prj")
                fs::copy_file(e.path(), f / e.path().filename());
        fs::copy_file(f / "lexicon.db", f / "Corvane" / "lexicon.db");
        return f;
    }();
    return folder;
}

// The bytes of every file but the project file, to see that opening changed nothing.
std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(Folder()))
        if (e.is_regular_file() && e.path().filename() != "fuzz.prj")
            out[e.path().string()] = ReadBytes(e.path());
    return out;
}

struct Opened {
    std::string text;
    std::vector<std::string> docs;
};

bool Open(const std::string& bytes, Opened& opened) {
    WriteFile(Folder() / "fuzz.prj", bytes);
    crv::ProjectOpenSettings how;
    how.rewriteOlderSettings = false;
    how.makeCurrentFolder = false;
    auto project = crv::CProject::Open((Folder() / "fuzz.prj").string(), {}, how);
    if (!project)
        return false;
    opened.text = project->FileText();
    for (const crv::CCrvDoc* doc : project->Documents().Documents())
        opened.docs.push_back(doc->Path());
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::map<std::string, std::string> original = Snapshot();
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope(rec);
    Opened first;
    bool ok = Open(std::string(reinterpret_cast<const char*>(data), size), first);
    Check(rec.InternalErrors().empty());
    if (ok) {
        Opened second;
        Check(Open(first.text, second));
        Check(rec.InternalErrors().empty());
        Check(second.text == first.text);
        Check(second.docs == first.docs);
    }
    Check(Snapshot() == original);
    return 0;
}
