#pragma once
// Bounded and unbounded curves: line segments, circular arcs, rays; their intersections.
// intersectWith returns true when at least one point was found; arcs report a count.
#include "host/ge/AcGePlane.h"

class AcGeLineSeg2d;
class AcGeCircArc2d;

class AcGeCurve3d {
public:
    virtual ~AcGeCurve3d() = default;
    virtual bool isOn(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const = 0;
    virtual double distanceTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const = 0;
    virtual AcGePoint3d closestPointTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const = 0;
    virtual AcGeCurve3d& transformBy(const AcGeMatrix3d& m) = 0;
};

class AcGeRay3d;

class AcGeLineSeg3d : public AcGeCurve3d {
public:
    AcGeLineSeg3d() = default;
    AcGeLineSeg3d(const AcGePoint3d& start, const AcGePoint3d& end) : m_start(start), m_end(end) {}
    AcGeLineSeg3d& set(const AcGePoint3d& start, const AcGePoint3d& end);
    AcGePoint3d startPoint() const { return m_start; }
    AcGePoint3d endPoint() const { return m_end; }
    AcGePoint3d midPoint() const;
    AcGeVector3d direction() const;  // unit vector from start to end
    double length() const;
    bool isOn(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const override;
    double distanceTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const override;
    double distanceTo(const AcGeLineSeg3d& seg, const AcGeTol& tol = AcGeContext::gTol) const;
    AcGePoint3d closestPointTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const override;
    AcGeLineSeg3d& transformBy(const AcGeMatrix3d& m) override;
    // One point common to both segments within tol.equalPoint(); false when they miss or are
    // parallel or collinear (within tol.equalVector()). p is untouched on false.
    bool intersectWith(const AcGeLineSeg3d& other, AcGePoint3d& p,
                       const AcGeTol& tol = AcGeContext::gTol) const;
    bool intersectWith(const AcGeRay3d& ray, AcGePoint3d& p,
                       const AcGeTol& tol = AcGeContext::gTol) const;

private:
    AcGePoint3d m_start, m_end;
};

class AcGeRay3d : public AcGeCurve3d {
public:
    AcGeRay3d() = default;
    AcGeRay3d(const AcGePoint3d& base, const AcGeVector3d& dir) : m_base(base), m_dir(dir) {}
    AcGeRay3d& set(const AcGePoint3d& base, const AcGeVector3d& dir);
    AcGePoint3d basePoint() const { return m_base; }
    AcGeVector3d direction() const;  // unit
    bool isOn(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const override;
    double distanceTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const override;
    double distanceTo(const AcGeLineSeg3d& seg, const AcGeTol& tol = AcGeContext::gTol) const;
    AcGePoint3d closestPointTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const override;
    AcGeRay3d& transformBy(const AcGeMatrix3d& m) override;
    bool intersectWith(const AcGeLineSeg3d& seg, AcGePoint3d& p,
                       const AcGeTol& tol = AcGeContext::gTol) const;

private:
    AcGePoint3d m_base;
    AcGeVector3d m_dir{1, 0, 0};
};

// A circular arc: centre, normal, radius, a reference vector in the arc's plane, and the
// start and end angles measured from it counter-clockwise about the normal.
class AcGeCircArc3d : public AcGeCurve3d {
public:
    AcGeCircArc3d() = default;
    AcGeCircArc3d(const AcGePoint3d& center, const AcGeVector3d& normal, double radius);  // full circle
    AcGeCircArc3d(const AcGePoint3d& center, const AcGeVector3d& normal,
                  const AcGeVector3d& refVec, double radius, double startAngle, double endAngle);
    AcGeCircArc3d(const AcGePoint3d& start, const AcGePoint3d& mid, const AcGePoint3d& end);
    // The arc of a polyline segment: from start to end with that bulge (tan of a quarter of
    // the included angle; positive turns counter-clockwise about +Z). The arc gets normal +Z
    // for a positive bulge and -Z for a negative one, reference +X, and the start point's
    // elevation; a zero bulge gives a degenerate arc of radius 0.
    static AcGeCircArc3d fromBulge(const AcGePoint3d& start, const AcGePoint3d& end, double bulge);

    AcGePoint3d center() const { return m_center; }
    double radius() const { return m_radius; }
    AcGeVector3d normal() const { return m_normal; }
    AcGeVector3d refVec() const { return m_ref; }
    double startAng() const { return m_start; }
    double endAng() const { return m_end; }
    AcGePoint3d startPoint() const;
    AcGePoint3d endPoint() const;
    AcGePoint3d midPoint() const;         // halfway along the arc
    AcGePoint3d evalPoint(double angle) const;
    double length() const;
    AcGePlane getPlane() const;
    bool isOn(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const override;
    double distanceTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const override;
    AcGePoint3d closestPointTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const override;
    AcGeCircArc3d& transformBy(const AcGeMatrix3d& m) override;

    // Points common to the arc (within its angles) and the other curve, within tol.
    // numInt is 0, 1 or 2; a tangent touch within tol reports one point (the touch point, or
    // where the curves really cross when the bounded arc stops short of it). Points come in
    // order along the line or ray from its start, or along this arc for two arcs. Concentric
    // arcs report none.
    bool intersectWith(const AcGeLineSeg3d& seg, int& numInt, AcGePoint3d& p1, AcGePoint3d& p2,
                       const AcGeTol& tol = AcGeContext::gTol) const;
    bool intersectWith(const AcGeRay3d& ray, int& numInt, AcGePoint3d& p1, AcGePoint3d& p2,
                       const AcGeTol& tol = AcGeContext::gTol) const;
    bool intersectWith(const AcGeCircArc3d& arc, int& numInt, AcGePoint3d& p1, AcGePoint3d& p2,
                       const AcGeTol& tol = AcGeContext::gTol) const;

private:
    AcGePoint3d m_center;
    AcGeVector3d m_normal{0, 0, 1};
    AcGeVector3d m_ref{1, 0, 0};
    double m_radius = 0;
    double m_start = 0;
    double m_end = 0;
};

class AcGeLineSeg2d {
public:
    AcGeLineSeg2d() = default;
    AcGeLineSeg2d(const AcGePoint2d& start, const AcGePoint2d& end) : m_start(start), m_end(end) {}
    AcGePoint2d startPoint() const { return m_start; }
    AcGePoint2d endPoint() const { return m_end; }
    AcGeVector2d direction() const;
    double length() const;
    bool isOn(const AcGePoint2d& p, const AcGeTol& tol = AcGeContext::gTol) const;
    double distanceTo(const AcGePoint2d& p) const;
    bool intersectWith(const AcGeLineSeg2d& other, AcGePoint2d& p,
                       const AcGeTol& tol = AcGeContext::gTol) const;

private:
    AcGePoint2d m_start, m_end;
};

class AcGeCircArc2d {
public:
    AcGeCircArc2d() = default;
    // Counter-clockwise from startAngle to endAngle when isClockWise is false.
    AcGeCircArc2d(const AcGePoint2d& center, double radius, double startAngle, double endAngle,
                  bool isClockWise = false);
    static AcGeCircArc2d fromBulge(const AcGePoint2d& start, const AcGePoint2d& end, double bulge);
    AcGePoint2d center() const { return m_center; }
    double radius() const { return m_radius; }
    double startAng() const { return m_start; }
    double endAng() const { return m_end; }
    bool isClockWise() const { return m_cw; }
    AcGePoint2d startPoint() const;
    AcGePoint2d endPoint() const;
    bool isOn(const AcGePoint2d& p, const AcGeTol& tol = AcGeContext::gTol) const;
    bool intersectWith(const AcGeLineSeg2d& seg, int& numInt, AcGePoint2d& p1, AcGePoint2d& p2,
                       const AcGeTol& tol = AcGeContext::gTol) const;
    bool intersectWith(const AcGeCircArc2d& arc, int& numInt, AcGePoint2d& p1, AcGePoint2d& p2,
                       const AcGeTol& tol = AcGeContext::gTol) const;

private:
    AcGePoint2d m_center;
    double m_radius = 0;
    double m_start = 0;
    double m_end = 0;
    bool m_cw = false;
};
