// Dimensions: their definition points and measurement, drawn from their block.
#include <cmath>

#include "host/db/AcDbPlanEntities.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/detail/DbInternals.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbDimension, AcDbEntity)

namespace {

bool finitePoint(const AcGePoint3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
bool isAngular(AcDbDimension::Kind k) { return k == AcDbDimension::kAngular || k == AcDbDimension::kAngular3Point; }

}  // namespace

Acad::ErrorStatus AcDbDimension::setKind(Kind k)
{
    if (k < kRotated || k > kOrdinate) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_kind = k;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setFlags(int f)
{
    if (f & ~(32 | 64 | 128)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_flags = f;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setDimBlockId(AcDbObjectId id)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_block = id;
    m_blockXform.setToIdentity();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setPoints(const AcGePoint3d& defPoint, const AcGePoint3d& textPosition,
                                           const AcGePoint3d points[4])
{
    if (!finitePoint(defPoint) || !finitePoint(textPosition)) return Acad::eInvalidInput;
    for (int i = 0; i < 4; ++i)
        if (!finitePoint(points[i])) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_defPoint = defPoint;
    m_textPos = textPosition;
    for (int i = 0; i < 4; ++i) m_points[i] = points[i];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setMeasurement(double m)
{
    if (!std::isfinite(m)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_measurement = m;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setDimensionText(const CString& t)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_text = t;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setAngles(double rotation, double textRotation, double leaderLength)
{
    if (!std::isfinite(rotation) || !std::isfinite(textRotation) || !std::isfinite(leaderLength))
        return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_rotation = rotation, m_textRotation = textRotation, m_leader = leaderLength;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setDimensionStyle(const CString& name)
{
    if (name.IsEmpty()) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_style = name;
    return Acad::eOk;
}

namespace {

// Block space is measured from the block's origin.
AcGeMatrix3d fromBlock(AcDbObjectId block, const AcGeMatrix3d& m)
{
    const auto* rec = AcDbBlockTableRecord::cast(vkdb::DbAccess::peek(block));
    if (!rec || rec->origin().asVector().isZeroLength()) return m;
    return m * AcGeMatrix3d::translation(-rec->origin().asVector());
}

}  // namespace

void AcDbDimension::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    const size_t before = pieces.size();
    if (!m_block.isNull()) vkdb::blockPieces(m_block, fromBlock(m_block, m_blockXform), pieces);
    if (pieces.size() == before) vkdb::addPolylinePieces(pieces, {m_defPoint, m_textPos}, false);
}

bool AcDbDimension::subWorldDraw(AcGiWorldDraw* wd) const
{
    if (AcDbBlockTableRecord::cast(vkdb::DbAccess::peek(m_block))) {
        vkdb::drawBlock(*this, m_block, fromBlock(m_block, m_blockXform), wd);
        return true;
    }
    // No picture of its own: its text where it stands.
    CString text = m_text;
    CString measured;
    measured.Format(u"%.2f", m_measurement);
    if (text.IsEmpty()) text = measured;
    text.Replace(u"<>", measured.GetString());
    const AcGeVector3d dir{std::cos(m_textRotation), std::sin(m_textRotation), 0};
    wd->geometry().alignedText(m_textPos, dir, 2.5, text, 1, 2, 5.0 / 3);
    return true;
}

void AcDbDimension::list(CString& out) const
{
    AcDbEntity::list(out);
    static const char16_t* kNames[] = {u"rotated", u"aligned", u"angular", u"diameter", u"radius", u"angular 3-point",
                                       u"ordinate"};
    out.AppendFormat(u"  Type: %s\n  Measurement: %.4f\n", kNames[m_kind], m_measurement);
    if (!m_text.IsEmpty()) out.AppendFormat(u"  Text: %s\n", m_text.GetString());
}

Acad::ErrorStatus AcDbDimension::subTransformBy(const AcGeMatrix3d& xform)
{
    const double scale = (xform * AcGeVector3d::kXAxis).length();
    auto angle = [&](double a) {
        const AcGeVector3d d = xform * AcGeVector3d(std::cos(a), std::sin(a), 0);
        return vkdb::normalizeAngle(std::atan2(d.y, d.x));
    };
    m_defPoint = xform * m_defPoint;
    m_textPos = xform * m_textPos;
    for (AcGePoint3d& p : m_points) p = xform * p;
    m_rotation = angle(m_rotation);
    m_textRotation = angle(m_textRotation);
    if (!isAngular(m_kind)) m_measurement *= scale;
    m_leader *= scale;
    m_blockXform = xform * m_blockXform;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeInt32(m_kind, "kind");
    filer->writeInt32(m_flags, "flags");
    filer->writeHardPointerId(m_block, "block");
    filer->writeMatrix3d(m_blockXform, "blockTransform");
    filer->writePoint3d(m_defPoint, "defPoint");
    filer->writePoint3d(m_textPos, "textPosition");
    filer->writeArrayBegin(4, "points");
    for (const AcGePoint3d& p : m_points) filer->writePoint3d(p);
    filer->writeArrayEnd();
    filer->writeDouble(m_measurement, "measurement");
    filer->writeString(m_text, "text");
    filer->writeDouble(m_rotation, "rotation");
    filer->writeDouble(m_textRotation, "textRotation");
    filer->writeDouble(m_leader, "leaderLength");
    filer->writeString(m_style, "dimStyle");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbDimension::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    Adesk::Int32 kind = m_kind, flags = m_flags;
    AcDbObjectId block = m_block;
    AcGeMatrix3d xf = m_blockXform;
    AcGePoint3d def = m_defPoint, text = m_textPos, pts[4] = {m_points[0], m_points[1], m_points[2], m_points[3]};
    double measurement = m_measurement, rotation = m_rotation, textRotation = m_textRotation, leader = m_leader;
    CString t = m_text, style = m_style;
    if ((es = filer->readInt32(&kind, "kind")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&flags, "flags")) != Acad::eOk) return es;
    if ((es = filer->readHardPointerId(&block, "block")) != Acad::eOk) return es;
    if ((es = filer->readMatrix3d(&xf, "blockTransform")) != Acad::eOk) return es;
    if ((es = filer->readPoint3d(&def, "defPoint")) != Acad::eOk) return es;
    if ((es = filer->readPoint3d(&text, "textPosition")) != Acad::eOk) return es;
    Adesk::Int32 n = 0;
    es = filer->readArrayBegin(&n, "points");
    if (es == Acad::eOk) {
        if (n != 4) return Acad::eInvalidInput;
        for (AcGePoint3d& p : pts)
            if ((es = filer->readPoint3d(&p)) != Acad::eOk) return es;
        if ((es = filer->readArrayEnd()) != Acad::eOk) return es;
    } else if (es != Acad::eKeyNotFound) {
        return es;
    }
    if ((es = filer->readDouble(&measurement, "measurement")) != Acad::eOk) return es;
    if ((es = filer->readString(&t, "text")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&rotation, "rotation")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&textRotation, "textRotation")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&leader, "leaderLength")) != Acad::eOk) return es;
    if ((es = filer->readString(&style, "dimStyle")) != Acad::eOk) return es;
    bool ok = kind >= kRotated && kind <= kOrdinate && !(flags & ~(32 | 64 | 128)) && finitePoint(def) &&
              finitePoint(text) && std::isfinite(measurement) && std::isfinite(rotation) &&
              std::isfinite(textRotation) && std::isfinite(leader) && !style.IsEmpty();
    for (const AcGePoint3d& p : pts) ok = ok && finitePoint(p);
    if (!ok) return Acad::eInvalidInput;
    m_kind = static_cast<Kind>(kind);
    m_flags = flags;
    m_block = block;
    m_blockXform = xf;
    m_defPoint = def, m_textPos = text;
    for (int i = 0; i < 4; ++i) m_points[i] = pts[i];
    m_measurement = measurement, m_rotation = rotation, m_textRotation = textRotation, m_leader = leader;
    m_text = t, m_style = style;
    return Acad::eOk;
}
