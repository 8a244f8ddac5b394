#include "tests/host/dxf/DxfTestSupport.h"

#include <cmath>
#include <cstdio>

namespace dxftest {

namespace {

std::string Num(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6f", std::abs(v) < 5e-7 ? 0.0 : v);
    return buf;
}

std::string Pt(const AcGePoint3d& p) { return "(" + Num(p.x) + "," + Num(p.y) + "," + Num(p.z) + ")"; }

std::string BlockName(AcDbObjectId id)
{
    AcDbBlockTableRecord* rec = nullptr;
    if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk) return "?";
    CString name;
    rec->getName(name);
    const bool layout = rec->isLayout();
    rec->close();
    // Exported anonymous names come back with "_" for "*".
    if (name.GetLength() > 0 && name[0] == u'*' && !layout) name.SetAt(0, u'_');
    return name.ToUtf8();
}

std::string Line(const AcDbEntity* e)
{
    std::string s = CString(e->isA()->name()).ToUtf8() + " " + e->layer().ToUtf8() + " " + std::to_string(e->colorIndex());
    if (auto* l = AcDbLine::cast(e)) return s + " " + Pt(l->startPoint()) + Pt(l->endPoint());
    if (auto* a = AcDbArc::cast(e))
        return s + " " + Pt(a->center()) + " r" + Num(a->radius()) + " " + Num(a->startAngle()) + " " + Num(a->endAngle());
    if (auto* c = AcDbCircle::cast(e)) return s + " " + Pt(c->center()) + " r" + Num(c->radius());
    if (auto* p = AcDbPoint::cast(e)) return s + " " + Pt(p->position());
    if (auto* t = AcDbText::cast(e))
        return s + " \"" + t->textString().ToUtf8() + "\" " + Pt(t->position()) + " h" + Num(t->height()) + " a" +
               Num(t->rotation()) + " m" + std::to_string(t->horizontalMode()) + std::to_string(t->verticalMode());
    if (auto* t = AcDbMText::cast(e))
        return s + " \"" + t->contents().ToUtf8() + "\" " + Pt(t->location()) + " h" + Num(t->textHeight()) + " a" +
               Num(t->rotation()) + " m" + std::to_string(t->attachment());
    if (auto* pl = AcDbPolyline::cast(e)) {
        s += pl->isClosed() ? " closed" : " open";
        for (unsigned i = 0; i < pl->numVerts(); ++i) {
            AcGePoint2d p;
            double b = 0, sw = 0, ew = 0;
            pl->getPointAt(i, p);
            pl->getBulgeAt(i, b);
            pl->getWidthsAt(i, sw, ew);
            s += " [" + Num(p.x) + "," + Num(p.y) + "," + Num(b) + "," + Num(std::max(sw, 0.0)) + "," +
                 Num(std::max(ew, 0.0)) + "]";
        }
        return s;
    }
    if (auto* r = AcDbBlockReference::cast(e)) {
        const AcGeMatrix3d m = r->blockTransform();
        s += " " + BlockName(r->blockTableRecord());
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 4; ++j) s += " " + Num(m(i, j));
        return s;
    }
    return s;
}

}  // namespace

std::map<std::string, std::vector<std::string>> Describe(AcDbDatabase& db)
{
    std::map<std::string, std::vector<std::string>> out;
    AcDbBlockTable* table = nullptr;
    if (db.getBlockTable(table, AcDb::kForRead) != Acad::eOk) return out;
    for (AcDbObjectId bid : table->recordIds()) {
        AcDbBlockTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, bid, AcDb::kForRead) != Acad::eOk) continue;
        const std::vector<AcDbObjectId> ids = rec->entityIds();
        const bool paper = rec->isLayout() && bid != db.modelSpaceId();
        const std::string origin = Pt(rec->origin());
        rec->close();
        if (paper) continue;
        std::vector<std::string>& lines = out[BlockName(bid)];
        lines.push_back("origin " + origin);
        for (AcDbObjectId id : ids) {
            AcDbEntity* e = nullptr;
            if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk) continue;
            lines.push_back(Line(e));
            e->close();
        }
    }
    table->close();
    AcDbLayerTable* layers = nullptr;
    if (db.getLayerTable(layers, AcDb::kForRead) != Acad::eOk) return out;
    for (AcDbObjectId id : layers->recordIds()) {
        AcDbLayerTableRecord* l = nullptr;
        if (acdbOpenObject(l, id, AcDb::kForRead) != Acad::eOk) continue;
        CString name;
        l->getName(name);
        out["layers"].push_back(name.ToUtf8() + " c" + std::to_string(l->colorIndex()) + (l->isOff() ? " off" : "") +
                                (l->isFrozen() ? " frozen" : "") + (l->isLocked() ? " locked" : ""));
        l->close();
    }
    layers->close();
    return out;
}

std::map<std::string, int> CountByClass(AcDbDatabase& db)
{
    std::map<std::string, int> counts;
    for (const auto& [block, lines] : Describe(db)) {
        if (block == "layers") continue;
        for (const std::string& l : lines)
            if (l.rfind("origin ", 0) != 0) ++counts[l.substr(0, l.find(' '))];
    }
    return counts;
}

}  // namespace dxftest
