#include "export/export_support.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/file_names.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "record/record.h"
#include "schema/marker.h"
#include "schema/marker_subset.h"
#include "zentab/change_table_stream.h"

namespace crv {

namespace fs = std::filesystem;

void WriteExportItem(RecordOutput& out, const ExportItem& item, const CMarkerSubSet& fields) {
    bool first = true;
    if (item.first && fields.IncludesMarker(item.first->Marker())) {
        out.WriteField(*item.first, true);
        first = false;
    }
    for (const CField& f : *item.record) {
        if (&f == item.first || !fields.IncludesMarker(f.Marker()))
            continue;
        out.WriteField(f, first);
        first = false;
    }
}

std::unique_ptr<CMarkerSet> CopyMarkerSet(const CMarkerSet& markers) {
    auto copy = std::make_unique<CMarkerSet>(markers.LangEncSet());
    copy->SetDefaultLangEnc(markers.DefaultLangEnc());
    for (const CMarker& m : markers) {
        CMarkerProperties p = m.Properties();
        p.parent = nullptr;
        p.following = nullptr;
        CNote error;
        CMarker* made = copy->Add(p, error);
        if (!made) {
            // A field name another marker also has (a hand-edited file): the copy goes
            // without it rather than without the marker.
            p.fieldName.clear();
            made = copy->Add(p, error);
        }
        if (made)
            made->SetInterlinearFlags(m.InterlinearFlags());
    }
    if (markers.RecordMarker())
        copy->SetRecordMarker(copy->Search(markers.RecordMarker()->Name()));
    for (const CMarker& m : markers) {
        CMarker* c = copy->Search(m.Name());
        if (!c || !m.Parent() || &m == markers.RecordMarker())
            continue;
        CMarker* parent = copy->Search(m.Parent()->Name());
        if (parent && parent != c && !parent->IsUnder(c))
            c->SetParent(parent);
    }
    copy->SetModified(false);
    return copy;
}

CrlfBuf::int_type CrlfBuf::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    char c = traits_type::to_char_type(ch);
    return xsputn(&c, 1) == 1 ? ch : traits_type::eof();
}

std::streamsize CrlfBuf::xsputn(const char* s, std::streamsize n) {
    std::streamsize start = 0;
    for (std::streamsize i = 0; i < n; ++i) {
        if (s[i] == '\n' && !(i == 0 ? m_afterCr : s[i - 1] == '\r')) {
            if (m_sink->sputn(s + start, i - start) != i - start || m_sink->sputn("\r", 1) != 1)
                return 0;
            start = i;
        }
    }
    if (m_sink->sputn(s + start, n - start) != n - start)
        return 0;
    if (n > 0)
        m_afterCr = s[n - 1] == '\r';
    return n;
}

bool WriteThroughTable(std::ostream& out, CChangeTable* table,
                       const std::function<bool(SFStreamWriter&)>& write, std::string& tableError) {
    if (!table) {
        OstreamSink sink(out);
        SFStreamWriter writer(sink);
        return write(writer) && writer.Flush();
    }
    CrlfBuf crlf(out.rdbuf());
    std::streambuf* target = table->IsBinary() ? out.rdbuf() : &crlf;
    CChangeTableOutputBuf buf(*table, target);
    std::ostream through(&buf);
    bool ok;
    {
        OstreamSink sink(through);
        SFStreamWriter writer(sink);
        ok = write(writer) && writer.Flush();
    }
    bool closed = buf.Close();
    if (buf.Failed() || !closed) {
        for (const ChangeTableMessage& m : table->TakeMessages())
            if (m.stop)
                tableError += m.text;
        return false;
    }
    return ok && static_cast<bool>(out);
}

bool TableFileExists(const std::string& path) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec))
        return true;
    return !fs::path(path).has_extension() && fs::is_regular_file(path + ".ztt", ec);
}

void ShowExportMessage(std::string_view pattern, std::initializer_list<std::string_view> args) {
    platform().ShowMessage(FormatMessage(pattern, args));
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return !in.bad();
}

} // namespace crv
