// The record template of a database type: the text of a record skeleton, fields
// separated by LF, each beginning with its backslash marker. In the settings file each
// field is one "\fld" line whose own line breaks are written as backslash and n.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace crv {

// The fields of a template: cut before every LF that a backslash follows.
std::vector<std::string_view> TemplateFields(std::string_view templ);

// The "\fld" values of a template, one per field with its line breaks written as
// backslash and n. A field too long for one settings entry is spread over several
// values at its line breaks (they join back to the same text), and a piece still too
// long is cut, so that a template never throws the reader of its file into overflow.
std::vector<std::string> TemplateFldValues(std::string_view templ);

// The template the "\fld" values make: joined with LF, and every backslash-n pair after
// a value's first character turned back into a line break (the first character is the
// backslash of the field's marker, which may begin with n).
std::string TemplateFromFldValues(const std::vector<std::string>& values);

// The template with every field of marker oldName given the marker newName.
std::string RenameTemplateMarker(std::string_view templ, std::string_view oldName,
                                 std::string_view newName);

} // namespace crv
