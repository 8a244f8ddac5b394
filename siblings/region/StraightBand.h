#pragma once
// A straight stretch with a width, from start to end: the geometry that beams and duct pieces
// share. It files as "start", "end", "width", draws as its outline (the centre line when the
// width is 0), and scales its width with a uniform scale.
#include <vector>

#include "host/db/AcDbObject.h"

struct StraightBand {
    AcGePoint3d start, end;
    double width = 0;

    void getGeomPieces(std::vector<AcDbEntity::GeomPiece>& pieces) const;
    void transformBy(const AcGeMatrix3d& xform);
    void list(CString& out) const;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer);  // eInvalidInput for a negative width
};
