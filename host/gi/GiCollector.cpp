// Collecting the world drawing of entities as primitives in world coordinates.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/db/AcDb.h"
#include "host/db/AcDbSpatialIndex.h"
#include "host/gi/GiPicture.h"

namespace vkgi {

namespace {

AcGeVector3d perpendicular(const AcGeVector3d& n)
{
    return std::abs(n.z) > 0.9 ? AcGeVector3d(1, 0, 0) : AcGeVector3d(0, 0, 1).crossProduct(n);
}

AcGeVector3d unit(const AcGeVector3d& v, const AcGeVector3d& fallback)
{
    const double len = v.length();
    return len > 0 ? v * (1 / len) : fallback;
}

}  // namespace

Collector::Collector(std::vector<Primitive>& out, AcDbDatabase* db, bool hideLayers)
    : m_out(out), m_hideLayers(hideLayers)
{
    Level top;
    top.layer = u"0";
    m_stack.push_back(std::move(top));
    AcDbLayerTable* table = nullptr;
    if (!db || db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return;
    for (AcDbObjectId id : table->recordIds()) {
        AcDbLayerTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk) continue;
        CString name;
        rec->getName(name);
        m_layers.push_back({name, {rec->colorIndex(), rec->isOff() || rec->isFrozen(), rec->linetype(), rec->lineWeight()}});
        rec->close();
    }
    table->close();
    AcDbLinetypeTable* linetypes = nullptr;
    if (db->getLinetypeTable(linetypes, AcDb::kForRead) != Acad::eOk) return;
    for (AcDbObjectId id : linetypes->recordIds()) {
        AcDbLinetypeTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk) continue;
        CString name;
        rec->getName(name);
        if (rec->patternLength() > 0) m_linetypes[name.MakeUpper()] = std::make_shared<const std::vector<double>>(rec->dashes());
        rec->close();
    }
    linetypes->close();
}

Collector::LayerInfo Collector::layerInfo(const CString& name) const
{
    // Entity after entity asks for the same few layers: the last answer first.
    if (m_lastLayer < m_layers.size() && m_layers[m_lastLayer].first == name) return m_layers[m_lastLayer].second;
    for (size_t i = 0; i < m_layers.size(); ++i)
        if (m_layers[i].first.CompareNoCase(name) == 0) {
            m_lastLayer = i;
            return m_layers[i].second;
        }
    return {};
}

void Collector::draw(const AcDbEntity* ent)
{
    m_stack.resize(1);
    setLayer(ent->layer());
    setColor(ent->colorIndex());
    setLinetype(ent->linetype(), ent->linetypeScale());
    setLineWeight(ent->lineWeight());
    m_width = 0;
    m_entityStart = m_out.size();
    ent->worldDraw(this);
}

void Collector::setLayer(const CString& layer)
{
    m_layer = (m_stack.size() > 1 && layer == u"0") ? m_stack.back().layer : layer;
}

int Collector::resolvedColor() const
{
    int aci = m_color;
    if (aci == 0) aci = m_stack.back().color;
    if (aci == 256) aci = layerInfo(m_layer).color;
    return aci >= 1 && aci <= 255 ? aci : 7;
}

void Collector::setLinetype(const CString& name, double scale)
{
    m_linetype = name;
    m_linetypeScale = scale > 0 ? scale : 1;
}

void Collector::resolvedStyle(Dashes& dashes, double& dashScale, int& lineWeight) const
{
    const Level& top = m_stack.back();
    if (m_linetype.CompareNoCase(u"ByBlock") == 0) {
        dashes = top.dashes;
        dashScale = top.dashScale;
    } else {
        CString name = m_linetype.CompareNoCase(u"ByLayer") == 0 ? layerInfo(m_layer).linetype : m_linetype;
        auto it = m_linetypes.find(name.MakeUpper());
        dashes = it == m_linetypes.end() || name == u"CONTINUOUS" ? nullptr : it->second;
        dashScale = m_linetypeScale * scale();
    }
    lineWeight = m_lineWeight;
    if (lineWeight == AcDb::kLnWtByBlock) lineWeight = top.lineWeight;
    if (lineWeight == AcDb::kLnWtByLayer) lineWeight = layerInfo(m_layer).lineWeight;
    if (lineWeight < 0) lineWeight = 25;  // the default weight
}

void Collector::pushTransform(const AcGeMatrix3d& m)
{
    Level next;
    next.xform = m_stack.back().xform * m;
    next.layer = m_layer;
    next.color = resolvedColor();
    resolvedStyle(next.dashes, next.dashScale, next.lineWeight);
    m_stack.push_back(std::move(next));
}

void Collector::popTransform()
{
    if (m_stack.size() > 1) {
        m_layer = m_stack.back().layer;
        m_stack.pop_back();
    }
}

double Collector::scale() const { return (m_stack.back().xform * AcGeVector3d(1, 0, 0)).length(); }

bool Collector::add(Primitive p)
{
    if (m_hideLayers && layerInfo(m_layer).hidden) return false;
    p.color = resolvedColor();
    if (p.kind == Primitive::kPath) resolvedStyle(p.dashes, p.dashScale, p.lineWeight);
    // The segments of one wide polyline are one band, so that its corners join.
    if (p.kind == Primitive::kPath && p.width > 0 && p.points.size() > 1 && m_out.size() > m_entityStart) {
        Primitive& last = m_out.back();
        if (last.kind == Primitive::kPath && last.width == p.width && last.color == p.color &&
            last.dashes == p.dashes && last.points.back().isEqualTo(p.points.front())) {
            last.points.insert(last.points.end(), p.points.begin() + 1, p.points.end());
            return false;
        }
    }
    m_out.push_back(std::move(p));
    return false;  // false: keep drawing
}

bool Collector::polyline(int n, const AcGePoint3d* pts)
{
    Primitive p;
    for (int i = 0; i < n; ++i) p.points.push_back(world(pts[i]));
    p.width = m_width * scale();
    return add(std::move(p));
}

bool Collector::circle(const AcGePoint3d& c, double r, const AcGeVector3d& normal)
{
    return circularArc(c, r, normal, perpendicular(normal), 2 * std::numbers::pi);
}

bool Collector::circularArc(const AcGePoint3d& c, double r, const AcGeVector3d& normal, const AcGeVector3d& start,
                            double sweep)
{
    // More than a full turn draws the full circle (and nonsense draws nothing).
    if (!std::isfinite(sweep) || !std::isfinite(r)) return false;
    sweep = std::clamp(sweep, -2 * std::numbers::pi, 2 * std::numbers::pi);
    const AcGeVector3d n = unit(normal, AcGeVector3d(0, 0, 1));
    const AcGeVector3d u = unit(start, perpendicular(n));
    const AcGeVector3d v = n.crossProduct(u);
    const int steps = std::max(8, int(std::ceil(std::abs(sweep) / (2 * std::numbers::pi) * 96)));
    Primitive p;
    for (int i = 0; i <= steps; ++i) {
        const double a = sweep * i / steps;
        p.points.push_back(world(c + u * (r * std::cos(a)) + v * (r * std::sin(a))));
    }
    p.width = m_width * scale();
    return add(std::move(p));
}

bool Collector::text(const AcGePoint3d& pos, double height, const CString& t)
{
    return textAlong(pos, AcGeVector3d(1, 0, 0), height, t);
}

bool Collector::textAlong(const AcGePoint3d& pos, const AcGeVector3d& dir, double height, const CString& t)
{
    return alignedText(pos, dir, height, t, 0, 0, 5.0 / 3);
}

bool Collector::alignedText(const AcGePoint3d& pos, const AcGeVector3d& dir, double height, const CString& t,
                            int hMode, int vMode, double lineSpacing)
{
    Primitive p;
    p.hMode = hMode;
    p.vMode = vMode;
    p.lineSpacing = lineSpacing;
    p.kind = Primitive::kText;
    p.points.push_back(world(pos));
    p.direction = unit(m_stack.back().xform * dir, AcGeVector3d(1, 0, 0));
    p.direction.z = 0;
    p.direction = unit(p.direction, AcGeVector3d(1, 0, 0));
    p.height = height * scale();
    p.text = t;
    return add(std::move(p));
}

bool Collector::polygon(int n, const AcGePoint3d* pts)
{
    return polyPolygon(1, &n, pts);
}

bool Collector::polyPolygon(int numLoops, const int* loopSizes, const AcGePoint3d* pts)
{
    Primitive p;
    p.kind = Primitive::kFill;
    for (int i = 0; i < numLoops; ++i) {
        if (loopSizes[i] < 1) continue;
        for (int k = 0; k < loopSizes[i]; ++k) p.points.push_back(world(pts[k]));
        p.loops.push_back(loopSizes[i]);
        pts += loopSizes[i];
    }
    if (p.loops.empty()) return false;
    return add(std::move(p));
}

void CollectEntities(const AcDbObjectIdArray& ids, std::vector<Primitive>& out)
{
    if (ids.isEmpty()) return;
    Collector c(out, ids[0].database(), false);
    for (int i = 0; i < ids.length(); ++i) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, ids[i], AcDb::kForRead) != Acad::eOk) continue;
        c.draw(ent);
        ent->close();
    }
}

Acad::ErrorStatus CollectModelSpace(AcDbDatabase* db, std::vector<Primitive>& out,
                                    const std::function<void(const AcDbEntity* ent, size_t first)>& drawn)
{
    if (!db) return Acad::eNullObjectPointer;
    AcDbBlockTableRecord* ms = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(ms, db->modelSpaceId(), AcDb::kForRead);
    if (es != Acad::eOk) return es;
    const std::vector<AcDbObjectId> ids = ms->entityIds();
    ms->close();
    Collector c(out, db, true);
    for (AcDbObjectId id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        const size_t first = out.size();
        c.draw(ent);
        if (drawn) drawn(ent, first);
        ent->close();
    }
    return Acad::eOk;
}

Acad::ErrorStatus CollectModelSpaceWindow(AcDbDatabase* db, double x1, double y1, double x2, double y2,
                                          std::vector<Primitive>& out)
{
    if (!db) return Acad::eNullObjectPointer;
    AcDbObjectIdArray ids;
    const AcDbExtents window(AcGePoint3d(std::min(x1, x2), std::min(y1, y2), 0),
                             AcGePoint3d(std::max(x1, x2), std::max(y1, y2), 0));
    const Acad::ErrorStatus es = AcDbSpatialIndex::queryModelSpace(db, window, ids);
    if (es != Acad::eOk) return es;
    Collector c(out, db, true);
    for (int i = 0; i < ids.length(); ++i) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, ids[i], AcDb::kForRead) != Acad::eOk) continue;
        c.draw(ent);
        ent->close();
    }
    return Acad::eOk;
}

}  // namespace vkgi
