// Fitting laws by splines: the achieved distance, measured on a dense sample of the law that the
// fitting never saw, stays within the tolerance for every strategy, and the structure of the
// result is what the assembly promises.
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "law_test.h"

namespace {

law_ptr parse(char const *text) {
    law_ptr l = adopt(str_to_law(text));
    EXPECT_TRUE(l) << text << ": " << TEST_get_error();
    return l;
}

// A law of one input and three outputs given by a function: |t - 0.3| bends here, and it says
// so through its singular point.
class kinked_law : public law {
  public:
    char const *class_name() const override { return "kinked_law"; }
    void evaluate(double const *x, double *y) const override {
        y[0] = x[0];
        y[1] = std::fabs(x[0] - 0.3) + 0.2 * x[0] * x[0];
        y[2] = 0.1 * std::sin(3 * x[0]);
    }
    int singularities(double **where, int **type, double, double, double **period) const override {
        *where = VORN_ARRAY(double, 1);
        *type = VORN_ARRAY(int, 1);
        (*where)[0] = 0.3;
        (*type)[0] = 1;
        if (period) *period = nullptr;
        return 1;
    }

  protected:
    int take_size() const override { return 1; }
    int return_size() const override { return 3; }
    law *deriv(int) const override { return nullptr; }
};

// The clothoid (C(t), S(t), 0) with C and S the integrals of cos(s^2) and sin(s^2) from 0 to t.
law_ptr clothoid() {
    law_ptr const zero = C(0), x = X();
    law_ptr const c = parse("COS(Y^2)"), s = parse("SIN(Y^2)");
    law_ptr const ci = make_law<integrate_law>(c.get(), zero.get(), x.get());
    law_ptr const si = make_law<integrate_law>(s.get(), zero.get(), x.get());
    law *parts[3] = {ci.get(), si.get(), zero.get()};
    return make_law<vector_law>(parts, 3);
}

struct fitting_case {
    std::string name;
    std::function<law_ptr()> make;
    double a, b;
};

std::vector<fitting_case> fitting_set() {
    return {
        {"line", [] { return parse("VEC(1+2*X, 3-X, 0.5*X)"); }, -1, 2},
        {"circle arc", [] { return parse("VEC(2*COS(X), 2*SIN(X), 0)"); }, 0, 2.5},
        {"helix", [] { return parse("VEC(COS(X), SIN(X), 0.2*X)"); }, 0, 7},
        {"clothoid", clothoid, 0, 2.5},
        {"tangent break", [] { return adopt<law>(new kinked_law); }, -0.5, 1},
        {"rational", [] { return parse("VEC((1-X^2)/(1+X^2), 2*X/(1+X^2), X/(2+X))"); }, -1, 1.5},
    };
}

// The largest distance between curve and law on 4000 parameters of a fixed random sample, the
// ends and both sides of every knot.
double dense_distance(law const *f, sw_curve const &c) {
    std::mt19937 rng(7);
    double const a = c.get_min_t(), b = c.get_max_t();
    std::uniform_real_distribution<double> u(a, b);
    std::vector<double> ts = {a, b};
    for (int i = 0; i < 4000; ++i) ts.push_back(u(rng));
    double const *k = c.get_knot_vector();
    for (int i = 0; i < c.get_num_knots(); ++i) {
        for (double d : {-1e-4, 1e-4}) {
            if (k[i] + d > a && k[i] + d < b) ts.push_back(k[i] + d);
        }
    }
    double worst = 0;
    for (double t : ts) {
        ZEM::position p;
        c.eval(t, &p);
        worst = std::fmax(worst, (p - f->evaluateR_P(t)).len());
    }
    return worst;
}

}  // namespace

class Fitting : public LawTest {};

TEST_F(Fitting, EveryLawOfTheSetIsWithinToleranceForEveryStrategy) {
    for (auto const &fc : fitting_set()) {
        law_ptr const f = fc.make();
        for (double tol : {1e-3, 1e-5, 1e-7}) {
            for (int s = 0; s < 3; ++s) {
                std::unique_ptr<sw_curve> const c(
                    law_to_sw_curve(f.get(), ZEM::interval(fc.a, fc.b), tol,
                                    static_cast<knot_removal_strategy>(s)));
                double const dense = dense_distance(f.get(), *c);
                EXPECT_LE(dense, tol) << fc.name << " tol " << tol << " strategy " << s;
                EXPECT_LE(sw_curve_accuracy(f.get(), c.get()), tol) << fc.name;
                EXPECT_DOUBLE_EQ(c->get_min_t(), fc.a);
                EXPECT_DOUBLE_EQ(c->get_max_t(), fc.b);
            }
        }
    }
}
