#pragma once
// A polynomial patch in the power basis: P(u, v) = sum of c(a, b) u^a v^b over NS coefficients in
// u and NT in v. The bicubic fast path keeps the value and its derivatives in this form.
#include <law/base/vector.h>

template <int NS, int NT>
class power_patch {
  public:
    ZEM::vector &coefficient(int a, int b) { return c_[b][a]; }
    ZEM::vector const &coefficient(int a, int b) const { return c_[b][a]; }

    // Horner in u along each power of v, then in v.
    ZEM::vector eval(double u, double v) const {
        ZEM::vector out = horner_u(NT - 1, u);
        for (int b = NT - 2; b >= 0; --b) out = out * v + horner_u(b, u);
        return out;
    }

    // The patches of the partial derivatives in u and in v.
    power_patch<NS - 1, NT> d_u() const {
        power_patch<NS - 1, NT> d;
        for (int b = 0; b < NT; ++b)
            for (int a = 0; a + 1 < NS; ++a) d.coefficient(a, b) = c_[b][a + 1] * (a + 1);
        return d;
    }
    power_patch<NS, NT - 1> d_v() const {
        power_patch<NS, NT - 1> d;
        for (int b = 0; b + 1 < NT; ++b)
            for (int a = 0; a < NS; ++a) d.coefficient(a, b) = c_[b + 1][a] * (b + 1);
        return d;
    }

  private:
    ZEM::vector horner_u(int b, double u) const {
        ZEM::vector out = c_[b][NS - 1];
        for (int a = NS - 2; a >= 0; --a) out = out * u + c_[b][a];
        return out;
    }
    ZEM::vector c_[NT][NS];
};

// Named by their degrees in u and v: the bicubic value and its five derivatives.
using power_patch33 = power_patch<4, 4>;
using power_patch23 = power_patch<3, 4>;
using power_patch32 = power_patch<4, 3>;
using power_patch13 = power_patch<2, 4>;
using power_patch31 = power_patch<4, 2>;
using power_patch22 = power_patch<3, 3>;
