#include <cmath>
#include <numbers>

#include "tests/host/ge/GeTestUtil.h"

namespace {
constexpr double kPi = std::numbers::pi;
const AcGePlane kYZ(AcGePoint3d(0, 0, 0), AcGeVector3d(0, 1, 0), AcGeVector3d(0, 0, 1));
const AcGePlane kXZ(AcGePoint3d(0, 0, 0), AcGeVector3d(1, 0, 0), AcGeVector3d(0, 0, 1));
}  // namespace

TEST(MatrixTransforms, RotationIsCounterClockwiseSeenFromAxisTipAboutItsCenter) {
    const AcGeMatrix3d quarter = AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis);
    expectNear(quarter * AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 0));
    // Seen from -Z the same turn is clockwise.
    expectNear(AcGeMatrix3d::rotation(kPi / 2, -AcGeVector3d::kZAxis) * AcGePoint3d(1, 0, 0), AcGePoint3d(0, -1, 0));
    const AcGeMatrix3d aboutPoint = AcGeMatrix3d::rotation(kPi, AcGeVector3d::kZAxis, AcGePoint3d(10, 5, 0));
    expectNear(aboutPoint * AcGePoint3d(10, 5, 0), AcGePoint3d(10, 5, 0));
    expectNear(aboutPoint * AcGePoint3d(12, 5, 3), AcGePoint3d(8, 5, 3));
    // Vectors ignore the translation that keeps the centre fixed.
    expectNear(aboutPoint * AcGeVector3d(1, 0, 0), AcGeVector3d(-1, 0, 0));
}

TEST(MatrixTransforms, MirroringReflectsInPlaneOrThroughPoint) {
    expectNear(AcGeMatrix3d::mirroring(kYZ) * AcGePoint3d(3, 4, 5), AcGePoint3d(-3, 4, 5));
    expectNear(AcGeMatrix3d::mirroring(kXZ) * AcGePoint3d(3, 4, 5), AcGePoint3d(3, -4, 5));
    const AcGePlane offset(AcGePoint3d(10, 0, 0), AcGeVector3d(1, 0, 0));
    expectNear(AcGeMatrix3d::mirroring(offset) * AcGePoint3d(12, 1, 0), AcGePoint3d(8, 1, 0));
    expectNear(AcGeMatrix3d::mirroring(AcGePoint3d(1, 1, 1)) * AcGePoint3d(2, 3, 4), AcGePoint3d(0, -1, -2));
    EXPECT_NEAR(AcGeMatrix3d::mirroring(kYZ).det(), -1.0, 1e-12);
}

TEST(MatrixTransforms, PreMultiplyAppliesAfterWhatIsThere) {
    // Rotate 30 degrees, then flip left-right: the flip acts on the rotated result.
    AcGeMatrix3d m = AcGeMatrix3d::rotation(kPi / 6, AcGeVector3d::kZAxis);
    m.preMultBy(AcGeMatrix3d::mirroring(kYZ));
    const AcGePoint3d p(1, 0, 0);
    expectNear(m * p, AcGePoint3d(-std::cos(kPi / 6), std::sin(kPi / 6), 0));

    // Flip left-right, then up-down: a half turn.
    AcGeMatrix3d flips;
    flips.preMultBy(AcGeMatrix3d::mirroring(kYZ)).preMultBy(AcGeMatrix3d::mirroring(kXZ));
    EXPECT_TRUE(flips.isEqualTo(AcGeMatrix3d::rotation(kPi, AcGeVector3d::kZAxis)));

    // postMultBy applies the right-hand factor first.
    AcGeMatrix3d post = AcGeMatrix3d::mirroring(kYZ);
    post.postMultBy(AcGeMatrix3d::rotation(kPi / 6, AcGeVector3d::kZAxis));
    expectNear(post * p, m * p);
    AcGeMatrix3d other = AcGeMatrix3d::rotation(kPi / 6, AcGeVector3d::kZAxis);
    other.postMultBy(AcGeMatrix3d::mirroring(kYZ));
    expectNear(other * p, AcGePoint3d(-std::cos(kPi / 6), -std::sin(kPi / 6), 0));
}

TEST(MatrixTransforms, SetTranslationReplacesOnlyTheTranslation) {
    AcGeMatrix3d m = AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis, AcGePoint3d(5, 5, 0));
    m.preMultBy(AcGeMatrix3d::mirroring(kYZ));
    const AcGeVector3d linearBefore = m * AcGeVector3d(1, 2, 0);
    m.setTranslation(AcGeVector3d(100, 200, 0));
    expectNear(m.translation(), AcGeVector3d(100, 200, 0));
    expectNear(m * AcGePoint3d(0, 0, 0), AcGePoint3d(100, 200, 0));
    expectNear(m * AcGeVector3d(1, 2, 0), linearBefore);
    AcGeMatrix3d t = AcGeMatrix3d::translation(AcGeVector3d(1, 2, 3));
    expectNear(t * AcGePoint3d(1, 1, 1), AcGePoint3d(2, 3, 4));
}

TEST(MatrixInverse, InverseUndoesCompositeAndCorrectsPlacement) {
    AcGeMatrix3d r = AcGeMatrix3d::rotation(0.7, AcGeVector3d(1, 2, 3), AcGePoint3d(4, -1, 2));
    r.preMultBy(AcGeMatrix3d::mirroring(kXZ)).preMultBy(AcGeMatrix3d::scaling(2.5, AcGePoint3d(1, 1, 1)));
    r.setTranslation(AcGeVector3d(30, -40, 5));
    const AcGePoint3d p(3, -7, 11);
    expectNear(r.inverse() * (r * p), p);
    EXPECT_TRUE((r.inverse() * r).isEqualTo(AcGeMatrix3d::kIdentity));

    // T = R^-1 * M: for M equal to R the correction is the identity.
    AcGeMatrix3d t = r;
    t.preMultBy(r.inverse());
    EXPECT_TRUE(t.isEqualTo(AcGeMatrix3d::kIdentity));

    // A tiny but regular scaling still inverts.
    AcGeMatrix3d tiny = AcGeMatrix3d::scaling(1e-5);
    EXPECT_FALSE(tiny.isSingular());
    expectNear(tiny.inverse() * AcGePoint3d(1e-5, 2e-5, 0), AcGePoint3d(1, 2, 0));
}

TEST(MatrixInverse, SingularMatrixIsLeftUnchanged) {
    AcGeMatrix3d flat;  // projects onto the XY plane
    flat.entry[2][2] = 0;
    flat.setTranslation(AcGeVector3d(1, 2, 3));
    EXPECT_TRUE(flat.isSingular());
    EXPECT_DOUBLE_EQ(flat.det(), 0.0);
    const AcGeMatrix3d before = flat;
    flat.invert();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(flat(r, c), before(r, c)) << r << "," << c;
    EXPECT_TRUE(AcGeMatrix3d::scaling(0).isSingular());
}

TEST(MatrixCoordSystem, ColumnsHoldAxesAndOriginAndReadBack) {
    const AcGePoint3d o(10, 20, 30);
    const AcGeVector3d x(0, 1, 0), y(-1, 0, 0), z(0, 0, 1);
    AcGeMatrix3d m;
    m.setCoordSystem(o, x, y, z);
    EXPECT_DOUBLE_EQ(m(0, 3), 10);
    EXPECT_DOUBLE_EQ(m(1, 0), 1);
    EXPECT_DOUBLE_EQ(m(0, 1), -1);
    EXPECT_DOUBLE_EQ(m(3, 3), 1);
    expectNear(m * AcGePoint3d(1, 0, 0), o + x);
    expectNear(m * AcGePoint3d(0, 2, 0), o + y * 2);
    AcGePoint3d o2;
    AcGeVector3d x2, y2, z2;
    m.getCoordSystem(o2, x2, y2, z2);
    expectNear(o2, o);
    expectNear(x2, x);
    expectNear(y2, y);
    expectNear(z2, z);
    // Undoing a recorded system maps its origin back to the world origin.
    expectNear(m.inverse() * o, AcGePoint3d(0, 0, 0));
    EXPECT_EQ(m.transpose()(1, 0), m(0, 1));
}
