#include "host/ge/AcGeNurbs.h"

#include <algorithm>
#include <cmath>

namespace vkge {

namespace {

struct Homogeneous {
    double x = 0, y = 0, z = 0, w = 0;
};

// The knot span [U[k], U[k+1]) that holds t, k in [p, n - 1]; the last non-empty one at the end.
int spanOf(const Nurbs& c, double t)
{
    const int p = c.degree, n = static_cast<int>(c.points.size());
    const std::vector<double>& U = c.knots;
    if (t >= U[n]) {
        int k = n - 1;
        while (k > p && U[k] >= U[n]) --k;
        return k;
    }
    const auto it = std::upper_bound(U.begin() + p, U.begin() + n + 1, t);
    return std::clamp(static_cast<int>(it - U.begin()) - 1, p, n - 1);
}

}  // namespace

bool IsValidNurbs(const Nurbs& c)
{
    const int p = c.degree;
    const size_t n = c.points.size();
    if (p < 1 || p > 11 || n < static_cast<size_t>(p) + 1 || c.knots.size() != n + p + 1) return false;
    if (!c.weights.empty() && c.weights.size() != n) return false;
    for (size_t i = 0; i < c.knots.size(); ++i)
        if (!std::isfinite(c.knots[i]) || (i > 0 && c.knots[i] < c.knots[i - 1])) return false;
    for (const AcGePoint3d& q : c.points)
        if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z)) return false;
    for (double w : c.weights)
        if (!(w > 0) || !std::isfinite(w)) return false;
    return c.knots[n] > c.knots[static_cast<size_t>(p)];
}

AcGePoint3d NurbsPoint(const Nurbs& c, double t)
{
    const int p = c.degree, n = static_cast<int>(c.points.size());
    const std::vector<double>& U = c.knots;
    t = std::clamp(t, U[p], U[n]);
    const int k = spanOf(c, t);
    // de Boor's algorithm on the homogeneous points of the span.
    Homogeneous d[12];
    for (int j = 0; j <= p; ++j) {
        const AcGePoint3d& q = c.points[static_cast<size_t>(k - p + j)];
        const double w = c.weights.empty() ? 1.0 : c.weights[static_cast<size_t>(k - p + j)];
        d[j] = {q.x * w, q.y * w, q.z * w, w};
    }
    for (int r = 1; r <= p; ++r)
        for (int j = p; j >= r; --j) {
            const double lo = U[k - p + j], hi = U[k + 1 + j - r];
            const double a = hi > lo ? (t - lo) / (hi - lo) : 0.0;
            d[j] = {(1 - a) * d[j - 1].x + a * d[j].x, (1 - a) * d[j - 1].y + a * d[j].y,
                    (1 - a) * d[j - 1].z + a * d[j].z, (1 - a) * d[j - 1].w + a * d[j].w};
        }
    const Homogeneous& h = d[p];
    return {h.x / h.w, h.y / h.w, h.z / h.w};
}

std::vector<AcGePoint3d> SampleNurbs(const Nurbs& c, int segmentsPerSpan, int maxPoints)
{
    const int p = c.degree, n = static_cast<int>(c.points.size());
    const std::vector<double>& U = c.knots;
    int spans = 0;
    for (int k = p; k < n; ++k) spans += U[k + 1] > U[k];
    const int per = std::max(1, std::min(segmentsPerSpan, (maxPoints - 1) / std::max(spans, 1)));
    std::vector<AcGePoint3d> out;
    out.reserve(static_cast<size_t>(spans * per + 1));
    out.push_back(NurbsPoint(c, U[p]));
    for (int k = p; k < n; ++k) {
        if (!(U[k + 1] > U[k])) continue;
        for (int i = 1; i <= per; ++i) out.push_back(NurbsPoint(c, U[k] + (U[k + 1] - U[k]) * i / per));
    }
    return out;
}

namespace {

// The non-zero cubic basis functions at a knot value u = U[k] (k a simple interior knot of a
// clamped vector): N[k-3..k-1], computed by the Cox-de Boor recursion.
void basisAt(const std::vector<double>& U, int k, double u, double N[4])
{
    double left[4], right[4];
    N[0] = 1;
    for (int j = 1; j <= 3; ++j) {
        left[j] = u - U[k + 1 - j];
        right[j] = U[k + j] - u;
        double saved = 0;
        for (int r = 0; r < j; ++r) {
            const double den = right[r + 1] + left[j - r];
            const double tmp = den != 0 ? N[r] / den : 0;
            N[r] = saved + right[r + 1] * tmp;
            saved = left[j - r] * tmp;
        }
        N[j] = saved;
    }
}

AcGeVector3d unitOr(const AcGeVector3d& v, const AcGeVector3d& fallback)
{
    const double len = v.length();
    return len > 0 && std::isfinite(len) ? v * (1 / len) : fallback;
}

}  // namespace

bool InterpolateNurbs(const std::vector<AcGePoint3d>& fit, const AcGeVector3d& startTangent,
                      const AcGeVector3d& endTangent, Nurbs& out)
{
    const int m = static_cast<int>(fit.size()) - 1;  // the last fit point's index
    if (m < 1) return false;
    std::vector<double> u(static_cast<size_t>(m) + 1, 0.0);
    double total = 0;
    for (int i = 1; i <= m; ++i) {
        const double d = fit[i].distanceTo(fit[i - 1]);
        if (!(d > 0) || !std::isfinite(d)) return false;
        total += d;
        u[i] = total;
    }
    for (double& x : u) x /= total;
    u[m] = 1;
    // End derivatives in the curve's parameter (0 to 1): direction given or from the next points
    // (Bessel's parabola), length the whole chord.
    // Bessel's end derivative: that of the parabola through the three points at an end.
    auto bessel = [&](int end, int next, int third) {
        const double h1 = u[next] - u[end], h2 = u[third] - u[next];
        const AcGeVector3d d1 = (fit[next] - fit[end]) * (1 / h1), d2 = (fit[third] - fit[next]) * (1 / h2);
        return (d1 * (2 * h1 + h2) - d2 * h1) * (1 / (h1 + h2));
    };
    const AcGeVector3d chord = fit[1] - fit[0];
    const AcGeVector3d guessStart = m < 2 ? chord : bessel(0, 1, 2);
    const AcGeVector3d guessEnd = m < 2 ? chord : bessel(m, m - 1, m - 2);
    const AcGeVector3d D0 = unitOr(startTangent, unitOr(guessStart, AcGeVector3d::kXAxis)) * total;
    const AcGeVector3d Dm = unitOr(endTangent, unitOr(guessEnd, AcGeVector3d::kXAxis)) * total;

    // Clamped cubic: knots 0,0,0,0, u1..u(m-1), 1,1,1,1; m + 3 control points.
    Nurbs c;
    c.degree = 3;
    c.knots.assign(4, 0.0);
    for (int i = 1; i < m; ++i) c.knots.push_back(u[i]);
    c.knots.insert(c.knots.end(), 4, 1.0);
    const int n = m + 3;
    c.points.assign(static_cast<size_t>(n), AcGePoint3d());
    c.points[0] = fit[0];
    c.points[1] = fit[0] + D0 * (c.knots[4] / 3);
    c.points[n - 1] = fit[m];
    c.points[n - 2] = fit[m] - Dm * ((1 - c.knots[n - 1]) / 3);
    // Interior points: C(u_k) = Q_k, k = 1..m-1; at the knot u_k = U[k+3] only P(k), P(k+1),
    // P(k+2) count, so the system is tridiagonal in P2..P(m) (Thomas's algorithm: B-spline
    // collocation needs no pivoting).
    const int rows = m - 1;
    if (rows > 0) {
        std::vector<double> a(rows), b(rows), cc(rows);
        std::vector<AcGeVector3d> rhs(rows);
        for (int r = 0; r < rows; ++r) {
            const int k = r + 1;
            double N[4];
            basisAt(c.knots, k + 3, u[k], N);  // N[0..2]: P(k), P(k+1), P(k+2)
            a[r] = N[0], b[r] = N[1], cc[r] = N[2];
            rhs[r] = fit[k].asVector();
            if (r == 0) rhs[r] -= c.points[1].asVector() * a[r], a[r] = 0;
            if (r == rows - 1) rhs[r] -= c.points[n - 2].asVector() * cc[r], cc[r] = 0;
        }
        for (int r = 1; r < rows; ++r) {
            const double f = a[r] / b[r - 1];
            b[r] -= f * cc[r - 1];
            rhs[r] -= rhs[r - 1] * f;
        }
        std::vector<AcGeVector3d> x(rows);
        x[rows - 1] = rhs[rows - 1] * (1 / b[rows - 1]);
        for (int r = rows - 2; r >= 0; --r) x[r] = (rhs[r] - x[r + 1] * cc[r]) * (1 / b[r]);
        for (int r = 0; r < rows; ++r) c.points[static_cast<size_t>(r + 2)] = AcGePoint3d::kOrigin + x[r];
    }
    if (!IsValidNurbs(c)) return false;
    out = std::move(c);
    return true;
}

}  // namespace vkge
