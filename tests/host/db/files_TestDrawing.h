#pragma once
// Helpers of the drawing-file, clone and JSON tests: a scratch folder and small drawings.
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/db/AcDb.h"
#include "host/db/AcDbJson.h"
#include "host/db/DwgFormat.h"
#include "host/win/Windows.h"
#include "tests/support/ProjectFiles.h"
#include "tests/support/TestDrawing.h"

namespace filestest {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir()
    {
        static int counter = 0;
        m_path = std::filesystem::temp_directory_path() /
                 ("vk-dbfiles-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string host(const std::string& name) const { return (m_path / name).string(); }
    CString win(const std::string& name) const { return CString::FromUtf8(host(name)); }

private:
    std::filesystem::path m_path;
};

inline std::string readBytes(const std::string& hostPath)
{
    std::ifstream in(hostPath, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeBytes(const std::string& hostPath, const std::string& bytes)
{
    std::ofstream(hostPath, std::ios::binary | std::ios::trunc) << bytes;
}

// Makes the checksum at the end of a drawing file's bytes right again after a change.
inline void fixChecksum(std::string& bytes)
{
    const std::uint32_t crc = vkdwg::crc32(bytes.data(), bytes.size() - 4);
    std::memcpy(bytes.data() + bytes.size() - 4, &crc, 4);
}

using vktest::appendTo;

inline AcDbObjectId addLine(AcDbDatabase& db, AcGePoint3d a, AcGePoint3d b, const char16_t* layer = u"0")
{
    auto* line = new AcDbLine(a, b);
    line->setLayer(layer);
    return appendTo(db.modelSpaceId(), line);
}

inline AcDbObjectId addLayer(AcDbDatabase& db, const char16_t* name, Adesk::UInt16 color)
{
    AcDbObjectId id;
    acdbEnsureLayer(&db, name, true, &id);
    AcDbObjectPointer<AcDbLayerTableRecord> layer(id, AcDb::kForWrite);
    if (layer) layer->setColorIndex(color);
    return id;
}

// A new block definition with a few entities; its id.
inline AcDbObjectId addBlock(AcDbDatabase& db, const char16_t* name)
{
    const AcDbObjectId id = vktest::addBlockDefinition(db, name);
    if (id.isNull()) return id;
    appendTo(id, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    appendTo(id, new AcDbLine(AcGePoint3d(1, 0, 0), AcGePoint3d(1, 1, 0)));
    return id;
}

// A drawing with something of every host class: lines on two layers, a closed polyline with
// a bulge, a block and a rotated reference to it, an erased line.
inline void buildSampleDrawing(AcDbDatabase& db)
{
    addLayer(db, u"Pipes", 3);
    addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0));
    addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(0, 10, 2), u"Pipes");
    auto* pl = new AcDbPolyline;
    pl->addVertexAt(0, AcGePoint2d(0, 0));
    pl->addVertexAt(1, AcGePoint2d(5, 0), 0.5);
    pl->addVertexAt(2, AcGePoint2d(5, 5), 0, 0.1, 0.2);
    pl->setClosed(true);
    pl->setElevation(1.5);
    appendTo(db.modelSpaceId(), pl);
    AcDbObjectId block = addBlock(db, u"Door");
    auto* ref = new AcDbBlockReference(AcGePoint3d(3, 4, 0), block);
    ref->setRotation(0.5);
    appendTo(db.modelSpaceId(), ref);
    AcDbObjectId gone = addLine(db, AcGePoint3d(7, 7, 0), AcGePoint3d(8, 8, 0));
    AcDbObjectPointer<AcDbLine> line(gone, AcDb::kForWrite);
    if (line) line->erase();
}

inline std::string dump(AcDbDatabase& db) { return vktest::DumpJson(db); }

}  // namespace filestest
