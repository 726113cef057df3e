// The page setup of an RTF export: paper size, margins, header and footer distances,
// facing pages and text columns, with its settings object "rtfPageSetup". Lengths are
// kept in the paper's unit (inches for letter, legal and custom inches; centimetres
// for A4 and custom centimetres) and converted to twips when written into a document.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/object_stream.h"
#include "base/unknown_entries.h"

namespace crv {

enum class PaperSize { Letter, Legal, A4, CustomInches, CustomCm };

// "letter", "legal", "A4", "custom_size_in", "custom_size_cm".
std::string_view PaperSizeName(PaperSize size);
std::optional<PaperSize> PaperSizeOfName(std::string_view name);

// A decimal number as settings and dialogs take it (blanks around allowed); nullopt for
// anything else.
std::optional<double> ParseDecimal(std::string_view text);

// A measurement as the settings store it: three decimals, then two trailing zeros
// dropped, and the decimal point with all three when they are zero (8.5, 11, 0.375).
std::string FormatMeasurement(double value);

struct CRtfPageSetup {
    static constexpr double kMaxInches = 22;
    static constexpr double kMaxCentimetres = 55.88;

    PaperSize paper = PaperSize::Letter;
    double paperWidth = 8.5; // kept for the custom sizes
    double paperHeight = 11;
    double topMargin = 1;
    double bottomMargin = 1;
    double leftMargin = 1.25;  // inside when margins are mirrored
    double rightMargin = 1.25; // outside when margins are mirrored
    double gutter = 0;
    bool mirrorMargins = false;
    double headerToEdge = 0.5;
    double footerToEdge = 0.5;
    bool facingPages = true; // stored inverted as NoOddAndEven
    int columns = 1;
    double columnSpacing = 0.5;
    bool lineBetweenColumns = false;
    UnknownEntries unknown;

    // The dictionary formatter's page: letter, margins 0.75 / 1.25 / 0.75 / 0.75, gutter
    // 0.5, header 0.375, footer 0.875, two columns 0.25 apart.
    static CRtfPageSetup DictionaryDefault();

    bool InInches() const;
    // The largest measurement the unit allows (22 inches, 55.88 cm).
    double MaxMeasurement() const;
    bool IsValidMeasurement(double value) const;
    // The paper's width and height in its unit: fixed for letter, legal and A4.
    double PaperWidth() const;
    double PaperHeight() const;
    // Another paper size: fixed sizes take their dimensions, and every length is
    // converted when the unit changes.
    void SetPaper(PaperSize size);

    // A length of this page in twips, rounded to the nearest.
    int Twips(double length) const;
    // Paper width less margins and gutter, less the gaps between columns; never below 0.
    int TextWidthTwips() const;

    // "\+rtfPageSetup" with the keys in their fixed order.
    void Write(ObjectStream& os) const;
    // Reads the object when it is the current entry. A value that is not a number or is
    // out of range keeps the default and is carried as read.
    bool Read(ObjectStream& is);

    bool operator==(const CRtfPageSetup&) const = default;
};

} // namespace crv
