#include <law/numeric/derivative_law.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <string>

#include <law/core/constant_law.h>
#include <law/core/law_sample.h>
#include <law/lang/law_list.h>
#include <law/numeric/ndifferentiate.h>

namespace {
law_list reg(new derivative_law(static_cast<law **>(nullptr), 0));

int checked_order(double value) {
    if (!(value >= 0 && value <= derivative_law::max_order))
        law_error(LAW_DL_NUM, "the order " + number_string(value) + " is not from 0 to " +
                                  std::to_string(derivative_law::max_order));
    return static_cast<int>(value);
}

// The variable and order read from the members D(f,v[,n]).
int variable_of(law **subs, int n) {
    if (!subs) return 0;
    if (n != 2 && n != 3) law_error(LAW_DL_NUM, std::to_string(n) + " members");
    check_non_null(subs, n);
    int const which = subs[1]->take_dim() - 1;
    if (which < 0) law_error(LAW_DL_NUM, "the variable takes no input");
    return which;
}
int order_of(law **subs, int n) {
    return subs && n == 3 ? checked_order(value_at(subs[2], 1.0)) : 1;
}

// A stencil reaching 1.5 h per order from x0 must not cross these ends.
constexpr double reach_per_order = 0.00015;
}  // namespace

derivative_law::derivative_law(law **subs, int n)
    : multiple_law(subs, n),
      which_(variable_of(subs, n)),
      order_(order_of(subs, n)),
      low_(-DBL_MAX),
      high_(DBL_MAX) {
    if (which_ != 0 || !subs || !subs[0]) return;
    ZEM::interval dom;
    if (!subs[0]->term_domain(0, dom)) return;
    if (dom.bounded_below()) low_ = dom.start_pt();
    if (dom.bounded_above()) high_ = dom.end_pt();
}

derivative_law::derivative_law(law const *f, int which, int order)
    : derivative_law(
          std::array<law *, 3>{const_cast<law *>(f), make_law<identity_law>(which, 'X').get(),
                               make_law<constant_law>(checked_order(order)).get()}
              .data(),
          3) {}

void derivative_law::differentiate(double const *x, double *answer, int sided) const {
    require_members();
    law const *f = fsub()[0];
    if (sided == 0)
        Ndifferentiate(f, x, which_, answer, order_);
    else
        Ndifferentiate_sided(f, x, which_, sided, answer, order_);
}

void derivative_law::evaluate(double const *x, double *answer) const {
    // A law of no input may be evaluated at no point: there is no end to step away from.
    if (which_ != 0 || !x) return differentiate(x, answer, 0);
    double const reach = reach_per_order * order_;
    int const sided = x[0] + reach > high_ ? 1 : low_ > x[0] - reach ? 2 : 0;
    differentiate(x, answer, sided);
}

void derivative_law::evaluate_with_side(double const *x, double *answer, int const *side) const {
    if (which_ == 0 && side && (*side == 1 || *side == -1))
        return differentiate(x, answer, *side == 1 ? 2 : 1);
    evaluate(x, answer);
}

law *derivative_law::deriv(int which) const {
    require_members();
    law const *f = fsub()[0];
    if (which == which_) return new derivative_law(f, which_, order_ + 1);
    // Mixed partials commute: differentiate f in the other variable first, symbolically when
    // f allows it.
    if (f->has_derivative(which)) {
        law_ptr const df = adopt(f->derivative(which));
        return new derivative_law(df.get(), which_, order_);
    }
    law_ptr const inner = make_law<derivative_law>(f, which, 1);
    return new derivative_law(inner.get(), which_, order_);
}
