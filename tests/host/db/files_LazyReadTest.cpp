// Drawings read from files make their objects on first open, from a map of the file: what
// they show and what they save must be what a drawing read whole shows and saves.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "host/db/DwgFormat.h"
#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

namespace {

// Opens and closes every object, so that the drawing is made whole.
void readEveryObject(AcDbDatabase& db)
{
    for (AcDbObjectId id : db.allObjectIds(true)) {
        AcDbObject* obj = nullptr;
        ASSERT_EQ(acdbOpenObject(obj, id, AcDb::kForRead, true), Acad::eOk) << id.handle().text().ToUtf8();
        obj->close();
    }
}

AcDbObjectId modelSpaceEntity(AcDbDatabase& db, size_t i)
{
    AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForRead);
    return ms && i < ms->entityIds().size() ? ms->entityIds()[i] : AcDbObjectId();
}

void erase(AcDbObjectId id)
{
    AcDbObject* obj = nullptr;
    ASSERT_EQ(acdbOpenObject(obj, id, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(obj->erase(), Acad::eOk);
    obj->close();
}

}  // namespace

TEST(DrawingFileLazyRead, UnreadObjectsSaveTheSameBytesAsObjectsReadWholeAlsoAfterErasing)
{
    ScratchDir dir;
    {
        AcDbDatabase db;
        buildSampleDrawing(db);
        for (int i = 0; i < 50; ++i) addLine(db, AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0), u"Pipes");
        ASSERT_EQ(db.saveAs(dir.win("a.dwg"), false), Acad::eOk);
    }
    // Each change is made to a drawing left unread but for what the change opens, and to
    // one read whole first; the files they save must be the same bytes.
    struct Change {
        const char* what;
        void (*apply)(AcDbDatabase&);
    };
    const Change changes[] = {
        {"nothing", [](AcDbDatabase&) {}},
        // The model space, unread, lists entities that are gone: the list goes without them.
        {"entities erased",
         [](AcDbDatabase& db) {
             erase(modelSpaceEntity(db, 0));
             erase(modelSpaceEntity(db, 7));
         }},
        // The entities of an erased block go with it (its reference is erased first: a hard
        // pointer to an erased block is refused).
        {"block erased with its reference",
         [](AcDbDatabase& db) {
             AcDbObjectId ref = modelSpaceEntity(db, 3);
             AcDbObjectId block;
             {
                 AcDbObjectPointer<AcDbBlockReference> r(ref, AcDb::kForRead);
                 ASSERT_TRUE(r);
                 block = r->blockTableRecord();
             }
             erase(ref);
             erase(block);
         }},
        {"entity added", [](AcDbDatabase& db) { addLine(db, AcGePoint3d(5, 5, 0), AcGePoint3d(6, 6, 0)); }},
    };
    for (const Change& c : changes) {
        AcDbDatabase unread(false), whole(false);
        ASSERT_EQ(unread.readDwgFile(dir.win("a.dwg"), _SH_DENYNO), Acad::eOk);
        ASSERT_EQ(whole.readDwgFile(dir.win("a.dwg"), _SH_DENYNO), Acad::eOk);
        readEveryObject(whole);
        c.apply(unread);
        c.apply(whole);
        ASSERT_EQ(unread.saveAs(dir.win("unread.dwg"), false), Acad::eOk) << c.what;
        ASSERT_EQ(whole.saveAs(dir.win("whole.dwg"), false), Acad::eOk) << c.what;
        EXPECT_EQ(readBytes(dir.host("unread.dwg")), readBytes(dir.host("whole.dwg"))) << c.what;
        EXPECT_EQ(dump(unread), dump(whole)) << c.what;
    }
}

TEST(DrawingFileLazyRead, AReadDrawingKeepsItsBytesWhenTheFileIsReplacedOrRemoved)
{
    ScratchDir dir;
    AcDbDatabase db;
    buildSampleDrawing(db);
    ASSERT_EQ(db.saveAs(dir.win("a.dwg"), false), Acad::eOk);
    const std::string before = dump(db);

    AcDbDatabase read(false);
    ASSERT_EQ(read.readDwgFile(dir.win("a.dwg"), _SH_DENYNO), Acad::eOk);
    // Someone saves another drawing over the file, then it is removed.
    AcDbDatabase other;
    addLine(other, AcGePoint3d(1, 2, 3), AcGePoint3d(4, 5, 6));
    ASSERT_EQ(other.saveAs(dir.win("a.dwg"), false), Acad::eOk);
    std::filesystem::remove(dir.host("a.dwg"));

    AcDbDatabase whole(false);
    ASSERT_EQ(db.saveAs(dir.win("b.dwg"), false), Acad::eOk);
    ASSERT_EQ(whole.readDwgFile(dir.win("b.dwg"), _SH_DENYNO), Acad::eOk);
    readEveryObject(whole);
    EXPECT_EQ(dump(read), dump(whole));
    ASSERT_EQ(read.saveAs(dir.win("c.dwg"), false), Acad::eOk);
    EXPECT_EQ(readBytes(dir.host("c.dwg")), readBytes(dir.host("b.dwg")));
}

TEST(DrawingFileLazyRead, ARecordItsClassCannotReadFailsItsOpenAndIsSavedAsItWas)
{
    ScratchDir dir;
    std::string bytes;
    {
        AcDbDatabase db;
        addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 1));
        addLine(db, AcGePoint3d(2, 0, 0), AcGePoint3d(2.5, 2.5, 2.5));
        ASSERT_EQ(vkdwg::writeDrawing(&db, bytes), Acad::eOk);
    }
    // The second line's end point filed with the tag of a vector: well formed, but no line.
    std::string end(1, '\x07');
    for (double v : {2.5, 2.5, 2.5}) end.append(reinterpret_cast<const char*>(&v), 8);
    size_t at = bytes.find(end);
    ASSERT_NE(at, std::string::npos);
    bytes[at] = '\x08';
    fixChecksum(bytes);

    AcDbDatabase whole(false);
    EXPECT_EQ(vkdwg::readDrawing(&whole, bytes), Acad::eDwgObjectImproperlyRead);
    EXPECT_TRUE(whole.allObjectIds(true).empty());

    writeBytes(dir.host("odd.dwg"), bytes);
    AcDbDatabase db(false);
    ASSERT_EQ(db.readDwgFile(dir.win("odd.dwg"), _SH_DENYNO), Acad::eOk);
    AcDbObject* obj = nullptr;
    ASSERT_EQ(acdbOpenObject(obj, modelSpaceEntity(db, 0), AcDb::kForRead), Acad::eOk);
    obj->close();
    EXPECT_EQ(acdbOpenObject(obj, modelSpaceEntity(db, 1), AcDb::kForRead), Acad::eDwgObjectImproperlyRead);
    EXPECT_EQ(obj, nullptr);
    // Nothing is lost: the record is written back as it was.
    ASSERT_EQ(db.saveAs(dir.win("again.dwg"), false), Acad::eOk);
    EXPECT_EQ(readBytes(dir.host("again.dwg")), bytes);
}

