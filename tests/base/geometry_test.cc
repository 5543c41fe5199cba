// Small solvers of the base layer: real roots of polynomials up to degree four, and the line and
// plane through a set of points.
#include <algorithm>
#include <cmath>
#include <vector>

#include "law_test.h"

namespace {

// Coefficients (constant first) of the monic polynomial with the given roots, times lead.
std::vector<double> with_roots(std::vector<double> const &roots, double lead = 1) {
    std::vector<double> c{lead};
    for (double r : roots) {
        std::vector<double> next(c.size() + 1, 0.0);
        for (std::size_t k = 0; k < c.size(); ++k) {
            next[k + 1] += c[k];
            next[k] -= r * c[k];
        }
        c = next;
    }
    c.resize(5, 0.0);
    return c;
}

struct root_case {
    char const *name;
    std::vector<double> coefficients;  // constant first, five of them
    std::vector<double> roots;         // distinct real roots, ascending
};

std::vector<root_case> root_cases() {
    return {
        {"four simple", with_roots({1, 2, 3, 4}), {1, 2, 3, 4}},
        {"scaled four", with_roots({-3, -0.5, 0.25, 7}, -2), {-3, -0.5, 0.25, 7}},
        {"biquadratic", with_roots({-2, -1, 1, 2}), {-2, -1, 1, 2}},
        {"two double roots", with_roots({-2, -2, 1, 1}), {-2, 1}},
        {"triple root", with_roots({0.5, 0.5, 0.5, -1}), {-1, 0.5}},
        {"no real roots", {1, 0, 0, 0, 1}, {}},
        {"two real, two complex", {-1, 0, 0, 0, 1}, {-1, 1}},
        {"cubic", with_roots({-1, 2, 5}), {-1, 2, 5}},
        {"cubic with a double root", with_roots({1, 1, -2}), {-2, 1}},
        {"cubic with one real root", {-1, 0, 0, 1, 0}, {1}},
        {"quadratic", with_roots({-4, 0.5}), {-4, 0.5}},
        {"quadratic double root", with_roots({3, 3}), {3}},
        {"linear", {6, -3, 0, 0, 0}, {2}},
        {"constant", {1, 0, 0, 0, 0}, {}},
    };
}

}  // namespace

class BaseGeometry : public LawTest {};

TEST_F(BaseGeometry, QuarticRootsMatchKnownRoots) {
    for (auto const &rc : root_cases()) {
        double roots[4] = {NAN, NAN, NAN, NAN};
        int const n = quartic_roots(rc.coefficients.data(), roots);
        ASSERT_EQ(n, static_cast<int>(rc.roots.size())) << rc.name;
        for (int i = 0; i < n; ++i) EXPECT_NEAR(roots[i], rc.roots[i], 1e-7) << rc.name;
        EXPECT_TRUE(std::is_sorted(roots, roots + n)) << rc.name;
    }
}

TEST_F(BaseGeometry, QuarticRootsOfGeneratedPolynomials) {
    // Simple roots spread apart: every one is found and polished.
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % 2000 / 100.0 - 10;  // in [-10, 10)
    };
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<double> r;
        while (r.size() < 4) {
            double const x = next();
            if (std::all_of(r.begin(), r.end(), [&](double y) { return std::fabs(x - y) > 0.5; }))
                r.push_back(x);
        }
        std::sort(r.begin(), r.end());
        auto const c = with_roots(r, trial % 2 ? 1.0 : -0.3);
        double roots[4];
        ASSERT_EQ(quartic_roots(c.data(), roots), 4) << trial;
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(roots[i], r[i], 1e-8) << trial;
    }
}

TEST_F(BaseGeometry, LineThroughPoints) {
    ZEM::position const pts[] = {{1, 1, 1}, {2, 3, 4}, {3, 5, 7}, {-1, -3, -5}};
    ZEM::position root;
    ZEM::unit_vector dir;
    ASSERT_TRUE(get_line_from_points(4, pts, root, dir));
    ZEM::vector const expected = ZEM::unit_vector(1, 2, 3);
    EXPECT_NEAR(std::fabs(dir % expected), 1, 1e-12);
    for (auto const &p : pts) EXPECT_LT(((p - root) * dir).len(), 1e-9);

    // A direction at right angles to any fixed starting guess is still found.
    for (ZEM::vector d :
         {ZEM::vector(0.7, -1, 0), ZEM::vector(0, 0.3, -0.7), ZEM::vector(0, 0, 1)}) {
        ZEM::position const line[] = {ZEM::origin, ZEM::origin + d, ZEM::origin + d * 2.5};
        ASSERT_TRUE(get_line_from_points(3, line, root, dir)) << d.x() << " " << d.y();
        EXPECT_NEAR(std::fabs(dir % ZEM::unit_vector(d)), 1, 1e-12);
    }

    ZEM::position const same[] = {{1, 2, 3}, {1, 2, 3}};
    EXPECT_FALSE(get_line_from_points(2, same, root, dir));
    EXPECT_FALSE(get_line_from_points(1, pts, root, dir));
    // Points off every line have a best line, but do not lie on it.
    ZEM::position const bent[] = {{0, 0, 0}, {1, 0, 0}, {2, 0.1, 0}};
    EXPECT_FALSE(get_line_from_points(3, bent, root, dir));
}

TEST_F(BaseGeometry, PlaneThroughPoints) {
    ZEM::unit_vector const n(1, -2, 2);
    ZEM::position const o(0.5, 1, -1);
    ZEM::vector const a = ZEM::unit_vector(n * ZEM::vector(1, 0, 0)), b = n * a;
    std::vector<ZEM::position> pts;
    for (int i = 0; i < 7; ++i)
        pts.push_back(o + a * std::cos(i * 0.9) * (1 + i) + b * std::sin(i * 1.3) * 2.0);
    ZEM::position root;
    ZEM::unit_vector normal;
    ASSERT_TRUE(get_plane_from_points(7, pts.data(), root, normal));
    EXPECT_NEAR(std::fabs(normal % n), 1, 1e-12);
    EXPECT_NEAR((root - o) % n, 0, 1e-12);

    ZEM::position const line[] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {5, 5, 5}};
    EXPECT_FALSE(get_plane_from_points(4, line, root, normal));
    EXPECT_FALSE(get_plane_from_points(2, pts.data(), root, normal));
    // The corners of a tetrahedron lie in no plane.
    ZEM::position const corners[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    EXPECT_FALSE(get_plane_from_points(4, corners, root, normal));
}

TEST_F(BaseGeometry, VectorHelpers) {
    ZEM::vector const v(3, 4, 0);
    EXPECT_EQ(len(v), 5);
    EXPECT_EQ(len_sq(v), 25);
    EXPECT_TRUE(normalise(v) == ZEM::vector(0.6, 0.8, 0));
    EXPECT_TRUE(ZEM::unit_vector(ZEM::vector()) == ZEM::vector());
    EXPECT_EQ(distance(ZEM::position(1, 1, 1), ZEM::position(1, 4, 5)), 5);
    EXPECT_TRUE(biparallel(ZEM::vector(1, 2, 3), ZEM::vector(-2, -4, -6)));
    EXPECT_FALSE(biparallel(ZEM::vector(1, 2, 3), ZEM::vector(1, 2, 3.001)));
    EXPECT_TRUE(is_equal(1.0, 1.0 + 1e-7));
    EXPECT_FALSE(is_equal(1.0, 1.0 + 1e-5));
}
