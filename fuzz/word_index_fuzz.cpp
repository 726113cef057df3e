// Any bytes as a word index file. The reader must refuse or accept them without harm; what
// it accepts must write back to bytes that read again as the same index. With the flag
// that reseals the checksum, the structure checks behind it are reached. With the flag
// that runs an update, the bytes are put in place of a small corpus's index file and the
// update must give exactly the index made from the corpus itself: a damaged file is made
// again, never trusted.
//
// Input: one flag byte (1: reseal the checksum; 2: run an update), then the file's bytes.
// CORVANE_WORD_INDEX_SEED=PATH writes the corpus's own index file there (a seed) and exits.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/recording_platform.h"
#include "corpus/corpus.h"
#include "corpus/corpus_scan.h"
#include "schema/lang_enc_set.h"

namespace {

namespace fs = std::filesystem;

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    crv::CFileBytes bytes;
    bytes.Read(path);
    return std::string(bytes.View());
}

// A corpus of two files in a scratch folder, and the index made from them.
struct Corpus {
    Corpus() : scope(rec) {
        folder =
            (fs::temp_directory_path() / ("word_index_fuzz_" + std::to_string(getpid()))).string();
        fs::create_directories(folder);
        WriteBytes(folder + "/a.txt", "\\id Kelo\r\n\\c 1\r\n\\v 1 Kelo kuru, ponyu.\r\n"
                                      "\\v 2 kelo\r\n\\p The dog's co-op\r\n");
        WriteBytes(folder + "/b.txt", "\\v 1 caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D kelo\r\n");
        // A fixed time long past, so that the seed written once keeps matching.
        auto then = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
        fs::last_write_time(folder + "/a.txt", then);
        fs::last_write_time(folder + "/b.txt", then);
        langEncs = std::make_unique<crv::CLangEncSet>();
        chars = std::make_unique<crv::CWordChars>(*langEncs->Default());
        crv::CCorpusProperties props;
        props.files = {"a.txt", "b.txt"};
        props.wordMarkers = "\\v \\p";
        corpus = std::make_unique<crv::CCorpus>("Texts", props);
        scan = std::make_unique<crv::CCorpusScan>(*corpus, folder, *chars);
        fs::remove(scan->indexPath);
        crv::CRefLimitNotices notices;
        Check(crv::UpdateWordIndex(*scan, reference, notices) == crv::RunStatus::Ok);
        referenceBytes = ReadBytes(scan->indexPath);
    }
    ~Corpus() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope;
    std::string folder;
    std::unique_ptr<crv::CLangEncSet> langEncs;
    std::unique_ptr<crv::CWordChars> chars;
    std::unique_ptr<crv::CCorpus> corpus;
    std::unique_ptr<crv::CCorpusScan> scan;
    crv::CWordIndex reference;
    std::string referenceBytes;
};

Corpus& TheCorpus() {
    static Corpus corpus;
    return corpus;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (const char* seed = std::getenv("CORVANE_WORD_INDEX_SEED")) {
        WriteBytes(seed, std::string(1, '\x02') + TheCorpus().referenceBytes);
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    Corpus& c = TheCorpus();
    std::uint8_t flags = data[0];
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if ((flags & 1) && bytes.size() >= 9) {
        std::uint32_t sum =
            crv::WordIndexChecksum(std::string_view(bytes).substr(0, bytes.size() - 9));
        for (int i = 0; i < 4; ++i)
            bytes[bytes.size() - 4 + i] = static_cast<char>((sum >> (8 * i)) & 0xFF);
    }

    crv::CWordIndex index;
    if (crv::CWordIndex::Parse(bytes, index)) {
        std::string written = index.Serialize();
        crv::CWordIndex again;
        Check(crv::CWordIndex::Parse(written, again));
        Check(again.Serialize() == written);
    }

    if ((flags & 2) && !(flags & 1)) {
        WriteBytes(c.scan->indexPath, bytes);
        crv::CWordIndex updated;
        crv::CRefLimitNotices notices;
        Check(crv::UpdateWordIndex(*c.scan, updated, notices) == crv::RunStatus::Ok);
        Check(updated.Serialize() == c.referenceBytes);
        Check(ReadBytes(c.scan->indexPath) == c.referenceBytes);
    }
    Check(c.rec.InternalErrors().empty());
    c.rec.Clear();
    return 0;
}
