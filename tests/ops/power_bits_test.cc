// The powers the rules write for square roots and divisors, A^0.5 and A^-1, and the other powers
// by halves and whole numbers up to 64, give the C library's pow bit for bit, compiled or walked,
// one point or many, although they mostly do not call pow: checked against pow itself at random
// doubles of every size, among them the values where sqrt, 1/x and repeated products give another
// double than pow.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <law/lang/str_to_law.h>

#include "law_test.h"

namespace {

class PowerBits : public LawTest {};

// pow with an exponent the compiler cannot see (it writes pow(x, -1.0) as 1 / x).
double library_pow(double a, double b) {
    volatile double const hidden = b;
    return std::pow(a, hidden);
}

// Positive doubles from random bits: every exponent, subnormals and infinity among them.
std::vector<double> random_positive(std::size_t n, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::vector<double> out;
    while (out.size() < n) {
        std::uint64_t const bits = rng() & ~(std::uint64_t{1} << 63);
        double x;
        std::memcpy(&x, &bits, sizeof x);
        if (!std::isnan(x) && x != 0) out.push_back(x);
    }
    return out;
}

struct power_case {
    char const *text;
    double exponent;
    bool negative_inputs;
};

TEST_F(PowerBits, SquareRootsAndDivisorsAreThePowOfTheCLibrary) {
    std::vector<double> xs = random_positive(400000, 29);
    for (double v : {1.0, 2.0, 0.25, 1e-300, 1e300, 4.9e-324, 3.0, 7.0}) xs.push_back(v);
    for (power_case const c : {power_case{"X^0.5", 0.5, false}, power_case{"X^-1", -1, true}}) {
        law_ptr const l = adopt(str_to_law(c.text));
        ASSERT_TRUE(l);
        std::vector<double> points = xs;
        if (c.negative_inputs)
            for (double v : xs) points.push_back(-v);
        // Where the correctly rounded value is another double than pow's: the hard cases.
        int hard = 0;
        for (double v : points) {
            double const shortcut = c.exponent == 0.5 ? std::sqrt(v) : 1.0 / v;
            hard += shortcut != library_pow(v, c.exponent) ? 1 : 0;
        }
        EXPECT_GT(hard, 50) << c.text;
        std::vector<double> many(points.size());
        l->evaluate_many(points.data(), many.data(), static_cast<int>(points.size()));
        std::size_t mismatches = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            double const expected = library_pow(points[i], c.exponent);
            double one = 0;
            l->evaluate(&points[i], &one);  // walked at first, compiled after a few points
            if (!same_bits(one, expected) || !same_bits(many[i], expected)) {
                if (++mismatches < 5)
                    ADD_FAILURE() << c.text << " at " << points[i] << ": " << one << " and "
                                  << many[i] << ", pow gives " << expected;
            }
        }
        EXPECT_EQ(mismatches, 0u) << c.text;
        EXPECT_TRUE(l->compiled()) << c.text;
    }
}

// Both signs, with the edges of every range: zeros, infinities, a NaN, subnormals and 1.
std::vector<double> random_signed(std::size_t n, unsigned seed) {
    std::vector<double> xs = random_positive(n / 2, seed);
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> near_one(0.05, 2);  // where polynomials are evaluated
    for (std::size_t i = 0; i < n / 2; ++i) xs.push_back(near_one(rng));
    for (std::size_t i = 0, size = xs.size(); i < size; ++i) xs.push_back(-xs[i]);
    double const inf = std::numeric_limits<double>::infinity();
    for (double v : {0.0, -0.0, 1.0, -1.0, inf, -inf, std::nan(""), 1e-310, 0x1p-900, 0x1p+900})
        xs.push_back(v);
    return xs;
}

// Values whose power by repeated products is another double than pow's: far from rare.
int products_off(std::vector<double> const &xs, int n) {
    int off = 0;
    for (double v : xs) {
        double product = v;
        for (int k = 1; k < n; ++k) product *= v;
        off += std::isfinite(product) && !same_bits(product, library_pow(v, n)) ? 1 : 0;
    }
    return off;
}

TEST_F(PowerBits, ShortPowersAreThePowOfTheCLibrary) {
    std::vector<double> const all = random_signed(60000, 31);
    for (double e : {3.0, 4.0, 5.0, 7.0, 10.0, 33.0, 64.0, 65.0, -2.0, -7.0, -64.0, 1.5, 2.5, 7.5,
                     64.5, -0.5, -1.5, -20.5}) {
        std::ostringstream text;
        text << "X^" << e;
        law_ptr const l = adopt(str_to_law(text.str().c_str()));
        ASSERT_TRUE(l);
        // Where the law raises: a base below 0 under a half, 0 under a negative exponent.
        std::vector<double> xs;
        bool const half = e != std::trunc(e);
        for (double v : all)
            if (!(half && v < 0) && !(e < 0 && v == 0)) xs.push_back(v);
        if (e == 3 || e == 5) {
            EXPECT_GT(products_off(xs, static_cast<int>(e)), 1000) << e;
        }
        std::vector<double> many(xs.size());
        l->evaluate_many(xs.data(), many.data(), static_cast<int>(xs.size()));
        std::size_t mismatches = 0;
        for (std::size_t i = 0; i < xs.size(); ++i) {
            double const expected = library_pow(xs[i], e);
            double one = 0;
            l->evaluate(&xs[i], &one);  // walked at first, compiled after a few points
            if (!same_bits(one, expected) || !same_bits(many[i], expected)) {
                if (++mismatches < 5)
                    ADD_FAILURE() << text.str() << " at " << xs[i] << ": " << one << " and "
                                  << many[i] << ", pow gives " << expected;
            }
        }
        EXPECT_EQ(mismatches, 0u) << text.str();
    }
}

// A quotient as the rules write it, A*B^-1, and a root of a sum: the compiled law against the
// same formula with pow.
TEST_F(PowerBits, RulesFormsCompileToPowsBits) {
    law_ptr const q = adopt(str_to_law("(X+1)*(Y-2)^-1+(X*Y+3)^0.5"));
    ASSERT_TRUE(q);
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> u(-50, 50);
    for (int k = 0; k < 20000; ++k) {
        double const x[2] = {u(rng), u(rng)};
        double const s = x[0] * x[1] + 3;
        if (s < 0 || x[1] == 2) continue;
        double const expected = (x[0] + 1) * library_pow(x[1] - 2, -1) + library_pow(s, 0.5);
        double y = 0;
        q->evaluate(x, &y);
        ASSERT_TRUE(same_bits(y, expected)) << x[0] << ", " << x[1];
    }
}

TEST_F(PowerBits, TheirErrorsAndSignedZerosArePowers) {
    law_ptr const root = adopt(str_to_law("X^0.5"));
    law_ptr const divisor = adopt(str_to_law("X^-1"));
    for (int round = 0; round < 40; ++round) {  // walked, then compiled
        EXPECT_LAW_ERROR(root->eval(-1), LAW_EXPONENT);
        EXPECT_LAW_ERROR(root->eval(-1e-300), LAW_EXPONENT);
        EXPECT_LAW_ERROR(divisor->eval(0), LAW_EXPONENT);
        double const minus_zero = -0.0;
        double r = 1;
        root->evaluate(&minus_zero, &r);
        EXPECT_TRUE(same_bits(r, 0.0)) << "pow(-0, 0.5) is +0";
        EXPECT_TRUE(same_bits(divisor->eval(-4), -0.25));
        EXPECT_TRUE(same_bits(root->eval(INFINITY), INFINITY));
    }
    // Many points at once: a point that raises loses no other.
    std::vector<double> const xs = {4, 0, -4, -0.0, 0.25};
    std::vector<double> y(xs.size());
    std::vector<int> errors(xs.size());
    int const exponent_error = lawutil_code(LAW_EXPONENT);
    struct many_case {
        char const *text;
        double exponent;
        std::vector<int> raised;
    };
    for (many_case const &c :
         {many_case{"X^-1.5", -1.5, {0, 1, 1, 1, 0}}, many_case{"X^2.5", 2.5, {0, 0, 1, 0, 0}},
          many_case{"X^-3", -3, {0, 1, 0, 1, 0}}}) {
        law_ptr const l = adopt(str_to_law(c.text));
        for (int round = 0; round < 3; ++round) {
            l->evaluate_many(xs.data(), y.data(), static_cast<int>(xs.size()), errors.data());
            for (std::size_t i = 0; i < xs.size(); ++i) {
                EXPECT_EQ(errors[i], c.raised[i] ? exponent_error : 0) << c.text << " at " << xs[i];
                if (!c.raised[i]) {
                    EXPECT_TRUE(same_bits(y[i], library_pow(xs[i], c.exponent)));
                }
            }
        }
    }
}

}  // namespace
