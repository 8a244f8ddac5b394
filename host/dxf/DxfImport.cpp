// DXF into a drawing: dxflib reads the file, this turns what it reports into layers, blocks
// and entities. dxflib does not hand over polyline widths or attribute flags; the scan
// before the read collects those, in the order of the file.
#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <sstream>

#include "host/db/AcDb.h"
#include "host/dxf/DxfInterchange.h"
#include "host/dxf/detail/DxfDrawn.h"
#include "host/dxf/detail/DxfEntities.h"
#include "host/dxf/detail/DxfRecords.h"
#include "host/dxf/detail/DxfScan.h"
#include "host/dxf/detail/DxfText.h"

namespace vkdxf {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

// The frame of an object whose extrusion is not +Z (the arbitrary axis rule of DXF).
AcGeMatrix3d ocsToWorld(const double* dir)
{
    AcGeVector3d n{dir[0], dir[1], dir[2]};
    const double len = n.length();
    if (!(len > 0) || !std::isfinite(len)) return AcGeMatrix3d();
    n = n * (1 / len);
    AcGeVector3d ax = (std::abs(n.x) < 1.0 / 64 && std::abs(n.y) < 1.0 / 64) ? AcGeVector3d::kYAxis.crossProduct(n)
                                                                             : AcGeVector3d::kZAxis.crossProduct(n);
    ax = ax * (1 / ax.length());
    AcGeVector3d ay = n.crossProduct(ax);
    ay = ay * (1 / ay.length());
    AcGeMatrix3d m;
    m.setCoordSystem(AcGePoint3d::kOrigin, ax, ay, n);
    return m;
}

constexpr double kPlusZ[3] = {0, 0, 1};

bool isPlusZ(const double* dir) { return std::abs(dir[0]) < 1e-12 && std::abs(dir[1]) < 1e-12 && dir[2] > 0; }

bool finite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// A name that the drawing accepts: characters that symbol names may not hold become '_'.
CString symbolName(CString name)
{
    name.Trim();
    static const char16_t kBad[] = u"<>/\\\":;?|,=`";
    for (int i = 0; i < name.GetLength(); ++i) {
        const char16_t c = name[i];
        if (c < 0x20 || std::char_traits<char16_t>::find(kBad, sizeof kBad / 2 - 1, c) || (c == u'*' && i > 0))
            name.SetAt(i, u'_');
    }
    return name.IsEmpty() ? CString(u"_") : name;
}

// The entity types read from their own group codes (the library's calls for them only say
// where in the file they come).
const std::vector<std::string> kRecordTypes = {"ELLIPSE", "SPLINE", "HATCH", "SOLID", "MTEXT", "DIMENSION",
                                               "ATTDEF", "INSERT"};

class Importer : public DL_CreationAdapter {
public:
    using Records = std::map<std::string, std::vector<DxfRecord>>;
    Importer(AcDbDatabase* db, const TextCodec& codec, const DxfScan& scan, const Records& records, ImportReport& report)
        : m_db(db), m_codec(codec), m_scan(scan), m_records(records), m_report(report), m_target(db->modelSpaceId())
    {
    }

    // The library reports a linetype's dashes first, then the linetype.
    void addLinetypeDash(double length) override
    {
        if (std::isfinite(length) && m_dashes.size() < 12) m_dashes.push_back(length);
    }

    void addLinetype(const DL_LinetypeData& d) override
    {
        finishPolyline();
        m_linetypes.push_back({m_codec.decode(d.name), m_codec.decode(d.description), std::move(m_dashes)});
        m_dashes.clear();
    }

    // What the file leaves for the end: attribute definitions of model space, the linetypes.
    void finish()
    {
        finishPolyline();
        m_target = m_db->modelSpaceId();
        appendDefinitions(-1);
        AcDbLinetypeTable* table = nullptr;
        for (const Linetype& lt : m_linetypes) {
            const CString name = symbolName(lt.name);
            if (IsStandardLinetype(name) || name[0] == u'*') continue;  // every drawing knows those
            if (!table && m_db->getLinetypeTable(table, AcDb::kForWrite) != Acad::eOk) return;
            if (table->has(name.GetString())) continue;
            auto* rec = new AcDbLinetypeTableRecord;
            rec->setName(name.GetString());
            rec->setComments(lt.comments.GetString());
            rec->setDashes(lt.dashes);
            if (table->add(rec) == Acad::eOk) rec->close();
            else delete rec;
        }
        if (table) table->close();
    }

    void addLayer(const DL_LayerData& d) override
    {
        finishPolyline();
        const CString name = layerName(d.name);
        AcDbObjectId id;
        if (!acdbEnsureLayer(m_db, name, true, &id)) return;
        AcDbLayerTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, id, AcDb::kForWrite) != Acad::eOk) return;
        const int color = std::abs(attributes.getColor());
        rec->setColorIndex(static_cast<Adesk::UInt16>(color >= 1 && color <= 255 ? color : 7));
        rec->setIsOff(d.off || attributes.getColor() < 0);
        rec->setIsFrozen((d.flags & 1) != 0);
        rec->setIsLocked((d.flags & 4) != 0);
        rec->setLinetype(LinetypeName(symbolName(m_codec.decode(attributes.getLinetype()))).GetString());
        const AcDb::LineWeight weight = LineWeightOf(attributes.getWidth());
        if (weight >= 0) rec->setLineWeight(weight);
        rec->close();
        ++m_report.layers;
    }

    void addBlock(const DL_BlockData& d) override
    {
        finishPolyline();
        ++m_blocksSeen;
        m_blockNumber = -2;
        CString name = m_codec.decode(d.name);
        // The layouts' own blocks: what they hold is paper space, not read.
        if (name.Left(12).CompareNoCase(u"*Model_Space") == 0 || name.Left(12).CompareNoCase(u"*Paper_Space") == 0) {
            m_target = AcDbObjectId();
            return;
        }
        m_target = blockId(name);
        m_blockNumber = m_blocksSeen - 1;  // as the records count them, from 0
        AcDbBlockTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, m_target, AcDb::kForWrite) == Acad::eOk) {
            if (finite({d.bpx, d.bpy, d.bpz})) rec->setOrigin(AcGePoint3d(d.bpx, d.bpy, d.bpz));
            rec->close();
        }
        ++m_report.blocks;
    }

    void endBlock() override
    {
        finishPolyline();
        if (m_blockNumber >= 0) appendDefinitions(m_blockNumber);
        m_target = m_db->modelSpaceId();
        m_blockNumber = -1;
    }

    void addEllipse(const DL_EllipseData&) override
    {
        finishPolyline();
        if (const DxfRecord* r = take("ELLIPSE")) appendRecord(MakeEllipse(*r), "ELLIPSE", *r, false);
    }

    void addSpline(const DL_SplineData&) override
    {
        finishPolyline();
        if (const DxfRecord* r = take("SPLINE")) appendRecord(MakeSpline(*r), "SPLINE", *r, false);
    }

    void addHatch(const DL_HatchData&) override
    {
        finishPolyline();
        if (const DxfRecord* r = take("HATCH")) appendRecord(MakeHatch(*r), "HATCH", *r, true);
    }

    void addSolid(const DL_SolidData&) override
    {
        finishPolyline();
        if (const DxfRecord* r = take("SOLID")) appendRecord(MakeSolid(*r), "SOLID", *r, true);
    }

    void addDimAlign(const DL_DimensionData&, const DL_DimAlignedData&) override { dimension(); }
    void addDimLinear(const DL_DimensionData&, const DL_DimLinearData&) override { dimension(); }
    void addDimRadial(const DL_DimensionData&, const DL_DimRadialData&) override { dimension(); }
    void addDimDiametric(const DL_DimensionData&, const DL_DimDiametricData&) override { dimension(); }
    void addDimAngular(const DL_DimensionData&, const DL_DimAngular2LData&) override { dimension(); }
    void addDimAngular3P(const DL_DimensionData&, const DL_DimAngular3PData&) override { dimension(); }
    void addDimOrdinate(const DL_DimensionData&, const DL_DimOrdinateData&) override { dimension(); }

    void dimension()
    {
        finishPolyline();
        const DxfRecord* r = take("DIMENSION");
        if (!r) return;
        AcDbDimension* d = MakeDimension(*r, m_codec);
        const CString block = m_codec.decode(std::string(r->text(2)));
        if (d && !block.IsEmpty()) d->setDimBlockId(blockId(block));
        m_drawn.startReference(r->line, "DIMENSION");
        appendRecord(d, "DIMENSION", *r, false);
    }

    void addPoint(const DL_PointData& d) override
    {
        finishPolyline();
        if (finite({d.x, d.y, d.z})) append(new AcDbPoint(AcGePoint3d(d.x, d.y, d.z)), "POINT");
    }

    void addLine(const DL_LineData& d) override
    {
        finishPolyline();
        if (finite({d.x1, d.y1, d.z1, d.x2, d.y2, d.z2}))
            append(new AcDbLine(AcGePoint3d(d.x1, d.y1, d.z1), AcGePoint3d(d.x2, d.y2, d.z2)), "LINE");
    }

    void addArc(const DL_ArcData& d) override
    {
        finishPolyline();
        // Radius 0 too: a degenerate arc is kept as the file has it.
        if (!finite({d.cx, d.cy, d.cz, d.radius, d.angle1, d.angle2}) || !(d.radius >= 0)) return;
        append(new AcDbArc(AcGePoint3d(d.cx, d.cy, d.cz), d.radius, d.angle1 * kDegree, d.angle2 * kDegree), "ARC");
    }

    void addCircle(const DL_CircleData& d) override
    {
        finishPolyline();
        if (!finite({d.cx, d.cy, d.cz, d.radius}) || !(d.radius >= 0)) return;
        append(new AcDbCircle(AcGePoint3d(d.cx, d.cy, d.cz), d.radius), "CIRCLE");
    }

    void addText(const DL_TextData& d) override
    {
        finishPolyline();
        if (auto* t = makeText(d)) append(t, "TEXT");
    }

    void addImage(const DL_ImageData& d) override
    {
        finishPolyline();
        if (!finite({d.ipx, d.ipy, d.ipz, d.ux, d.uy, d.uz, d.vx, d.vy, d.vz})) return;
        auto* image = new AcDbRasterImage;
        if (image->setPlacement(AcGePoint3d(d.ipx, d.ipy, d.ipz), AcGeVector3d(d.ux, d.uy, d.uz),
                                AcGeVector3d(d.vx, d.vy, d.vz), AcGePoint2d(d.width, d.height)) != Acad::eOk) {
            delete image;
            return;
        }
        AcDbObjectId id;
        if (appendWith(image, "IMAGE", kPlusZ, nullptr, &id)) m_images.emplace_back(d.ref, id);
    }

    // The file of the images that refer to an image definition (the OBJECTS section comes last).
    void linkImage(const DL_ImageDefData& d) override
    {
        for (const auto& [ref, id] : m_images) {
            if (ref != d.ref) continue;
            AcDbObjectPointer<AcDbRasterImage> image(id, AcDb::kForWrite);
            if (image) image->setImageFile(m_codec.decode(d.file));
        }
    }

    void addMText(const DL_MTextData&) override
    {
        finishPolyline();
        if (const DxfRecord* r = take("MTEXT")) appendRecord(MakeMText(*r, m_codec), "MTEXT", *r, false);
    }

    void addPolyline(const DL_PolylineData& d) override
    {
        finishPolyline();
        m_poly = std::make_unique<Pending>();
        // The next polyline of the file: the reader skips empty LWPOLYLINEs, so one of those is
        // matched by its vertex count; a 2-D POLYLINE is never skipped, and the reader hands
        // over no count for it (its number is whatever the last LWPOLYLINE left).
        while (m_polys < m_scan.polylines.size() && m_scan.polylines[m_polys].lightweight &&
               m_scan.polylines[m_polys].vertices.size() != d.number)
            ++m_polys;
        if (m_polys < m_scan.polylines.size()) m_poly->record = &m_scan.polylines[m_polys++];
        m_poly->type = !m_poly->record || m_poly->record->lightweight ? "LWPOLYLINE" : "POLYLINE";
        m_poly->attrib = attributes;
        getExtrusion()->getDirection(m_poly->dir);
        m_poly->target = m_target;
        m_poly->unsupported = (d.flags & (8 | 16 | 64)) != 0;  // 3-D polylines and meshes
        m_poly->pl = std::make_unique<AcDbPolyline>();
        m_poly->pl->setClosed((d.flags & 1) != 0);
        if (std::isfinite(d.elevation)) m_poly->pl->setElevation(d.elevation);
    }

    void addVertex(const DL_VertexData& d) override
    {
        if (!m_poly || m_poly->unsupported) return;
        const size_t k = m_poly->seen++;
        if (!finite({d.x, d.y, d.bulge})) return;
        double sw = -1, ew = -1;
        if (const DxfScan::Polyline* r = m_poly->record; r && k < r->vertices.size()) {
            const DxfScan::Vertex& v = r->vertices[k];
            if (v.flags & 16) return;  // a spline's frame point, not on the curve
            sw = v.startWidth >= 0 ? v.startWidth : r->lightweight ? r->constWidth : r->startWidth;
            ew = v.endWidth >= 0 ? v.endWidth : r->lightweight ? r->constWidth : r->endWidth;
        }
        m_poly->pl->addVertexAt(m_poly->count++, AcGePoint2d(d.x, d.y), d.bulge, sw < 0 ? 0 : sw, ew < 0 ? 0 : ew);
    }

    void endEntity() override
    {
        if (m_poly && m_poly->type == "LWPOLYLINE") finishPolyline();
    }
    void endSequence() override { finishPolyline(); }

    void addInsert(const DL_InsertData& d) override
    {
        finishPolyline();
        m_drawn.startReference(m_inserts < m_scan.insertLines.size() ? m_scan.insertLines[m_inserts++] : 0, "INSERT");
        if (!finite({d.ipx, d.ipy, d.ipz, d.sx, d.sy, d.sz, d.angle, d.colSp, d.rowSp})) return;
        const AcDbObjectId block = blockId(m_codec.decode(d.name));
        if (block.isNull()) return;
        const double sx = d.sx == 0 ? 1 : d.sx, sy = d.sy == 0 ? 1 : d.sy, sz = d.sz == 0 ? 1 : d.sz;
        AcGeMatrix3d scale;
        scale.setCoordSystem(AcGePoint3d::kOrigin, AcGeVector3d(sx, 0, 0), AcGeVector3d(0, sy, 0),
                             AcGeVector3d(0, 0, sz));
        const AcGeMatrix3d turn = AcGeMatrix3d::rotation(d.angle * kDegree, AcGeVector3d::kZAxis);
        const int cols = std::clamp(d.cols, 1, 100), rows = std::clamp(d.rows, 1, 100);
        const DxfRecord* record = take("INSERT");
        bool any = false;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                const AcGeVector3d offset = turn * AcGeVector3d(c * d.colSp, r * d.rowSp, 0);
                AcGeMatrix3d m = AcGeMatrix3d::translation(AcGeVector3d(d.ipx, d.ipy, d.ipz) + offset) * turn * scale;
                auto* ref = new AcDbBlockReference(AcGePoint3d::kOrigin, block);
                ref->transformBy(m);
                AcDbObjectId refId;
                const bool added = append(ref, nullptr, &refId);
                any = added || any;
                // The attributes go with the first copy of a grid.
                if (added && record && r == 0 && c == 0) attach(refId, *record);
            }
        if (any) ++m_report.imported["INSERT"];
    }

    const DrawnCount& drawn() const { return m_drawn; }

    void finishPolyline()
    {
        if (!m_poly) return;
        std::unique_ptr<Pending> p = std::move(m_poly);
        if (p->unsupported || p->pl->numVerts() < 2) return;
        const AcDbObjectId saved = m_target;
        m_target = p->target;
        const DL_Attributes savedAttrib = attributes;
        attributes = p->attrib;
        appendWith(p->pl.release(), p->type.c_str(), p->dir, nullptr);
        attributes = savedAttrib;
        m_target = saved;
    }

private:
    struct Pending {
        std::string type;
        DL_Attributes attrib;
        double dir[3] = {0, 0, 1};
        AcDbObjectId target;
        bool unsupported = false;
        std::unique_ptr<AcDbPolyline> pl;
        const DxfScan::Polyline* record = nullptr;
        size_t seen = 0;     // vertices reported
        unsigned count = 0;  // vertices taken
    };

    AcDbText* makeText(const DL_TextData& d)
    {
        if (!finite({d.ipx, d.ipy, d.ipz, d.height, d.angle})) return nullptr;
        const CString s = DecodeTextSpecials(m_codec.decode(d.text));
        // Aligned (3) and fitted (5) texts run from their first point; others hang on the
        // second point unless they are plain left/baseline texts.
        const bool second = !(d.hJustification == 0 && d.vJustification == 0) && d.hJustification != 3 &&
                            d.hJustification != 5 && finite({d.apx, d.apy, d.apz});
        auto* t = new AcDbText(second ? AcGePoint3d(d.apx, d.apy, d.apz) : AcGePoint3d(d.ipx, d.ipy, d.ipz), s);
        if (d.height > 0) t->setHeight(d.height);
        t->setRotation(d.angle);  // the reader gives radians
        if (second) {
            const int h = d.hJustification == 4 ? 1 : d.hJustification;
            t->setHorizontalMode(static_cast<AcDb::TextHorzMode>(std::clamp(h, 0, 2)));
            t->setVerticalMode(d.hJustification == 4 ? AcDb::kTextVertMid
                                                      : static_cast<AcDb::TextVertMode>(std::clamp(d.vJustification, 0, 3)));
        }
        return t;
    }

    CString layerName(const std::string& raw)
    {
        auto it = m_layerNames.find(raw);
        if (it != m_layerNames.end()) return it->second;
        CString name = symbolName(m_codec.decode(raw.empty() ? std::string("0") : raw));
        m_layerNames.emplace(raw, name);
        return name;
    }

    // The block of that name, made empty when the file has not defined it (yet).
    AcDbObjectId blockId(const CString& rawName)
    {
        const CString name = symbolName(rawName);
        AcDbBlockTable* table = nullptr;
        if (m_db->getBlockTable(table, AcDb::kForWrite) != Acad::eOk) return AcDbObjectId();
        AcDbObjectId id;
        if (table->getAt(name, id) != Acad::eOk) {
            auto* rec = new AcDbBlockTableRecord;
            rec->setName(name);
            if (table->add(id, rec) == Acad::eOk) rec->close();
            else delete rec, id = AcDbObjectId();
        }
        table->close();
        return id;
    }

    bool append(AcDbEntity* ent, const char* type, AcDbObjectId* id = nullptr)
    {
        double dir[3] = {0, 0, 1};
        getExtrusion()->getDirection(dir);
        return appendWith(ent, type, dir, nullptr, id);
    }

    // An entity made from its record: its extrusion turns it into the world when its
    // coordinates are in the extrusion's frame (inFrame).
    bool appendRecord(AcDbEntity* ent, const char* type, const DxfRecord& r, bool inFrame)
    {
        double dir[3] = {0, 0, 1};
        if (inFrame) RecordExtrusion(r, dir);
        return appendWith(ent, type, dir, &r);
    }

    // The next record of a type, in the order the library reports them; by handle when the
    // file gives handles, so that an entity the library leaves out does not shift the rest.
    const DxfRecord* take(const std::string& type)
    {
        auto it = m_records.find(type);
        if (it == m_records.end()) return nullptr;
        size_t& next = m_taken[type];
        const long handle = attributes.getHandle();
        if (handle >= 0)
            for (size_t k = next; k < it->second.size(); ++k)
                if (it->second[k].handle == handle) return next = k + 1, &it->second[k];
        return next < it->second.size() ? &it->second[next++] : nullptr;
    }

    // The attribute definitions of a block (-1: model space), which the library does not report.
    void appendDefinitions(int block)
    {
        auto it = m_records.find("ATTDEF");
        if (it == m_records.end()) return;
        for (const DxfRecord& r : it->second)
            if (r.block == block) appendRecord(MakeAttributeDefinition(r, m_codec), "ATTDEF", r, true);
    }

    // An INSERT's ATTRIBs as attributes of the reference just made.
    void attach(AcDbObjectId refId, const DxfRecord& insert)
    {
        for (const DxfRecord& r : insert.attributes) {
            std::unique_ptr<AcDbAttribute> attr(MakeAttribute(r, m_codec));
            if (!attr || !styleFrom(attr.get(), &r)) continue;
            double dir[3];
            RecordExtrusion(r, dir);
            if (!isPlusZ(dir)) attr->transformBy(ocsToWorld(dir));
            AcDbBlockReference* ref = nullptr;
            if (acdbOpenObject(ref, refId, AcDb::kForWrite) != Acad::eOk) return;
            AcDbObjectId id;
            const Acad::ErrorStatus es = ref->appendAttribute(id, attr.get());
            ref->close();
            if (es != Acad::eOk) continue;
            attr.release()->close();
            ++m_report.imported["ATTRIB"];
        }
    }

    // Layer, colour and line style from the record, or from what the library read; false for
    // paper space.
    bool styleFrom(AcDbEntity* ent, const DxfRecord* r)
    {
        if (r ? r->integer(67, 0) == 1 : attributes.isInPaperSpace()) return false;
        const CString layer = layerName(r ? std::string(r->text(8)) : attributes.getLayer());
        if (!acdbEnsureLayer(m_db, layer, true)) return false;
        ent->setLayer(layer);
        const int color = r ? r->integer(62, 256) : attributes.getColor();
        ent->setColorIndex(static_cast<Adesk::UInt16>(color >= 0 && color <= 256 ? color : 256));
        const std::string linetype = r ? std::string(r->text(6, "ByLayer")) : attributes.getLinetype();
        ent->setLinetype(LinetypeName(symbolName(m_codec.decode(linetype))).GetString());
        const double scale = r ? r->number(48, 1) : attributes.getLinetypeScale();
        if (scale > 0 && std::isfinite(scale)) ent->setLinetypeScale(scale);
        ent->setLineWeight(LineWeightOf(r ? r->integer(370, -1) : attributes.getWidth()));
        return true;
    }

    // Appends to the block being read, on the entity's layer, in its colour and line style,
    // turned from its own frame into the world. Paper space and the layouts' blocks are not
    // read.
    bool appendWith(AcDbEntity* ent, const char* type, const double* dir, const DxfRecord* r = nullptr,
                    AcDbObjectId* id = nullptr)
    {
        std::unique_ptr<AcDbEntity> owned(ent);
        if (!ent || m_target.isNull() || !styleFrom(ent, r)) return false;
        if (!isPlusZ(dir)) ent->transformBy(ocsToWorld(dir));
        AcDbBlockTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, m_target, AcDb::kForWrite) != Acad::eOk) return false;
        AcDbObjectId appended;
        const Acad::ErrorStatus es = rec->appendAcDbEntity(appended, ent);
        rec->close();
        if (es != Acad::eOk) return false;
        m_drawn.add(m_target, *ent);
        owned.release()->close();
        if (id) *id = appended;
        if (type) ++m_report.imported[type];
        return true;
    }

    struct Linetype {
        CString name, comments;
        std::vector<double> dashes;
    };

    AcDbDatabase* m_db;
    const TextCodec& m_codec;
    const DxfScan& m_scan;
    const Records& m_records;
    std::map<std::string, size_t> m_taken;  // records of each type used so far
    size_t m_polys = 0, m_inserts = 0;      // records of the scan used so far
    DrawnCount m_drawn;
    ImportReport& m_report;
    AcDbObjectId m_target;  // null inside the layouts' blocks
    int m_blocksSeen = 0, m_blockNumber = -1;  // the block being read (-1: none; -2: a layout's)
    std::unique_ptr<Pending> m_poly;
    std::vector<Linetype> m_linetypes;
    std::vector<double> m_dashes;  // of the linetype the library reports next
    std::vector<std::pair<std::string, AcDbObjectId>> m_images;  // by the handle of their definition
    std::map<std::string, CString> m_layerNames;
};

}  // namespace

std::string ImportReport::skippedText() const
{
    std::string out;
    for (const auto& [type, n] : skipped) {
        if (!out.empty()) out += ", ";
        // A damaged file's type names may hold any byte: what is not printable is shown by its code.
        for (const unsigned char c : type) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", c);
            out += c >= 0x20 && c < 0x7f ? std::string(1, char(c)) : std::string(code);
        }
        out += " " + std::to_string(n);
    }
    return out;
}

bool ImportDxf(std::istream& in, AcDbDatabase* db, ImportReport& report, std::string& why)
{
    // The scan reads the stream first, a line at a time, and refuses a bad file before more of
    // it is held. A file it accepts is taken whole (of a stream that cannot go back, the scan
    // keeps what it read), up to its EOF: some entities are read from its records, the library
    // reads the rest.
    const std::istream::pos_type start = in.tellg();
    const bool rewinds = start != std::istream::pos_type(-1);
    std::string text;
    DxfScan scan;
    if (!ScanDxf(in, scan, why, rewinds ? nullptr : &text)) return false;
    if (rewinds) {
        if (in.clear(), !in.seekg(start)) {
            why = "line 1: the file cannot be read twice";
            return false;
        }
        text.resize(scan.length);
        if (in.read(text.data(), std::streamsize(scan.length)).gcount() != std::streamsize(scan.length)) {
            why = "line 1: the file changed while it was read";
            return false;
        }
    }
    // What follows EOF is not read, by the library either.
    text.resize(std::min(text.size(), scan.length));
    report = ImportReport{};
    report.version = scan.acadver;
    const TextCodec codec(scan.acadver, scan.codePage);
    const auto records = ReadRecords(text, kRecordTypes);
    Importer importer(db, codec, scan, records, report);
    std::istringstream stream(text);
    DL_Dxf dxf;
    if (!dxf.in(stream, &importer)) {
        why = "line 1: the DXF reader refused the file";
        return false;
    }
    importer.finish();
    if (!importer.drawn().within(db->modelSpaceId(), kMaxDrawn, report.drawn, why)) return false;
    int imported = 0;
    for (const auto& [type, n] : report.imported) imported += n;
    for (const auto& [type, seen] : scan.entities) {
        const int done = report.imported.count(type) ? report.imported.at(type) : 0;
        if (seen > done) report.skipped[type] = seen - done;
    }
    // A plan of which nothing could be read is no empty drawing.
    if (imported == 0 && !report.skipped.empty()) {
        why = "none of its entities could be read (not imported: " + report.skippedText() + ")";
        return false;
    }
    return true;
}

bool ImportDxfFile(const std::string& path, AcDbDatabase* db, ImportReport& report, std::string& why)
{
    // A pipe or a device would be read without end; a folder is no file at all.
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec)) {
        why = "not a regular file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = "cannot be read";
        return false;
    }
    return ImportDxf(in, db, report, why);
}

}  // namespace vkdxf
