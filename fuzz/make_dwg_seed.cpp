// Writes a small valid drawing as the seed corpus of dwg_reader_fuzz: make_dwg_seed <file>.
#include <fstream>
#include <string>

#include "host/db/AcDb.h"
#include "host/db/DwgFormat.h"

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    AcDbDatabase db;
    AcDbBlockTableRecord* ms = nullptr;
    if (acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForWrite) != Acad::eOk) return 1;
    auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 2, 0));
    if (ms->appendAcDbEntity(line) == Acad::eOk) line->close();
    auto* pl = new AcDbPolyline;
    pl->addVertexAt(0, AcGePoint2d(0, 0));
    pl->addVertexAt(1, AcGePoint2d(3, 0), 0.4);
    if (ms->appendAcDbEntity(pl) == Acad::eOk) pl->close();
    ms->close();
    std::string bytes;
    if (vkdwg::writeDrawing(&db, bytes) != Acad::eOk) return 1;
    std::ofstream(argv[1], std::ios::binary) << bytes;
    return 0;
}
