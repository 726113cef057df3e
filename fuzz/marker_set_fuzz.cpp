// Reads any bytes as settings holding marker sets, writes the set, reads the written text
// into a second set and checks that every marker and property survived; then resolves
// the hierarchy in both and checks it is whole and written alike.
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "base/recording_platform.h"
#include "schema/marker.h"

namespace {

using crv::CMarker;
using crv::CMarkerSet;

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// What a value becomes through the writer: a line after an LF that begins with a
// backslash gets a space in front.
std::string AsWritten(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        out += value[i];
        if (value[i] == '\n' && i + 1 < value.size() && value[i + 1] == '\\')
            out += ' ';
    }
    return out;
}

std::string Name(const crv::CLangEnc* e) { return e ? e->Name() : std::string(); }

constexpr std::size_t kRangeSetWritten = crv::ObjectStream::kMaxEntry - 8;

void CheckSameMarker(const CMarker& a, const CMarker& b) {
    Check(a.Name() == b.Name());
    Check(AsWritten(a.FieldName()) == b.FieldName());
    Check(AsWritten(a.Description()) == b.Description());
    Check(AsWritten(Name(a.LangEnc())) == Name(b.LangEnc()));
    Check(a.RangeSetCharacters() == b.RangeSetCharacters());
    Check(a.RangeSetAllowsSpaces() == b.RangeSetAllowsSpaces());
    Check(a.RangeSet().Text(kRangeSetWritten) == b.RangeSet().Text(kRangeSetWritten));
    Check(a.UsesLangEncFont() == b.UsesLangEncFont());
    if (!a.UsesLangEncFont()) {
        const crv::CFontDef &fa = a.Font(), &fb = b.Font();
        Check(AsWritten(fa.face) == fb.face);
        Check(crv::FontSizeFromHeight(fa.height) == crv::FontSizeFromHeight(fb.height));
        Check((fa.weight != 400) == (fb.weight != 400));
        Check(fa.italic == fb.italic && fa.underline == fb.underline);
        Check(fa.strikeOut == fb.strikeOut && fa.hasColor == fb.hasColor);
        Check(!fa.hasColor || fa.color == fb.color);
    }
    Check(a.NoWordWrap() == b.NoWordWrap());
    Check(AsWritten(a.ParentName()) == b.ParentName());
    Check(AsWritten(a.FollowingName()) == b.FollowingName());
    Check(a.CharStyle() == b.CharStyle() && a.Section() == b.Section());
    Check(a.Hidden() == b.Hidden() && a.Subfield() == b.Subfield());
}

std::string Written(const CMarkerSet& set) {
    std::ostringstream out;
    crv::ObjectStream os(out);
    set.Write(os);
    return out.str();
}

// Reads every marker set object of text; the number of notes.
std::size_t ReadAll(CMarkerSet& set, const std::string& text) {
    std::istringstream in(text);
    crv::ObjectStream is(in);
    while (!is.AtEnd())
        if (!set.Read(is))
            is.SkipEntry();
    return is.Notes().size();
}

// The hierarchy after resolution: one top, every chain ends, levels count the steps.
void CheckHierarchy(const CMarkerSet& set) {
    for (const CMarker& m : set) {
        Check((m.Parent() == nullptr) == (&m == set.RecordMarker()));
        int steps = 0;
        for (const CMarker* p = m.Parent(); p; p = p->Parent())
            Check(++steps <= static_cast<int>(set.Count()));
        Check(m.Level() == steps && steps <= set.MaxLevel());
        Check(!m.Following() || m.Following() != set.RecordMarker());
    }
}

bool Resolve(CMarkerSet& set) {
    CMarker* rec = set.Search(set.RecordMarkerNameRead());
    if (rec)
        set.SetRecordMarker(rec);
    return rec != nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    crv::RecordingPlatform rec;
    crv::ScopedPlatform scope(rec);
    // No settings folder: encodings the input names are kept in memory only. Building an
    // encoding costs far more than a marker set, so one set serves many inputs; it is
    // renewed before the names of earlier inputs pile up.
    static std::unique_ptr<crv::CLangEncSet> shared;
    if (!shared || shared->Proxies().Count() > 16)
        shared = std::make_unique<crv::CLangEncSet>();
    crv::CLangEncSet& encodings = *shared;

    CMarkerSet first(&encodings);
    ReadAll(first, std::string(reinterpret_cast<const char*>(data), size));
    std::string text = Written(first);

    CMarkerSet second(&encodings);
    Check(ReadAll(second, text) == 0);
    Check(first.Count() == second.Count());
    Check(AsWritten(Name(first.DefaultLangEnc())) == Name(second.DefaultLangEnc()));
    Check(first.SubfieldsFlag() == second.SubfieldsFlag());
    Check(AsWritten(first.RecordMarkerNameRead()) == second.RecordMarkerNameRead());
    for (const CMarker *a = first.GetFirst(), *b = second.GetFirst(); a && b;
         a = first.GetNext(a), b = second.GetNext(b))
        CheckSameMarker(*a, *b);
    Check(Written(second) == text);

    bool resolved1 = Resolve(first);
    Check(Resolve(second) == resolved1);
    if (!resolved1) {
        Check(rec.InternalErrors().empty());
        return 0;
    }
    CheckHierarchy(first);
    CheckHierarchy(second);
    std::string resolved = Written(second);
    CMarkerSet third(&encodings);
    Check(ReadAll(third, resolved) == 0);
    Check(Resolve(third));
    Check(Written(third) == resolved);
    Check(rec.InternalErrors().empty());
    return 0;
}
