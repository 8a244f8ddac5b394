// What a saved file holds: live objects only, no reference to what is not in it, no object
// that someone still has open, and nothing a reader would refuse.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "host/db/AcDbOpenObjects.h"
#include "host/db/DwgFormat.h"
#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

namespace {

bool inFile(AcDbDatabase& back, AcDbHandle h)
{
    AcDbObjectId id;
    return back.getAcDbObjectId(id, false, h) == Acad::eOk && !back.allObjectIds(true).empty() &&
           std::find(back.allObjectIds(true).begin(), back.allObjectIds(true).end(), id) != back.allObjectIds(true).end();
}

Acad::ErrorStatus eraseObject(AcDbObjectId id)
{
    AcDbObjectPointer<AcDbObject> obj(id, AcDb::kForWrite);
    return obj ? obj->erase() : obj.openStatus();
}

}  // namespace

TEST(LiveObjectsInFiles, ErasedObjectsAndWhatTheyOwnAreNotWrittenNorListed)
{
    ScratchDir dir;
    AcDbDatabase db;
    AcDbObjectId kept = addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    AcDbObjectId gone = addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0));
    AcDbObjectId block = addBlock(db, u"Valve");
    AcDbObjectId layer = addLayer(db, u"Old", 2);
    std::vector<AcDbObjectId> blockParts;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> rec(block, AcDb::kForRead);
        blockParts = rec->entityIds();
        blockParts.push_back(rec->blockBeginId());
        blockParts.push_back(rec->blockEndId());
    }
    ASSERT_EQ(eraseObject(gone), Acad::eOk);
    ASSERT_EQ(eraseObject(block), Acad::eOk);
    ASSERT_EQ(eraseObject(layer), Acad::eOk);
    ASSERT_EQ(db.saveAs(dir.win("a.dwg")), Acad::eOk);

    AcDbDatabase back(false);
    ASSERT_EQ(back.readDwgFile(dir.win("a.dwg"), _SH_DENYNO), Acad::eOk);
    EXPECT_TRUE(inFile(back, kept.handle()));
    EXPECT_FALSE(inFile(back, gone.handle()));
    EXPECT_FALSE(inFile(back, block.handle()));
    EXPECT_FALSE(inFile(back, layer.handle()));
    for (AcDbObjectId part : blockParts) EXPECT_FALSE(inFile(back, part.handle())) << part.handle().text().ToUtf8();
    // The lists of the live owners name live objects only.
    AcDbObjectPointer<AcDbBlockTableRecord> ms(back.modelSpaceId(), AcDb::kForRead);
    ASSERT_TRUE(ms);
    ASSERT_EQ(ms->entityIds(true).size(), 1u);
    EXPECT_EQ(ms->entityIds(true)[0].handle(), kept.handle());
    AcDbBlockTable* blocks = nullptr;
    ASSERT_EQ(back.getBlockTable(blocks, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(blocks->recordIds(true).size(), 2u);
    blocks->close();
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(back.getLayerTable(layers, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(layers->recordIds(true).size(), 1u);
    layers->close();
    EXPECT_EQ(dump(back).find("Valve"), std::string::npos);
}

TEST(LiveObjectsInFiles, ALiveReferenceToAnErasedBlockIsRefusedAndNothingIsWritten)
{
    ScratchDir dir;
    AcDbDatabase db;
    AcDbObjectId block = addBlock(db, u"Valve");
    appendTo(db.modelSpaceId(), new AcDbBlockReference(AcGePoint3d(1, 1, 0), block));
    ASSERT_EQ(eraseObject(block), Acad::eOk);
    EXPECT_EQ(db.saveAs(dir.win("a.dwg")), Acad::eWasErased);
    EXPECT_FALSE(std::filesystem::exists(dir.host("a.dwg")));
    // wblock results follow the same rule: what is erased in them stays out of their file.
    AcDbDatabase* out = nullptr;
    AcDbObjectIdArray ids;
    ids.append(addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(3, 0, 0)));
    ids.append(addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(4, 0, 0)));
    ASSERT_EQ(db.wblock(out, ids, AcGePoint3d::kOrigin), Acad::eOk);
    std::unique_ptr<AcDbDatabase> result(out);
    AcDbObjectId first;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(result->modelSpaceId(), AcDb::kForRead);
        ASSERT_EQ(ms->entityIds().size(), 2u);
        first = ms->entityIds()[0];
    }
    ASSERT_EQ(eraseObject(first), Acad::eOk);
    ASSERT_EQ(result->saveAs(dir.win("w.dwg")), Acad::eOk);
    AcDbDatabase back(false);
    ASSERT_EQ(back.readDwgFile(dir.win("w.dwg"), _SH_DENYNO), Acad::eOk);
    EXPECT_FALSE(inFile(back, first.handle()));
}

TEST(LiveObjectsInFiles, TheTablesAreWrittenWhateverTheyNameAsTheirOwner)
{
    // A file may name an erased object, or the other table, as a table's owner: the tables
    // still go, or the file written would be refused.
    ScratchDir dir;
    AcDbDatabase db;
    AcDbObjectId line = addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    {
        AcDbObjectPointer<AcDbObject> blocks(db.blockTableId(), AcDb::kForWrite);
        AcDbObjectPointer<AcDbObject> layers(db.layerTableId(), AcDb::kForWrite);
        ASSERT_TRUE(blocks && layers);
        ASSERT_EQ(blocks->setOwnerId(line), Acad::eOk);
        ASSERT_EQ(layers->setOwnerId(db.blockTableId()), Acad::eOk);
    }
    ASSERT_EQ(eraseObject(line), Acad::eOk);
    ASSERT_EQ(db.saveAs(dir.win("a.dwg"), false), Acad::eOk);
    AcDbDatabase back(false);
    ASSERT_EQ(back.readDwgFile(dir.win("a.dwg"), _SH_DENYNO), Acad::eOk);
    EXPECT_FALSE(back.modelSpaceId().isNull());
    EXPECT_FALSE(inFile(back, line.handle()));
}

TEST(OpenObjects, SavingADrawingWithAnObjectOpenIsRefusedAndNamesIt)
{
    ScratchDir dir;
    AcDbDatabase db;
    AcDbObjectId line = addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    EXPECT_TRUE(acdbDescribeOpenObjects(&db).IsEmpty());
    {
        AcDbObjectPointer<AcDbLine> open(line, AcDb::kForWrite);
        EXPECT_EQ(db.saveAs(dir.win("a.dwg")), Acad::eWasOpenForWrite);
        EXPECT_FALSE(std::filesystem::exists(dir.host("a.dwg")));
        std::string text = acdbDescribeOpenObjects(&db).ToUtf8();
        EXPECT_NE(text.find("AcDbLine"), std::string::npos) << text;
        EXPECT_NE(text.find(line.handle().text().ToUtf8()), std::string::npos) << text;
    }
    {
        AcDbObjectPointer<AcDbLine> open(line, AcDb::kForRead);
        EXPECT_EQ(db.saveAs(dir.win("a.dwg")), Acad::eWasOpenForRead);
    }
    EXPECT_EQ(db.saveAs(dir.win("a.dwg")), Acad::eOk);
}

TEST(Handles, AllocationThatWouldRunOutIsRefusedAndTheFileStaysReadable)
{
    ScratchDir dir;
    AcDbDatabase db;
    std::istringstream lines("{\"class\":\"AcDbLine\",\"handle\":\"FFFFFFFFFFFFFFFD\"}\n");
    CString why;
    ASSERT_EQ(acdbLoadJson(lines, &db, why), Acad::eOk) << why.ToUtf8();
    AcDbObjectId last = addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    EXPECT_EQ(last.handle(), AcDbHandle(0xFFFFFFFFFFFFFFFEull));
    AcDbObjectId none = addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0));
    EXPECT_TRUE(none.isNull());
    AcDbObjectId reserved;
    EXPECT_NE(db.getAcDbObjectId(reserved, true, AcDbHandle(0xFFFFFFFFFFFFFFFFull)), Acad::eOk);
    ASSERT_EQ(db.saveAs(dir.win("h.dwg")), Acad::eOk);
    AcDbDatabase back(false);
    EXPECT_EQ(back.readDwgFile(dir.win("h.dwg"), _SH_DENYNO), Acad::eOk);
}

TEST(Handles, ADatabaseTheReaderWouldRefuseIsNotSaved)
{
    ScratchDir dir;
    AcDbDatabase empty(false);
    EXPECT_NE(empty.saveAs(dir.win("e.dwg")), Acad::eOk);
    EXPECT_FALSE(std::filesystem::exists(dir.host("e.dwg")));
}

TEST(NonDrawings, AForeignFileIsRefusedFromItsHeaderAndAPipeAtOnce)
{
    ScratchDir dir;
    // A huge sparse file: reading it whole would take all memory.
    {
        std::ofstream(dir.host("big.dwg"), std::ios::binary) << "this is no drawing";
        std::filesystem::resize_file(dir.host("big.dwg"), std::uintmax_t{16} << 30);
    }
    AcDbDatabase db(false);
    EXPECT_EQ(db.readDwgFile(dir.win("big.dwg"), _SH_DENYNO), Acad::eBadDwgHeader);
    // A drawing's header whose length is not the file's.
    AcDbDatabase small;
    ASSERT_EQ(small.saveAs(dir.win("s.dwg")), Acad::eOk);
    std::filesystem::resize_file(dir.host("s.dwg"), std::uintmax_t{16} << 30);
    EXPECT_EQ(db.readDwgFile(dir.win("s.dwg"), _SH_DENYNO), Acad::eDwgCRCDoesNotMatch);

    ASSERT_EQ(mkfifo(dir.host("pipe.dwg").c_str(), 0600), 0);
    EXPECT_EQ(db.readDwgFile(dir.win("pipe.dwg"), _SH_DENYNO), Acad::eFileAccessErr);
    EXPECT_EQ(db.readDwgFile(dir.win("pipe.dwg")), Acad::eFileAccessErr);
    EXPECT_EQ(db.readDwgFile(CString(u"/dev/null"), _SH_DENYNO), Acad::eFileAccessErr);
    EXPECT_EQ(small.saveAs(dir.win("pipe.dwg")), Acad::eFileAccessErr);
    EXPECT_TRUE(db.allObjectIds(true).empty());
}

TEST(KilledSaves, WhatADeadSaveLeftIsCleanedByTheNextOpenOrSave)
{
    ScratchDir dir;
    AcDbDatabase db;
    addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    ASSERT_EQ(db.saveAs(dir.win("d.dwg")), Acad::eOk);
    std::string v1 = readBytes(dir.host("d.dwg"));
    addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0));
    ASSERT_EQ(db.saveAs(dir.win("d.dwg")), Acad::eOk);
    std::string v2 = readBytes(dir.host("d.dwg"));

    pid_t dead = fork();
    if (dead == 0) _exit(0);
    ASSERT_GT(dead, 0);
    waitpid(dead, nullptr, 0);
    const std::string deadPid = std::to_string(dead), livePid = std::to_string(getppid());

    // Killed between its two renames: d.dwg is already v3, the old v2 waits as pending while
    // d.bak still holds v1.
    addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(3, 0, 0));
    std::string v3;
    ASSERT_EQ(vkdwg::writeDrawing(&db, v3), Acad::eOk);
    writeBytes(dir.host("d.dwg"), v3);
    writeBytes(dir.host("d.bak.vkpending." + deadPid), v2);
    writeBytes(dir.host("d.dwg.vktmp." + deadPid + ".0"), v3);
    writeBytes(dir.host("d.dwg.vktmp." + livePid + ".0"), v3);  // a save still going on elsewhere
    writeBytes(dir.host("other.dwg.vktmp." + deadPid + ".0"), v3);

    AcDbDatabase back(false);
    ASSERT_EQ(back.readDwgFile(dir.win("d.dwg"), _SH_DENYNO), Acad::eOk);
    EXPECT_FALSE(std::filesystem::exists(dir.host("d.bak.vkpending." + deadPid)));
    EXPECT_FALSE(std::filesystem::exists(dir.host("d.dwg.vktmp." + deadPid + ".0")));
    EXPECT_TRUE(std::filesystem::exists(dir.host("d.dwg.vktmp." + livePid + ".0")));
    EXPECT_TRUE(std::filesystem::exists(dir.host("other.dwg.vktmp." + deadPid + ".0")));
    EXPECT_EQ(readBytes(dir.host("d.bak")), v2);  // the version before d.dwg

    // Killed before the new file took its place: the pending is the current file itself.
    writeBytes(dir.host("d.bak.vkpending." + deadPid), v3);
    writeBytes(dir.host("d.dwg.vktmp." + deadPid + ".1"), v1);
    AcDbDatabase other;
    ASSERT_EQ(other.saveAs(dir.win("unrelated.dwg")), Acad::eOk);
    EXPECT_TRUE(std::filesystem::exists(dir.host("d.dwg.vktmp." + deadPid + ".1")));
    ASSERT_EQ(back.saveAs(dir.win("d.dwg")), Acad::eOk);
    EXPECT_FALSE(std::filesystem::exists(dir.host("d.bak.vkpending." + deadPid)));
    EXPECT_FALSE(std::filesystem::exists(dir.host("d.dwg.vktmp." + deadPid + ".1")));
    EXPECT_EQ(readBytes(dir.host("d.bak")), v3);
}
