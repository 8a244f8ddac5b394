// ServicesDraw: the product's drawing commands for room boundaries and building-services
// components, standing in for its drawing modules. Each command makes the object library's
// real objects with their links (a valve and its pipe know each other, a fitting knows the
// pipes it joins), on the layer the object library gives each kind, and changes the drawing
// only through the ordinary open and close of the objects it touches, as one command.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <optional>
#include <vector>

#include "host/db/AcDb.h"
#include "host/ed/AcEd.h"
#include "host/ed/AcEdInput.h"
#include "host/ed/HostTexts.h"
#include "host/ed/Transcript.h"
#include "host/ge/DrawingReach.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "siblings/object/CObjectKind.h"
#include "siblings/object/VkQsElementComponent.h"
#include "siblings/object/VkQsFittingBase.h"
#include "siblings/object/VkQsMainLine.h"
#include "siblings/object/VkQsNode.h"
#include "siblings/object/VkQsNodeEntPrototype.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/object/VkQsPipeValve.h"
#include "siblings/region/AcDbVkRoom.h"
#include "siblings/services/AddToModelSpace.h"
#include "siblings/services/CVKQsLayer.h"

namespace {

constexpr const char16_t* kGroup = u"VKDRAW";
constexpr double kPi = 3.14159265358979323846;
// How far apart two points may be and still meet (drawing units).
constexpr double kMeetTolerance = 1.0;

// ---- Texts, in the session's language ------------------------------------------------------
struct Texts {
    const char16_t *roomName, *firstCorner, *nextCorner, *threeCorners, *typePath, *startPoint, *nextPoint,
        *selectPipe, *positionOnPipe, *position, *product, *angle, *firstPipe, *secondPipe, *thirdPipe, *noPipe,
        *pickedTwice, *noMeet, *joined, *unknownProduct, *badTypePath, *missed;
};
const Texts& T()
{
    static const Texts en{u"Room name <%s>: ", u"First corner: ", u"Next corner: ",
                          u"A room needs three corners at least.", u"Type path <%s>: ", u"Start point: ",
                          u"Next point: ", u"Select a pipe: ", u"Position on the pipe: ", u"Position: ",
                          u"Product <%s>: ", u"Angle <%s>: ", u"First pipe: ", u"Second pipe: ",
                          u"Third pipe <none>: ", u"That is no pipe; pick a pipe.", u"That pipe is picked already.",
                          u"Those pipes do not meet at one point; nothing was joined.",
                          u"A fitting %s joins the %d pipes at %g,%g.",
                          u"Unknown product %s; the products are: %s.",
                          u"A type path starts with a discipline: 给排水, 电气, 暖通, 消防 or 弱电.",
                          u"Nothing there; pick again."};
    static const Texts zh{u"房间名称 <%s>: ", u"第一个角点: ", u"下一个角点: ", u"房间至少需要三个角点。",
                          u"类型路径 <%s>: ", u"起点: ", u"下一点: ", u"选择管道: ", u"管道上的位置: ",
                          u"位置: ", u"产品 <%s>: ", u"角度 <%s>: ", u"第一根管道: ", u"第二根管道: ",
                          u"第三根管道 <无>: ", u"所选对象不是管道，请选择管道。", u"这根管道已经选过。",
                          u"这些管道不交于一点，未连接。", u"管件 %s 连接这 %d 根管道，位于 %g,%g。", u"未知产品 %s；可选产品: %s。",
                          u"类型路径以专业开头: 给排水、电气、暖通、消防或弱电。", u"该处没有对象，请重新选择。"};
    return vked::CurrentLanguage() == vked::Language::kChinese ? zh : en;
}

CString Format(const char16_t* format, ...)
{
    va_list args;
    va_start(args, format);
    CString s;
    s.FormatV(format, args);
    va_end(args);
    return s;
}

void Say(const CString& text) { vked::transcript().writeLine(text); }

// ---- Defaults of the object library's kinds --------------------------------------------------
constexpr const char16_t* kRoomName = u"房间";
constexpr const char16_t* kPipePath = u"给排水\\管道\\给水管";
constexpr const char16_t* kMainPipePath = u"给排水\\管道\\给水干管";
constexpr const char16_t* kDrainPath = u"给排水\\附件\\地漏";
constexpr const char16_t* kSprinklerPath = u"消防\\喷头\\下垂型";
constexpr const char16_t* kValveKind = u"阀门\\截止阀";
constexpr double kValveSize = 150;
constexpr double kDrainRadius = 75;

// Products of sanitary fixtures with their footprints (width across, depth along the angle).
struct FixtureProduct {
    const char16_t* name;
    double width, depth;
};
constexpr FixtureProduct kFixtures[] = {{u"坐便器", 400, 700}, {u"洗脸盆", 600, 500}, {u"小便器", 400, 350},
                                        {u"浴缸", 1500, 750},  {u"淋浴器", 900, 900}, {u"洗涤盆", 600, 450}};

CString Discipline(const CString& typePath)
{
    const int cut = typePath.Find(u'\\');
    return cut < 0 ? typePath : typePath.Left(cut);
}

// The layer of a component of that kind and type path, made when missing.
CString LayerFor(Object::Kind kind, const CString& typePath)
{
    return CVKQsLayer::GetLayer(CObjectKind::GetLayerByKind(kind, typePath));
}

// ---- Input -------------------------------------------------------------------------------
AcGePoint3d ToPoint(const ads_point p) { return AcGePoint3d(p[0], p[1], p[2]); }

// A point a drawing can hold: RTNORM, RTNONE (Enter) or RTCAN.
int AskPoint(const AcGePoint3d* base, const CString& prompt, AcGePoint3d& out)
{
    for (;;) {
        ads_point b = {0, 0, 0}, p;
        if (base) b[0] = base->x, b[1] = base->y, b[2] = base->z;
        const int rc = acedGetPoint(base ? b : nullptr, prompt.GetString(), p);
        if (rc != RTNORM) return rc == RTNONE ? RTNONE : RTCAN;
        out = ToPoint(p);
        if (vkge::DrawingCanHold(out)) return RTNORM;
        Say(vked::Text(vked::txt::kBeyondReach));
    }
}

// Text with a default taken by Enter; false on Esc.
bool AskText(const CString& prompt, const CString& fallback, CString& out)
{
    char16_t buf[512] = {};
    if (acedGetString(1, prompt.GetString(), buf, 512) != RTNORM) return false;
    out = buf;
    out.Trim();
    if (out.IsEmpty()) out = fallback;
    return true;
}

// A type path whose first word is a discipline; asked again until one is given.
bool AskTypePath(const CString& fallback, CString& path)
{
    for (;;) {
        if (!AskText(Format(T().typePath, fallback.GetString()), fallback, path)) return false;
        if (CObjectKind::IsDiscipline(Discipline(path))) return true;
        Say(T().badTypePath);
    }
}

// A picked pipe (any pipe, main pipes too); false on Esc or Enter.
bool AskPipe(const CString& prompt, AcDbObjectId& pipe)
{
    for (;;) {
        ads_name name;
        ads_point at;
        const int rc = acedEntSel(prompt.GetString(), name, at);
        if (rc == RTCAN) return false;
        if (rc == RTERROR) {
            Say(T().missed);
            continue;
        }
        if (rc != RTNORM) return false;
        acdbGetObjectId(pipe, name);
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, pipe, AcDb::kForRead) != Acad::eOk) continue;
        const bool isPipe = VkQsPipe::cast(ent) != nullptr;
        ent->close();
        if (isPipe) return true;
        Say(T().noPipe);
    }
}

// ---- Making objects ------------------------------------------------------------------------
// Appends to model space; the id, or null with the failure said (the entity deleted).
AcDbObjectId Append(AcDbEntity* ent)
{
    AcDbObjectId id;
    const Acad::ErrorStatus es = addToModelSpace(id, ent);
    if (es == Acad::eOk) return id;
    delete ent;
    Say(vked::FormatText(vked::txt::kCannotDraw, acadErrorStatusDescription(es).GetString()));
    return AcDbObjectId();
}

struct PipeEnds {
    AcGePoint3d start, end;
    CString typePath;
};

std::optional<PipeEnds> ReadPipe(const AcDbObjectId& id)
{
    AcDbObjectPointer<VkQsPipe> pipe(id, AcDb::kForRead);
    if (pipe.openStatus() != Acad::eOk) return std::nullopt;
    return PipeEnds{pipe->startPoint(), pipe->endPoint(), pipe->GetSmallTypeNamePath()};
}

// The point of the segment nearest to p, and how far along (0..1) it lies.
AcGePoint3d Project(const PipeEnds& pipe, const AcGePoint3d& p, double* along = nullptr)
{
    const AcGeVector3d d = pipe.end - pipe.start;
    const double len2 = d.dotProduct(d);
    double t = len2 > 0 ? (p - pipe.start).dotProduct(d) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    if (along) *along = t;
    return pipe.start + d * t;
}

// How many pipe branches leave a point: one for a pipe that ends there, two for a pipe that
// runs through it, none for a pipe that does not reach it.
int BranchesAt(const PipeEnds& pipe, const AcGePoint3d& p)
{
    if (pipe.start.distanceTo(p) <= kMeetTolerance || pipe.end.distanceTo(p) <= kMeetTolerance) return 1;
    return Project(pipe, p).distanceTo(p) <= kMeetTolerance ? 2 : 0;
}

// Where two pipes meet: an end of one on the other, or where they cross.
std::optional<AcGePoint3d> MeetingPoint(const PipeEnds& a, const PipeEnds& b)
{
    for (const AcGePoint3d& p : {a.start, a.end, b.start, b.end})
        if (BranchesAt(a, p) && BranchesAt(b, p)) return p;
    const AcGeVector3d u = a.end - a.start, v = b.end - b.start, w = b.start - a.start;
    const double cross = u.x * v.y - u.y * v.x;
    if (std::abs(cross) < 1e-12) return std::nullopt;
    const double t = (w.x * v.y - w.y * v.x) / cross;
    const AcGePoint3d p = a.start + u * t;
    if (BranchesAt(a, p) && BranchesAt(b, p)) return p;
    return std::nullopt;
}

// A fitting joining the pipes at a point: an elbow (or a straight coupling), a tee or a cross
// by the branches that meet there.
CString FittingTypePath(const std::vector<PipeEnds>& ends, const AcGePoint3d& at)
{
    int branches = 0;
    for (const PipeEnds& e : ends) branches += BranchesAt(e, at);
    CString kind = branches >= 4 ? u"四通" : branches == 3 ? u"三通" : u"弯头";
    if (branches == 2 && ends.size() == 2) {
        const AcGeVector3d u = (ends[0].end - ends[0].start).normal(), v = (ends[1].end - ends[1].start).normal();
        if (std::abs(u.x * v.y - u.y * v.x) < 1e-9) kind = u"直通";
    }
    return Discipline(ends.front().typePath) + u"\\管件\\" + kind;
}

AcDbObjectId MakeFitting(const AcDbObjectIdArray& pipes, const std::vector<PipeEnds>& ends, const AcGePoint3d& at)
{
    const CString typePath = FittingTypePath(ends, at);
    auto* fitting = new VkQsPipeFitting(at);
    fitting->SetSmallTypeNamePath(typePath);
    fitting->SetRefPipes(pipes);
    fitting->setLayer(LayerFor(Object::kPipeFitting, typePath).GetString());
    return Append(fitting);
}

// ---- Commands ------------------------------------------------------------------------------

// ROOM: a room boundary through the corners given; Enter closes it.
void CmdRoom()
{
    CString name;
    if (!AskText(Format(T().roomName, kRoomName), kRoomName, name)) return;
    std::vector<AcGePoint3d> corners;
    AcGePoint3d p;
    if (AskPoint(nullptr, T().firstCorner, p) != RTNORM) return;
    corners.push_back(p);
    for (;;) {
        const int rc = AskPoint(&corners.back(), T().nextCorner, p);
        if (rc == RTCAN) return;
        if (rc == RTNONE) {
            if (corners.size() >= 3) break;
            Say(T().threeCorners);
            continue;
        }
        if (p.distanceTo(corners.back()) <= kMeetTolerance) {
            Say(vked::Text(vked::txt::kSamePoint));
            continue;
        }
        corners.push_back(p);
    }
    auto* room = new AcDbVkRoom;
    for (unsigned i = 0; i < corners.size(); ++i) room->addVertexAt(i, AcGePoint2d(corners[i].x, corners[i].y));
    room->setClosed(true);
    room->SetAttname(name);
    room->setLayer(CVKQsLayer::GetJzLayerByDetailNamePath(u"建筑\\房间\\房间", true).GetString());
    Append(room);
}

// PIPE and MAINPIPE: one pipe per segment, each joined to the one before by a fitting.
template <class PipeClass>
void DrawPipes(const char16_t* defaultPath, Object::Kind kind)
{
    CString typePath;
    if (!AskTypePath(defaultPath, typePath)) return;
    AcGePoint3d from, to;
    if (AskPoint(nullptr, T().startPoint, from) != RTNORM) return;
    const CString layer = LayerFor(kind, typePath);
    std::optional<PipeEnds> previous;
    AcDbObjectId previousId;
    while (AskPoint(&from, T().nextPoint, to) == RTNORM) {
        if (to.distanceTo(from) <= kMeetTolerance) {
            Say(vked::Text(vked::txt::kSamePoint));
            continue;
        }
        auto* pipe = new PipeClass(from, to);
        pipe->SetSmallTypeNamePath(typePath);
        pipe->setLayer(layer.GetString());
        const AcDbObjectId id = Append(pipe);
        if (id.isNull()) return;
        const PipeEnds ends{from, to, typePath};
        if (previous) {
            AcDbObjectIdArray both;
            both.append(previousId);
            both.append(id);
            MakeFitting(both, {*previous, ends}, from);
        }
        previous = ends;
        previousId = id;
        from = to;
    }
}

void CmdPipe() { DrawPipes<VkQsPipe>(kPipePath, Object::kPipe); }
void CmdMainPipe() { DrawPipes<VkQsMainPipe>(kMainPipePath, Object::kMainPipe); }

// VALVE: on a picked pipe at the point given (taken onto the pipe), turned with it; the pipe
// lists the valve and the valve names its pipe.
void CmdValve()
{
    AcDbObjectId pipeId;
    if (!AskPipe(T().selectPipe, pipeId)) return;
    const std::optional<PipeEnds> pipe = ReadPipe(pipeId);
    if (!pipe) return;
    AcGePoint3d p;
    if (AskPoint(nullptr, T().positionOnPipe, p) != RTNORM) return;
    const AcGePoint3d at = Project(*pipe, p);
    const AcGeVector3d dir = pipe->end - pipe->start;
    const CString typePath = Discipline(pipe->typePath) + u"\\" + kValveKind;
    auto* valve = new VkQsPipeValve(at, std::atan2(dir.y, dir.x));
    valve->setSize(kValveSize);
    valve->SetSmallTypeNamePath(typePath);
    valve->SetPipeId(pipeId);
    valve->setLayer(LayerFor(Object::kValve, typePath).GetString());
    const AcDbObjectId valveId = Append(valve);
    if (valveId.isNull()) return;
    AcDbObjectPointer<VkQsPipe> owner(pipeId, AcDb::kForWrite);
    if (owner.openStatus() == Acad::eOk) owner->addValve(valveId);
}

// DRAIN and SPRINKLER: one at each position given, until Enter.
template <class Make>
void PlaceAtPositions(const char16_t* defaultPath, Make make)
{
    CString typePath;
    if (!AskTypePath(defaultPath, typePath)) return;
    AcGePoint3d p;
    while (AskPoint(nullptr, T().position, p) == RTNORM) {
        if (Append(make(p, typePath)).isNull()) return;
    }
}

void CmdDrain()
{
    PlaceAtPositions(kDrainPath, [](const AcGePoint3d& p, const CString& typePath) {
        auto* drain = new VkQsNode(p, kDrainRadius);
        drain->SetSmallTypeNamePath(typePath);
        drain->setLayer(LayerFor(Object::kFloorDrain, typePath).GetString());
        return static_cast<AcDbEntity*>(drain);
    });
}

void CmdSprinkler()
{
    PlaceAtPositions(kSprinklerPath, [](const AcGePoint3d& p, const CString& typePath) {
        auto* head = new VkQsSprinkler(VkQsCommon::Placement3D(p, AcGeVector3d::kXAxis));
        head->SetSmallTypeNamePath(typePath);
        head->setLayer(LayerFor(Object::kSprinkler, typePath).GetString());
        return static_cast<AcDbEntity*>(head);
    });
}

const FixtureProduct* FindProduct(const CString& name)
{
    for (const FixtureProduct& f : kFixtures)
        if (name == f.name) return &f;
    return nullptr;
}

// FIXTURE: a sanitary fixture of a product at a position, turned by an angle.
void CmdFixture()
{
    const FixtureProduct* product = nullptr;
    while (!product) {
        CString name;
        if (!AskText(Format(T().product, kFixtures[0].name), kFixtures[0].name, name)) return;
        product = FindProduct(name);
        if (product) break;
        CString names;
        for (const FixtureProduct& f : kFixtures) names += (names.IsEmpty() ? u"" : u", ") + CString(f.name);
        Say(Format(T().unknownProduct, name.GetString(), names.GetString()));
    }
    AcGePoint3d at;
    if (AskPoint(nullptr, T().position, at) != RTNORM) return;
    ads_point base = {at.x, at.y, at.z};
    double angle = 0;
    const int rc = acedGetAngle(base, Format(T().angle, u"0").GetString(), &angle);
    if (rc != RTNORM && rc != RTNONE) return;
    VkQsCore::Product p;
    p.name = product->name;
    p.location = at;
    p.angle = angle;
    p.width = product->width;
    p.depth = product->depth;
    auto* fixture = new VkQsElementComponent(p);
    const CString typePath = CString(u"给排水\\洁具\\") + product->name;
    fixture->SetSmallTypeNamePath(typePath);
    fixture->setLayer(LayerFor(Object::kSanitary, typePath).GetString());
    Append(fixture);
}

// FITTING: two or three picked pipes that meet at one point, joined there by a fitting.
void CmdFitting()
{
    AcDbObjectIdArray ids;
    std::vector<PipeEnds> ends;
    const char16_t* prompts[] = {T().firstPipe, T().secondPipe, T().thirdPipe};
    for (int i = 0; i < 3; ++i) {
        AcDbObjectId id;
        if (i == 2) {
            // The third pipe is optional: Enter (or Esc, or a pick beside every pipe) joins the two.
            ads_name name;
            ads_point at;
            const int rc = acedEntSel(prompts[i], name, at);
            if (rc != RTNORM) break;
            acdbGetObjectId(id, name);
            AcDbEntity* ent = nullptr;
            bool isPipe = false;
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) == Acad::eOk) {
                isPipe = VkQsPipe::cast(ent) != nullptr;
                ent->close();
            }
            if (!isPipe) {
                Say(T().noPipe);
                --i;
                continue;
            }
        } else if (!AskPipe(prompts[i], id)) {
            return;
        }
        if (ids.contains(id)) {
            Say(T().pickedTwice);
            --i;
            continue;
        }
        const std::optional<PipeEnds> e = ReadPipe(id);
        if (!e) return;
        ids.append(id);
        ends.push_back(*e);
    }
    std::optional<AcGePoint3d> at = MeetingPoint(ends[0], ends[1]);
    if (at && ends.size() == 3 && !BranchesAt(ends[2], *at)) at.reset();
    if (!at) {
        Say(T().noMeet);
        return;
    }
    if (!MakeFitting(ids, ends, *at).isNull())
        Say(Format(T().joined, FittingTypePath(ends, *at).GetString(), ids.length(), at->x, at->y));
}

struct DrawCommand {
    const char16_t* name;
    AcRxFunctionPtr fn;
    const char16_t *summaryEnglish, *summaryChinese;
};

const DrawCommand kCommands[] = {
    {u"ROOM", CmdRoom, u"Draws a room boundary through its corners; Enter closes it.", u"按角点绘制房间边界，回车闭合。"},
    {u"PIPE", CmdPipe, u"Draws pipes, one per segment, joined by fittings; Enter ends.", u"绘制管道，每段一根，以管件连接，回车结束。"},
    {u"MAINPIPE", CmdMainPipe, u"Draws main pipes, as PIPE draws pipes.", u"绘制干管，同 PIPE。"},
    {u"VALVE", CmdValve, u"Puts a valve on a pipe, turned with it.", u"在管道上布置阀门，随管道方向。"},
    {u"DRAIN", CmdDrain, u"Places floor drains; Enter ends.", u"布置地漏，回车结束。"},
    {u"SPRINKLER", CmdSprinkler, u"Places sprinkler heads; Enter ends.", u"布置喷头，回车结束。"},
    {u"FIXTURE", CmdFixture, u"Places a sanitary fixture of a product.", u"布置卫生洁具。"},
    {u"FITTING", CmdFitting, u"Joins two or three pipes that meet with a fitting.", u"用管件连接交于一点的两根或三根管道。"},
};

// The prompts each command asks, as HELP shows them (defaults filled in).
CString PromptsOf(const CString& name)
{
    const Texts& t = T();
    auto lines = [](std::initializer_list<CString> list) {
        CString all;
        for (const CString& l : list) {
            CString s = l;
            s.Trim();
            all += (all.IsEmpty() ? u"" : u"\n") + s;
        }
        return all;
    };
    if (name == u"ROOM") return lines({Format(t.roomName, kRoomName), t.firstCorner, t.nextCorner});
    if (name == u"PIPE") return lines({Format(t.typePath, kPipePath), t.startPoint, t.nextPoint});
    if (name == u"MAINPIPE") return lines({Format(t.typePath, kMainPipePath), t.startPoint, t.nextPoint});
    if (name == u"VALVE") return lines({t.selectPipe, t.positionOnPipe});
    if (name == u"DRAIN") return lines({Format(t.typePath, kDrainPath), t.position});
    if (name == u"SPRINKLER") return lines({Format(t.typePath, kSprinklerPath), t.position});
    if (name == u"FIXTURE") return lines({Format(t.product, kFixtures[0].name), t.position, Format(t.angle, u"0")});
    return lines({t.firstPipe, t.secondPipe, t.thirdPipe});
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId)
{
    if (msg == AcRx::kInitAppMsg) {
        acrxDynamicLinker()->unlockApplication(appId);
        acrxDynamicLinker()->registerAppMDIAware(appId);
        for (const DrawCommand& c : kCommands) {
            acedRegCmds()->addCommand(kGroup, c.name, c.name, ACRX_CMD_MODAL, c.fn);
            acedRegCmds()->setCommandHelp(kGroup, c.name, vked::Pick(c.summaryEnglish, c.summaryChinese),
                                          PromptsOf(c.name).GetString());
        }
    } else if (msg == AcRx::kUnloadAppMsg) {
        acedRegCmds()->removeGroup(kGroup);
    }
    return AcRx::kRetOK;
}
