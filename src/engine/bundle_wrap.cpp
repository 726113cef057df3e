#include "engine/bundle_wrap.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "engine/paragraph_wrap.h"
#include "record/record.h"
#include "schema/marker.h"

namespace crv {

namespace {

bool IsUtf8(std::string_view s) {
    std::size_t i = 0;
    bool high = false;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        high = true;
        const std::size_t n = c >= 0xF0 && c < 0xF5   ? 4
                              : c >= 0xE0             ? 3
                              : c >= 0xC2 && c < 0xE0 ? 2
                                                      : 0;
        if (n == 0 || (c >= 0xE0 && n < 3) || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return high;
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool IsTextLineMarker(const CMarker* m) {
    return m && (m->InterlinearFlags() & CMarker::kInterlinearTextLine) != 0;
}

// An interlinear line that is not a text line: what follows a text line in a bundle.
bool IsFollowingLineMarker(const CMarker* m) {
    return m && (m->InterlinearFlags() & CMarker::kInterlinearLine) != 0 && !IsTextLineMarker(m);
}

// The length of a bundle line without its closing spaces and line ends.
std::size_t LineLength(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\n'))
        --n;
    return n;
}

bool IsGap(char c) { return c == ' ' || c == '\n'; }

// Whether column suits a cut in every line: a word begins there in each line that
// reaches past it.
bool CanCutAt(const std::vector<std::string_view>& lines, std::size_t column) {
    bool cutsSomething = false;
    for (std::string_view line : lines) {
        if (column >= TrimmedColumns(line))
            continue;
        const std::size_t at = ByteOfColumn(line, column);
        if (IsGap(line[at]) || !IsGap(line[at - 1]))
            return false;
        cutsSomething = true;
    }
    return cutsSomething;
}

// The trailing line ends of a field's text (its closing run of LFs).
std::string_view ClosingLineEnds(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && text[n - 1] == '\n')
        --n;
    return text.substr(n);
}

} // namespace

std::size_t ColumnCount(std::string_view line) { return ColumnOfByte(line, line.size()); }

std::size_t ColumnOfByte(std::string_view line, std::size_t byte) {
    const std::size_t in = std::min(byte, line.size());
    std::size_t cols = in;
    if (IsUtf8(line)) {
        cols = 0;
        for (std::size_t i = 0; i < in; ++i)
            cols += !IsContinuation(line[i]);
    }
    return cols + (byte - in);
}

std::size_t ByteOfColumn(std::string_view line, std::size_t column) {
    if (!IsUtf8(line))
        return column;
    std::size_t cols = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (IsContinuation(line[i]))
            continue;
        if (cols == column)
            return i;
        ++cols;
    }
    return line.size() + (column - cols);
}

std::size_t TrimmedColumns(std::string_view line) {
    std::size_t n = line.size();
    while (n > 0 && (line[n - 1] == ' ' || line[n - 1] == '\n'))
        --n;
    return ColumnOfByte(line, n);
}

bool IsBundleTextLine(const CRecord& record, const CField* field) {
    if (!field || !IsTextLineMarker(field->Marker()))
        return false;
    const CField* next = record.GetNext(field);
    return next && IsFollowingLineMarker(next->Marker());
}

CField* BundleTextLine(const CRecord& record, CField* field) {
    if (!field)
        return nullptr;
    if (IsBundleTextLine(record, field))
        return field;
    CField* f = field;
    while (f && IsFollowingLineMarker(f->Marker()))
        f = record.GetPrev(f);
    return f && f != field && IsTextLineMarker(f->Marker()) ? f : nullptr;
}

bool IsInBundle(const CRecord& record, const CField* field) {
    return BundleTextLine(record, const_cast<CField*>(field)) != nullptr;
}

std::vector<CField*> BundleFields(const CRecord& record, CField* textLine) {
    std::vector<CField*> out;
    if (!textLine)
        return out;
    out.push_back(textLine);
    for (CField* f = record.GetNext(textLine); f && IsFollowingLineMarker(f->Marker());
         f = record.GetNext(f))
        out.push_back(f);
    return out;
}

std::size_t BundleWrapColumns(int margin, int interlinearCharWidth) {
    return static_cast<std::size_t>(std::max(margin, 1) / std::max(interlinearCharWidth, 1));
}

std::size_t WrapBundle(CRecord& record, CField* textLine, std::size_t width) {
    width = std::max<std::size_t>(width, 1);
    std::size_t added = 0;
    std::vector<CField*> bundle = BundleFields(record, textLine);
    while (!bundle.empty()) {
        std::vector<std::string_view> lines;
        std::size_t longest = 0;
        for (CField* f : bundle) {
            lines.emplace_back(f->Text());
            longest = std::max(longest, TrimmedColumns(lines.back()));
        }
        if (longest <= width)
            break;
        std::size_t column = 0;
        for (std::size_t c = width; c >= 1 && !column; --c)
            if (CanCutAt(lines, c))
                column = c;
        for (std::size_t c = width + 1; c < longest && !column; ++c)
            if (CanCutAt(lines, c))
                column = c;
        if (!column)
            break;
        std::vector<std::string> heads, tails;
        for (std::string_view line : lines) {
            std::size_t length = LineLength(line);
            std::string_view ends = ClosingLineEnds(line);
            std::size_t cut = std::min(ByteOfColumn(line, column), length);
            // The closing line ends stay with the first piece and close the new one too.
            heads.push_back(std::string(line.substr(0, cut)) + std::string(ends));
            tails.push_back(std::string(line.substr(cut, line.size() - cut - ends.size())) +
                            std::string(ends));
        }
        std::vector<CField*> next;
        CField* after = bundle.back();
        for (std::size_t i = 0; i < bundle.size(); ++i) {
            auto* f = new CField(bundle[i]->Marker(), std::move(tails[i]));
            record.InsertAfter(after, f);
            after = f;
            next.push_back(f);
            bundle[i]->SetText(std::move(heads[i]));
        }
        ++added;
        bundle = std::move(next);
    }
    return added;
}

RecordFormatResult FormatRecord(CRecord& record, int margin, int interlinearCharWidth,
                                CTextMeasure& measure) {
    RecordFormatResult result;
    std::size_t columns = BundleWrapColumns(margin, interlinearCharWidth);
    for (CField* f = record.GetFirst(); f; f = record.GetNext(f)) {
        if (IsBundleTextLine(record, f)) {
            std::vector<CField*> bundle = BundleFields(record, f);
            std::size_t added = f->Marker()->NoWordWrap() ? 0 : WrapBundle(record, f, columns);
            if (added) {
                result.changed = result.fieldsAdded = true;
                bundle = BundleFields(record, f);
            }
            // On past every line of every bundle made.
            for (std::size_t i = 0; i + 1 < bundle.size() * (added + 1); ++i)
                f = record.GetNext(f);
            continue;
        }
        if (FormatField(*f, margin, measure))
            result.changed = true;
    }
    return result;
}

} // namespace crv
