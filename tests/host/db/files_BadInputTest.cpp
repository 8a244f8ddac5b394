#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "host/db/DwgFormat.h"
#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

static_assert(static_cast<int>(Acad::eFileNotFound) == 76, "callers rely on the value");

namespace {

std::string sampleFileBytes()
{
    AcDbDatabase db;
    buildSampleDrawing(db);
    std::string bytes;
    EXPECT_EQ(vkdwg::writeDrawing(&db, bytes), Acad::eOk);
    return bytes;
}

Acad::ErrorStatus readFile(ScratchDir& dir, const std::string& bytes, AcDbDatabase& db)
{
    writeBytes(dir.host("bad.dwg"), bytes);
    return db.readDwgFile(dir.win("bad.dwg"), _SH_DENYWR);
}

}  // namespace

TEST(DrawingFileBadInput, MissingForeignTruncatedDamagedAndNewerFilesAreRefusedAndTheDatabaseStaysEmpty)
{
    ScratchDir dir;
    {
        AcDbDatabase db(false);
        EXPECT_EQ(db.readDwgFile(dir.win("none.dwg")), Acad::eFileNotFound);
        EXPECT_TRUE(db.allObjectIds(true).empty());
    }
    const std::string good = sampleFileBytes();
    struct Case {
        const char* what;
        std::string bytes;
        Acad::ErrorStatus expected;
    };
    std::string damaged = good;
    damaged[good.size() / 2] ^= 0x40;
    std::string newer = good;
    newer.replace(8, 6, "AC1032");
    std::vector<Case> cases = {
        {"empty", "", Acad::eBadDwgHeader},
        {"text", "room list\r\n3\r\nA\r\nB\r\nC\r\n", Acad::eBadDwgHeader},
        {"cut in the header", good.substr(0, 12), Acad::eBadDwgHeader},
        {"cut in the objects", good.substr(0, good.size() / 2), Acad::eDwgCRCDoesNotMatch},
        {"cut before the checksum", good.substr(0, good.size() - 3), Acad::eDwgCRCDoesNotMatch},
        {"grown", good + "x", Acad::eDwgCRCDoesNotMatch},
        {"one bit flipped", damaged, Acad::eDwgCRCDoesNotMatch},
        {"other version", newer, Acad::eInvalidDwgVersion},
    };
    for (const Case& c : cases) {
        AcDbDatabase db(false);
        EXPECT_EQ(readFile(dir, c.bytes, db), c.expected) << c.what;
        EXPECT_TRUE(db.allObjectIds(true).empty()) << c.what;
        EXPECT_TRUE(db.filename().IsEmpty()) << c.what;
    }
    // And a refused read holds no lock: the file can be written at once.
    SharedFile writer;
    EXPECT_TRUE(writer.Open(dir.win("bad.dwg"), SharedFile::kWrite, _SH_DENYWR));
}

TEST(DrawingFileBadInput, LyingCountsAndLengthsBehindAValidChecksumAreRefused)
{
    // Every byte in turn becomes 0xFF (the largest count or length it can be part of) and
    // the checksum is made right again: the reader must see through it from the structure,
    // without trusting the numbers (no huge allocations, no reads past the end).
    const std::string good = sampleFileBytes();
    int refused = 0;
    for (size_t at = vkdwg::kHeaderSize; at + 4 < good.size(); ++at) {
        if (static_cast<unsigned char>(good[at]) == 0xFF) continue;
        std::string lie = good;
        lie[at] = '\xff';
        fixChecksum(lie);
        AcDbDatabase db(false);
        if (vkdwg::readDrawing(&db, lie) != Acad::eOk) {
            ++refused;
            EXPECT_TRUE(db.allObjectIds(true).empty()) << at;
        }
    }
    EXPECT_GT(refused, 100);
}

TEST(DrawingFileBadInput, AFileWithAnErasedTableIsRefusedSinceItCouldNotBeSavedAgain)
{
    // Every place where the block or layer table's handle could start a record gets the
    // erased flag (at 20 bytes in), the checksum made right: whatever the reader takes, it
    // can write again; the real records are refused.
    AcDbDatabase db;
    buildSampleDrawing(db);
    std::string good;
    ASSERT_EQ(vkdwg::writeDrawing(&db, good), Acad::eOk);
    int refused = 0;
    for (AcDbObjectId table : {db.blockTableId(), db.layerTableId()}) {
        const std::uint64_t h = table.handle().value();
        for (size_t at = vkdwg::kHeaderSize; at + 25 + 4 <= good.size(); ++at) {
            if (std::memcmp(good.data() + at, &h, 8) != 0 || good[at + 20] != 0) continue;
            std::string bytes = good;
            bytes[at + 20] = 1;
            fixChecksum(bytes);
            AcDbDatabase back(false);
            Acad::ErrorStatus es = vkdwg::readDrawing(&back, bytes);
            if (es != Acad::eOk) {
                ++refused;
                EXPECT_TRUE(back.allObjectIds(true).empty());
                continue;
            }
            std::string again;
            EXPECT_EQ(vkdwg::writeDrawing(&back, again), Acad::eOk) << "at " << at;
        }
    }
    EXPECT_GE(refused, 2);
}
