#include <cmath>
#include <numbers>

#include <law/geom/geom.h>

#include "geom_test_util.h"

namespace {

class MinimalRotation : public LawTest {};

constexpr double pi = std::numbers::pi;

ZEM::vector cross(ZEM::vector const &a, ZEM::vector const &b) { return a * b; }
double angle(ZEM::vector const &a, ZEM::vector const &b) {
    return std::atan2(cross(a, b).len(), a % b);
}

// The helix (r cos t, r sin t, c t) with its Frenet frame in closed form. The frame that turns
// least about the tangent satisfies U' = -(U . T') T; writing U = cos(theta) N + sin(theta) B
// and using the Frenet equations gives theta' = -tau |P'| = -c / sqrt(r^2 + c^2).
struct helix {
    double r, c;
    double speed() const { return std::hypot(r, c); }
    ZEM::vector tangent(double t) const {
        return ZEM::vector(-r * std::sin(t), r * std::cos(t), c) / speed();
    }
    ZEM::vector normal(double t) const { return {-std::cos(t), -std::sin(t), 0}; }
    ZEM::vector binormal(double t) const { return cross(tangent(t), normal(t)); }
    // The least-rotating normal that starts as the principal normal at t = 0.
    ZEM::vector rotation_minimising(double t) const {
        double const theta = -c / speed() * t;
        return std::cos(theta) * normal(t) + std::sin(theta) * binormal(t);
    }
    law_ptr path(double t1) const {
        char text[160];
        std::snprintf(text, sizeof text, "DOMAIN(VEC(%.17g*COS(X),%.17g*SIN(X),%.17g*X),0,%.17g)",
                      r, r, c, t1);
        return parse(text);
    }
};

law_ptr minrot(law_ptr const &path, law_ptr const &start, int samples, bool refined = false) {
    law *members[] = {path.get(), start.get()};
    auto *frame = new min_rotation_law(members, 2, samples);
    law_ptr held = adopt<law>(frame);
    if (refined) frame->set_alt_eval(1);
    return held;
}

// The largest angle between the law and the closed form over one turn.
double worst_error(helix const &h, int samples, bool refined) {
    law_ptr const frame = minrot(h.path(2 * pi), parse("VEC(-1,0,0)"), samples, refined);
    double worst = 0;
    for (int k = 0; k <= 400; ++k) {
        double const t = 2 * pi * k / 400;
        worst = std::max(worst, angle(frame->evaluateR_V(t), h.rotation_minimising(t)));
    }
    return worst;
}

TEST_F(MinimalRotation, FollowsTheClosedFormAlongAHelix) {
    helix const pitch_one{1, 1 / (2 * pi)}, steep{1, 1};
    // The plain step is of first order: about 0.006 rad over a turn at 1000 samples, half a
    // radian at 10.
    double const plain_fine = worst_error(pitch_one, 1000, false);
    EXPECT_GT(plain_fine, 0.003);
    EXPECT_LT(plain_fine, 0.012);
    double const plain_coarse = worst_error(pitch_one, 10, false);
    EXPECT_GT(plain_coarse, 0.3);
    EXPECT_LT(plain_coarse, 1.0);
    EXPECT_LT(worst_error(pitch_one, 100, false), 0.1);
    // The double reflection is of fourth order.
    EXPECT_LT(worst_error(pitch_one, 100, true), 1e-6);
    EXPECT_LT(worst_error(pitch_one, 1000, true), 1e-9);
    EXPECT_LT(worst_error(steep, 1000, true), 1e-9);
    EXPECT_LT(worst_error(steep, 1000, false), 0.003);
}

TEST_F(MinimalRotation, KeepsAUnitVectorNormalToTheTangent) {
    helix const h{2, 0.5};
    law_ptr const frame = minrot(h.path(5), parse("VEC(0.3,2,7)"), 200);
    for (double t : {0.0, 0.01, 1.3, 2.5, 4.999, 5.0}) {
        ZEM::vector const v = frame->evaluateR_V(t);
        EXPECT_NEAR(v.len(), 1, 1e-12) << t;
        EXPECT_NEAR(v % h.tangent(t), 0, 1e-12) << t;
    }
    ZEM::interval dom;
    ASSERT_TRUE(frame->term_domain(0, dom));
    EXPECT_EQ(dom.start_pt(), 0);
    EXPECT_EQ(dom.end_pt(), 5);
}

TEST_F(MinimalRotation, StaysPutAlongALineAndNormalToAPlanarCircle) {
    law_ptr const line = minrot(parse("DOMAIN(VEC(1+2*X,3-X,2*X),-1,4)"), parse("VEC(0,2,1)"), 0);
    ZEM::vector const expected = ZEM::vector(0, 2, 1) / std::sqrt(5.0);
    for (double t : {-1.0, 0.0, 1.7, 4.0}) {
        ZEM::vector const v = line->evaluateR_V(t);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(v[i], expected[i], 1e-14) << t;
    }
    law_ptr const circle =
        minrot(parse("DOMAIN(VEC(3*COS(X),3*SIN(X),1),0,2*PI)"), parse("VEC(0,0,-4)"), 50);
    for (double t : {0.0, 1.0, 3.3, 2 * pi}) {
        ZEM::vector const v = circle->evaluateR_V(t);
        EXPECT_NEAR(v.z(), -1, 1e-14) << t;
    }
}

TEST_F(MinimalRotation, ReadsItsSampleCountAndItsEndsAsGiven) {
    int const before = get_option("min_rot_samples");
    set_option("min_rot_samples", 17);
    law_ptr const from_option = parse("MINROT(DOMAIN(VEC(X,X^2,0),0,1),VEC(0,0,1))");
    set_option("min_rot_samples", before);
    ASSERT_TRUE(from_option);
    EXPECT_EQ(law_cast<min_rotation_law>(from_option.get())->samples(), 17);
    // With four members the ends are given; the text reads back as the same law.
    law_ptr const given = parse("MINROT(VEC(X,X^2,0),VEC(0,0,1),-1,2)");
    ZEM::interval dom;
    ASSERT_TRUE(given->term_domain(0, dom));
    EXPECT_EQ(dom.start_pt(), -1);
    EXPECT_EQ(dom.end_pt(), 2);
    EXPECT_EQ(given->text(), "MINROT(VEC(X,X^2,0),VEC(0,0,1),-1,2)");
    EXPECT_TRUE(*parse(given->text().c_str()) == *given);
}

TEST_F(MinimalRotation, DerivativeTurnsOnlyAboutTheTangent) {
    helix const h{1, 1};
    law_ptr const frame = minrot(h.path(2 * pi), parse("VEC(-1,0,0)"), 1000, true);
    law_ptr const d = adopt(frame->derivative(0));
    for (double t : {0.5, 2.0, 4.0}) {
        // d/dt of the closed form: U' = -(U . T') T with T' = kappa |P'| N.
        double const kappa = h.r / (h.r * h.r + h.c * h.c);
        ZEM::vector const u = h.rotation_minimising(t);
        ZEM::vector const expected = -(u % (kappa * h.speed() * h.normal(t))) * h.tangent(t);
        ZEM::vector const got = d->evaluateR_V(t);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], expected[i], 1e-8) << t;
    }
}

TEST_F(MinimalRotation, RefusesWhatItCannotCarry) {
    EXPECT_LAW_ERROR(over<min_rotation_law>({parse("VEC(X,0,0)"), parse("VEC(0,1,0)")}),
                     LAW_MR_NUM);
    EXPECT_LAW_ERROR(over<min_rotation_law>({parse("DOMAIN(VEC(X,0,0),0,1)"), C(1), C(2)}),
                     LAW_MR_NUM);
    EXPECT_LAW_ERROR(over<min_rotation_law>({parse("VEC(X,0,0)")}), LAW_MR_NUM);
    // A start vector along the tangent has no normal part to carry.
    EXPECT_LAW_ERROR(over<min_rotation_law>({parse("DOMAIN(VEC(X,0,0),0,1)"), parse("VEC(2,0,0)")}),
                     LAW_MR);
    // A path that stops has no tangent.
    EXPECT_LAW_ERROR(over<min_rotation_law>({parse("DOMAIN(VEC(0,0,0),0,1)"), parse("VEC(0,1,0)")}),
                     LAW_NO_TANGENT);
    EXPECT_LAW_ERROR(over<min_rotation_law>({parse("DOMAIN(VEC(X,0),0,1)"), parse("VEC(0,1,0)")}),
                     LAW_DIM);
    EXPECT_LAW_ERROR(over<min_rotation_law>({parse("VEC(X,0,0)"), parse("VEC(0,1,0)"), X(), C(1)}),
                     LAW_BASE_C);
}

}  // namespace
