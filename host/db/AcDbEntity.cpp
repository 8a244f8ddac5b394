// Entities: layer, colour, visibility, highlight; extents, transforms, drawing and
// intersections through their plain curves.
#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/Highlights.h"
#include <cmath>

#include "host/db/detail/CopyFiler.h"
#include "host/db/detail/DbInternals.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_ABSTRACT_MEMBERS(AcDbEntity, AcDbObject)

AcDbEntity::AcDbEntity() = default;

const CString& AcDbEntity::layer() const { return m_layer; }

Acad::ErrorStatus AcDbEntity::setLayer(const char16_t* layerName, bool doSubents)
{
    if (!layerName || !*layerName) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    CString name(layerName);
    if (AcDbDatabase* db = database()) {
        // A resident entity only goes onto a layer its drawing has, spelled as the layer is.
        AcDbObjectId id;
        if (!acdbEnsureLayer(db, layerName, false, &id)) return Acad::eKeyNotFound;
        if (auto* rec = AcDbSymbolTableRecord::cast(vkdb::DbAccess::peek(id))) rec->getName(name);
    }
    m_layer = name;
    return Acad::eOk;
}

AcDbObjectId AcDbEntity::layerId() const
{
    AcDbObjectId id;
    acdbEnsureLayer(database(), m_layer, false, &id);
    return id;
}

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 aci)
{
    if (aci > 256) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_color = aci;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setVisibility(AcDb::Visibility v)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_visibility = v;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLinetype(const char16_t* name)
{
    if (!name || !*name) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_linetype = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLinetypeScale(double scale)
{
    if (!(scale > 0) || !std::isfinite(scale)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_linetypeScale = scale;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLineWeight(AcDb::LineWeight weight)
{
    if (!acdbIsValidLineWeight(weight)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_lineWeight = weight;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setPropertiesFrom(const AcDbEntity* other)
{
    if (!other) return Acad::eNullObjectPointer;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_layer = other->m_layer;
    m_color = other->m_color;
    m_linetype = other->m_linetype;
    m_linetypeScale = other->m_linetypeScale;
    m_lineWeight = other->m_lineWeight;
    return Acad::eOk;
}

// Highlighting is a display state, not a change of the drawing: a read open suffices.
Acad::ErrorStatus AcDbEntity::highlight()
{
    if (!assertReadEnabled()) return Acad::eNotOpenForRead;
    m_highlighted = true;
    vkdb::NoteHighlight(objectId(), true);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::unhighlight()
{
    if (!assertReadEnabled()) return Acad::eNotOpenForRead;
    m_highlighted = false;
    vkdb::NoteHighlight(objectId(), false);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::getGeomExtents(AcDbExtents& ext) const { return subGetGeomExtents(ext); }

Acad::ErrorStatus AcDbEntity::subGetGeomExtents(AcDbExtents& ext) const
{
    std::vector<GeomPiece> pieces;
    getGeomPieces(pieces);
    if (pieces.empty()) return Acad::eInvalidExtents;
    AcDbExtents box;
    for (const GeomPiece& p : pieces) vkdb::addPieceExtents(p, box);
    ext = box;
    return Acad::eOk;
}

namespace {

bool finite(const double* v, int n)
{
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

// Looks at every number an object files and keeps none of them: whether all are finite.
class FiniteCheck : public AcDbDwgWriteOnlyFiler {
public:
    explicit FiniteCheck(AcDbDatabase* db) : m_db(db) {}
    bool allFinite() const { return m_finite; }
    AcDb::FilerType filerType() const override { return AcDb::kCopyFiler; }
    Acad::ErrorStatus filerStatus() const override { return Acad::eOk; }
    AcDbDatabase* database() const override { return m_db; }
    Acad::ErrorStatus writeBool(bool, const char*) override { return Acad::eOk; }
    Acad::ErrorStatus writeInt32(Adesk::Int32, const char*) override { return Acad::eOk; }
    Acad::ErrorStatus writeInt64(Adesk::Int64, const char*) override { return Acad::eOk; }
    Acad::ErrorStatus writeDouble(double v, const char*) override { return see(&v, 1); }
    Acad::ErrorStatus writeString(const CString&, const char*) override { return Acad::eOk; }
    Acad::ErrorStatus writePoint2d(const AcGePoint2d& v, const char*) override
    {
        const double xy[] = {v.x, v.y};
        return see(xy, 2);
    }
    Acad::ErrorStatus writePoint3d(const AcGePoint3d& v, const char*) override
    {
        const double xyz[] = {v.x, v.y, v.z};
        return see(xyz, 3);
    }
    Acad::ErrorStatus writeVector3d(const AcGeVector3d& v, const char*) override
    {
        const double xyz[] = {v.x, v.y, v.z};
        return see(xyz, 3);
    }
    Acad::ErrorStatus writeMatrix3d(const AcGeMatrix3d& v, const char*) override { return see(&v.entry[0][0], 16); }
    Acad::ErrorStatus writeReference(const AcDbObjectId&, AcDb::ReferenceKind, const char*) override { return Acad::eOk; }
    Acad::ErrorStatus writeBytes(const void*, size_t, const char*) override { return Acad::eOk; }
    Acad::ErrorStatus writeArrayBegin(Adesk::Int32, const char*) override { return Acad::eOk; }
    Acad::ErrorStatus writeArrayEnd() override { return Acad::eOk; }

private:
    Acad::ErrorStatus see(const double* v, int n)
    {
        m_finite = m_finite && finite(v, n);
        return Acad::eOk;
    }
    AcDbDatabase* m_db;
    bool m_finite = true;
};

}  // namespace

// A transform that would leave a number the entity cannot hold (an overflow to infinity) is
// refused and the entity stays as it was, so that every drawing can be written and read back.
Acad::ErrorStatus AcDbEntity::transformBy(const AcGeMatrix3d& xform)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    if (!finite(&xform.entry[0][0], 16)) return Acad::eInvalidInput;
    vkdb::FieldRecorder before(AcDb::kCopyFiler, database());
    if (dwgOutFields(&before) != Acad::eOk) return subTransformBy(xform);
    Acad::ErrorStatus es = subTransformBy(xform);
    if (es != Acad::eOk) return es;
    FiniteCheck after(database());
    if (dwgOutFields(&after) != Acad::eOk || after.allFinite()) return Acad::eOk;
    vkdb::FieldPlayer restore(before.fields(), AcDb::kCopyFiler, database());
    dwgInFields(&restore);
    return Acad::eInvalidInput;
}

bool AcDbEntity::worldDraw(AcGiWorldDraw* wd) const
{
    if (!wd) return false;
    if (m_visibility == AcDb::kInvisible) return true;
    return subWorldDraw(wd);
}

Acad::ErrorStatus AcDbEntity::getPlane(AcGePlane&, AcDb::Planarity&) const { return Acad::eNotApplicable; }

bool AcDbEntity::subWorldDraw(AcGiWorldDraw* wd) const
{
    std::vector<GeomPiece> pieces;
    getGeomPieces(pieces);
    for (const GeomPiece& p : pieces) vkdb::drawPiece(p, wd->geometry());
    return true;
}

Acad::ErrorStatus AcDbEntity::intersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                            AcGePoint3dArray& points) const
{
    if (!other) return Acad::eNullObjectPointer;
    std::vector<GeomPiece> mine, theirs;
    getGeomPieces(mine);
    other->getGeomPieces(theirs);
    std::vector<AcGePoint3d> found;
    for (const GeomPiece& a : mine)
        for (const GeomPiece& b : theirs) vkdb::intersectPieces(a, b, found);
    // Pieces that meet at a shared vertex report it once.
    for (const AcGePoint3d& p : found) {
        bool dup = false;
        for (const AcGePoint3d& q : points) dup = dup || q.isEqualTo(p);
        if (!dup) points.append(p);
    }
    return Acad::eOk;
}

void AcDbEntity::list(CString& out) const
{
    out.AppendFormat(u"%s\n", isA()->name());
    out.AppendFormat(u"  Layer: %s\n", m_layer.GetString());
    if (m_color == 256) out += u"  Color: BYLAYER\n";
    else out.AppendFormat(u"  Color: %d\n", static_cast<int>(m_color));
    if (m_linetype.CompareNoCase(u"ByLayer") != 0) out.AppendFormat(u"  Linetype: %s\n", m_linetype.GetString());
    if (m_lineWeight != AcDb::kLnWtByLayer) out.AppendFormat(u"  Lineweight: %d\n", static_cast<int>(m_lineWeight));
    if (database()) out.AppendFormat(u"  Handle: %s\n", handle().text().GetString());
}

// The line style came after drawings without it were written: an entity that has one says so
// in its visibility word (the JSON view names the fields instead), so that entities without
// one file the same bytes as ever and earlier files read unchanged.
namespace {
constexpr Adesk::Int32 kLineStyleFollows = 0x100;
}

Acad::ErrorStatus AcDbEntity::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbObject::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    const bool styled = m_linetype.CompareNoCase(u"ByLayer") != 0 || m_linetypeScale != 1 ||
                        m_lineWeight != AcDb::kLnWtByLayer;
    const bool named = filer->filerType() == AcDb::kJsonFiler;
    filer->writeString(m_layer, "layer");
    filer->writeInt32(m_color, "color");
    filer->writeInt32(m_visibility | (styled && !named ? kLineStyleFollows : 0), "visibility");
    if (styled) {
        filer->writeString(m_linetype, "linetype");
        filer->writeDouble(m_linetypeScale, "linetypeScale");
        filer->writeInt32(m_lineWeight, "lineWeight");
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbEntity::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbObject::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    CString layer = m_layer, linetype = m_linetype;
    Adesk::Int32 color = m_color, vis = m_visibility, weight = m_lineWeight;
    double scale = m_linetypeScale;
    if ((es = filer->readString(&layer, "layer")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&color, "color")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&vis, "visibility")) != Acad::eOk) return es;
    if ((vis & kLineStyleFollows) || filer->filerType() == AcDb::kJsonFiler) {
        if ((es = filer->readString(&linetype, "linetype")) != Acad::eOk) return es;
        if ((es = filer->readDouble(&scale, "linetypeScale")) != Acad::eOk) return es;
        if ((es = filer->readInt32(&weight, "lineWeight")) != Acad::eOk) return es;
        vis &= ~kLineStyleFollows;
    }
    if (layer.IsEmpty() || color < 0 || color > 256 || (vis != AcDb::kVisible && vis != AcDb::kInvisible) ||
        linetype.IsEmpty() || !(scale > 0) || !std::isfinite(scale) || !acdbIsValidLineWeight(weight))
        return Acad::eInvalidInput;
    m_layer = layer;
    m_color = static_cast<Adesk::UInt16>(color);
    m_visibility = static_cast<AcDb::Visibility>(vis);
    m_linetype = linetype;
    m_linetypeScale = scale;
    m_lineWeight = static_cast<AcDb::LineWeight>(weight);
    return Acad::eOk;
}
