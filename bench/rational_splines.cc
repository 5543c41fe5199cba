#include "rational_splines.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "bench_law.h"

namespace bench {
namespace {

using homogeneous = std::array<double, 4>;  // w x, w y, w z, w

// The quarter arc from (1, 0) to (0, 1) as a rational quadratic: its points with weights.
std::vector<homogeneous> unit_arc() {
    double const w = std::sqrt(0.5);
    return {homogeneous{1, 0, 0, 1}, homogeneous{w, w, 0, w}, homogeneous{0, 1, 0, 1}};
}

// Cosine and sine of the arc's parameter X (or Y): the rational functions the arc draws.
std::string arc_cos(char v) {
    std::string const x(1, v);
    std::string const d = "((1-" + x + ")^2+SQRT(2)*" + x + "*(1-" + x + ")+" + x + "^2)";
    return "(((1-" + x + ")^2+SQRT(2)*" + x + "*(1-" + x + "))/" + d + ")";
}
std::string arc_sin(char v) {
    std::string const x(1, v);
    std::string const d = "((1-" + x + ")^2+SQRT(2)*" + x + "*(1-" + x + ")+" + x + "^2)";
    return "((SQRT(2)*" + x + "*(1-" + x + ")+" + x + "^2)/" + d + ")";
}

constexpr double inserted = 0.3;
// The knots of a quadratic over [0, 1] with the knot at 0.3.
std::vector<double> knots_with_insertion() { return {0, 0, 0, inserted, 1, 1, 1}; }

// Boehm's insertion of u into the quadratic over [0, 1] with no interior knot, on homogeneous
// points (which keeps a rational spline as it was).
std::vector<homogeneous> insert_knot(std::vector<homogeneous> const &p) {
    std::vector<homogeneous> q = {p[0]};
    for (int i = 1; i <= 2; ++i) {
        homogeneous r;
        for (int c = 0; c < 4; ++c) r[c] = (1 - inserted) * p[i - 1][c] + inserted * p[i][c];
        q.push_back(r);
    }
    q.push_back(p[2]);
    return q;
}

}  // namespace

rational_curve_case rational_arc() {
    std::vector<homogeneous> const q = insert_knot(unit_arc());
    std::vector<double> points, weights, knots = knots_with_insertion();
    for (homogeneous const &h : q) {
        points.insert(points.end(), {2 * h[0] / h[3], 2 * h[1] / h[3], 0.5});
        weights.push_back(h[3]);
    }
    int const K = static_cast<int>(q.size());
    return {"rational arc",
            std::make_unique<sw_curve>(K, 2, 0, 0, 0, 0, knots.data(), weights.data(),
                                       points.data(), 0.0, 1.0, nullptr),
            parse_law("VEC(2*" + arc_cos('X') + ",2*" + arc_sin('X') + ",0.5)")};
}

rational_surface_case rational_torus_patch() {
    std::vector<homogeneous> const turn = insert_knot(unit_arc());
    // The tube's section: the circle of radius 1 about (2, 0) in the xz plane, from (3, 0) to
    // (2, 1), as the arc shifted.
    std::vector<homogeneous> section = insert_knot(unit_arc());
    for (homogeneous &h : section) h[0] += 2 * h[3];
    int const K = static_cast<int>(turn.size());
    std::vector<ZEM::position> points;
    std::vector<double> weights;
    // Column i along s (the turn), row j along t (the section).
    for (homogeneous const &b : section)
        for (homogeneous const &a : turn) {
            double const rho = b[0] / b[3], z = b[1] / b[3];
            points.emplace_back(rho * a[0] / a[3], rho * a[1] / a[3], z);
            weights.push_back(a[3] * b[3]);
        }
    std::vector<double> k1 = knots_with_insertion(), k2 = knots_with_insertion();
    std::string const rho = "(2+" + arc_cos('Y') + ")";
    return {"rational torus patch",
            std::make_unique<sw_surface>(K, K, 2, 2, 0, 0, 0, 0, 0, k1.data(), k2.data(),
                                         weights.data(), points.data(), 0.0, 1.0, 0.0, 1.0),
            parse_law("VEC(" + rho + "*" + arc_cos('X') + "," + rho + "*" + arc_sin('X') + "," +
                      arc_sin('Y') + ")")};
}

}  // namespace bench
