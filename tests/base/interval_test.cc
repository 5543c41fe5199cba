// Intervals of the four types: ends, membership, containment, intersection, hull and equality.
#include <cmath>

#include "law_test.h"

using ZEM::interval;

namespace {
constexpr double inf = INFINITY;
}

class BaseInterval : public LawTest {};

TEST_F(BaseInterval, FourTypesAndTheirEnds) {
    struct row {
        interval iv;
        interval_type type;
        double start, end, mid, length;
    } const rows[] = {
        {interval(1, 3), interval_finite, 1, 3, 2, 2},
        {interval::below(1), interval_finite_below, 1, inf, 1, inf},
        {interval::above(3), interval_finite_above, -inf, 3, 3, inf},
        {interval(), interval_infinite, -inf, inf, 0, inf},
        {interval(2.5), interval_finite, 2.5, 2.5, 2.5, 0},
    };
    for (auto const &r : rows) {
        EXPECT_EQ(r.iv.type(), r.type);
        EXPECT_EQ(r.iv.start_pt(), r.start);
        EXPECT_EQ(r.iv.end_pt(), r.end);
        EXPECT_EQ(r.iv.mid_pt(), r.mid);
        EXPECT_EQ(r.iv.length(), r.length);
        EXPECT_EQ(r.iv.bounded_below(), std::isfinite(r.start));
        EXPECT_EQ(r.iv.bounded_above(), std::isfinite(r.end));
    }
    EXPECT_EQ(interval(2, 6).interpolate(0.25), 3);
    EXPECT_TRUE(interval(3, 1).empty());
    EXPECT_FALSE(interval::below(3).empty());
}

TEST_F(BaseInterval, MembershipAndContainment) {
    interval const unit(0, 1);
    EXPECT_TRUE(unit >> 0.0 && unit >> 1.0 && unit >> 0.5);
    EXPECT_FALSE(unit >> 1.0000001);
    EXPECT_TRUE(unit.contains(1.0000001, 1e-6));
    EXPECT_TRUE(interval::below(0) >> 1e300);
    EXPECT_FALSE(interval::below(0) >> -1e-300);
    EXPECT_TRUE(interval::above(0) >> -1e300);
    EXPECT_TRUE(interval() >> -1e300);

    struct row {
        interval inner, outer;
        bool within;
    } const rows[] = {
        {interval(0.2, 0.8), unit, true},
        {unit, unit, true},
        {interval(-0.1, 0.5), unit, false},
        {unit, interval::below(0), true},
        {interval::below(1), interval::below(0), true},
        {interval::below(0), interval::below(1), false},
        {interval::below(0), unit, false},
        {unit, interval(), true},
        {interval(), interval::above(2), false},
        {interval::above(1), interval::above(2), true},
    };
    for (auto const &r : rows)
        EXPECT_EQ(r.inner << r.outer, r.within)
            << "[" << r.inner.start_pt() << "," << r.inner.end_pt() << "] in ["
            << r.outer.start_pt() << "," << r.outer.end_pt() << "]";
}

TEST_F(BaseInterval, IntersectionAndHull) {
    struct row {
        interval a, b, meet, hull;
    } const rows[] = {
        {interval(0, 2), interval(1, 3), interval(1, 2), interval(0, 3)},
        {interval(0, 2), interval::below(1), interval(1, 2), interval::below(0)},
        {interval::below(1), interval::above(2), interval(1, 2), interval()},
        {interval::above(2), interval::above(5), interval::above(2), interval::above(5)},
        {interval(), interval(0, 1), interval(0, 1), interval()},
        {interval(), interval(), interval(), interval()},
    };
    for (auto const &r : rows) {
        EXPECT_TRUE((r.a & r.b) == r.meet) << r.a.start_pt() << " " << r.b.start_pt();
        EXPECT_TRUE((r.b & r.a) == r.meet);
        EXPECT_TRUE((r.a | r.b) == r.hull) << r.a.start_pt() << " " << r.b.start_pt();
        EXPECT_TRUE((r.b | r.a) == r.hull);
    }
    // Disjoint pieces meet in nothing; nothing joined to a piece is that piece.
    interval const none = interval(0, 1) & interval(2, 3);
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE((none | interval(5, 6)) == interval(5, 6));
    EXPECT_TRUE((interval(5, 6) | none) == interval(5, 6));
}

TEST_F(BaseInterval, EqualityIsByTypeAndEndsWithinTolerance) {
    EXPECT_TRUE(interval(0, 1) == interval(1e-7, 1 - 1e-7));
    EXPECT_FALSE(interval(0, 1) == interval(1e-5, 1));
    EXPECT_TRUE(interval::below(1) == interval(interval_finite_below, 1, 99));
    EXPECT_FALSE(interval::below(1) == interval(1, 99));
    EXPECT_FALSE(interval() == interval::above(0));
    EXPECT_TRUE(interval() != interval(0, 1));
}

TEST_F(BaseInterval, PeriodicParametersMapIntoTheRange) {
    interval const turn(0, 2 * M_PI);
    struct row {
        double in, out;
    } const rows[] = {{1, 1}, {1 + 2 * M_PI, 1}, {-1, 2 * M_PI - 1}, {7 * 2 * M_PI + 0.5, 0.5}};
    for (auto const &r : rows) {
        double p = r.in;
        map_param_into_interval(turn, p);
        EXPECT_NEAR(p, r.out, 1e-12) << r.in;
        EXPECT_TRUE(turn >> p);
    }
    double p = 5;
    map_param_into_interval(interval::below(0), p);
    EXPECT_EQ(p, 5);
    map_param_into_interval(interval(1, 1), p);
    EXPECT_EQ(p, 5);
}

TEST_F(BaseInterval, BoxesAreThreeIntervals) {
    ZEM::box const b(ZEM::position(1, 5, -1), ZEM::position(0, 2, 3));
    EXPECT_TRUE(b.x_range() == interval(0, 1));
    EXPECT_TRUE(b.y_range() == interval(2, 5));
    EXPECT_TRUE(b.contains(ZEM::position(0.5, 3, 0)));
    EXPECT_FALSE(b.contains(ZEM::position(0.5, 6, 0)));
}
