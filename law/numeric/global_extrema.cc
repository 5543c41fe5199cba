#include <law/numeric/global_extrema.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <law/core/law.h>
#include <law/core/singular_points.h>
#include <law/numeric/chebyshev_pieces.h>
#include <law/numeric/chebyshev_roots.h>
#include <law/numeric/chebyshev_series.h>
#include <law/numeric/error_detail.h>
#include <law/numeric/line_sampler.h>
#include <law/numeric/search_checks.h>

namespace {
constexpr long evaluation_budget = 200000;
// A value this many times its neighbours' scale, at a piece too narrow to resolve, is a pole.
constexpr double pole_ratio = 1e8;
// Critical points are polished on the law's derivative within this fraction of their piece.
constexpr double polish_reach = 1e-6, polish_widest = 1e-2;
constexpr int polish_steps = 60;
// Values of an interpolant within this many times its noise of each other are not told apart.
constexpr double blur_noise = 1e3;
// Stretches within a stretch searched again at their own scale, at most.
constexpr int zoom_depth = 24, most_zooms = 256;
// A stretch is searched again only where its values are below this share of the piece's scale.
constexpr double faint_share = 1e-6;

struct candidate {
    double x, y;
    // A turning point of an interpolant, which the law's derivative can sharpen; the ends and
    // singular points are where they are.
    bool turning = false;
};

// The values of one output over [a, b], from its pieces: every candidate for an extremum, and
// the poles towards which it grows without bound (+1) or falls (-1).
class extremum_search {
  public:
    extremum_search(law const *f, int output, double a, double b)
        : law_(f), output_(output), f_(f, output), a_(a), b_(b) {}

    void run() {
        std::vector<double> breaks;
        // Break points and candidates: those found serve even when they are not all.
        for (singular_point const &p : singular_hints_of(law_, a_, b_).points)
            breaks.push_back(p.where);
        ZEM::interval domain;
        if (law_->term_domain(0, domain)) {
            if (std::isfinite(domain.low())) breaks.push_back(domain.low());
            if (std::isfinite(domain.high())) breaks.push_back(domain.high());
        }
        for (double s : breaks)
            if (s >= a_ && s <= b_) add(s, f_.value(s));
        add(a_, f_.value(a_));
        add(b_, f_.value(b_));
        search(a_, b_, breaks, 0);
    }

    std::vector<candidate> const &candidates() const { return candidates_; }
    // Poles with the sign of the law's values beside them.
    std::vector<candidate> const &poles() const { return poles_; }
    long evaluations() const { return f_.evaluations(); }
    double overflow_at(int sign) const { return f_.overflow_at(sign); }

    // The best candidate (largest for sign 1, smallest for -1), polished; leftmost among ties.
    candidate best(int sign) {
        candidate b{0, std::numeric_limits<double>::quiet_NaN()};
        for (candidate const &c : candidates_)
            if (std::isnan(b.y) || sign * c.y > sign * b.y || (c.y == b.y && c.x < b.x)) b = c;
        return polished(b, sign);
    }

  private:
    // The candidates over [lo, hi] from its pieces. Where a resolved piece's interpolant cannot
    // tell its values apart near its least or greatest (a law spanning many orders of magnitude,
    // COSH(X) over [-300, 300]), its turning points there are noise: that stretch is searched
    // again at its own scale.
    void search(double lo, double hi, std::span<double const> breaks, int depth) {
        std::vector<chebyshev_piece> const pieces =
            chebyshev_pieces(f_, lo, hi, breaks, std::max(1L, evaluation_budget - f_.evaluations()))
                .pieces;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            std::size_t const before = candidates_.size();
            examine(pieces, i);
            if (depth >= zoom_depth || !pieces[i].resolved()) continue;
            for (auto const &[s0, s1] : blurred_stretches(pieces[i])) {
                if (zooms_left_-- <= 0) return;
                std::erase_if(candidates_, [&, k = std::size_t{0}, lo = s0,
                                            hi = s1](candidate const &c) mutable {
                    return k++ >= before && c.turning && c.x > lo && c.x < hi;
                });
                search(s0, s1, {}, depth + 1);
            }
        }
    }

    // The stretches of a resolved piece where its interpolant is within the noise of its least
    // or its greatest value on a grid finer than its terms, over two points or more, and far
    // below the piece's scale there (so that a search at their own scale tells more); the two
    // halves of a piece whose noise is not finite.
    static std::vector<std::pair<double, double>> blurred_stretches(chebyshev_piece const &p) {
        if (!std::isfinite(p.noise)) return p.halves();
        std::vector<std::pair<double, double>> out;
        if (!(blur_noise * p.noise < p.scale) || p.weighted()) return out;
        std::vector<double> const v = p.fine_grid();
        for (double extreme :
             {*std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end())}) {
            if (!(std::fabs(extreme) <= faint_share * p.scale)) continue;
            auto const blurred = [&](double y) {
                return std::fabs(y - extreme) <= blur_noise * p.noise;
            };
            if (p.fine_grid_runs(v, blurred, out)) return p.halves();
        }
        return out;
    }

    void add(double x, double y, bool turning = false) {
        if (!std::isnan(y)) candidates_.push_back({x, y, turning});
    }

    static double neighbour_scale(std::vector<chebyshev_piece> const &pieces, std::size_t i) {
        double s = 0;
        for (std::size_t j : {i - 1, i + 1})
            if (j < pieces.size() && pieces[j].resolved()) s = std::max(s, pieces[j].scale);
        return s;
    }

    void examine(std::vector<chebyshev_piece> const &pieces, std::size_t i) {
        chebyshev_piece const &p = pieces[i];
        add(p.x_lo, p.f_lo);
        add(p.x_hi, p.f_hi);
        if (p.blows_lo != 0) poles_.push_back({p.lo, p.blows_lo});
        if (p.blows_hi != 0) poles_.push_back({p.hi, p.blows_hi});
        if (!p.resolved()) {
            double const around = neighbour_scale(pieces, i);
            for (double y : {p.f_lo, p.f_hi})
                if (around > 0 && std::fabs(y) > pole_ratio * around)
                    poles_.push_back({(p.lo + p.hi) / 2, y > 0 ? 1.0 : -1.0, false});
            return;
        }
        std::vector<double> const xs =
            p.weighted() ? turning_points_weighted(p) : turning_points(p);
        std::vector<double> const ys = f_.values(xs);
        for (std::size_t k = 0; k < xs.size(); ++k) add(xs[k], ys[k], true);
    }

    // The zeros of the interpolant's derivative.
    static std::vector<double> turning_points(chebyshev_piece const &p) {
        double slope_scale = 0;
        for (double c : p.slope) slope_scale = std::max(slope_scale, std::fabs(c));
        std::vector<double> xs;
        for (double t : chebyshev_zeros(p.slope, slope_scale * 1e-14)) xs.push_back(p.x_of(t));
        return xs;
    }

    // With a pole at an end the interpolant is of f times a power of the distance: the turns of
    // f are read from the quotient on a fine grid of the piece.
    static std::vector<double> turning_points_weighted(chebyshev_piece const &p) {
        int const n = 8 * static_cast<int>(p.coefficients.size()) + 64;
        std::vector<double> const ts = chebyshev::gauss_points(n);
        std::vector<double> v(n), xs;
        for (int j = 0; j < n; ++j) {
            double const x = p.x_of(ts[j]);
            v[j] = chebyshev::value(p.coefficients, ts[j]) / p.weight(x);
        }
        for (int j = 1; j + 1 < n; ++j)
            if ((v[j] - v[j - 1]) * (v[j + 1] - v[j]) <= 0) xs.push_back(p.x_of(ts[j]));
        return xs;
    }

    // The critical point near c, found on the law's derivative by false position (Illinois) in
    // a small bracket; c itself when that does not give a better value.
    candidate polished(candidate c, int sign) {
        if (std::isnan(c.y) || !c.turning) return c;
        try {
            law_ptr const d = adopt(law_->derivative(0));
            line_sampler df(d.get(), output_);
            // The bracket widens until the derivative changes sign across it: a turning point
            // of a piece of large values is placed only to the square root of their rounding.
            double lo = c.x, hi = c.x, flo = NAN, fhi = NAN;
            for (double h = polish_reach * (b_ - a_); !(flo * fhi < 0); h *= 8) {
                if (h > polish_widest * (b_ - a_)) return c;
                lo = std::max(a_, c.x - h);
                hi = std::min(b_, c.x + h);
                flo = df.value(lo);
                fhi = df.value(hi);
            }
            int side = 0;
            double x = c.x;
            for (int k = 0; k < polish_steps && hi - lo > 2 * DBL_EPSILON * std::fabs(x); ++k) {
                x = (lo * fhi - hi * flo) / (fhi - flo);
                if (!(x > lo && x < hi)) x = (lo + hi) / 2;
                double const fx = df.value(x);
                if (std::isnan(fx)) return c;
                if (fx == 0) break;
                if (fx * flo < 0) {
                    hi = x;
                    fhi = fx;
                    if (side == -1) flo /= 2;
                    side = -1;
                } else {
                    lo = x;
                    flo = fx;
                    if (side == 1) fhi /= 2;
                    side = 1;
                }
            }
            double const y = f_.value(x);
            if (!std::isnan(y) && sign * y >= sign * c.y) return {x, y, true};
        } catch (vorn_exception const &) {
        }
        return c;
    }

    law const *law_;
    int output_;
    line_sampler f_;
    double a_, b_;
    std::vector<candidate> candidates_, poles_;
    int zooms_left_ = most_zooms;
};

[[noreturn]] void unbounded(double pole, int sign) {
    law_error_with_detail(LAW_UNBOUNDED, std::string(sign > 0 ? "it grows" : "it falls") +
                                             " without bound near " + detail_number(pole));
}

// A value past the largest double has no place among the candidates: the extremum is beyond
// what a double holds.
[[noreturn]] void overflows(double x, int sign) {
    law_error_with_detail(LAW_UNBOUNDED, std::string(sign > 0 ? "it grows" : "it falls") +
                                             " past the largest double, at " + detail_number(x));
}

extremum_search searched(law const *f, int output, double &a, double &b) {
    check_finite_ends(a, b);
    if (a > b) std::swap(a, b);
    extremum_search s(f, output, a, b);
    s.run();
    if (s.candidates().empty()) no_value_on(f, a, b);
    return s;
}

extremum_report extremum(law const *f, double a, double b, int sign) {
    check_scalar_law(f, 1);
    extremum_search s = searched(f, 0, a, b);
    for (candidate const &p : s.poles())
        if (p.y == sign) unbounded(p.x, sign);
    if (double const x = s.overflow_at(sign); !std::isnan(x)) overflows(x, sign);
    candidate const c = s.best(sign);
    return {c.x, c.y, s.evaluations()};
}
}  // namespace

extremum_report Nmax_global(law const *f, double a, double b) { return extremum(f, a, b, 1); }

extremum_report Nmin_global(law const *f, double a, double b) { return extremum(f, a, b, -1); }

range_report law_range(law const *f, double a, double b, int output) {
    if (!f || f->take_dim() > 1 || output < 0 || output >= f->return_dim()) law_error(LAW_DIM);
    extremum_search s = searched(f, output, a, b);
    range_report r;
    candidate const lo = s.best(-1), hi = s.best(1);
    r.low = lo.y;
    r.low_at = lo.x;
    r.high = hi.y;
    r.high_at = hi.x;
    for (candidate const &p : s.poles()) {
        if (p.y > 0 && r.high_bounded) {
            r.high_bounded = false;
            r.high = HUGE_VAL;
            r.pole_high = p.x;
        }
        if (p.y < 0 && r.low_bounded) {
            r.low_bounded = false;
            r.low = -HUGE_VAL;
            r.pole_low = p.x;
        }
    }
    // A side that overflows is unbounded as far as a double goes.
    if (double const x = s.overflow_at(1); r.high_bounded && !std::isnan(x)) {
        r.high_bounded = false;
        r.high = HUGE_VAL;
        r.pole_high = x;
        r.overflows_high = true;
    }
    if (double const x = s.overflow_at(-1); r.low_bounded && !std::isnan(x)) {
        r.low_bounded = false;
        r.low = -HUGE_VAL;
        r.pole_low = x;
        r.overflows_low = true;
    }
    r.evaluations = s.evaluations();
    return r;
}
