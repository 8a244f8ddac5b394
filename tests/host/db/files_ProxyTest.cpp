#include <gtest/gtest.h>

#include "host/db/DwgFormatProxy.h"
#include "tests/host/db/files_TestDrawing.h"

using namespace filestest;

namespace {

// An entity of a plug-in that the reading process may not have loaded.
class VkTestGadget : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(VkTestGadget);
    Adesk::Int32 count = 0;
    CString label;
    AcDbObjectId partner;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* f) const override
    {
        AcDbEntity::dwgOutFields(f);
        f->writeInt32(count, "count");
        f->writeString(label, "label");
        f->writeHardPointerId(partner, "partner");
        return f->filerStatus();
    }
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* f) override
    {
        AcDbEntity::dwgInFields(f);
        f->readInt32(&count, "count");
        f->readString(&label, "label");
        f->readHardPointerId(&partner, "partner");
        return f->filerStatus();
    }
};

// Takes the class out of the registry for a scope, as if its plug-in were not loaded.
struct Unloaded {
    Unloaded() { acrxUnregisterClass(VkTestGadget::desc()); }
    ~Unloaded() { acrxRegisterClass(VkTestGadget::desc()); }
};

}  // namespace

ACRX_DEFINE_MEMBERS(VkTestGadget, AcDbEntity);

TEST(DrawingFileProxies, UnknownClassesLoadAsProxiesAndAreSavedBackUnchanged)
{
    ScratchDir dir;
    AcDbHandle gadgetHandle;
    {
        AcDbDatabase db;
        addLayer(db, u"Valves", 5);
        AcDbObjectId line = addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0));
        auto* g = new VkTestGadget;
        g->count = 7;
        g->label = u"阀门";
        g->partner = line;
        g->setLayer(u"Valves");
        gadgetHandle = appendTo(db.modelSpaceId(), g).handle();
        ASSERT_EQ(db.saveAs(dir.win("a.dwg")), Acad::eOk);
    }
    {
        Unloaded unloaded;
        AcDbDatabase db(false);
        ASSERT_EQ(db.readDwgFile(dir.win("a.dwg"), _SH_DENYNO), Acad::eOk);
        AcDbObjectId id;
        ASSERT_EQ(db.getAcDbObjectId(id, false, gadgetHandle), Acad::eOk);
        {
            AcDbObjectPointer<AcDbProxyEntity> proxy(id, AcDb::kForRead);
            ASSERT_TRUE(proxy);
            EXPECT_EQ(proxy->originalClassName(), CString(u"VkTestGadget"));
            EXPECT_EQ(proxy->layer(), CString(u"Valves"));
            ASSERT_EQ(proxy->content().ids.size(), 1u);
            EXPECT_EQ(proxy->content().ids[0].database(), &db);
        }
        ASSERT_EQ(db.saveAs(dir.win("b.dwg")), Acad::eOk);
        EXPECT_EQ(readBytes(dir.host("b.dwg")), readBytes(dir.host("a.dwg")));

        // Cloned into another drawing, the proxy brings what it points at and its reference
        // follows the copy.
        AcDbDatabase* out = nullptr;
        AcDbObjectIdArray ids;
        ids.append(id);
        ASSERT_EQ(db.wblock(out, ids, AcGePoint3d::kOrigin), Acad::eOk);
        std::unique_ptr<AcDbDatabase> outDb(out);
        ASSERT_EQ(outDb->saveAs(dir.win("c.dwg")), Acad::eOk);
        EXPECT_EQ(outDb->numOpenObjects(), 0);
    }
    // With the class back, the saved copies read as the real class with their fields.
    for (const char* name : {"b.dwg", "c.dwg"}) {
        AcDbDatabase db(false);
        ASSERT_EQ(db.readDwgFile(dir.win(name), _SH_DENYNO), Acad::eOk) << name;
        AcDbBlockTableRecord* ms = nullptr;
        ASSERT_EQ(acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForRead), Acad::eOk);
        std::vector<AcDbObjectId> ents = ms->entityIds();
        ms->close();
        const VkTestGadget* found = nullptr;
        for (AcDbObjectId e : ents) {
            AcDbObjectPointer<VkTestGadget> g(e, AcDb::kForRead);
            if (!g) continue;
            found = g.object();
            EXPECT_EQ(g->count, 7);
            EXPECT_EQ(g->label, CString(u"阀门"));
            EXPECT_EQ(g->layer(), CString(u"Valves"));
            AcDbObjectPointer<AcDbLine> partner(g->partner, AcDb::kForRead);
            ASSERT_TRUE(partner) << name;
            EXPECT_EQ(partner->endPoint(), AcGePoint3d(2, 0, 0));
        }
        EXPECT_NE(found, nullptr) << name;
    }
}

TEST(DrawingFileProxies, AProxyChainThatGivesAKnownClassAnotherParentKeepsItsOwnChain)
{
    // The chain names AcDbCurve, but above a class that is no entity: the file must keep
    // both AcDbCurves apart, or the proxy would read back as an entity.
    ScratchDir dir;
    AcDbDatabase db;
    addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    auto* odd = new AcDbProxyObject;
    std::string payload;
    vkdwg::DwgOutFiler filer(payload, &db);
    filer.writeInt32(7);
    ASSERT_TRUE(odd->content().setPayload(payload));
    const std::vector<CString> chain = {u"VkOdd", u"AcDbCurve", u"VkNotAnEntity", u"AcDbObject", u"AcRxObject"};
    odd->content().classChain = chain;
    AcDbObjectId id;
    ASSERT_EQ(db.addAcDbObject(id, odd), Acad::eOk);
    odd->close();
    ASSERT_EQ(db.saveAs(dir.win("a.dwg"), false), Acad::eOk);

    AcDbDatabase back(false);
    ASSERT_EQ(back.readDwgFile(dir.win("a.dwg"), _SH_DENYNO), Acad::eOk);
    AcDbObjectId again;
    ASSERT_EQ(back.getAcDbObjectId(again, false, id.handle()), Acad::eOk);
    AcDbObjectPointer<AcDbProxyObject> proxy(again, AcDb::kForRead);
    ASSERT_EQ(proxy.openStatus(), Acad::eOk);
    EXPECT_EQ(proxy->content().classChain, chain);
    EXPECT_EQ(proxy->content().payload, payload);
}
