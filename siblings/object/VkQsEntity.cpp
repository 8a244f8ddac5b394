#include "siblings/object/VkQsEntity.h"

#include <numbers>

#include "siblings/object/QsGlobalVariable.h"

ACRX_DEFINE_ABSTRACT_MEMBERS(VkQsEntity, AcDbCurve);

namespace {
constexpr int kModuleMarkBit = 0x20;
}

Acad::ErrorStatus VkQsEntity::SetStyle(int style)
{
    const bool onlyModuleBit = ((style ^ m_style) & ~kModuleMarkBit) == 0;
    if (!assertWriteEnabled(true, !onlyModuleBit)) return Acad::eNotOpenForWrite;
    m_style = style;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsEntity::SetSmallTypeNamePath(const CString& path)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_typePath = path;
    return Acad::eOk;
}

CString VkQsEntity::GetDiscipline() const
{
    const int slash = m_typePath.Find(u'\\');
    return slash < 0 ? m_typePath : m_typePath.Left(slash);
}

Acad::ErrorStatus VkQsEntity::SetAssositSRoom(AcDbObjectId markerId)
{
    if (!assertWriteEnabled(true, false)) return Acad::eNotOpenForWrite;
    m_sroom = markerId;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsEntity::SetKPYX(bool on)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_kpyx = on;
    return Acad::eOk;
}

Acad::ErrorStatus VkQsEntity::getStartPoint(AcGePoint3d& p) const
{
    p = referencePoint();
    return Acad::eOk;
}

Acad::ErrorStatus VkQsEntity::getEndPoint(AcGePoint3d& p) const
{
    p = referencePoint();
    return Acad::eOk;
}

void VkQsEntity::list(CString& out) const
{
    AcDbCurve::list(out);
    CString s;
    s.Format(u"  Type: %s\n  Style: %d\n  KPYX: %s\n", m_typePath.GetString(), static_cast<int>(m_style),
             m_kpyx ? u"yes" : u"no");
    out += s;
    if (!m_sroom.isNull()) out += CString(u"  Standard room: ") + m_sroom.handle().text() + u"\n";
}

Acad::ErrorStatus VkQsEntity::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbCurve::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeString(m_typePath, "typePath");
    filer->writeInt32(m_style, "style");
    filer->writeSoftPointerId(m_sroom, "sroom");
    filer->writeBool(m_kpyx, "kpyx");
    return filer->filerStatus();
}

Acad::ErrorStatus VkQsEntity::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbCurve::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    filer->readString(&m_typePath, "typePath");
    filer->readInt32(&m_style, "style");
    filer->readSoftPointerId(&m_sroom, "sroom");
    filer->readBool(&m_kpyx, "kpyx");
    // A user's copy of a component is not a member of the room the original belongs to.
    if (isDeepCloneFiler(filer) && QsGlobalVariable::DeepCloneEnabled()) m_sroom.setNull();
    return filer->filerStatus();
}

bool VkQsEntity::isDeepCloneFiler(const AcDbDwgFiler* filer)
{
    const AcDb::FilerType t = filer->filerType();
    return t == AcDb::kDeepCloneFiler || t == AcDb::kWblockCloneFiler;
}

void VkQsEntity::addLine(std::vector<GeomPiece>& pieces, const AcGePoint3d& a, const AcGePoint3d& b)
{
    GeomPiece g;
    g.kind = GeomPiece::kLine;
    g.a = a;
    g.b = b;
    pieces.push_back(g);
}

void VkQsEntity::addCircle(std::vector<GeomPiece>& pieces, const AcGePoint3d& c, double r)
{
    // Two half arcs: a full turn as one arc would have coincident ends.
    for (int half = 0; half < 2; ++half) {
        GeomPiece g;
        g.kind = GeomPiece::kArc;
        g.center = c;
        g.radius = r;
        g.startAng = half * std::numbers::pi;
        g.endAng = (half + 1) * std::numbers::pi;
        g.a = c + AcGeVector3d(half ? -r : r, 0, 0);
        g.b = c + AcGeVector3d(half ? r : -r, 0, 0);
        pieces.push_back(g);
    }
}

bool isKPYX(const VkQsEntity* ent)
{
    return ent && ent->GetKPYX();
}
