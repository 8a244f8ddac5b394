#pragma once
// The entities that architects' plans bring besides lines, arcs and texts: ellipses, splines,
// hatches, solids, multi-line texts, dimensions, attributes and raster images, all in planes
// parallel to XY.
#include <vector>

#include "host/db/AcDbDraftingEntities.h"
#include "host/ge/AcGeNurbs.h"

// An ellipse or a part of one: center + cos(t) * majorAxis + sin(t) * minorAxis for t from the
// start to the end parameter (counter-clockwise; 0 to 2pi is the whole ellipse).
class AcDbEllipse : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbEllipse);
    AcDbEllipse() = default;
    // eInvalidInput (and nothing set) for a zero major axis or a ratio outside (0, 1].
    Acad::ErrorStatus set(const AcGePoint3d& center, const AcGeVector3d& majorAxis, double radiusRatio,
                          double startParam = 0, double endParam = 6.283185307179586);
    AcGePoint3d center() const { return m_center; }
    AcGeVector3d majorAxis() const { return m_major; }  // from the centre, in the XY plane
    AcGeVector3d minorAxis() const;                      // the major turned a quarter, times the ratio
    double radiusRatio() const { return m_ratio; }
    double startParam() const { return m_start; }
    double endParam() const { return m_end; }
    AcGePoint3d pointAtParam(double t) const;
    bool isClosed() const override;
    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;  // fine chords
    void list(CString& out) const override;
    // "center", "majorAxis", "radiusRatio", "startParam", "endParam"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    std::vector<AcGePoint3d> samples() const;
    AcGePoint3d m_center;
    AcGeVector3d m_major{1, 0, 0};
    double m_ratio = 1, m_start = 0, m_end = 6.283185307179586;
};

// A spline: a NURBS curve by its control points, knots and weights; or, when it has none, the
// cubic through its fit points. Splines of other programs often bring both: the control points
// then make the curve and the fit points are kept as they came.
class AcDbSpline : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbSpline);
    enum Flags { kClosed = 1, kPeriodic = 2, kRational = 4, kPlanar = 8, kLinear = 16 };
    AcDbSpline() = default;
    // eInvalidInput (and nothing set) for a curve vkge::IsValidNurbs refuses.
    Acad::ErrorStatus setNurbsData(const vkge::Nurbs& curve, int flags = kPlanar);
    // eInvalidInput for fewer than two points or two that coincide in a row. Zero tangents:
    // estimated.
    Acad::ErrorStatus setFitData(const std::vector<AcGePoint3d>& fitPoints, const AcGeVector3d& startTangent,
                                 const AcGeVector3d& endTangent);
    const vkge::Nurbs& nurbs() const { return m_curve; }  // no points: a spline by fit points
    const std::vector<AcGePoint3d>& fitPoints() const { return m_fit; }
    AcGeVector3d startFitTangent() const { return m_startTangent; }
    AcGeVector3d endFitTangent() const { return m_endTangent; }
    int flags() const { return m_flags; }
    bool isClosed() const override { return (m_flags & kClosed) != 0; }
    // The curve that is drawn: the control points', else the one through the fit points.
    bool drawnCurve(vkge::Nurbs& curve) const;
    Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;  // fine chords
    void list(CString& out) const override;
    // "flags", "degree", "knots", "controlPoints", "weights", "fitPoints", "startTangent",
    // "endTangent"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    std::vector<AcGePoint3d> samples() const;
    vkge::Nurbs m_curve{3, {}, {}, {}};
    std::vector<AcGePoint3d> m_fit;
    AcGeVector3d m_startTangent, m_endTangent;
    int m_flags = kPlanar;
};

// One edge of a hatch's boundary loop, in the hatch's plane.
struct AcDbHatchEdge {
    enum Type { kLine = 1, kCirArc = 2, kEllArc = 3, kSpline = 4 };
    Type type = kLine;
    AcGePoint2d start, end;         // a line
    AcGePoint2d center;             // arcs
    double radius = 0;              // a circular arc
    AcGeVector2d majorAxis{1, 0};   // an elliptic arc: centre to the end of its major axis
    double ratio = 1;               // an elliptic arc: minor / major
    double startAngle = 0, endAngle = 0;  // arcs: radians, measured the arc's way round
    bool ccw = true;                // arcs: counter-clockwise from start to end
    vkge::Nurbs spline;             // a spline (z = 0)
    // Its points in order, arcs and splines as fine chords.
    std::vector<AcGePoint2d> points() const;
};

// A boundary loop: a polyline (vertices with bulges) or edges.
struct AcDbHatchLoop {
    enum Flags { kExternal = 1, kPolyline = 2, kDerived = 4, kTextbox = 8, kOutermost = 16 };
    int flags = kExternal | kPolyline;
    std::vector<AcGePoint2d> vertices;  // a polyline loop, always closed
    std::vector<double> bulges;         // one a vertex
    std::vector<AcDbHatchEdge> edges;   // other loops
    bool isPolyline() const { return (flags & kPolyline) != 0; }
    std::vector<AcGePoint2d> points() const;  // the outline, arcs as fine chords
};

// One family of parallel pattern lines: through base + k * offset (every integer k) along
// angle, dashed by dashes (none: solid), in drawing units as the hatch draws them.
struct AcDbHatchPatternLine {
    double angle = 0;
    AcGePoint2d base;
    AcGeVector2d offset;
    std::vector<double> dashes;
};

// A hatch: an area bounded by loops, filled solid or with pattern lines clipped to it. Inner
// loops are holes and loops inside them islands (what lies inside an odd number of loops).
class AcDbHatch : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbHatch);
    enum HatchPatternType { kUserDefined = 0, kPreDefined = 1, kCustomDefined = 2 };
    enum HatchStyle { kNormal = 0, kOuter = 1, kIgnore = 2 };
    AcDbHatch() = default;
    const CString& patternName() const { return m_pattern; }
    bool isSolidFill() const { return m_solid; }
    // A solid fill ("SOLID"), or a pattern by name with its lines (angle and scale recorded).
    Acad::ErrorStatus setSolidFill();
    Acad::ErrorStatus setPattern(HatchPatternType type, const char16_t* name, double angle, double scale,
                                 const std::vector<AcDbHatchPatternLine>& lines, bool isDouble = false);
    HatchPatternType patternType() const { return m_patternType; }
    double patternAngle() const { return m_angle; }
    double patternScale() const { return m_scale; }
    bool patternDouble() const { return m_double; }
    const std::vector<AcDbHatchPatternLine>& patternLines() const { return m_lines; }
    HatchStyle hatchStyle() const { return m_style; }
    Acad::ErrorStatus setHatchStyle(HatchStyle style);
    double elevation() const { return m_elevation; }
    Acad::ErrorStatus setElevation(double z);
    int numLoops() const { return static_cast<int>(m_loops.size()); }
    const AcDbHatchLoop& loopAt(int i) const { return m_loops.at(static_cast<size_t>(i)); }
    Acad::ErrorStatus appendLoop(const AcDbHatchLoop& loop);  // eInvalidInput for fewer than 2 points
    // The pattern lines as drawn: segments inside the boundary (at most maxSegments; false,
    // with none, when there would be more).
    bool patternSegments(std::vector<std::pair<AcGePoint2d, AcGePoint2d>>& out, size_t maxSegments = 200000) const;
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;  // the loops
    void list(CString& out) const override;
    // "elevation", "pattern", "solid", "patternType", "patternAngle", "patternScale",
    // "patternDouble", "style", "loops" ([flags, then [closed, x, y, bulge, ...] for a polyline
    // or one [type, ...] an edge]), "patternLines" ([angle, x, y, dx, dy, dashes...] each)
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    CString m_pattern = u"SOLID";
    bool m_solid = true, m_double = false;
    HatchPatternType m_patternType = kPreDefined;
    HatchStyle m_style = kNormal;
    double m_angle = 0, m_scale = 1, m_elevation = 0;
    std::vector<AcDbHatchLoop> m_loops;
    std::vector<AcDbHatchPatternLine> m_lines;
};

// A filled triangle or quadrilateral. Corners in the order of DXF's SOLID: the area runs
// 0, 1, 3, 2 round (a triangle repeats its third corner as the fourth).
class AcDbSolid : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbSolid);
    AcDbSolid() = default;
    AcDbSolid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2, const AcGePoint3d& p3);
    AcDbSolid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2) : AcDbSolid(p0, p1, p2, p2) {}
    Acad::ErrorStatus getPointAt(int index, AcGePoint3d& p) const;  // 0 to 3
    Acad::ErrorStatus setPointAt(int index, const AcGePoint3d& p);
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;  // its outline
    void list(CString& out) const override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "corners"
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    std::vector<AcGePoint3d> outline() const;
    AcGePoint3d m_points[4];
};

// A multi-line text: its contents with their formatting codes, as written, drawn as plain
// paragraphs wrapped at its width (0: no wrapping), hung on its location by its attachment.
class AcDbMText : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbMText);
    enum AttachmentPoint { kTopLeft = 1, kTopCenter, kTopRight, kMiddleLeft, kMiddleCenter, kMiddleRight,
                           kBottomLeft, kBottomCenter, kBottomRight };
    AcDbMText() = default;
    AcGePoint3d location() const { return m_location; }
    Acad::ErrorStatus setLocation(const AcGePoint3d& p);
    const CString& contents() const { return m_contents; }
    Acad::ErrorStatus setContents(const CString& text);
    // The plain text: paragraphs separated by '\n', formatting codes read, not shown.
    CString text() const;
    double textHeight() const { return m_height; }
    Acad::ErrorStatus setTextHeight(double h);  // eInvalidInput unless > 0
    double width() const { return m_width; }
    Acad::ErrorStatus setWidth(double w);  // >= 0
    AttachmentPoint attachment() const { return m_attachment; }
    Acad::ErrorStatus setAttachment(AttachmentPoint a);
    double rotation() const { return m_rotation; }  // radians from +X
    Acad::ErrorStatus setRotation(double angle);
    double lineSpacingFactor() const { return m_spacing; }
    Acad::ErrorStatus setLineSpacingFactor(double f);  // 0.25 to 4
    // The lines as drawn: paragraphs wrapped at the width by the characters' estimated widths.
    CString wrappedText() const;
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;  // the box it fills
    void list(CString& out) const override;
    // "location", "contents", "height", "width", "attachment", "rotation", "lineSpacing"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    AcGePoint3d m_location;
    CString m_contents;
    double m_height = 2.5, m_width = 0, m_rotation = 0, m_spacing = 1;
    AttachmentPoint m_attachment = kTopLeft;
};

// The plain text of multi-line text contents (see AcDbMText::text).
CString acdbMTextPlain(const CString& contents);

// A dimension: what it measures (definition points, the measurement) and its picture, a block
// as the program that made it drew it, placed by blockTransform.
class AcDbDimension : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbDimension);
    // DXF's dimension types.
    enum Kind { kRotated = 0, kAligned = 1, kAngular = 2, kDiameter = 3, kRadius = 4, kAngular3Point = 5,
                kOrdinate = 6 };
    AcDbDimension() = default;
    Kind kind() const { return m_kind; }
    Acad::ErrorStatus setKind(Kind k);
    int flags() const { return m_flags; }  // DXF's bits above the type (64: ordinate along X, 128: text moved)
    Acad::ErrorStatus setFlags(int f);
    AcDbObjectId dimBlockId() const { return m_block; }
    Acad::ErrorStatus setDimBlockId(AcDbObjectId id);
    AcGeMatrix3d blockTransform() const { return m_blockXform; }  // block space -> world
    // Definition point (DXF 10), text position (11) and the kind's points (13, 14, 15, 16).
    AcGePoint3d definitionPoint() const { return m_defPoint; }
    AcGePoint3d textPosition() const { return m_textPos; }
    AcGePoint3d point(int i) const { return m_points[i & 3]; }
    Acad::ErrorStatus setPoints(const AcGePoint3d& defPoint, const AcGePoint3d& textPosition,
                                const AcGePoint3d points[4]);
    double measurement() const { return m_measurement; }  // drawing units; angles as their file gave them
    Acad::ErrorStatus setMeasurement(double m);
    const CString& dimensionText() const { return m_text; }  // "" or "<>": the measurement
    Acad::ErrorStatus setDimensionText(const CString& t);
    double rotation() const { return m_rotation; }  // of a rotated dimension's line, radians
    double textRotation() const { return m_textRotation; }
    double leaderLength() const { return m_leader; }
    Acad::ErrorStatus setAngles(double rotation, double textRotation, double leaderLength);
    const CString& dimensionStyle() const { return m_style; }
    Acad::ErrorStatus setDimensionStyle(const CString& name);
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;  // its block's
    void list(CString& out) const override;
    // "kind", "flags", "block" (hard pointer), "blockTransform", "defPoint", "textPosition",
    // "points", "measurement", "text", "rotation", "textRotation", "leaderLength", "dimStyle"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    Kind m_kind = kRotated;
    int m_flags = 0;
    AcDbObjectId m_block;
    AcGeMatrix3d m_blockXform;
    AcGePoint3d m_defPoint, m_textPos, m_points[4];
    double m_measurement = 0, m_rotation = 0, m_textRotation = 0, m_leader = 0;
    CString m_text, m_style = u"STANDARD";
};

// An attribute definition of a block: a tag, a prompt and a default value (its text). It
// draws its tag where it stands; references draw only constant ones (their value), and
// their attributes.
class AcDbAttributeDefinition : public AcDbText {
public:
    ACRX_DECLARE_MEMBERS(AcDbAttributeDefinition);
    enum Flags { kInvisible = 1, kConstant = 2, kVerify = 4, kPreset = 8 };
    AcDbAttributeDefinition() = default;
    const CString& tag() const { return m_tag; }
    Acad::ErrorStatus setTag(const CString& tag);  // not empty, no spaces
    const CString& prompt() const { return m_prompt; }
    Acad::ErrorStatus setPrompt(const CString& prompt);
    int attributeFlags() const { return m_flags; }
    Acad::ErrorStatus setAttributeFlags(int flags);  // the bits above
    bool isConstant() const { return (m_flags & kConstant) != 0; }
    bool isInvisible() const { return (m_flags & kInvisible) != 0; }
    // Draws its value (the text) as a reference shows a constant attribute.
    bool drawValue(AcGiWorldDraw* wd) const { return visibility() == AcDb::kInvisible || AcDbText::subWorldDraw(wd); }
    void list(CString& out) const override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "tag", "prompt", "flags"
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    CString m_tag = u"TAG", m_prompt;
    int m_flags = 0;
};

// An attribute of a block reference, owned by it: a tag and its value (its text).
class AcDbAttribute : public AcDbText {
public:
    ACRX_DECLARE_MEMBERS(AcDbAttribute);
    AcDbAttribute() = default;
    const CString& tag() const { return m_tag; }
    Acad::ErrorStatus setTag(const CString& tag);  // not empty, no spaces
    int attributeFlags() const { return m_flags; }  // AcDbAttributeDefinition::Flags
    Acad::ErrorStatus setAttributeFlags(int flags);
    bool isInvisible() const { return (m_flags & AcDbAttributeDefinition::kInvisible) != 0; }
    void list(CString& out) const override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "tag", "flags"
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    CString m_tag = u"TAG";
    int m_flags = 0;
};

// A raster image placed in the drawing: the file it shows (as the drawing names it), where its
// lower left corner lies and the vectors of one pixel along its width and height. Pictures
// draw its frame.
class AcDbRasterImage : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbRasterImage);
    AcDbRasterImage() = default;
    const CString& imageFile() const { return m_file; }
    Acad::ErrorStatus setImageFile(const CString& path);
    AcGePoint3d origin() const { return m_origin; }
    AcGeVector3d uVector() const { return m_u; }  // one pixel along the width
    AcGeVector3d vVector() const { return m_v; }  // one pixel along the height
    AcGePoint2d imageSize() const { return m_size; }  // pixels
    // eInvalidInput for zero or parallel pixel vectors or a size that is not positive.
    Acad::ErrorStatus setPlacement(const AcGePoint3d& origin, const AcGeVector3d& u, const AcGeVector3d& v,
                                   const AcGePoint2d& size);
    void getGeomPieces(std::vector<GeomPiece>& pieces) const override;  // its frame
    void list(CString& out) const override;
    // "file", "origin", "uVector", "vVector", "size"
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

protected:
    Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& xform) override;
    bool subWorldDraw(AcGiWorldDraw* wd) const override;

private:
    std::vector<AcGePoint3d> frame() const;
    CString m_file;
    AcGePoint3d m_origin;
    AcGeVector3d m_u{1, 0, 0}, m_v{0, 1, 0};
    AcGePoint2d m_size{1, 1};
};
