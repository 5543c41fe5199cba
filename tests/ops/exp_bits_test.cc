// EXP over many points gives the C library's exp bit for bit, although it mostly does not call
// exp: checked against exp at values of every size, at the edges of its range, and at values
// where exp is not the nearest double to the exponential.
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include <law/lang/str_to_law.h>

#include "law_test.h"

namespace {

class ExpBits : public LawTest {};

// Values where exp errs by more than half a unit: the nearest double (from long double's exp) is
// another than exp's.
constexpr double hard[] = {0x1.11492afaa3dc8p+2,  -0x1.910d78ea377cp+1,  0x1.ee791fcc3e638p+3,
                           0x1.768a64d8ddba8p+1,  -0x1.aa0a38efbf4c7p+3, -0x1.b4de08109b3fp+2,
                           -0x1.96782a5c0ad9ep+3, -0x1.614a415a13a87p+9};

std::vector<double> exp_arguments() {
    std::mt19937_64 rng(37);
    std::vector<double> xs(std::begin(hard), std::end(hard));
    auto const uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(rng);
    };
    for (int i = 0; i < 40000; ++i) {
        xs.push_back(uniform(-5, 5));
        xs.push_back(uniform(-746, 710));
        xs.push_back(uniform(-710, -700));  // results near the subnormals
        xs.push_back(uniform(700, 710));    // and near overflow
        xs.push_back(std::ldexp(uniform(-1, 1), -static_cast<int>(rng() % 64)));
        xs.push_back(std::bit_cast<double>(rng()));  // every exponent, NaNs among them
    }
    double const inf = std::numeric_limits<double>::infinity();
    for (double v : {0.0, -0.0, inf, -inf, std::nan(""), 708.0, -708.0, 709.78, -745.2, 4.9e-324})
        xs.push_back(v);
    return xs;
}

TEST_F(ExpBits, ManyPointsAreTheExpOfTheCLibrary) {
    for (double x : hard) {
        double const nearest = static_cast<double>(std::exp(static_cast<long double>(x)));
        EXPECT_FALSE(same_bits(nearest, std::exp(x))) << x << " is not a hard case";
    }
    std::vector<double> const xs = exp_arguments();
    struct exp_case {
        char const *text;
        double (*expected)(double);
    };
    for (exp_case const &c :
         {exp_case{"EXP(X)", [](double x) { return std::exp(x); }},
          exp_case{"EXP(-(X^2)/2)*3", [](double x) { return std::exp(-(x * x) / 2) * 3; }}}) {
        law_ptr const l = adopt(str_to_law(c.text));
        ASSERT_TRUE(l);
        std::vector<double> many(xs.size());
        l->evaluate_many(xs.data(), many.data(), static_cast<int>(xs.size()));
        std::size_t mismatches = 0;
        for (std::size_t i = 0; i < xs.size(); ++i) {
            double const expected = c.expected(xs[i]);
            double one = 0;
            l->evaluate(&xs[i], &one);  // walked at first, compiled after a few points
            if (!same_bits(one, expected) || !same_bits(many[i], expected)) {
                if (++mismatches < 5)
                    ADD_FAILURE() << c.text << " at " << xs[i] << ": " << one << " and " << many[i]
                                  << ", exp gives " << expected;
            }
        }
        EXPECT_EQ(mismatches, 0u) << c.text;
    }
}

}  // namespace
