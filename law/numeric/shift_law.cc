#include <law/numeric/shift_law.h>

#include <cmath>

#include <law/core/law_sample.h>
#include <law/numeric/search_checks.h>

namespace {
law *given(law *l, char const *what) {
    check_given(l, what);
    return l;
}
}  // namespace

shift_law::shift_law(law *f, law *period)
    : f_(given(f, "the law to shift")), p_(given(period, "the period")) {
    f_->add();
    p_->add();
}

shift_law::~shift_law() {
    f_->remove();
    p_->remove();
}

void shift_law::evaluate(double const *x, double *answer) const {
    double const period = value_at(p_, 1.0);
    if (period == 0.0) law_error(LAW_ZERODIVIDE);
    if (!std::isfinite(period)) law_error(LAW_BAD_RANGE, "the period is not a finite number");
    f_->evaluate(x, answer);
    for (int i = 0, n = return_dim(); i < n; ++i)
        answer[i] = std::fmod(std::fmod(answer[i], period) + period, period);
}

law *shift_law::deriv(int which) const { return f_->derivative(which); }

void shift_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(shift_law));
    full_size_caches(acc);
    f_->full_size(acc, 1);
    p_->full_size(acc, 1);
}
