// Compiles a fuzzed text pattern against the sample language's variables and matches it
// against fuzzed text at every mask, by search and whole, with and without brace mode.
// Checks that spans lie in the text, that the three ways of matching agree, and (on small
// inputs) that remembering failed positions never changes an answer.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "base/object_stream.h"
#include "base/recording_platform.h"
#include "schema/lang_enc_set.h"
#include "schema/pattern_match.h"

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// The sample project's vernacular (digraphs, acute vowels, a following length mark,
// ignored boundaries) and an encoding with default properties, read once.
struct Languages {
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope{rec};
    crv::CLangEncSet set; // in memory: nothing is written
    crv::CLangEnc vernacular{set, "Vernacular"};
    crv::CLangEnc* plain = set.FindOrCreate("Plain");

    Languages() {
        std::ifstream file(CORVANE_SAMPLE_DIR "/Vernacular.lng", std::ios::binary);
        std::string name;
        crv::ObjectStream in(file);
        crv::CNoteList notes;
        Check(file && in.ReadBeginMarker("LanguageEncoding", name));
        vernacular.Read(in, notes);
        Check(notes.empty() && vernacular.Vars().Search("vowel") != nullptr);
    }
};

void MatchEveryWay(const crv::CTextPattern& pattern, const crv::CTextPos& pos, bool small) {
    const std::size_t size = pos.text.size();
    for (int mask : {1, 3, 21, 23, 5, 7, 13, 15}) {
        crv::CPatternMatcher m(pattern, {mask});
        m.SetWorkLimit(1 << 20);
        crv::CPatternSpan span;
        bool found = m.Find(pos, &span);
        bool gaveUp = m.GaveUp();
        if (found) {
            Check(span.start <= span.end && span.end <= size);
            crv::CTextPos at = pos;
            at.offset = span.start;
            Check(m.MatchLength(at) == static_cast<std::ptrdiff_t>(span.end - span.start) ||
                  m.GaveUp());
            Check(m.MatchAt(at) ? at.offset == span.end : m.GaveUp());
        }
        bool whole = m.MatchWhole(pos);
        // A whole match is a match at the start, which a search tries first.
        if (whole && !gaveUp)
            Check(found && span.start == 0);
        if (small) {
            crv::CPatternMatcher slow(pattern, {mask});
            slow.SetRememberFailures(false);
            slow.SetWorkLimit(1 << 16);
            crv::CPatternSpan slowSpan;
            bool slowFound = slow.Find(pos, &slowSpan);
            if (!slow.GaveUp() && !gaveUp)
                Check(slowFound == found &&
                      (!found || (slowSpan.start == span.start && slowSpan.end == span.end)));
        }
    }
}

} // namespace

// Input: one flag byte (bit 0 brace mode, bit 1 the plain encoding, bit 2 terminators),
// then the pattern, a NUL byte, and the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Languages* langs = new Languages;
    if (size < 1 || size > 4096)
        return 0;
    const std::uint8_t flags = data[0];
    std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t nul = input.find('\0');
    std::string patternText = input.substr(0, nul);
    std::string text = nul == std::string::npos ? std::string() : input.substr(nul + 1);

    crv::CNote error;
    std::size_t end = 0;
    auto pattern =
        (flags & 4)
            ? crv::CTextPattern::Compile(patternText, ",)", ")", langs->set.VarNames(), error, &end)
            : crv::CTextPattern::Compile(patternText, "", "", langs->set.VarNames(), error, &end);
    if (!pattern) {
        Check(!error.IsEmpty() && error.Position() >= 0 &&
              static_cast<std::size_t>(error.Position()) <= patternText.size());
        return 0;
    }
    Check(end <= patternText.size());
    const crv::CLangEnc& enc = (flags & 2) ? *langs->plain : langs->vernacular;
    MatchEveryWay(*pattern, crv::CTextPos(text, enc, 0, (flags & 1) != 0), text.size() <= 24);
    return 0;
}
