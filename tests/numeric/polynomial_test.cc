#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <law/base/output.h>
#include <law/core/law_polynomial.h>
#include <law/lang/str_to_law.h>
#include <law/numeric/integer_factors.h>
#include <law/numeric/linear_system.h>
#include <law/numeric/polynomial_law.h>

#include "law_test.h"

namespace {

class Polynomial : public LawTest {};

// The polynomial of a law, held.
std::unique_ptr<law_polynomial> poly_of(law_ptr const &l) {
    return std::unique_ptr<law_polynomial>(l->polynomial(nullptr));
}

// The terms as power -> coefficient, in ascending power, for order-free comparison.
std::vector<std::pair<int, double>> terms(law_polynomial const &p) {
    std::vector<std::pair<int, double>> t;
    for (int i = 0; i < p.term_count(); ++i) t.emplace_back(p.term_power(i), p.term_coefficient(i));
    std::sort(t.begin(), t.end());
    return t;
}

using Terms = std::vector<std::pair<int, double>>;

TEST_F(Polynomial, BasePolynomialsOfALawAndAConstant) {
    law_ptr x = X();
    auto px = poly_of(x);
    EXPECT_EQ(px->degree(), 1);
    EXPECT_EQ(terms(*px), (Terms{{1, 1.0}}));
    EXPECT_EQ(px->variable(), x.get());
    int const uses = x->ref_count();
    law_ptr in = adopt(px->in());
    EXPECT_EQ(in.get(), x.get());
    EXPECT_EQ(x->ref_count(), uses + 1);

    auto pc = poly_of(C(4.5));
    EXPECT_EQ(pc->degree(), 0);
    EXPECT_EQ(terms(*pc), (Terms{{0, 4.5}}));
    EXPECT_EQ(pc->in(), nullptr);
}

TEST_F(Polynomial, ArithmeticCancelsExactlyAndDropsCancelledTerms) {
    law_ptr x = X();
    law_polynomial const p(1.0, 1, x.get());
    law_polynomial const one(1.0, 0, nullptr);

    law_polynomial const diff_of_squares = (p + one) * (p - one);
    EXPECT_EQ(diff_of_squares.degree(), 2);
    EXPECT_EQ(terms(diff_of_squares), (Terms{{0, -1.0}, {2, 1.0}}));

    law_polynomial const none = p + -p;
    EXPECT_EQ(none.degree(), 0);
    EXPECT_EQ(none.term_count(), 0);

    law_polynomial const cube = (p + one) ^ 3;
    EXPECT_EQ(terms(cube), (Terms{{0, 1.0}, {1, 3.0}, {2, 3.0}, {3, 1.0}}));
    EXPECT_EQ((p ^ 1).degree(), 1);

    law_polynomial const sq = (p ^ 2) + one;
    EXPECT_EQ(sq.coefficent(5), 0.0);
    EXPECT_EQ(sq.coefficent(2), 1.0);
    EXPECT_EQ(sq.coefficent(0), 1.0);

    // (1 + x)^40 has the binomial coefficients, all exact in doubles: Pascal's triangle here.
    std::vector<double> row{1};
    for (int n = 1; n <= 40; ++n) {
        std::vector<double> next(row.size() + 1, 0.0);
        for (std::size_t k = 0; k < row.size(); ++k) {
            next[k] += row[k];
            next[k + 1] += row[k];
        }
        row = next;
    }
    Terms binomial;
    for (std::size_t k = 0; k < row.size(); ++k) binomial.emplace_back(static_cast<int>(k), row[k]);
    EXPECT_EQ(terms((p + one) ^ 40), binomial);
    // Mixed-sign factors whose terms cancel exactly leave no term behind.
    law_polynomial const alternating = ((p + one) ^ 5) * ((p - one) ^ 5);
    EXPECT_EQ(terms(alternating),
              (Terms{{0, -1.0}, {2, 5.0}, {4, -10.0}, {6, 10.0}, {8, -5.0}, {10, 1.0}}));
}

TEST_F(Polynomial, SumKeepsRightTermsFirstThenUnmatchedLeftTerms) {
    law_ptr x = X();
    law_polynomial const p(1.0, 1, x.get());
    law_polynomial const left = (p ^ 3) + law_polynomial(2.0, 0, nullptr);
    law_polynomial const right = law_polynomial(5.0, 0, nullptr) + law_polynomial(4.0, 2, x.get());
    law_polynomial const sum = left + right;
    ASSERT_EQ(sum.term_count(), 3);
    // The right operand's order first, merged where powers match.
    for (int i = 0; i < right.term_count(); ++i) {
        EXPECT_EQ(sum.term_power(i), right.term_power(i));
        EXPECT_EQ(sum.term_coefficient(i),
                  right.term_coefficient(i) + left.coefficent(right.term_power(i)));
    }
    EXPECT_EQ(sum.term_power(2), 3);
    EXPECT_EQ(sum.degree(), 3);
}

TEST_F(Polynomial, OperatorLawsCombineTheirSides) {
    struct row {
        char const *text;
        int degree;
        Terms terms;
    };
    std::vector<row> const rows = {
        {"(X+1)*(X-1)", 2, {{0, -1.0}, {2, 1.0}}},
        {"X+(-X)", 0, {}},
        {"(2*X+1)^3", 3, {{0, 1.0}, {1, 6.0}, {2, 12.0}, {3, 8.0}}},
        {"3-X*X", 2, {{0, 3.0}, {2, -1.0}}},
    };
    for (auto const &r : rows) {
        law_ptr l = adopt(str_to_law(r.text));
        ASSERT_TRUE(l) << r.text;
        auto p = poly_of(l);
        EXPECT_EQ(p->degree(), r.degree) << r.text;
        EXPECT_EQ(terms(*p), r.terms) << r.text;
    }
    // Different variables fall back to the law itself as the variable.
    law_ptr mixed = adopt(str_to_law("X+Y"));
    auto p = poly_of(mixed);
    EXPECT_EQ(p->degree(), 1);
    EXPECT_EQ(p->variable(), mixed.get());
}

TEST_F(Polynomial, PrintsVariableDegreeAndTerms) {
    law_ptr x = X();
    law_polynomial const p = law_polynomial(2.5, 2, x.get()) + law_polynomial(-1.0, 0, nullptr);
    FILE *sink = std::tmpfile();
    FILE *before = debug_file_ptr;
    set_debug_file(sink);
    p.print();
    law_polynomial().print();
    set_debug_file(before);
    std::string out;
    std::rewind(sink);
    for (int c; (c = std::fgetc(sink)) != EOF;) out += static_cast<char>(c);
    std::fclose(sink);
    EXPECT_EQ(out,
              "Polynomial in X\nOf degree 2\nTerm 0 = -1.000000\nTerm 2 = 2.500000\n"
              "Polynomial\nOf degree 0\n");
}

TEST_F(Polynomial, DifferentVariablesFailToCombine) {
    law_ptr x = X(0, 'X');
    law_ptr y = X(1, 'Y');
    law_ptr x_again = X(0, 'X');
    law_polynomial const px(1.0, 1, x.get());
    law_polynomial const py(1.0, 1, y.get());
    EXPECT_EQ((px + py).degree(), -1);
    EXPECT_EQ((px * py).degree(), -1);
    EXPECT_EQ((px - py).term_count(), 0);
    // Equal laws that are different objects still combine.
    law_polynomial const twice = px + law_polynomial(1.0, 1, x_again.get());
    EXPECT_EQ(terms(twice), (Terms{{1, 2.0}}));
}

TEST_F(Polynomial, CopiesShareTheVariableAndOwnTheirTerms) {
    law_ptr x = X();
    int const uses = x->ref_count();
    {
        law_polynomial a(3.0, 2, x.get());
        law_polynomial b(a);
        law_polynomial c;
        c = b;
        c = c;
        EXPECT_EQ(x->ref_count(), uses + 3);
        b = law_polynomial();
        EXPECT_EQ(x->ref_count(), uses + 2);
        EXPECT_EQ(terms(c), (Terms{{2, 3.0}}));
    }
    EXPECT_EQ(x->ref_count(), uses);
}

TEST_F(Polynomial, MultipleFindsTheRatioOnlyForProportionalPolynomials) {
    law_ptr x = X();
    law_ptr y = X(1, 'Y');
    law_polynomial const p = law_polynomial(1.0, 2, x.get()) + law_polynomial(3.0, 0, nullptr);
    law_polynomial const q = law_polynomial(-2.0, 2, x.get()) + law_polynomial(-6.0, 0, nullptr);
    EXPECT_DOUBLE_EQ(polynomial_multiple(p, q), -2.0);
    EXPECT_DOUBLE_EQ(polynomial_multiple(q, p), -0.5);

    law_polynomial const not_proportional =
        law_polynomial(-2.0, 2, x.get()) + law_polynomial(6.0, 0, nullptr);
    EXPECT_EQ(polynomial_multiple(p, not_proportional), 0.0);
    law_polynomial const other_powers =
        law_polynomial(1.0, 2, x.get()) + law_polynomial(3.0, 1, x.get());
    EXPECT_EQ(polynomial_multiple(p, other_powers), 0.0);
    law_polynomial const in_y = law_polynomial(1.0, 2, y.get()) + law_polynomial(3.0, 0, nullptr);
    EXPECT_EQ(polynomial_multiple(p, in_y), 0.0);
    EXPECT_EQ(polynomial_multiple(p, law_polynomial(1.0, 2, x.get())), 0.0);
}

TEST_F(Polynomial, MakePolynomialLawEvaluatesTheCoefficients) {
    std::vector<std::vector<double>> const cases = {
        {7.0}, {1.0, 2.0}, {1.0, 2.0, 3.0}, {0.5, 0.0, -1.0, 2.0, 0.25}};
    for (auto c : cases) {
        int const degree = static_cast<int>(c.size()) - 1;
        law_ptr l = adopt(make_polynomial_law(c.data(), degree));
        for (double t : {-1.5, 0.0, 0.3, 2.0}) {
            double expected = 0;
            for (int k = degree; k >= 0; --k) expected = expected * t + c[k];
            EXPECT_NEAR(l->eval(t), expected, 1e-12) << l->text() << " at " << t;
        }
    }
    double c[] = {1, 2, 3};
    law_ptr l = adopt(make_polynomial_law(c, 2));
    EXPECT_EQ(l->text(), "1+2*X+3*X^2");
}

// A row-major copy of rows for the solver.
struct system {
    std::vector<std::vector<double>> data;
    std::vector<double *> rows;
    explicit system(std::vector<std::vector<double>> d) : data(std::move(d)) {
        for (auto &r : data) rows.push_back(r.data());
    }
};

TEST_F(Polynomial, SolveLinearSolvesPivotsAndRejectsSingularSystems) {
    // 0 x + y = 2, x + y = 3: needs a row swap.
    system s({{0, 1, 2}, {1, 1, 3}});
    ASSERT_EQ(solve_linear(s.rows.data(), 2, 1), 1);
    EXPECT_NEAR(s.rows[0][2], 1.0, 1e-14);
    EXPECT_NEAR(s.rows[1][2], 2.0, 1e-14);

    system singular({{1, 2, 3}, {2, 4, 6}});
    EXPECT_EQ(solve_linear(singular.rows.data(), 2, 1), 0);
    system tiny({{1e-14, 0, 1}, {0, 1, 1}});
    EXPECT_EQ(solve_linear(tiny.rows.data(), 2, 1), 0);
}

TEST_F(Polynomial, SolveLinearMatchesRandomSystemsWithSeveralRightHandSides) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int trial = 0; trial < 20; ++trial) {
        int const n = 1 + trial % 6, m = 1 + trial % 3;
        linear_system_matrix a(n, m);
        std::vector<double> x(static_cast<std::size_t>(n * m));
        for (double &v : x) v = u(rng);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) a[i][j] = u(rng) + (i == j ? 4.0 : 0.0);
            for (int r = 0; r < m; ++r) {
                double b = 0;
                for (int j = 0; j < n; ++j) b += a[i][j] * x[j * m + r];
                a[i][n + r] = b;
            }
        }
        linear_system_matrix copy(a);
        ASSERT_TRUE(copy.solve());
        for (int j = 0; j < n; ++j)
            for (int r = 0; r < m; ++r) EXPECT_NEAR(copy[j][n + r], x[j * m + r], 1e-12);
        // The copy owns its block: the original is untouched.
        EXPECT_NE(a[0][n], copy[0][n]);
    }
    linear_system_matrix empty(0, 2);
    EXPECT_TRUE(empty.solve());
}

// Multiplies a factorisation back.
long long product(int const *primes, int const *counts, int n) {
    long long p = 1;
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < counts[i]; ++k) p *= primes[i];
    return p;
}

bool is_prime(int p) {
    if (p < 2) return false;
    for (int d = 2; static_cast<long long>(d) * d <= p; ++d)
        if (p % d == 0) return false;
    return true;
}

TEST_F(Polynomial, FactorIntIsCompleteIncludingTheLeftoverPrime) {
    std::mt19937 rng(11);
    std::vector<int> values = {2,   3,    4,      9,       25,         49,  97,
                               360, 1024, 2 * 97, 9 * 101, 2147483647, -84, 2147483646};
    for (int i = 0; i < 200; ++i) values.push_back(static_cast<int>(rng() % 1000000) + 2);
    for (int v : values) {
        int *primes = nullptr, *counts = nullptr;
        int const n = factor_int(v, &primes, &counts);
        EXPECT_EQ(product(primes, counts, n), std::llabs(v)) << v;
        for (int i = 0; i < n; ++i) {
            EXPECT_TRUE(is_prime(primes[i])) << v;
            EXPECT_GE(counts[i], 1);
            if (i) {
                EXPECT_LT(primes[i - 1], primes[i]) << v;
            }
        }
        vorn_discard(primes);
        vorn_discard(counts);
    }
    for (int v : {0, 1, -1}) {
        int *primes = nullptr, *counts = nullptr;
        EXPECT_EQ(factor_int(v, &primes, &counts), 0);
        EXPECT_EQ(primes, nullptr);
        EXPECT_EQ(counts, nullptr);
    }
    int *primes = nullptr, *counts = nullptr;
    EXPECT_EQ(factor_int(-2147483647 - 1, &primes, &counts), 1);
    EXPECT_EQ(primes[0], 2);
    EXPECT_EQ(counts[0], 31);
    vorn_discard(primes);
    vorn_discard(counts);
}

TEST_F(Polynomial, GcdIntMatchesEuclidAndPowIntRounds) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 200; ++trial) {
        int const common = static_cast<int>(rng() % 50) + 1;
        std::vector<int> values(static_cast<std::size_t>(trial % 4 + 1));
        for (int &v : values) v = common * (static_cast<int>(rng() % 2000) + 1);
        int expected = 0;
        for (int v : values) expected = std::gcd(expected, v);
        EXPECT_EQ(GCD_int(values.data(), static_cast<int>(values.size())), expected);
    }
    int coprime[] = {2 * 101, 3 * 101 * 103, 101 * 7};
    EXPECT_EQ(GCD_int(coprime, 3), 101);
    int with_zero[] = {12, 0, 18};
    EXPECT_EQ(GCD_int(with_zero, 3), 6);
    EXPECT_EQ(GCD_int(coprime, 0), 1);

    EXPECT_EQ(pow_int(2, 10), 1024);
    EXPECT_EQ(pow_int(3, 0), 1);
    EXPECT_EQ(pow_int(7, 3), 343);
    EXPECT_EQ(pow_int(-3, 3), -27);
    EXPECT_EQ(pow_int(2, -1), 1);
    EXPECT_EQ(pow_int(10, 12), INT_MAX);
    EXPECT_EQ(pow_int(-10, 11), INT_MIN);
}

}  // namespace
