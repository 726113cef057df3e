#include "schema/record_template.h"

#include "base/message_text.h"
#include "base/object_stream.h"
#include "schema/marker.h"

namespace crv {

namespace {

constexpr std::string_view kFldKey = "fld";

// The marker name a field of the template begins with (after its backslash).
std::string_view FieldMarker(std::string_view field) {
    if (field.empty() || field[0] != '\\')
        return {};
    std::size_t end = field.find_first_of(" \t\n", 1);
    return field.substr(1, end == std::string_view::npos ? field.size() - 1 : end - 1);
}

} // namespace

std::vector<std::string_view> TemplateFields(std::string_view templ) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < templ.size(); ++i) {
        if (templ[i] == '\n' && templ[i + 1] == '\\') {
            fields.push_back(templ.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < templ.size() || !fields.empty())
        fields.push_back(templ.substr(start));
    return fields;
}

std::vector<std::string> TemplateFldValues(std::string_view templ) {
    // An encoded value holds no LF, so its entry is "\fld " and the value.
    constexpr std::size_t kRoom = ObjectStream::kMaxEntry - kFldKey.size() - 2;
    std::vector<std::string> values;
    for (std::string_view field : TemplateFields(templ)) {
        std::string value = EscapeLineBreaks(field);
        if (value.size() <= kRoom) {
            values.push_back(std::move(value));
            continue;
        }
        // Too long for one entry: values join with LF, so the field may be spread over
        // several at its line breaks and read back the same.
        std::size_t pieceStart = 0, pieceEnd = 0, pieceLength = 0; // length encoded
        bool havePiece = false;
        std::size_t start = 0;
        for (;;) {
            std::size_t nl = field.find('\n', start);
            std::size_t end = nl == std::string_view::npos ? field.size() : nl;
            if (havePiece && pieceLength + 2 + (end - start) <= kRoom) {
                pieceLength += 2 + (end - start);
            } else {
                if (havePiece)
                    values.push_back(
                        EscapeLineBreaks(field.substr(pieceStart, pieceEnd - pieceStart))
                            .substr(0, kRoom));
                pieceStart = start;
                pieceLength = end - start;
                havePiece = true;
            }
            pieceEnd = end;
            if (nl == std::string_view::npos)
                break;
            start = nl + 1;
        }
        values.push_back(
            EscapeLineBreaks(field.substr(pieceStart, pieceEnd - pieceStart)).substr(0, kRoom));
    }
    return values;
}

std::string TemplateFromFldValues(const std::vector<std::string>& values) {
    std::string out;
    bool first = true;
    for (const std::string& v : values) {
        if (!first)
            out += '\n';
        first = false;
        if (!v.empty())
            out += v[0];
        for (std::size_t i = 1; i < v.size(); ++i) {
            if (v[i] == '\\' && i + 1 < v.size() && v[i + 1] == 'n') {
                out += '\n';
                ++i;
            } else {
                out += v[i];
            }
        }
    }
    return out;
}

std::string RenameTemplateMarker(std::string_view templ, std::string_view oldName,
                                 std::string_view newName) {
    std::string out;
    bool first = true;
    for (std::string_view field : TemplateFields(templ)) {
        if (!first)
            out += '\n';
        first = false;
        if (FieldMarker(field) == oldName) {
            out += '\\';
            out += newName;
            out += field.substr(1 + oldName.size());
        } else {
            out += field;
        }
    }
    return out;
}

} // namespace crv
