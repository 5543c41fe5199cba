// The adaptive integrator: against closed forms (with the error it reports holding the true
// error), against Romberg's method on smooth random laws, and its failures.
#include <cmath>
#include <numbers>
#include <random>
#include <sstream>
#include <string>

#include <law/numeric/adaptive_integral.h>
#include <law/numeric/nintegrate.h>

#include "numeric_test_util.h"

namespace {

constexpr double pi = std::numbers::pi;

class AdaptiveIntegral : public LawTest {};

// The integral meets the tolerance, and the error it reports is no smaller than the true one.
integral_report expect_integral(char const *text, double a, double b, double exact,
                                double tol = 1e-10) {
    law_ptr const f = parse_law(text);
    integral_report const r = Nintegrate_adaptive(f.get(), a, b, tol, tol);
    double const allowed = std::max(tol, tol * std::fabs(exact));
    EXPECT_NEAR(r.value, exact, allowed) << text;
    EXPECT_LE(r.error, allowed) << text;
    EXPECT_GE(r.error + 4 * DBL_EPSILON * std::fabs(exact), std::fabs(r.value - exact)) << text;
    return r;
}

TEST_F(AdaptiveIntegral, LawsThatRombergSamplesOnlyWhereTheyVanish) {
    expect_integral("ABS(SIN(X))", 0, 10 * pi, 20);
    expect_integral("SIN(X)^2", 0, 8 * pi, 4 * pi);
    expect_integral("X*SIN(40*X)", 0, pi, -pi / 40);
    // Kinks and jumps are ends of pieces, so each piece is smooth.
    integral_report const kinks = expect_integral("ABS(SIN(X))", 0, 10 * pi, 20);
    EXPECT_LE(kinks.intervals, 10);
    expect_integral("FLOOR(X)", 0, 3.5, 4.5);
    expect_integral("MAX(X,1-X)", 0, 1, 0.75);
}

TEST_F(AdaptiveIntegral, SingularEndsAndInfiniteLimits) {
    expect_integral("1/SQRT(X)", 0, 1, 2);
    expect_integral("LN(X)", 0, 1, -1);
    expect_integral("LN(X)*LN(1-X)", 0, 1, 2 - pi * pi / 6);
    expect_integral("1/SQRT(ABS(X-0.3))", 0, 1, 2 * (std::sqrt(0.3) + std::sqrt(0.7)));
    expect_integral("X^(-0.9)", 0, 1, 10, 1e-8);
    expect_integral("EXP(-X)", 0, INFINITY, 1);
    expect_integral("EXP(X)", -INFINITY, 0, 1);
    expect_integral("EXP(-(X^2))", -INFINITY, INFINITY, std::sqrt(pi));
    expect_integral("1/(1+X^2)", -INFINITY, INFINITY, pi);
    expect_integral("1/X^2", 1, INFINITY, 1);
    // Reversed limits negate.
    expect_integral("EXP(-X)", INFINITY, 0, -1);
    expect_integral("X^2", 3, 0, -9);
}

// The 21-point Kronrod rule is exact for polynomials through degree 31, and the 10-point Gauss
// rule inside it, whose difference is the error estimate, through degree 19: on [0, 1] one
// rule (a single interval allowed, a loose tolerance) gives X^k to the rounding, and through
// degree 19 its error estimate is small enough that one rule is all a tight tolerance needs.
TEST_F(AdaptiveIntegral, OneRuleIsExactForPolynomialsOfDegreeThirtyOne) {
    for (int k = 0; k <= 31; ++k) {
        law_ptr const f = parse_law(("X^" + std::to_string(k)).c_str());
        integral_report const one = Nintegrate_adaptive(f.get(), 0, 1, 1, 0, 1);
        EXPECT_NEAR(one.value, 1.0 / (k + 1), 4e-16) << k;
        EXPECT_EQ(one.evaluations, 21) << k;
        integral_report const tight = Nintegrate_adaptive(f.get(), 0, 1, 1e-13, 0);
        EXPECT_NEAR(tight.value, 1.0 / (k + 1), 4e-16) << k;
        if (k <= 19) {
            EXPECT_EQ(tight.evaluations, 21) << k;
        }
    }
    // The 15-point rule of the mapped infinite interval: 1/X^2 over [1, inf) becomes 1 on (0, 1].
    integral_report const mapped = Nintegrate_adaptive(parse_law("1/X^2").get(), 1, INFINITY);
    EXPECT_NEAR(mapped.value, 1, 4e-16);
    EXPECT_EQ(mapped.evaluations, 15);
}

// Smooth random laws: the adaptive integral and Romberg's agree.
TEST_F(AdaptiveIntegral, SmoothRandomLawsAgreeWithRomberg) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int trial = 0; trial < 25; ++trial) {
        std::ostringstream text;
        text.precision(17);
        text << unit(random) << "*EXP(" << unit(random) << "*X)+" << unit(random) << "*COS("
             << 1 + trial % 5 << "*X+" << unit(random) << ")+" << unit(random) << "*X^3";
        law_ptr const f = parse_law(text.str().c_str());
        double romberg = 0;
        ASSERT_NE(Nintegrate(f.get(), -1, 2, &romberg, 1e-13, 2, 25), 0) << text.str();
        integral_report const r = Nintegrate_adaptive(f.get(), -1, 2, 1e-12, 1e-12);
        EXPECT_NEAR(r.value, romberg, 1e-11) << text.str();
    }
}

TEST_F(AdaptiveIntegral, FailuresSayWhy) {
    // Divergent integrals.
    EXPECT_LAW_ERROR(Nintegrate_adaptive(parse_law("X").get(), 0, INFINITY), LAW_INTEGRAL_DIVERGES);
    EXPECT_LAW_ERROR(Nintegrate_adaptive(parse_law("1/X").get(), 0, 1), LAW_NO_VALUE);
    // Where the law has no value.
    EXPECT_LAW_ERROR(Nintegrate_adaptive(parse_law("SQRT(1-X^2)").get(), -2, 2), LAW_NO_VALUE);
    try {
        Nintegrate_adaptive(parse_law("SQRT(1-X^2)").get(), -2, 2);
    } catch (vorn_exception const &e) {
        EXPECT_NE(std::string(e.what()).find("sqrt"), std::string::npos) << e.what();
    }
    // A tolerance out of reach within the intervals allowed gives the estimate and its error.
    try {
        Nintegrate_adaptive(parse_law("SIN(1/X)").get(), 1e-4, 1, 1e-14, 0, 5);
        ADD_FAILURE() << "no error";
    } catch (vorn_exception const &e) {
        EXPECT_EQ(lawutil_local_code(e), LAW_INTEGRAL_TOLERANCE);
        EXPECT_NE(std::string(e.what()).find("estimate"), std::string::npos) << e.what();
    }
    law_ptr const f = parse_law("X");
    EXPECT_LAW_ERROR(Nintegrate_adaptive(f.get(), 0, NAN), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(Nintegrate_adaptive(f.get(), 0, 1, -1, 0), LAW_BAD_TOLERANCE);
    EXPECT_LAW_ERROR(Nintegrate_adaptive(f.get(), 0, 1, 0, 0), LAW_BAD_TOLERANCE);
    EXPECT_LAW_ERROR(Nintegrate_adaptive(f.get(), 0, 1, 1e-10, 1e-10, 0), LAW_BAD_SAMPLES);
    EXPECT_LAW_ERROR(Nintegrate_adaptive(parse_law("X*Y").get(), 0, 1), LAW_DIM);
    EXPECT_LAW_ERROR(Nintegrate_adaptive(nullptr, 0, 1), LAW_NULL_LAW);
    EXPECT_EQ(Nintegrate_adaptive(f.get(), 2, 2).value, 0);
}

}  // namespace
