#include <law/numeric/nmin_nd.h>

#include <algorithm>
#include <cmath>
#include <string>

#include <law/base/tolerance.h>
#include <law/core/law.h>
#include <law/numeric/constrained_objective.h>
#include <law/numeric/root_settings.h>
#include <law/numeric/search_checks.h>

namespace {
constexpr double shrink_factor = 0.5;
constexpr double grow_factor = 2.0;
constexpr int iterations_before_growth = 3;
constexpr double smallest_step = 1e-14;

double largest(nvector const &v) {
    double m = 0;
    for (int i = 0; i < v.dimension(); ++i) m = std::max(m, std::fabs(v[i]));
    return m;
}

double length(nvector const &v) {
    double s = 0;
    for (int i = 0; i < v.dimension(); ++i) s += v[i] * v[i];
    return std::sqrt(s);
}

// A compass move: coordinate and direction (0 for none).
struct move {
    int coordinate = -1;
    int sign = 0;
    bool operator==(move const &) const = default;
};

class compass_search {
  public:
    compass_search(law const *f, law const *constraint, nvector const &start, nvector const &step)
        : objective_(f, constraint, start.dimension()),
          n_(start.dimension()),
          x_(start),
          prev_(start),
          anchor_(start),
          step_(step) {
        fx_ = objective_(x_.coordinates());
    }

    // One iteration; false when the search should stop for its own reasons.
    bool iterate() {
        move const chosen = best_compass_move();
        if (chosen.sign == 0) {
            change_steps(shrink_factor, -1);
        } else {
            try_pattern_move();
            ++since_change_;
            if (since_change_ >= iterations_before_growth || chosen == last_move_)
                change_steps(grow_factor, 1);
        }
        last_move_ = chosen;
        return !oscillating() && !exhausted();
    }

    bool exhausted() const {
        double const s = largest(step_);
        return objective_.evaluations() > root_tols().root_iter_max || s < smallest_step ||
               s <= root_tols().root_x_tol;
    }

    nvector const &point() const { return x_; }
    double value() const { return fx_; }
    nvector const &steps() const { return step_; }

  private:
    void move_to(nvector const &t, double v) {
        prev_ = x_;
        x_ = t;
        fx_ = v;
    }

    // Tries x ± step_i for every coordinate i (but not the point just left) and moves to the
    // first of the lowest that improves.
    move best_compass_move() {
        move best;
        nvector best_point;
        double best_value = fx_;
        for (int i = 0; i < n_; ++i) {
            for (int sign : {1, -1}) {
                nvector t = x_;
                t[i] += sign * step_[i];
                if (t == prev_) continue;
                double const v = objective_(t.coordinates());
                if (v < best_value) {
                    best_value = v;
                    best_point = t;
                    best = {i, sign};
                }
            }
        }
        if (best.sign != 0) move_to(best_point, best_value);
        return best;
    }

    // One step of the largest step's length along the way travelled since the steps last
    // changed.
    void try_pattern_move() {
        nvector d(n_);
        for (int i = 0; i < n_; ++i) d[i] = x_[i] - anchor_[i];
        double const len = length(d);
        if (len <= get_resnor()) return;
        double const scale = largest(step_) / len;
        nvector t = x_;
        for (int i = 0; i < n_; ++i) t[i] += d[i] * scale;
        double const v = objective_(t.coordinates());
        if (v < fx_) move_to(t, v);
    }

    void change_steps(double factor, int direction) {
        for (int i = 0; i < n_; ++i) step_[i] *= factor;
        if (last_change_ != 0 && last_change_ != direction) ++switches_;
        last_change_ = direction;
        since_change_ = 0;
        anchor_ = x_;
    }

    bool oscillating() const {
        return switches_ > 10 * n_ && switches_ > 0.1 * objective_.evaluations() * n_;
    }

    constrained_objective objective_;
    int n_;
    nvector x_, prev_, anchor_, step_;
    double fx_ = 0;
    move last_move_;
    int last_change_ = 0;
    int since_change_ = 0;
    int switches_ = 0;
};

double stop_value(compass_search const &s, law const *stop) {
    return stop ? scalar_at(stop, s.point().coordinates()) : s.value();
}
}  // namespace

nvector NminND(law *f, law *constraint, nvector &start, nvector &step, double *value, nvector *out,
               double target, law *stop) {
    if (step.dimension() != start.dimension())
        law_error(LAW_DIM, "a start of " + std::to_string(start.dimension()) +
                               " coordinates and steps of " + std::to_string(step.dimension()));
    for (int i = 0; i < start.dimension(); ++i) {
        check_finite(start[i], "a coordinate of the start");
        check_finite(step[i], "a step");
    }
    check_point_law(stop, start.dimension());
    compass_search search(f, constraint, start, step);
    if (largest(step) > root_tols().root_x_tol) {
        while (!search.exhausted() && search.iterate() && stop_value(search, stop) >= target)
            continue;
    }
    if (value) *value = search.value();
    if (out) *out = search.steps();
    return search.point();
}
