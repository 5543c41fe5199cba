#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include <law/base/version.h>
#include <law/geom/geom.h>
#include <law/lang/str_to_law.h>
#include <law/numeric/numeric.h>
#include <law/ops/ops.h>

#include "law_test.h"

namespace {

class NumericCalculus : public LawTest {};

constexpr double pi = std::numbers::pi;

law_ptr parse(char const *text) {
    law_ptr l = adopt(str_to_law(text));
    EXPECT_TRUE(l) << "could not read " << text;
    return l;
}

// x^3 on a finite domain that records the range of the inputs it was sampled at.
class watched_cube : public law {
  public:
    watched_cube(double lo, double hi) : lo_(lo), hi_(hi) {}
    char const *class_name() const override { return "watched_cube"; }
    void evaluate(double const *x, double *y) const override {
        lowest = std::min(lowest, x[0]);
        highest = std::max(highest, x[0]);
        ++calls;
        y[0] = x[0] * x[0] * x[0];
    }
    int term_domain(int, ZEM::interval &out) const override {
        out = ZEM::interval(lo_, hi_);
        return 1;
    }
    void reset() const {
        lowest = std::numeric_limits<double>::infinity();
        highest = -lowest;
        calls = 0;
    }
    mutable double lowest = std::numeric_limits<double>::infinity();
    mutable double highest = -std::numeric_limits<double>::infinity();
    mutable int calls = 0;

  private:
    double lo_, hi_;
};

TEST_F(NumericCalculus, CentralDifferencesOfCubeAreExactToRounding) {
    law_ptr const cube = parse("X^3");
    double const x = 2;
    double d = 0;
    Ndifferentiate(cube.get(), &x, 0, &d, 1);
    EXPECT_NEAR(d, 12, 1e-8);
    Ndifferentiate(cube.get(), &x, 0, &d, 2);
    EXPECT_NEAR(d, 12, 1e-4);
    Ndifferentiate(cube.get(), &x, 0, &d, 0);
    EXPECT_DOUBLE_EQ(d, 8);
}

TEST_F(NumericCalculus, DifferencesCoverEveryOutputAndLeaveThePointAlone) {
    law_ptr const f = parse("VEC(X*Y^2,SIN(Y),X)");
    double const x[] = {3, 0.5};
    double d[3];
    Ndifferentiate(f.get(), x, 1, d, 1);
    EXPECT_NEAR(d[0], 3, 1e-8);
    EXPECT_NEAR(d[1], std::cos(0.5), 1e-8);
    EXPECT_NEAR(d[2], 0, 1e-12);
    Ndifferentiate_sided(f.get(), x, 1, 1, d, 1);
    EXPECT_NEAR(d[0], 3, 1e-6);
    EXPECT_NEAR(d[1], std::cos(0.5), 1e-6);
    EXPECT_EQ(x[1], 0.5);
    // A variable the law does not use has derivative 0 and reads no input beyond the law's.
    law_ptr const g = parse("X^2");
    double const one = 1;
    Ndifferentiate(g.get(), &one, 3, d, 1);
    EXPECT_EQ(d[0], 0);
    EXPECT_LAW_ERROR(Ndifferentiate(g.get(), &one, -1, d, 1), LAW_DIM);
}

TEST_F(NumericCalculus, SidedDifferencesNeverLeaveAFiniteDomain) {
    auto const f = adopt(new watched_cube(0, 1));
    for (int order = 1; order <= 3; ++order)
        for (int side : {1, 2})
            for (double x : {0.0, 1e-9, 2e-5, 3e-4, 0.5, 1 - 3e-4, 1 - 2e-5, 1.0}) {
                SCOPED_TRACE("order " + std::to_string(order) + " side " + std::to_string(side) +
                             " at " + std::to_string(x));
                f->reset();
                double d = 0;
                Ndifferentiate_sided(f.get(), &x, 0, side, &d, order);
                EXPECT_GE(f->lowest, 0.0);
                EXPECT_LE(f->highest, 1.0);
                EXPECT_EQ(f->calls, 3 * order + 1);
                if (x > 1e-6 && x < 1 - 1e-6 && order == 1) {
                    EXPECT_NEAR(d, 3 * x * x, 1e-6);
                }
            }
}

TEST_F(NumericCalculus, OlderVersionsKeepTheFixedStep) {
    auto const f = adopt(new watched_cube(0, 1));
    set_global_version(2150000);
    double const x = 1e-5;
    double d = 0;
    Ndifferentiate_sided(f.get(), &x, 0, 1, &d, 1);
    set_global_version(0);
    EXPECT_NEAR(f->lowest, x - 3e-4, 1e-12);
}

TEST_F(NumericCalculus, RombergIntegratesPolynomialsExactly) {
    law_ptr const sq = parse("X^2");
    double r = 0;
    int const levels = Nintegrate(sq.get(), 0, 1, &r, 1e-12, 2, 20);
    EXPECT_NEAR(r, 1.0 / 3, 1e-15);
    EXPECT_GT(levels, 0);
    EXPECT_NE(Nintegrate(parse("SIN(X)").get(), 0, pi, &r, 1e-12, 2, 20), 0);
    EXPECT_NEAR(r, 2, 1e-11);
    EXPECT_NE(Nintegrate(parse("EXP(X)").get(), -1, 2, &r, 1e-13, 2, 25), 0);
    EXPECT_NEAR(r, std::exp(2) - std::exp(-1), 1e-11);
}

TEST_F(NumericCalculus, RombergReportsTheLevelLimitButKeepsItsEstimate) {
    law_ptr const f = parse("SQRT(X)");
    double r = -1;
    EXPECT_EQ(Nintegrate(f.get(), 0, 1, &r, 1e-15, 3, 4), 0);
    EXPECT_NEAR(r, 2.0 / 3, 1e-2);
    // min_level forces refinement even when two rows agree at once.
    law_ptr const line = parse("2*X+1");
    EXPECT_EQ(Nintegrate(line.get(), 0, 1, &r, 1, 6, 20), 7);
    EXPECT_DOUBLE_EQ(r, 2);
    EXPECT_EQ(Nintegrate(line.get(), 0, 1, &r, 1, 2, 20), 3);
}

TEST_F(NumericCalculus, IntegrationAlongOneInput) {
    law_ptr const f = parse("X*Y^2");
    double x[] = {3, 0};
    double r = 0;
    EXPECT_NE(Nintegrate_wrt(f.get(), 0, 2, 1, x, &r), 0);
    EXPECT_NEAR(r, 3 * 8.0 / 3, 1e-12);
    EXPECT_EQ(x[0], 3);

    law_ptr const g = parse("ABS(Y-1)");
    double split_at = 1;
    double whole = 0, pieces = 0, direct = 0;
    Nintegrate_wrt_and_split(g.get(), 0, 3, 1, x, &pieces, 1, &split_at, 1e-12, 2, 20);
    EXPECT_NEAR(pieces, 0.5 + 2, 1e-12);
    Nintegrate_wrt_and_split(g.get(), 0, 3, 1, x, &whole, 0, nullptr, 1e-12, 2, 20);
    Nintegrate_wrt(g.get(), 1e-14, 3 - 1e-14, 1, x, &direct, 1e-12, 2, 20);
    EXPECT_EQ(whole, direct);
}

TEST_F(NumericCalculus, LawIntegrateFindsPowerPatterns) {
    struct pattern {
        char const *integrand;
        char const *antiderivative;
    };
    for (auto const &p : std::vector<pattern>{{"X^3", "X^4/4"},
                                              {"(2*X+1)^2", "(2*X+1)^3/6"},
                                              {"(X^2+1)^3*X", "(X^2+1)^4/8"},
                                              {"X*(X^2+1)^3", "(X^2+1)^4/8"}}) {
        SCOPED_TRACE(p.integrand);
        law_ptr const got = adopt(law_integrate(parse(p.integrand).get()));
        law_ptr const want = parse(p.antiderivative);
        for (double x : {-1.5, 0.25, 2.0}) EXPECT_NEAR(got->eval(x), want->eval(x), 1e-9);
    }
    law_ptr const sine = parse("SIN(X)");
    law_ptr const same = adopt(law_integrate(sine.get()));
    EXPECT_TRUE(*same == *sine);
    law_ptr const recip = parse("X^-1");
    law_ptr const kept = adopt(law_integrate(recip.get()));
    EXPECT_TRUE(law_isa<exponent_law>(kept.get()));
}

// f(x, t) = x t over [a(x), b(x)].
law_ptr x_times_t_integral(law_ptr const &a, law_ptr const &b) {
    law_ptr const f = parse("X*Y");
    return make_law<integrate_law>(f.get(), a.get(), b.get());
}

TEST_F(NumericCalculus, IntegrateLawEvaluatesAndPrints) {
    law_ptr const I = x_times_t_integral(C(0), parse("X"));
    EXPECT_NEAR(I->eval(2), 2 * 2.0, 1e-10);  // x * x^2 / 2
    EXPECT_EQ(I->text(), "Integrate(X*Y,0,X)");
    EXPECT_TRUE(I->isa(law_id::integrate_law));
    EXPECT_TRUE(I->isa(law_id::law));
    EXPECT_STREQ(I->class_name(), "integrate_law");

    // Splits in any order give the same value as none.
    law_ptr const g = parse("ABS(Y-X)");
    law_ptr const s1 = parse("X"), s2 = parse("X/2");
    law *splits[] = {s1.get(), s2.get()};
    law_ptr const b = C(3), a = C(0);
    law_ptr const split = make_law<integrate_law>(g.get(), a.get(), b.get(), 2, splits);
    EXPECT_NEAR(split->eval(1), 0.5 + 2, 1e-10);
}

TEST_F(NumericCalculus, IntegrateLawDifferentiatesByLeibnizRule) {
    law_ptr const fixed = x_times_t_integral(C(0), C(2));
    law_ptr const d_fixed = adopt(fixed->derivative(0));
    ASSERT_TRUE(law_isa<integrate_law>(d_fixed.get()));
    EXPECT_NEAR(d_fixed->eval(5), 2, 1e-10);

    // d/dx of x * (b^2 - a^2) / 2 with b = x^2, a = x: (x^4 - x^2)/2 + x (4 x^3 - 2 x)/2.
    law_ptr const moving = x_times_t_integral(parse("X"), parse("X^2"));
    law_ptr const d = adopt(moving->derivative(0));
    for (double x : {0.5, 1.5, 2.0}) {
        double const want = (std::pow(x, 4) - x * x) / 2 + x * (4 * x * x * x - 2 * x) / 2;
        EXPECT_NEAR(d->eval(x), want, 1e-8);
    }
    law_ptr const other = adopt(moving->derivative(1));
    EXPECT_EQ(other->eval(1), 0);
}

TEST_F(NumericCalculus, ShiftLawWrapsIntoThePeriod) {
    law_ptr const s = make_law<shift_law>(X().get(), C(2).get());
    EXPECT_DOUBLE_EQ(s->eval(-0.5), 1.5);
    EXPECT_DOUBLE_EQ(s->eval(5.25), 1.25);
    EXPECT_DOUBLE_EQ(s->eval(2), 0);
    EXPECT_STREQ(s->class_name(), "shift_law");
    law_ptr const d = adopt(make_law<shift_law>(parse("X^2").get(), C(1).get())->derivative(0));
    EXPECT_DOUBLE_EQ(d->eval(3), 6);
    law_ptr const zero = make_law<shift_law>(X().get(), C(0).get());
    EXPECT_LAW_ERROR(zero->eval(1), LAW_ZERODIVIDE);
}

}  // namespace
