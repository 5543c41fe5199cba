// The spline curve against an independent evaluation: de Boor's algorithm on the weighted
// control points, written here from its textbook form, with the derivative curves formed from
// differences of control points, and finite differences for the derivatives.
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "law_test.h"

namespace {

using hpoint = std::array<double, 4>;  // x w, y w, z w, w

// Point of the B-spline of the given degree, knots and weighted points at t (de Boor).
hpoint de_boor(int degree, std::vector<double> const &knots, std::vector<hpoint> const &pts,
               double t) {
    int const K = static_cast<int>(pts.size());
    int k = degree;
    while (k < K - 1 && t >= knots[k + 1]) ++k;
    while (k > degree && knots[k + 1] - knots[k] <= 0) --k;
    std::vector<hpoint> d(pts.begin() + (k - degree), pts.begin() + (k + 1));
    for (int r = 1; r <= degree; ++r) {
        for (int j = degree; j >= r; --j) {
            int const i = j + k - degree;
            double const den = knots[i + degree + 1 - r] - knots[i];
            double const a = den > 0 ? (t - knots[i]) / den : 0;
            for (int c = 0; c < 4; ++c) d[j][c] = (1 - a) * d[j - 1][c] + a * d[j][c];
        }
    }
    return d[degree];
}

// The derivative curve: degree - 1, inner knots, control points p (H[i+1] - H[i]) / span.
void derivative_curve(int degree, std::vector<double> const &knots, std::vector<hpoint> const &pts,
                      std::vector<double> &dknots, std::vector<hpoint> &dpts) {
    dknots.assign(knots.begin() + 1, knots.end() - 1);
    dpts.clear();
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        double const den = knots[i + degree + 1] - knots[i + 1];
        hpoint q{};
        for (int c = 0; c < 4; ++c) q[c] = den > 0 ? degree * (pts[i + 1][c] - pts[i][c]) / den : 0;
        dpts.push_back(q);
    }
}

struct random_curve {
    int degree = 0;
    bool rational = false;
    std::vector<double> knots, weights, coords;

    explicit random_curve(std::mt19937 &rng) {
        std::uniform_int_distribution<int> deg(1, 5), extra(0, 7), mult(1, 3);
        std::uniform_real_distribution<double> unit(0, 1), coord(-10, 10), weight(0.2, 4);
        degree = deg(rng);
        int const K = degree + 1 + extra(rng);
        rational = unit(rng) < 0.5;
        // Clamped or not, with interior knots repeated up to the degree.
        double t = coord(rng);
        while (static_cast<int>(knots.size()) < K + degree + 1) {
            int const m = std::min(mult(rng), degree);
            for (int i = 0; i < m && static_cast<int>(knots.size()) < K + degree + 1; ++i) {
                knots.push_back(t);
            }
            t += 0.1 + unit(rng);
        }
        // Clamped ends, when the clamping leaves the curve a length.
        if (unit(rng) < 0.5 && knots[K] > knots[degree]) {
            for (int i = 0; i <= degree; ++i) knots[i] = knots[degree];
            for (int i = K; i < K + degree + 1; ++i) knots[i] = knots[K];
        }
        for (int i = 0; i < K; ++i) {
            weights.push_back(rational ? weight(rng) : 1.0);
            for (int c = 0; c < 3; ++c) coords.push_back(coord(rng));
        }
    }
    int K() const { return static_cast<int>(weights.size()); }
    sw_curve make() const {
        return sw_curve(K(), degree, 0, 0, rational ? 0 : 1, 0, knots.data(), weights.data(),
                        coords.data(), knots[degree], knots[K()], nullptr);
    }
    std::vector<hpoint> weighted() const {
        std::vector<hpoint> h;
        for (int i = 0; i < K(); ++i) {
            double const w = weights[i];
            h.push_back({coords[3 * i] * w, coords[3 * i + 1] * w, coords[3 * i + 2] * w, w});
        }
        return h;
    }
    // Position and derivatives by the quotient rule on the weighted curve and its derivatives.
    void reference(double t, ZEM::vector out[3]) const {
        std::vector<double> k1, k2;
        std::vector<hpoint> h1, h2;
        auto const h0 = weighted();
        derivative_curve(degree, knots, h0, k1, h1);
        hpoint a = de_boor(degree, knots, h0, t), a1{}, a2{};
        if (degree >= 1) a1 = de_boor(degree - 1, k1, h1, t);
        if (degree >= 2) {
            derivative_curve(degree - 1, k1, h1, k2, h2);
            a2 = de_boor(degree - 2, k2, h2, t);
        }
        auto vec = [](hpoint const &h) { return ZEM::vector(h[0], h[1], h[2]); };
        ZEM::vector const c = vec(a) / a[3];
        ZEM::vector const c1 = (vec(a1) - c * a1[3]) / a[3];
        ZEM::vector const c2 = (vec(a2) - c1 * (2 * a1[3]) - c * a2[3]) / a[3];
        out[0] = c;
        out[1] = c1;
        out[2] = c2;
    }
    bool near_interior_knot(double t) const {
        for (int i = degree + 1; i < K(); ++i) {
            if (std::fabs(t - knots[i]) < 1e-3) return true;
        }
        return false;
    }
};

double scale_of(ZEM::vector const &v) { return 1 + v.len(); }

}  // namespace

class SwCurve : public LawTest {};

TEST_F(SwCurve, MatchesDeBoorOnRandomCurvesWithRepeatedKnots) {
    std::mt19937 rng(15);
    std::uniform_real_distribution<double> unit(0, 1);
    int derivative_checks = 0;
    for (int trial = 0; trial < 300; ++trial) {
        random_curve const rc(rng);
        sw_curve const c = rc.make();
        double const a = rc.knots[rc.degree], b = rc.knots[rc.K()];
        if (!(b > a)) continue;  // a curve of no length: nothing to compare
        for (int s = 0; s < 20; ++s) {
            double const t = a + (b - a) * unit(rng);
            ZEM::vector ref[3];
            rc.reference(t, ref);
            ZEM::position p;
            ZEM::vector d1, d2;
            c.eval(t, &p, &d1, &d2);
            ASSERT_LT(((p - ZEM::origin) - ref[0]).len(), 1e-9 * scale_of(ref[0]))
                << "trial " << trial << " t " << t;
            if (rc.near_interior_knot(t)) continue;
            ++derivative_checks;
            EXPECT_LT((d1 - ref[1]).len(), 1e-8 * scale_of(ref[1])) << "trial " << trial;
            EXPECT_LT((d2 - ref[2]).len(), 1e-7 * scale_of(ref[2])) << "trial " << trial;
            // And the derivatives as central differences of the curve's own positions.
            double const h = 1e-5;
            ZEM::position pm, pp;
            ZEM::vector dm, dp;
            c.eval(t - h, &pm, &dm);
            c.eval(t + h, &pp, &dp);
            EXPECT_LT(((pp - pm) / (2 * h) - d1).len(), 1e-5 * scale_of(d1) * scale_of(d2));
            EXPECT_LT(((dp - dm) / (2 * h) - d2).len(), 1e-4 * scale_of(d2) * scale_of(d1));
        }
    }
    EXPECT_GT(derivative_checks, 1000);
}
