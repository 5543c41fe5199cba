// Simplified forms as callers meet them: through law::simplify, derivative and law_simplify,
// not through one class's rules.
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <law/lang/str_to_law.h>
#include <law/ops/law_builders.h>
#include <law/ops/law_simplify.h>

#include "law_test.h"

namespace {

class PublicSimplification : public LawTest {};

law_ptr parse(std::string const &text) {
    law_ptr l = adopt(str_to_law(text.c_str()));
    EXPECT_TRUE(l) << "cannot read " << text;
    return l;
}

bool constant_of(law const *l, double v) {
    return l && l->type() == law_id::constant_law &&
           static_cast<constant_law const *>(l)->value() == v;
}

// What the rules take out of every form they write: a product with 0 or 1, a sum with 0, a power
// of 1. Returns the first such law's text, empty when there is none.
std::string leftover(law const *l) {
    if (auto const *b = law_cast<binary_law>(l)) {
        law const *a = b->fleft(), *c = b->fright();
        int const t = l->type();
        if (t == law_id::times_law &&
            (constant_of(a, 0) || constant_of(c, 0) || constant_of(a, 1) || constant_of(c, 1)))
            return l->text();
        if (t == law_id::plus_law && (constant_of(a, 0) || constant_of(c, 0))) return l->text();
        if (t == law_id::exponent_law && constant_of(c, 1)) return l->text();
        std::string const left = leftover(a);
        return left.empty() ? leftover(c) : left;
    }
    if (auto const *u = law_cast<unary_law>(l)) return leftover(u->fsub());
    if (auto const *m = law_cast<multiple_law>(l)) {
        for (int i = 0; i < m->fsub_num(); ++i)
            if (std::string const s = leftover(m->fsub()[i]); !s.empty()) return s;
    }
    return {};
}

// The value at x, or NaN when the law raises there.
double value_or_nan(law const *l, double x) {
    try {
        return l->eval(x);
    } catch (vorn_exception const &) {
        return NAN;
    }
}

// A central difference of the fourth order: the derivative computed another way.
double difference_quotient(law const *l, double x) {
    double const h = 1e-3 * std::max(1.0, std::fabs(x));
    return (8 * (l->eval(x + h) - l->eval(x - h)) - (l->eval(x + 2 * h) - l->eval(x - 2 * h))) /
           (12 * h);
}

struct derivative_case {
    char const *law;
    char const *derivative;
};

TEST_F(PublicSimplification, DerivativesComeBackInTheRulesForms) {
    std::vector<derivative_case> const rows = {
        {"1/X", "-(X^-2)"},
        {"X^3", "3*X^2"},
        {"(X+1)/(X-1)", "((-1+X)-(1+X))*(-1+X)^-2"},
        {"SQRT(X)*SQRT(X+1)", "0.5*(X^0.5)^-1*(1+X)^0.5+0.5*((1+X)^0.5)^-1*X^0.5"},
        {"SIN(X)*X^2", "X*(COS(X)*X+2*SIN(X))"},
        {"EXP(2*X)", "2*EXP(2*X)"},
        {"LN(X)", "X^-1"},
        {"TAN(X)", "SEC(X)^2"},
        {"X^X", "(1+LN(X))*X^X"},
        {"X/(1+X^2)", "(1-X^2)*(1+X^2)^-2"},
        {"COS(X)^2+SIN(X)^2", "0"},
        {"3*X+5", "3"},
        {"VEC(X,X^2,1)", "VEC(1,2*X,0)"},
    };
    for (auto const &r : rows) {
        law_ptr const l = parse(r.law);
        ASSERT_TRUE(l);
        law_ptr const d = adopt(l->derivative(0));
        EXPECT_EQ(d->text(), r.derivative) << r.law;
        // The cache hands back the same law, and it is its own simplified form.
        EXPECT_EQ(adopt(l->derivative(0)).get(), d.get());
        EXPECT_EQ(adopt(d->simplify(1, 0))->text(), d->text()) << r.law;
    }
}

TEST_F(PublicSimplification, DerivativesKeepNoIdentityOperationsAndMatchDifferences) {
    std::vector<char const *> const laws = {
        "1/X",          "(X+1)/(X-1)", "SQRT(X)*SQRT(X+1)",  "SIN(X)*COS(2*X)*X",
        "EXP(X^2)/X",   "LN(X^2+1)",   "ARCTAN(X)*X^3",      "(X^2+3*X+1)^4",
        "X^2.5+X^-1.5", "SINH(X)*X",   "1/(1+EXP(-X))",      "ARCSIN(X/2)+ARCCOS(X/3)",
        "TAN(X)/X",     "X^X",         "COSH(X)^2-SINH(X)^2"};
    std::mt19937 rng(29);
    std::uniform_real_distribution<double> u(0.2, 0.9);
    for (char const *text : laws) {
        law_ptr const l = parse(text);
        ASSERT_TRUE(l);
        law_ptr const d = adopt(l->derivative(0));
        EXPECT_EQ(leftover(d.get()), "") << text << " -> " << d->text();
        law_ptr const d2 = adopt(d->derivative(0));
        EXPECT_EQ(leftover(d2.get()), "") << text << " second -> " << d2->text();
        for (int k = 0; k < 5; ++k) {
            double const x = u(rng);
            double const expected = difference_quotient(l.get(), x);
            EXPECT_NEAR(d->eval(x), expected, 1e-7 * (1 + std::fabs(expected)))
                << text << " at " << x;
        }
    }
}

// d's text and the bits of its value at 0.7 (or the error that raises there).
std::string form_and_value(law const *d) {
    char value[64];
    try {
        std::snprintf(value, sizeof value, "%a", d->eval(0.7));
    } catch (vorn_exception const &e) {
        std::snprintf(value, sizeof value, "%s", e.code_name());
    }
    return d->text() + " = " + value;
}

// form_and_value of l's derivative, or the name of the error it raises.
std::string derivative_or_error(law const *l) {
    try {
        return form_and_value(adopt(l->derivative(0)).get());
    } catch (vorn_exception const &e) {
        return e.code_name();
    }
}

// The simplified form of the full product, quotient or power rule for l, built term by term
// from the sides' derivatives, as form_and_value gives it, or the name of the error its
// simplification raises.
std::string full_rule_form(law const *l) {
    try {
        auto const *b = static_cast<binary_law const *>(l);
        law_ptr const a = share(b->fleft()), c = share(b->fright());
        law_ptr const da = build::d(a.get(), 0), dc = build::d(c.get(), 0);
        law_ptr raw;
        if (l->type() == law_id::times_law) {
            raw = build::plus(build::times(da, c), build::times(dc, a));
        } else if (l->type() == law_id::division_law) {
            raw = build::divide(build::minus(build::times(c, da), build::times(a, dc)),
                                build::power(c, build::constant(2)));
        } else {
            double const n = c->eval(0.0);
            raw = n == 1
                      ? da
                      : build::times(build::times(c, da), build::power(a, build::constant(n - 1)));
        }
        return form_and_value(adopt(raw->simplify(1, 0)).get());
    } catch (vorn_exception const &e) {
        return e.code_name();
    }
}

// A product or quotient with a number for one side is differentiated without building the term
// that differentiates the number, and where the rules would only move and fold numbers, in the
// form they end with; a power by a number of a law whose derivative is 1 leaves out the factor
// 1. The forms, values and errors are still those of the full rules: numbers of every kind (0,
// -0, infinities, subnormals, numbers whose squares overflow or vanish, numbers the rules take
// for one another, named ones) beside laws that raise, that have no derivative in X, that are
// restricted, constant-valued or vectors, and laws whose derivatives carry a number or are
// powers of one.
TEST_F(PublicSimplification, MultiplesByNumbersDifferentiateAsTheFullRules) {
    std::vector<std::string> const numbers = {"3",      "-0.5",  "0",        "-0",   "1",
                                              "-1",     "1e308", "4.5e-320", "1e-8", "1e160",
                                              "1e-160", "2e-15", "PI",       "6"};
    std::vector<std::string> const laws = {"X^3",
                                           "SIN(X)*X",
                                           "Y",
                                           "X*Y",
                                           "LN(-1)+X",
                                           "(1/0)*X",
                                           "SQRT(X)",
                                           "LN(X)",
                                           "DOMAIN(X,0,1)",
                                           "SIN(2)",
                                           "X/1e-308",
                                           "X*1e308*1e308",
                                           "(X-1)*-1",
                                           "X^2/4.5e-320",
                                           "(3*Y)/1e-308",
                                           "COS(X)^2+SIN(X)^2/-1",
                                           "(X^2+1)/(X^2-4*X+5)",
                                           "VEC(X,X^2)",
                                           "EXP(X)",
                                           "2^X",
                                           "X^2/6",
                                           "1e-15*X^2",
                                           "-(X^2)",
                                           "SIN(3*X)",
                                           "X",
                                           "X+2",
                                           "(-X/3)*4.5e-320"};
    for (std::string const &n : numbers) {
        for (std::string const &f : laws) {
            for (std::string const &text :
                 {n + "*(" + f + ")", "(" + f + ")*" + n, "(" + f + ")/" + n, "(" + f + ")^" + n}) {
                // Each side fresh, so that neither way meets the other's records.
                law_ptr const shortcut = parse(text), full = parse(text);
                ASSERT_TRUE(shortcut && full);
                EXPECT_EQ(derivative_or_error(shortcut.get()), full_rule_form(full.get())) << text;
            }
        }
    }
}

// Factors with one base merge into a power of it, but numbers only with the very same number:
// two numbers within the comparison's tolerance of each other (1e-15 and 0) are folded, not
// merged into a power of either. Derivatives of laws with small numbers keep their values.
TEST_F(PublicSimplification, NumbersMergeAsPowersOnlyWithThemselves) {
    struct row {
        char const *law;
        double value;  // at x = 0.3
    };
    std::vector<row> const rows = {{"1e-15*0", 0.0},
                                   {"(1e-15*X^2)*0", 0.0},
                                   {"2e-15*1e-15", 2e-30},
                                   {"X*1e-15*X*1e-16", 1e-31 * 0.09},
                                   {"3*X*3", 2.7}};
    for (auto const &r : rows) {
        law_ptr const s = adopt(parse(r.law)->simplify(1, 0));
        EXPECT_DOUBLE_EQ(s->eval(0.3), r.value) << r.law << " -> " << s->text();
    }
    EXPECT_EQ(adopt(parse("3*X*3")->simplify(1, 0))->text(), "9*X");
    // ((x + 1)^3 / 1e-15)^2 = 1e30 (x + 1)^6.
    law_ptr const d = adopt(parse("((X+1)^3/1e-15)^2")->derivative(0));
    EXPECT_NEAR(d->eval(0.3), 6e30 * std::pow(1.3, 5), 1e-12 * 6e30 * std::pow(1.3, 5));
    law_ptr const q = adopt(parse("(1e-15*X^2)/1e-8")->derivative(0));
    EXPECT_DOUBLE_EQ(q->eval(0.3), 2e-7 * 0.3) << q->text();
}

// At a singular point the derivative raises the error of the form the rules wrote: a quotient
// became a power of -1, so a pole is out of the power's domain, not a division by zero.
TEST_F(PublicSimplification, DerivativesRaiseTheirFormsErrorsAtSingularPoints) {
    struct singular {
        char const *law;
        double at;
        int code;
    };
    std::vector<singular> const rows = {
        {"1/X", 0, LAW_EXPONENT},       {"LN(X)", 0, LAW_EXPONENT},
        {"SQRT(X)", 0, LAW_EXPONENT},   {"(X+1)/(X-1)", 1, LAW_EXPONENT},
        {"ARCSIN(X)", 1, LAW_EXPONENT}, {"TAN(X)", M_PI / 2, LAW_SEC},
        {"SQRT(X)", -1, LAW_EXPONENT},
    };
    for (auto const &r : rows) {
        law_ptr const d = adopt(parse(r.law)->derivative(0));
        EXPECT_LAW_ERROR(d->eval(r.at), r.code);
        // The law itself raises there too, or has a value that the derivative has not.
        EXPECT_FALSE(std::isfinite(value_or_nan(d.get(), r.at))) << r.law;
    }
    // Away from the pole the value is the closed form's.
    law_ptr const q = adopt(parse("(X+1)/(X-1)")->derivative(0));
    EXPECT_DOUBLE_EQ(q->eval(3), -2.0 / 4.0);
}

// The worked examples of the rules, through the entry a caller uses.
TEST_F(PublicSimplification, LawSimplifyGivesTheRulesForms) {
    struct row {
        char const *in;
        char const *out;
    };
    std::vector<row> const rows = {
        {"X-X", "0"},
        {"X*2", "2*X"},
        {"2+X+3", "5+X"},
        {"SIN(3)", "0.1411200080598672"},
        {"X/X", "1"},
        {"X^1", "X"},
        {"X^0", "1"},
        {"(X^2)^3", "X^6"},
        {"COS(X)^2+SIN(X)^2", "1"},
        {"COS(X)^2+SIN(2*X)^2", "COS(X)^2+SIN(2*X)^2"},
        {"X-Y", "X-Y"},
        {"SQRT(X)", "X^0.5"},
        {"(X+1)/(X+2)", "(1+X)*(2+X)^-1"},
        {"CROSS(VEC(X,Y,Z),VEC(1,2,3))", "VEC(3*Y-2*Z,Z-3*X,2*X-Y)"},
        {"DOT(VEC(X,Y),VEC(2,3))", "2*X+3*Y"},
        {"TERM(VEC(X,Y,Z),2)", "Y"},
        {"PDOMAIN(X,0,1)", "PDOMAIN(X,0,1)"},
        {"DOMAIN(X,0,1)", "X"},
    };
    for (auto const &r : rows) {
        law_ptr const l = parse(r.in);
        ASSERT_TRUE(l);
        law_ptr const s = adopt(l->simplify(1, 0));
        law_ptr const engine = adopt(law_simplify(l.get(), 1, 0));
        EXPECT_EQ(engine->text(), r.out) << r.in;
        // law::simplify keeps the rules' form, restricted to the law's domain when it lost it.
        if (r.in != std::string("DOMAIN(X,0,1)")) {
            EXPECT_EQ(s->text(), r.out) << r.in;
        }
        for (double x : {0.3, 0.7}) {
            double in[3] = {x, 1 - x, 2 * x};
            EXPECT_NEAR(first_value(s.get(), in), first_value(l.get(), in), 1e-12) << r.in;
        }
    }
}

TEST_F(PublicSimplification, TheSimplifiedFormKeepsTheLawsDomain) {
    // DOMAIN simplifies to its law; the entry puts the domain back around the rules' form.
    law_ptr const d = parse("DOMAIN(X,0,1)");
    law_ptr const s = adopt(d->simplify(1, 0));
    EXPECT_EQ(s->text(), "DOMAIN(X,0,1)");
    ZEM::interval range;
    ASSERT_TRUE(s->term_domain(0, range));
    EXPECT_EQ(range, ZEM::interval(0, 1));
    // A law whose parts cancel keeps the domain of what cancelled.
    law_ptr const cancelled = adopt(parse("ARCSIN(X)-ARCSIN(X)")->simplify(1, 0));
    EXPECT_EQ(cancelled->text(), "DOMAIN(0,-1,1)");
    EXPECT_EQ(adopt(law_simplify(parse("ARCSIN(X)-ARCSIN(X)").get(), 1, 0))->text(), "0");
    // A law whose domain is unbounded gets nothing added.
    EXPECT_EQ(adopt(parse("X+0")->simplify(1, 0))->text(), "X");
}

// Level 2 after level 1 simplifies again; level 1 after level 2 takes the recorded form; the
// afresh level always simplifies again at level 1.
TEST_F(PublicSimplification, LevelsOfTheEntry) {
    law_ptr const l = parse("(2*X+2)/(X+1)+(X+1)^2-(X^2+2*X+1)");
    law_ptr const one = adopt(l->simplify(1, 0));
    EXPECT_NE(one->text(), "2");
    law_ptr const two = adopt(l->simplify(2, 0));
    EXPECT_EQ(two->text(), "2");
    EXPECT_EQ(adopt(l->simplify(1, 0)).get(), two.get());
    // Afresh, the rules run again at level 1: they find the recorded form, now kept at level 1.
    law_ptr const again = adopt(l->simplify(law::simplify_afresh, 0));
    EXPECT_EQ(again->text(), "2");
    EXPECT_TRUE(l->is_simplified(1));
    EXPECT_FALSE(l->is_simplified(2));
    law_ptr const fresh = parse("(2*X+2)/(X+1)+(X+1)^2-(X^2+2*X+1)");
    EXPECT_EQ(adopt(fresh->simplify(law::simplify_afresh, 0))->text(), one->text());
}

// A rule may make a zero vector the number 0 at the root, but a member keeps the dimension its
// law was built for.
TEST_F(PublicSimplification, ZeroVectorMembersStayVectors) {
    law_ptr const bend = parse("BEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2)");
    ASSERT_TRUE(bend);
    law_ptr const s = adopt(bend->simplify(1, 0));
    EXPECT_EQ(s->text(), "BEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2)");
    double const p[3] = {0.3, -0.4, 0.5};
    double a[3], b[3];
    bend->evaluate(p, a);
    s->evaluate(p, b);
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(a[i], b[i]);
    // A zero the rules wrote inside a member (0*A) also becomes the zero vector there.
    law_ptr const scaled = parse("BEND(0*VEC(1,2,3),VEC(0,0,1),VEC(1,0,0),2)");
    ASSERT_TRUE(scaled);
    EXPECT_EQ(adopt(scaled->simplify(1, 0))->text(), "BEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2)");
    law_ptr const dbend = adopt(bend->derivative(0));
    EXPECT_EQ(dbend->return_dim(), 3);

    law_ptr const perp = parse("CYCLIDE_PERP(2,1,1.5,VEC(0,0,0))");
    ASSERT_TRUE(perp);
    law_ptr const d = adopt(perp->derivative(0));
    EXPECT_EQ(d->return_dim(), perp->return_dim());
    // At the root the number 0 stands for the zero vector.
    EXPECT_EQ(adopt(parse("VEC(0,0,0)")->simplify(1, 0))->text(), "0");
    EXPECT_EQ(adopt(parse("VEC(1,2,3)")->derivative(0))->text(), "0");
}

}  // namespace
