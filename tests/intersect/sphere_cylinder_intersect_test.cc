// The intersection of a sphere and a cylinder against closed forms and independent searches: the
// two circles of a centred sphere, Viviani's curve with its curvature and torsion, the tangent
// point and circle, the symmetries of a loop, and random placements whose every branch lies on
// both surfaces, never stops moving, and holds every point that a root search on the cylinder's
// rulings finds.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "law_test.h"

namespace {

struct placement {
    ZEM::position centre;
    double R;
    ZEM::position point;
    ZEM::vector axis;
    double r;
};

struct branch {
    law_ptr curve;
    double t0, t1;
};

struct result {
    sphere_cylinder_case which;
    std::vector<branch> branches;
};

result intersect(placement const &p) {
    law **laws = nullptr;
    ZEM::interval *ranges = nullptr;
    result out;
    int const n =
        sphere_cylinder_intersect(p.centre, p.R, p.point, p.axis, p.r, &laws, &ranges, &out.which);
    for (int i = 0; i < n; ++i)
        out.branches.push_back({adopt(laws[i]), ranges[i].start_pt(), ranges[i].end_pt()});
    vorn_discard(laws);
    vorn_discard(ranges);
    return out;
}

ZEM::vector unit(ZEM::vector const &v) { return v / v.len(); }

// The axial coordinate and the distance from the axis of a point.
double along(placement const &p, ZEM::position const &q) { return (q - p.point) % unit(p.axis); }
double off_axis(placement const &p, ZEM::position const &q) {
    ZEM::vector const w = q - p.point;
    return (w - unit(p.axis) * (w % unit(p.axis))).len();
}

// A random unit vector and a frame of two more square to it.
ZEM::vector random_unit(std::mt19937 &rng) {
    std::normal_distribution<double> g;
    ZEM::vector v(g(rng), g(rng), g(rng));
    return unit(v);
}
ZEM::vector square_to(ZEM::vector const &a, std::mt19937 &rng) {
    ZEM::vector const v = random_unit(rng);
    return unit(v - a * (v % a));
}

// A placement whose sphere centre lies at distance D from the axis and height h along it.
placement placed(std::mt19937 &rng, double R, double r, double D, double h = 0.7) {
    std::uniform_real_distribution<double> u(-3, 3);
    ZEM::position const point(u(rng), u(rng), u(rng));
    ZEM::vector const axis = random_unit(rng) * 2.5;  // not of unit length on purpose
    ZEM::vector const side = square_to(unit(axis), rng);
    return {point + unit(axis) * h + side * D, R, point, axis, r};
}

// Every point of every branch at n parameters lies on both surfaces within resabs, and each
// branch but a point keeps moving: its speed nowhere falls below a thousandth of its fastest.
void expect_on_both(placement const &p, result const &res, int n = 400) {
    for (std::size_t b = 0; b < res.branches.size(); ++b) {
        branch const &br = res.branches[b];
        std::vector<double> speeds;
        law_ptr const d = br.t1 > br.t0 ? adopt(br.curve->derivative(0)) : law_ptr();
        for (int i = 0; i <= n; ++i) {
            double const t = br.t0 + (br.t1 - br.t0) * i / n;
            ZEM::position const q = br.curve->evaluateR_P(t);
            EXPECT_NEAR((q - p.centre).len(), p.R, get_resabs()) << b << " at " << t;
            EXPECT_NEAR(off_axis(p, q), p.r, get_resabs()) << b << " at " << t;
            if (d) speeds.push_back(d->evaluateR_V(t).len());
        }
        if (!d) continue;
        double const fastest = *std::max_element(speeds.begin(), speeds.end());
        EXPECT_GT(*std::min_element(speeds.begin(), speeds.end()), 1e-3 * fastest) << b;
    }
}

// The distance from q to the branch: the best of a sample of its parameters, refined by golden
// sections on the bracket around it.
double distance_to(branch const &br, ZEM::position const &q) {
    auto d = [&](double t) { return (br.curve->evaluateR_P(t) - q).len(); };
    int const n = 400;
    double const h = (br.t1 - br.t0) / n;
    double best = br.t0;
    for (int i = 1; i <= n; ++i)
        if (d(br.t0 + i * h) < d(best)) best = br.t0 + i * h;
    if (h == 0) return d(best);
    double lo = best - h, hi = best + h;
    double const g = (std::sqrt(5.0) - 1) / 2;
    for (int i = 0; i < 80; ++i) {
        double const a = hi - g * (hi - lo), b = lo + g * (hi - lo);
        (d(a) < d(b) ? hi : lo) = d(a) < d(b) ? b : a;
    }
    return d(0.5 * (lo + hi));
}

double distance_to(result const &res, ZEM::position const &q) {
    double best = INFINITY;
    for (auto const &br : res.branches) best = std::fmin(best, distance_to(br, q));
    return best;
}

class SphereCylinder : public LawTest {};

}  // namespace

TEST_F(SphereCylinder, CentreOnTheAxisGivesTwoCirclesOrOne) {
    std::mt19937 rng(1);
    placement const p = placed(rng, 2.5, 1.5, 0);
    result const res = intersect(p);
    ASSERT_EQ(res.which, sphere_cylinder_two_circles);
    ASSERT_EQ(res.branches.size(), 2u);
    expect_on_both(p, res);
    // Heights +-sqrt(R^2 - r^2) = +-2 from the centre; opposite parameters are opposite points.
    double const h = along(p, p.centre);
    std::vector<double> heights;
    for (auto const &br : res.branches) {
        EXPECT_DOUBLE_EQ(br.t0, 0);
        EXPECT_DOUBLE_EQ(br.t1, 2 * M_PI);
        for (double t : {0.0, 0.4, 1.9, 3.3}) {
            ZEM::position const a = br.curve->evaluateR_P(t), b = br.curve->evaluateR_P(t + M_PI);
            EXPECT_NEAR((a - b).len(), 2 * p.r, 1e-12);
            EXPECT_NEAR(along(p, a), along(p, b), 1e-12);
        }
        heights.push_back(along(p, br.curve->evaluateR_P(0)) - h);
    }
    EXPECT_NEAR(std::fmax(heights[0], heights[1]), 2, 1e-12);
    EXPECT_NEAR(std::fmin(heights[0], heights[1]), -2, 1e-12);

    // Equal radii: the sphere touches the cylinder along its equator.
    placement q = p;
    q.R = q.r + 0.5 * get_resabs();
    result const touch = intersect(q);
    ASSERT_EQ(touch.which, sphere_cylinder_tangent_circle);
    ASSERT_EQ(touch.branches.size(), 1u);
    expect_on_both(q, touch);
    EXPECT_NEAR(along(q, touch.branches[0].curve->evaluateR_P(1)), h, 1e-12);
    // A smaller sphere inside: nothing.
    q.R = 1.2;
    EXPECT_EQ(intersect(q).which, sphere_cylinder_empty);
    EXPECT_TRUE(intersect(q).branches.empty());
}

TEST_F(SphereCylinder, VivianisCurveHasItsCurvatureAndTorsion) {
    // Sphere of radius 2a centred on the cylinder of radius a: Viviani's curve. With u the height
    // over the centre divided by 2a, t the angle of x = a(1 + cos t), y = a sin t, z = 2a sin(t/2):
    // cos t = 1 - 2u^2, curvature sqrt(13 + 3 cos t) / (a (3 + cos t)^(3/2)), torsion
    // 6 cos(t/2) / (a (13 + 3 cos t)) in size.
    std::mt19937 rng(2);
    double const a = 1.3;
    placement const p = placed(rng, 2 * a, a, a, -0.4);
    result const res = intersect(p);
    ASSERT_EQ(res.which, sphere_cylinder_figure_eight);
    ASSERT_EQ(res.branches.size(), 1u);
    expect_on_both(p, res);
    branch const &br = res.branches[0];
    law_ptr const d1 = adopt(br.curve->derivative(0));
    law_ptr const d2 = adopt(d1->derivative(0));
    law_ptr const d3 = adopt(d2->derivative(0));
    double const h = along(p, p.centre);
    for (int i = 0; i < 100; ++i) {
        double const t = br.t0 + (br.t1 - br.t0) * (i + 0.37) / 100;
        ZEM::vector const v1 = d1->evaluateR_V(t), v2 = d2->evaluateR_V(t), v3 = d3->evaluateR_V(t);
        ZEM::vector const b = v1 * v2;
        double const kappa = b.len() / std::pow(v1.len(), 3);
        double const tau = (b % v3) / b.len_sq();
        double const u = (along(p, br.curve->evaluateR_P(t)) - h) / (2 * a);
        double const cos_t = 1 - 2 * u * u;
        EXPECT_NEAR(kappa, std::sqrt(13 + 3 * cos_t) / (a * std::pow(3 + cos_t, 1.5)), 1e-12) << t;
        EXPECT_NEAR(std::fabs(tau), 6 * std::sqrt(1 - u * u) / (a * (13 + 3 * cos_t)), 1e-12) << t;
    }
    // It crosses itself once, at the far side of the cylinder level with the centre: the curve
    // passes there twice, at parameters far apart.
    ZEM::position const foot = p.point + unit(p.axis) * h;
    ZEM::position const far = foot - (p.centre - foot);
    std::vector<double> at_far;
    for (int i = 0; i < 4000; ++i) {
        double const t = br.t0 + (br.t1 - br.t0) * i / 4000;
        if ((br.curve->evaluateR_P(t) - far).len() < 1e-2) at_far.push_back(t);
    }
    ASSERT_FALSE(at_far.empty());
    EXPECT_GT(at_far.back() - at_far.front(), 1);
    EXPECT_LT(distance_to(br, far), 1e-7);
}

TEST_F(SphereCylinder, TangentPointsAndEmptyPlacements) {
    std::mt19937 rng(3);
    // Outside, touching the near side: R = D - r; inside, touching the wall: R = r - D.
    for (auto [R, r, D] : {std::array<double, 3>{1.0, 2.0, 3.0}, {0.5, 2.0, 1.5}}) {
        placement const p = placed(rng, R, r, D);
        result const res = intersect(p);
        ASSERT_EQ(res.which, sphere_cylinder_tangent_point);
        ASSERT_EQ(res.branches.size(), 1u);
        expect_on_both(p, res, 1);
        // The point lies on the line from the axis through the centre, r from the axis.
        ZEM::position const foot = p.point + unit(p.axis) * along(p, p.centre);
        ZEM::position const expected = foot + unit(p.centre - foot) * r;
        EXPECT_LT((res.branches[0].curve->evaluateR_P(0) - expected).len(), 1e-12);
        EXPECT_EQ(res.branches[0].t0, res.branches[0].t1);
        // A little smaller and the sphere misses the cylinder.
        placement q = p;
        q.R -= 1e-3;
        EXPECT_EQ(intersect(q).which, sphere_cylinder_empty);
    }
}

TEST_F(SphereCylinder, OneLoopIsSymmetricAndTwoLoopsMirrorEachOther) {
    std::mt19937 rng(4);
    auto mirror_axial = [](placement const &p, ZEM::position const &q) {
        // In the plane square to the axis through the centre.
        ZEM::vector const a = unit(p.axis);
        return q - a * (2 * ((q - p.centre) % a));
    };
    auto mirror_side = [](placement const &p, ZEM::position const &q) {
        // In the plane through the axis and the centre.
        ZEM::vector const a = unit(p.axis);
        ZEM::vector const w = p.centre - p.point;
        ZEM::vector const n = unit(a * (w - a * (w % a)));
        return q - n * (2 * ((q - p.point) % n));
    };
    placement const loop = placed(rng, 1.6, 1.0, 1.2);
    result const one = intersect(loop);
    ASSERT_EQ(one.which, sphere_cylinder_one_loop);
    ASSERT_EQ(one.branches.size(), 1u);
    expect_on_both(loop, one);
    placement const loops = placed(rng, 3.0, 1.0, 1.2);
    result const two = intersect(loops);
    ASSERT_EQ(two.which, sphere_cylinder_two_loops);
    ASSERT_EQ(two.branches.size(), 2u);
    expect_on_both(loops, two);
    for (double t : {0.3, 1.1, 2.0, 4.4, 5.9}) {
        ZEM::position const q = one.branches[0].curve->evaluateR_P(t);
        EXPECT_LT(distance_to(one, mirror_axial(loop, q)), 1e-7) << t;
        EXPECT_LT(distance_to(one, mirror_side(loop, q)), 1e-7) << t;
        // The upper loop's mirror image is the lower loop, and each loop is its own side image.
        ZEM::position const u = two.branches[0].curve->evaluateR_P(t);
        EXPECT_LT(distance_to(two.branches[1], mirror_axial(loops, u)), 1e-7) << t;
        EXPECT_GT(distance_to(two.branches[0], mirror_axial(loops, u)), 0.1) << t;
        EXPECT_LT(distance_to(two.branches[0], mirror_side(loops, u)), 1e-7) << t;
    }
}

TEST_F(SphereCylinder, RandomPlacementsHoldEveryPointOfBoth) {
    // Each placement's intersection found another way: on the cylinder's rulings at random
    // angles, the heights where the squared distance to the centre is R^2 (Nroot on the ruling).
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(0, 1);
    int cases[7] = {};
    for (int k = 0; k < 40; ++k) {
        double const r = 0.5 + 2 * u(rng), D = k % 10 == 0 ? 0 : 3 * u(rng), R = 0.2 + 4 * u(rng);
        placement const p = placed(rng, R, r, D, 4 * u(rng) - 2);
        result const res = intersect(p);
        ++cases[res.which];
        expect_on_both(p, res, 100);
        ZEM::vector const a = unit(p.axis);
        ZEM::vector const e = square_to(a, rng), f = a * e;
        for (int j = 0; j < 8; ++j) {
            double const theta = 2 * M_PI * u(rng);
            ZEM::position const base = p.point + (e * std::cos(theta) + f * std::sin(theta)) * r;
            ZEM::vector const w = base - p.centre;
            char text[256];
            std::snprintf(text, sizeof text, "%.17g+2*%.17g*X+X^2", w.len_sq() - R * R, w % a);
            law_ptr const g = adopt(str_to_law(text));
            double const h = along(p, p.centre) - along(p, base);
            int n = 0;
            double *roots = Nroot(g.get(), h - R - 1, h + R + 1, &n);
            for (int i = 0; i < n; ++i) {
                double z = roots[i];
                for (int step = 0; step < 3; ++step) z -= g->eval(z) / (2 * (w % a) + 2 * z);
                ZEM::position const q = base + a * z;
                if (std::fabs((q - p.centre).len() - R) > 1e-9) continue;  // a double root
                EXPECT_LT(distance_to(res, q), 1e-6) << k << " " << res.which << " R " << R << " r "
                                                     << r << " D " << D << " at " << theta;
            }
            vorn_discard(roots);
        }
    }
    // The draw reaches the generic cases.
    EXPECT_GT(cases[sphere_cylinder_empty], 0);
    EXPECT_GT(cases[sphere_cylinder_one_loop], 0);
    EXPECT_GT(cases[sphere_cylinder_two_loops], 0);
    EXPECT_GT(cases[sphere_cylinder_two_circles], 0);
}

TEST_F(SphereCylinder, BadSolidsAreRefused) {
    law **laws = nullptr;
    ZEM::interval *ranges = nullptr;
    ZEM::position const o(0, 0, 0);
    ZEM::vector const z(0, 0, 1);
    double const nan = std::nan("");
    EXPECT_LAW_ERROR(sphere_cylinder_intersect(o, 0, o, z, 1, &laws, &ranges), LAW_BAD_SOLID);
    EXPECT_LAW_ERROR(sphere_cylinder_intersect(o, 1, o, z, -1, &laws, &ranges), LAW_BAD_SOLID);
    EXPECT_LAW_ERROR(sphere_cylinder_intersect(o, 1, o, ZEM::vector(0, 0, 0), 1, &laws, &ranges),
                     LAW_BAD_SOLID);
    EXPECT_LAW_ERROR(
        sphere_cylinder_intersect(ZEM::position(nan, 0, 0), 1, o, z, 1, &laws, &ranges),
        LAW_BAD_SOLID);
    EXPECT_LAW_ERROR(sphere_cylinder_intersect(o, INFINITY, o, z, 1, &laws, &ranges),
                     LAW_BAD_SOLID);
    EXPECT_EQ(laws, nullptr);
    EXPECT_EQ(ranges, nullptr);
    EXPECT_STREQ(sphere_cylinder_case_name(sphere_cylinder_figure_eight), "figure-eight");
}
