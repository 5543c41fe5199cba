// Laws far deeper than any call stack: read, printed, read back, differentiated, simplified and
// destroyed. The expected texts and values are written out here from the shape of each law.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <law/core/deep_tree.h>
#include <law/core/law_polynomial.h>
#include <law/numeric/every_root.h>
#include <law/numeric/extrema.h>
#include <law/numeric/global_extrema.h>
#include <law/numeric/nroot.h>

#include "law_test.h"

namespace {

class DeepLaws : public LawTest {};

law_ptr parse(std::string const &text) { return adopt(str_to_law(text.c_str())); }

std::string repeated(std::string const &unit, int n) {
    std::string out;
    out.reserve(unit.size() * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) out += unit;
    return out;
}

double value_at(law const *l, double x) {
    double const in[3] = {x, 0.0, 0.0};
    return first_value(l, in);
}

// The values of a one-input law at the points, through evaluate one point at a time and through
// evaluate_many; both must agree bit for bit.
std::vector<double> values_at(law const *l, std::vector<double> const &xs) {
    std::vector<double> one_by_one;
    for (double const x : xs) one_by_one.push_back(value_at(l, x));
    std::vector<double> const many = l->evaluate_many(xs);
    EXPECT_EQ(many, one_by_one);
    return one_by_one;
}

// Reads the text, checks that it prints as printed and that the print reads back as an equal
// law (a law that prints as the text it was read from reads back as itself).
law_ptr read_back(std::string const &text, std::string const &printed) {
    law_ptr l = parse(text);
    EXPECT_TRUE(l) << TEST_get_error();
    if (!l) return l;
    std::string const shown = l->text();
    EXPECT_EQ(shown.size(), printed.size());
    EXPECT_TRUE(shown == printed) << shown.substr(0, 60);
    if (shown != text) {
        law_ptr const again = parse(shown);
        EXPECT_TRUE(again && *again == *l);
    }
    return l;
}

TEST_F(DeepLaws, AMillionTermSumReadsBackDifferentiatesAndSimplifies) {
    constexpr int n = 1000000;
    std::string const text = "X" + repeated("+X", n - 1);
    law_ptr const sum = read_back(text, text);
    ASSERT_TRUE(sum);
    // Adding 0.25 n times is exact in binary.
    EXPECT_EQ(values_at(sum.get(), {0.25, 0.0}), (std::vector<double>{n / 4.0, 0.0}));
    // d/dx of n copies of x is n; the sum itself simplifies to n*x.
    law_ptr const d = adopt(sum->derivative(0));
    EXPECT_EQ(value_at(d.get(), 0.25), n);
    law_ptr const s = adopt(sum->simplify());
    EXPECT_EQ(s->text(), std::to_string(n) + "*X");
}

TEST_F(DeepLaws, AHundredThousandFactorProductReadsBackAndDifferentiates) {
    constexpr int n = 100000;
    // The product of n copies of (1+x/n) at x = 0 is 1 and its derivative there is 1.
    std::string const factor = "(1+X/" + std::to_string(n) + ")";
    std::string const text = factor + repeated("*" + factor, n - 1);
    law_ptr const product = read_back(text, text);
    ASSERT_TRUE(product);
    // At x = 1 the product is (1+1/n)^n, multiplied out here in the same order.
    double expected = 1.0;
    for (int i = 0; i < n; ++i) expected *= 1.0 + 1.0 / n;
    std::vector<double> const v = values_at(product.get(), {0.0, 1.0});
    EXPECT_EQ(v[0], 1.0);
    EXPECT_NEAR(v[1], expected, 1e-9);
    law_ptr const d = adopt(product->derivative(0));
    EXPECT_NEAR(value_at(d.get(), 0.0), 1.0, 1e-9);
    law_ptr const s = adopt(product->simplify());
    EXPECT_NEAR(value_at(s.get(), 0.0), 1.0, 1e-12);
}

TEST_F(DeepLaws, AHundredThousandBracketsReadAsWhatTheyHold) {
    constexpr int n = 100000;
    law_ptr const l = parse(repeated("(", n) + "X+1" + repeated(")", n));
    ASSERT_TRUE(l) << TEST_get_error();
    EXPECT_EQ(l->text(), "X+1");
    EXPECT_EQ(values_at(l.get(), {2.0}), std::vector<double>{3.0});
    // Brackets around every left operand of a chain keep the chain left-nested.
    std::string nested = "X";
    for (int i = 0; i < 2000; ++i) nested = "(" + nested + "+X)";
    law_ptr const chain = read_back(nested, "X" + repeated("+X", 2000));
    ASSERT_TRUE(chain);
    EXPECT_EQ(values_at(chain.get(), {0.5}), std::vector<double>{1000.5});
}

TEST_F(DeepLaws, TenThousandNestedFunctionsReadBackDifferentiateAndSimplify) {
    constexpr int n = 10000;
    // SIN applied n times: the derivative at 0 is cos(0)^n = 1.
    std::string const text = repeated("SIN(", n) + "X" + repeated(")", n);
    law_ptr const sines = read_back(text, text);
    ASSERT_TRUE(sines);
    double expected = 0.5;
    for (int i = 0; i < n; ++i) expected = std::sin(expected);
    EXPECT_NEAR(values_at(sines.get(), {0.5})[0], expected, 1e-12);
    law_ptr const s = adopt(sines->simplify());
    EXPECT_EQ(s->text().size(), text.size());
    // The derivative of the tower is, by the chain rule, the product of the cosines of the values
    // on the way up: n distinct factors, which the simplifier compares in pairs (towers of
    // different heights differ in the size of their trees, which ends each comparison at once).
    double value = 0.5, slope = 1;
    for (int i = 0; i < n; ++i) {
        slope *= std::cos(value);
        value = std::sin(value);
    }
    law_ptr const d = adopt(sines->derivative(0));
    EXPECT_NEAR(value_at(d.get(), 0.0), 1.0, 1e-12);
    EXPECT_NEAR(value_at(d.get(), 0.5), slope, 1e-12 * slope);
    // n leading minus signs: an even count is X itself, derivative 1.
    std::string const minus = repeated("-", n) + "X";
    law_ptr const negated = read_back(minus, minus);
    ASSERT_TRUE(negated);
    EXPECT_EQ(values_at(negated.get(), {3.0, -0.5}), (std::vector<double>{3.0, -0.5}));
    law_ptr const dm = adopt(negated->derivative(0));
    EXPECT_EQ(value_at(dm.get(), 3.0), 1.0);
    law_ptr const sm = adopt(negated->simplify());
    EXPECT_EQ(sm->text(), "X");
}

// The second derivative of a tower of sines holds each cosine twice, and the rules merge equal
// factors of a chain a pair at a time: a chain of more than two hundred factors is still
// rewritten to the end, in silence, not stopped as a suspected cycle.
TEST_F(DeepLaws, LongChainsAreRewrittenToTheEnd) {
    constexpr int n = 220;
    law_ptr const sines = parse(repeated("SIN(", n) + "X" + repeated(")", n));
    std::FILE *messages = std::tmpfile();
    ASSERT_NE(messages, nullptr);
    set_debug_file(messages);
    law_ptr const second = adopt(adopt(sines->derivative(0))->derivative(0));
    set_debug_file(nullptr);
    EXPECT_EQ(std::ftell(messages), 0L);
    std::fclose(messages);
    // v' = cos(u) u' and v'' = cos(u) u'' - sin(u) u'^2 for v = sin(u), level by level.
    double const x = 0.3;
    double u = x, du = 1, ddu = 0;
    for (int i = 0; i < n; ++i) {
        ddu = std::cos(u) * ddu - std::sin(u) * du * du;
        du = std::cos(u) * du;
        u = std::sin(u);
    }
    EXPECT_NEAR(value_at(second.get(), x), ddu, 1e-12 * std::fabs(ddu) + 1e-15);
}

TEST_F(DeepLaws, CopyRestrictToADomainAndTellTheDomain) {
    constexpr int n = 100000;
    std::string const sum_text = "1/X" + repeated("+1/X", n - 1);
    std::string const sines_text = repeated("SIN(", 10000) + "X" + repeated(")", 10000);
    std::string const product_text = "(X+1)" + repeated("*(X+1)", 10000 - 1);
    ZEM::interval const unit(0.0, 1.0);
    double const quarter[3] = {0.25, 0.0, 0.0}, two[3] = {2.0, 0.0, 0.0}, zero[3] = {};
    for (std::string const *text : {&sum_text, &sines_text, &product_text}) {
        law_ptr const l = parse(*text);
        ASSERT_TRUE(l) << TEST_get_error();
        // A copy is a new tree equal to the old one.
        law_ptr const copy = adopt(l->deep_copy());
        EXPECT_NE(copy.get(), l.get());
        EXPECT_TRUE(*copy == *l);
        EXPECT_TRUE(copy->text() == *text);
        // Only the sum of 1/x leaves out 0.
        EXPECT_EQ(l->in_domain(zero), text == &sum_text ? 0 : 1);
        EXPECT_EQ(l->in_domain(two), 1);
        // Restricted to [0, 1] it keeps its values there and leaves out 2.
        law_ptr const restricted = adopt(l->set_domain(&unit));
        ZEM::interval domain;
        EXPECT_TRUE(restricted->term_domain(0, domain));
        EXPECT_TRUE(domain == unit);
        EXPECT_EQ(value_at(restricted.get(), 0.25), value_at(l.get(), 0.25));
        EXPECT_EQ(restricted->in_domain(quarter), 1);
        EXPECT_EQ(restricted->in_domain(two), 0);
    }
}

TEST_F(DeepLaws, BoundTheValuesAndMultiplyOutThePolynomial) {
    constexpr int n = 100000;
    std::string const sum_text = "X" + repeated("+X", n - 1);
    // Over [-1, 2] each term lies in [-1, 2], so the sum of n lies in [-n, 2n].
    law_ptr const sum = parse(sum_text);
    int failed = 0;
    ZEM::interval const range = sum->estimate_bounds(ZEM::interval(-1, 2), failed);
    EXPECT_EQ(failed, 0);
    EXPECT_TRUE(range == ZEM::interval(-n, 2.0 * n));
    // Vectors have no estimate: the error reaches the caller, once.
    law_ptr const vectors = parse("VEC(X,X)" + repeated("+VEC(X,X)", n / 10 - 1));
    EXPECT_LAW_ERROR(vectors->estimate_bounds(ZEM::interval(-1, 2), failed), LAW_BAD_BOUNDS);
    std::unique_ptr<law_polynomial> const p(sum->polynomial(nullptr));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->degree(), 1);
    EXPECT_EQ(p->coefficent(1), n);
    // (x+1)^m multiplied out: the coefficient of x^k is C(m, k).
    constexpr int m = 2000;
    law_ptr const product = parse("(X+1)" + repeated("*(X+1)", m - 1));
    std::unique_ptr<law_polynomial> const q(product->polynomial(nullptr));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->degree(), m);
    double binomial = 1;
    for (int k = 0; k <= 6; ++k) {
        EXPECT_NEAR(q->coefficent(k), binomial, 1e-12 * binomial) << k;
        binomial *= static_cast<double>(m - k) / (k + 1);
    }
}

// The derivative of nested kinks is a product of one factor per level. Each level's derivative
// holds the one below it, the same object: the simplifier meets that finished derivative inside
// the new one and must not copy it, or the work grows with the square of the depth.
TEST_F(DeepLaws, NestedKinksDifferentiateIntoOneSharedProduct) {
    constexpr int n = 10000;
    law_ptr const kinks = parse(repeated("ABS(", n) + "X" + repeated(")", n));
    law const *const inner = sub_law_at(kinks.get(), 0);
    law_ptr const d_inner = adopt(inner->derivative(0));
    law_ptr const d = adopt(kinks->derivative(0));
    law const *first = d.get();
    while (first != d_inner.get() && law_isa<times_law>(first)) first = sub_law_at(first, 0);
    EXPECT_EQ(first, d_inner.get());
    // Below 0 the innermost ABS turns the slope to -1 and every other level keeps it.
    EXPECT_EQ(values_at(d.get(), {-0.5, 0.5}), (std::vector<double>{-1, 1}));
    EXPECT_FALSE(kinks->linear());
    // Past 64 levels the rules read the inner product through its kept operands: the form is
    // still each level's sign in turn, the innermost first.
    std::string expected, level = "X";
    for (int k = 0; k < 100; ++k, level = "ABS(" + level + ")")
        expected += (k ? "*" : "") + ("(SET(" + level + ")-(1-SET(" + level + ")))");
    law_ptr const hundred = parse(repeated("ABS(", 100) + "X" + repeated(")", 100));
    EXPECT_EQ(adopt(hundred->derivative(0))->text(), expected);
}

// The derivative of nested MAX(f, 1) puts each level's factor on the left of the level below, and
// its compiled form holds each level's MAX, shared, deeper than the compiler goes in one piece.
TEST_F(DeepLaws, NestedMaximaDifferentiateAndEvaluateAtFullDepth) {
    constexpr int n = 10000;
    law_ptr const maxima = parse(repeated("MAX(", n) + "X" + repeated(",1)", n));
    EXPECT_FALSE(maxima->linear());
    law_ptr const d = adopt(maxima->derivative(0));
    EXPECT_EQ(values_at(d.get(), {0.5, 2.0, 3.0}), (std::vector<double>{0, 1, 1}));
    EXPECT_EQ(values_at(maxima.get(), {0.5, 2.0}), (std::vector<double>{1, 2}));
    // The searches by derivatives test their points' domains by a walk of the tree, which takes
    // each law's values from the walk, not from walks of its own (each level's factor walked the
    // levels below it again), and look for kinks over the whole line, where no level above the
    // innermost crosses 1.
    double const lowest = Nmin(maxima.get(), 0.1, 3);
    EXPECT_GE(lowest, 0.1);
    EXPECT_LE(lowest, 1.0);
    law_ptr const over = parse(repeated("MAX(", n) + "X" + repeated(",1)", n) + "-1.5");
    int count = 0;
    vorn_ptr<double> const roots(Nroot(over.get(), 0.1, 3, &count));
    ASSERT_EQ(count, 1);
    EXPECT_NEAR(roots.get()[0], 1.5, 1e-12);
}

TEST_F(DeepLaws, TenThousandLevelTowersTellTheirDomainsAndClasses) {
    constexpr int n = 10000;
    auto tower = [](char const *open, char const *inner, char const *close) {
        return parse(repeated(open, n) + inner + repeated(close, n));
    };
    double const half[3] = {0.5, 0.0, 0.0}, minus_one[3] = {-1.0, 0.0, 0.0};
    // Nested square roots and EXP(LN(...)) take 0.5 and leave out -1; a tower of powers
    // x^(x^(...^2)) takes 0.5.
    law_ptr const roots = tower("SQRT(", "X", ")");
    law_ptr const logs = tower("EXP(LN(", "X", "))");
    law_ptr const powers = tower("X^(", "2", ")");
    for (law const *l : {roots.get(), logs.get(), powers.get()}) EXPECT_EQ(l->in_domain(half), 1);
    EXPECT_EQ(roots->in_domain(minus_one), 0);
    EXPECT_EQ(logs->in_domain(minus_one), 0);
    // EXP(LN(...)) is X where it has a value: smallest at the left end. The search asks for the
    // singular points over the whole line, where a domain's edge is not searched for.
    EXPECT_DOUBLE_EQ(Nmin(logs.get(), 0.1, 3), 0.1);
    // The tower of powers varies, though most of the constant test's samples lie where it has
    // no value (a negative base); its turning points, searched by its fourth derivative, which
    // grows as the cube of its height, end in a clear error.
    EXPECT_FALSE(powers->constant());
    EXPECT_LAW_ERROR(Nmin(powers.get(), 0.1, 3), LAW_ROOTS_UNRESOLVED);
    // The search by interpolants needs no derivative. At 0.1 the tower has reached the fixed
    // point y = 0.1^y, which the loop below finds the same way.
    extremum_report const lowest = Nmin_global(powers.get(), 0.1, 3);
    double y = 2;
    for (int i = 0; i < 1000; ++i) y = std::pow(0.1, y);
    EXPECT_EQ(lowest.where, 0.1);
    EXPECT_NEAR(lowest.value, y, 1e-15);
    // x/(x/y) is y where x is not 0, so an even number of quotients over 2 is 2: constant, a
    // whole number, not zero; less 2 it is zero.
    law_ptr const quotients = tower("X/(", "2", ")");
    EXPECT_TRUE(quotients->constant());
    EXPECT_TRUE(quotients->integer());
    EXPECT_FALSE(quotients->zero());
    law_ptr const naught = parse(repeated("X/(", n) + "2" + repeated(")", n) + "-2");
    EXPECT_TRUE(naught->zero());
}

TEST_F(DeepLaws, TenThousandLevelTowersHaveTheirGlobalExtremaFound) {
    constexpr int n = 10000;
    // Each level of these towers breaks where the level below it is zero, and the levels below
    // are zero where X is: the search looks through the square roots and quotients, and past the
    // exponentials, instead of searching every level.
    law_ptr const roots = parse(repeated("SQRT(", n) + "X" + repeated(")", n));
    extremum_report const lowest = Nmin_global(roots.get(), 0, 2);
    EXPECT_EQ(lowest.where, 0.0);
    EXPECT_EQ(lowest.value, 0.0);
    // Ten thousand square roots of any positive number round to 1.
    EXPECT_EQ(Nmax_global(roots.get(), 0, 2).value, 1.0);
    law_ptr const logs = parse(repeated("EXP(LN(", n) + "X" + repeated("))", n));
    extremum_report const low = Nmin_global(logs.get(), 0.5, 2);
    extremum_report const high = Nmax_global(logs.get(), 0.5, 2);
    EXPECT_EQ(low.where, 0.5);
    EXPECT_NEAR(low.value, 0.5, 1e-12);
    EXPECT_EQ(high.where, 2.0);
    EXPECT_NEAR(high.value, 2.0, 1e-12);
    // A quotient is zero where its numerator is: x/(x/(...(x/2))) has its poles at 0 alone, and
    // an even number of quotients is 2 everywhere else (the leftmost of equal values wins).
    law_ptr const quotients = parse(repeated("X/(", n) + "2" + repeated(")", n));
    extremum_report const flat = Nmin_global(quotients.get(), 0.1, 3);
    EXPECT_EQ(flat.where, 0.1);
    EXPECT_EQ(flat.value, 2.0);
    // Each level of nested MAX(f, 1) breaks where the level below crosses 1, which no level above
    // the innermost does (it never falls below 1); 1 + SQRT(...) is never zero.
    law_ptr const maxima = parse(repeated("MAX(", n) + "X" + repeated(",1)", n));
    extremum_report const floor = Nmin_global(maxima.get(), 0.1, 3);
    EXPECT_EQ(floor.where, 0.1);
    EXPECT_EQ(floor.value, 1.0);
    EXPECT_EQ(Nmax_global(maxima.get(), 0.1, 3).value, 3.0);
    law_ptr const over = parse(repeated("MAX(", n) + "X" + repeated(",1)", n) + "-1.5");
    int count = 0;
    vorn_ptr<double> const crossing(Nroot_all(over.get(), 0.1, 3, &count));
    ASSERT_EQ(count, 1);
    EXPECT_NEAR(crossing.get()[0], 1.5, 1e-12);
    // SQRT(1+SQRT(1+...(x))) at any x > 0 has reached the fixed point of y = sqrt(1 + y).
    law_ptr const golden = parse(repeated("SQRT(1+", n) + "X" + repeated(")", n));
    double y = 0.1;
    for (int i = 0; i < n; ++i) y = std::sqrt(1 + y);
    EXPECT_NEAR(Nmin_global(golden.get(), 0.1, 3).value, y, 1e-15);
}

TEST_F(DeepLaws, TowersFailingAtTheirFootRaiseWhatTheirWalkRaises) {
    // Below 3 the square roots fail, below 2 the logarithms; a quotient takes its divisor first,
    // a sum its left side, as their shallow forms do.
    std::string const roots = repeated("SQRT(", 300) + "X-3" + repeated(")", 300);
    std::string const logs = repeated("EXP(LN(", 150) + "X-2" + repeated("))", 150);
    law_ptr const quotient = parse("(" + roots + ")/(" + logs + ")");
    law_ptr const sum = parse("(" + roots + ")+(" + logs + ")");
    EXPECT_LAW_ERROR(value_at(quotient.get(), 1), LAW_LN);
    EXPECT_LAW_ERROR(value_at(quotient.get(), 2.5), LAW_SQRT);
    EXPECT_LAW_ERROR(value_at(sum.get(), 1), LAW_SQRT);
    double const xs[4] = {1, 2.5, 1.5, 4};
    double ys[4];
    int errors[4];
    quotient->evaluate_many(xs, ys, 4, errors);
    EXPECT_EQ(errors[0], lawutil_code(LAW_LN));
    EXPECT_EQ(errors[1], lawutil_code(LAW_SQRT));
    EXPECT_EQ(errors[2], lawutil_code(LAW_LN));
    EXPECT_EQ(errors[3], 0);
    EXPECT_NEAR(ys[3], 0.5, 1e-12);
    sum->evaluate_many(xs, ys, 4, errors);
    EXPECT_EQ(errors[0], lawutil_code(LAW_SQRT));
    EXPECT_EQ(errors[1], lawutil_code(LAW_SQRT));
}

TEST_F(DeepLaws, ReadingGrowsInProportionToTheText) {
    // Doubling a text about doubles the steps of its reading; a quadratic reading would
    // quadruple them. The per-step cost includes a logarithmic search, hence the margin.
    auto steps = [](std::string const &text) {
        law_ptr const l = parse(text);
        EXPECT_TRUE(l) << TEST_get_error();
        return static_cast<double>(last_law_reading_steps());
    };
    auto sum = [](int n) { return "X" + repeated("+X", n - 1); };
    auto sines = [](int n) { return repeated("SIN(", n) + "X" + repeated(")", n); };
    auto brackets = [](int n) { return repeated("(", n) + "X" + repeated(")", n); };
    auto power = [](int n) { return "X" + repeated("^(X+1)", n - 1); };
    for (auto const &make : {+sum, +sines, +brackets, +power}) {
        double const small = steps(make(20000)), large = steps(make(40000));
        EXPECT_GT(large / small, 1.8) << make(3);
        EXPECT_LT(large / small, 2.3) << make(3);
    }
}

}  // namespace
