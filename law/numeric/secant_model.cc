#include <law/numeric/secant_model.h>

#include <algorithm>
#include <cmath>

namespace {
double dot(std::vector<double> const &a, std::vector<double> const &b) {
    double s = 0;
    for (std::size_t i = 0; i < a.size(); ++i) s += a[i] * b[i];
    return s;
}

// A change of slope this small against the move that made it carries no curvature worth keeping.
constexpr double least_curvature_cosine = 1e-10;
}  // namespace

void secant_model::observe(std::vector<double> const &x, std::vector<double> const &g,
                           std::vector<double> const &curvature) {
    if (has_point_) {
        std::vector<double> s(x.size()), y(x.size());
        for (std::size_t i = 0; i < x.size(); ++i) {
            s[i] = x[i] - x_[i];
            y[i] = g[i] - g_[i];
        }
        correct(s, y);
    } else if (h_.empty()) {
        seed(curvature);
    }
    x_ = x;
    g_ = g;
    has_point_ = true;
}

// The inverse of the diagonal of curvatures; an axis of no convex curvature takes that of the
// stiffest axis, the shortest step. Nothing is seeded when no axis curves upward.
void secant_model::seed(std::vector<double> const &curvature) {
    double stiffest = 0;
    for (double c : curvature) stiffest = std::max(stiffest, c);
    if (!(stiffest > 0) || !std::isfinite(stiffest)) return;
    h_.assign(static_cast<std::size_t>(n_ * n_), 0.0);
    for (int i = 0; i < n_; ++i) {
        double const c = curvature[static_cast<std::size_t>(i)];
        h(i, i) = 1 / (c > 0 && std::isfinite(c) ? c : stiffest);
    }
}

// BFGS: H <- (I - r s y^T) H (I - r y s^T) + r s s^T with r = 1 / (y . s).
void secant_model::correct(std::vector<double> const &s, std::vector<double> const &y) {
    double const sy = dot(s, y);
    if (!(sy > least_curvature_cosine * std::sqrt(dot(s, s) * dot(y, y)))) return;
    if (h_.empty()) {
        // No curvature seen yet: the scale of this one change, the same on every axis.
        h_.assign(static_cast<std::size_t>(n_ * n_), 0.0);
        for (int i = 0; i < n_; ++i) h(i, i) = sy / dot(y, y);
    }
    double const r = 1 / sy;
    std::vector<double> hy(static_cast<std::size_t>(n_), 0.0);
    for (int i = 0; i < n_; ++i)
        for (int j = 0; j < n_; ++j) hy[static_cast<std::size_t>(i)] += h(i, j) * y[j];
    double const yhy = dot(y, hy);
    for (int i = 0; i < n_; ++i)
        for (int j = 0; j < n_; ++j) {
            std::size_t const a = static_cast<std::size_t>(i), b = static_cast<std::size_t>(j);
            h(i, j) += (1 + r * yhy) * r * s[a] * s[b] - r * (hy[a] * s[b] + s[a] * hy[b]);
        }
}

std::vector<double> secant_model::newton_step() const {
    if (!has_point_ || h_.empty()) return {};
    std::vector<double> d(static_cast<std::size_t>(n_), 0.0);
    for (int i = 0; i < n_; ++i)
        for (int j = 0; j < n_; ++j) d[static_cast<std::size_t>(i)] -= h(i, j) * g_[j];
    double const descent = dot(d, g_);
    if (!(descent < 0) || !std::isfinite(descent)) return {};
    return d;
}
