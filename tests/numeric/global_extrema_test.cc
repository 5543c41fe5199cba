// The largest and smallest values of a law of one input, and its range: against closed forms and
// an independent dense sampling refined by golden sections, written here.
#include <cfloat>
#include <cmath>
#include <numbers>
#include <random>
#include <sstream>
#include <string>

#include <law/numeric/extrema.h>
#include <law/numeric/global_extrema.h>

#include "numeric_test_util.h"

namespace {

constexpr double pi = std::numbers::pi;

class GlobalExtrema : public LawTest {};

void expect_min(char const *text, double a, double b, double where, double value,
                double tol = 1e-12) {
    law_ptr const f = parse_law(text);
    extremum_report const r = Nmin_global(f.get(), a, b);
    EXPECT_NEAR(r.where, where, tol) << text;
    EXPECT_NEAR(r.value, value, tol) << text;
}

void expect_max(char const *text, double a, double b, double where, double value,
                double tol = 1e-12) {
    law_ptr const f = parse_law(text);
    extremum_report const r = Nmax_global(f.get(), a, b);
    EXPECT_NEAR(r.where, where, tol) << text;
    EXPECT_NEAR(r.value, value, tol) << text;
}

TEST_F(GlobalExtrema, KinksEndsAndSingularPointsAreCandidates) {
    expect_min("ABS(X)", -1, 1, 0, 0, 0);
    expect_min("ABS(X-0.3)", -1, 1, 0.3, 0, 0);
    expect_max("1-ABS(X-0.3)", -1, 1, 0.3, 1, 0);
    expect_max("ABS(X-0.3)", -1, 1, -1, 1.3);
    expect_min("MAX(X,1-X)", 0, 1, 0.5, 0.5);
    expect_min("MIN(X,1-X)", 0, 1, 0, 0);
    expect_max("MIN(2*X,3-X)", 0, 3, 1, 2);
    expect_min("FLOOR(X)+0.5", 0.2, 3, 0.2, 0.5);
    expect_max("STEP(X,1,2-X)", 0, 2, 1, 1);
    // The Part's Nmin finds the kink too, now that ABS reports it.
    law_ptr const kink = parse_law("ABS(X-0.3)");
    EXPECT_DOUBLE_EQ(Nmin(kink.get(), -1, 1), 0.3);
}

TEST_F(GlobalExtrema, TurningPointsArePolishedOnTheDerivative) {
    expect_min("(X-1)^2+3", -4, 4, 1, 3, 0);
    expect_max("X*(1-X)", 0, 1, 0.5, 0.25, 0);
    expect_min("SIN(X)", 0, 10, 3 * pi / 2, -1, 1e-15);
    expect_min("X*LN(X)", 0.01, 1, 1 / std::numbers::e, -1 / std::numbers::e, 1e-15);
    // Ties keep the leftmost: COS is 1 at 0, 2 pi and 4 pi.
    expect_max("COS(X)", 0, 4 * pi, 0, 1, 0);
    // The turns of e^-x sin 5x are where tan 5x = 5; the least is at the second.
    double const turn = (std::atan(5.0) + pi) / 5;
    expect_min("EXP(-X)*SIN(5*X)", 0, 3, turn, -std::exp(-turn) * 5 / std::sqrt(26.0), 1e-14);
}

// Extrema where the law is far below its largest value on the interval, and values past the
// largest double, which no extremum can be.
TEST_F(GlobalExtrema, FarBelowTheScaleAndPastTheLargestDouble) {
    expect_min("COSH(X)", -300, 300, 0, 1, 1e-7);
    // e^x + e^-2x turns where e^3x = 2.
    expect_min("EXP(X)+EXP(-2*X)", -300, 300, std::log(2.0) / 3, 3 * std::pow(2.0, -2.0 / 3),
               1e-12);
    expect_min("(X-1)^2+1E+10+EXP(X)/1E+100", -10, 300, 1, 1e10, 1e-5);
    expect_max("EXP(X)", 0, 700, 700, std::exp(700.0), 1e290);
    law_ptr const e = parse_law("EXP(X)");
    EXPECT_LAW_ERROR(Nmax_global(e.get(), 0, 1000), LAW_UNBOUNDED);
    EXPECT_DOUBLE_EQ(Nmin_global(e.get(), 0, 1000).value, 1);
    range_report const r = law_range(e.get(), 0, 1000);
    EXPECT_TRUE(r.overflows_high && !r.high_bounded && r.low_bounded);
    EXPECT_GT(r.pole_high, std::log(DBL_MAX));
    EXPECT_EQ(r.low, 1);
}

TEST_F(GlobalExtrema, PolesAndLogarithmsAreUnbounded) {
    law_ptr const inverse = parse_law("1/X");
    EXPECT_LAW_ERROR(Nmax_global(inverse.get(), -1, 1), LAW_UNBOUNDED);
    EXPECT_LAW_ERROR(Nmin_global(inverse.get(), -1, 1), LAW_UNBOUNDED);
    law_ptr const square = parse_law("1/X^2");
    EXPECT_LAW_ERROR(Nmax_global(square.get(), -1, 1), LAW_UNBOUNDED);
    EXPECT_DOUBLE_EQ(Nmin_global(square.get(), -1, 1).value, 1);
    EXPECT_LAW_ERROR(Nmin_global(parse_law("LN(X)").get(), 0, 2), LAW_UNBOUNDED);
    EXPECT_LAW_ERROR(Nmax_global(parse_law("TAN(X)").get(), 0.5, 7), LAW_UNBOUNDED);
    // One side bounded: 1/SQRT(X) grows without bound at 0 and is least at 1.
    range_report const r = law_range(parse_law("1/SQRT(X)").get(), 0, 1);
    EXPECT_FALSE(r.high_bounded);
    EXPECT_EQ(r.pole_high, 0);
    EXPECT_TRUE(r.low_bounded);
    EXPECT_DOUBLE_EQ(r.low, 1);
    EXPECT_LAW_ERROR(Nmin_global(parse_law("LN(X)").get(), -2, -1), LAW_NO_VALUE);
    EXPECT_LAW_ERROR(Nmin_global(parse_law("X+Y").get(), -2, -1), LAW_DIM);
    EXPECT_LAW_ERROR(Nmin_global(inverse.get(), 0, INFINITY), LAW_BAD_BOUNDS);
}

// The least value by dense sampling and golden sections about the least sample.
double sampled_min(law const *f, double a, double b) {
    int const n = 20000;
    double best = a, least = f->eval(a);
    for (int i = 1; i <= n; ++i) {
        double const x = a + (b - a) * i / n, y = f->eval(x);
        if (y < least) least = y, best = x;
    }
    double lo = std::max(a, best - (b - a) / n), hi = std::min(b, best + (b - a) / n);
    double const g = (std::sqrt(5.0) - 1) / 2;
    for (int k = 0; k < 100; ++k) {
        double const c = hi - g * (hi - lo), d = lo + g * (hi - lo);
        if (f->eval(c) < f->eval(d))
            hi = d;
        else
            lo = c;
    }
    return std::min(least, f->eval((lo + hi) / 2));
}

TEST_F(GlobalExtrema, RandomLawsAgreeWithDenseSampling) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int trial = 0; trial < 20; ++trial) {
        std::ostringstream text;
        text.precision(17);
        text << unit(random) << "*X^3+" << unit(random) << "*X^2+" << unit(random) << "*SIN("
             << 2 + trial << "*X)+" << unit(random) << "*ABS(X-" << unit(random) << ")";
        law_ptr const f = parse_law(text.str().c_str());
        double const expected = sampled_min(f.get(), -2, 2);
        range_report const r = law_range(f.get(), -2, 2);
        EXPECT_NEAR(r.low, expected, 1e-12) << text.str();
        EXPECT_LE(r.low, expected + 1e-15) << text.str();
        EXPECT_DOUBLE_EQ(Nmin_global(f.get(), 2, -2).value, r.low) << text.str();
        EXPECT_DOUBLE_EQ(f->eval(r.low_at), r.low) << text.str();
    }
}

TEST_F(GlobalExtrema, RangeOfEachOutput) {
    law_ptr const helix = parse_law("VEC(COS(X),SIN(X),X/2)");
    range_report const x = law_range(helix.get(), 0, 3, 0);
    EXPECT_NEAR(x.low, std::cos(3.0), 1e-15);
    EXPECT_EQ(x.high, 1);
    range_report const z = law_range(helix.get(), 0, 3, 2);
    EXPECT_EQ(z.low, 0);
    EXPECT_EQ(z.high, 1.5);
    EXPECT_LAW_ERROR(law_range(helix.get(), 0, 3, 3), LAW_DIM);
}

}  // namespace
