#include <law/numeric/line_sampler.h>

#include <cmath>
#include <limits>

#include <law/core/law.h>

line_sampler::line_sampler(law const *f, int output)
    : f_(f), output_(output), inputs_(f->take_dim()), outputs_(f->return_dim()) {}

void line_sampler::values(std::span<double const> xs, std::span<double> ys) {
    int const n = static_cast<int>(xs.size());
    if (n == 0) return;
    evaluations_ += n;
    points_.assign(static_cast<std::size_t>(inputs_) * n, 0.0);
    if (inputs_ > 0)
        for (int k = 0; k < n; ++k) points_[static_cast<std::size_t>(k) * inputs_] = xs[k];
    results_.assign(static_cast<std::size_t>(outputs_) * n, 0.0);
    errors_.assign(n, 0);
    f_->evaluate_many(points_.data(), results_.data(), n, errors_.data());
    for (int k = 0; k < n; ++k) {
        double const y = results_[static_cast<std::size_t>(k) * outputs_ + output_];
        if (!errors_[k] && std::isinf(y)) {
            double &first = y > 0 ? overflow_high_ : overflow_low_;
            if (std::isnan(first)) first = xs[k];
        }
        ys[k] = errors_[k] || !std::isfinite(y) ? std::numeric_limits<double>::quiet_NaN() : y;
    }
}

std::vector<double> line_sampler::values(std::span<double const> xs) {
    std::vector<double> ys(xs.size());
    values(xs, ys);
    return ys;
}

double line_sampler::value(double x) {
    double y;
    values(std::span<double const>(&x, 1), std::span<double>(&y, 1));
    return y;
}
