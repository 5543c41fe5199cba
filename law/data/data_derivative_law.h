#pragma once
// The derivatives that a law data gives itself: DCUR(C,n), DWIRE(W,n) and DPCUR(P,n) are the
// n-th derivative of a curve, wire or parameter curve at t, DSURF(S,m,n) the partial derivative
// of orders m in u and n in v of a surface. The orders are law data wrapping constants. Beyond
// the second order the derivative is taken numerically (derivative_law).
#include <law/core/multiple_data_law.h>

class data_derivative_law : public multiple_data_law {
  public:
    // The derivative order in input which.
    int order(int which = 0) const { return orders_[which]; }

    void evaluate(double const *x, double *answer) const override;
    void evaluate_with_side(double const *x, double *answer, int const *side) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    int date() const override;

  protected:
    // Raises LAW_DATA_UNKNOWN for law data of another kind or a wrong count, and the law data's
    // code (LAW_DATA_CURVE, LAW_DATA_WIRE, LAW_DATA_PCURVE) for an order that is not a constant
    // whole number of at least 0.
    data_derivative_law(law_data **data, int n, int id);
    law *deriv(int which) const override;
    int take_size() const override;
    int return_size() const override;

  private:
    int id_;
    int orders_[2] = {0, 0};
};

template <int Id>
class data_derivative_law_of final : public table_law<Id, data_derivative_law> {
  public:
    data_derivative_law_of(law_data **data, int n)
        : table_law<Id, data_derivative_law>(data, n, Id) {}
    law *make_one(law_data **data, int n) const override {
        return new data_derivative_law_of(data, n);
    }
};

using dcurve_law = data_derivative_law_of<law_id::dcurve_law>;
using dwire_law = data_derivative_law_of<law_id::dwire_law>;
using dpcurve_law = data_derivative_law_of<law_id::dpcurve_law>;
using dsurface_law = data_derivative_law_of<law_id::dsurface_law>;

// A new derivative law of class id (one of the four above) over data with the given orders (two
// for a surface, one otherwise).
law *make_data_derivative(int id, law_data *data, int const *orders);
