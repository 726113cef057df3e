#include "app/print_layout.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <numeric>

#include "base/message_text.h"

namespace crv {

std::string ExpandPrintCodes(std::string_view text, std::string_view fileName,
                             std::string_view date, int page) {
    std::string out;
    out.reserve(text.size() + fileName.size() + date.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] != '&' || (next != 'f' && next != 'd' && next != 'p' && next != '&')) {
            out += text[i];
            continue;
        }
        ++i;
        if (next == 'f')
            out += fileName;
        else if (next == 'd')
            out += date;
        else if (next == 'p')
            out += std::to_string(page);
        else
            out += '&';
    }
    return out;
}

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x | 0x20) == (y | 0x20);
           });
}

} // namespace

bool ParseMargin(std::string_view text, std::optional<double>& points) {
    points.reset();
    text = Trim(text);
    if (text.empty())
        return true;
    // A decimal comma, as many locales type it.
    std::string number;
    std::size_t i = 0;
    for (; i < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.' || text[i] == ',');
         ++i)
        number += text[i] == ',' ? '.' : text[i];
    double value = 0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || ec != std::errc() || end != number.data() + number.size())
        return false;
    std::string_view unit = Trim(text.substr(i));
    double perUnit = 0;
    if (unit.empty() || unit == "\"" || EqualsNoCase(unit, "in"))
        perUnit = 72;
    else if (EqualsNoCase(unit, "cm"))
        perUnit = 72 / 2.54;
    else if (EqualsNoCase(unit, "mm"))
        perUnit = 72 / 25.4;
    else if (EqualsNoCase(unit, "pt"))
        perUnit = 1;
    else
        return false;
    // Nothing wider than a large sheet is a margin.
    if (value * perUnit > 20 * 72)
        return false;
    points = value * perUnit;
    return true;
}

PrintMargins ResolveMargins(const CPrintProperties& props, std::string& message) {
    PrintMargins m;
    message.clear();
    std::vector<std::string> bad;
    auto one = [&](const std::string& text, std::optional<double>& out) {
        if (!ParseMargin(text, out))
            bad.push_back("\"" + text + "\"");
    };
    one(props.topMargin, m.top);
    one(props.leftMargin, m.left);
    one(props.bottomMargin, m.bottom);
    one(props.rightMargin, m.right);
    if (!bad.empty()) {
        std::string list = bad.front();
        for (std::size_t k = 1; k < bad.size(); ++k)
            list += ", " + bad[k];
        message = FormatMessage("The print margins %1 are not measurements such as 0.75in, 2cm "
                                "or 20mm; the printer's own margins are used for them.",
                                {list});
    }
    return m;
}

std::vector<PrintPage> PaginateRecords(const std::vector<std::vector<int>>& records, int bodyHeight,
                                       int recordSpace, bool keepWhole) {
    std::vector<PrintPage> pages(1);
    int y = 0;
    auto newPage = [&] {
        pages.emplace_back();
        y = 0;
    };
    recordSpace = std::max(recordSpace, 0);
    for (std::size_t r = 0; r < records.size(); ++r) {
        const std::vector<int>& lines = records[r];
        if (lines.empty())
            continue;
        if (!pages.back().slices.empty())
            y += recordSpace;
        if (keepWhole && !pages.back().slices.empty()) {
            long long height = std::accumulate(lines.begin(), lines.end(), 0LL);
            if (y + height > bodyHeight)
                newPage();
        }
        std::size_t line = 0;
        while (line < lines.size()) {
            PrintSlice slice{r, line, line, y};
            while (line < lines.size() && (y + lines[line] <= bodyHeight || y == 0)) {
                y += std::max(lines[line], 0);
                ++line;
                // A line taller than the body fills its page alone.
                if (y > bodyHeight)
                    break;
            }
            slice.endLine = line;
            if (slice.endLine > slice.firstLine)
                pages.back().slices.push_back(slice);
            if (line < lines.size())
                newPage();
        }
    }
    if (pages.back().slices.empty() && pages.size() > 1)
        pages.pop_back();
    return pages;
}

} // namespace crv
