#pragma once
// Seeded random choices for the differential tests: numbers, picks, chances and the point
// tolerances the containment tests take (mostly the usual 1, sometimes an unusual one).
#include <cmath>
#include <iterator>
#include <random>

namespace vktest {

class RandomCases {
public:
    explicit RandomCases(unsigned seed) : m_rng(seed) {}

    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_rng); }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(double p) { return uniform(0, 1) < p; }
    std::mt19937& rng() { return m_rng; }

    double tolerance()
    {
        static const double others[] = {0.5, 0.0, -1.0, 1e-9, 10.0, 2.5, 0.001, std::nextafter(1.0, 2.0)};
        return chance(0.8) ? 1.0 : others[pick(std::size(others))];
    }

private:
    std::mt19937 m_rng;
};

}  // namespace vktest
