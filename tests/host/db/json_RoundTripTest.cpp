#include <gtest/gtest.h>

#include <sstream>

#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

namespace {

Acad::ErrorStatus load(const std::string& text, AcDbDatabase& db, CString& error)
{
    std::istringstream in(text);
    return acdbLoadJson(in, &db, error);
}

}  // namespace

// A whole dump edited by hand: the block table lost its list, so model space joins it only
// through its owner; an entity without owner still lands in model space, and a block's end
// given without owner is refused with a reason instead of an empty message.
TEST(JsonViews, RecordsJoinTheirTableBeforeEntitiesGoToModelSpace)
{
    AcDbDatabase db;
    std::string whole = dump(db);
    std::string edited;
    std::istringstream lines(whole);
    std::string line, endLine;
    while (std::getline(lines, line)) {
        if (line.find("\"AcDbBlockTable\"") != std::string::npos) line = R"({"handle":"1","class":"AcDbBlockTable"})";
        if (endLine.empty() && line.find("\"AcDbBlockEnd\"") != std::string::npos) endLine = line;
        edited += line + "\n";
    }
    ASSERT_FALSE(endLine.empty());
    const std::string loose = R"({"class":"AcDbLine","start":[1,2,0],"end":[3,4,0]})" "\n";

    AcDbDatabase back(false);
    CString error;
    ASSERT_EQ(load(edited + loose, back, error), Acad::eOk) << error.ToUtf8();
    AcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(acdbOpenObject(ms, back.modelSpaceId(), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(ms->entityIds().size(), 1u);
    ms->close();

    std::string ownerless = edited;
    std::string withoutOwner = endLine;
    size_t at = withoutOwner.find("\"owner\":");
    ASSERT_NE(at, std::string::npos);
    withoutOwner.replace(at, withoutOwner.find(',', at) - at + 1, "");
    ownerless.replace(ownerless.find(endLine), endLine.size(), withoutOwner);
    AcDbDatabase refused(false);
    std::string before = dump(refused);
    EXPECT_EQ(load(ownerless, refused, error), Acad::eInvalidInput);
    EXPECT_NE(error.ToUtf8().find("field \"owner\": a block's begin or end needs its block as owner"), std::string::npos)
        << error.ToUtf8();
    EXPECT_EQ(dump(refused), before);
}

// A block given without its begin and end gets them, on layer "0"; the drawing then holds that
// layer as it does for every loaded entity's, so what loaded dumps and loads again unchanged.
TEST(JsonViews, BlockPartsMadeOnLoadHaveTheirLayer)
{
    // A null handle ("0") gives no begin: the block gets both parts.
    for (const std::string block : {R"({"class":"AcDbBlockTableRecord","name":"Column"})",
                                    R"({"class":"AcDbBlockTableRecord","name":"Column","begin":"0"})"}) {
        AcDbDatabase db(true);
        CString error;
        ASSERT_EQ(load(block + "\n", db, error), Acad::eOk) << error.ToUtf8();
        const std::string dumped = dump(db);
        EXPECT_EQ(dumped.find("null"), std::string::npos) << dumped;
        AcDbDatabase again(false);
        ASSERT_EQ(load(dumped, again, error), Acad::eOk) << error.ToUtf8();
        EXPECT_EQ(dump(again), dumped);
    }
    AcDbDatabase halfGiven(true);
    const std::string before = dump(halfGiven);
    CString why;
    EXPECT_EQ(load(R"({"class":"AcDbBlockTableRecord","name":"Column","begin":"5"})" "\n", halfGiven, why),
              Acad::eInvalidInput);
    EXPECT_EQ(why.ToUtf8(), "line 1: field \"end\": a block is given its begin and end together, or neither");
    EXPECT_EQ(dump(halfGiven), before);
}

TEST(JsonViews, BlockPartsOfALoadedDrawingHaveTheirLayer)
{
    const std::string text = R"({"handle":"1","class":"AcDbBlockTable","records":["7"]}
{"handle":"2","class":"AcDbLayerTable","records":[]}
{"handle":"7","class":"AcDbBlockTableRecord","owner":"1","name":"*Paper_Space"}
)";
    AcDbDatabase db(false);
    CString error;
    ASSERT_EQ(load(text, db, error), Acad::eOk) << error.ToUtf8();
    AcDbObjectId layer;
    EXPECT_TRUE(acdbEnsureLayer(&db, u"0", false, &layer));
    const std::string dumped = dump(db);
    AcDbDatabase again(false);
    ASSERT_EQ(load(dumped, again, error), Acad::eOk) << error.ToUtf8();
    EXPECT_EQ(dump(again), dumped);
}

// An entity without owner goes to model space: lines that bring a block table without a live
// model space are refused before anything is added.
TEST(JsonViews, AnEntityWithoutOwnerNeedsAModelSpace)
{
    const std::string tables = R"({"handle":"1","class":"AcDbBlockTable"}
{"handle":"2","class":"AcDbLayerTable"}
)";
    const std::string line = R"({"class":"AcDbLine","start":[0,0,0],"end":[5,0,0]})" "\n";
    const std::string paper = R"({"handle":"7","class":"AcDbBlockTableRecord","name":"*Paper_Space"})" "\n";
    const std::string erasedModel = R"({"handle":"8","class":"AcDbBlockTableRecord","name":"*Model_Space","erased":true})" "\n";
    for (const std::string& text : {tables + line + paper, tables + paper + erasedModel + line}) {
        AcDbDatabase db(false);
        CString error;
        EXPECT_EQ(load(text, db, error), Acad::eInvalidInput) << text;
        EXPECT_NE(error.ToUtf8().find("an entity without owner needs a model space"), std::string::npos) << error.ToUtf8();
        EXPECT_TRUE(db.allObjectIds(true).empty()) << text;
    }
    AcDbDatabase db(false);
    CString error;
    const std::string model = R"({"handle":"9","class":"AcDbBlockTableRecord","name":"*MODEL_SPACE"})" "\n";
    ASSERT_EQ(load(tables + line + model, db, error), Acad::eOk) << error.ToUtf8();
    AcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(ms->entityIds().size(), 1u);
    ms->close();
}
