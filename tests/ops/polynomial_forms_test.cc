// The polynomial phase of level 2, through law::simplify: identities give 0, common factors
// cancel, and the forms keep their values. Expected expansions come from the test's own dense
// polynomial arithmetic.
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <law/lang/str_to_law.h>
#include <law/ops/law_simplify.h>

#include "law_test.h"

namespace {

class PolynomialForms : public LawTest {};

law_ptr parse(std::string const &text) {
    law_ptr l = adopt(str_to_law(text.c_str()));
    EXPECT_TRUE(l) << "cannot read " << text;
    return l;
}

std::string level_two(std::string const &text) {
    law_ptr const l = parse(text);
    return l ? adopt(l->simplify(2, 0))->text() : "<unreadable>";
}

// Dense coefficients in X, lowest power first.
using dense = std::vector<long long>;

dense times(dense const &a, dense const &b) {
    dense out(a.size() + b.size() - 1, 0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j) out[i + j] += a[i] * b[j];
    return out;
}

// "(c0+c1*X^1+...)" with every coefficient written out.
std::string text_of(dense const &p) {
    std::ostringstream s;
    s << "(";
    for (std::size_t k = 0; k < p.size(); ++k) s << (k ? "+" : "") << "(" << p[k] << ")*X^" << k;
    s << ")";
    return s.str();
}

double value_of(dense const &p, double x) {
    double v = 0;
    for (std::size_t k = p.size(); k-- > 0;) v = v * x + static_cast<double>(p[k]);
    return v;
}

dense random_polynomial(std::mt19937 &rng, int degree) {
    std::uniform_int_distribution<int> c(-4, 4);
    dense p(degree + 1);
    for (auto &v : p) v = c(rng);
    if (p.back() == 0) p.back() = 1;
    return p;
}

long long binomial(int n, int k) {
    long long b = 1;
    for (int i = 1; i <= k; ++i) b = b * (n - k + i) / i;
    return b;
}

TEST_F(PolynomialForms, IdentitiesGiveZero) {
    for (char const *text :
         {"(X+1)^2-(X^2+2*X+1)", "(X+Y)^3-X^3-3*X^2*Y-3*X*Y^2-Y^3", "(X-Y)*(X+Y)-(X^2-Y^2)",
          "1/(X-1)-1/(X+1)-2/(X^2-1)", "(0.1*X+0.2)*3-(0.3*X+0.6)",
          "SIN(X)^2+2*SIN(X)*COS(X)+COS(X)^2-(SIN(X)+COS(X))^2", "-((X-Y)^2)+(Y-X)^2",
          "(X^2-1)/(X-1)-X-1"})
        EXPECT_EQ(level_two(text), "0") << text;
    // Expansions computed here: products of random polynomials, and binomials of two inputs.
    std::mt19937 rng(2029);
    for (int trial = 0; trial < 40; ++trial) {
        dense const p = random_polynomial(rng, 1 + trial % 4),
                    q = random_polynomial(rng, 1 + trial % 3);
        EXPECT_EQ(level_two(text_of(p) + "*" + text_of(q) + "-" + text_of(times(p, q))), "0");
        EXPECT_EQ(level_two(text_of(p) + "^3-" + text_of(times(p, times(p, p)))), "0");
    }
    for (int n = 1; n <= 7; ++n) {
        std::string expansion;
        for (int k = 0; k <= n; ++k)
            expansion += "-" + std::to_string(binomial(n, k)) + "*X^" + std::to_string(k) + "*Y^" +
                         std::to_string(n - k);
        EXPECT_EQ(level_two("(X+Y)^" + std::to_string(n) + expansion), "0") << n;
    }
    // Inside another law the polynomial part goes first: SIN of a constant is then folded.
    law_ptr const inner = adopt(parse("SIN((X+1)^2-X^2-2*X)")->simplify(2, 0));
    ASSERT_TRUE(law_isa<constant_law>(inner.get())) << inner->text();
    EXPECT_DOUBLE_EQ(inner->eval(0), std::sin(1.0));
}

TEST_F(PolynomialForms, CommonFactorsCancel) {
    EXPECT_EQ(level_two("(X^2-1)/(X-1)"), "1+X");
    EXPECT_EQ(level_two("(X^2-Y^2)/(X-Y)"), "X+Y");
    EXPECT_EQ(level_two("(X^2-1)/(X^2+2*X+1)"), "(-1+X)*(1+X)^-1");
    EXPECT_EQ(level_two("(X*Y+X)/X"), "1+Y");
    EXPECT_EQ(level_two("(X+1)/(X-1)-2/(X-1)"), "1");
    // Random quotients p q / (p r), expanded here, with p a product of factors X - a: what is
    // left has a value at each root a of p, that of q / r, where the quotient as written has none.
    std::mt19937 rng(29);
    std::uniform_int_distribution<int> root(-3, 3);
    std::uniform_real_distribution<double> u(-2, 2);
    int cancelled = 0;
    for (int trial = 0; trial < 30; ++trial) {
        std::vector<int> roots;
        dense p = {1};
        for (int k = 0; k < 1 + trial % 3; ++k) {
            roots.push_back(root(rng));
            p = times(p, dense{-roots.back(), 1});
        }
        dense const q = random_polynomial(rng, 1 + trial % 2), r = random_polynomial(rng, 1);
        law_ptr const l = parse(text_of(times(p, q)) + "/" + text_of(times(p, r)));
        law_ptr const s = adopt(l->simplify(2, 0));
        EXPECT_LT(s->tree_size(), l->tree_size());
        for (int a : roots) {
            if (std::fabs(value_of(r, a)) < 1e-9) continue;
            EXPECT_NEAR(s->eval(a), value_of(q, a) / value_of(r, a), 1e-9)
                << l->text() << " -> " << s->text();
            ++cancelled;
        }
        for (int k = 0; k < 4; ++k) {
            double const x = u(rng);
            if (!(std::fabs(value_of(r, x)) > 1e-3 && std::fabs(value_of(p, x)) > 1e-3)) continue;
            double const expected = value_of(q, x) / value_of(r, x);
            EXPECT_NEAR(s->eval(x), expected, 1e-8 * (1 + std::fabs(expected))) << s->text();
        }
    }
    EXPECT_GT(cancelled, 30);
}

TEST_F(PolynomialForms, FormsAreKeptWhereTheCanonicalOneIsNotSmaller) {
    struct row {
        char const *in;
        char const *out;
    };
    for (row const &r : std::vector<row>{{"(X+1)^2", "(1+X)^2"},
                                         {"SIN(X)+COS(Y)", "SIN(X)+COS(Y)"},
                                         {"(X-1)*(X+1)", "-1+X^2"},
                                         {"X^0.5*X^0.5", "X"},
                                         {"VEC(X,Y)", "VEC(X,Y)"},
                                         {"PI-PI+X", "X"}})
        EXPECT_EQ(level_two(r.in), r.out) << r.in;
    // Level 1 has no polynomial phase.
    law_ptr const l = parse("(X+1)^2-(X^2+2*X+1)");
    EXPECT_NE(adopt(l->simplify(1, 0))->text(), "0");
    EXPECT_NE(adopt(law_simplify(l.get(), 1, 0))->text(), "0");
}

TEST_F(PolynomialForms, SimplifiedLawsKeepTheirValues) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0.1, 1.9);
    for (char const *text :
         {"(X+1)^5-(X-1)^5", "(X^3-2*X+1)/(X^2-1)+1/X", "(SIN(X)+1)^3-SIN(X)^3",
          "(X*Y+Y^2)/(X+Y)+(X-Y)^2", "EXP((X+1)^2-X^2)", "(X^2+X)^-2*X^3", "-(X-2)^3/(2-X)"}) {
        law_ptr const l = parse(text);
        law_ptr const s = adopt(l->simplify(2, 0));
        for (int k = 0; k < 6; ++k) {
            double const x[2] = {u(rng), u(rng)};
            double const before = first_value(l.get(), x), after = first_value(s.get(), x);
            EXPECT_NEAR(after, before, 1e-10 * (1 + std::fabs(before)))
                << text << " -> " << s->text();
        }
    }
}

// What cannot be read as a polynomial, or would be too large, stays as it was and still ends.
TEST_F(PolynomialForms, LargeAndSingularPartsStayAsTheyWere) {
    law_ptr const big = parse("(X+Y+Z+1)^60-1");
    law_ptr const s = adopt(big->simplify(2, 0));
    double const x[3] = {0.01, 0.02, -0.025};
    EXPECT_NEAR(first_value(s.get(), x), first_value(big.get(), x), 1e-12);
    EXPECT_EQ(level_two("(X+1)^100000"), "(1+X)^100000");
    // A divisor that is zero as a polynomial becomes the number 0, and the rules that fold
    // numbers raise the power's error, as they do for X/(X-X) at level 1.
    EXPECT_LAW_ERROR(adopt(parse("X/((X+1)^2-X^2-2*X-1)")->simplify(2, 0)), LAW_EXPONENT);
    EXPECT_LAW_ERROR(adopt(parse("X/(X-X)")->simplify(1, 0)), LAW_EXPONENT);
}

}  // namespace
