// Measures reading and writing a database file beside `cat FILE > /dev/null` and
// `wc -l FILE` on the same file:
//   sf_bench FILE [RUNS]          the report (best of RUNS, default 5)
//   sf_bench --read-only FILE     one read, nothing printed (for peak memory)
//   sf_bench --read-write FILE    one read and one write to a file (for peak memory)
// Times are wall clock and process CPU time; the machine is shared, so CPU time is the
// steadier figure. Reading goes through the whole-file read a document uses, writing
// through the safe file writer (temporary file, fsync, rename) and to memory.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/byte_stream.h"
#include "base/recording_platform.h"
#include "base/safe_file.h"
#include "record/database_file.h"
#include "record/sf_writer.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
    void Keep(double w, double c) {
        wall = std::min(wall, w);
        cpu = std::min(cpu, c);
    }
};

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Runs a program on the file, its output thrown away; wall and CPU time of the child.
bool RunBaseline(const std::vector<std::string>& argv, Timing& t) {
    auto start = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        std::FILE* null = std::freopen("/dev/null", "w", stdout);
        (void)null;
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage u{};
    if (pid < 0 || wait4(pid, &status, 0, &u) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return false;
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    double cpu = static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
                 static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    t.Keep(wall, cpu);
    return true;
}

// Runs f once, keeping its wall and CPU time in t; f's result.
template <class F> bool Timed(Timing& t, F f) {
    auto start = Clock::now();
    double cpu = CpuSeconds();
    bool ok = f();
    t.Keep(std::chrono::duration<double>(Clock::now() - start).count(), CpuSeconds() - cpu);
    return ok;
}

void Report(const char* what, const Timing& t, double bytes) {
    std::printf("%-42s %8.1f ms %8.1f MB/s   cpu %8.1f ms %8.1f MB/s\n", what, t.wall * 1e3,
                bytes / t.wall / 1e6, t.cpu * 1e3, bytes / t.cpu / 1e6);
}

struct Database {
    crv::CLangEncSet encodings;
    crv::CMarkerSet markers{&encodings};
    crv::CMarker* lx = nullptr;
    crv::CRecordList records;
    crv::SFHeader header;
    Database() {
        lx = markers.SearchOrAddFromData("lx");
        markers.SetRecordMarker(lx);
    }
    bool Read(const std::string& path) {
        records.DeleteAll();
        std::ifstream in(path, std::ios::binary);
        if (crv::ReadHeader(in, header) != crv::HeaderStatus::Found)
            return false;
        return crv::ReadDatabaseRecords(path, markers, lx, records).Ok();
    }
    bool WriteFile(const std::string& path) {
        return static_cast<bool>(crv::WriteFileSafely(path, [&](std::ostream& out) {
            return crv::WriteDatabaseStream(out, records, header, header.fourDigitYear, path);
        }));
    }
};

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: sf_bench FILE [RUNS] | --read-only FILE | --read-write FILE\n");
        return 2;
    }
    crv::RecordingPlatform platform;
    crv::ScopedPlatform scope(platform);
    std::string mode = argv[1];
    if ((mode == "--read-only" || mode == "--read-write") && argc > 2) {
        Database db;
        if (!db.Read(argv[2]))
            return 1;
        if (mode == "--read-write") {
            std::string copy = std::string(argv[2]) + ".copy";
            bool ok = db.WriteFile(copy);
            std::filesystem::remove(copy);
            return ok ? 0 : 1;
        }
        return 0;
    }

    std::string path = argv[1];
    int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::string original = ReadBytes(path);
    double bytes = static_cast<double>(original.size());

    Timing cat, wc;
    for (int i = 0; i < runs; ++i) {
        if (!RunBaseline({"cat", path}, cat) || !RunBaseline({"wc", "-l", path}, wc)) {
            std::fprintf(stderr, "sf_bench: cat or wc failed\n");
            return 1;
        }
    }

    Database db;
    Timing read, release;
    for (int i = 0; i < runs; ++i) {
        if (i > 0)
            Timed(release, [&] {
                db.records.DeleteAll();
                return true;
            });
        if (!Timed(read, [&] { return db.Read(path); })) {
            std::fprintf(stderr, "sf_bench: reading %s failed\n", path.c_str());
            return 1;
        }
    }
    std::size_t fields = 0;
    for (const crv::CRecord& r : db.records)
        fields += r.Count();

    std::string written;
    written.reserve(original.size() + 64);
    Timing memory, file;
    for (int i = 0; i < runs; ++i) {
        written.clear();
        bool ok = Timed(memory, [&] {
            crv::StringSink sink(written);
            crv::SFStreamWriter writer(sink);
            return crv::WriteDatabase(writer, db.records, db.header.typeName, db.header.number,
                                      db.header.fourDigitYear);
        });
        if (!ok)
            return 1;
    }
    std::string copy = path + ".copy";
    for (int i = 0; i < runs; ++i) {
        if (!Timed(file, [&] { return db.WriteFile(copy); })) {
            std::fprintf(stderr, "sf_bench: writing %s failed\n", copy.c_str());
            return 1;
        }
    }
    bool same = written == original && ReadBytes(copy) == original;
    std::filesystem::remove(copy);

    std::printf("file: %s (%.1f MB, %zu records, %zu fields), best of %d\n", path.c_str(),
                bytes / 1e6, db.records.Count(), fields, runs);
    Report("cat FILE > /dev/null", cat, bytes);
    Report("wc -l FILE", wc, bytes);
    Report("read (whole-file read into records)", read, bytes);
    if (runs > 1)
        Report("free the records", release, bytes);
    Report("write to memory", memory, bytes);
    Report("write to a file (temporary, fsync, rename)", file, bytes);
    std::printf("round trip: %s\n", same ? "identical bytes" : "DIFFERENT");
    return same ? 0 : 1;
}
