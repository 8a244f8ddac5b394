#include "siblings/region/StraightBand.h"

#include "host/ge/AcGeMatrix3d.h"

int StraightBand::corners(AcGePoint3d out[4]) const
{
    const AcGeVector3d dir = (end - start).normal();
    if (width <= 0 || dir.isZeroLength()) {
        out[0] = start;
        out[1] = end;
        return 2;
    }
    const AcGeVector3d side = AcGeVector3d::kZAxis.crossProduct(dir) * (width / 2);
    out[0] = start + side;
    out[1] = end + side;
    out[2] = end - side;
    out[3] = start - side;
    return 4;
}

void StraightBand::getGeomPieces(std::vector<AcDbEntity::GeomPiece>& pieces) const
{
    AcGePoint3d c[4];
    const int n = corners(c);
    for (int i = 0; i < (n == 2 ? 1 : n); ++i) {
        AcDbEntity::GeomPiece g;
        g.kind = AcDbEntity::GeomPiece::kLine;
        g.a = c[i];
        g.b = c[(i + 1) % n];
        pieces.push_back(g);
    }
}

void StraightBand::getExtents(AcDbExtents& ext) const
{
    AcGePoint3d c[4];
    const int n = corners(c);
    AcDbExtents box;
    for (int i = 0; i < n; ++i) box.addPoint(c[i]);
    ext = box;
}

void StraightBand::transformBy(const AcGeMatrix3d& xform)
{
    start.transformBy(xform);
    end.transformBy(xform);
    // A uniform scale scales the width too; mirrors and rotations keep it.
    AcGeVector3d unit = AcGeVector3d::kXAxis;
    width *= unit.transformBy(xform).length();
}

void StraightBand::list(CString& out) const
{
    CString s;
    s.Format(u"  Start: %g, %g, %g\n  End: %g, %g, %g\n  Width: %g\n", start.x, start.y, start.z, end.x, end.y,
             end.z, width);
    out += s;
}

Acad::ErrorStatus StraightBand::dwgOutFields(AcDbDwgFiler* filer) const
{
    filer->writePoint3d(start, "start");
    filer->writePoint3d(end, "end");
    filer->writeDouble(width, "width");
    return filer->filerStatus();
}

Acad::ErrorStatus StraightBand::dwgInFields(AcDbDwgFiler* filer)
{
    filer->readPoint3d(&start, "start");
    filer->readPoint3d(&end, "end");
    filer->readDouble(&width, "width");
    if (filer->filerStatus() == Acad::eOk && width < 0) return Acad::eInvalidInput;
    return filer->filerStatus();
}
