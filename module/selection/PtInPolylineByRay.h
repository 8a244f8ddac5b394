#pragma once
// Point against polyline by casting a ray towards -X and counting crossings.
#include <memory>

#include "host/db/AcDb.h"
#include "host/ge/AcGe.h"

// 1 inside, 0 on the outline (within tol), -1 outside or for a null polyline. Works in three
// dimensions: a point off the polyline's elevation by tol or more meets nothing.
int IsPtInPolylineByRay(AcDbPolyline* pline, AcGePoint3d pt, double tol);

// A boundary read once for many ray tests. Its segments are taken from the polyline when it
// is built (the polyline need not stay open afterwards); each test then settles most segments
// from their boxes and falls back to the full test of a segment only where the point comes
// close to it. Classify answers exactly as IsPtInPolylineByRay does for the polyline as read.
class CRayBoundary {
public:
    explicit CRayBoundary(const AcDbPolyline* pline);
    CRayBoundary(const CRayBoundary&) = delete;
    CRayBoundary& operator=(const CRayBoundary&) = delete;

    int Classify(const AcGePoint3d& pt, double tol) const;

    // One straight or arc segment as read, with a box that holds every point its tests meet.
    struct Seg {
        double x0, y0, x1, y1, bulge;
        double xlo, xhi, ylo, yhi;
        double scale;           // largest magnitude among its ends
        double margin;          // arcs: how far the arc's computed points may stray, already in the box
        double cx, cy, radius;  // arcs: the circle
        bool arc;
        bool quick;             // every value finite and of moderate size
    };

private:
    static constexpr unsigned kInline = 16;
    bool m_null = true;
    bool m_quick = true;  // every segment of moderate values
    unsigned m_count = 0;
    double m_elevation = 0;
    double m_scale = 0;  // largest magnitude among the segments' ends
    double m_xlo = 0, m_xhi = 0, m_ylo = 0, m_yhi = 0;  // the segments' boxes together
    const Seg* m_segs = nullptr;
    std::unique_ptr<Seg[]> m_more;  // when the segments do not fit inline
    Seg m_inline[kInline];
};
