#include "schema/record_template.h"

#include <sstream>

#include "base/object_stream.h"
#include "support/test_support.h"

namespace crv {
namespace {

// The template as its "\fld" lines write it and read it back.
std::string ThroughSettings(const std::string& templ) {
    std::ostringstream out;
    ObjectStream os(out);
    for (const std::string& v : TemplateFldValues(templ))
        os.WriteStringAlways("fld", v);
    std::istringstream in(out.str());
    ObjectStream is(in);
    std::vector<std::string> values;
    std::string v;
    while (is.ReadString("fld", v))
        values.push_back(v);
    EXPECT_FALSE(is.Overflow());
    EXPECT_TRUE(is.AtEnd());
    return TemplateFromFldValues(values);
}

TEST(RecordTemplate, FieldsAreFldLinesWithTheirLineBreaksEscaped) {
    std::string templ = "\\lx\n\\ge two\nlines\n\\nt\n\\na n\\a";
    EXPECT_EQ(TemplateFldValues(templ),
              (std::vector<std::string>{"\\lx", "\\ge two\\nlines", "\\nt", "\\na n\\a"}));
    EXPECT_EQ(ThroughSettings(templ), templ);
    // An empty field keeps its place.
    EXPECT_EQ(ThroughSettings("\n\\lx\n\n\\ge"), "\n\\lx\n\n\\ge");
    EXPECT_TRUE(TemplateFldValues("").empty());
}

TEST(RecordTemplate, ALongFieldIsSpreadOverSeveralLinesThatReadBackTheSame) {
    // Each line break takes two characters in the file: this field fits a record but
    // not one settings entry.
    std::string lines;
    for (int i = 0; i < 4500; ++i)
        lines += "line " + std::to_string(i % 10) + "\n";
    std::string templ = "\\lx\n\\nt " + lines + "end\n\\ge";
    auto values = TemplateFldValues(templ);
    EXPECT_GT(values.size(), 3u);
    EXPECT_EQ(ThroughSettings(templ), templ);
    // A single line too long for an entry is cut rather than lose the file.
    std::string huge = "\\lx " + std::string(40000, 'a');
    EXPECT_EQ(ThroughSettings(huge).size(), ObjectStream::kMaxEntry - 5);
}

TEST(RecordTemplate, RenamingAMarkerChangesItsFieldsOnly) {
    EXPECT_EQ(RenameTemplateMarker("\\lx a\n\\l\n\\lxx\n\\lx\n\\ge lx", "lx", "le"),
              "\\le a\n\\l\n\\lxx\n\\le\n\\ge lx");
}

} // namespace
} // namespace crv
