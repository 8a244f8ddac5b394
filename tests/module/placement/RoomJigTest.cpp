// The placement jig driven through the input queue: how A, B and C compose the placement
// matrix, what each picked point inserts and records, Enter, Esc and bad angles; the preview
// outline it drags and that outline's filing.
#include <gtest/gtest.h>

#include <cmath>

#include "host/db/detail/CopyFiler.h"
#include "host/ed/AcEd.h"
#include "host/ed/SystemVariables.h"
#include "host/win/Windows.h"
#include "module/definition/CStdRoomTool.h"
#include "module/placement/CRoomJig.h"
#include "module/placement/CVkQsTempRoom.h"
#include "tests/support/ModuleSession.h"
#include "tests/module/placement/PlacementTestProject.h"

namespace {

const AcGeMatrix3d kMirrorX = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kYAxis, AcGeVector3d::kZAxis));
const AcGeMatrix3d kMirrorY = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kZAxis));

AcGeMatrix3d Turn(double degrees) { return AcGeMatrix3d::rotation(degrees * 0.017453, AcGeVector3d::kZAxis); }
AcGeMatrix3d At(AcGeMatrix3d m, double x, double y) { return m.setTranslation(AcGeVector3d(x, y, 0)); }

// Records what an entity draws: the ends of its lines and its arcs' sweeps.
class RecordingDraw : public AcGiWorldDraw, public AcGiWorldGeometry {
public:
    AcGiWorldGeometry& geometry() override { return *this; }
    bool polyline(int n, const AcGePoint3d* pts) override
    {
        for (int i = 0; i + 1 < n; ++i) lines.push_back({pts[i], pts[i + 1]});
        return true;
    }
    bool circle(const AcGePoint3d&, double, const AcGeVector3d&) override { return true; }
    bool circularArc(const AcGePoint3d& c, double r, const AcGeVector3d&, const AcGeVector3d& start, double sweep) override
    {
        arcs.push_back({c, start, sweep});
        return true;
    }
    bool text(const AcGePoint3d&, double, const CString&) override { return true; }
    struct Arc {
        AcGePoint3d center;
        AcGeVector3d start;
        double sweep;
    };
    std::vector<std::pair<AcGePoint3d, AcGePoint3d>> lines;
    std::vector<Arc> arcs;
};

class RoomJigTest : public PlacementProjectTest {
protected:
    void SetUp() override
    {
        PlacementProjectTest::SetUp();
        vked::inputQueue().clear();
        vked::inputQueue().setPullSource(nullptr);
        vked::ResetSystemVariables();
        vked::ResetInputEnded();
    }
    static void script(const std::vector<CString>& lines) { vktest::QueueLines(lines); }
    // Runs a jig for room R on the script; answers the markers placed, in order.
    std::vector<AcDbObjectId> run(std::initializer_list<CString> lines, const char16_t* room = u"R")
    {
        script(lines);
        CRoomJig jig(room);
        EXPECT_EQ(jig.Run(), AcEdJig::kCancel);
        EXPECT_EQ(jig.m_bDragging, 0);
        EXPECT_EQ(jig.entity(), nullptr);
        lastAngle = jig.m_dAngle;
        lastAngleRad = jig.m_dAngleRad;
        return markers();
    }
    std::vector<AcDbObjectId> markers()
    {
        return vktest::IdsOf<AcDbQsStandRoom>(vktest::EntityIds(db.get()));
    }
    static AcGeMatrix3d matrixOf(AcDbObjectId markerId)
    {
        AcDbObjectPointer<AcDbQsStandRoom> m(markerId, AcDb::kForRead);
        EXPECT_TRUE(m);
        return m ? m->GetMatrix() : AcGeMatrix3d();
    }
    static AcGePoint3d boundaryCorner(AcDbObjectId markerId, unsigned int k)
    {
        AcDbObjectPointer<AcDbQsStandRoom> m(markerId, AcDb::kForRead);
        AcDbObjectPointer<AcDbVkRoom> room(m ? m->GetAssositRoom() : AcDbObjectId(), AcDb::kForRead);
        EXPECT_TRUE(room);
        AcGePoint3d p;
        if (room) room->getPointAt(k, p);
        return p;
    }
    double lastAngle = -1, lastAngleRad = -1;
    vked::TranscriptCapture out;
};

TEST_F(RoomJigTest, ATurnReplacesWhatWasThereAndEachFlipComesAfterIt)
{
    const std::vector<AcDbObjectId> placed =
        run({u"A", u"30", u"B", u"1000,0", u"A", u"30", u"2000,0", u"B", u"A", u"30", u"3000,0", u"B", u"B",
             u"A", u"0", u"C", u"4000,0", u"<esc>"});
    ASSERT_EQ(placed.size(), 4u);
    // A 30 then B: turned, then mirrored left-right; the marker carries the copy's (x, y, 0).
    EXPECT_TRUE(matrixOf(placed[0]).isEqualTo(At(kMirrorX * Turn(30), 1000, 0)));
    // A 30 again after a copy: the turn alone.
    EXPECT_TRUE(matrixOf(placed[1]).isEqualTo(At(Turn(30), 2000, 0)));
    // B then A 30 keeps only the turn; B twice is no flip; A 0 then C mirrors up-down.
    EXPECT_TRUE(matrixOf(placed[2]).isEqualTo(At(Turn(30), 3000, 0)));
    EXPECT_TRUE(matrixOf(placed[3]).isEqualTo(At(kMirrorY, 4000, 0)));
    // The copy itself: the room's (3000, 0) corner mirrored up-down stays on the x axis; the
    // (0, 2000) corner goes below it.
    EXPECT_TRUE(boundaryCorner(placed[3], 3).isEqualTo(AcGePoint3d(4000, -2000, 0)));

    const std::string t = out.utf8();
    EXPECT_NE(t.find("\n指定插入点[A-旋转角度,B-左右翻转，C-上下翻转]"), std::string::npos);
    EXPECT_NE(t.find("\n请输入旋转角度值:<0>"), std::string::npos);
    EXPECT_NE(t.find("\n请输入旋转角度值:<30>"), std::string::npos) << "the last angle is the default";
}

TEST_F(RoomJigTest, AHalfTurnUsesTheJigsFactor)
{
    const std::vector<AcDbObjectId> placed = run({u"A", u"180", u"0,0", u"A", u"22.5", u"A", u"<enter>", u"<esc>"});
    ASSERT_EQ(placed.size(), 1u);
    const AcGeMatrix3d m = matrixOf(placed[0]);
    EXPECT_NEAR(std::atan2(m(1, 0), m(0, 0)), 3.14154, 1e-9) << "180 x 0.017453, a little less than pi";
    EXPECT_DOUBLE_EQ(lastAngle, 22.5);
    EXPECT_DOUBLE_EQ(lastAngleRad, 22.5 * 0.017453);
    EXPECT_NE(out.utf8().find("<22.5>"), std::string::npos);
}

TEST_F(RoomJigTest, EnterKeepsDraggingAndEscEndsPlacementAndTheLibraryInstance)
{
    CManageStdRoom::CreateOnlyInstance()->GetFilterOption().set(2);
    EXPECT_TRUE(run({u"!move 5,5", u"<enter>", u"<enter>", u"<esc>"}).empty());
    EXPECT_EQ(appended().length(), 0);
    EXPECT_FALSE(CManageStdRoom::CreateOnlyInstance()->GetFilterOption().test(2)) << "a fresh instance after Esc";

    // Esc at the angle prompt ends placement too, but the library instance survives.
    CManageStdRoom::CreateOnlyInstance()->GetFilterOption().set(2);
    EXPECT_TRUE(run({u"A", u"<esc>"}).empty());
    EXPECT_TRUE(CManageStdRoom::CreateOnlyInstance()->GetFilterOption().test(2));
}

TEST_F(RoomJigTest, APointPlacesTheRoomChosenDuringItsDragAndAMissingRoomPlacesNothing)
{
    CRoomJig jig(u"R");
    // The dialog switches to room S while the first drag is in progress.
    vked::JigPreviewSink old = vked::SetJigPreviewSink([&](const AcDbEntity*) { jig.m_strRoomName = u"S"; });
    script({u"!move 1,1", u"0,0", u"!move 2,2", u"9000,0", u"<esc>"});
    EXPECT_EQ(jig.Run(), AcEdJig::kCancel);
    vked::SetJigPreviewSink(old);
    EXPECT_EQ(jig.GetLoadedName(), CString(u"S")) << "the next pass loads the room chosen";
    const std::vector<AcDbObjectId> placed = markers();
    ASSERT_EQ(placed.size(), 2u);
    for (const AcDbObjectId& id : placed) {
        AcDbQsStandRoom* m = nullptr;
        ASSERT_EQ(acdbOpenObject(m, id, AcDb::kForRead), Acad::eOk);
        EXPECT_EQ(m->GetRoomName(), CString(u"S"));
        m->close();
    }

    // Another program takes room S out of the library meanwhile: a point inserts nothing and
    // nothing is said.
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
    const size_t said = out.utf8().size();
    script({u"7000,7000", u"<esc>"});
    EXPECT_EQ(jig.Run(), AcEdJig::kCancel);
    EXPECT_EQ(markers().size(), 2u);
    EXPECT_EQ(out.utf8().substr(said).find("**"), std::string::npos) << out.utf8().substr(said);

    // Deleting S from a list that still names it does no harm: the library stays as it is.
    CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
    lib->m_RoomNames = {u"R", u"S"};
    const std::string library = bytes("StardardRoom.dwg");
    CString gone(u"S");
    lib->EraseStdRoom(gone);
    EXPECT_EQ(bytes("StardardRoom.dwg"), library);
    EXPECT_EQ(lib->m_RoomNames, (std::vector<CString>{u"R", u"S"})) << "the next validation drops it";
    EXPECT_FALSE(std::filesystem::exists(dir / "Roomlist.txt"));

    script({u"!move 3,3", u"5,5", u"<esc>"});
    CRoomJig missing(u"没有");
    EXPECT_EQ(missing.entity(), nullptr);
    EXPECT_EQ(missing.Run(), AcEdJig::kCancel);
    EXPECT_EQ(markers().size(), 2u);
    EXPECT_EQ(appended().length(), 0);
}

TEST_F(RoomJigTest, TheOutlineIsDrawnOpenThroughTheMatrixAtTheCursorWithItsBulgesAsStored)
{
    CRoomJig jig(u"R");
    auto* preview = static_cast<CVkQsTempRoom*>(jig.entity());
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->m_nVertexCount, 4);
    EXPECT_EQ(preview->m_InsertPt, AcGePoint3d(0, 0, 0)) << "drawn at the block's origin until the cursor moves";
    EXPECT_EQ(preview->isA(), AcDbEntity::desc());

    std::vector<const AcDbEntity*> drawn;
    vked::JigPreviewSink old = vked::SetJigPreviewSink([&](const AcDbEntity* e) { drawn.push_back(e); });
    script({u"B", u"!move 100,200,7", u"<esc>"});
    jig.drag();  // B
    jig.m_Xform.preMultBy(kMirrorX);
    jig.drag();  // the motion, then Esc
    vked::SetJigPreviewSink(old);
    ASSERT_FALSE(drawn.empty());
    RecordingDraw rec;
    ASSERT_TRUE(drawn.back()->worldDraw(&rec));
    // Four vertices, not flagged closed: three segments; the second one is the arc.
    ASSERT_EQ(rec.lines.size(), 2u);
    ASSERT_EQ(rec.arcs.size(), 1u);
    EXPECT_TRUE(rec.lines[0].first.isEqualTo(AcGePoint3d(100, 200, 0))) << "the origin at the cursor, flat";
    EXPECT_TRUE(rec.lines[0].second.isEqualTo(AcGePoint3d(-2900, 200, 0))) << "mirrored left-right";
    EXPECT_TRUE(rec.lines[1].second.isEqualTo(AcGePoint3d(-2900, 2200, 0)));
    // The last side, from (3000, 2000) to (0, 2000), bulges out of the room by 0.5. Mirrored
    // with its bulge as stored, the arc runs the other way round and bulges into the room:
    // its centre lies above the chord, outside the room.
    EXPECT_GT(rec.arcs[0].center.y, 2200);
}

TEST_F(RoomJigTest, ThePreviewFilesItsVerticesAndRefusesNewerVersions)
{
    const std::vector<CVkQsTempRoom::Vertex> vertices{{0.5, AcGePoint3d(1, 2, 0)}, {0, AcGePoint3d(3, 4, 0)}};
    const AcGePoint3d origin(7, 8, 0);
    const AcGeMatrix3d m = Turn(10);
    CVkQsTempRoom room(&vertices, &origin, &m);

    vkdb::FieldRecorder rec;
    ASSERT_EQ(room.dwgOutFields(&rec), Acad::eOk);
    CVkQsTempRoom back(nullptr, nullptr, nullptr);
    vkdb::FieldPlayer player(rec.fields());
    ASSERT_EQ(back.dwgInFields(&player), Acad::eOk);
    EXPECT_EQ(back.m_Vertices, vertices);
    EXPECT_EQ(back.m_InsertPt, origin);
    EXPECT_TRUE(player.atEnd());

    // A version after 1 asks the host to keep the object as a proxy.
    vkdb::FieldList newer = rec.fields();
    for (vkdb::Field& f : newer)
        if (auto* v = std::get_if<Adesk::Int32>(&f.value); v && *v == 1) {
            *v = 2;
            break;
        }
    CVkQsTempRoom proxy(nullptr, nullptr, nullptr);
    vkdb::FieldPlayer newerPlayer(newer);
    EXPECT_EQ(proxy.dwgInFields(&newerPlayer), Acad::eMakeMeProxy);
    EXPECT_TRUE(proxy.m_Vertices.empty());

    AcDbDxfMemoryFiler dxf;
    ASSERT_EQ(room.dxfOutFields(&dxf), Acad::eOk);
    ASSERT_EQ(dxf.items().size(), 2u);
    EXPECT_EQ(dxf.items()[1].groupCode, 70);
    EXPECT_EQ(back.dxfInFields(&dxf), Acad::eOk);

    AcDbDxfMemoryFiler wrong;
    wrong.writeSubclassMarker(u"CVkQsTempRoom");
    wrong.writeItem(71, Adesk::Int32(1));
    EXPECT_EQ(back.dxfInFields(&wrong), Acad::eInvalidDxfCode);
    EXPECT_EQ(wrong.errorMessage(), CString(u"Error: expected object version group code 70"));
    AcDbDxfItem again;
    ASSERT_EQ(wrong.readItem(&again), Acad::eOk);
    EXPECT_EQ(again.groupCode, 71) << "the wrong item is pushed back";

    AcDbDxfMemoryFiler newerDxf;
    newerDxf.writeSubclassMarker(u"CVkQsTempRoom");
    newerDxf.writeItem(70, Adesk::Int32(2));
    EXPECT_EQ(back.dxfInFields(&newerDxf), Acad::eMakeMeProxy);

    // The outline never moves: a transform is only recorded for undo, and undoing one
    // reads the record through.
    AcGePlane plane;
    AcDb::Planarity planarity;
    EXPECT_EQ(room.getPlane(plane, planarity), Acad::eNotApplicable);
    EXPECT_EQ(room.transformBy(AcGeMatrix3d::translation(AcGeVector3d(5, 5, 0))), Acad::eOk);
    EXPECT_EQ(room.m_Vertices, vertices);
    vkdb::FieldRecorder undo(AcDb::kUndoFiler);
    undo.writeInt32(CVkQsTempRoom::kUndoTransform);
    undo.writePoint3d(AcGePoint3d(5, 5, 0));
    undo.writeVector3d(AcGeVector3d::kXAxis);
    undo.writeVector3d(AcGeVector3d::kYAxis);
    undo.writeVector3d(AcGeVector3d::kZAxis);
    vkdb::FieldPlayer undoPlayer(undo.fields(), AcDb::kUndoFiler);
    EXPECT_EQ(room.applyPartialUndo(&undoPlayer, AcDbEntity::desc()), Acad::eOk);
    EXPECT_TRUE(undoPlayer.atEnd());
    EXPECT_EQ(room.m_Vertices, vertices);
    EXPECT_EQ(room.applyPartialUndo(&undoPlayer, AcDbObject::desc()), Acad::eNotApplicable);
}

}  // namespace
