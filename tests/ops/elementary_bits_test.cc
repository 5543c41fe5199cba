// EXP and LN over many points give the C library's exp and log bit for bit, although they mostly
// do not call them: checked against the library at values of every size, at the edges of the
// range, and at values where the library is not the nearest double to the function.
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

// Whether the library's value at x is another double than the nearest (from long double).
bool hard(double x, double (*library)(double), long double (*precise)(long double)) {
    return !same_bits(static_cast<double>(precise(x)), library(x));
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
