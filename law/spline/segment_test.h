#pragma once
// The test of one fitted segment: the cubic Bezier that a Hermite pair (the ends and tangents of a
// law over [t0, t1]) gives, compared with the law at three fixed interior fractions. The curve
// fitting and the iso lines of the surface fitting both refine until their segments pass.
#include <cmath>

#include <law/base/vector.h>
#include <law/spline/bernstein.h>

// Where a segment is compared with its law, as fractions of its parameter length: unevenly
// spread, so that a law periodic over the segment is not met at its nodes only.
inline constexpr double segment_test_fractions[3] = {0.113, 0.491, 0.915};

// The four control points of the cubic with ends p0, p1 and tangents d0, d1 over a parameter
// length h: p0, p0 + d0 h/3, p1 - d1 h/3, p1.
struct hermite_cubic {
    ZEM::position c[4];
    hermite_cubic(ZEM::position const &p0, ZEM::vector const &d0, ZEM::position const &p1,
                  ZEM::vector const &d1, double h)
        : c{p0, p0 + d0 * (h / 3), p1 - d1 * (h / 3), p1} {}
    ZEM::position at(double u) const {
        return ZEM::origin +
               bernstein_sum<ZEM::vector>(4, u, [this](int j) { return c[j] - ZEM::origin; });
    }
};

// True when, at each test fraction u, the cubic and f(t0 (1 - u) + t1 u) lie no farther apart
// than the square root of tol_sq. f is any callable from a parameter to a ZEM::position.
template <class F>
bool segment_within(hermite_cubic const &cubic, double t0, double t1, double tol_sq, F const &f) {
    for (double const u : segment_test_fractions) {
        ZEM::position const want = f(t0 * (1 - u) + t1 * u);
        if ((cubic.at(u) - want).len_sq() > tol_sq) return false;
    }
    return true;
}

// The largest squared distance at the test fractions between the cubic and f(t0 (1 - u) + t1 u),
// as a multiple of tol_sq: at most 1 when segment_within passes.
template <class F>
double segment_excess(hermite_cubic const &cubic, double t0, double t1, double tol_sq, F const &f) {
    double worst = 0;
    for (double const u : segment_test_fractions) {
        ZEM::position const want = f(t0 * (1 - u) + t1 * u);
        worst = std::fmax(worst, (cubic.at(u) - want).len_sq() / tol_sq);
    }
    return worst;
}
