// The per-entity decision, one entity kind at a time: a twelve-sided room (one side an arc)
// and 512 entities of the kind spread over and around it, each judged through
// CManageStdRoom::EntityIsInPolyline as the selection calls it (both objects opened per call),
// beside the earlier code (bench/module/EntityIsInPolylineReference.h).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "host/db/AcDb.h"
#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"
#include "bench/module/EntityIsInPolylineReference.h"

namespace {

constexpr int kEntities = 512;

enum Kind { kPipe, kWall, kNode, kFitting, kEquipment, kSprinkler, kBand, kBlockRef, kCircle, kKinds };

struct Room {
    std::unique_ptr<AcDbDatabase> db;
    AcDbObjectId boundary;
    std::vector<AcDbObjectId> entities;
};

AcDbObjectId appendTo(AcDbDatabase* db, AcDbEntity* ent, const char16_t* layer)
{
    AcDbBlockTableRecord* ms = nullptr;
    acdbOpenObject(ms, db->modelSpaceId(), AcDb::kForWrite);
    ent->setLayer(layer);
    AcDbObjectId id;
    ms->appendAcDbEntity(id, ent);
    ent->close();
    ms->close();
    return id;
}

Room& room(Kind kind)
{
    static std::unique_ptr<Room> rooms[kKinds];
    std::unique_ptr<Room>& r = rooms[kind];
    if (!r) {
        r = std::make_unique<Room>();
        r->db = std::make_unique<AcDbDatabase>();
        acdbEnsureLayer(r->db.get(), u"VK_建筑_SYS_墙", true);
        acdbEnsureLayer(r->db.get(), u"给排水", true);
        auto* outline = new AcDbVkRoom;
        for (int i = 0; i < 12; ++i) {
            const double a = 2 * M_PI * i / 12;
            outline->addVertexAt(i, AcGePoint2d(80 * std::cos(a), 80 * std::sin(a)), i == 3 ? 0.3 : 0.0);
        }
        outline->setClosed(true);
        r->boundary = appendTo(r->db.get(), outline, u"VK_建筑_SYS_墙");
        AcDbObjectId column;
        if (kind == kBlockRef) {
            AcDbBlockTable* bt = nullptr;
            r->db->getBlockTable(bt, AcDb::kForWrite);
            auto* rec = new AcDbBlockTableRecord;
            rec->setName(u"COLUMN");
            bt->add(column, rec);
            auto* inner = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(5, 0, 0));
            rec->appendAcDbEntity(inner);
            inner->close();
            rec->close();
            bt->close();
        }
        std::mt19937 rng(9);
        std::uniform_real_distribution<double> coord(-100, 100), len(-6, 6);
        for (int i = 0; i < kEntities; ++i) {
            const AcGePoint3d p(coord(rng), coord(rng), 0), q(p.x + len(rng), p.y + len(rng), 0);
            if (kind == kPipe) {
                auto* pipe = new VkQsPipe(p, q);
                pipe->SetSmallTypeNamePath(u"给排水\\管道");
                r->entities.push_back(appendTo(r->db.get(), pipe, u"给排水"));
            } else if (kind == kWall) {
                r->entities.push_back(appendTo(r->db.get(), new AcDbLine(p, q), u"VK_建筑_SYS_墙"));
            } else if (kind == kBlockRef) {
                r->entities.push_back(appendTo(r->db.get(), new AcDbBlockReference(p, column), u"VK_建筑_SYS_墙"));
            } else if (kind == kCircle) {
                r->entities.push_back(appendTo(r->db.get(), new AcDbCircle(p, std::fabs(len(rng))), u"VK_建筑_SYS_墙"));
            } else {
                VkQsEntity* comp = nullptr;
                switch (kind) {
                case kNode: comp = new VkQsNode(p); break;
                case kFitting: comp = new VkQsPipeFitting(p); break;
                case kEquipment: comp = new VkQsElementComponent(VkQsCore::Product{u"泵", p, 0, 6, 4}); break;
                case kSprinkler: comp = new VkQsSprinkler(VkQsCommon::Placement3D(p, AcGeVector3d::kXAxis)); break;
                default: comp = new VkQsDlpEnt(p, q, 2); break;
                }
                comp->SetSmallTypeNamePath(u"给排水\\阀门");
                r->entities.push_back(appendTo(r->db.get(), comp, u"给排水"));
            }
        }
    }
    acdbHostApplicationServices()->setWorkingDatabase(r->db.get());
    return *r;
}

const char* label(int kind)
{
    static const char* labels[kKinds] = {"pipe (its chord)",  "wall line",        "node (its point)",
                                         "fitting (its point)", "equipment (its point)", "sprinkler (its point)",
                                         "band (its extents)", "block reference (its point)", "circle (its extents)"};
    return labels[kind];
}

template <bool (*Decide)(AcDbObjectId&, AcDbObjectId&, std::bitset<6>&, bool)>
void decideEach(benchmark::State& state)
{
    Room& r = room(Kind(state.range(0)));
    std::bitset<6> filter;
    filter.set();
    size_t i = 0, inside = 0;
    for (auto _ : state) {
        inside += Decide(r.boundary, r.entities[i % kEntities], filter, true);
        ++i;
    }
    benchmark::DoNotOptimize(inside);
    state.SetLabel(label(int(state.range(0))));
    state.SetItemsProcessed(state.iterations());
}

void BM_EntityIsInPolyline(benchmark::State& state) { decideEach<&CManageStdRoom::EntityIsInPolyline>(state); }
BENCHMARK(BM_EntityIsInPolyline)->ArgName("kind")->DenseRange(0, kKinds - 1);

void BM_EntityIsInPolylineReference(benchmark::State& state) { decideEach<&vkref::EntityIsInPolyline>(state); }
BENCHMARK(BM_EntityIsInPolylineReference)->ArgName("kind")->DenseRange(0, kKinds - 1);

}  // namespace
