// Record view figures: view_bench typing SETTINGS DIR [KEYS] | view_bench reshape SETTINGS FILE
// typing: one record whose gloss is a 5,000-character paragraph; KEYS characters typed one
// at a time in its middle, with automatic wrapping and (the baseline) without; the median
// and worst time per keystroke and the text measurements asked per keystroke.
// reshape: the lexicon opened as a document, then Reshape at its margin, timed alone.
// replace: the lexicon opened, then Replace All of the word house, timed alone.
// Text is measured by a proportional stand-in for a screen font: every byte has its own
// width, summed over the text, so that a measurement costs what its length costs.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/doc_manager.h"
#include "app/find_replace.h"
#include "app/project.h"
#include "app/record_view.h"
#include "base/recording_platform.h"
#include "bench/support/bench_support.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc_set.h"
#include "schema/sort_order.h"

using namespace crv;
using namespace crv::bench;

namespace {

class ProportionalPlatform : public RecordingPlatform {
public:
    int TextWidth(const FontSpec& font, std::string_view text) override {
        ++calls;
        int w = 0;
        for (char c : text)
            w += 5 + static_cast<unsigned char>(c) % 5;
        return w * std::abs(font.height) / 16;
    }
    long calls = 0;
};

// The settings folder's encodings and types, and a document list over them.
struct Documents {
    explicit Documents(const std::string& settings) : encodings(settings) {
        encodings.LoadAll();
        types.LoadAll();
    }
    CDocManager& Docs() {
        if (!docs)
            docs = std::make_unique<CDocManager>(types, import);
        return *docs;
    }
    // Opens path, or ends the program with its messages.
    CCrvDoc& Open(const std::string& path, const RecordingPlatform& platform) {
        CCrvDoc* doc = Docs().OpenDocument(path);
        if (!doc) {
            std::fprintf(stderr, "view_bench: %s did not open\n", path.c_str());
            for (const auto& m : platform.Messages())
                std::fprintf(stderr, "%s\n", m.c_str());
            std::exit(1);
        }
        return *doc;
    }
    CLangEncSet encodings;
    CDatabaseTypeSet types{encodings};
    CImportSettings import;
    std::unique_ptr<CDocManager> docs;
};

std::string Paragraph(std::size_t length) {
    const char* words[] = {"the", "river", "flows",    "past", "our", "village", "every",
                           "day", "and",   "children", "play", "on",  "its",     "banks"};
    std::string out;
    for (std::size_t i = 0; out.size() < length; ++i) {
        if (!out.empty())
            out += ' ';
        out += words[(i * 7) % 14];
    }
    out.resize(length);
    return out;
}

// Processor time of this thread: on a shared machine a keystroke's wall time includes
// the moments other processes held the processor.
double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

struct Times {
    double median = 0, worst = 0;       // wall
    double cpuMedian = 0, cpuWorst = 0; // processor
    double callsPerKey = 0;
};

Times TypeKeys(Documents& documents, const std::string& path, int keys, bool wrap,
               ProportionalPlatform& platform) {
    CProjectOptions options;
    options.autoWrap = wrap;
    CFindSettings find;
    CCrvDoc* doc = &documents.Open(path, platform);
    std::vector<double> times, cpu;
    long calls = 0;
    {
        CRecordView view(*doc, CViewEnvironment{&options, &find, nullptr});
        // The paragraph as it stands after it was typed: wrapped at the margin.
        view.SetCaret(CViewCaret{1, 0});
        view.FormatParagraphCommand();
        view.SetCaret(CViewCaret{1, 2500});
        const std::string typed = "a quick word ";
        platform.calls = 0;
        for (int k = 0; k < keys; ++k) {
            char c = typed[static_cast<std::size_t>(k) % typed.size()];
            double c0 = ThreadCpuMs();
            auto t0 = Clock::now();
            view.TypeText(std::string_view(&c, 1));
            times.push_back(Ms(t0, Clock::now()));
            cpu.push_back(ThreadCpuMs() - c0);
        }
        calls = platform.calls;
    }
    documents.Docs().CloseDocument(doc, false);
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    return Times{times[times.size() / 2], times.back(), cpu[cpu.size() / 2], cpu.back(),
                 static_cast<double>(calls) / keys};
}

int Typing(const std::string& settings, const std::string& dir, int keys) {
    ProportionalPlatform platform;
    ScopedPlatform scope(platform);
    Documents documents(settings);
    std::string path = dir + "/typing.db";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::string bytes = "\\_sh v3.0  400  Lexicon\r\n\\_DateStampHasFourDigitYear\r\n\r\n\\lx "
                        "word\r\n\\ge " +
                        Paragraph(5000) + "\r\n";
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    Times plain = TypeKeys(documents, path, keys, false, platform);
    Times wrapped = TypeKeys(documents, path, keys, true, platform);
    std::printf("typing into a 5,000-character paragraph, %d keystrokes each:\n", keys);
    auto show = [](const char* what, const Times& t) {
        std::printf("  %-38s median %.3f ms, worst %.3f ms (processor: median %.3f ms, worst "
                    "%.3f ms), %.1f text measurements a keystroke\n",
                    what, t.median, t.worst, t.cpuMedian, t.cpuWorst, t.callsPerKey);
    };
    show("without automatic wrapping (baseline):", plain);
    show("with automatic wrapping:", wrapped);
    return 0;
}

int Reshape(const std::string& settings, const std::string& file) {
    RecordingPlatform quiet;
    ScopedPlatform scope(quiet);
    Documents documents(settings);
    CCrvDoc* doc = &documents.Open(file, quiet);
    quiet.answers = {Answer::Yes};
    double c0 = CpuMs();
    auto t0 = Clock::now();
    ReshapeDatabase(*doc, doc->Records().HeaderRecordWidth());
    auto t1 = Clock::now();
    double c1 = CpuMs();
    std::printf("Reshape of %zu records in memory (format, stamp, re-key): %.0f ms (processor "
                "%.0f ms)\n",
                doc->Records().RecordCount(), Ms(t0, t1), c1 - c0);
    return 0;
}

// Replace All of a word over the lexicon, timed alone (best of runs, each on a fresh open).
int Replace(const std::string& settings, const std::string& file, int runs) {
    RecordingPlatform quiet;
    ScopedPlatform scope(quiet);
    Documents documents(settings);
    Best best;
    std::size_t replaced = 0;
    for (int run = 0; run < runs; ++run) {
        CCrvDoc* doc = &documents.Open(file, quiet);
        CFindSettings find;
        find.AddToHistory("house", "Default");
        find.matchWhole = true;
        find.mask = kMatchExact;
        CIndex& index = doc->Records().DefaultIndex();
        CFindScope findScope(find, doc->Records(), &index);
        CIndexPos first = index.First();
        double c0 = CpuMs();
        auto t0 = Clock::now();
        CReplaceResult r = ReplaceAll(
            *doc, findScope, {first.Record(), first.Record()->GetFirst(), 0, first}, "home");
        best.Take(Ms(t0, Clock::now()), CpuMs() - c0);
        replaced = r.replaced;
        documents.Docs().CloseDocument(doc, false);
    }
    std::printf("Replace All in memory (%zu occurrences; find, replace, stamp, re-key): %.0f ms "
                "(processor %.0f ms; best of %d)\n",
                replaced, best.wall, best.cpu, runs);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "typing")
        return Typing(argv[2], argv[3], argc > 4 ? std::max(1, std::atoi(argv[4])) : 2000);
    if (argc >= 4 && std::string(argv[1]) == "reshape")
        return Reshape(argv[2], argv[3]);
    if (argc >= 4 && std::string(argv[1]) == "replace")
        return Replace(argv[2], argv[3], argc > 4 ? std::max(1, std::atoi(argv[4])) : 3);
    std::fprintf(stderr, "usage: view_bench typing SETTINGS DIR [KEYS] | view_bench reshape "
                         "SETTINGS FILE | view_bench replace SETTINGS FILE [RUNS]\n");
    return 2;
}
