#include "module/placement/CVkQsTempRoom.h"

#include "host/ge/AcGePlane.h"

CVkQsTempRoom::CVkQsTempRoom(const std::vector<Vertex>* vertices, const AcGePoint3d* blockOrigin,
                             const AcGeMatrix3d* xform)
{
    if (vertices) m_Vertices = *vertices;
    m_nVertexCount = static_cast<int>(m_Vertices.size());
    if (blockOrigin) m_InsertPt = *blockOrigin;
    if (xform) m_Xform = *xform;
}

CVkQsTempRoom::~CVkQsTempRoom() = default;

void CVkQsTempRoom::SetDragState(const AcGePoint3d* insertPt, const AcGeMatrix3d* xform)
{
    if (insertPt) m_InsertPt = *insertPt;
    if (xform) m_Xform = *xform;
}

bool CVkQsTempRoom::subWorldDraw(AcGiWorldDraw* wd) const
{
    AcDbEntity::subWorldDraw(wd);
    m_Xform.setTranslation(AcGeVector3d(m_InsertPt.x, m_InsertPt.y, 0));
    const AcGePlane world(AcGePoint3d::kOrigin, AcGeVector3d::kZAxis);
    AcDbPolyline outline;
    unsigned int k = 0;
    for (const Vertex& v : m_Vertices) {
        AcGePoint3d p = v.second;
        p.transformBy(m_Xform);
        outline.addVertexAt(k++, p.convert2d(world), v.first, -1, -1);
    }
    wd->geometry().pline(outline, 0, 0);
    return true;
}

Acad::ErrorStatus CVkQsTempRoom::subTransformBy(const AcGeMatrix3d& xform)
{
    if (AcDbDwgFiler* filer = undoFiler()) {
        filer->writeString(AcDbEntity::desc()->name());
        filer->writeInt32(kUndoTransform);
        AcGePoint3d origin;
        AcGeVector3d x, y, z;
        xform.getCoordSystem(origin, x, y, z);
        filer->writePoint3d(origin);
        filer->writeVector3d(x);
        filer->writeVector3d(y);
        filer->writeVector3d(z);
    }
    return Acad::eOk;
}

Acad::ErrorStatus CVkQsTempRoom::applyPartialUndo(AcDbDwgFiler* undoFiler, AcRxClass* classObj)
{
    if (classObj != AcDbEntity::desc()) return AcDbEntity::applyPartialUndo(undoFiler, classObj);
    Adesk::Int32 opcode = 0;
    undoFiler->readInt32(&opcode);
    if (opcode == kUndoTransform) {
        AcGePoint3d origin;
        AcGeVector3d x, y, z;
        undoFiler->readPoint3d(&origin);
        undoFiler->readVector3d(&x);
        undoFiler->readVector3d(&y);
        undoFiler->readVector3d(&z);
        AcGeMatrix3d m;
        m.setCoordSystem(origin, x, y, z);
        transformBy(m.invert());
    }
    return Acad::eOk;
}

Acad::ErrorStatus CVkQsTempRoom::getPlane(AcGePlane&, AcDb::Planarity&) const { return Acad::eNotApplicable; }

Acad::ErrorStatus CVkQsTempRoom::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeInt32(kVersion);
    filer->writeInt32(static_cast<Adesk::Int32>(m_Vertices.size()));
    for (const Vertex& v : m_Vertices) {
        filer->writePoint3d(v.second);
        filer->writeDouble(v.first);
    }
    filer->writePoint3d(m_InsertPt);
    return filer->filerStatus();
}

Acad::ErrorStatus CVkQsTempRoom::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    Adesk::Int32 version = 0;
    filer->readInt32(&version);
    if (version > kVersion) return Acad::eMakeMeProxy;
    if (version == kVersion) {
        Adesk::Int32 count = 0;
        filer->readInt32(&count);
        for (Adesk::Int32 i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
            Vertex v;
            filer->readPoint3d(&v.second);
            filer->readDouble(&v.first);
            m_Vertices.push_back(v);
        }
        filer->readPoint3d(&m_InsertPt);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus CVkQsTempRoom::dxfOutFields(AcDbDxfFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dxfOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeSubclassMarker(u"CVkQsTempRoom");
    filer->writeInt16(70, kVersion);
    return filer->filerStatus();
}

Acad::ErrorStatus CVkQsTempRoom::dxfInFields(AcDbDxfFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dxfInFields(filer);
    if (es != Acad::eOk || !filer->atSubclassData(u"CVkQsTempRoom")) return filer->filerStatus();
    AcDbDxfItem item;
    filer->readItem(&item);
    if (item.groupCode != 70) {
        filer->pushBackItem();
        filer->setError(Acad::eInvalidDxfCode, u"Error: expected object version group code %d", 70);
        return filer->filerStatus();
    }
    const Adesk::Int32* version = std::get_if<Adesk::Int32>(&item.value);
    if (version && *version > kVersion) return Acad::eMakeMeProxy;
    return filer->filerStatus();
}
