#include <law/spline/curve_samples.h>

#include <utility>

#include <law/core/law.h>

curve_samples::curve_samples(law const *f, std::vector<double> ts)
    : f_(f), ts_(std::move(ts)), errors_(ts_.size(), 1) {
    if (f_->take_dim() != 1 || f_->return_dim() != 3) return;  // each point alone
    values_.resize(3 * ts_.size());
    f_->evaluate_many(ts_.data(), values_.data(), size(), errors_.data());
}

ZEM::position curve_samples::at(int i) const {
    auto const k = static_cast<std::size_t>(i);
    if (errors_[k]) return f_->evaluateR_P(ts_[k]);
    return {values_[3 * k], values_[3 * k + 1], values_[3 * k + 2]};
}
