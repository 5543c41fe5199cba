#pragma once
// Where a line meets a surface swept by a conic, as the line's parameters: the members are a
// point P and a direction V of the line P + t V (three values each) and two numbers a and b.
//   CONIC_LINE(P, V, a, b)         the torus about the z axis whose tube, a circle of radius b,
//                                  runs at distance a from the axis: the real parts of the four
//                                  complex roots of its quartic in t, ascending. The number of
//                                  values is not fixed by the members: return_dim raises
//                                  LAW_VARIABLE_RETURN, and evaluateVAR gives the four.
//   CONIC_TROUGH_LINE(P, V, a, b)  the trough x^2/a^2 + y^2/b^2 = 1 along the z axis: the real
//                                  parts of the two roots of its quadratic in t, ascending.
// Exactly four members (P and V of three values, a and b of one), else LAW_DIM. A line that is
// parallel to the trough, or has no direction, raises LAW_ZERODIVIDE.
#include <array>

#include <law/core/multiple_law.h>

class conic_intersection_law : public multiple_law {
  public:
    void evaluate(double const *x, double *answer) const override;
    void evaluateVAR(double const *x, double *&answer, int &answer_size) const override;

  protected:
    conic_intersection_law(law **subs, int n, int id);
    // Numerical (derivative_law): the roots move with the members in no closed form here.
    law *deriv(int which) const override;
    int return_size() const override;

  private:
    int roots() const;
    int id_;
};

template <int Id>
class conic_line_kind_law final : public table_law<Id, conic_intersection_law> {
    using base = table_law<Id, conic_intersection_law>;

  public:
    conic_line_kind_law() : base(nullptr, 0, Id) {}  // the prototype
    conic_line_kind_law(law **subs, int n) : base(subs, n, Id) {}
    law *make_one(law **subs, int n) const override { return new conic_line_kind_law(subs, n); }
};

using conic_line_law = conic_line_kind_law<law_id::conic_line_law>;
using conic_trough_line_law = conic_line_kind_law<law_id::conic_trough_line_law>;
