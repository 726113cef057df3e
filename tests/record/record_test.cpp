#include "record/record.h"

#include "record/rec_pos.h"
#include "record_fixture.h"

namespace crv::test {
namespace {

class CRecordTest : public RecordTest {
protected:
    void SetUp() override {
        lx = RecordMarker("lx");
        ps = Marker("ps", lx);
        sn = Marker("sn", lx);
        ge = Marker("ge", sn);
        xv = Marker("xv", sn);
        xe = Marker("xe", xv);
        se = Marker("se", lx);
        dt = Marker("dt", lx);
    }
    CField* Nth(CRecord* r, int n) {
        CField* f = r->GetFirst();
        while (n-- > 0)
            f = r->GetNext(f);
        return f;
    }
    CMarker *lx, *ps, *sn, *ge, *xv, *xe, *se, *dt;
};

TEST_F(CRecordTest, FieldsCountTheirMarkers) {
    {
        CField a(ge, "x");
        CField b(a);
        EXPECT_EQ(ge->UseCount(), 2);
        b.SetMarker(xv);
        EXPECT_EQ(ge->UseCount(), 1);
        EXPECT_EQ(xv->UseCount(), 1);
        EXPECT_EQ(b.Text(), "x");
    }
    EXPECT_EQ(ge->UseCount(), 0);
    EXPECT_EQ(xv->UseCount(), 0);
}

// Code written when a field's text was a std::string reads it the same way.
TEST_F(CRecordTest, FieldTextServesWhereAStringDid) {
    CRecord* r = MakeRecord("lx abc\nge x");
    const CField& f = *r->GetFirst();
    const std::string& bound = f.Text();
    std::string copy = f.Text();
    std::string_view view = f.Text();
    EXPECT_EQ(bound, "abc");
    EXPECT_EQ(view, copy);
    EXPECT_EQ("<" + f.Text() + ">", "<abc>");
    EXPECT_EQ(f.Text() + '!' + std::string("?"), "abc!?");
    EXPECT_EQ(copy + f.Text(), "abcabc");
    copy += f.Text();
    EXPECT_EQ(copy, "abcabc");
    std::string tail = f.Text().substr(1);
    EXPECT_EQ(tail, "bc");
    EXPECT_STREQ(f.Text().c_str(), "abc");
    bool none = false;
    std::string shown = none ? "-" : r->GetKey();
    EXPECT_EQ(shown, "abc");
    EXPECT_TRUE(f.Text() < "abd" && f.Text() == r->GetKey() && f.Text() != copy);
}

TEST_F(CRecordTest, FieldLengthLimit) {
    EXPECT_TRUE(FieldLengthOK(0));
    EXPECT_TRUE(FieldLengthOK(32000));
    EXPECT_TRUE(rec.Messages().empty());
    EXPECT_FALSE(FieldLengthOK(32001));
    EXPECT_FALSE(FieldLengthOK(-1));
    EXPECT_EQ(rec.Messages(),
              std::vector<std::string>(2, "Fields are limited to 32000 characters in size."));
    EXPECT_TRUE(rec.events.back().beep);
}

TEST_F(CRecordTest, KeyAndFindField) {
    CRecord* r = MakeRecord("lx nga\nsn 1\nge dog\nsn 2\nge cat");
    EXPECT_EQ(r->GetKey(), "nga");
    EXPECT_EQ(r->FindField(ge), Nth(r, 2));
    EXPECT_EQ(r->FindField(xe), nullptr);
}

TEST_F(CRecordTest, FindRelatedFieldStaysInItsGroup) {
    //                      0      1    2      3      4    5      6      7      8
    CRecord* r = MakeRecord("lx a\nps n\nsn 1\nge one\nsn 2\nxv v2\nxe e2\nge two\ndt d");
    // No starting field, or the marker itself.
    EXPECT_EQ(r->FindRelatedField(ge, nullptr), Nth(r, 3));
    EXPECT_EQ(r->FindRelatedField(ge, Nth(r, 7)), Nth(r, 7));
    // Down: from a sense to its own gloss; none when the sense has none.
    EXPECT_EQ(r->FindRelatedField(ge, Nth(r, 4)), Nth(r, 7));
    EXPECT_EQ(r->FindRelatedField(xv, Nth(r, 2)), nullptr);
    // Up: from a gloss or translation back to its sense.
    EXPECT_EQ(r->FindRelatedField(sn, Nth(r, 6)), Nth(r, 4));
    EXPECT_EQ(r->FindRelatedField(xv, Nth(r, 6)), Nth(r, 5));
    // Siblings under the same sense: the one of this sense, not of another.
    EXPECT_EQ(r->FindRelatedField(ge, Nth(r, 5)), Nth(r, 7));
    EXPECT_EQ(r->FindRelatedField(ge, Nth(r, 6)), Nth(r, 7));
    EXPECT_EQ(r->FindRelatedField(xv, Nth(r, 7)), Nth(r, 5));
    // A sense without the sibling has none: the next sense's is not its own.
    EXPECT_EQ(r->FindRelatedField(xv, Nth(r, 3)), nullptr);
    // Through the record marker: ps and dt are related to everything.
    EXPECT_EQ(r->FindRelatedField(ps, Nth(r, 7)), Nth(r, 1));
    EXPECT_EQ(r->FindRelatedField(dt, Nth(r, 3)), Nth(r, 8));
    // The record marker itself (no parent) is found plainly.
    EXPECT_EQ(r->FindRelatedField(lx, Nth(r, 6)), Nth(r, 0));
}

TEST_F(CRecordTest, StampDateReplacesOnlyTheFirstLine) {
    CRecord* r = MakeRecord("lx a\ndt 01/Jan/1990|note kept\nge g");
    r->StampDate(dt, "05/Dec/1998");
    EXPECT_EQ(Nth(r, 1)->Text(), "05/Dec/1998\nnote kept");
    CRecord* s = MakeRecord("lx b\nge g");
    s->StampDate(dt, "06/Dec/1998");
    EXPECT_EQ(s->GetLast()->Marker(), dt);
    EXPECT_EQ(s->GetLast()->Text(), "06/Dec/1998");
    // No text (a broken clock) stamps nothing.
    EXPECT_FALSE(s->StampDate(dt, ""));
    EXPECT_EQ(s->GetLast()->Text(), "06/Dec/1998");
    // A stamp never pushes a field past the limit.
    s->GetLast()->SetText("x\n" + std::string(kMaxFieldLength - 2, 'y'));
    EXPECT_FALSE(s->StampDate(dt, "07/Dec/1998"));
    EXPECT_EQ(s->GetLast()->Text().substr(0, 2), "x\n");
}

class InsertTextTest : public CRecordTest {
protected:
    // Pastes into field n at offset; returns the record dump with the caret as "^".
    std::string Paste(const std::string& layout, int n, int offset, const std::string& text) {
        records.DeleteAll();
        CRecord* r = MakeRecord(layout);
        CRecPos pos(r, Nth(r, n), offset);
        r->InsertText(pos, text);
        pos.Field()->Text().insert(static_cast<std::size_t>(pos.Offset()), "^");
        return Dump(records);
    }
};

TEST_F(InsertTextTest, PlainTextAndLineBreaks) {
    EXPECT_EQ(Paste("lx a\nge one two", 1, 4, "and "), "lx:a|ge:one and ^two\n");
    EXPECT_EQ(Paste("lx a\nge onetwo", 1, 3, "x\r\ny\nz"), "lx:a|ge:onex\\ny\\nz^two\n");
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(InsertTextTest, MarkersStartFields) {
    EXPECT_EQ(Paste("lx a\nge onetwo", 1, 3, "X\r\n\\xv v\r\nmore\r\n\\xe e"),
              "lx:a|ge:oneX|xv:v\\nmore|xe:e^two\n");
    // Text that begins with a backslash starts with a field.
    EXPECT_EQ(Paste("lx a\nge one", 1, 3, "\\ps n"), "lx:a|ge:one|ps:n^\n");
    // Lines that only look like markers stay text, with the space saving gives them.
    EXPECT_EQ(Paste("lx a\nge g", 1, 1, "\r\n\\\\x\r\n\\ y\r\n\\_sh z\r\n\\a,b"),
              "lx:a|ge:g\\n \\\\x\\n \\ y\\n \\_sh z\\n \\a,b^\n");
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(InsertTextTest, NewMarkersAreAddedAndAnnouncedOnce) {
    EXPECT_EQ(Paste("lx a\nge g", 1, 1, "\r\n\\new1 x\r\n\\new2 y\r\n\\new1 z"),
              "lx:a|ge:g|new1:x|new2:y|new1:z^\n");
    EXPECT_EQ(rec.Messages(), std::vector<std::string>{"One or more new markers were added.\nThey "
                                                       "are marked with * as their field name."});
    CMarker* m = markers.Search("new1");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->FieldName(), "*");
    EXPECT_EQ(m->Parent(), lx);
}

TEST_F(InsertTextTest, TheRecordMarkerDoesNotStartARecord) {
    EXPECT_EQ(Paste("lx a\nge g", 1, 1, "\r\n\\lx b\r\n\\ge h"), "lx:a|ge:g\\n \\lx b|ge:h^\n");
    EXPECT_EQ(records.Count(), 1u);
    EXPECT_EQ(rec.Beeps(), 1);
    EXPECT_EQ(Paste("lx a", 0, 1, "\\lx"), "lx:a\\n \\lx ^\n");
}

TEST_F(InsertTextTest, TheLengthLimitStopsThePasteButKeepsTheTail) {
    std::string tail(100, 't');
    std::string big(31850, 'b');
    std::string out = Paste("lx a\nge " + tail, 1, 0, big + "\r\n" + std::string(100, 'c'));
    // The second line would not fit with the tail: it is dropped, the tail stays.
    EXPECT_TRUE(out == "lx:a|ge:" + big + "^" + tail + "\n") << out.size();
    EXPECT_EQ(rec.Messages(),
              std::vector<std::string>{"Fields are limited to 32000 characters in size."});
}

} // namespace
} // namespace crv::test
