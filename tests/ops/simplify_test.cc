#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <law/base/output.h>
#include <law/lang/str_to_law.h>
#include <law/ops/elementary_laws.h>
#include <law/ops/law_builders.h>
#include <law/ops/law_multiple.h>
#include <law/ops/law_simplify.h>

#include "law_test.h"

namespace {

class Simplify : public LawTest {};

law_ptr parse(std::string const &text) {
    law_ptr l = adopt(str_to_law(text.c_str()));
    EXPECT_TRUE(l) << "cannot read " << text;
    return l;
}

std::string simplified(std::string const &text, int level = 1) {
    law_ptr l = parse(text);
    if (!l) return "<unreadable>";
    return adopt(law_simplify(l.get(), level, 0))->text();
}

int occurrences(std::string const &text, std::string const &what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

struct example {
    char const *in;
    char const *out;
};

TEST_F(Simplify, RewritesTheWorkedExamples) {
    std::vector<example> const rows = {
        {"x-x", "0"},       {"x*2", "2*X"},     {"2+x+3", "5+X"},
        {"x/x", "1"},       {"x^1", "X"},       {"x^0", "1"},
        {"(x^2)^3", "X^6"}, {"x-y", "X-Y"},     {"cos(x)^2+sin(x)^2", "1"},
        {"0+x", "X"},       {"x+0", "X"},       {"1*x", "X"},
        {"x*1", "X"},       {"0*x", "0"},       {"x*x", "X^2"},
        {"x*x^2*x", "X^4"}, {"2*x+3*x", "5*X"}, {"(-x)*(-y)", "X*Y"},
        {"x-(-y)", "X+Y"},  {"-x", "-X"},
    };
    for (auto const &r : rows) EXPECT_EQ(simplified(r.in), r.out) << r.in;
    law_ptr folded = adopt(law_simplify(parse("sin(3)").get(), 1, 0));
    ASSERT_TRUE(law_isa<constant_law>(folded.get())) << folded->text();
    EXPECT_DOUBLE_EQ(folded->eval(0), std::sin(3.0));
}

// Each operator rule once, with the value checked at a few points as well as the form.
TEST_F(Simplify, OperatorRulesRewriteAndKeepValues) {
    std::vector<example> const rows = {
        {"VEC(X,1)+VEC(2,X)", "VEC(2+X,1+X)"},
        {"2*VEC(X,Y)", "VEC(2*X,2*Y)"},
        {"VEC(X,Y)*X", "VEC(X^2,Y*X)"},
        {"VEC(X,1) O (X+1)", "VEC(1+X,1)"},
        {"(2*X+1) O (3*X+4)", "9+6*X"},
        {"3 O X", "3"},
        {"SIN(X) O X", "SIN(X)"},
        {"X^2*Y+X*Z", "X*(X*Y+Z)"},
        {"X*Y+X", "X*(1+Y)"},
        {"(2*X)^3*X", "8*X^4"},
        {"(X*Y)^2", "X^2*Y^2"},
        {"X^3*X^-1", "X^2"},
        {"X^Y*X^Z", "X^(Y+Z)"},
        {"(X^0.5)^2", "(X^0.5)^2"},
        {"(-X)*(-3)", "3*X"},
        {"-X/Y", "-X*Y^-1"},
    };
    for (auto const &r : rows) {
        law_ptr const l = parse(r.in);
        ASSERT_TRUE(l);
        law_ptr const s = adopt(law_simplify(l.get(), 1, 0));
        EXPECT_EQ(s->text(), r.out) << r.in;
        for (double x : {0.7, 1.3, 2.9}) {
            double in[3] = {x, x / 2 + 0.1, 1.7 - x};
            EXPECT_NEAR(first_value(s.get(), in), first_value(l.get(), in), 1e-12) << r.in;
        }
    }
}

TEST_F(Simplify, PostPassTidiesSignsOnly) {
    law_ptr const x = X(0, 'X'), y = X(1, 'Y');
    struct post_case {
        law_ptr in;
        char const *out;
    };
    std::vector<post_case> const rows = {
        {build::divide(build::negate(x), y), "-(X/Y)"},
        {build::minus(x, build::negate(y)), "X+Y"},
        {build::plus(x, build::negate(y)), "X-Y"},
        {build::times(C(-1), x), "-X"},
        {build::times(C(-2.5), x), "-(2.5*X)"},
        {build::times(C(2), x), "2*X"},
        {build::minus(x, y), "X-Y"},
    };
    for (auto const &r : rows) {
        int changed = -1;
        law_ptr const s = adopt(simplify_pass(r.in.get(), changed, 2));
        EXPECT_EQ(s->text(), r.out);
        EXPECT_EQ(changed, s->text() != r.in->text()) << r.out;
    }
}

TEST_F(Simplify, LeavesWhatNoRuleMatches) {
    for (char const *text : {"X", "SIN(X)", "X-Y", "COS(X)^2+SIN(2*X)^2", "X^Y"}) {
        law_ptr l = parse(text);
        law_ptr s = adopt(law_simplify(l.get(), 1, 0));
        EXPECT_EQ(s->text(), l->text()) << text;
    }
    law_ptr c = parse("cos(x)^2+sin(2*x)^2");
    law_ptr s = adopt(law_simplify(c.get(), 1, 0));
    EXPECT_FALSE(law_isa<constant_law>(s.get()));
}

TEST_F(Simplify, DeepPhaseCancelsConstantMultiples) {
    // Only level 2 compares numerator and denominator through polynomials.
    EXPECT_EQ(simplified("(2*x+2)/(x+1)", 2), "2");
    EXPECT_NE(simplified("(2*x+2)/(x+1)", 1), "2");
    law_ptr const kept = adopt(law_simplify(parse("(2*x+3)/(x+1)").get(), 2, 0));
    EXPECT_FALSE(law_isa<constant_law>(kept.get())) << kept->text();
}

TEST_F(Simplify, NumeratorDenominatorAndMultiple) {
    law_ptr q = build::divide(parse("2*x"), parse("x+1"));
    EXPECT_EQ(adopt(numerator(q.get()))->text(), "2*X");
    EXPECT_EQ(adopt(denominator(q.get()))->text(), "X+1");
    law_ptr r = build::times(parse("x"), build::power(parse("y"), build::constant(-1)));
    EXPECT_EQ(adopt(numerator(r.get()))->text(), "X");
    EXPECT_EQ(adopt(denominator(r.get()))->text(), "Y");
    law_ptr plain = parse("x+1");
    EXPECT_EQ(adopt(numerator(plain.get())).get(), plain.get());
    EXPECT_EQ(adopt(denominator(plain.get()))->text(), "1");

    EXPECT_DOUBLE_EQ(law_multiple(parse("x+1").get(), parse("3*x+3").get()), 3.0);
    EXPECT_DOUBLE_EQ(law_multiple(parse("x^2-1").get(), parse("(x+1)*(x-1)").get()), 1.0);
    EXPECT_EQ(law_multiple(parse("x+1").get(), parse("x+2").get()), 0.0);
    EXPECT_EQ(law_multiple(parse("x").get(), parse("y").get()), 0.0);
}

TEST_F(Simplify, TracesEachNamedRuleInItsFormat) {
    law_ptr l = parse("x^1");
    std::string const out = captured([&] { adopt(law_simplify(l.get(), 1, 1)); });
    EXPECT_EQ(out, "\nSimplify X^1\nA ^ 1 = A            X^1 -> X \n\n\nX\n\nPost Simplify\n\n");

    law_ptr m = parse("x-y");
    std::string const trace = captured([&] { adopt(law_simplify(m.get(), 1, 1)); });
    EXPECT_EQ(occurrences(trace, "B - A = B + (-1) * A"), 1);
    EXPECT_EQ(occurrences(trace, "(-c)*A=-(c*A)"), 1);
    EXPECT_EQ(occurrences(trace, "A+-(B)=A-B"), 1);

    std::string const verbose = captured([&] { adopt(law_simplify(m.get(), 1, 3)); });
    EXPECT_GT(occurrences(verbose, "working on "), 0);
    EXPECT_GT(occurrences(verbose, "big answer "), 0);
    // The trace level does not leak into later quiet runs.
    EXPECT_EQ(simplify_debug_level(), 0);
}

TEST_F(Simplify, SharedSubTreesAreVisitedOnce) {
    law_ptr shared = parse("sin(x+y*y)");
    law_ptr sum = build::plus(build::times(shared, X(2, 'Z')), build::times(X(3, 'W'), shared));
    std::string const out = captured([&] { adopt(law_simplify(sum.get(), 1, 3)); });
    std::string const text = "working on " + shared->text() + "\n";
    EXPECT_EQ(occurrences(out, text), 1) << out;
    // The post pass too rewrites a shared sub-law once, and its form stays shared: the
    // difference the main pass wrote as a sum is written back once for both functions of it.
    law_ptr const difference = parse("x-y");
    law_ptr const both =
        build::plus(make_law<exp_law>(difference.get()), make_law<cos_law>(difference.get()));
    std::string const trace = captured([&] { adopt(law_simplify(both.get(), 1, 1)); });
    EXPECT_EQ(occurrences(trace, "A+-(B)=A-B"), 1) << trace;
    law_ptr const s = adopt(law_simplify(both.get(), 1, 0));
    EXPECT_EQ(s->text(), "EXP(X-Y)+COS(X-Y)");
    auto const *top = law_cast<binary_law>(s.get());
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(law_cast<unary_law>(top->fleft())->fsub(),
              law_cast<unary_law>(top->fright())->fsub());
}

TEST_F(Simplify, ConcurrentRunsOverSharedTreesAgree) {
    law_ptr const shared = parse("(x*2+x)/x - sin(3)*y^1");
    std::vector<std::string> results(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int k = 0; k < 20; ++k) {
                // Fresh roots over one shared sub-tree: the records of the shared part are
                // read and written from every thread.
                law_ptr const root = build::plus(shared, C(k));
                law_ptr const s = adopt(law_simplify(root.get(), 1 + k % 2, 0));
                if (k == 0) results[t] = s->text();
            }
        });
    }
    for (auto &th : threads) th.join();
    law_ptr const zero_root = build::plus(shared, C(0));
    std::string const single = adopt(law_simplify(zero_root.get(), 1, 0))->text();
    for (auto const &r : results) EXPECT_EQ(r, single);
}

// The kept operands of long products are shared by every thread: threads differentiating nestings
// of their own and one shared nesting, whose products are kept, extended and dropped meanwhile,
// get the forms one thread gets.
TEST_F(Simplify, ConcurrentDerivativesOfNestingsAgree) {
    auto nesting = [](char const *open, char const *close, int n) {
        std::string text = "X";
        for (int k = 0; k < n; ++k) text = open + text + close;
        return parse(text);
    };
    law_ptr const shared = nesting("ABS(", ")", 90);
    std::vector<std::string> forms(4), own(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            law_ptr const mine = nesting(t % 2 ? "MAX(" : "ABS(", t % 2 ? ",1)" : "-0.5)", 80 + t);
            own[t] = adopt(mine->derivative(0))->text();
            forms[t] = adopt(shared->derivative(0))->text();
        });
    }
    for (auto &th : threads) th.join();
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(forms[t], forms[0]);
        law_ptr const alone = nesting(t % 2 ? "MAX(" : "ABS(", t % 2 ? ",1)" : "-0.5)", 80 + t);
        EXPECT_EQ(own[t], adopt(alone->derivative(0))->text());
    }
}

// Chains of hundreds of operands: every chain rule looks only across the two sides of a node,
// so the work stays quadratic in the length.
TEST_F(Simplify, LongChainsSimplify) {
    struct chain_case {
        std::string text;
        char const *out;
    };
    std::string sum = "X", product = "X", factors = "(X+0)";
    for (int i = 1; i < 400; ++i) {
        sum += "+X";
        product += "*X";
        factors += "*(X+" + std::to_string(i % 3) + ")";
    }
    std::vector<chain_case> const rows = {{sum, "400*X"}, {product, "X^400"}, {factors, nullptr}};
    for (auto const &r : rows) {
        law_ptr const l = parse(r.text);
        ASSERT_TRUE(l);
        law_ptr const s = adopt(law_simplify(l.get(), 2, 0));
        if (r.out) {
            EXPECT_EQ(s->text(), r.out);
        }
        double const x = 1.001;
        EXPECT_NEAR(s->eval(x) / l->eval(x), 1.0, 1e-9);
    }
}

// Differences whose terms share one long product (as the derivative of ABS(f) holds the derivative
// of f twice, at each level of a nesting) are factored through the product's kept operands; the
// forms are those of a short product, which the rules walk.
TEST_F(Simplify, TermsSharingALongProductFactorAsShortOnesDo) {
    auto form = [](int n, std::string const &a, std::string const &b) {
        std::string text = "SIN(X+1)";
        for (int k = 2; k <= n; ++k) text += "*SIN(X+" + std::to_string(k) + ")";
        law_ptr const run = parse(text);
        law_ptr const sum = build::minus(build::times(parse(a), run), build::times(parse(b), run));
        law_ptr const s = adopt(law_simplify(sum.get(), 1, 0));
        double const x = 0.3;
        EXPECT_NEAR(s->eval(x), sum->eval(x), 1e-12 * std::fabs(sum->eval(x))) << a << " " << b;
        return std::pair{s->text(), adopt(law_simplify(run.get(), 1, 0))->text()};
    };
    // The terms' other factors: none shared, one shared, powers, constants.
    std::pair<char const *, char const *> const others[] = {
        {"COS(X)", "EXP(X)"}, {"COS(X)", "1-COS(X)"}, {"COS(X)*X", "COS(X)*EXP(X)"},
        {"X^2", "X"},         {"2", "3*EXP(X)"},      {"EXP(X)^0.5", "EXP(X)"}};
    for (auto const &[a, b] : others) {
        auto const [short_form, short_run] = form(3, a, b);
        auto const [long_form, long_run] = form(100, a, b);
        std::string expected = short_form;
        auto const at = expected.find(short_run);
        ASSERT_NE(at, std::string::npos) << short_form;
        expected.replace(at, short_run.size(), long_run);
        EXPECT_EQ(long_form, expected) << a << " " << b;
    }
}

// A commutative operator whose own rule moves constants right, against the global rule that
// moves them left: a rule pair that never settles.
class contrary_law : public binary_law {
  public:
    static int id() {
        static int const assigned = new_law_id();
        return assigned;
    }
    int type() const override { return id(); }
    int isa(int t) const override { return t == id() || binary_law::isa(t); }
    char const *class_name() const override { return "contrary_law"; }
    char const *symbol(law_symbol_type) const override { return "&"; }
    contrary_law(law *a, law *b) : binary_law(a, b) {}
    int associative() const override { return 1; }
    int commutative() const override { return 1; }
    law *make_one(law *a, law *b) const override { return new contrary_law(a, b); }
    void evaluate(double const *x, double *y) const override {
        y[0] = first_value(fleft(), x) + first_value(fright(), x);
    }
    law *sub_simplify(int, char const *&name) const override {
        if (!law_isa<constant_law>(fleft()) || law_isa<constant_law>(fright())) return nullptr;
        if (!is_null_ref(name)) name = "contrary";
        return make_one(fright(), fleft());
    }
};

TEST_F(Simplify, ACyclingRulePairIsReportedAndStopped) {
    law_ptr l = make_law<contrary_law>(C(2).get(), X().get());
    law_ptr s;
    std::string const out = captured([&] { s = adopt(law_simplify(l.get(), 1, 0)); });
    EXPECT_NE(out.find("round limit"), std::string::npos) << out;
    ASSERT_TRUE(s);
    EXPECT_DOUBLE_EQ(s->eval(3.0), 5.0);
}

// ---------------------------------------------------------------- generated trees

struct tree_maker {
    std::mt19937 rng;
    explicit tree_maker(unsigned seed) : rng(seed) {}

    int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

    law_ptr leaf() {
        static double const values[] = {0, 1, -1, 2, 3, 0.5, -2};
        switch (pick(4)) {
            case 0:
                return X(0, 'X');
            case 1:
                return X(1, 'Y');
            case 2:
                return C(values[pick(7)]);
            default:
                return X(0, 'X');
        }
    }

    law_ptr tree(int depth) {
        if (depth == 0 || pick(5) == 0) return leaf();
        switch (pick(9)) {
            case 0:
                return build::plus(tree(depth - 1), tree(depth - 1));
            case 1:
                return build::minus(tree(depth - 1), tree(depth - 1));
            case 2:
                return build::times(tree(depth - 1), tree(depth - 1));
            case 3:
                return build::divide(tree(depth - 1), tree(depth - 1));
            case 4:
                return build::power(tree(depth - 1), C(pick(5) - 1));
            case 5:
                return build::negate(tree(depth - 1));
            case 6:
                return make_law<sin_law>(tree(depth - 1).get());
            case 7:
                return make_law<cos_law>(tree(depth - 1).get());
            default:
                return build::plus(
                    build::power(make_law<cos_law>(tree(depth - 2 < 0 ? 0 : depth - 2).get()),
                                 C(2)),
                    build::power(make_law<sin_law>(X().get()), C(2)));
        }
    }
};

// The first value at (x, y), or NaN when the law raises there or gives no finite value.
double value_at(law const *l, double x, double y) {
    double in[2] = {x, y};
    try {
        double const v = first_value(l, in);
        return std::isfinite(v) ? v : NAN;
    } catch (vorn_exception const &) {
        return NAN;
    }
}

TEST_F(Simplify, GeneratedTreesEndAndKeepTheirValues) {
    tree_maker make(20261205);
    std::uniform_real_distribution<double> u(-3, 3);
    int compared = 0;
    for (int trial = 0; trial < 400; ++trial) {
        law_ptr const l = make.tree(5);
        int const level = 1 + trial % 2;
        law_ptr s;
        bool raised = false;
        std::string const out = captured([&] {
            try {
                s = adopt(law_simplify(l.get(), level, 0));
            } catch (vorn_exception const &) {
                raised = true;
            }
        });
        if (raised) {
            // Only a constant part that cannot be evaluated may stop a simplification, and then
            // the law cannot be evaluated anywhere either.
            for (int k = 0; k < 4; ++k)
                EXPECT_TRUE(std::isnan(value_at(l.get(), u(make.rng), u(make.rng)))) << l->text();
            continue;
        }
        EXPECT_EQ(out.find("round limit"), std::string::npos) << l->text() << "\n" << out;
        ASSERT_TRUE(s);
        for (int k = 0; k < 8; ++k) {
            double const x = u(make.rng), y = u(make.rng);
            double const before = value_at(l.get(), x, y);
            if (std::isnan(before) || std::fabs(before) > 1e8) continue;
            // Where a nudge in the last digits moves the value, rounding decides it: skip.
            double const nudged = value_at(l.get(), x * (1 + 1e-12), y * (1 + 1e-12));
            if (!(std::fabs(nudged - before) < 1e-9 * (1 + std::fabs(before)))) continue;
            double const after = value_at(s.get(), x, y);
            ++compared;
            EXPECT_NEAR(after, before, 1e-7 * (1 + std::fabs(before)))
                << l->text() << " -> " << s->text() << " at (" << x << ", " << y << ")";
        }
    }
    EXPECT_GT(compared, 500);
}

}  // namespace
