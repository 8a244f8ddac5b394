#include <gtest/gtest.h>

#include <map>

#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

namespace {

// A node with one reference of every kind, to see what a deep clone carries along.
class VkCloneNode : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(VkCloneNode);
    Adesk::Int32 tag = 0;
    AcDbObjectId hard, soft, owned;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* f) const override
    {
        AcDbEntity::dwgOutFields(f);
        f->writeInt32(tag, "tag");
        f->writeHardPointerId(hard, "hard");
        f->writeSoftPointerId(soft, "soft");
        f->writeHardOwnershipId(owned, "owned");
        return f->filerStatus();
    }
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* f) override
    {
        AcDbEntity::dwgInFields(f);
        f->readInt32(&tag, "tag");
        f->readHardPointerId(&hard, "hard");
        f->readSoftPointerId(&soft, "soft");
        f->readHardOwnershipId(&owned, "owned");
        return f->filerStatus();
    }
};

struct NodeView {
    int tag = -1;
    AcDbObjectId hard, soft, owned;
};

NodeView view(AcDbObjectId id)
{
    AcDbObjectPointer<VkCloneNode> n(id, AcDb::kForRead);
    NodeView v;
    if (!n) return v;
    v = {n->tag, n->hard, n->soft, n->owned};
    return v;
}

AcDbObjectId addNode(AcDbDatabase& db, int tag, const char16_t* layer = u"0")
{
    auto* n = new VkCloneNode;
    n->tag = tag;
    n->setLayer(layer);
    return appendTo(db.modelSpaceId(), n);
}

void link(AcDbObjectId from, AcDbObjectId VkCloneNode::*field, AcDbObjectId to)
{
    AcDbObjectPointer<VkCloneNode> n(from, AcDb::kForWrite);
    ASSERT_TRUE(n);
    n.object()->*field = to;
}

std::map<AcDbObjectId, AcDbObjectId> asMap(const std::vector<std::pair<AcDbObjectId, AcDbObjectId>>& pairs)
{
    return {pairs.begin(), pairs.end()};
}

}  // namespace

ACRX_DEFINE_MEMBERS(VkCloneNode, AcDbEntity);

TEST(DeepClone, CarriesHardReferencesAcrossChainsAndCyclesAndKeepsSoftOnesOutside)
{
    AcDbDatabase db;
    AcDbObjectId a = addNode(db, 1), b = addNode(db, 2), c = addNode(db, 3), d = addNode(db, 4);
    link(a, &VkCloneNode::hard, b);
    link(b, &VkCloneNode::owned, c);
    link(c, &VkCloneNode::hard, a);  // a cycle back to the start
    link(a, &VkCloneNode::soft, d);  // outside the cloned set
    link(c, &VkCloneNode::soft, b);  // inside it

    std::vector<std::pair<AcDbObjectId, AcDbObjectId>> pairs;
    AcDbObjectIdArray ids;
    ids.append(a);
    ASSERT_EQ(db.deepCloneObjects(ids, db.modelSpaceId(), pairs), Acad::eOk);
    auto map = asMap(pairs);
    ASSERT_EQ(map.size(), 3u);  // a, b, c: d is only soft-referenced
    ASSERT_TRUE(map.count(a) && map.count(b) && map.count(c));
    EXPECT_EQ(pairs.front().first, a);

    NodeView a2 = view(map[a]), b2 = view(map[b]), c2 = view(map[c]);
    EXPECT_EQ(a2.tag, 1);
    EXPECT_EQ(a2.hard, map[b]);
    EXPECT_EQ(a2.soft, d);  // the same database: the soft pointer stays
    EXPECT_EQ(b2.owned, map[c]);
    EXPECT_EQ(c2.hard, map[a]);
    EXPECT_EQ(c2.soft, map[b]);
    // The originals are untouched, and nothing is left open.
    EXPECT_EQ(view(a).hard, b);
    EXPECT_EQ(db.numOpenObjects(), 0);
    // The primary clone joins the owner's entities; the owned ones keep their owners.
    AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForRead);
    std::vector<AcDbObjectId> ents = ms->entityIds();
    EXPECT_NE(std::find(ents.begin(), ents.end(), map[a]), ents.end());
}

TEST(DeepClone, IntoAnotherDatabaseSoftPointersOutsideBecomeNullAndCarriedEntitiesJoinTheNewOwner)
{
    AcDbDatabase db;
    AcDbObjectId a = addNode(db, 1, u"Heating"), b = addNode(db, 2), d = addNode(db, 4);
    addLayer(db, u"Heating", 1);
    link(a, &VkCloneNode::hard, b);
    link(a, &VkCloneNode::soft, d);
    link(b, &VkCloneNode::soft, a);
    AcDbDatabase* out = nullptr;
    AcDbObjectIdArray ids;
    ids.append(a);
    ASSERT_EQ(db.wblock(out, ids, AcGePoint3d::kOrigin), Acad::eOk);
    std::unique_ptr<AcDbDatabase> outDb(out);

    AcDbObjectPointer<AcDbBlockTableRecord> ms(outDb->modelSpaceId(), AcDb::kForRead);
    std::vector<AcDbObjectId> ents = ms->entityIds();
    // The primary, then b, carried along as what a points at, from the same model space.
    ASSERT_EQ(ents.size(), 2u);
    NodeView a2 = view(ents[0]);
    EXPECT_EQ(a2.tag, 1);
    EXPECT_TRUE(a2.soft.isNull());
    ASSERT_FALSE(a2.hard.isNull());
    EXPECT_EQ(a2.hard, ents[1]);
    EXPECT_EQ(view(a2.hard).tag, 2);
    {
        AcDbObjectPointer<AcDbEntity> b2(ents[1], AcDb::kForRead);
        ASSERT_TRUE(b2);
        EXPECT_EQ(b2->ownerId(), outDb->modelSpaceId());
    }
    EXPECT_EQ(view(a2.hard).soft, ents[0]);  // soft pointer into the cloned set: translated
    // The layer came along with its colour.
    AcDbObjectId layerId;
    ASSERT_TRUE(acdbEnsureLayer(outDb.get(), u"Heating", false, &layerId));
    AcDbObjectPointer<AcDbLayerTableRecord> layer(layerId, AcDb::kForRead);
    EXPECT_EQ(layer->colorIndex(), 1);
    EXPECT_EQ(db.numOpenObjects(), 0);
}

TEST(DeepClone, RefusesIdsOfSeveralDatabasesAndNullOwners)
{
    AcDbDatabase one, two;
    AcDbObjectIdArray ids;
    ids.append(addLine(one, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    ids.append(addLine(two, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    std::vector<std::pair<AcDbObjectId, AcDbObjectId>> pairs;
    EXPECT_EQ(one.deepCloneObjects(ids, one.modelSpaceId(), pairs), Acad::eWrongDatabase);
    EXPECT_EQ(one.deepCloneObjects(ids, AcDbObjectId(), pairs), Acad::eNullObjectId);
    EXPECT_TRUE(pairs.empty());
    AcDbDatabase* out = nullptr;
    EXPECT_EQ(one.wblock(out, ids, AcGePoint3d::kOrigin), Acad::eWrongDatabase);
    EXPECT_EQ(out, nullptr);
}
