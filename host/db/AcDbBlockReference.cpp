// Block references: a block drawn through a transform; and the block begin and end markers.
#include <cmath>

#include "host/db/AcDbEntities.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/detail/DbInternals.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity)
ACRX_DEFINE_MEMBERS(AcDbBlockBegin, AcDbEntity)
ACRX_DEFINE_MEMBERS(AcDbBlockEnd, AcDbEntity)

namespace {

// A block that (through nesting) refers to itself must not recurse forever.
thread_local int t_nesting = 0;

struct NestingGuard {
    bool ok;
    NestingGuard() : ok(++t_nesting <= AcDbBlockReference::kMaxNesting) {}
    ~NestingGuard() { --t_nesting; }
};

const AcDbBlockTableRecord* peekBlock(AcDbObjectId id)
{
    return AcDbBlockTableRecord::cast(vkdb::DbAccess::peek(id));
}

}  // namespace

AcDbBlockReference::AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRecord)
    : m_block(blockTableRecord)
{
    m_xform.setTranslation(position.asVector());
}

AcDbObjectId AcDbBlockReference::blockTableRecord() const { return m_block; }

Acad::ErrorStatus AcDbBlockReference::setBlockTableRecord(AcDbObjectId id)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_block = id;
    return Acad::eOk;
}

AcGePoint3d AcDbBlockReference::position() const
{
    AcGeVector3d t = m_xform.translation();
    return {t.x, t.y, t.z};
}

Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& p)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_xform.setTranslation(p.asVector());
    return Acad::eOk;
}

double AcDbBlockReference::rotation() const
{
    AcGeVector3d x = m_xform * AcGeVector3d::kXAxis;
    return vkdb::normalizeAngle(std::atan2(x.y, x.x));
}

Acad::ErrorStatus AcDbBlockReference::setRotation(double angle)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    // Keeps position, scale and mirroring; replaces the turn about the position.
    AcGePoint3d pos = position();
    AcGeMatrix3d turn = AcGeMatrix3d::rotation(angle - rotation(), AcGeVector3d::kZAxis, pos);
    m_xform = turn * m_xform;
    return Acad::eOk;
}

AcGeMatrix3d AcDbBlockReference::blockTransform() const
{
    // Block space is measured from the block's origin.
    const AcDbBlockTableRecord* block = peekBlock(m_block);
    if (!block || block->origin().asVector().isZeroLength()) return m_xform;
    return m_xform * AcGeMatrix3d::translation(-block->origin().asVector());
}

Acad::ErrorStatus AcDbBlockReference::setBlockTransform(const AcGeMatrix3d& m)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    const AcDbBlockTableRecord* block = peekBlock(m_block);
    m_xform = block ? m * AcGeMatrix3d::translation(block->origin().asVector()) : m;
    return Acad::eOk;
}

void AcDbBlockReference::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    NestingGuard guard;
    const AcDbBlockTableRecord* block = peekBlock(m_block);
    if (!guard.ok || !block) return;
    const AcGeMatrix3d m = blockTransform();
    std::vector<GeomPiece> inner;
    for (AcDbObjectId id : block->entityIds()) {
        auto* ent = AcDbEntity::cast(vkdb::DbAccess::peek(id));
        if (!ent) continue;
        inner.clear();
        ent->getGeomPieces(inner);
        for (const GeomPiece& p : inner) pieces.push_back(vkdb::transformPiece(p, m));
    }
}

bool AcDbBlockReference::subWorldDraw(AcGiWorldDraw* wd) const
{
    NestingGuard guard;
    const AcDbBlockTableRecord* block = peekBlock(m_block);
    if (!guard.ok || !block) return true;
    AcGiWorldGeometry& g = wd->geometry();
    g.pushTransform(blockTransform());
    for (AcDbObjectId id : block->entityIds()) {
        auto* ent = AcDbEntity::cast(vkdb::DbAccess::peek(id));
        if (!ent) continue;
        g.setLayer(ent->layer());
        // Colour "by block" (0) takes the reference's own colour.
        g.setColor(ent->colorIndex() == 0 ? colorIndex() : ent->colorIndex());
        ent->worldDraw(wd);
    }
    g.popTransform();
    return true;
}

void AcDbBlockReference::list(CString& out) const
{
    AcDbEntity::list(out);
    CString name;
    if (const AcDbBlockTableRecord* block = peekBlock(m_block)) block->getName(name);
    AcGePoint3d p = position();
    out.AppendFormat(u"  Block Name: \"%s\"\n", name.GetString());
    out.AppendFormat(u"  at point, X=%.4f  Y=%.4f  Z=%.4f\n", p.x, p.y, p.z);
    out.AppendFormat(u"  rotation angle: %.4f\n", rotation());
}

Acad::ErrorStatus AcDbBlockReference::subTransformBy(const AcGeMatrix3d& xform)
{
    m_xform = xform * m_xform;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeHardPointerId(m_block, "block");
    filer->writePoint3d(position(), "position");
    filer->writeMatrix3d(m_xform, "transform");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockReference::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    AcGePoint3d pos = position();
    AcGeMatrix3d xf = m_xform;
    if ((es = filer->readHardPointerId(&m_block, "block")) != Acad::eOk) return es;
    if ((es = filer->readPoint3d(&pos, "position")) != Acad::eOk) return es;
    if ((es = filer->readMatrix3d(&xf, "transform")) != Acad::eOk) return es;
    // A fixture may give only one of the two; a position that was given wins.
    const AcGePoint3d before = position();
    m_xform = xf;
    if (!pos.isEqualTo(before)) m_xform.setTranslation(pos.asVector());
    return Acad::eOk;
}
