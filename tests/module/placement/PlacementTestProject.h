#pragma once
// A project with a library drawing holding room "R" (boundary, marker, a pipe with its valve,
// a plain line and a beam, all about the block's origin) and room "S" (boundary and marker),
// and helpers to look at what
// an insertion brought into the current drawing.
#include <filesystem>
#include <system_error>

#include "host/db/AcDb.h"
#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsPipe.h"
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
        writeLibrary();
        AcDbObjectIdArray drained;
        VkQsReactorHelper::GetAllAppendId(drained);  // appends made by the set-up are no insertion's
    }

    static AcDbVkRoom* boundary(double w, double h)
    {
        auto* room = new AcDbVkRoom;
        room->addVertexAt(0, AcGePoint2d(0, 0), 0);
        room->addVertexAt(1, AcGePoint2d(w, 0), 0);
        room->addVertexAt(2, AcGePoint2d(w, h), 0.5);
        room->addVertexAt(3, AcGePoint2d(0, h), 0);
        room->setClosed(true);
        return room;
    }

    // A block `name` holding a w by h boundary at the origin and its marker; its id.
    static AcDbObjectId roomBlock(AcDbDatabase& lib, const char16_t* name, double w, double h)
    {
        const AcDbObjectId blockId = vktest::addBlockDefinition(lib, name);
        EXPECT_FALSE(blockId.isNull()) << "block definition";
        if (blockId.isNull()) return blockId;
        vktest::appendTo(blockId, boundary(w, h));
        auto* marker = new AcDbQsStandRoom;
        marker->addVertexAt(0, AcGePoint2d(40, 40), 0);
        marker->addVertexAt(1, AcGePoint2d(40, h - 40), 0);
        marker->SetRoomName(name);
        vktest::appendTo(blockId, marker);
        return blockId;
    }

    // Room "R": a 3000 by 2000 boundary at the origin, its marker, a pipe with one valve, a
    // line and a beam.
    void writeLibrary()
    {
        AcDbDatabase lib(true);
        const AcDbObjectId blockId = roomBlock(lib, u"R", 3000, 2000);
        ASSERT_FALSE(blockId.isNull());
        const AcDbObjectId pipeId = vktest::appendTo(blockId, new VkQsPipe(AcGePoint3d(300, 1000, 0), AcGePoint3d(2700, 1000, 0)));
        auto* valve = new VkQsPipeValve(AcGePoint3d(1000, 1000, 0), 0);
        valve->SetPipeId(pipeId);
        const AcDbObjectId valveId = vktest::appendTo(blockId, valve);
        VkQsPipe* pipe = nullptr;
        ASSERT_EQ(acdbOpenObject(pipe, pipeId, AcDb::kForWrite), Acad::eOk);
        pipe->addValve(valveId);
        pipe->close();
        vktest::appendTo(blockId, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0)));
        vktest::appendTo(blockId, new AcDbVkBeam(AcGePoint3d(0, 500, 0), AcGePoint3d(3000, 500, 0), 200));
        // Room "S": a 1000 by 1000 boundary and its marker.
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

    // The appended entity of that class (the first one), or the null id.
    static AcDbObjectId firstOf(const AcDbObjectIdArray& ids, const char* cls)
    {
        for (const AcDbObjectId& id : ids) {
            AcDbEntity* ent = nullptr;
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
            const bool match = CString(ent->isA()->name()).Compare(CString::FromUtf8(cls)) == 0;
            ent->close();
            if (match) return id;
        }
        return {};
    }

    int modelSpaceCount() const { return int(vktest::EntityIds(db.get()).size()); }

    std::filesystem::file_time_type libraryTime() const
    {
        std::error_code ec;
        return std::filesystem::last_write_time(dir / "StardardRoom.dwg", ec);
    }
};
