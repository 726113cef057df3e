#include "export/page_setup.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace crv {

namespace {

constexpr std::string_view kObject = "rtfPageSetup";
constexpr double kCmPerInch = 2.54;

struct PaperInfo {
    PaperSize size;
    std::string_view name;
    double width, height; // in the paper's unit; 0 for the custom sizes
    bool inches;
};

constexpr std::array<PaperInfo, 5> kPapers = {{
    {PaperSize::Letter, "letter", 8.5, 11, true},
    {PaperSize::Legal, "legal", 8.5, 14, true},
    {PaperSize::A4, "A4", 21, 29.7, false},
    {PaperSize::CustomInches, "custom_size_in", 0, 0, true},
    {PaperSize::CustomCm, "custom_size_cm", 0, 0, false},
}};

const PaperInfo& Info(PaperSize size) { return kPapers[static_cast<std::size_t>(size)]; }

} // namespace

std::optional<double> ParseDecimal(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    double d = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), d);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() ||
        !std::isfinite(d))
        return std::nullopt;
    return d;
}

std::string_view PaperSizeName(PaperSize size) { return Info(size).name; }

std::optional<PaperSize> PaperSizeOfName(std::string_view name) {
    for (const PaperInfo& p : kPapers)
        if (p.name == name)
            return p.size;
    return std::nullopt;
}

std::string FormatMeasurement(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%6.3f", value);
    std::string s(buf);
    s.erase(0, s.find_first_not_of(' '));
    std::size_t dot = s.find('.');
    if (dot != std::string::npos && s.size() == dot + 4) {
        if (s.compare(dot + 1, 3, "000") == 0)
            s.erase(dot);
        else if (s.compare(dot + 2, 2, "00") == 0)
            s.erase(dot + 2);
    }
    if (s == "-0")
        s = "0";
    return s;
}

CRtfPageSetup CRtfPageSetup::DictionaryDefault() {
    CRtfPageSetup p;
    p.topMargin = 0.75;
    p.bottomMargin = 1.25;
    p.leftMargin = 0.75;
    p.rightMargin = 0.75;
    p.gutter = 0.5;
    p.headerToEdge = 0.375;
    p.footerToEdge = 0.875;
    p.columns = 2;
    p.columnSpacing = 0.25;
    return p;
}

bool CRtfPageSetup::InInches() const { return Info(paper).inches; }

double CRtfPageSetup::MaxMeasurement() const { return InInches() ? kMaxInches : kMaxCentimetres; }

bool CRtfPageSetup::IsValidMeasurement(double value) const {
    // A little slack: 55.88 cm read back from three decimals must still pass.
    return std::isfinite(value) && value >= 0 && value <= MaxMeasurement() + 1e-9;
}

double CRtfPageSetup::PaperWidth() const {
    return Info(paper).width > 0 ? Info(paper).width : paperWidth;
}

double CRtfPageSetup::PaperHeight() const {
    return Info(paper).height > 0 ? Info(paper).height : paperHeight;
}

void CRtfPageSetup::SetPaper(PaperSize size) {
    bool wasInches = InInches();
    double width = PaperWidth();
    double height = PaperHeight();
    paper = size;
    if (wasInches != InInches()) {
        double f = InInches() ? 1 / kCmPerInch : kCmPerInch;
        // Converted lengths are rounded to the three decimals the settings keep.
        auto conv = [f](double& v) { v = std::round(v * f * 1000) / 1000; };
        for (double* v : {&width, &height, &topMargin, &bottomMargin, &leftMargin, &rightMargin,
                          &gutter, &headerToEdge, &footerToEdge, &columnSpacing})
            conv(*v);
    }
    paperWidth = width;
    paperHeight = height;
}

int CRtfPageSetup::Twips(double length) const {
    double perUnit = InInches() ? 1440.0 : 1440.0 / kCmPerInch;
    return static_cast<int>(std::lround(length * perUnit));
}

int CRtfPageSetup::TextWidthTwips() const {
    int w = Twips(PaperWidth()) - Twips(leftMargin) - Twips(rightMargin) - Twips(gutter);
    if (columns > 1)
        w -= (columns - 1) * Twips(columnSpacing);
    return w < 0 ? 0 : w;
}

void CRtfPageSetup::Write(ObjectStream& os) const {
    os.WriteBeginMarker(kObject);
    os.WriteString("paperSize", PaperSizeName(paper));
    if (paper == PaperSize::CustomInches || paper == PaperSize::CustomCm) {
        os.WriteString("paperWidth", FormatMeasurement(paperWidth));
        os.WriteString("paperHeight", FormatMeasurement(paperHeight));
    }
    os.WriteString("topMargin", FormatMeasurement(topMargin));
    os.WriteString("bottomMargin", FormatMeasurement(bottomMargin));
    os.WriteString("leftMargin", FormatMeasurement(leftMargin));
    os.WriteString("rightMargin", FormatMeasurement(rightMargin));
    os.WriteString("gutter", FormatMeasurement(gutter));
    os.WriteBool("MirrorMargins", mirrorMargins);
    os.WriteString("headerToEdge", FormatMeasurement(headerToEdge));
    os.WriteString("footerToEdge", FormatMeasurement(footerToEdge));
    os.WriteBool("NoOddAndEven", !facingPages);
    os.WriteInteger("columns", columns);
    os.WriteString("columnSpacing", FormatMeasurement(columnSpacing));
    os.WriteBool("LineBetweenColumns", lineBetweenColumns);
    unknown.Write(os);
    os.WriteEndMarker(kObject);
}

bool CRtfPageSetup::Read(ObjectStream& is) {
    if (!is.ReadBeginMarker(kObject))
        return false;
    // Lengths are checked against the unit once the paper size is known, whatever the
    // order of the keys.
    struct Length {
        std::string_view key;
        double* value;
    };
    const std::array<Length, 10> lengths = {{
        {"paperWidth", &paperWidth},
        {"paperHeight", &paperHeight},
        {"topMargin", &topMargin},
        {"bottomMargin", &bottomMargin},
        {"leftMargin", &leftMargin},
        {"rightMargin", &rightMargin},
        {"gutter", &gutter},
        {"headerToEdge", &headerToEdge},
        {"footerToEdge", &footerToEdge},
        {"columnSpacing", &columnSpacing},
    }};
    // Entries kept in their order: a length waits for the paper size, whatever comes
    // after it; one that cannot be used stays in its place among the unknown ones.
    struct Pending {
        const Length* length; // null: an entry this version does not read
        std::string value;
        std::string text; // the entry as captured
    };
    std::vector<Pending> pending;
    ReadingObject reading(is, kObject);
    while (!AtObjectEnd(is, kObject)) {
        if (is.Overflow()) {
            is.SkipEntry();
            continue;
        }
        bool flag = false;
        if (is.ReadBool("MirrorMargins", flag)) {
            mirrorMargins = true;
            continue;
        }
        if (is.ReadBool("NoOddAndEven", flag)) {
            facingPages = false;
            continue;
        }
        if (is.ReadBool("LineBetweenColumns", flag)) {
            lineBetweenColumns = true;
            continue;
        }
        std::string_view key = is.PeekKey();
        if (key == "paperSize" && PaperSizeOfName(is.PeekValue())) {
            paper = *PaperSizeOfName(is.PeekValue());
            is.SkipEntry();
            continue;
        }
        if (key == "columns") {
            auto n = ParseDecimal(is.PeekValue());
            if (n && *n >= 1 && *n <= 99 && *n == std::floor(*n)) {
                columns = static_cast<int>(*n);
                is.SkipEntry();
                continue;
            }
        }
        const Length* length = nullptr;
        for (const Length& l : lengths)
            if (l.key == key)
                length = &l;
        std::string value = length ? std::string(is.PeekValue()) : std::string();
        pending.push_back({length, std::move(value), UnknownEntries::Take(is, kObject)});
    }
    for (const Pending& p : pending) {
        std::optional<double> n = p.length ? ParseDecimal(p.value) : std::nullopt;
        if (n && IsValidMeasurement(*n))
            *p.length->value = *n;
        else
            unknown.AddCaptured(p.text);
    }
    return true;
}

} // namespace crv
