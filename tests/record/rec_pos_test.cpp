#include "record/rec_pos.h"

#include "record_fixture.h"

namespace crv::test {
namespace {

class RecPosTest : public RecordTest {};

TEST_F(RecPosTest, OrderWithinARecord) {
    CRecord* r = MakeRecord("lx a\nge one\nxv two");
    CField* ge = r->GetNext(r->GetFirst());
    CField* xv = r->GetLast();
    CRecPos a(r, ge, 1), b(r, ge, 2), c(r, xv, 0);
    EXPECT_TRUE(a.IsBefore(b));
    EXPECT_FALSE(b.IsBefore(a));
    EXPECT_TRUE(b.IsAfter(a));
    EXPECT_TRUE(b.IsBefore(c));
    EXPECT_TRUE(c.IsAfter(a));
    EXPECT_FALSE(a.IsAfter(c));
    EXPECT_TRUE(a.Equals(CRecPos(r, ge, 1)));
    EXPECT_FALSE(a.Equals(b));
}

TEST_F(RecPosTest, PositionsInDifferentRecordsAreAnInternalError) {
    CRecord* r = MakeRecord("lx a");
    CRecord* s = MakeRecord("lx b");
    EXPECT_FALSE(CRecPos(r, r->GetFirst()).IsBefore(CRecPos(s, s->GetFirst())));
    EXPECT_EQ(rec.InternalErrors().size(), 1u);
    rec.Clear();
}

TEST_F(RecPosTest, OffsetsRunToTheEndOfAFullField) {
    CRecord* r = MakeRecord("lx " + std::string(32000, 'a'));
    CRecPos p(r, r->GetFirst(), 32000);
    EXPECT_EQ(p.Offset(), 32000);
    EXPECT_TRUE(rec.InternalErrors().empty());
    p.SetOffset(32001);
    EXPECT_EQ(rec.InternalErrors().size(), 1u);
    rec.Clear();
}

TEST_F(RecPosTest, LineStartAndEnd) {
    CRecord* r = MakeRecord("lx ab|cde|f");
    CRecPos p(r, r->GetFirst(), 4);
    EXPECT_TRUE(p.MoveToLineStart());
    EXPECT_EQ(p.Offset(), 3);
    EXPECT_FALSE(p.MoveToLineStart());
    EXPECT_TRUE(p.MoveToLineEnd());
    EXPECT_EQ(p.Offset(), 6);
    EXPECT_FALSE(p.MoveToLineEnd());
    p.SetOffset(8);
    EXPECT_FALSE(p.MoveToLineEnd());
    p.SetOffset(1);
    EXPECT_TRUE(p.MoveToLineStart());
    EXPECT_EQ(p.Offset(), 0);
}

TEST_F(RecPosTest, WalkingLinesForwardAndBack) {
    CRecord* r = MakeRecord("lx ab|cde||f");
    CField* f = r->GetFirst();
    std::string forward;
    CRecPos p(r, f, 0), s, e;
    while (p.NextLine(s, e))
        forward += f->Text().substr(static_cast<std::size_t>(s.Offset()),
                                    static_cast<std::size_t>(e.Offset() - s.Offset())) +
                   "/";
    EXPECT_EQ(forward, "ab/cde//f/");
    EXPECT_EQ(p.Offset(), 9);

    std::string backward;
    while (p.PrevLine(s, e))
        backward += f->Text().substr(static_cast<std::size_t>(s.Offset()),
                                     static_cast<std::size_t>(e.Offset() - s.Offset())) +
                    "/";
    EXPECT_EQ(backward, "f//cde/ab/");
    EXPECT_EQ(p.Offset(), 0);
    // A text that begins with a line end: the line after it starts at 1, and the walk
    // ends on that line end.
    CRecord* t = MakeRecord("lx |x");
    CRecPos q(t, t->GetFirst(), 2);
    ASSERT_TRUE(q.PrevLine(s, e));
    EXPECT_EQ(s.Offset(), 1);
    EXPECT_EQ(e.Offset(), 2);
    EXPECT_EQ(q.Offset(), 0);
    EXPECT_FALSE(q.PrevLine(s, e));
}

} // namespace
} // namespace crv::test
