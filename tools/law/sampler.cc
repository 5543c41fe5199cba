#include "sampler.h"

#include <algorithm>
#include <cmath>

namespace law_tool {
namespace {

constexpr int max_depth = 14;            // halvings of one even step
constexpr int edge_halvings = 40;        // bisections that locate the end of a defined stretch
constexpr int budget_per_step = 64;      // evaluations allowed per even step, on average
constexpr double bend_tolerance = 1e-3;  // of the window, about half a pixel
constexpr double jump_fraction = 0.05;   // of the window: a segment this long at full depth jumps

struct sample {
    double t;
    bool ok;
    point2 p;
};

class sampler {
  public:
    sampler(plane_curve const &f, int budget) : f_(f), budget_(budget) {}

    sample at(double t) {
        sample s{t, false, {0, 0}};
        return counted(s, f_(t, s.p));
    }
    // A sample whose point was found elsewhere (ok when it is defined).
    sample counted(sample s, bool ok) {
        --budget_;
        s.ok = ok && std::isfinite(s.p.x) && std::isfinite(s.p.y);
        return s;
    }

    // Appends the samples after s0 up to s1, s1 included; a sample with ok false marks a gap.
    void refine(sample const &s0, sample const &s1, int depth, std::vector<sample> &out) {
        if (s0.ok != s1.ok) {
            locate_edge(s0, s1, out);
        } else if (s0.ok && depth < max_depth && budget_ > 0) {
            sample const mid = at(0.5 * (s0.t + s1.t));
            if (!mid.ok || bends(s0, mid, s1)) {
                refine(s0, mid, depth + 1, out);
                refine(mid, s1, depth + 1, out);
                return;
            }
        } else if (s0.ok && depth >= max_depth && jumps(s0, s1)) {
            out.push_back({0.5 * (s0.t + s1.t), false, {0, 0}});
        }
        out.push_back(s1);
    }

    void set_view(view_box const &v) {
        view_ = v;
        sx_ = 1 / std::max(v.x1 - v.x0, 1e-300);
        sy_ = 1 / std::max(v.y1 - v.y0, 1e-300);
    }

  private:
    double screen_distance(point2 a, point2 b) const {
        return std::hypot((a.x - b.x) * sx_, (a.y - b.y) * sy_);
    }
    bool bends(sample const &s0, sample const &mid, sample const &s1) const {
        point2 const chord{0.5 * (s0.p.x + s1.p.x), 0.5 * (s0.p.y + s1.p.y)};
        return screen_distance(mid.p, chord) > bend_tolerance;
    }
    // A long segment that cannot be shortened; one wholly beyond an edge of the window is not
    // seen, and a pole's steep flanks stay joined there.
    bool jumps(sample const &s0, sample const &s1) const {
        return screen_distance(s0.p, s1.p) > jump_fraction && !beyond_one_edge(s0.p, s1.p);
    }
    bool beyond_one_edge(point2 a, point2 b) const {
        return (a.x < view_.x0 && b.x < view_.x0) || (a.x > view_.x1 && b.x > view_.x1) ||
               (a.y < view_.y0 && b.y < view_.y0) || (a.y > view_.y1 && b.y > view_.y1);
    }

    // Bisects between a defined and an undefined sample so that the stretch reaches its end.
    void locate_edge(sample const &s0, sample const &s1, std::vector<sample> &out) {
        sample good = s0.ok ? s0 : s1;
        sample bad = s0.ok ? s1 : s0;
        for (int i = 0; i < edge_halvings && budget_ > 0; ++i) {
            sample const mid = at(0.5 * (good.t + bad.t));
            (mid.ok ? good : bad) = mid;
        }
        sample const gap{0.5 * (good.t + bad.t), false, {0, 0}};
        if (s0.ok) {
            out.push_back(good);
            out.push_back(gap);
        } else {
            out.push_back(gap);
            out.push_back(good);
        }
        out.push_back(s1);
    }

    plane_curve const &f_;
    int budget_;
    view_box view_;
    double sx_ = 1, sy_ = 1;
};

std::vector<stretch> split_at_gaps(std::vector<sample> const &samples) {
    std::vector<stretch> pieces;
    stretch current;
    for (sample const &s : samples) {
        if (s.ok) {
            current.push_back(s.p);
        } else if (!current.empty()) {
            pieces.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty()) pieces.push_back(std::move(current));
    return pieces;
}

// [lo, hi] of the values, the far ends of poles cut off.
void robust_range(std::vector<double> v, double &lo, double &hi) {
    if (v.empty()) {
        lo = -1;
        hi = 1;
        return;
    }
    std::sort(v.begin(), v.end());
    double const full = v.back() - v.front();
    auto const quantile = [&](double q) { return v[static_cast<std::size_t>(q * (v.size() - 1))]; };
    double const qlo = quantile(0.05), qhi = quantile(0.95);
    if (qhi > qlo && full > 4 * (qhi - qlo)) {
        double const margin = 0.25 * (qhi - qlo);
        lo = qlo - margin;
        hi = qhi + margin;
    } else if (full > 0) {
        lo = v.front() - 0.05 * full;
        hi = v.back() + 0.05 * full;
    } else {
        double const pad = v.front() == 0 ? 1 : 0.1 * std::fabs(v.front());
        lo = v.front() - pad;
        hi = v.front() + pad;
    }
}

}  // namespace

view_box choose_view(std::span<point2 const> points, view_box const *x_range) {
    std::vector<double> xs, ys;
    xs.reserve(points.size());
    ys.reserve(points.size());
    for (point2 const &p : points) {
        xs.push_back(p.x);
        ys.push_back(p.y);
    }
    view_box v;
    if (x_range) {
        v.x0 = x_range->x0;
        v.x1 = x_range->x1;
    } else {
        robust_range(std::move(xs), v.x0, v.x1);
    }
    robust_range(std::move(ys), v.y0, v.y1);
    return v;
}

sampled_curve sample_curve(plane_curve const &f, double a, double b, int n,
                           plane_curve_many const &many) {
    n = std::max(n, 1);
    sampler s(f, budget_per_step * n);
    std::vector<sample> even;
    even.reserve(static_cast<std::size_t>(n) + 1);
    std::vector<double> ts;
    for (int i = 0; i <= n; ++i) ts.push_back(a + (b - a) * i / n);
    if (many) {
        std::vector<point2> ps;
        std::vector<char> ok;
        many(ts, ps, ok);
        for (std::size_t i = 0; i < ts.size(); ++i)
            even.push_back(s.counted({ts[i], false, ps[i]}, ok[i] != 0));
    } else {
        for (double t : ts) even.push_back(s.at(t));
    }

    std::vector<point2> coarse;
    for (sample const &e : even)
        if (e.ok) coarse.push_back(e.p);
    s.set_view(choose_view(coarse, nullptr));

    std::vector<sample> all{even.front()};
    for (std::size_t i = 1; i < even.size(); ++i) s.refine(even[i - 1], even[i], 0, all);

    sampled_curve out;
    out.points = std::move(coarse);
    out.stretches = split_at_gaps(all);
    return out;
}

}  // namespace law_tool
