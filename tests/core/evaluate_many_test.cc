// Many points at once give, point by point, the bits and the errors of evaluating one point at a
// time; laws of any depth evaluate without exhausting the stack.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "law_generator.h"
#include "law_test.h"
#include "ops/ops_test_util.h"

namespace {

class ManyPoints : public LawTest {};

law_ptr parse(char const *text) {
    law_ptr l = adopt(str_to_law(text));
    EXPECT_TRUE(l) << text << ": " << TEST_get_error();
    return l;
}

// n points of l's inputs, coordinate i of point k at [k * dim + i], with a few repeated so that
// blocks see the same point twice.
std::vector<double> points_for(law const *l, int n) {
    int const dim = l->take_dim();
    std::vector<double> p(static_cast<std::size_t>(n * dim));
    for (int k = 0; k < n; ++k)
        for (int i = 0; i < dim; ++i)
            p[static_cast<std::size_t>(k * dim + i)] = -2.1 + 4.3 * ((k * 7 + i * 3) % 23) / 22.0;
    return p;
}

// Point k evaluated alone: its values (NaN when it fails) and its error code (0 when none).
void one_by_one(law const *l, std::vector<double> const &p, int n, std::vector<double> &values,
                std::vector<int> &errors) {
    int const in = l->take_dim(), out = l->return_dim();
    values.assign(static_cast<std::size_t>(n * out), 0);
    errors.assign(static_cast<std::size_t>(n), 0);
    std::vector<double> y(static_cast<std::size_t>(std::max(out, 1)));
    for (int k = 0; k < n; ++k) {
        try {
            l->evaluate(p.data() + k * in, y.data());
            for (int j = 0; j < out; ++j) values[static_cast<std::size_t>(k * out + j)] = y[j];
        } catch (vorn_exception const &e) {
            errors[static_cast<std::size_t>(k)] = e.code();
            for (int j = 0; j < out; ++j)
                values[static_cast<std::size_t>(k * out + j)] = std::nan("");
        }
    }
}

TEST_F(ManyPoints, RandomTreesGiveTheBitsAndErrorsOfOnePointAtATime) {
    allow_blocks_in_prototype_caches();
    generated::law_generator gen(20261206);
    int checked = 0;
    for (int i = 0; i < 600; ++i) {
        law_ptr const l = gen.make(1 + i % 7);
        int const n = (i % 3 == 0) ? 1 : (i % 3 == 1 ? 17 : 300);  // one, a block, past a block
        int const in = l->take_dim(), out = l->return_dim();
        std::vector<double> const p = points_for(l.get(), n);
        std::vector<double> want;
        std::vector<int> want_errors;
        one_by_one(l.get(), p, n, want, want_errors);
        std::vector<double> again;
        std::vector<int> again_errors;
        one_by_one(l.get(), p, n, again, again_errors);
        // Laws of random values differ from call to call by design.
        bool repeatable = again_errors == want_errors;
        for (std::size_t k = 0; repeatable && k < want.size(); ++k)
            repeatable = same_bits(want[k], again[k]);
        if (!repeatable) continue;
        ++checked;

        std::vector<double> got(want.size());
        std::vector<int> errors(static_cast<std::size_t>(n), -1);
        l->evaluate_many(p.data(), got.data(), n, errors.data());
        EXPECT_EQ(errors, want_errors) << l->text();
        for (std::size_t k = 0; k < want.size(); ++k)
            EXPECT_TRUE(same_bits(got[k], want[k])) << l->text() << " value " << k;

        // The same points as a structure of arrays.
        std::vector<std::vector<double>> columns(static_cast<std::size_t>(in)),
            rows(static_cast<std::size_t>(out), std::vector<double>(static_cast<std::size_t>(n)));
        std::vector<double const *> inputs;
        std::vector<double *> outputs;
        for (int c = 0; c < in; ++c) {
            for (int k = 0; k < n; ++k)
                columns[c].push_back(p[static_cast<std::size_t>(k * in + c)]);
            inputs.push_back(columns[c].data());
        }
        for (auto &r : rows) outputs.push_back(r.data());
        l->evaluate_many(inputs.data(), outputs.data(), n, errors.data());
        EXPECT_EQ(errors, want_errors) << l->text();
        for (int k = 0; k < n; ++k)
            for (int j = 0; j < out; ++j)
                EXPECT_TRUE(same_bits(rows[j][k], want[static_cast<std::size_t>(k * out + j)]))
                    << l->text();

        // Without a report, the first failing point raises its own error.
        auto const first_failure =
            std::find_if(want_errors.begin(), want_errors.end(), [](int e) { return e != 0; });
        int raised = 0;
        try {
            l->evaluate_many(p.data(), got.data(), n);
        } catch (vorn_exception const &e) {
            raised = e.code();
        }
        EXPECT_EQ(raised, first_failure == want_errors.end() ? 0 : *first_failure) << l->text();
    }
    EXPECT_GT(checked, 400);
}

// A sine and a cosine of one value come from one sincos over a block, pairs overlapping or not,
// with the bits of std::sin and std::cos; a value written again between them makes no pair.
TEST_F(ManyPoints, SinesAndCosinesOfOneValueKeepTheirBits) {
    struct pair_case {
        char const *text;
        std::vector<double> (*want)(double x, double y);
    };
    pair_case const cases[] = {
        {"VEC(COS(X),SIN(X),X/5)",
         [](double x, double) {
             return std::vector<double>{std::cos(x), std::sin(x), x / 5};
         }},
        {"VEC(SIN(X),SIN(Y),COS(X),COS(Y))",
         [](double x, double y) {
             return std::vector<double>{std::sin(x), std::sin(y), std::cos(x), std::cos(y)};
         }},
        {"VEC(SIN(X*Y),COS(X)-SIN(Y),COS(X*Y)+COS(Y),SIN(X))",
         [](double x, double y) {
             return std::vector<double>{std::sin(x * y), std::cos(x) - std::sin(y),
                                        std::cos(x * y) + std::cos(y), std::sin(x)};
         }},
    };
    int const n = 700;  // past two blocks
    std::vector<double> p(2 * n);
    for (int k = 0; k < n; ++k) {
        p[2 * k] = std::ldexp(1.0 + k * 0.0123, k % 40 - 20) * (k % 3 ? 1 : -1);
        p[2 * k + 1] = -3.7 + 0.011 * k;
    }
    for (pair_case const &c : cases) {
        law_ptr const l = parse(c.text);
        int const out = l->return_dim();
        std::vector<double> many(static_cast<std::size_t>(n * out));
        std::vector<double> points = p;
        if (l->take_dim() == 1)
            for (int k = 0; k < n; ++k) points[static_cast<std::size_t>(k)] = p[2 * k];
        l->evaluate_many(points.data(), many.data(), n);
        for (int k = 0; k < n; ++k) {
            double const x = points[static_cast<std::size_t>(k * l->take_dim())];
            std::vector<double> const want = c.want(x, l->take_dim() == 1 ? 0 : p[2 * k + 1]);
            std::vector<double> const got(many.begin() + k * out, many.begin() + (k + 1) * out);
            ASSERT_TRUE(same_bits(got, want)) << c.text << " at point " << k;
        }
    }
}

TEST_F(ManyPoints, OnePointOutsideTheDomainLosesNoOther) {
    law_ptr const inverse = parse("1/X");
    law_ptr const root = parse("SQRT(X)");
    law_ptr const ratio = parse("SIN(X)/X");
    std::vector<double> const xs = {2, 0, -4, 0.5};
    std::vector<double> y(4);
    std::vector<int> errors(4);
    inverse->evaluate_many(xs.data(), y.data(), 4, errors.data());
    EXPECT_EQ(errors, (std::vector<int>{0, lawutil_code(LAW_ZERODIVIDE), 0, 0}));
    EXPECT_EQ(y[0], 0.5);
    EXPECT_TRUE(std::isnan(y[1]));
    EXPECT_EQ(y[2], -0.25);
    EXPECT_EQ(y[3], 2);
    root->evaluate_many(xs.data(), y.data(), 4, errors.data());
    EXPECT_EQ(errors, (std::vector<int>{0, 0, lawutil_code(LAW_SQRT), 0}));
    EXPECT_EQ(y[0], std::sqrt(2.0));
    EXPECT_EQ(y[1], 0);
    ratio->evaluate_many(xs.data(), y.data(), 4, errors.data());
    EXPECT_EQ(errors, (std::vector<int>(4, 0)));
    EXPECT_EQ(y[1], 1);  // 0/0 by the L'Hopital rule
    EXPECT_EQ(y[3], std::sin(0.5) / 0.5);
    // Without a report the error of the first failing point is raised.
    try {
        inverse->evaluate_many(xs.data(), y.data(), 4);
        ADD_FAILURE() << "no error";
    } catch (vorn_exception const &e) {
        EXPECT_EQ(lawutil_local_code(e), LAW_ZERODIVIDE);
    }
    EXPECT_EQ(y[0], 0.5);
    EXPECT_EQ(inverse->evaluate_many(std::vector<double>{4, 8}),
              (std::vector<double>{0.25, 0.125}));
}

TEST_F(ManyPoints, BothLayoutsOfSeveralInputs) {
    law_ptr const f = parse("SQRT(X)*Y");
    double const points[] = {4, 1, -1, 2, 9, 0.5};
    double values[3];
    int errors[3];
    f->evaluate_many(points, values, 3, errors);
    EXPECT_EQ(values[0], 2);
    EXPECT_TRUE(std::isnan(values[1]));
    EXPECT_EQ(values[2], 1.5);
    EXPECT_EQ(errors[1], lawutil_code(LAW_SQRT));
    double const xs[] = {4, -1, 9}, ys[] = {1, 2, 0.5};
    double const *inputs[] = {xs, ys};
    double column[3];
    double *outputs[] = {column};
    f->evaluate_many(inputs, outputs, 3, errors);
    EXPECT_EQ(column[2], 1.5);
    EXPECT_EQ(errors[0] + errors[2], 0);
    law_ptr const helix = parse("VEC(COS(X),SIN(X),X/5)");
    double const ts[] = {0, 1};
    double v[6];
    helix->evaluate_many(ts, v, 2);
    EXPECT_EQ(v[3], std::cos(1.0));
    EXPECT_EQ(v[5], 1 / 5.0);
}

// Branches run over a whole block, each point taking its own: the side a point does not take may
// fail there, or divide by zero, without touching that point's value.
TEST_F(ManyPoints, BranchesOverABlockTakeEachPointsOwnSide) {
    // Each product and sum rounded on its own, as the law does.
    auto const horner = [](double x) {
        double q = x - 3;
        for (double c : {2.0, -1.0, 4.0, -7.0}) {
            double const product = q * x;
            q = product + c;
        }
        return q;
    };
    struct {
        char const *text;
        double (*want)(double);
    } const cases[] = {
        {"PIECEWISE(X>0,LN(X),X<-1,1/(X+2),0)",
         [](double x) { return x > 0    ? std::log(x)
                               : x < -1 ? 1 / (x + 2)
                                        : 0; }},
        {"(X>0.5 AND 1/X<1.5) OR X=-1",  // 1/X only after X>0.5
         [](double x) { return (x > 0.5 && 1 / x < 1.5) || x == -1 ? 1.0 : 0.0; }},
        {"ABS(X-1)+MAX(X,1)+MIN(X^2,0.5)",
         [](double x) { return std::fabs(x - 1) + std::max(x, 1.0) + std::min(x * x, 0.5); }},
        {"((((X-3)*X+2)*X-1)*X+4)*X-7", horner},
    };
    std::vector<double> xs;
    for (int k = 0; k < 700; ++k) xs.push_back(-3 + 6.0 * k / 699);
    xs[350] = 0;  // LN(0) and 1/0 on the sides this point does not take
    xs[351] = -1;
    std::vector<double> y(xs.size());
    std::vector<int> errors(xs.size());
    for (auto const &c : cases) {
        law_ptr const l = parse(c.text);
        l->evaluate_many(xs.data(), y.data(), static_cast<int>(xs.size()), errors.data());
        for (std::size_t k = 0; k < xs.size(); ++k) {
            EXPECT_EQ(errors[k], 0) << c.text << " at " << xs[k];
            EXPECT_EQ(y[k], c.want(xs[k])) << c.text << " at " << xs[k];
        }
        // The values may take the place of the points.
        std::vector<double> in_place = xs;
        l->evaluate_many(in_place.data(), in_place.data(), static_cast<int>(xs.size()));
        EXPECT_EQ(in_place, y) << c.text;
    }
}

// The depths that text and builders make when a law is long: sums, products and nests.
TEST_F(ManyPoints, LawsOfAnyDepthEvaluateWithoutExhaustingTheStack) {
    law_ptr const x = X();
    law_ptr sum = x;
    for (int i = 1; i < 1000000; ++i) sum = build::plus(sum, x);
    law_ptr product = x;
    for (int i = 1; i < 100000; ++i) product = build::times(product, x);
    law_ptr right_nested = x;  // X+(X+(X+...)), as nested brackets read
    for (int i = 1; i < 100000; ++i) right_nested = build::plus(x, right_nested);
    law_ptr sines = x;
    for (int i = 0; i < 10000; ++i) sines = fn<sin_law>(sines);
    double sine = 0.7;
    for (int i = 0; i < 10000; ++i) sine = std::sin(sine);

    EXPECT_EQ(sum->eval(0.5), 500000);
    EXPECT_EQ(product->eval(-1), 1);  // an even number of factors
    EXPECT_EQ(right_nested->eval(0.25), 25000);
    EXPECT_EQ(sines->eval(0.7), sine);
    std::vector<double> const xs = {0.5, -1, 0.25, 0.7};
    EXPECT_EQ(sum->evaluate_many(xs)[2], 250000);
    EXPECT_EQ(product->evaluate_many(xs)[1], 1);
    EXPECT_EQ(right_nested->evaluate_many(xs)[0], 50000);
    EXPECT_EQ(sines->evaluate_many(xs)[3], sine);
}

}  // namespace
