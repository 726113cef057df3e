#include "record_fixture.h"

#include <algorithm>

#include "base/byte_stream.h"
#include "record/sf_writer.h"

namespace crv::test {

CMarker* RecordTest::Marker(const std::string& name, CMarker* parent) {
    CMarker* m = markers.SearchOrAddFromData(name);
    if (parent) {
        m->SetParent(parent);
        markers.ComputeLevels();
    }
    return m;
}

CMarker* RecordTest::RecordMarker(const std::string& name) {
    CMarker* m = markers.SearchOrAddFromData(name);
    markers.SetRecordMarker(m);
    return m;
}

CRecord* RecordTest::MakeRecord(const std::string& layout) {
    CRecord* rec = nullptr;
    std::size_t start = 0;
    while (start <= layout.size()) {
        std::size_t nl = layout.find('\n', start);
        std::string line =
            layout.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        start = nl == std::string::npos ? layout.size() + 1 : nl + 1;
        std::size_t sp = line.find(' ');
        std::string name = line.substr(0, sp);
        std::string text = sp == std::string::npos ? std::string() : line.substr(sp + 1);
        for (char& c : text)
            if (c == '|')
                c = '\n';
        auto* f = new CField(markers.SearchOrAddFromData(name), text);
        if (!rec)
            rec = new CRecord(f);
        else
            rec->Add(f);
    }
    records.Add(rec);
    return rec;
}

std::string Dump(const CRecordList& records) {
    std::string out;
    for (const CRecord& rec : records) {
        bool first = true;
        for (const CField& f : rec) {
            if (!first)
                out += '|';
            first = false;
            out += f.Marker()->Name() + ":";
            for (char c : f.Text())
                out += c == '\n' ? std::string("\\n") : std::string(1, c);
        }
        out += '\n';
    }
    return out;
}

ReadOutcome ReadText(CMarkerSet& markers, const std::string& bytes, const std::string& recordMarker,
                     bool skipToRecord, bool removeIndent, CRecordList* keep, std::size_t chunk) {
    class Chunked : public MemorySource {
    public:
        Chunked(const std::string& bytes, std::size_t chunk)
            : MemorySource(bytes), m_chunk(chunk) {}
        std::size_t Read(char* buffer, std::size_t n) override {
            return MemorySource::Read(buffer, std::min(n, m_chunk));
        }
        std::int64_t SizeHint() const override { return -1; }

    private:
        std::size_t m_chunk;
    };
    CMarker* rec = markers.SearchOrAddFromData(recordMarker);
    if (markers.RecordMarker() != rec)
        markers.SetRecordMarker(rec);
    MemorySource whole(bytes);
    Chunked chunked(bytes, chunk);
    ByteSource& in = chunk ? static_cast<ByteSource&>(chunked) : whole;
    SFStream reader(in, markers, rec, skipToRecord, removeIndent);
    CRecordList list;
    ReadOutcome out;
    while (reader.MoreRecords()) {
        std::unique_ptr<CRecord> r;
        if (!reader.ReadRecord(r))
            break;
        list.Add(r.release());
        ++out.records;
    }
    out.dump = Dump(list);
    out.fieldsSkipped = reader.FieldsSkipped();
    out.linesSkipped = reader.LinesSkipped();
    out.tooLarge = reader.TooLarge();
    if (keep)
        list.MoveAllTo(*keep);
    return out;
}

std::string WriteText(const CRecordList& records) {
    std::string out;
    StringSink sink(out);
    SFStreamWriter writer(sink);
    WriteRecords(writer, records);
    EXPECT_TRUE(writer.Flush());
    return out;
}

} // namespace crv::test
