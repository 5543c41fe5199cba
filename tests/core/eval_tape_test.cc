// Evaluation through a compiled tape gives exactly what the law's own evaluation gives: the same
// bits, the same errors, and no evaluation of what the law would not evaluate.
#include <cmath>
#include <string>
#include <vector>

#include "law_generator.h"
#include "law_test.h"
#include "ops/ops_test_util.h"

namespace {

class CompiledEvaluation : public LawTest {};

constexpr int enough_to_compile = 40;

law_ptr parse(char const *text) {
    law_ptr l = adopt(str_to_law(text));
    EXPECT_TRUE(l) << text << ": " << TEST_get_error();
    return l;
}

// The values of l at x, or the code of the error it raised (as a NaN-free marker).
struct outcome {
    std::vector<double> values;
    int error = 0;
    bool operator==(outcome const &o) const {
        return error == o.error && same_bits(values, o.values);
    }
};

outcome evaluate_at(law const *l, std::vector<double> const &x) {
    outcome out;
    out.values.assign(static_cast<std::size_t>(std::max(l->return_dim(), 1)), 0.0);
    try {
        l->evaluate(x.data(), out.values.data());
    } catch (vorn_exception const &e) {
        out.values.clear();
        out.error = e.code();
    }
    return out;
}

std::vector<double> point(law const *l, double t) {
    std::vector<double> x(static_cast<std::size_t>(std::max(l->take_dim(), 1)));
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = t + 0.37 * static_cast<double>(i);
    return x;
}

void warm(law const *l, std::vector<double> const &x) {
    for (int i = 0; i < enough_to_compile; ++i) evaluate_at(l, x);
}

double value(law const *l, double x) { return evaluate_at(l, {x}).values.at(0); }

int error_of(law const *l, double x) {
    try {
        double y;
        l->evaluate(&x, &y);
    } catch (vorn_exception const &e) {
        return lawutil_local_code(e);
    }
    return -1;
}

TEST_F(CompiledEvaluation, RandomTreesGiveTheBitsAndErrorsOfTheirOwnEvaluation) {
    allow_blocks_in_prototype_caches();
    generated::law_generator gen(20261205);
    double const ts[] = {-1.3, -0.2, 0, 0.3, 0.7, 1, 1.9, 40};
    int compiled = 0;
    for (int i = 0; i < 1500; ++i) {
        law_ptr const l = gen.make(1 + i % 7);
        std::vector<outcome> before;
        for (double t : ts) before.push_back(evaluate_at(l.get(), point(l.get(), t)));
        // Laws of random values differ from call to call by design.
        if (!(evaluate_at(l.get(), point(l.get(), ts[0])) == before[0])) continue;
        warm(l.get(), point(l.get(), 0.5));
        compiled += l->compiled() ? 1 : 0;
        for (std::size_t k = 0; k < std::size(ts); ++k)
            EXPECT_TRUE(evaluate_at(l.get(), point(l.get(), ts[k])) == before[k])
                << l->text() << " at " << ts[k];
    }
    EXPECT_GT(compiled, 500);
}

TEST_F(CompiledEvaluation, BranchesRunOnlyWhatTheLawWouldRun) {
    law_ptr const piecewise = parse("PIECEWISE(X<0,LN(-X),X>5,1/(X-7),SQRT(X))");
    law_ptr const both = parse("X>0 AND LN(X)>1");
    law_ptr const either = parse("X<=0 OR LN(X)>1");
    for (law const *l : {piecewise.get(), both.get(), either.get()}) warm(l, {0.5});
    ASSERT_TRUE(piecewise->compiled());
    EXPECT_EQ(value(piecewise.get(), -1), std::log(1.0));
    EXPECT_EQ(value(piecewise.get(), 6), 1 / (6.0 - 7));
    EXPECT_EQ(error_of(piecewise.get(), 7), LAW_ZERODIVIDE);
    EXPECT_EQ(value(piecewise.get(), 4), 2);
    EXPECT_EQ(value(both.get(), -1), 0);  // LN(-1) would raise
    EXPECT_EQ(value(both.get(), 3), 1);
    EXPECT_EQ(value(either.get(), -1), 1);
    EXPECT_EQ(value(either.get(), 2), 0);
}

// A right side of AND or OR that checks and calls nothing runs at every point, without a branch;
// one that may raise still runs only where the law runs it. Compared with the truths in C++, NaNs
// (which are true) among the points, one point at a time and many at once.
TEST_F(CompiledEvaluation, AndAndOrOfPlainSidesKeepTheirTruths) {
    law_ptr const interval = parse("(X>0.5 AND X<1.5) OR X=1");
    law_ptr const values = parse("X AND Y-1 OR Y*X");
    law_ptr const guarded = parse("X!=0 AND 1/X>2");
    double const nan = std::nan("");
    std::vector<double> const xs = {-INFINITY, -1, 0, 0.5, 0.75, 1, 1.5, 2, nan};
    auto const truth_of_interval = [](double x) { return (x > 0.5 && x < 1.5) || x == 1; };
    auto const truth_of_values = [](double x, double y) {
        return (x != 0 && y - 1 != 0) || y * x != 0;
    };
    for (law const *l : {interval.get(), values.get(), guarded.get()}) warm(l, {0.75, 0.5});
    ASSERT_TRUE(interval->compiled() && values->compiled() && guarded->compiled());
    std::vector<double> many(xs.size());
    interval->evaluate_many(xs.data(), many.data(), static_cast<int>(xs.size()));
    for (std::size_t i = 0; i < xs.size(); ++i) {
        double const expected = truth_of_interval(xs[i]) ? 1 : 0;
        EXPECT_EQ(value(interval.get(), xs[i]), expected) << xs[i];
        EXPECT_EQ(many[i], expected) << xs[i];
        for (double y : xs) {
            EXPECT_EQ(evaluate_at(values.get(), {xs[i], y}).values.at(0),
                      truth_of_values(xs[i], y) ? 1 : 0)
                << xs[i] << ", " << y;
        }
    }
    EXPECT_EQ(value(guarded.get(), 0), 0);  // 1/0 would raise
    EXPECT_EQ(value(guarded.get(), 0.25), 1);
    std::vector<double> const near_zero = {0, 0.25, 1};
    guarded->evaluate_many(near_zero.data(), many.data(), 3);
    EXPECT_EQ(std::vector<double>(many.begin(), many.begin() + 3), (std::vector<double>{0, 1, 0}));
}

TEST_F(CompiledEvaluation, RareCasesAndErrorsComeFromTheLaw) {
    law_ptr const ratio = parse("SIN(X)/X");
    law_ptr const inverse = parse("1/X");
    law_ptr const root = parse("(X-1)^0.5");
    law_ptr const odd = parse("(X-1)^3");
    for (law const *l : {ratio.get(), inverse.get(), root.get(), odd.get()}) {
        warm(l, {0.5});
        EXPECT_TRUE(l->compiled()) << l->text();
    }
    EXPECT_EQ(value(ratio.get(), 0), 1);  // the L'Hopital rule
    EXPECT_EQ(error_of(inverse.get(), 0), LAW_ZERODIVIDE);
    EXPECT_EQ(error_of(root.get(), 0), LAW_EXPONENT);
    EXPECT_EQ(value(odd.get(), -1), std::pow(-2.0, 3.0));
}

TEST_F(CompiledEvaluation, LawsOfUnknownBehaviourRunAsOftenAsInTheirTree) {
    law_ptr const once = adopt<law>(new counting_law(1));
    law_ptr const twice = adopt<law>(new counting_law(2));
    auto const *a = static_cast<counting_law const *>(once.get());
    auto const *b = static_cast<counting_law const *>(twice.get());
    // The same object on both sides of a sum runs once; used in two places it runs twice.
    law_ptr const l = build::times(build::plus(once, once), build::plus(twice, fn<sin_law>(twice)));
    warm(l.get(), {0.5});
    ASSERT_TRUE(l->compiled());
    a->calls = b->calls = 0;
    EXPECT_EQ(value(l.get(), 1), (2 + 2) * (3 + std::sin(3.0)));
    EXPECT_EQ(a->calls, 1);
    EXPECT_EQ(b->calls, 2);
}

TEST_F(CompiledEvaluation, PointsOfSeveralInputsCompositionsAndVectors) {
    law_ptr const sum = parse("X+Y*Z-X4");
    law_ptr const composed = parse("(X*Y+Z+2) O VEC(X+1,X^2)");  // Z reads the padding 0
    law_ptr const helix = parse("VEC(COS(X),SIN(X),X/5)");
    warm(sum.get(), {1, 2, 3, 4});
    warm(composed.get(), {1});
    warm(helix.get(), {1});
    EXPECT_EQ(evaluate_at(sum.get(), {1, 2, 3, 4}).values.at(0), 1 + 2 * 3 - 4);
    EXPECT_EQ(value(composed.get(), 2), 3 * 4 + 0 + 2);
    std::vector<double> const h = evaluate_at(helix.get(), {2}).values;
    EXPECT_EQ(h, (std::vector<double>{std::cos(2.0), std::sin(2.0), 2 / 5.0}));
    // A composite over a vector of no members gives no values, compiled or not: the caller's
    // buffer of none is left as it was.
    law_ptr const empty = adopt(new vector_law(nullptr, 0));
    law *members[] = {helix.get(), empty.get()};
    law_ptr const inner = adopt(new vector_law(members, 2));
    law_ptr const none = adopt(new composite_law(empty.get(), inner.get()));
    ASSERT_EQ(none->return_dim(), 0);
    for (int i = 0; i < enough_to_compile; ++i) {
        double untouched[1] = {-7.5};
        double const x[1] = {0.5};
        none->evaluate(x, untouched);
        ASSERT_EQ(untouched[0], -7.5) << i;
    }
    // An operation over a law of no values reads the zero the walk's buffer holds, compiled or
    // not: asin(0) = +0, where a negated slot of that law would have given -0.
    law_ptr const over_none = build::apply<arcsin_law>(build::negate(empty));
    for (int i = 0; i < enough_to_compile; ++i) {
        double y[1] = {7};
        double const x[1] = {0.5};
        over_none->evaluate(x, y);
        ASSERT_EQ(y[0], 0.0) << i;
        ASSERT_FALSE(std::signbit(y[0])) << i;
    }
}

TEST_F(CompiledEvaluation, VectorProductsComponentsAndRemaindersCompile) {
    // a = (X, 2, X^2), b = (1, X, 3) at X = 3: a.b = 3X + 3X^2 = 36 and
    // a x b = (2*3 - X^2*X, X^2*1 - X*3, X*X - 2*1) = (-21, 0, 7).
    law_ptr const dot = parse("DOT(VEC(X,2,X^2),VEC(1,X,3))");
    law_ptr const cross = parse("CROSS(VEC(X,2,X^2),VEC(1,X,3))");
    law_ptr const scalar_cross = parse("CROSS(X-X,VEC(1,X,3))");  // a scalar 0: the zero vector
    law_ptr const term = parse("TERM(VEC(X,2,X^2),3)+TERM(VEC(X,2),3)");
    law_ptr const mod = parse("MOD(X,2)-MOD(-X,2)");
    law_ptr const by_zero = parse("MOD(1,X-3)");
    for (law_ptr const &l : {dot, cross, scalar_cross, term, mod, by_zero}) {
        warm(l.get(), {1});
        EXPECT_TRUE(l->compiled()) << l->text();
    }
    EXPECT_EQ(value(dot.get(), 3), 36);
    EXPECT_EQ(evaluate_at(cross.get(), {3}).values, (std::vector<double>{-21, 0, 7}));
    EXPECT_EQ(evaluate_at(scalar_cross.get(), {3}).values, (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(value(term.get(), 3), 9);
    EXPECT_EQ(value(mod.get(), 3.5), 1.5 - 0.5);
    EXPECT_EQ(value(by_zero.get(), 5), 1);
    EXPECT_EQ(error_of(by_zero.get(), 3), LAW_ZERODIVIDE);
}

TEST_F(CompiledEvaluation, SharedAndDeepTreesCompileWithoutRecursingFar) {
    // A derivative shares its sub-trees many times over.
    law_ptr const nested = parse("SIN(COS(SIN(COS(SIN(COS(SIN(COS(X))))))))");
    law_ptr const d = adopt(nested->derivative(0));
    law_ptr const fresh = adopt(d->deep_copy());
    double const expected = value(fresh.get(), 0.4);
    warm(d.get(), {0.4});
    EXPECT_TRUE(d->compiled());
    EXPECT_EQ(value(d.get(), 0.4), expected);
    // A chain far deeper than one tape compiles into tapes of bounded depth.
    law_ptr chain = X();
    for (int i = 1; i <= 5000; ++i) chain = build::plus(chain, build::constant(1));
    warm(chain.get(), {0.5});
    EXPECT_EQ(value(chain.get(), 0.5), 5000.5);
    // Twenty doublings of one shared sum: a walk would meet X a million times, the code once.
    law_ptr wide = X();
    for (int i = 0; i < 20; ++i) wide = build::plus(wide, wide);
    EXPECT_EQ(value(wide.get(), 0.5), 0.5 * (1 << 20));
    EXPECT_TRUE(wide->compiled());
}

}  // namespace
