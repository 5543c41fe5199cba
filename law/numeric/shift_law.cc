#include <law/numeric/shift_law.h>

#include <cmath>

#include <law/core/law_sample.h>

shift_law::shift_law(law *f, law *period) : f_(f), p_(period) {
    if (f_) f_->add();
    if (p_) p_->add();
}

shift_law::~shift_law() {
    if (f_) f_->remove();
    if (p_) p_->remove();
}

void shift_law::evaluate(double const *x, double *answer) const {
    double const period = value_at(p_, 1.0);
    if (period == 0.0) law_error(LAW_ZERODIVIDE);
    f_->evaluate(x, answer);
    for (int i = 0, n = return_dim(); i < n; ++i)
        answer[i] = std::fmod(std::fmod(answer[i], period) + period, period);
}

law *shift_law::deriv(int which) const { return f_->derivative(which); }

void shift_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(shift_law));
    full_size_caches(acc);
    if (f_) f_->full_size(acc, 1);
    if (p_) p_->full_size(acc, 1);
}
