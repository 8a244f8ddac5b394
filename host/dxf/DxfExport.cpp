// A drawing out to DXF through dxflib's writer, in the order of sections and tables that
// other programs expect of a DXF R2000 (AC1015) file.
#include <dl_dxf.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <set>

#include "host/db/AcDb.h"
#include "host/db/AcGiText.h"
#include "host/dxf/DxfInterchange.h"
#include "host/dxf/detail/DxfText.h"
#include "host/dxf/detail/DxfWriteEntities.h"
#include "host/gi/GiPicture.h"
#include "host/win/OutputFile.h"

namespace vkdxf {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

struct LayerRow {
    CString name;
    int color = 7;
    bool off = false, frozen = false, locked = false;
    CString linetype;
    int lineWeight = -3;
};

struct BlockRow {
    AcDbObjectId id;
    std::string name;  // as written
    AcGePoint3d origin;
    bool anonymous = false;
    AcDbObjectId dimension;  // a block made for a dimension whose own block does not fit it
};

struct LinetypeRow {
    CString name, comments;
    std::vector<double> dashes;
};

std::vector<LayerRow> layersOf(AcDbDatabase* db)
{
    std::vector<LayerRow> rows;
    AcDbLayerTable* table = nullptr;
    if (db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return rows;
    for (AcDbObjectId id : table->recordIds()) {
        AcDbLayerTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk) continue;
        LayerRow r;
        rec->getName(r.name);
        r.color = rec->colorIndex() >= 1 && rec->colorIndex() <= 255 ? rec->colorIndex() : 7;
        r.off = rec->isOff(), r.frozen = rec->isFrozen(), r.locked = rec->isLocked();
        r.linetype = rec->linetype();
        r.lineWeight = rec->lineWeight();
        rows.push_back(r);
        rec->close();
    }
    table->close();
    return rows;
}

// A filled primitive as a solid hatch of its outlines.
void SolidFillOf(const vkgi::Primitive& p, AcDbHatch& fill)
{
    size_t at = 0;
    for (int n : p.loops) {
        AcDbHatchLoop loop;
        for (int i = 0; i < n && at < p.points.size(); ++i, ++at) {
            loop.vertices.emplace_back(p.points[at].x, p.points[at].y);
            loop.bulges.push_back(0);
        }
        fill.appendLoop(loop);
    }
}

std::vector<AcDbObjectId> entitiesOf(AcDbObjectId blockId)
{
    AcDbBlockTableRecord* rec = nullptr;
    if (acdbOpenObject(rec, blockId, AcDb::kForRead) != Acad::eOk) return {};
    std::vector<AcDbObjectId> ids = rec->entityIds();
    rec->close();
    return ids;
}

// Blocks other than the layouts, with the names they are written under ("*" of anonymous
// blocks of ours becomes "_": such names are reserved to the writing program in DXF; those
// that draw dimensions stay anonymous). A dimension moved or turned since its block was drawn
// gets a block of its own, drawn as it stands.
std::vector<BlockRow> blocksOf(AcDbDatabase* db)
{
    std::vector<BlockRow> rows;
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return rows;
    std::vector<AcDbObjectId> spaces;
    for (AcDbObjectId id : table->recordIds()) {
        AcDbBlockTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk) continue;
        if (!rec->isLayout()) {
            CString name;
            rec->getName(name);
            rows.push_back({id, EncodeCp936(name), rec->origin(), false, {}});
            spaces.push_back(id);
        } else if (id == db->modelSpaceId()) {
            spaces.push_back(id);
        }
        rec->close();
    }
    table->close();
    std::set<AcDbObjectId> dimensionBlocks;
    std::vector<AcDbObjectId> ownBlocks;
    for (AcDbObjectId space : spaces)
        for (AcDbObjectId id : entitiesOf(space)) {
            AcDbObjectPointer<AcDbDimension> dim(id, AcDb::kForRead);
            if (!dim) continue;
            if (dim->blockTransform().isEqualTo(AcGeMatrix3d::kIdentity) && !dim->dimBlockId().isNull())
                dimensionBlocks.insert(dim->dimBlockId());
            else
                ownBlocks.push_back(id);
        }
    std::set<std::string> names;
    for (BlockRow& r : rows) {
        r.anonymous = dimensionBlocks.count(r.id) && !r.name.empty() && r.name[0] == '*';
        if (!r.anonymous && !r.name.empty() && r.name[0] == '*') r.name[0] = '_';
        names.insert(r.name);
    }
    int n = 0;
    for (AcDbObjectId dim : ownBlocks) {
        std::string name;
        do name = "*D" + std::to_string(++n); while (names.count(name));
        names.insert(name);
        BlockRow r;
        r.name = name;
        r.anonymous = true;
        r.dimension = dim;
        rows.push_back(r);
    }
    return rows;
}

// "Standard" and the style of every dimension.
std::vector<CString> dimStylesOf(AcDbDatabase* db, const std::vector<BlockRow>& blocks)
{
    std::vector<CString> names{u"Standard"};
    std::vector<AcDbObjectId> spaces{db->modelSpaceId()};
    for (const BlockRow& b : blocks)
        if (!b.id.isNull()) spaces.push_back(b.id);
    for (AcDbObjectId space : spaces)
        for (AcDbObjectId id : entitiesOf(space)) {
            AcDbObjectPointer<AcDbDimension> dim(id, AcDb::kForRead);
            if (!dim) continue;
            bool known = false;
            for (const CString& n : names) known = known || n.CompareNoCase(dim->dimensionStyle()) == 0;
            if (!known) names.push_back(dim->dimensionStyle());
        }
    return names;
}

// The linetypes of the drawing, and a continuous one for every name an entity or layer uses
// that the drawing does not define (so that the file refers to no missing linetype).
std::vector<LinetypeRow> linetypesOf(AcDbDatabase* db, const std::vector<LayerRow>& layers,
                                     const std::vector<BlockRow>& blocks)
{
    std::vector<LinetypeRow> rows;
    std::set<CString> known{u"BYLAYER", u"BYBLOCK", u"CONTINUOUS"};
    AcDbLinetypeTable* table = nullptr;
    if (db->getLinetypeTable(table, AcDb::kForRead) == Acad::eOk) {
        for (AcDbObjectId id : table->recordIds()) {
            AcDbObjectPointer<AcDbLinetypeTableRecord> rec(id, AcDb::kForRead);
            if (!rec) continue;
            LinetypeRow r;
            rec->getName(r.name);
            r.comments = rec->comments();
            r.dashes = rec->dashes();
            if (known.insert(CString(r.name).MakeUpper()).second) rows.push_back(r);
        }
        table->close();
    }
    auto use = [&](const CString& name) {
        if (known.insert(CString(name).MakeUpper()).second) rows.push_back({name, u"", {}});
    };
    for (const LayerRow& l : layers) use(l.linetype);
    std::vector<AcDbObjectId> spaces{db->modelSpaceId()};
    for (const BlockRow& b : blocks)
        if (!b.id.isNull()) spaces.push_back(b.id);
    for (AcDbObjectId space : spaces)
        for (AcDbObjectId id : entitiesOf(space)) {
            AcDbEntity* ent = nullptr;
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
            use(ent->linetype());
            if (auto* ref = AcDbBlockReference::cast(ent))
                for (AcDbObjectId attr : ref->attributeIds()) {
                    AcDbEntity* a = nullptr;
                    if (acdbOpenAcDbEntity(a, attr, AcDb::kForRead) != Acad::eOk) continue;
                    use(a->linetype());
                    a->close();
                }
            ent->close();
        }
    return rows;
}

class Writer {
public:
    Writer(DL_Dxf& dxf, DL_WriterA& dw, const std::vector<BlockRow>& blocks, ExportReport& report)
        : m_dxf(dxf), m_dw(dw), m_blocks(blocks), m_report(report)
    {
    }

    void entities(const std::vector<AcDbObjectId>& ids, AcDbDatabase* db)
    {
        for (AcDbObjectId id : ids) {
            AcDbEntity* ent = nullptr;
            if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
            entity(ent, db);
            ent->close();
        }
    }

private:
    DL_Attributes attrib(const AcDbEntity* ent, int color) const
    {
        return DL_Attributes(EncodeCp936(ent->layer()), color, ent->lineWeight(), EncodeCp936(ent->linetype()),
                             ent->linetypeScale());
    }

    void count(const char* type) { ++m_report.written[type]; }

    void entity(const AcDbEntity* ent, AcDbDatabase* db)
    {
        if (ent->visibility() == AcDb::kInvisible) return;
        const DL_Attributes a = attrib(ent, ent->colorIndex());
        const AcRxClass* cls = ent->isA();
        if (cls == AcDbLine::desc()) {
            const auto* l = AcDbLine::cast(ent);
            const AcGePoint3d s = l->startPoint(), e = l->endPoint();
            m_dxf.writeLine(m_dw, DL_LineData(s.x, s.y, s.z, e.x, e.y, e.z), a);
            count("LINE");
        } else if (cls == AcDbPolyline::desc()) {
            polyline(AcDbPolyline::cast(ent), a);
        } else if (cls == AcDbArc::desc()) {
            const auto* arc = AcDbArc::cast(ent);
            const AcGePoint3d c = arc->center();
            m_dxf.writeArc(m_dw, DL_ArcData(c.x, c.y, c.z, arc->radius(), arc->startAngle() / kDegree, arc->endAngle() / kDegree), a);
            count("ARC");
        } else if (cls == AcDbCircle::desc()) {
            const auto* circle = AcDbCircle::cast(ent);
            const AcGePoint3d c = circle->center();
            m_dxf.writeCircle(m_dw, DL_CircleData(c.x, c.y, c.z, circle->radius()), a);
            count("CIRCLE");
        } else if (cls == AcDbPoint::desc()) {
            const AcGePoint3d p = AcDbPoint::cast(ent)->position();
            m_dxf.writePoint(m_dw, DL_PointData(p.x, p.y, p.z), a);
            count("POINT");
        } else if (cls == AcDbText::desc()) {
            text(AcDbText::cast(ent), a);
        } else if (cls == AcDbBlockReference::desc()) {
            reference(AcDbBlockReference::cast(ent), a);
        } else if (cls == AcDbEllipse::desc()) {
            WriteEllipse(m_dw, *AcDbEllipse::cast(ent), a);
            count("ELLIPSE");
        } else if (cls == AcDbSpline::desc()) {
            WriteSpline(m_dw, *AcDbSpline::cast(ent), a);
            count("SPLINE");
        } else if (cls == AcDbHatch::desc()) {
            WriteHatch(m_dw, *AcDbHatch::cast(ent), a);
            count("HATCH");
        } else if (cls == AcDbSolid::desc()) {
            WriteSolid(m_dw, *AcDbSolid::cast(ent), a);
            count("SOLID");
        } else if (cls == AcDbMText::desc()) {
            WriteMText(m_dw, *AcDbMText::cast(ent), a);
            count("MTEXT");
        } else if (cls == AcDbDimension::desc()) {
            dimension(AcDbDimension::cast(ent), a);
        } else if (cls == AcDbRasterImage::desc()) {
            const auto* image = AcDbRasterImage::cast(ent);
            WriteImage(m_dw, *image, a, imageDefinition(image->imageFile(), image->imageSize()));
            count("IMAGE");
        } else if (cls == AcDbAttributeDefinition::desc()) {
            WriteAttributeDefinition(m_dw, *AcDbAttributeDefinition::cast(ent), a);
            count("ATTDEF");
        } else {
            drawing(ent, db);
        }
    }

    void dimension(const AcDbDimension* d, const DL_Attributes& a)
    {
        const BlockRow* block = nullptr;
        for (const BlockRow& b : m_blocks)
            if (b.dimension == d->objectId() || (b.dimension.isNull() && !b.id.isNull() && b.id == d->dimBlockId() &&
                                                 d->blockTransform().isEqualTo(AcGeMatrix3d::kIdentity)))
                block = &b;
        if (!block) return;
        WriteDimension(m_dw, *d, a, block->name);
        count("DIMENSION");
    }

    void polyline(const AcDbPolyline* pl, const DL_Attributes& a)
    {
        const unsigned n = pl->numVerts();
        if (n == 0) return;
        m_dxf.writePolyline(m_dw, DL_PolylineData(int(n), 0, 0, pl->isClosed() ? 1 : 0, pl->elevation()), a);
        for (unsigned i = 0; i < n; ++i) {
            AcGePoint2d p;
            double bulge = 0, sw = 0, ew = 0;
            pl->getPointAt(i, p);
            pl->getBulgeAt(i, bulge);
            pl->getWidthsAt(i, sw, ew);
            m_dxf.writeVertex(m_dw, DL_VertexData(p.x, p.y, 0, bulge));
            if (sw > 0 || ew > 0) {
                m_dw.dxfReal(40, std::max(sw, 0.0));
                m_dw.dxfReal(41, std::max(ew, 0.0));
            }
        }
        m_dxf.writePolylineEnd(m_dw);
        count("LWPOLYLINE");
    }

    void text(const AcDbText* t, const DL_Attributes& a)
    {
        const CString s = t->textString();
        const AcGePoint3d p = t->position();
        if (s.Find(u'\n') >= 0) {  // several lines: a multi-line text
            CString joined = s;
            joined.Replace(u"\\", u"\\\\");
            joined.Replace(u"\n", u"\\P");
            const int row = t->verticalMode() == AcDb::kTextTop ? 0 : t->verticalMode() == AcDb::kTextVertMid ? 1 : 2;
            AcDbMText m;
            m.setLocation(p);
            m.setContents(joined);
            m.setTextHeight(t->height());
            m.setAttachment(static_cast<AcDbMText::AttachmentPoint>(row * 3 + t->horizontalMode() + 1));
            m.setRotation(t->rotation());
            WriteMText(m_dw, m, a);
            count("MTEXT");
            return;
        }
        const bool plain = t->horizontalMode() == AcDb::kTextLeft && t->verticalMode() == AcDb::kTextBase;
        const AcGePoint3d first = plain ? p : t->baselineStart();
        m_dxf.writeText(m_dw, DL_TextData(first.x, first.y, first.z, p.x, p.y, p.z, t->height(), 1.0, 0,
                                          t->horizontalMode(), t->verticalMode(), EncodeCp936(s), "STANDARD",
                                          t->rotation()), a);
        count("TEXT");
    }

    void reference(const AcDbBlockReference* ref, const DL_Attributes& a)
    {
        const BlockRow* block = nullptr;
        for (const BlockRow& b : m_blocks)
            if (b.id == ref->blockTableRecord()) block = &b;
        if (!block) return;
        // The reference's own transform (block origin excluded) as position, scales and turn.
        const AcGeMatrix3d m = ref->blockTransform() * AcGeMatrix3d::translation(block->origin.asVector());
        const AcGeVector3d x = m * AcGeVector3d::kXAxis, y = m * AcGeVector3d::kYAxis, z = m * AcGeVector3d::kZAxis;
        const double sx = x.length(), sy = y.length() * (m.det() < 0 ? -1 : 1), sz = z.length();
        const double angle = std::atan2(x.y, x.x);
        const AcGePoint3d p = ref->position();
        // Written here rather than by the library, whose writer puts 1 for the Z scale.
        std::vector<const AcDbAttribute*> attributes;
        std::vector<std::unique_ptr<AcDbObjectPointer<AcDbAttribute>>> open;
        for (AcDbObjectId id : ref->attributeIds()) {
            open.push_back(std::make_unique<AcDbObjectPointer<AcDbAttribute>>(id, AcDb::kForRead));
            if (open.back()->object()) attributes.push_back(open.back()->object());
        }
        m_dw.entity("INSERT");
        m_dw.dxfString(100, "AcDbEntity");
        m_dw.entityAttributes(a);
        m_dw.subClass("AcDbBlockReference");
        if (!attributes.empty()) m_dw.dxfInt(66, 1);
        m_dw.dxfString(2, block->name);
        m_dw.coord(10, p.x, p.y, p.z);
        m_dw.dxfReal(41, sx);
        m_dw.dxfReal(42, sy);
        m_dw.dxfReal(43, sz);
        if (std::abs(angle) > 1e-12) m_dw.dxfReal(50, angle / kDegree);
        count("INSERT");
        if (attributes.empty()) return;
        for (const AcDbAttribute* attr : attributes) {
            WriteAttribute(m_dw, *attr, attrib(attr, attr->colorIndex()));
            count("ATTRIB");
        }
        m_dw.entity("SEQEND");
        m_dw.dxfString(100, "AcDbEntity");
        m_dw.dxfString(8, EncodeCp936(ref->layer()));
    }

    // An object of a class DXF does not know: the graphics it draws, each piece tagged with
    // the object's class and handle.
    void drawing(const AcDbEntity* ent, AcDbDatabase* db)
    {
        std::vector<vkgi::Primitive> prims;
        vkgi::Collector collector(prims, db, false);
        collector.draw(ent);
        const std::string cls = EncodeCp936(ent->isA()->name());
        const std::string handle = EncodeCp936(ent->handle().text());
        for (const vkgi::Primitive& p : prims) {
            const DL_Attributes a = attrib(ent, p.color);
            if (p.points.empty()) continue;
            if (p.kind == vkgi::Primitive::kText) {
                const double angle = std::atan2(p.direction.y, p.direction.x);
                const AcGeVector3d up{-p.direction.y, p.direction.x, 0};
                int lines = 1;
                for (int i = 0; i < p.text.GetLength(); ++i) lines += p.text[i] == u'\n';
                CString rest = p.text;
                for (int i = 0; i < lines; ++i) {  // one text a line, from its baseline's start
                    const int nl = rest.Find(u'\n');
                    const CString line = nl < 0 ? rest : rest.Left(nl);
                    double dx = 0, dy = 0;
                    AcGiText::lineOrigin(i, lines, AcGiText::estimatedWidth(line), p.hMode, p.vMode, p.lineSpacing, dx, dy);
                    const AcGePoint3d at = p.points[0] + p.direction * (dx * p.height) + up * (dy * p.height);
                    // A single line keeps its alignment (the start estimated for readers that
                    // ignore it); lines of several are each written from their start.
                    const bool aligned = lines == 1 && (p.hMode != 0 || p.vMode != 0);
                    const AcGePoint3d& to = aligned ? p.points[0] : at;
                    m_dxf.writeText(m_dw, DL_TextData(at.x, at.y, at.z, to.x, to.y, to.z, p.height, 1.0, 0,
                                                      aligned ? p.hMode : 0, aligned ? p.vMode : 0,
                                                      EncodeCp936(line), "STANDARD", angle), a);
                    tag(cls, handle);
                    count("TEXT");
                    rest = rest.Mid(nl + 1);
                }
            } else if (p.kind == vkgi::Primitive::kFill) {
                AcDbHatch fill;
                SolidFillOf(p, fill);
                WriteHatch(m_dw, fill, a);
                tag(cls, handle);
                count("HATCH");
            } else if (p.points.size() == 1) {
                m_dxf.writePoint(m_dw, DL_PointData(p.points[0].x, p.points[0].y, p.points[0].z), a);
                tag(cls, handle);
                count("POINT");
            } else if (p.points.size() == 2 && p.width <= 0) {
                const AcGePoint3d& s = p.points[0];
                const AcGePoint3d& e = p.points[1];
                m_dxf.writeLine(m_dw, DL_LineData(s.x, s.y, s.z, e.x, e.y, e.z), a);
                tag(cls, handle);
                count("LINE");
            } else {
                m_dxf.writePolyline(m_dw, DL_PolylineData(int(p.points.size()), 0, 0, 0, p.points[0].z), a);
                if (p.width > 0) m_dw.dxfReal(43, p.width);
                for (const AcGePoint3d& pt : p.points) m_dxf.writeVertex(m_dw, DL_VertexData(pt.x, pt.y, 0, 0));
                m_dxf.writePolylineEnd(m_dw);
                tag(cls, handle);
                count("LWPOLYLINE");
            }
        }
        ++m_report.drawn[CString(ent->isA()->name()).ToUtf8()];
    }

public:
    // The image definitions the images refer to: handles out of the way of the library's.
    static constexpr unsigned long kImageDictionary = 0x7F000000, kFirstImageDef = 0x7F000001;
    struct ImageDef {
        CString file;
        AcGePoint2d size;
        unsigned long handle;
    };
    const std::vector<ImageDef>& imageDefinitions() const { return m_imageDefs; }

    unsigned long imageDefinition(const CString& file, const AcGePoint2d& size)
    {
        for (const ImageDef& d : m_imageDefs)
            if (d.file == file) return d.handle;
        m_imageDefs.push_back({file, size, kFirstImageDef + m_imageDefs.size()});
        return m_imageDefs.back().handle;
    }

    // A dimension's picture, drawn as it stands, for the block made for it.
    void dimensionPicture(AcDbObjectId dimId, AcDbDatabase* db)
    {
        AcDbObjectPointer<AcDbDimension> d(dimId, AcDb::kForRead);
        if (!d) return;
        std::vector<vkgi::Primitive> prims;
        vkgi::Collector collector(prims, db, false);
        collector.draw(d.object());
        for (const vkgi::Primitive& p : prims) {
            const DL_Attributes a(EncodeCp936(d->layer()), p.color, -1, "BYLAYER", 1.0);
            if (p.points.empty()) continue;
            if (p.kind == vkgi::Primitive::kPath && p.points.size() >= 2) {
                m_dxf.writePolyline(m_dw, DL_PolylineData(int(p.points.size()), 0, 0, 0, p.points[0].z), a);
                for (const AcGePoint3d& pt : p.points) m_dxf.writeVertex(m_dw, DL_VertexData(pt.x, pt.y, 0, 0));
                m_dxf.writePolylineEnd(m_dw);
            } else if (p.kind == vkgi::Primitive::kText) {
                AcDbMText t;
                t.setLocation(p.points[0]);
                CString contents = p.text;
                contents.Replace(u"\n", u"\\P");
                t.setContents(contents);
                t.setTextHeight(p.height);
                t.setRotation(std::atan2(p.direction.y, p.direction.x));
                const int row = p.vMode == 3 ? 0 : p.vMode == 2 ? 1 : 2;
                t.setAttachment(static_cast<AcDbMText::AttachmentPoint>(row * 3 + std::clamp(p.hMode, 0, 2) + 1));
                WriteMText(m_dw, t, a);
            } else if (p.kind == vkgi::Primitive::kFill) {
                AcDbHatch fill;
                SolidFillOf(p, fill);
                WriteHatch(m_dw, fill, a);
            }
        }
    }

private:
    void tag(const std::string& cls, const std::string& handle)
    {
        m_dw.dxfString(1001, kXDataApp);
        m_dw.dxfString(1000, cls);
        m_dw.dxfString(1000, handle);
    }

    DL_Dxf& m_dxf;
    DL_WriterA& m_dw;
    const std::vector<BlockRow>& m_blocks;
    ExportReport& m_report;
    std::vector<ImageDef> m_imageDefs;
};

}  // namespace

bool ExportDxf(AcDbDatabase* db, const std::string& path, ExportReport& report, std::string& why)
{
    if (!db) {
        why = "no drawing";
        return false;
    }
    report = ExportReport{};
    const std::vector<LayerRow> layers = layersOf(db);
    const std::vector<BlockRow> blocks = blocksOf(db);
    const std::vector<LinetypeRow> linetypes = linetypesOf(db, layers, blocks);
    vkwin::ReplacingFile file;
    if (!file.open(path, why)) return false;
    DL_Dxf dxf;
    std::unique_ptr<DL_WriterA> dw(dxf.out(file.tempPath().c_str(), DL_Codes::AC1015));
    if (!dw) {
        why = "cannot write " + path;
        return false;
    }
    dxf.writeHeader(*dw);
    dw->dxfString(9, "$DWGCODEPAGE");
    dw->dxfString(3, "ANSI_936");
    dw->sectionEnd();

    dw->sectionTables();
    dxf.writeVPort(*dw);
    dw->tableLinetypes(3 + int(linetypes.size()));
    dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    for (const LinetypeRow& lt : linetypes) {
        std::vector<double> dashes = lt.dashes;
        double length = 0;
        for (double d : dashes) length += std::abs(d);
        dxf.writeLinetype(*dw, DL_LinetypeData(EncodeCp936(lt.name), EncodeCp936(lt.comments), 0, int(dashes.size()),
                                               length, dashes.empty() ? nullptr : dashes.data()));
    }
    dw->tableEnd();
    dw->tableLayers(int(layers.size()));
    for (const LayerRow& l : layers)
        dxf.writeLayer(*dw, DL_LayerData(EncodeCp936(l.name), (l.frozen ? 1 : 0) | (l.locked ? 4 : 0), l.off),
                       DL_Attributes("", l.color, l.lineWeight, EncodeCp936(l.linetype), 1.0));
    dw->tableEnd();
    dw->tableStyle(1);
    dxf.writeStyle(*dw, DL_StyleData("STANDARD", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw->tableEnd();
    dxf.writeView(*dw);
    dxf.writeUcs(*dw);
    dw->tableAppid(2);
    dxf.writeAppid(*dw, "ACAD");
    dxf.writeAppid(*dw, kXDataApp);
    dw->tableEnd();
    WriteDimStyles(*dw, dimStylesOf(db, blocks));
    // The layouts' records with the handles the library gives their blocks (no third
    // layout, which would need a layout object).
    dw->dxfString(0, "TABLE");
    dw->dxfString(2, "BLOCK_RECORD");
    dw->dxfHex(5, 1);
    dw->dxfString(100, "AcDbSymbolTable");
    dw->dxfInt(70, int(blocks.size()) + 2);
    for (const auto& [handle, name] : {std::pair{0x1F, "*Model_Space"}, std::pair{0x1B, "*Paper_Space"}}) {
        dw->dxfString(0, "BLOCK_RECORD");
        dw->dxfHex(5, handle);
        dw->dxfHex(330, 1);
        dw->dxfString(100, "AcDbSymbolTableRecord");
        dw->dxfString(100, "AcDbBlockTableRecord");
        dw->dxfString(2, name);
    }
    for (const BlockRow& b : blocks) dxf.writeBlockRecord(*dw, b.name);
    dw->tableEnd();
    dw->sectionEnd();

    Writer writer(dxf, *dw, blocks, report);
    dw->sectionBlocks();
    dxf.writeBlock(*dw, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Model_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space");
    for (const BlockRow& b : blocks) {
        dxf.writeBlock(*dw, DL_BlockData(b.name, b.anonymous ? 1 : 0, b.origin.x, b.origin.y, b.origin.z));
        if (!b.dimension.isNull()) writer.dimensionPicture(b.dimension, db);
        else writer.entities(entitiesOf(b.id), db);
        dxf.writeEndBlock(*dw, b.name);
    }
    dw->sectionEnd();

    dw->sectionEntities();
    writer.entities(entitiesOf(db->modelSpaceId()), db);
    dw->sectionEnd();
    // The named object dictionary with an empty group dictionary, owners given (the
    // library's own objects section leaves them out, which readers then repair).
    dw->sectionObjects();
    dw->dxfString(0, "DICTIONARY");
    dw->dxfHex(5, 0xC);
    dw->dxfString(330, "0");
    dw->dxfString(100, "AcDbDictionary");
    dw->dxfInt(281, 1);
    dw->dxfString(3, "ACAD_GROUP");
    dw->dxfHex(350, 0xD);
    const auto& images = writer.imageDefinitions();
    if (!images.empty()) {
        dw->dxfString(3, "ACAD_IMAGE_DICT");
        dw->dxfHex(350, int(Writer::kImageDictionary));
    }
    dw->dxfString(0, "DICTIONARY");
    dw->dxfHex(5, 0xD);
    dw->dxfHex(330, 0xC);
    dw->dxfString(100, "AcDbDictionary");
    dw->dxfInt(281, 1);
    if (!images.empty()) {
        // The image dictionary names each image file; the definitions hold file and size.
        dw->dxfString(0, "DICTIONARY");
        dw->dxfHex(5, int(Writer::kImageDictionary));
        dw->dxfHex(330, 0xC);
        dw->dxfString(100, "AcDbDictionary");
        dw->dxfInt(281, 1);
        for (size_t i = 0; i < images.size(); ++i) {
            dw->dxfString(3, "IMAGE" + std::to_string(i + 1));
            dw->dxfHex(350, int(images[i].handle));
        }
        for (const auto& d : images) {
            dw->dxfString(0, "IMAGEDEF");
            dw->dxfHex(5, int(d.handle));
            dw->dxfHex(330, int(Writer::kImageDictionary));
            dw->dxfString(100, "AcDbRasterImageDef");
            dw->dxfInt(90, 0);
            dw->dxfString(1, EncodeCp936(d.file));
            dw->dxfReal(10, d.size.x);
            dw->dxfReal(20, d.size.y);
            dw->dxfReal(11, 1.0);
            dw->dxfReal(21, 1.0);
            dw->dxfInt(280, 1);
            dw->dxfInt(281, 0);
        }
    }
    dw->sectionEnd();
    dw->dxfEOF();
    const bool written = !dw->openFailed();
    dw->close();
    dw.reset();
    if (!written) {
        why = "cannot write " + path;
        return false;
    }
    return file.commit(why);
}

}  // namespace vkdxf
