#pragma once
// Tolerances of geometric comparisons. The host's global tolerance is AcGeContext::gTol.

class AcGeTol {
public:
    AcGeTol() = default;
    AcGeTol(double equalPoint, double equalVector) : m_point(equalPoint), m_vector(equalVector) {}
    double equalPoint() const { return m_point; }    // two points closer than this are equal
    double equalVector() const { return m_vector; }  // vectors whose directions differ less are equal
    void setEqualPoint(double v) { m_point = v; }
    void setEqualVector(double v) { m_vector = v; }

private:
    double m_point = 1e-10;
    double m_vector = 1e-12;
};

struct AcGeContext {
    static AcGeTol gTol;  // the host's global tolerance: 1e-10 for points, 1e-12 for vectors
};
