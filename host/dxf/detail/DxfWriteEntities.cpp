#include "host/dxf/detail/DxfWriteEntities.h"

#include <cmath>
#include <numbers>

#include "host/dxf/detail/DxfText.h"

namespace vkdxf {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

void begin(DL_WriterA& dw, const char* type, const DL_Attributes& a, const char* subclass)
{
    dw.entity(type);
    dw.dxfString(100, "AcDbEntity");
    dw.entityAttributes(a);
    dw.subClass(subclass);
}

void point(DL_WriterA& dw, int code, const AcGePoint3d& p) { dw.coord(code, p.x, p.y, p.z); }

void plusZ(DL_WriterA& dw) { dw.coord(210, 0, 0, 1); }

// Text in pieces of at most 250 bytes (whole characters), all but the last under group 3.
void chunkedText(DL_WriterA& dw, const std::string& bytes)
{
    size_t at = 0;
    while (bytes.size() - at > 250) {
        size_t end = at;
        while (end < bytes.size()) {
            const size_t step = static_cast<unsigned char>(bytes[end]) >= 0x80 ? 2 : 1;
            if (end + step - at > 250) break;
            end += step;
        }
        dw.dxfString(3, bytes.substr(at, end - at));
        at = end;
    }
    dw.dxfString(1, bytes.substr(at));
}

void nurbs(DL_WriterA& dw, const vkge::Nurbs& c, int pointCode, int weightCode)
{
    for (double k : c.knots) dw.dxfReal(40, k);
    if (weightCode == 41)
        for (double w : c.weights) dw.dxfReal(41, w);
    for (size_t i = 0; i < c.points.size(); ++i) {
        if (pointCode == 10 && weightCode == 41) {
            point(dw, 10, c.points[i]);
        } else {
            dw.dxfReal(10, c.points[i].x);
            dw.dxfReal(20, c.points[i].y);
            if (!c.weights.empty()) dw.dxfReal(42, c.weights[i]);
        }
    }
}

void edge(DL_WriterA& dw, const AcDbHatchEdge& e)
{
    dw.dxfInt(72, e.type);
    switch (e.type) {
    case AcDbHatchEdge::kLine:
        dw.dxfReal(10, e.start.x), dw.dxfReal(20, e.start.y);
        dw.dxfReal(11, e.end.x), dw.dxfReal(21, e.end.y);
        break;
    case AcDbHatchEdge::kCirArc:
        dw.dxfReal(10, e.center.x), dw.dxfReal(20, e.center.y);
        dw.dxfReal(40, e.radius);
        dw.dxfReal(50, e.startAngle / kDegree), dw.dxfReal(51, e.endAngle / kDegree);
        dw.dxfInt(73, e.ccw ? 1 : 0);
        break;
    case AcDbHatchEdge::kEllArc:
        dw.dxfReal(10, e.center.x), dw.dxfReal(20, e.center.y);
        dw.dxfReal(11, e.majorAxis.x), dw.dxfReal(21, e.majorAxis.y);
        dw.dxfReal(40, e.ratio);
        dw.dxfReal(50, e.startAngle / kDegree), dw.dxfReal(51, e.endAngle / kDegree);
        dw.dxfInt(73, e.ccw ? 1 : 0);
        break;
    case AcDbHatchEdge::kSpline:
        dw.dxfInt(94, e.spline.degree);
        dw.dxfInt(73, e.spline.weights.empty() ? 0 : 1);
        dw.dxfInt(74, 0);
        dw.dxfInt(95, static_cast<int>(e.spline.knots.size()));
        dw.dxfInt(96, static_cast<int>(e.spline.points.size()));
        nurbs(dw, e.spline, 10, 42);
        break;
    }
}

// The justification groups of a text: 72 and the second point when it is not left/baseline.
void textBody(DL_WriterA& dw, const AcDbText& t, const CString& value)
{
    const bool plain = t.horizontalMode() == AcDb::kTextLeft && t.verticalMode() == AcDb::kTextBase;
    point(dw, 10, plain ? t.position() : t.baselineStart());
    dw.dxfReal(40, t.height());
    dw.dxfString(1, EncodeCp936(value));
    if (t.rotation() != 0) dw.dxfReal(50, t.rotation() / kDegree);
    dw.dxfString(7, "STANDARD");
    if (!plain) {
        dw.dxfInt(72, t.horizontalMode());
        point(dw, 11, t.position());
    }
}

}  // namespace

void WriteEllipse(DL_WriterA& dw, const AcDbEllipse& e, const DL_Attributes& a)
{
    begin(dw, "ELLIPSE", a, "AcDbEllipse");
    point(dw, 10, e.center());
    const AcGeVector3d m = e.majorAxis();
    dw.coord(11, m.x, m.y, 0);
    plusZ(dw);
    dw.dxfReal(40, e.radiusRatio());
    const bool whole = e.isClosed();
    dw.dxfReal(41, whole ? 0 : e.startParam());
    dw.dxfReal(42, whole ? 2 * std::numbers::pi : std::fmod(e.endParam(), 2 * std::numbers::pi));
}

void WriteSpline(DL_WriterA& dw, const AcDbSpline& s, const DL_Attributes& a)
{
    // A spline known by its fit points goes out with them only, as other writers do.
    const vkge::Nurbs& c = s.nurbs();
    begin(dw, "SPLINE", a, "AcDbSpline");
    plusZ(dw);
    dw.dxfInt(70, (s.flags() & ~4) | (c.weights.empty() ? 0 : 4));
    dw.dxfInt(71, c.degree);
    dw.dxfInt(72, static_cast<int>(c.knots.size()));
    dw.dxfInt(73, static_cast<int>(c.points.size()));
    dw.dxfInt(74, static_cast<int>(s.fitPoints().size()));
    dw.dxfReal(42, 1e-10);
    dw.dxfReal(43, 1e-10);
    if (!s.fitPoints().empty()) {
        dw.dxfReal(44, 1e-10);
        if (!s.startFitTangent().isZeroLength()) dw.coord(12, s.startFitTangent().x, s.startFitTangent().y, s.startFitTangent().z);
        if (!s.endFitTangent().isZeroLength()) dw.coord(13, s.endFitTangent().x, s.endFitTangent().y, s.endFitTangent().z);
    }
    nurbs(dw, c, 10, 41);
    for (const AcGePoint3d& p : s.fitPoints()) point(dw, 11, p);
}

void WriteHatch(DL_WriterA& dw, const AcDbHatch& h, const DL_Attributes& a)
{
    begin(dw, "HATCH", a, "AcDbHatch");
    dw.coord(10, 0, 0, h.elevation());
    plusZ(dw);
    dw.dxfString(2, EncodeCp936(h.patternName()));
    dw.dxfInt(70, h.isSolidFill() ? 1 : 0);
    dw.dxfInt(71, 0);
    dw.dxfInt(91, h.numLoops());
    for (int i = 0; i < h.numLoops(); ++i) {
        const AcDbHatchLoop& l = h.loopAt(i);
        dw.dxfInt(92, l.flags);
        if (l.isPolyline()) {
            bool bulges = false;
            for (double b : l.bulges) bulges = bulges || b != 0;
            dw.dxfInt(72, bulges ? 1 : 0);
            dw.dxfInt(73, 1);
            dw.dxfInt(93, static_cast<int>(l.vertices.size()));
            for (size_t k = 0; k < l.vertices.size(); ++k) {
                dw.dxfReal(10, l.vertices[k].x);
                dw.dxfReal(20, l.vertices[k].y);
                if (bulges) dw.dxfReal(42, l.bulges[k]);
            }
        } else {
            dw.dxfInt(93, static_cast<int>(l.edges.size()));
            for (const AcDbHatchEdge& e : l.edges) edge(dw, e);
        }
        dw.dxfInt(97, 0);
    }
    dw.dxfInt(75, h.hatchStyle());
    dw.dxfInt(76, h.patternType());
    if (!h.isSolidFill()) {
        dw.dxfReal(52, h.patternAngle() / kDegree);
        dw.dxfReal(41, h.patternScale());
        dw.dxfInt(77, h.patternDouble() ? 1 : 0);
        dw.dxfInt(78, static_cast<int>(h.patternLines().size()));
        for (const AcDbHatchPatternLine& line : h.patternLines()) {
            dw.dxfReal(53, line.angle / kDegree);
            dw.dxfReal(43, line.base.x), dw.dxfReal(44, line.base.y);
            dw.dxfReal(45, line.offset.x), dw.dxfReal(46, line.offset.y);
            dw.dxfInt(79, static_cast<int>(line.dashes.size()));
            for (double d : line.dashes) dw.dxfReal(49, d);
        }
    }
    dw.dxfInt(98, 0);
}

void WriteSolid(DL_WriterA& dw, const AcDbSolid& s, const DL_Attributes& a)
{
    begin(dw, "SOLID", a, "AcDbTrace");
    for (int i = 0; i < 4; ++i) {
        AcGePoint3d p;
        s.getPointAt(i, p);
        point(dw, 10 + i, p);
    }
    plusZ(dw);
}

void WriteMText(DL_WriterA& dw, const AcDbMText& t, const DL_Attributes& a)
{
    begin(dw, "MTEXT", a, "AcDbMText");
    point(dw, 10, t.location());
    dw.dxfReal(40, t.textHeight());
    dw.dxfReal(41, t.width());
    dw.dxfInt(71, t.attachment());
    dw.dxfInt(72, 1);
    chunkedText(dw, EncodeCp936(t.contents()));
    dw.dxfString(7, "STANDARD");
    plusZ(dw);
    dw.coord(11, std::cos(t.rotation()), std::sin(t.rotation()), 0);
    dw.dxfInt(73, 1);
    dw.dxfReal(44, t.lineSpacingFactor());
}

void WriteDimension(DL_WriterA& dw, const AcDbDimension& d, const DL_Attributes& a, const std::string& blockName)
{
    begin(dw, "DIMENSION", a, "AcDbDimension");
    dw.dxfString(2, blockName);
    point(dw, 10, d.definitionPoint());
    point(dw, 11, d.textPosition());
    dw.dxfInt(70, d.kind() | d.flags() | 32);
    dw.dxfInt(71, 5);
    if (!d.dimensionText().IsEmpty()) dw.dxfString(1, EncodeCp936(d.dimensionText()));
    dw.dxfReal(42, d.measurement());
    if (d.textRotation() != 0) dw.dxfReal(53, d.textRotation() / kDegree);
    plusZ(dw);
    dw.dxfString(3, EncodeCp936(d.dimensionStyle()));
    switch (d.kind()) {
    case AcDbDimension::kRotated:
    case AcDbDimension::kAligned:
        dw.subClass("AcDbAlignedDimension");
        point(dw, 13, d.point(0));
        point(dw, 14, d.point(1));
        if (d.kind() == AcDbDimension::kRotated) {
            dw.dxfReal(50, d.rotation() / kDegree);
            dw.subClass("AcDbRotatedDimension");
        }
        break;
    case AcDbDimension::kAngular:
        dw.subClass("AcDb2LineAngularDimension");
        for (int i = 0; i < 4; ++i) point(dw, 13 + i, d.point(i));
        break;
    case AcDbDimension::kDiameter:
    case AcDbDimension::kRadius:
        dw.subClass(d.kind() == AcDbDimension::kDiameter ? "AcDbDiametricDimension" : "AcDbRadialDimension");
        point(dw, 15, d.point(2));
        dw.dxfReal(40, d.leaderLength());
        break;
    case AcDbDimension::kAngular3Point:
        dw.subClass("AcDb3PointAngularDimension");
        for (int i = 0; i < 3; ++i) point(dw, 13 + i, d.point(i));
        break;
    case AcDbDimension::kOrdinate:
        dw.subClass("AcDbOrdinateDimension");
        point(dw, 13, d.point(0));
        point(dw, 14, d.point(1));
        break;
    }
}

void WriteImage(DL_WriterA& dw, const AcDbRasterImage& image, const DL_Attributes& a, unsigned long imageDef)
{
    begin(dw, "IMAGE", a, "AcDbRasterImage");
    dw.dxfInt(90, 0);
    point(dw, 10, image.origin());
    const AcGeVector3d u = image.uVector(), v = image.vVector();
    dw.coord(11, u.x, u.y, u.z);
    dw.coord(12, v.x, v.y, v.z);
    const AcGePoint2d size = image.imageSize();
    dw.dxfReal(13, size.x);
    dw.dxfReal(23, size.y);
    dw.dxfHex(340, static_cast<int>(imageDef));
    dw.dxfInt(70, 7);
    dw.dxfInt(280, 0);
    dw.dxfInt(281, 50);
    dw.dxfInt(282, 50);
    dw.dxfInt(283, 0);
    dw.dxfInt(71, 1);
    dw.dxfInt(91, 2);
    dw.dxfReal(14, -0.5), dw.dxfReal(24, -0.5);
    dw.dxfReal(14, size.x - 0.5), dw.dxfReal(24, size.y - 0.5);
}

void WriteDimStyles(DL_WriterA& dw, const std::vector<CString>& names)
{
    dw.dxfString(0, "TABLE");
    dw.dxfString(2, "DIMSTYLE");
    dw.handle();
    dw.dxfString(100, "AcDbSymbolTable");
    dw.dxfInt(70, static_cast<int>(names.size()));
    dw.dxfString(100, "AcDbDimStyleTable");
    dw.dxfInt(71, 0);
    for (const CString& name : names) {
        dw.dxfString(0, "DIMSTYLE");
        dw.handle(105);
        dw.dxfString(100, "AcDbSymbolTableRecord");
        dw.dxfString(100, "AcDbDimStyleTableRecord");
        dw.dxfString(2, EncodeCp936(name));
        // Arrows, extension lines, gap and text as a drawing of millimetres has them.
        dw.dxfReal(41, 2.5);
        dw.dxfReal(42, 0.625);
        dw.dxfReal(43, 3.75);
        dw.dxfReal(44, 0.625);
        dw.dxfInt(70, 0);
        dw.dxfReal(140, 2.5);
        dw.dxfReal(147, 0.625);
    }
    dw.dxfString(0, "ENDTAB");
}

void WriteAttributeDefinition(DL_WriterA& dw, const AcDbAttributeDefinition& d, const DL_Attributes& a)
{
    begin(dw, "ATTDEF", a, "AcDbText");
    textBody(dw, d, d.textString());
    dw.subClass("AcDbAttributeDefinition");
    dw.dxfString(3, EncodeCp936(d.prompt()));
    dw.dxfString(2, EncodeCp936(d.tag()));
    dw.dxfInt(70, d.attributeFlags());
    if (d.verticalMode() != AcDb::kTextBase) dw.dxfInt(74, d.verticalMode());
}

void WriteAttribute(DL_WriterA& dw, const AcDbAttribute& t, const DL_Attributes& a)
{
    begin(dw, "ATTRIB", a, "AcDbText");
    textBody(dw, t, t.textString());
    dw.subClass("AcDbAttribute");
    dw.dxfString(2, EncodeCp936(t.tag()));
    dw.dxfInt(70, t.attributeFlags());
    if (t.verticalMode() != AcDb::kTextBase) dw.dxfInt(74, t.verticalMode());
}

}  // namespace vkdxf
