#include <law/numeric/chebyshev_pieces.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include <law/numeric/chebyshev_series.h>
#include <law/numeric/line_sampler.h>

namespace {
// The coefficients are resolved when they fall to a plateau at this relative level or below.
constexpr double chop_tol = DBL_EPSILON;
// Grids tried in turn: the points of the second kind nest, so each size adds only new points;
// a piece with a pole at an end takes points of the first kind, which leave the ends out.
constexpr int lobatto_sizes[] = {9, 17, 33, 65, 129, 257, 513, 1025, 2049};
constexpr int gauss_sizes[] = {16, 32, 64, 128};
// A series this short is checked against the function at points off its grid.
constexpr int checked_size = 17;
constexpr double check_points[] = {0.3090169943749474, -0.7692307692307693};
// The rounding of a function's values is taken as resolved up to this level relative to the
// largest coefficient, when doubling the points lowers the upper half of the coefficients by
// less than noise_stall; the coefficients within noise_margin of that level are dropped.
constexpr double noise_ceiling = 1e-6, noise_stall = 0.1, noise_margin = 10;
// A series that stalls below this level splits without more points.
constexpr double stall_ceiling = 1e-3;
// From this size, a misfit that sits in one place splits the piece at once.
constexpr int early_split_size = 33;
constexpr double localized_ratio = 10;
// ... judged against the misfit farther than this from its worst point (in [-1, 1]).
constexpr double far_from_misfit = 0.5;
// A misfit this close to an end (in the piece's own [-1, 1]) is at that end; a piece that
// misbehaves at an end is split a sixteenth of its width from it.
constexpr double end_zone = 0.9;
constexpr double grade = 1.0 / 16;
// No piece is narrower than this fraction of [a, b], nor than this many units in the last place
// of its ends, across which the values of a law step by their last bits.
constexpr double relative_min_width = 1e-15;
constexpr double least_places = 1024;
// A pole shows as growth over points at these fractions of the width from an end.
constexpr double pole_far = 0x1p-10, pole_step = 0x1p-5, pole_nearest = 0x1p-30;
constexpr double least_pole_order = 0.4, greatest_pole_order = 6;

struct task {
    double lo, hi;
    double pole_lo = 0, pole_hi = 0;
    bool tested_lo = false, tested_hi = false;
    // An end at a break point is sampled a hair inside the piece.
    bool break_lo = false, break_hi = false;
    // The sign of the values towards an end where they grow without bound, else 0.
    double blows_lo = 0, blows_hi = 0;
};

// Where the finer interpolant departs from the coarser one: its place in [-1, 1], and whether
// the departure sits in one place rather than all along.
struct misfit {
    double t = 0;
    bool localized = false;
};

misfit misfit_between(std::span<double const> coarse, std::span<double const> ts,
                      std::span<double const> values, bool nested) {
    std::vector<double> r, at;
    double largest = -1, where = 0;
    // The coarse interpolant on the finer grid: by one transform on the nested grid.
    std::vector<double> const before =
        nested ? chebyshev::lobatto_values(coarse, static_cast<int>(ts.size()))
               : std::vector<double>();
    for (std::size_t j = nested ? 1 : 0; j < ts.size(); j += nested ? 2 : 1) {
        double const d =
            std::fabs(values[j] - (nested ? before[j] : chebyshev::value(coarse, ts[j])));
        r.push_back(d);
        at.push_back(ts[j]);
        if (d > largest) {
            largest = d;
            where = ts[j];
        }
    }
    if (r.empty() || largest <= 0) return {};
    // Localized: away from the worst point the two interpolants agree far better.
    double away = 0;
    for (std::size_t k = 0; k < r.size(); ++k)
        if (std::fabs(at[k] - where) > far_from_misfit) away = std::max(away, r[k]);
    return {where, largest >= localized_ratio * away};
}

class builder {
  public:
    builder(line_sampler &f, double a, double b, long budget, piece_filter const &unneeded)
        : f_(f), span_(b - a), budget_(f.evaluations() + budget), unneeded_(unneeded) {}

    piece_cover run(double a, double b, std::span<double const> breaks) {
        std::vector<double> ends{a};
        std::vector<double> inside(breaks.begin(), breaks.end());
        std::sort(inside.begin(), inside.end());
        // A break at an end of [a, b] makes that end one-sided too.
        bool at_a = false, at_b = false;
        for (double s : inside) {
            at_a = at_a || std::fabs(s - a) <= min_width(a, s);
            at_b = at_b || std::fabs(s - b) <= min_width(s, b);
            if (s > ends.back() + min_width(ends.back(), s) && s < b - min_width(s, b))
                ends.push_back(s);
        }
        ends.push_back(b);
        for (std::size_t i = ends.size() - 1; i-- > 0;) {
            task t{ends[i], ends[i + 1]};
            t.break_lo = i > 0 || at_a;
            t.break_hi = i + 2 < ends.size() || at_b;
            stack_.push_back(t);
        }
        while (!stack_.empty()) {
            task const t = stack_.back();
            stack_.pop_back();
            process(t);
        }
        return std::move(out_);
    }

  private:
    double min_width(double lo, double hi) const {
        return std::max(relative_min_width * span_,
                        least_places * DBL_EPSILON * std::max(std::fabs(lo), std::fabs(hi)));
    }

    static double x_of(task const &t, double s) {
        return s <= -1 ? t.lo : s >= 1 ? t.hi : t.lo + (t.hi - t.lo) * (s + 1) / 2;
    }

    // A few units in the last place of x.
    static double hair(double x) { return 8 * DBL_EPSILON * std::max(std::fabs(x), DBL_MIN); }

    // Where the sample of t at s is taken: an end at a break a hair inside.
    double sample_x(task const &t, double s) const {
        if (s <= -1 && t.break_lo) return t.lo + hair(t.lo);
        if (s >= 1 && t.break_hi) return t.hi - hair(t.hi);
        return x_of(t, s);
    }

    static double weight(task const &t, double x) {
        double w = 1;
        if (t.pole_lo > 0) w *= std::pow(std::fabs(x - t.lo), t.pole_lo);
        if (t.pole_hi > 0) w *= std::pow(std::fabs(t.hi - x), t.pole_hi);
        return w;
    }

    void process(task t) {
        if (unneeded_ && unneeded_(sample_x(t, -1), sample_x(t, 1))) return;
        if (t.hi - t.lo <= 4 * min_width(t.lo, t.hi) || f_.evaluations() >= budget_) {
            if (f_.evaluations() >= budget_) out_.complete = false;
            emit_unresolved(t);
            return;
        }
        bool const weighted = t.pole_lo > 0 || t.pole_hi > 0;
        std::span<int const> const sizes =
            weighted ? std::span<int const>(gauss_sizes) : std::span<int const>(lobatto_sizes);
        std::vector<double> ts, values, coarse;
        for (std::size_t level = 0; level < sizes.size(); ++level) {
            int const n = sizes[level];
            sample(t, weighted, n, ts, values);
            if (std::any_of(values.begin(), values.end(), [](double v) { return std::isnan(v); })) {
                split_at_failures(t, weighted, ts, values);
                return;
            }
            std::vector<double> c = weighted ? chebyshev::gauss_coefficients(values)
                                             : chebyshev::lobatto_coefficients(values);
            int length = chebyshev::resolved_length(c, chop_tol);
            stall const doubling = length == n && level > 0 ? stalled(coarse, c) : stall::none;
            if (doubling == stall::rounding) length = rounding_length(c);
            if (length < n && (n > checked_size || agrees_off_grid(t, c))) {
                emit_resolved(t, weighted, std::move(c), length, values);
                return;
            }
            misfit const m = level > 0 ? misfit_between(coarse, ts, values, !weighted) : misfit{};
            if (level + 1 == sizes.size() || doubling == stall::split ||
                (n >= early_split_size && m.localized)) {
                split(t, m);
                return;
            }
            coarse = std::move(c);
        }
    }

    // What doubling the points did to a series that the plateau rule does not accept: when the
    // upper half of its coefficients stays at a small level, the function's values are
    // resolved to their rounding (a function computed with cancellation), or, at a higher level,
    // more points will not help (a singularity, or values that jump by their last bits): the
    // piece is to be split.
    enum class stall { none, rounding, split };
    static stall stalled(std::span<double const> coarse, std::span<double const> c) {
        if (c.size() < static_cast<std::size_t>(checked_size)) return stall::none;
        auto upper_half = [](std::span<double const> s) {
            double top = 0;
            for (std::size_t k = s.size() / 2; k < s.size(); ++k)
                top = std::max(top, std::fabs(s[k]));
            return top;
        };
        double largest = 0;
        for (double v : c) largest = std::max(largest, std::fabs(v));
        double const level = upper_half(c), before = upper_half(coarse);
        if (!(level >= noise_stall * before)) return stall::none;
        if (level <= noise_ceiling * largest) return stall::rounding;
        return level <= stall_ceiling * largest ? stall::split : stall::none;
    }

    // The length of a series resolved to its rounding: up to where its coefficients come within
    // a margin of the level of its upper half.
    static int rounding_length(std::span<double const> c) {
        int const n = static_cast<int>(c.size());
        double level = 0;
        for (int k = n / 2; k < n; ++k) level = std::max(level, std::fabs(c[k]));
        int length = n;
        while (length > 1 && std::fabs(c[length - 1]) <= noise_margin * level) --length;
        return std::min(length, n - 1);
    }

    // g at the grid of n points; a nested grid keeps the values it had.
    void sample(task const &t, bool weighted, int n, std::vector<double> &ts,
                std::vector<double> &values) {
        std::vector<double> const previous = std::move(values);
        ts = weighted ? chebyshev::gauss_points(n) : chebyshev::lobatto_points(n);
        values.assign(n, 0.0);
        bool const nested = !weighted && !previous.empty() && 2 * previous.size() - 1 == ts.size();
        std::vector<double> xs;
        std::vector<int> where;
        for (int j = 0; j < n; ++j) {
            if (nested && j % 2 == 0) {
                values[j] = previous[j / 2];
                continue;
            }
            xs.push_back(sample_x(t, ts[j]));
            where.push_back(j);
        }
        std::vector<double> const ys = f_.values(xs);
        for (std::size_t k = 0; k < xs.size(); ++k) values[where[k]] = ys[k] * weight(t, xs[k]);
    }

    // A short series that the chop rule accepts must also match the function between its
    // points: a few samples can fall where a function looks like a low polynomial.
    bool agrees_off_grid(task const &t, std::span<double const> c) {
        double scale = 0;
        for (double v : c) scale += std::fabs(v);
        for (double s : check_points) {
            double const x = x_of(t, s);
            double const y = f_.value(x) * weight(t, x);
            if (std::isnan(y) || std::fabs(y - chebyshev::value(c, s)) > 1e3 * DBL_EPSILON * scale)
                return false;
        }
        return true;
    }

    // The piece of a task: its ends, poles and growth, and where its ends are sampled.
    chebyshev_piece piece_of(task const &t) const {
        chebyshev_piece p;
        p.lo = t.lo;
        p.hi = t.hi;
        p.pole_lo = t.pole_lo;
        p.pole_hi = t.pole_hi;
        p.blows_lo = t.blows_lo;
        p.blows_hi = t.blows_hi;
        p.x_lo = sample_x(t, -1);
        p.x_hi = sample_x(t, 1);
        return p;
    }

    void emit_resolved(task const &t, bool weighted, std::vector<double> c, int length,
                       std::vector<double> const &values) {
        chebyshev_piece p = piece_of(t);
        for (double v : values) p.scale = std::max(p.scale, std::fabs(v));
        p.noise = DBL_EPSILON * p.scale;
        for (std::size_t k = length; k < c.size(); ++k)
            p.noise = std::max(p.noise, std::fabs(c[k]));
        c.resize(length);
        p.slope = chebyshev::derivative(c);
        p.coefficients = std::move(c);
        if (!weighted) {
            p.f_lo = values.front();
            p.f_hi = values.back();
        }
        out_.pieces.push_back(std::move(p));
    }

    void emit_unresolved(task const &t) {
        chebyshev_piece p = piece_of(t);
        if (t.pole_lo == 0) p.f_lo = f_.value(p.x_lo);
        if (t.pole_hi == 0) p.f_hi = f_.value(p.x_hi);
        out_.pieces.push_back(std::move(p));
    }

    // How the function behaves towards `end` of a piece of the given width, seen from inside
    // (dir +1 from the low end, -1 from the high end), from a few points closing in on the end
    // where it still has a value: growth like a power of the distance is a pole of that order
    // (in halves); growth by steady steps is unbounded too (a logarithm); anything else is
    // bounded.
    struct growth {
        double power = 0;  // the order of a pole
        double sign = 0;   // the sign of the values where they grow without bound
    };
    growth growth_at(double end, double dir, double width) {
        std::vector<double> xs;
        for (double d = pole_far; d >= pole_nearest; d *= pole_step)
            xs.push_back(end + dir * width * d);
        std::vector<double> const ys = f_.values(xs);
        std::vector<double> m;
        for (double y : ys) {
            if (!(std::fabs(y) > 0) || std::isnan(y)) break;
            m.push_back(std::fabs(y));
        }
        growth g;
        if (m.size() < 2) return g;
        double const k = std::log2(m.back() / m[m.size() - 2]) / std::log2(1 / pole_step);
        double const sign = ys[m.size() - 1] > 0 ? 1 : -1;
        if (k >= least_pole_order) {
            g.power = std::min(std::round(2 * k) / 2, greatest_pole_order);
            g.sign = sign;
            return g;
        }
        bool steady = m.size() >= 3;
        for (std::size_t i = 2; steady && i < m.size(); ++i) {
            double const step = m[i] - m[i - 1], before = m[i - 1] - m[i - 2];
            steady = before > 0 && step >= 0.5 * before;
        }
        if (steady) g.sign = sign;
        return g;
    }

    // Tests `end` of t once; true when it is a pole, and t takes its weight. A logarithmic
    // blow-up is noted on t.
    bool took_pole(task &t, bool at_lo) {
        bool &tested = at_lo ? t.tested_lo : t.tested_hi;
        double &pole = at_lo ? t.pole_lo : t.pole_hi;
        if (tested || pole > 0) return false;
        tested = true;
        growth const g = growth_at(at_lo ? t.lo : t.hi, at_lo ? 1 : -1, t.hi - t.lo);
        (at_lo ? t.blows_lo : t.blows_hi) = g.sign;
        pole = g.power;
        return pole > 0;
    }

    void split(task t, misfit const &m) {
        double s = (t.lo + t.hi) / 2;
        if (m.localized) {
            bool const at_lo = m.t<-end_zone, at_hi = m.t> end_zone;
            if ((at_lo || at_hi) && took_pole(t, at_lo)) {
                stack_.push_back(t);
                return;
            }
            double const w = t.hi - t.lo;
            s = at_lo ? t.lo + w * grade : at_hi ? t.hi - w * grade : x_of(t, m.t);
        }
        if (!(s > t.lo && s < t.hi)) s = (t.lo + t.hi) / 2;
        task left = t, right = t;
        left.hi = right.lo = s;
        left.pole_hi = right.pole_lo = 0;
        left.tested_hi = right.tested_lo = false;
        left.break_hi = right.break_lo = false;
        left.blows_hi = right.blows_lo = 0;
        stack_.push_back(right);
        stack_.push_back(left);
    }

    // The last point from x_ok towards x_fail where the function has a value.
    double last_valid(double x_ok, double x_fail) {
        while (std::fabs(x_fail - x_ok) > min_width(x_ok, x_fail)) {
            double const m = (x_ok + x_fail) / 2;
            if (std::isnan(f_.value(m)))
                x_fail = m;
            else
                x_ok = m;
        }
        return x_ok;
    }

    // Some samples failed: a pole at an end takes its weight; otherwise the piece keeps the
    // stretches around its valid samples, each cut where the function stops having a value.
    void split_at_failures(task t, bool weighted, std::span<double const> ts,
                           std::span<double const> values) {
        int const n = static_cast<int>(ts.size());
        bool const lo_fails = !weighted && std::isnan(values[0]);
        bool const hi_fails = !weighted && std::isnan(values[n - 1]);
        if ((lo_fails && took_pole(t, true)) || (hi_fails && took_pole(t, false))) {
            stack_.push_back(t);
            return;
        }
        std::vector<task> stretches;
        for (int j = 0; j < n;) {
            if (std::isnan(values[j])) {
                ++j;
                continue;
            }
            int k = j;
            while (k + 1 < n && !std::isnan(values[k + 1])) ++k;
            task s = t;
            s.lo = j == 0 ? t.lo : last_valid(x_of(t, ts[j]), x_of(t, ts[j - 1]));
            s.hi = k == n - 1 ? t.hi : last_valid(x_of(t, ts[k]), x_of(t, ts[k + 1]));
            if (j > 0) s.pole_lo = s.blows_lo = 0, s.tested_lo = s.break_lo = false;
            if (k < n - 1) s.pole_hi = s.blows_hi = 0, s.tested_hi = s.break_hi = false;
            if (s.hi > s.lo) stretches.push_back(s);
            j = k + 1;
        }
        for (std::size_t i = stretches.size(); i-- > 0;) stack_.push_back(stretches[i]);
    }

    line_sampler &f_;
    double span_;
    long budget_;
    piece_filter const &unneeded_;
    std::vector<task> stack_;
    piece_cover out_;
};
}  // namespace

double chebyshev_piece::x_of(double t) const {
    return t <= -1 ? lo : t >= 1 ? hi : lo + (hi - lo) * (t + 1) / 2;
}

double chebyshev_piece::weight(double x) const {
    double w = 1;
    if (pole_lo > 0) w *= std::pow(std::fabs(x - lo), pole_lo);
    if (pole_hi > 0) w *= std::pow(std::fabs(hi - x), pole_hi);
    return w;
}

std::vector<chebyshev_piece::stretch> chebyshev_piece::halves() const {
    double const mid = lo + (hi - lo) / 2;
    return {{lo, mid}, {mid, hi}};
}

std::vector<double> chebyshev_piece::fine_grid() const {
    return chebyshev::lobatto_values(coefficients, 2 * static_cast<int>(coefficients.size()) + 8);
}

bool chebyshev_piece::fine_grid_runs(std::vector<double> const &v,
                                     std::function<bool(double)> const &in,
                                     std::vector<stretch> &out) const {
    int const n = static_cast<int>(v.size());
    std::vector<double> const t = chebyshev::lobatto_points(n);
    for (int j = 0; j < n;) {
        int k = j;
        while (in(v[j]) && k + 1 < n && in(v[k + 1])) ++k;
        if (k > j) {
            double const s0 = j == 0 ? lo : x_of(t[j - 1]);
            double const s1 = k == n - 1 ? hi : x_of(t[k + 1]);
            if (s0 == lo && s1 == hi) return true;
            out.emplace_back(s0, s1);
        }
        j = k + 1;
    }
    return false;
}

double chebyshev_piece::g(double x) const { return chebyshev::value(coefficients, t_of(x)); }

double chebyshev_piece::dg(double x) const {
    return chebyshev::value(slope, t_of(x)) * 2 / (hi - lo);
}

piece_cover chebyshev_pieces(line_sampler &f, double a, double b, std::span<double const> breaks,
                             long budget, piece_filter const &unneeded) {
    return builder(f, a, b, budget, unneeded).run(a, b, breaks);
}
