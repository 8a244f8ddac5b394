#pragma once
#include <gtest/gtest.h>

#include "host/ge/AcGe.h"

inline void expectNear(const AcGePoint3d& actual, const AcGePoint3d& expected, double tol = 1e-9) {
    EXPECT_LE(actual.distanceTo(expected), tol)
        << "actual (" << actual.x << ", " << actual.y << ", " << actual.z << ") expected ("
        << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

inline void expectNear(const AcGeVector3d& actual, const AcGeVector3d& expected, double tol = 1e-9) {
    EXPECT_LE((actual - expected).length(), tol)
        << "actual (" << actual.x << ", " << actual.y << ", " << actual.z << ") expected ("
        << expected.x << ", " << expected.y << ", " << expected.z << ")";
}
