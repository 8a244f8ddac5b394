// The host's drafting commands: LINE, PLINE (with arcs), CIRCLE, TEXT, and ROTATE, MIRROR,
// SCALE of a selection. New entities go onto the current layer (CLAYER) of the current space;
// every change is made through the ordinary open and close of the entities it touches.
#include <cmath>
#include <string>
#include <vector>

#include "apps/vkcad/HostCommands.h"
#include "host/db/AcDb.h"
#include "host/db/AcDbDraftingEntities.h"
#include "host/ed/AcEd.h"
#include "host/ed/AcEdInput.h"
#include "host/ed/SystemVariables.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/ge/AcGePlane.h"
#include "host/ge/DrawingReach.h"

namespace vkcad {
namespace {

using namespace vked::txt;
constexpr double kPi = 3.14159265358979323846;

// Values the last use of a command left, offered as defaults the next time.
double g_radius = 100;
double g_textHeight = 300;
double g_textRotation = 0;  // radians

AcGePoint3d ToPoint(const ads_point p) { return AcGePoint3d(p[0], p[1], p[2]); }

CString Number(double v)
{
    CString s;
    s.Format(u"%g", v);
    return s;
}

// The current layer when the drawing has it, else "0".
CString CurrentLayer(AcDbDatabase* db)
{
    resbuf rb;
    CString name = u"0";
    if (acedGetVar(u"CLAYER", &rb) == RTNORM && rb.restype == RTSTR) {
        name = rb.resval.rstring;
        acutDelString(rb.resval.rstring);
    }
    AcDbLayerTable* layers = nullptr;
    if (db->getLayerTable(layers, AcDb::kForRead) != Acad::eOk) return u"0";
    const bool has = layers->has(name.GetString());
    layers->close();
    return has ? name : CString(u"0");
}

// Appends a new entity to the current space on the current layer; its id, or null (the
// entity deleted and the failure said).
AcDbObjectId Append(AcDbEntity* ent)
{
    AcDbDatabase* db = acdbCurDwg();
    ent->setLayer(CurrentLayer(db).GetString());
    AcDbBlockTableRecord* space = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(space, db->currentSpaceId(), AcDb::kForWrite);
    AcDbObjectId id;
    if (es == Acad::eOk) {
        es = space->appendAcDbEntity(id, ent);
        space->close();
    }
    if (es != Acad::eOk) {
        delete ent;
        Fail(vked::FormatText(kCannotDraw, acadErrorStatusDescription(es).GetString()));
        return AcDbObjectId();
    }
    ent->close();
    return id;
}

void EraseEntity(const AcDbObjectId& id)
{
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) return;
    ent->erase();
    ent->close();
}

// A point a drawing can hold, or the refusal said (and the prompt asked again).
int AskPoint(const ads_point base, vked::txt::Id prompt, const char16_t* keywords, AcGePoint3d& out)
{
    for (;;) {
        if (keywords) acedInitGet(0, keywords);
        ads_point p;
        const int rc = acedGetPoint(base, vked::Text(prompt), p);
        if (rc != RTNORM) return rc;
        out = ToPoint(p);
        if (vkge::DrawingCanHold(out)) return RTNORM;
        Fail(vked::Text(kBeyondReach));
    }
}

CString LastKeyword()
{
    char16_t kw[64] = {};
    acedGetInput(kw, 64);
    return kw;
}

// LINE: one line per segment, drawn as each point is given; Undo takes the last back, Close
// joins the first point and ends, Enter ends.
void CmdLine()
{
    AcGePoint3d first;
    if (AskPoint(nullptr, kFirstPoint, nullptr, first) != RTNORM) return;
    std::vector<AcGePoint3d> points{first};
    std::vector<AcDbObjectId> lines;
    for (;;) {
        ads_point base = {points.back().x, points.back().y, points.back().z};
        AcGePoint3d next;
        const int rc = AskPoint(base, kNextPointLine, u"Close Undo", next);
        if (rc == RTKWORD) {
            const CString kw = LastKeyword();
            if (kw == u"Undo") {
                if (lines.empty()) {
                    Say(vked::Text(kNothingToUndo));
                    continue;
                }
                EraseEntity(lines.back());
                lines.pop_back();
                points.pop_back();
                continue;
            }
            if (lines.size() < 2) {
                Say(vked::Text(kTooFewForClose));
                continue;
            }
            Append(new AcDbLine(points.back(), points.front()));
            return;
        }
        if (rc != RTNORM) return;
        if (next.isEqualTo(points.back())) {
            Say(vked::Text(kSamePoint));
            continue;
        }
        const AcDbObjectId id = Append(new AcDbLine(points.back(), next));
        if (id.isNull()) return;
        lines.push_back(id);
        points.push_back(next);
    }
}

// A vertex of a polyline being drawn: the bulge of the segment that starts there, and the
// direction the outline has on arriving there.
struct PlineVertex {
    AcGePoint3d pt;
    double bulge = 0;
    AcGeVector3d direction = AcGeVector3d::kXAxis;
};

// The bulge of the arc from `from` to `to` that leaves `from` along `tangent`, and the direction
// it arrives in.
double TangentArcBulge(const AcGePoint3d& from, const AcGeVector3d& tangent, const AcGePoint3d& to,
                       AcGeVector3d& arrival)
{
    const AcGeVector3d chord = to - from;
    const double half = std::atan2(tangent.x * chord.y - tangent.y * chord.x, tangent.x * chord.x + tangent.y * chord.y);
    const double c = std::cos(2 * half), s = std::sin(2 * half);
    arrival = AcGeVector3d(tangent.x * c - tangent.y * s, tangent.x * s + tangent.y * c, 0);
    return std::tan(half / 2);
}

// PLINE: one polyline of straight and arc segments (each arc tangent to what comes before
// it); Close closes it, Enter ends it, Undo takes the last vertex back.
void CmdPline()
{
    AcGePoint3d start;
    if (AskPoint(nullptr, kStartPoint, nullptr, start) != RTNORM) return;
    std::vector<PlineVertex> verts{{start, 0, AcGeVector3d::kXAxis}};
    bool arcs = false, closed = false;
    for (;;) {
        const PlineVertex& last = verts.back();
        ads_point base = {last.pt.x, last.pt.y, last.pt.z};
        AcGePoint3d next;
        const int rc = arcs ? AskPoint(base, kArcEndPoint, u"Line Close Undo", next)
                            : AskPoint(base, kNextPointPline, u"Arc Close Undo", next);
        if (rc == RTKWORD) {
            const CString kw = LastKeyword();
            if (kw == u"Arc" || kw == u"Line") {
                arcs = kw == u"Arc";
            } else if (kw == u"Undo") {
                if (verts.size() == 1) {
                    Say(vked::Text(kNothingToUndo));
                } else {
                    verts.pop_back();
                    verts.back().bulge = 0;
                }
            } else if (verts.size() < 3) {
                Say(vked::Text(kTooFewForClose));
            } else {
                AcGeVector3d arrival;
                if (arcs) verts.back().bulge = TangentArcBulge(verts.back().pt, verts.back().direction, start, arrival);
                closed = true;
                break;
            }
            continue;
        }
        if (rc != RTNORM) break;
        if (next.isEqualTo(last.pt)) {
            Say(vked::Text(kSamePoint));
            continue;
        }
        PlineVertex v{next, 0, (next - last.pt).normal()};
        if (arcs) verts.back().bulge = TangentArcBulge(last.pt, last.direction, next, v.direction);
        verts.push_back(v);
    }
    if (verts.size() < 2) return;
    auto* pline = new AcDbPolyline(static_cast<unsigned>(verts.size()));
    for (unsigned i = 0; i < verts.size(); ++i)
        pline->addVertexAt(i, AcGePoint2d(verts[i].pt.x, verts[i].pt.y), verts[i].bulge);
    pline->setClosed(closed);
    pline->setElevation(start.z);
    Append(pline);
}

void CmdCircle()
{
    AcGePoint3d center;
    if (AskPoint(nullptr, kCenterPoint, nullptr, center) != RTNORM) return;
    ads_point base = {center.x, center.y, center.z};
    double r = g_radius;
    acedInitGet(RSG_NOZERO | RSG_NONEG);
    const int rc = acedGetDist(base, vked::FormatText(kRadius, Number(g_radius).GetString()).GetString(), &r);
    if (rc != RTNORM && rc != RTNONE) return;
    if (!vkge::DrawingCanHold(center.x + r)) {
        Fail(vked::Text(kBeyondReach));
        return;
    }
    g_radius = r;
    Append(new AcDbCircle(center, r));
}

void CmdText()
{
    AcGePoint3d at;
    if (AskPoint(nullptr, kTextStart, nullptr, at) != RTNORM) return;
    double height = g_textHeight, rotation = g_textRotation;
    acedInitGet(RSG_NOZERO | RSG_NONEG);
    int rc = acedGetReal(vked::FormatText(kTextHeight, Number(g_textHeight).GetString()).GetString(), &height);
    if (rc != RTNORM && rc != RTNONE) return;
    ads_point base = {at.x, at.y, at.z};
    rc = acedGetAngle(base, vked::FormatText(kTextRotation, Number(g_textRotation * 180 / kPi).GetString()).GetString(),
                      &rotation);
    if (rc != RTNORM && rc != RTNONE) return;
    char16_t buf[1024] = {};
    if (acedGetString(1, vked::Text(kTextPrompt), buf, 1024) != RTNORM || buf[0] == 0) return;
    g_textHeight = height;
    g_textRotation = rotation;
    Append(new AcDbText(at, buf, height, rotation));
}

// Applies xform to each entity; those it cannot change are said.
void TransformAll(const std::vector<AcDbObjectId>& ids, const AcGeMatrix3d& xform)
{
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        const Acad::ErrorStatus es = ent->transformBy(xform);
        if (es != Acad::eOk)
            Fail(vked::FormatText(kCannotMove, CString(ent->handle().text()).GetString(),
                                  acadErrorStatusDescription(es).GetString()));
        ent->close();
    }
}

void CmdRotate()
{
    const std::vector<AcDbObjectId> ids = AskSelectionToChange();
    if (ids.empty()) return;
    AcGePoint3d base;
    if (AskPoint(nullptr, kBasePoint, nullptr, base) != RTNORM) return;
    ads_point b = {base.x, base.y, base.z};
    double angle = 0;
    if (acedGetAngle(b, vked::Text(kRotationAngle), &angle) != RTNORM) return;
    TransformAll(ids, AcGeMatrix3d::rotation(angle, AcGeVector3d::kZAxis, base));
}

void CmdScale()
{
    const std::vector<AcDbObjectId> ids = AskSelectionToChange();
    if (ids.empty()) return;
    AcGePoint3d base;
    if (AskPoint(nullptr, kBasePoint, nullptr, base) != RTNORM) return;
    double factor = 1;
    acedInitGet(RSG_NONULL | RSG_NOZERO | RSG_NONEG);
    if (acedGetReal(vked::Text(kScaleFactor), &factor) != RTNORM) return;
    TransformAll(ids, AcGeMatrix3d::scaling(factor, base));
}

// MIRROR: mirrored copies across a line through two points; the sources stay unless the
// answer is Yes.
void CmdMirror()
{
    const std::vector<AcDbObjectId> ids = AskSelectionToChange();
    if (ids.empty()) return;
    AcGePoint3d a, b;
    if (AskPoint(nullptr, kMirrorFirst, nullptr, a) != RTNORM) return;
    ads_point first = {a.x, a.y, a.z};
    for (;;) {
        if (AskPoint(first, kMirrorSecond, nullptr, b) != RTNORM) return;
        if (!b.isEqualTo(a)) break;
        Say(vked::Text(kSamePoint));
    }
    char16_t answer[16] = {};
    acedInitGet(0, u"Yes No");
    const int rc = acedGetKword(vked::Text(kMirrorErase), answer, 16);
    if (rc != RTNORM && rc != RTNONE) return;
    const bool eraseSources = rc == RTNORM && CString(answer) == u"Yes";
    const AcGeVector3d along = (b - a).normal();
    const AcGeMatrix3d xform = AcGeMatrix3d::mirroring(AcGePlane(a, along.crossProduct(AcGeVector3d::kZAxis)));
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        AcDbEntity* copy = AcDbEntity::cast(ent->clone());
        ent->close();
        if (!copy) continue;
        if (copy->transformBy(xform) != Acad::eOk) {
            delete copy;
            continue;
        }
        AcDbBlockTableRecord* space = nullptr;
        Acad::ErrorStatus es = acdbOpenObject(space, acdbCurDwg()->currentSpaceId(), AcDb::kForWrite);
        if (es == Acad::eOk) {
            es = space->appendAcDbEntity(copy);
            space->close();
        }
        if (es != Acad::eOk) {
            delete copy;
            Fail(vked::FormatText(kCannotCopy, acadErrorStatusDescription(es).GetString()));
            continue;
        }
        copy->close();
        if (eraseSources) EraseEntity(id);
    }
}

}  // namespace

void RegisterDraftingCommands()
{
    const HostCommandSpec commands[] = {
        {u"LINE", CmdLine, ACRX_CMD_MODAL, u"Draws straight lines, one per segment.", u"绘制直线，每段一条。",
         {kFirstPoint, kNextPointLine}},
        {u"PLINE", CmdPline, ACRX_CMD_MODAL, u"Draws a polyline of straight and arc segments.",
         u"绘制由直线段和圆弧段组成的多段线。", {kStartPoint, kNextPointPline, kArcEndPoint}},
        {u"CIRCLE", CmdCircle, ACRX_CMD_MODAL, u"Draws a circle by its center and radius.", u"按圆心和半径绘制圆。",
         {kCenterPoint, kRadius}},
        {u"TEXT", CmdText, ACRX_CMD_MODAL, u"Writes a line of text.", u"书写单行文字。",
         {kTextStart, kTextHeight, kTextRotation, kTextPrompt}},
        {u"ROTATE", CmdRotate, ACRX_CMD_MODAL, u"Turns objects about a base point.", u"绕基点旋转对象。",
         {kSelectObjects, kBasePoint, kRotationAngle}},
        {u"MIRROR", CmdMirror, ACRX_CMD_MODAL, u"Mirrors objects across a line.", u"沿直线镜像对象。",
         {kSelectObjects, kMirrorFirst, kMirrorSecond, kMirrorErase}},
        {u"SCALE", CmdScale, ACRX_CMD_MODAL, u"Scales objects about a base point.", u"以基点缩放对象。",
         {kSelectObjects, kBasePoint, kScaleFactor}},
    };
    for (const HostCommandSpec& c : commands) AddHostCommand(c);
}

}  // namespace vkcad
