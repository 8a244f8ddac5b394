// The placement jig driven through the input queue: how A, B and C compose the placement
// matrix, what each picked point inserts and records, Enter, Esc and a room gone meanwhile; the
// preview outline it drags.
#include <cmath>

#include "host/ed/AcEd.h"
#include "module/placement/CRoomJig.h"
#include "tests/module/placement/PlacementTestProject.h"

namespace {

const AcGeMatrix3d kMirrorX = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kYAxis, AcGeVector3d::kZAxis));
const AcGeMatrix3d kMirrorY = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kZAxis));

AcGeMatrix3d Turn(double degrees) { return AcGeMatrix3d::rotation(degrees * 0.017453, AcGeVector3d::kZAxis); }
AcGeMatrix3d At(AcGeMatrix3d m, double x, double y) { return m.setTranslation(AcGeVector3d(x, y, 0)); }

// Records the ends of the lines an entity draws and the centres of its arcs.
class RecordingDraw : public AcGiWorldDraw, public AcGiWorldGeometry {
public:
    AcGiWorldGeometry& geometry() override { return *this; }
    bool polyline(int n, const AcGePoint3d* pts) override
    {
        for (int i = 0; i + 1 < n; ++i) lines.push_back({pts[i], pts[i + 1]});
        return true;
    }
    bool circle(const AcGePoint3d&, double, const AcGeVector3d&) override { return true; }
    bool circularArc(const AcGePoint3d& c, double, const AcGeVector3d&, const AcGeVector3d&, double) override
    {
        arcCentres.push_back(c);
        return true;
    }
    bool text(const AcGePoint3d&, double, const CString&) override { return true; }
    std::vector<std::pair<AcGePoint3d, AcGePoint3d>> lines;
    std::vector<AcGePoint3d> arcCentres;
};

class RoomJigTest : public PlacementProjectTest {
protected:
    // Runs a jig for room R on the script; answers the markers placed, in order.
    std::vector<AcDbObjectId> run(const std::vector<CString>& lines, const char16_t* room = u"R")
    {
        vktest::QueueLines(lines);
        CRoomJig jig(room);
        EXPECT_EQ(jig.Run(), AcEdJig::kCancel);
        EXPECT_EQ(jig.entity(), nullptr);
        return markers();
    }
    std::vector<AcDbObjectId> markers() { return vktest::IdsOf<AcDbQsStandRoom>(vktest::EntityIds(db.get())); }
};

TEST_F(RoomJigTest, ATurnReplacesWhatWasThereAndEachFlipComesAfterIt)
{
    const std::vector<AcDbObjectId> placed =
        run({u"A", u"30", u"B", u"1000,0", u"A", u"30", u"2000,0", u"B", u"A", u"30", u"3000,0", u"B", u"B",
             u"A", u"0", u"C", u"4000,0", u"A", u"180", u"5000,0", u"<esc>"});
    ASSERT_EQ(placed.size(), 5u);
    const AcGeMatrix3d want[] = {
        At(kMirrorX * Turn(30), 1000, 0),  // A 30 then B: turned, then mirrored left-right
        At(Turn(30), 2000, 0),             // A 30 again after a copy: the turn alone
        At(Turn(30), 3000, 0),             // B then A 30 keeps only the turn; B twice is no flip
        At(kMirrorY, 4000, 0),             // A 0 then C mirrors up-down
        At(Turn(180), 5000, 0),            // the jig's factor: a little less than a half turn
    };
    for (size_t i = 0; i < placed.size(); ++i) {
        AcDbObjectPointer<AcDbQsStandRoom> m(placed[i], AcDb::kForRead);
        EXPECT_TRUE(m->GetMatrix().isEqualTo(want[i])) << "copy " << i;
    }
    // The copy itself: the room's (0, 2000) corner mirrored up-down goes below the x axis.
    AcDbObjectPointer<AcDbQsStandRoom> m(placed[3], AcDb::kForRead);
    AcDbObjectPointer<AcDbVkRoom> room(m->GetAssositRoom(), AcDb::kForRead);
    AcGePoint3d corner;
    room->getPointAt(3, corner);
    EXPECT_TRUE(corner.isEqualTo(AcGePoint3d(4000, -2000, 0)));
    EXPECT_TRUE(seen("\n指定插入点[A-旋转角度,B-左右翻转，C-上下翻转]"));
    EXPECT_TRUE(seen("\n请输入旋转角度值:<0>"));
    EXPECT_TRUE(seen("\n请输入旋转角度值:<30>")) << "the last angle is the default";
}

TEST_F(RoomJigTest, EnterKeepsDraggingAndEscEndsPlacementAndTheLibraryInstance)
{
    library()->GetFilterOption().set(2);
    EXPECT_TRUE(run({u"!move 5,5", u"<enter>", u"<enter>", u"<esc>"}).empty());
    EXPECT_EQ(appended().length(), 0);
    EXPECT_FALSE(library()->GetFilterOption().test(2)) << "a fresh instance after Esc";
    // Esc at the angle prompt ends placement too, but the library instance survives.
    library()->GetFilterOption().set(2);
    EXPECT_TRUE(run({u"A", u"<esc>"}).empty());
    EXPECT_TRUE(library()->GetFilterOption().test(2));
}

TEST_F(RoomJigTest, APointPlacesTheRoomChosenDuringItsDragAndARoomGoneMeanwhileNothing)
{
    CRoomJig jig(u"R");
    // The dialog switches to room S while the first drag is in progress.
    vked::JigPreviewSink old = vked::SetJigPreviewSink([&](const AcDbEntity*) { jig.m_strRoomName = u"S"; });
    vktest::QueueLines({u"!move 1,1", u"0,0", u"!move 2,2", u"9000,0", u"<esc>"});
    EXPECT_EQ(jig.Run(), AcEdJig::kCancel);
    vked::SetJigPreviewSink(old);
    const std::vector<AcDbObjectId> placed = markers();
    ASSERT_EQ(placed.size(), 2u);
    for (const AcDbObjectId& id : placed) {
        AcDbObjectPointer<AcDbQsStandRoom> m(id, AcDb::kForRead);
        EXPECT_EQ(m->GetRoomName(), CString(u"S"));
    }
    // Another program takes room S out of the library: a point inserts nothing, says nothing.
    {
        AcDbDatabase lib(false, true);
        ASSERT_EQ(lib.readDwgFile(hostPath("StardardRoom.dwg"), _SH_DENYNO), Acad::eOk);
        AcDbBlockTable* table = nullptr;
        ASSERT_EQ(lib.getBlockTable(table, AcDb::kForRead), Acad::eOk);
        AcDbBlockTableRecord* rec = nullptr;
        ASSERT_EQ(table->getAt(u"S", rec, AcDb::kForWrite), Acad::eOk);
        table->close();
        rec->erase();
        rec->close();
        ASSERT_EQ(lib.saveAs(hostPath("StardardRoom.dwg"), true, AcDb::kDHL_1027), Acad::eOk);
    }
    out.clear();
    vktest::QueueLines({u"7000,7000", u"<esc>"});
    EXPECT_EQ(jig.Run(), AcEdJig::kCancel);
    EXPECT_EQ(markers().size(), 2u);
    EXPECT_FALSE(seen("**")) << out.utf8();
    CRoomJig missing(u"没有");
    EXPECT_EQ(missing.entity(), nullptr);
    EXPECT_EQ(run({u"!move 3,3", u"5,5", u"<esc>"}, u"没有").size(), 2u);
    EXPECT_EQ(appended().length(), 0);
}

TEST_F(RoomJigTest, TheOutlineIsDrawnOpenThroughTheMatrixAtTheCursorWithItsBulgesAsStored)
{
    CRoomJig jig(u"R");
    ASSERT_NE(jig.entity(), nullptr);
    std::vector<const AcDbEntity*> drawn;
    vked::JigPreviewSink old = vked::SetJigPreviewSink([&](const AcDbEntity* e) { drawn.push_back(e); });
    vktest::QueueLines({u"B", u"!move 100,200,7", u"<esc>"});
    jig.drag();  // B
    jig.m_Xform.preMultBy(kMirrorX);
    jig.drag();  // the motion, then Esc
    vked::SetJigPreviewSink(old);
    ASSERT_FALSE(drawn.empty());
    RecordingDraw rec;
    ASSERT_TRUE(drawn.back()->worldDraw(&rec));
    // Four vertices, not flagged closed: three segments; the third one is the arc.
    ASSERT_EQ(rec.lines.size(), 2u);
    ASSERT_EQ(rec.arcCentres.size(), 1u);
    EXPECT_TRUE(rec.lines[0].first.isEqualTo(AcGePoint3d(100, 200, 0))) << "the origin at the cursor, flat";
    EXPECT_TRUE(rec.lines[0].second.isEqualTo(AcGePoint3d(-2900, 200, 0))) << "mirrored left-right";
    EXPECT_TRUE(rec.lines[1].second.isEqualTo(AcGePoint3d(-2900, 2200, 0)));
    // The side from (3000, 2000) to (0, 2000) bulges out of the room by 0.5. Mirrored with its
    // bulge as stored, the arc runs the other way round: its centre lies above the chord.
    EXPECT_GT(rec.arcCentres[0].y, 2200);
}

}  // namespace
