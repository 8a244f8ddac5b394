// Block references: a block drawn through a transform; and the block begin and end markers.
#include <cmath>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbEntities.h"
#include "host/db/AcDbPlanEntities.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/detail/DbInternals.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity)
ACRX_DEFINE_MEMBERS(AcDbBlockBegin, AcDbEntity)
ACRX_DEFINE_MEMBERS(AcDbBlockEnd, AcDbEntity)

namespace {

// A block that (through nesting) refers to itself must not recurse forever, and one that holds
// itself twice must not be drawn 2^32 times over: the outermost block being drawn may draw so
// many entities of its nested blocks, then the rest is left out.
constexpr long kMaxDrawnInside = 1'000'000;
thread_local int t_nesting = 0;
thread_local long t_left = 0;

struct NestingGuard {
    bool ok;
    NestingGuard() : ok(++t_nesting <= AcDbBlockReference::kMaxNesting)
    {
        if (t_nesting == 1) t_left = kMaxDrawnInside;
    }
    ~NestingGuard() { --t_nesting; }
    // Counts one more entity drawn; false once the outermost block has drawn its share.
    static bool take() { return --t_left >= 0; }
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

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute)
{
    id = AcDbObjectId();
    if (!attribute) return Acad::eNullObjectPointer;
    AcDbDatabase* db = database();
    if (!db) return Acad::eNoDatabase;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    if (attribute->objectId().isValid()) return Acad::eAlreadyInDb;
    Acad::ErrorStatus es = db->addAcDbObject(id, attribute);
    if (es != Acad::eOk) return es;
    assertWriteEnabled();
    vkdb::DbAccess::setOwner(attribute, objectId());
    m_attributes.push_back(id);
    return Acad::eOk;
}

namespace {

// A block's entities that its references show: attribute definitions only when constant.
bool shownInReference(const AcDbEntity* ent)
{
    const auto* def = AcDbAttributeDefinition::cast(ent);
    return !def || def->isConstant();
}

}  // namespace

namespace vkdb {

void blockPieces(AcDbObjectId blockId, const AcGeMatrix3d& m, std::vector<AcDbEntity::GeomPiece>& pieces)
{
    NestingGuard guard;
    const AcDbBlockTableRecord* block = peekBlock(blockId);
    if (!guard.ok || !block) return;
    std::vector<AcDbEntity::GeomPiece> inner;
    for (AcDbObjectId id : block->entityIds()) {
        auto* ent = AcDbEntity::cast(vkdb::DbAccess::peek(id));
        if (!ent || !shownInReference(ent)) continue;
        if (!NestingGuard::take()) break;
        inner.clear();
        ent->getGeomPieces(inner);
        for (const AcDbEntity::GeomPiece& p : inner) pieces.push_back(vkdb::transformPiece(p, m));
    }
}

void drawBlock(const AcDbEntity& owner, AcDbObjectId blockId, const AcGeMatrix3d& m, AcGiWorldDraw* wd)
{
    NestingGuard guard;
    const AcDbBlockTableRecord* block = peekBlock(blockId);
    if (!guard.ok || !block) return;
    AcGiWorldGeometry& g = wd->geometry();
    g.pushTransform(m);
    for (AcDbObjectId id : block->entityIds()) {
        auto* ent = AcDbEntity::cast(vkdb::DbAccess::peek(id));
        if (!ent || !shownInReference(ent)) continue;
        if (!NestingGuard::take()) break;
        g.setLayer(ent->layer());
        // Colour "by block" (0) takes the owner's own colour.
        g.setColor(ent->colorIndex() == 0 ? owner.colorIndex() : ent->colorIndex());
        g.setLinetype(ent->linetype(), ent->linetypeScale());
        g.setLineWeight(ent->lineWeight());
        if (const auto* def = AcDbAttributeDefinition::cast(ent)) def->drawValue(wd);
        else ent->worldDraw(wd);
    }
    g.popTransform();
}

}  // namespace vkdb

void AcDbBlockReference::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    vkdb::blockPieces(m_block, blockTransform(), pieces);
    for (AcDbObjectId id : m_attributes)
        if (auto* attr = AcDbEntity::cast(vkdb::DbAccess::peek(id)); attr && !id.isErased()) attr->getGeomPieces(pieces);
}

bool AcDbBlockReference::subWorldDraw(AcGiWorldDraw* wd) const
{
    vkdb::drawBlock(*this, m_block, blockTransform(), wd);
    // Attributes stand in the world, on their own layers.
    AcGiWorldGeometry& g = wd->geometry();
    for (AcDbObjectId id : m_attributes) {
        auto* attr = AcDbEntity::cast(vkdb::DbAccess::peek(id));
        if (!attr || id.isErased()) continue;
        g.setLayer(attr->layer());
        g.setColor(attr->colorIndex() == 0 ? colorIndex() : attr->colorIndex());
        g.setLinetype(attr->linetype(), attr->linetypeScale());
        g.setLineWeight(attr->lineWeight());
        attr->worldDraw(wd);
    }
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
    // Attributes first: when one cannot follow, the reference stays where it is too.
    for (AcDbObjectId id : m_attributes) {
        if (id.isErased()) continue;
        AcDbEntity* attr = nullptr;
        if (acdbOpenAcDbEntity(attr, id, AcDb::kForWrite) != Acad::eOk) continue;
        const Acad::ErrorStatus es = attr->transformBy(xform);
        attr->close();
        if (es != Acad::eOk) return es;
    }
    m_xform = xform * m_xform;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::subErase(bool erasing)
{
    for (AcDbObjectId id : m_attributes) {
        AcDbObject* attr = nullptr;
        if (acdbOpenAcDbObject(attr, id, AcDb::kForWrite, true) != Acad::eOk) continue;
        if (attr->isErased() != erasing) attr->erase(erasing);
        attr->close();
    }
    return AcDbEntity::subErase(erasing);
}

Acad::ErrorStatus AcDbBlockReference::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeHardPointerId(m_block, "block");
    filer->writePoint3d(position(), "position");
    filer->writeMatrix3d(m_xform, "transform");
    // Last and only when there are some, so that references of earlier drawings read as they were.
    if (!m_attributes.empty()) {
        filer->writeArrayBegin(static_cast<Adesk::Int32>(m_attributes.size()), "attributes");
        for (AcDbObjectId id : m_attributes) filer->writeHardOwnershipId(id);
        filer->writeArrayEnd();
    }
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
    std::vector<AcDbObjectId> attributes;
    Adesk::Int32 n = 0;
    if (filer->hasMoreFields() && (es = filer->readArrayBegin(&n, "attributes")) == Acad::eOk) {
        if (n < 0) return Acad::eInvalidInput;
        for (Adesk::Int32 i = 0; i < n; ++i) {
            AcDbObjectId id;
            if ((es = filer->readHardOwnershipId(&id)) != Acad::eOk) return es;
            if (!id.isNull()) attributes.push_back(id);
        }
        if ((es = filer->readArrayEnd()) != Acad::eOk) return es;
    } else if (es != Acad::eOk && es != Acad::eKeyNotFound) {
        return es;
    }
    m_attributes = std::move(attributes);
    // A fixture may give only one of the two; a position that was given wins.
    const AcGePoint3d before = position();
    m_xform = xf;
    if (!pos.isEqualTo(before)) m_xform.setTranslation(pos.asVector());
    return Acad::eOk;
}
