// The per-entity decision: does an entity belong to the region inside a boundary?
#include <string_view>
#include <type_traits>

#include "module/frame/CManageStdRoom.h"
#include "module/interfaces/SelectionInterfaces.h"
#include "module/selection/CurveInPolyline.h"

namespace {

constexpr double kTol = 1.0;
constexpr double kShortestChord = 0.0001;
constexpr std::u16string_view kArchitecturalLayerPrefix = u"VK_建筑_SYS";
// Discipline words in filter bit order, from bit 1.
constexpr std::u16string_view kDisciplines[] = {u"给排水", u"电气", u"暖通", u"消防", u"弱电"};

bool startsWith(const CString& text, std::u16string_view word)
{
    return std::u16string_view(text.GetString(), text.GetLength()).starts_with(word);
}

bool codeCountsInside(int code)
{
    return code == 0 || code == 1 || code == 4 || code == 5;
}

bool pointInside(AcDbPolyline* boundary, const AcGePoint3d& p)
{
    return VKToolKit::IsPtInPolyline(boundary, p, kTol) >= 0;
}

bool chordInside(AcDbPolyline* boundary, const AcGePoint3d& s, const AcGePoint3d& e)
{
    // As IsCurveInPolyline judges a temporary line from s to e (made only if its offsets are needed).
    return codeCountsInside(CurveInPolylineCode(boundary, s, e, kTol, nullptr));
}

void extentsCorners(const AcDbEntity* ent, AcGePoint3d& s, AcGePoint3d& e)
{
    AcDbExtents ext;
    ent->getGeomExtents(ext);
    s = ext.minPoint();
    e = ext.maxPoint();
}

void curveEnds(const AcDbCurve* curve, AcGePoint3d& s, AcGePoint3d& e)
{
    curve->getStartPoint(s);
    curve->getEndPoint(e);
}

AcGePoint3d flattened(AcGePoint3d p)
{
    p.z = 0;
    return p;
}

bool architecturalInside(AcDbPolyline* boundary, const AcDbEntity* ent)
{
    if (const AcDbBlockReference* ref = AcDbBlockReference::cast(ent)) return pointInside(boundary, ref->position());
    AcGePoint3d s, e;
    if (const AcDbCurve* curve = AcDbCurve::cast(ent))
        curveEnds(curve, s, e);
    else
        extentsCorners(ent, s, e);
    s.z = e.z;
    return chordInside(boundary, s, e);
}

bool passesDisciplineFilter(const VkQsEntity* comp, const std::bitset<6>& filter)
{
    const CString& path = comp->GetSmallTypeNamePath();
    for (size_t i = 0; i < std::size(kDisciplines); ++i)
        if (startsWith(path, kDisciplines[i]) && !filter.test(i + 1)) return false;
    return true;
}

// An object as class T when its class (asked once: cls) derives from T, else null. The decision
// asks several classes of one entity; this saves asking the entity its class each time.
template <class T>
const T* as(const AcDbObject* obj, const AcRxClass* cls)
{
    return cls->isDerivedFrom(T::desc()) ? static_cast<const T*>(obj) : nullptr;
}

// The reference point of a point-like component; false for other kinds.
bool referencePoint(const VkQsEntity* comp, const AcRxClass* cls, AcGePoint3d& p)
{
    if (const VkQsNode* node = as<VkQsNode>(comp, cls))
        p = node->GetInsertPoint();
    else if (const VkQsFittingBase* fitting = as<VkQsFittingBase>(comp, cls))
        p = fitting->position();
    else if (const VkQsElementComponent* element = as<VkQsElementComponent>(comp, cls))
        p = VkQsCore::GetProductLocation(element->GetProduct());
    else if (const VkQsNodeEntPrototype* proto = as<VkQsNodeEntPrototype>(comp, cls))
        p = proto->GetPlacement().GetLocation();
    else
        return false;
    return true;
}

static_assert(std::is_base_of_v<VkQsPipe, VkQsMainPipe> && std::is_base_of_v<VkQsPipe, VkQsMainLeadCon>,
              "componentInside asks the main-line cross-cast of pipes only");

bool componentInside(AcDbPolyline* boundary, const AcDbEntity* ent, const std::bitset<6>& filter)
{
    const AcRxClass* cls = ent->isA();
    const VkQsEntity* comp = as<VkQsEntity>(ent, cls);
    if (!comp) return false;
    if (!passesDisciplineFilter(comp, filter)) return false;
    if (isKPYX(comp)) return false;
    // Main lines are pipes (VkQsMainPipe, VkQsMainLeadCon): the costly cross-cast is asked of pipes only.
    if (as<VkQsPipe>(comp, cls) && VkQsMainLine::vk_cast(comp) && !as<VkQsMainLeadCon>(comp, cls)) return false;

    AcGePoint3d ref;
    if (referencePoint(comp, cls, ref)) return pointInside(boundary, flattened(ref));

    AcGePoint3d s, e;
    if (as<VkQsDlpEnt>(comp, cls))
        extentsCorners(comp, s, e);
    else
        curveEnds(comp, s, e);
    s = flattened(s);
    e = flattened(e);
    if (s.distanceTo(e) < kShortestChord) e = s + AcGeVector3d(kShortestChord, 0, 0);
    return chordInside(boundary, s, e);
}

static_assert(std::is_base_of_v<AcDbPolyline, AcDbVkRoom> && std::is_base_of_v<AcDbPolyline, AcDbVkConstrucSegment>,
              "a boundary is a polyline");

// The boundary as a polyline when it is one of the two boundary kinds, else null.
AcDbPolyline* asBoundary(AcDbObject* obj)
{
    const AcRxClass* cls = obj->isA();
    const bool boundary = cls->isDerivedFrom(AcDbVkRoom::desc()) || cls->isDerivedFrom(AcDbVkConstrucSegment::desc());
    return boundary ? static_cast<AcDbPolyline*>(obj) : nullptr;
}

}  // namespace

bool CManageStdRoom::EntityIsInPolyline(AcDbObjectId& boundaryId, AcDbObjectId& entityId,
                                        std::bitset<6>& filter, bool /*flag*/)
{
    AcDbObjectPointer<AcDbObject> boundaryObj(boundaryId, AcDb::kForRead);
    AcDbPolyline* boundary = boundaryObj ? asBoundary(boundaryObj.object()) : nullptr;
    if (!boundary) return false;
    AcDbObjectPointer<AcDbEntity> ent(entityId, AcDb::kForRead);
    if (!ent) return false;
    const bool architectural = startsWith(ent->layer(), kArchitecturalLayerPrefix) && filter.test(0);
    return architectural ? architecturalInside(boundary, ent.object()) : componentInside(boundary, ent.object(), filter);
}
