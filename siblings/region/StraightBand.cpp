#include "siblings/region/StraightBand.h"

#include "host/ge/AcGeMatrix3d.h"

void StraightBand::getGeomPieces(std::vector<AcDbEntity::GeomPiece>& pieces) const
{
    auto line = [&](const AcGePoint3d& a, const AcGePoint3d& b) {
        AcDbEntity::GeomPiece g;
        g.kind = AcDbEntity::GeomPiece::kLine;
        g.a = a;
        g.b = b;
        pieces.push_back(g);
    };
    const AcGeVector3d dir = (end - start).normal();
    if (width <= 0 || dir.isZeroLength()) {
        line(start, end);
        return;
    }
    const AcGeVector3d side = AcGeVector3d::kZAxis.crossProduct(dir) * (width / 2);
    const AcGePoint3d a = start + side, b = end + side, c = end - side, d = start - side;
    line(a, b);
    line(b, c);
    line(c, d);
    line(d, a);
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
