// EXP, LN, SIN and COS over many points give the C library's exp, log, sin and cos bit for bit,
// although they mostly do not call them: checked against the library at values of every size, at
// the edges of the range, and at values where the library is not the nearest double to the
// function.
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include <law/lang/str_to_law.h>

#include "law_test.h"

namespace {

class ElementaryBits : public LawTest {};

struct library_case {
    char const *text;
    double (*expected)(double);
};

// The law's values at xs, one point at a time and many at once, against expected: the number of
// points where either differs, the first few reported.
std::size_t mismatches(library_case const &c, std::vector<double> const &xs) {
    law_ptr const l = adopt(str_to_law(c.text));
    if (!l) return xs.size();
    std::vector<double> many(xs.size());
    l->evaluate_many(xs.data(), many.data(), static_cast<int>(xs.size()));
    std::size_t off = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        double const expected = c.expected(xs[i]);
        double one = 0;
        l->evaluate(&xs[i], &one);  // walked at first, compiled after a few points
        if (!same_bits(one, expected) || !same_bits(many[i], expected)) {
            if (++off < 5)
                ADD_FAILURE() << c.text << " at " << xs[i] << ": " << one << " and " << many[i]
                              << ", the library gives " << expected;
        }
    }
    return off;
}

// Whether the library's value at x is another double than the nearest (from long double). x is
// hidden from the compiler, which would fold the library's function into the nearest double.
bool hard(double x, double (*library)(double), long double (*precise)(long double)) {
    volatile double const hidden = x;
    return !same_bits(static_cast<double>(precise(hidden)), library(hidden));
}

std::vector<double> uniform(std::mt19937_64 &rng, int n, double low, double high) {
    std::uniform_real_distribution<double> u(low, high);
    std::vector<double> xs(static_cast<std::size_t>(n));
    for (double &x : xs) x = u(rng);
    return xs;
}

template <class... Lists>
std::vector<double> joined(Lists const &...lists) {
    std::vector<double> all;
    (all.insert(all.end(), std::begin(lists), std::end(lists)), ...);
    return all;
}

TEST_F(ElementaryBits, ExponentialsAreTheExpOfTheCLibrary) {
    constexpr double hard_cases[] = {
        0x1.11492afaa3dc8p+2,  -0x1.910d78ea377cp+1, 0x1.ee791fcc3e638p+3,  0x1.768a64d8ddba8p+1,
        -0x1.aa0a38efbf4c7p+3, -0x1.b4de08109b3fp+2, -0x1.96782a5c0ad9ep+3, -0x1.614a415a13a87p+9};
    for (double x : hard_cases)
        EXPECT_TRUE(hard(
            x, [](double v) { return std::exp(v); }, [](long double v) { return std::exp(v); }))
            << x;
    std::mt19937_64 rng(37);
    std::vector<double> bits(40000);
    for (double &x : bits) x = std::bit_cast<double>(rng());  // every exponent, NaNs among them
    double const inf = std::numeric_limits<double>::infinity();
    std::vector<double> const xs =
        joined(hard_cases, uniform(rng, 40000, -5, 5), uniform(rng, 40000, -746, 710),
               uniform(rng, 20000, -710, -700), uniform(rng, 20000, 700, 710), bits,
               std::vector<double>{0.0, -0.0, inf, -inf, std::nan(""), 708, -708, 709.78, -745.2,
                                   4.9e-324, 1e-300});
    EXPECT_EQ(mismatches({"EXP(X)", [](double x) { return std::exp(x); }}, xs), 0u);
    EXPECT_EQ(
        mismatches({"EXP(-(X^2)/2)*3", [](double x) { return std::exp(-(x * x) / 2) * 3; }}, xs),
        0u);
}

TEST_F(ElementaryBits, LogarithmsAreTheLogOfTheCLibrary) {
    constexpr double hard_cases[] = {
        0x1.ce4afa3becf18p-1, 0x1.e3e8f74395cebp-1, 0x1.162ee6257ea97p+0, 0x1.077b5c2b4de8fp+5,
        0x1.832dcad94533dp+4, 0x1.d775cf89b923bp-2, 0x1.02d31aa356d2ap+0, 0x1.9862a30f10d6bp+5};
    for (double x : hard_cases)
        EXPECT_TRUE(hard(
            x, [](double v) { return std::log(v); }, [](long double v) { return std::log(v); }))
            << x;
    std::mt19937_64 rng(41);
    std::vector<double> bits(40000), near_one = uniform(rng, 40000, 0.9, 1.1);
    for (double &x : bits) x = std::bit_cast<double>(rng() >> 1);  // every positive exponent
    for (double &x : near_one) x = x == 0 ? 1 : x;
    double const inf = std::numeric_limits<double>::infinity();
    std::vector<double> xs =
        joined(hard_cases, uniform(rng, 40000, 1e-3, 4), near_one, bits,
               std::vector<double>{1.0, inf, std::nan(""), 4.9e-324, 0x1p-1022, 1e308});
    for (double &x : xs) x = x > 0 || std::isnan(x) ? x : 1;  // LN raises at and below 0
    EXPECT_EQ(mismatches({"LN(X)", [](double x) { return std::log(x); }}, xs), 0u);
    EXPECT_EQ(mismatches({"LN(X+1)*X", [](double x) { return std::log(x + 1) * x; }}, xs), 0u);
}

TEST_F(ElementaryBits, SinesAndCosinesAreThoseOfTheCLibrary) {
    constexpr double hard_sines[] = {-0x1.1db89869c3a18p+3, -0x1.755f451d6883cp+2,
                                     0x1.4593d8876d2fp+1, -0x1.33eb3f4865598p+3,
                                     -0x1.9d6720f6dff9cp+2};
    constexpr double hard_cosines[] = {0x1.0e4992c456a48p+1, 0x1.70f4ba88ba44ap+3,
                                       0x1.d0ce6929d8a3cp+3, -0x1.3bb2cfa9401bp+0,
                                       0x1.a37d2ace0179cp+3};
    for (double x : hard_sines)
        EXPECT_TRUE(hard(
            x, [](double v) { return std::sin(v); }, [](long double v) { return std::sin(v); }))
            << x;
    for (double x : hard_cosines)
        EXPECT_TRUE(hard(
            x, [](double v) { return std::cos(v); }, [](long double v) { return std::cos(v); }))
            << x;
    std::mt19937_64 rng(43);
    std::vector<double> bits(30000), near_quarters(30000);
    for (double &x : bits) x = std::bit_cast<double>(rng());
    // Next to whole multiples of pi/2, where the reduction cancels most.
    for (double &x : near_quarters) {
        double const k = static_cast<double>(static_cast<int>(rng() % 2000000) - 1000000);
        x = std::nextafter(k * 1.5707963267948966, (rng() & 1) != 0 ? 1e9 : -1e9);
    }
    // The doubles next to pi/2, where the library's cosine errs by more than its bound.
    std::vector<double> near_half_pi;
    for (double const side : {1.0, -1.0}) {
        double below = side * 1.5707963267948966, above = below;
        for (int i = 0; i < 300; ++i) {
            near_half_pi.insert(near_half_pi.end(), {below, above});
            below = std::nextafter(below, -4.0);
            above = std::nextafter(above, 4.0);
        }
    }
    double const inf = std::numeric_limits<double>::infinity();
    std::vector<double> const xs =
        joined(hard_sines, hard_cosines, uniform(rng, 30000, -10, 10),
               uniform(rng, 30000, -1.1e6, 1.1e6), near_quarters, near_half_pi, bits,
               std::vector<double>{0.0, -0.0, inf, -inf, std::nan(""), 0x1p20, -0x1p20, 1e-300,
                                   4.9e-324, 1e300});
    EXPECT_EQ(mismatches({"SIN(X)", [](double x) { return std::sin(x); }}, xs), 0u);
    EXPECT_EQ(mismatches({"COS(X)", [](double x) { return std::cos(x); }}, xs), 0u);
    // A sine and a cosine of one argument are found together.
    EXPECT_EQ(mismatches({"SIN(X)*COS(X)+COS(X)",
                          [](double x) { return std::sin(x) * std::cos(x) + std::cos(x); }},
                         xs),
              0u);
    EXPECT_EQ(
        mismatches({"COS(X)-SIN(X)*3", [](double x) { return std::cos(x) - std::sin(x) * 3; }}, xs),
        0u);
}

TEST_F(ElementaryBits, LogarithmsRaiseAtTheirOwnPointsOnly) {
    law_ptr const l = adopt(str_to_law("LN(X)"));
    std::vector<double> const xs = {2, 0, -1, -0.0, 0.5, std::nan(""), 1e-320};
    std::vector<double> y(xs.size());
    std::vector<int> errors(xs.size());
    l->evaluate_many(xs.data(), y.data(), static_cast<int>(xs.size()), errors.data());
    int const ln_error = lawutil_code(LAW_LN);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        bool const raises = xs[i] <= 0;
        EXPECT_EQ(errors[i], raises ? ln_error : 0) << xs[i];
        if (!raises) {
            EXPECT_TRUE(same_bits(y[i], std::log(xs[i]))) << xs[i];
        }
    }
    EXPECT_LAW_ERROR(l->eval(0), LAW_LN);
}

}  // namespace
