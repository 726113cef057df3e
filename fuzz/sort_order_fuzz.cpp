// Compiles a sort order from fuzzed texts, makes keys of fuzzed text in both directions
// with small maxima, and compares them at every mask and level, checking that keys never
// hold 0x00 or 0x01 and that comparison is consistent.
#include <cstdint>
#include <string>
#include <vector>

#include "base/recording_platform.h"
#include "schema/lang_enc_set.h"

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

int Sign(int r) { return r < 0 ? -1 : r > 0 ? 1 : 0; }

// The match-level comparison spelled out: each level's mask in turn, on the whole keys.
int LevelByLevel(const crv::CSortOrder& so, const std::string& a, const std::string& b, int mask,
                 bool whole) {
    if (so.IsBinary())
        return so.CompareKeys(a, b, mask, whole);
    int undefined = mask & 2;
    int level = (mask & 8) ? 3 : (mask & 4) ? ((mask & 16) ? 1 : 2) : 0;
    const int masks[4] = {1 | undefined, 21 | undefined, 5 | undefined, 13 | undefined};
    for (int l = 0; l <= level; ++l)
        if (int r = so.CompareAtMask(a, b, masks[l], whole))
            return r;
    return 0;
}

// Input: one flag byte, then NUL-separated parts: case, preceding, primary, following,
// ignore, text A, text B.
std::vector<std::string> Parts(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> parts(7);
    std::size_t k = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && k + 1 < parts.size())
            ++k;
        else
            parts[k] += static_cast<char>(data[i]);
    }
    return parts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 4096)
        return 0;
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope(rec);
    const std::uint8_t flags = data[0];
    auto parts = Parts(data + 1, size - 1);

    crv::CLangEncSet set;
    crv::CLangEnc enc(set, "F");
    crv::CNoteList notes;
    enc.SetCaseText(parts[0], notes);
    crv::CSortOrderDef def;
    def.secPreceding = parts[1];
    def.primary = parts[2];
    def.secFollowing = parts[3];
    def.ignore = parts[4];
    def.secAfterBase = flags & 1;
    def.binary = (flags & 2) && (flags & 4);
    crv::CNote error;
    auto so = crv::CSortOrder::Compile(enc, "S", def, error);
    if (!so)
        return 0;
    // Case links may come after the order: fold again as a reading encoding would.
    enc.SetCaseText(parts[0] + "\n" + parts[1], notes);
    so->RecomputeCaseFolding();

    const std::size_t maxUnits = (flags >> 3) & 15;
    for (bool fromEnd : {false, true}) {
        std::string a, b;
        so->MakeKey(parts[5], a, maxUnits ? maxUnits : 255, fromEnd);
        so->MakeKey(parts[6], b, maxUnits ? maxUnits : 255, fromEnd);
        for (unsigned char c : a + b)
            Check(c >= 2);
        std::string composite = a;
        so->MakeKeyWithSeparator(parts[6], composite, maxUnits, fromEnd);
        for (int mask : {1, 3, 21, 23, 5, 7, 13, 15}) {
            for (bool whole : {false, true}) {
                Check(so->CompareKeys(a, a, mask, whole) == 0);
                Check(so->CompareAtMask(b, b, mask, whole) == 0);
                int ab = Sign(so->CompareKeys(a, b, mask, whole));
                Check(ab == Sign(LevelByLevel(*so, a, b, mask, whole)));
                // The first part of a composite key compares as the key alone.
                Check(Sign(so->CompareKeys(composite, b, mask, whole)) == ab);
                if (whole)
                    Check(ab == -Sign(so->CompareKeys(b, a, mask, whole)));
            }
        }
        for (unsigned char u : a)
            so->CompareUnits(u, static_cast<unsigned char>(b.empty() ? 2 : b[0]), flags);
    }
    return 0;
}
