#pragma once
// A library holding room "R" (a 3000 x 2000 boundary with one arc side, its marker, a pipe with
// its valve, a plain line and a beam, about the block's origin) and room "S" (boundary and
// marker), and helpers to look at what an insertion brought into the current drawing.
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipeValve.h"
#include "siblings/region/AcDbVkBeam.h"
#include "siblings/region/AcDbVkRoom.h"
#include "siblings/services/VkQsReactorHelper.h"
#include "tests/module/library/LibraryTestProject.h"

class PlacementProjectTest : public LibraryProjectTest {
protected:
    void SetUp() override
    {
        LibraryProjectTest::SetUp();
        writeRooms();
        appended();  // appends made by the set-up are no insertion's
    }

    static AcDbVkRoom* boundary(double w, double h)
    {
        auto* room = new AcDbVkRoom;
        const double bulges[] = {0, 0, 0.5, 0};
        for (unsigned i = 0; i < 4; ++i) room->addVertexAt(i, AcGePoint2d(i == 1 || i == 2 ? w : 0, i >= 2 ? h : 0), bulges[i]);
        room->setClosed(true);
        return room;
    }

    // A block `name` holding a w by h boundary at the origin and its marker; its id.
    static AcDbObjectId roomBlock(AcDbDatabase& lib, const char16_t* name, double w, double h)
    {
        const AcDbObjectId blockId = vktest::addBlockDefinition(lib, name);
        vktest::appendTo(blockId, boundary(w, h));
        auto* marker = new AcDbQsStandRoom;
        marker->addVertexAt(0, AcGePoint2d(40, 40), 0);
        marker->addVertexAt(1, AcGePoint2d(40, h - 40), 0);
        marker->SetRoomName(name);
        vktest::appendTo(blockId, marker);
        return blockId;
    }

    void writeRooms()
    {
        AcDbDatabase lib(true);
        const AcDbObjectId blockId = roomBlock(lib, u"R", 3000, 2000);
        const AcDbObjectId pipeId = vktest::appendTo(blockId, new VkQsPipe(AcGePoint3d(300, 1000, 0), AcGePoint3d(2700, 1000, 0)));
        auto* valve = new VkQsPipeValve(AcGePoint3d(1000, 1000, 0), 0);
        valve->SetPipeId(pipeId);
        const AcDbObjectId valveId = vktest::appendTo(blockId, valve);
        {
            AcDbObjectPointer<VkQsPipe> pipe(pipeId, AcDb::kForWrite);
            ASSERT_TRUE(pipe);
            pipe->addValve(valveId);
        }
        vktest::appendTo(blockId, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0)));
        vktest::appendTo(blockId, new AcDbVkBeam(AcGePoint3d(0, 500, 0), AcGePoint3d(3000, 500, 0), 200));
        ASSERT_FALSE(roomBlock(lib, u"S", 1000, 1000).isNull());
        ASSERT_EQ(lib.saveAs(hostPath("StardardRoom.dwg"), false, AcDb::kDHL_1027), Acad::eOk);
    }

    // The ids the last insertion appended to the current drawing.
    static AcDbObjectIdArray appended()
    {
        AcDbObjectIdArray ids;
        VkQsReactorHelper::GetAllAppendId(ids);
        return ids;
    }

    // The first of the ids whose entity is of that class, or the null id.
    static AcDbObjectId firstOf(const AcDbObjectIdArray& ids, const char16_t* cls)
    {
        const std::vector<AcDbObjectId> v(ids.begin(), ids.end());
        const std::vector<CString> names = vktest::ClassNames(v);
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == cls) return v[i];
        return {};
    }
    static int countOf(const AcDbObjectIdArray& ids, const char16_t* cls)
    {
        const std::vector<CString> names = vktest::ClassNames(std::vector<AcDbObjectId>(ids.begin(), ids.end()));
        return int(std::count(names.begin(), names.end(), CString(cls)));
    }
    int modelSpaceCount() const { return int(vktest::EntityIds(db.get()).size()); }
};
