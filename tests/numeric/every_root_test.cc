// Every root of a law of one input: against roots known in closed form, laws built from their
// roots, and an independent fine scan with bisection written here.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <law/numeric/every_root.h>

#include "numeric_test_util.h"

namespace {

constexpr double pi = std::numbers::pi;

class EveryRoot : public LawTest {};

root_report roots_of(char const *text, double a, double b) {
    law_ptr const f = parse_law(text);
    return all_roots(f.get(), a, b);
}

void expect_roots(char const *text, double a, double b, std::vector<double> const &expected,
                  double tol = 1e-12) {
    std::vector<double> const found = roots_of(text, a, b).roots;
    ASSERT_EQ(found.size(), expected.size()) << text;
    for (std::size_t i = 0; i < found.size(); ++i)
        EXPECT_NEAR(found[i], expected[i], tol * std::max(1.0, std::fabs(expected[i])))
            << text << " root " << i;
}

std::vector<double> multiples(double step, int first, int last) {
    std::vector<double> out;
    for (int k = first; k <= last; ++k) out.push_back(k * step);
    return out;
}

TEST_F(EveryRoot, FastOscillationsGiveEveryRoot) {
    expect_roots("SIN(100*X)", 0, 10, multiples(pi / 100, 0, 318));
    std::vector<double> inverse;
    for (int k = 31; k >= 1; --k) inverse.push_back(1 / (k * pi));
    expect_roots("SIN(1/X)", 0.01, 1, inverse);
}

// A piece of high degree is bracketed on a fine grid of its interpolant: the tangent zeros of a
// squared fast sine and a close pair among the zeros of a fast cosine are found all the same.
TEST_F(EveryRoot, HighDegreePiecesKeepTangentZerosAndClosePairs) {
    expect_roots("SIN(30*X)^2", 0.01, 10, multiples(pi / 30, 1, 95), 1e-7);
    std::vector<double> expected = {2, 2.000001};
    for (int k = 0; k < 51; ++k) expected.push_back((k + 0.5) * pi / 40);
    std::sort(expected.begin(), expected.end());
    expect_roots("(X-2)*(X-2.000001)*COS(40*X)", 0, 4, expected, 1e-11);
}

TEST_F(EveryRoot, CloseTinyAndTangentRoots) {
    expect_roots("X^2-1E-10", -1, 1, {-1e-5, 1e-5});
    expect_roots("1E-8*(X-0.5)", 0, 1, {0.5});
    expect_roots("(X-1)*(X-1.000001)", 0, 3, {1, 1.000001});
    expect_roots("(X-1)^2*(X-3)", 0, 4, {1, 3}, 1e-7);
    expect_roots("(X-2)^4+0*X", 0, 3, {2}, 1e-3);
    // Near misses are no roots: the least value is far above the rounding of the values.
    expect_roots("X^2+1E-10", -1, 1, {});
    expect_roots("1+1E-9*X", 0, 1, {});
    expect_roots("(X-0.5)^2+1E-12", 0, 1, {});
}

// Laws whose values span hundreds of orders of magnitude over the interval: the zeros lie where
// one interpolant of the whole range sees only its noise.
TEST_F(EveryRoot, ZerosFarBelowTheScaleOfTheInterval) {
    double const ln2 = std::log(2.0), acosh2 = std::acosh(2.0);
    for (double b : {50.0, 200.0, 700.0, 800.0}) expect_roots("EXP(X)-2", 0, b, {ln2});
    expect_roots("COSH(X)-2", -300, 300, {-acosh2, acosh2});
    expect_roots("EXP(-X)-0.5", 0, 300, {ln2});
    expect_roots("X*EXP(X)-1", 0, 500, {0.5671432904097838});
    expect_roots("COSH(X)*SIN(X)", -40, 40, multiples(pi, -12, 12), 1e-14);
    // A fourfold zero in the middle of the interval, and a tangent zero found exactly at an end
    // and again by polishing, are one zero each.
    expect_roots("(X-2)^4", 0, 4, {2}, 1e-3);
    expect_roots("SIN(X)^2", 0, 10, multiples(pi, 0, 3), 1e-7);
}

TEST_F(EveryRoot, PolesAndSingularDerivativesDoNotEndTheSearch) {
    root_report const tan = roots_of("TAN(X)", 0.5, 7);
    ASSERT_EQ(tan.roots.size(), 2u);
    EXPECT_NEAR(tan.roots[0], pi, 1e-14);
    EXPECT_NEAR(tan.roots[1], 2 * pi, 1e-14);
    ASSERT_EQ(tan.poles.size(), 2u);
    EXPECT_NEAR(tan.poles[0], pi / 2, 1e-12);
    EXPECT_NEAR(tan.poles[1], 3 * pi / 2, 1e-12);

    root_report const rational = roots_of("(X-0.5)/(X-1)", 0, 2);
    ASSERT_EQ(rational.roots.size(), 1u);
    EXPECT_DOUBLE_EQ(rational.roots[0], 0.5);
    ASSERT_EQ(rational.poles.size(), 1u);
    EXPECT_DOUBLE_EQ(rational.poles[0], 1);

    expect_roots("SQRT(X)-0.5", 0, 1, {0.25});
    expect_roots("(X-1)*(X-3)*(X-5)/((X-2.2)*(X-4.3))", 0.5, 5.5, {1, 3, 5});
    expect_roots("1/X-2", -1, 1, {0.5});
    expect_roots("COT(X)", 0.1, 6, {pi / 2, 3 * pi / 2});
}

TEST_F(EveryRoot, KinksJumpsAndDomainsComeFromTheSingularPoints) {
    expect_roots("ABS(X-0.3)-0.2", -1, 1, {0.1, 0.5});
    expect_roots("ABS(X)", -1, 1, {0});
    // A jump across zero is no root; a step onto zero is.
    expect_roots("FLOOR(X)-0.5", 0, 3, {});
    expect_roots("STEP(X-2,1,X-0.5)", 0, 3, {});
    expect_roots("MAX(X,1-X)-0.75", 0, 1, {0.25, 0.75});
    expect_roots("MOD(X,1)-0.5", 0, 3, {0.5, 1.5, 2.5});
    expect_roots("LN(X)", -1, 2, {1});
    // SQRT takes the values within its tolerance below 0 as 0: that is where its zeros start.
    expect_roots("SQRT(X)", -1, 1, {0}, 2e-11);

    root_report const flat = roots_of("MAX(X,0)", -1, 1);
    ASSERT_EQ(flat.zero_stretches.size(), 1u);
    EXPECT_EQ(flat.zero_stretches[0].first, -1);
    EXPECT_NEAR(flat.zero_stretches[0].second, 0, 1e-14);
    EXPECT_EQ(flat.roots, std::vector<double>{-1});
    EXPECT_EQ(roots_of("0*X", 2, 5).roots, std::vector<double>{2});
}

// Laws written as products of their factors: the roots are the factors' zeros, spread at
// random with at least a small gap, in pairs 1e-6 apart now and then.
TEST_F(EveryRoot, ProductsOfFactorsGiveTheirZeros) {
    std::mt19937 random(30);
    std::uniform_real_distribution<double> place(-0.95, 0.95);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<double> zeros;
        int const n = 1 + trial % 7;
        while (static_cast<int>(zeros.size()) < n) {
            double const z = place(random);
            bool const apart = std::all_of(zeros.begin(), zeros.end(),
                                           [z](double y) { return std::fabs(y - z) > 1e-2; });
            if (!apart) continue;
            zeros.push_back(z);
            if (trial % 5 == 0 && static_cast<int>(zeros.size()) < n) zeros.push_back(z + 1e-6);
        }
        std::sort(zeros.begin(), zeros.end());
        std::ostringstream text;
        text.precision(17);
        for (std::size_t i = 0; i < zeros.size(); ++i)
            text << (i ? "*" : "") << "(X-" << zeros[i] << ")";
        expect_roots(text.str().c_str(), -1, 1, zeros, 1e-11);
    }
}

// The sign changes of f on [a, b] found by a scan of n samples and bisection to the last bit.
std::vector<double> scanned_roots(law const *f, double a, double b, int n) {
    std::vector<double> out;
    double x0 = a, y0 = f->eval(a);
    for (int i = 1; i <= n; ++i) {
        double const x1 = a + (b - a) * i / n, y1 = f->eval(x1);
        if (y0 * y1 < 0) {
            double lo = x0, hi = x1, ylo = y0;
            for (double m = (lo + hi) / 2; m > lo && m < hi; m = (lo + hi) / 2) {
                double const ym = f->eval(m);
                if ((ym < 0) == (ylo < 0)) {
                    lo = m;
                    ylo = ym;
                } else {
                    hi = m;
                }
            }
            out.push_back(lo);
        }
        x0 = x1;
        y0 = y1;
    }
    return out;
}

// Random sums of sines: every sign change a fine scan finds is found, and every root found is
// a zero of the law to the rounding of its terms.
TEST_F(EveryRoot, SumsOfSinesAgreeWithAFineScan) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int trial = 0; trial < 12; ++trial) {
        std::ostringstream text;
        text.precision(17);
        for (int k = 1; k <= 6; ++k)
            text << (k > 1 ? "+" : "") << unit(random) << "*SIN(" << 3 * k << "*X+" << unit(random)
                 << ")";
        law_ptr const f = parse_law(text.str().c_str());
        std::vector<double> const found = all_roots(f.get(), 0, 10).roots;
        for (double r : scanned_roots(f.get(), 0, 10, 100000)) {
            auto const near = std::min_element(found.begin(), found.end(), [r](double u, double v) {
                return std::fabs(u - r) < std::fabs(v - r);
            });
            ASSERT_NE(near, found.end()) << text.str();
            EXPECT_NEAR(*near, r, 1e-12) << text.str();
        }
        for (double r : found) EXPECT_LT(std::fabs(f->eval(r)), 1e-13) << text.str() << " at " << r;
    }
}

TEST_F(EveryRoot, ArraysOrderedEndsAndBadInput) {
    law_ptr const f = parse_law("X^2-2");
    int n = -1;
    std::vector<double> const r = take_array(Nroot_all(f.get(), 3, -3, &n), n);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_NEAR(r[0], -std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(r[1], std::sqrt(2.0), 1e-15);

    law_ptr const g = parse_law("X");
    std::vector<double> const meet = take_array(Nsolve_all(f.get(), g.get(), -3, 3, &n), n);
    EXPECT_EQ(meet, (std::vector<double>{-1, 2}));
    EXPECT_EQ(take_array(Nroot_all(parse_law("X^2+1").get(), -1, 1, &n), n).size(), 0u);
    EXPECT_EQ(roots_of("X-2", 2, 2).roots, std::vector<double>{2});
    expect_roots("X*(X-2)", 0, 2, {0, 2});

    EXPECT_LAW_ERROR(all_roots(parse_law("X+Y").get(), 0, 1), LAW_DIM);
    EXPECT_LAW_ERROR(all_roots(parse_law("VEC(X,X)").get(), 0, 1), LAW_DIM);
    EXPECT_LAW_ERROR(all_roots(nullptr, 0, 1), LAW_NULL_LAW);
    EXPECT_LAW_ERROR(all_roots(f.get(), 0, NAN), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(all_roots(f.get(), -INFINITY, 0), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(all_roots(parse_law("LN(X)").get(), -2, -1), LAW_NO_VALUE);
    EXPECT_LAW_ERROR(Nsolve_all(f.get(), nullptr, 0, 1, &n), LAW_DIM);
}

}  // namespace
