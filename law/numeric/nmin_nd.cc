#include <law/numeric/nmin_nd.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include <law/base/tolerance.h>
#include <law/core/law.h>
#include <law/numeric/constrained_objective.h>
#include <law/numeric/root_settings.h>
#include <law/numeric/search_checks.h>
#include <law/numeric/secant_model.h>

namespace {
constexpr double shrink_factor = 0.5;
constexpr double grow_factor = 2.0;
constexpr int iterations_before_growth = 3;
constexpr double smallest_step = 1e-14;
// A move along a direction that keeps improving is stretched at most this many times.
constexpr int most_stretches = 4;

double largest(nvector const &v) {
    double m = 0;
    for (int i = 0; i < v.dimension(); ++i) m = std::max(m, std::fabs(v[i]));
    return m;
}

double dot(std::vector<double> const &a, std::vector<double> const &b) {
    double s = 0;
    for (std::size_t i = 0; i < a.size(); ++i) s += a[i] * b[i];
    return s;
}

double length(std::vector<double> const &v) { return std::sqrt(dot(v, v)); }

// A compass move: coordinate and direction (0 for none).
struct move {
    int coordinate = -1;
    int sign = 0;
    bool operator==(move const &) const = default;
};

// The compass trials around a point: the values at x + step_i and x - step_i (the largest finite
// double where the constraint forbids the trial), and the best of them.
struct poll {
    move best;
    nvector best_point;
    double best_value = 0;
    std::vector<double> plus, minus;
};

bool allowed(double v) { return v < DBL_MAX; }

// The compass search of the many-variable minimiser. Beside the compass moves it tries a move
// along one direction each iteration: the quasi-Newton step of a secant model fed by the
// central differences of the compass trials; at the edge of the constraint, the way downhill
// turned away from the trials it forbade; otherwise the way travelled since the steps last
// changed (a Hooke-Jeeves pattern move). In a curved valley the compass moves alone crawl along
// the floor a step at a time.
class compass_search {
  public:
    compass_search(law const *f, law const *constraint, nvector const &start, nvector const &step)
        : objective_(f, constraint, start.dimension()),
          n_(start.dimension()),
          x_(start),
          prev_(start),
          anchor_(start),
          step_(step),
          model_(start.dimension()) {
        fx_ = objective_(x_.coordinates());
        prev_value_ = fx_;
    }

    // One iteration; false when the search should stop for its own reasons.
    bool iterate() {
        nvector const centre = x_;
        double const centre_value = fx_;
        poll const p = compass_poll();
        observe(centre, centre_value, p);
        if (p.best.sign != 0) move_to(p.best_point, p.best_value);
        if (!exhausted()) try_direction_move(centre_value, p);
        if (p.best.sign == 0) {
            change_steps(shrink_factor, -1);
        } else {
            ++since_change_;
            if (since_change_ >= iterations_before_growth || p.best == last_move_)
                change_steps(grow_factor, 1);
        }
        last_move_ = p.best;
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
        prev_value_ = fx_;
        x_ = t;
        fx_ = v;
    }

    // Tries x +- step_i for every coordinate i; the point just left is not evaluated again, its
    // value is known.
    poll compass_poll() {
        poll p;
        p.best_value = fx_;
        p.plus.resize(static_cast<std::size_t>(n_));
        p.minus.resize(static_cast<std::size_t>(n_));
        for (int i = 0; i < n_; ++i) {
            for (int sign : {1, -1}) {
                nvector t = x_;
                t[i] += sign * step_[i];
                double &v = (sign > 0 ? p.plus : p.minus)[static_cast<std::size_t>(i)];
                if (t == prev_) {
                    v = prev_value_;
                    continue;
                }
                v = objective_(t.coordinates());
                if (v < p.best_value) {
                    p.best_value = v;
                    p.best_point = t;
                    p.best = {i, sign};
                }
            }
        }
        return p;
    }

    // Central differences of the trials give the slope and the curvature along each axis; the
    // secant model learns from them when every trial was allowed and every value is finite.
    void observe(nvector const &centre, double fc, poll const &p) {
        std::vector<double> slope(static_cast<std::size_t>(n_)), curvature(slope.size());
        bool usable = allowed(fc) && std::isfinite(fc);
        for (std::size_t i = 0; usable && i < slope.size(); ++i) {
            double const h = step_[static_cast<int>(i)];
            slope[i] = (p.plus[i] - p.minus[i]) / (2 * h);
            curvature[i] = (p.plus[i] - 2 * fc + p.minus[i]) / (h * h);
            usable = allowed(p.plus[i]) && allowed(p.minus[i]) && std::isfinite(slope[i]) &&
                     std::isfinite(curvature[i]);
        }
        if (!usable) {
            model_.forget();
            return;
        }
        model_.observe(std::vector<double>(centre.coordinates(), centre.coordinates() + n_), slope,
                       curvature);
        slope_ = slope;
    }

    // Downhill by one-sided differences, less its part across the edge that the forbidden
    // trials outline (the sum of their directions); empty when no trial was forbidden.
    std::vector<double> along_the_edge(double fc, poll const &p) const {
        std::vector<double> down(static_cast<std::size_t>(n_), 0.0), out(down.size(), 0.0);
        bool edge = false;
        for (std::size_t i = 0; i < down.size(); ++i) {
            double const h = step_[static_cast<int>(i)];
            bool const up = allowed(p.plus[i]), low = allowed(p.minus[i]);
            edge = edge || !up || !low;
            out[i] = (up ? 0.0 : 1.0) - (low ? 0.0 : 1.0);
            if (up && low)
                down[i] = (p.minus[i] - p.plus[i]) / (2 * h);
            else if (up)
                down[i] = (fc - p.plus[i]) / h;
            else if (low)
                down[i] = (p.minus[i] - fc) / h;
        }
        if (!edge) return {};
        double const across = dot(down, out), size = dot(out, out);
        if (across > 0 && size > 0)
            for (std::size_t i = 0; i < down.size(); ++i) down[i] -= across / size * out[i];
        return down;
    }

    // A line search from the point along the model's step (first tried at its full length), or
    // along another way (first tried at the largest step, stretched while it improves).
    void try_direction_move(double fc, poll const &p) {
        std::vector<double> d = model_.newton_step();
        bool const newton = !d.empty();
        if (!newton) d = allowed(fc) ? along_the_edge(fc, p) : std::vector<double>{};
        if (d.empty()) {
            d.resize(static_cast<std::size_t>(n_));
            for (int i = 0; i < n_; ++i) d[static_cast<std::size_t>(i)] = x_[i] - anchor_[i];
        }
        // The way is measured in steps, so that it still has a direction when the point is
        // closer to the minimum than the length a direction needs.
        double const unit = largest(step_);
        for (double &c : d) c /= unit;
        double const len = length(d);
        if (!(len > get_resnor()) || !std::isfinite(len)) return;
        for (double &c : d) c /= len;
        double const slope = newton ? dot(slope_, d) : NAN;
        line_search(d, newton ? len * unit : unit, slope, !newton);
    }

    nvector along(nvector const &base, std::vector<double> const &u, double a) const {
        nvector t = base;
        for (int i = 0; i < n_; ++i) t[i] += a * u[static_cast<std::size_t>(i)];
        return t;
    }

    void line_search(std::vector<double> const &u, double a, double slope, bool stretch) {
        nvector const base = x_;
        double const fb = fx_;
        nvector t = along(base, u, a);
        double v = objective_(t.coordinates());
        if (v < fb) {
            move_to(t, v);
            for (int k = 0; stretch && k < most_stretches && !exhausted(); ++k) {
                a *= 2;
                t = along(base, u, a);
                v = objective_(t.coordinates());
                if (!(v < fx_)) break;
                move_to(t, v);
            }
            return;
        }
        // Too far: the minimum of the parabola through the base value, its slope and the value
        // found, kept between a tenth and a half of the way.
        double back = 0.25 * a;
        if (slope < 0 && v < DBL_MAX) back = -slope * a * a / (2 * (v - fb - slope * a));
        if (!(back >= 0.1 * a)) back = 0.1 * a;
        back = std::min(back, 0.5 * a);
        if (exhausted()) return;
        t = along(base, u, back);
        v = objective_(t.coordinates());
        if (v < fb) move_to(t, v);
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
    double fx_ = 0, prev_value_ = 0;
    secant_model model_;
    std::vector<double> slope_;  // at the last point the model observed
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
