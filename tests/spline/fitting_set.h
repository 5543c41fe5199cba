#pragma once
// The laws that fitting is judged on, shared by the fitting tests and the fitting benchmark so
// that both measure the same curves: a line, a circle arc, a helix, a clothoid of integral laws,
// a curve with a tangent break at a singular point it reports, and a rational curve; and for
// surfaces a plane, a sphere patch, a saddle, a torus patch, waves, a twisted ruled surface and a
// tube swept along a helix.
#include <cmath>
#include <functional>
#include <vector>

#include <law/law.h>

namespace fitting_set_laws {

inline law_ptr read(char const *text) { return adopt(str_to_law(text)); }

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
inline law_ptr clothoid() {
    law_ptr const zero = adopt<law>(new constant_law(0.0)),
                  x = adopt<law>(new identity_law(0, 'X'));
    law_ptr const c = read("COS(Y^2)"), s = read("SIN(Y^2)");
    law_ptr const ci = make_law<integrate_law>(c.get(), zero.get(), x.get());
    law_ptr const si = make_law<integrate_law>(s.get(), zero.get(), x.get());
    law *parts[3] = {ci.get(), si.get(), zero.get()};
    return make_law<vector_law>(parts, 3);
}

struct fitting_case {
    char const *name;
    std::function<law_ptr()> make;
    double a, b;
};

inline std::vector<fitting_case> fitting_set() {
    return {
        {"line", [] { return read("VEC(1+2*X, 3-X, 0.5*X)"); }, -1, 2},
        {"circle arc", [] { return read("VEC(2*COS(X), 2*SIN(X), 0)"); }, 0, 2.5},
        {"helix", [] { return read("VEC(COS(X), SIN(X), 0.2*X)"); }, 0, 7},
        {"clothoid", clothoid, 0, 2.5},
        {"tangent break", [] { return adopt<law>(new kinked_law); }, -0.5, 1},
        {"rational", [] { return read("VEC((1-X^2)/(1+X^2), 2*X/(1+X^2), X/(2+X))"); }, -1, 1.5},
    };
}

// A law of two inputs over the box [s0, s1] x [t0, t1].
struct surface_case {
    char const *name, *text;
    double s0, s1, t0, t1;
};

inline constexpr surface_case surface_set[] = {
    {"plane", "VEC(X,Y,2*X-Y+1)", 0, 2, -1, 1},
    {"sphere patch", "VEC(COS(X)*COS(Y),SIN(X)*COS(Y),SIN(Y))", 0, 1.5, -1, 1},
    {"saddle", "VEC(X,Y,X*X-Y*Y)", -1, 1, -1, 1},
    {"torus patch", "VEC((2+COS(Y))*COS(X),(2+COS(Y))*SIN(X),SIN(Y))", 0, 2, 0, 3},
    {"sin x cos y", "VEC(X,Y,SIN(X)*COS(Y))", 0, 3, 0, 3},
    {"twisted ruled", "VEC(COS(X)*(1-Y)+COS(X+2)*Y,SIN(X)*(1-Y)+SIN(X+2)*Y,Y)", 0, 3, 0, 1},
    // A circle of radius 0.3 carried along a helix by its rotation-minimising frame: the two
    // start vectors are the normal (1,0,0) and the binormal T x N at the start.
    {"tube along a helix",
     "VEC(COS(X),SIN(X),X/4)+0.3*(COS(Y)*MINROT(VEC(COS(X),SIN(X),X/4),VEC(1,0,0),0,4)"
     "+SIN(Y)*MINROT(VEC(COS(X),SIN(X),X/4),VEC(0,0.25,-1),0,4))",
     0, 4, 0, 2 * M_PI},
};

}  // namespace fitting_set_laws
