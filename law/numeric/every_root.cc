#include <law/numeric/every_root.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <law/core/law.h>
#include <law/core/singular_points.h>
#include <law/core/upper_layers.h>
#include <law/numeric/chebyshev_pieces.h>
#include <law/numeric/chebyshev_roots.h>
#include <law/numeric/chebyshev_series.h>
#include <law/numeric/error_detail.h>
#include <law/numeric/line_sampler.h>
#include <law/numeric/search_checks.h>
#include <law/ops/arithmetic_laws.h>

namespace {
// Evaluations one search may spend.
constexpr long evaluation_budget = 200000;
// A value within this many times a piece's noise of zero is zero.
constexpr double zero_noise = 8;
// Where the interpolant is this close to zero its sign is asked of the law.
constexpr double doubtful_noise = 1e3;
// The law's scatter about a point is read over this many units in the last place.
constexpr double scatter_step = 256 * DBL_EPSILON;
// A Newton step longer than this against its zero leaves an error worth another step.
constexpr double long_step = 1e-8;
// Newton steps that polish a zero on the law.
constexpr int polish_steps = 6;
// False-position steps that find a zero on the law between two points of opposite signs.
constexpr int bracket_steps = 200;
// Stretches within a stretch searched again at their own scale, at most.
constexpr int zoom_depth = 24, most_zooms = 256;
// Across an unresolved piece, a zero is where the law falls this far below its neighbours.
constexpr double unresolved_zero = 1e-10;

int sign_of(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

// What a search does when its evaluations run out: go on with the roots it can still find, or
// stop at once when only a complete answer is of use.
enum class on_unresolved { go_on, stop };

class root_finder {
  public:
    root_finder(law const *f, double a, double b, on_unresolved unresolved)
        : law_(f), f_(f), a_(a), b_(b), stop_(unresolved == on_unresolved::stop) {}

    root_report run() {
        root_report r;
        std::vector<double> breaks;
        for (singular_point const &p : break_points()) breaks.push_back(p.where);
        ZEM::interval domain;
        if (law_->term_domain(0, domain)) {
            if (std::isfinite(domain.low())) breaks.push_back(domain.low());
            if (std::isfinite(domain.high())) breaks.push_back(domain.high());
        }
        // A zero at a break point (a kink at zero, a square root's end) is where it is.
        std::vector<double> points = breaks;
        points.push_back(a_);
        points.push_back(b_);
        std::erase_if(points, [this](double x) { return !(x >= a_ && x <= b_); });
        std::vector<double> const at_points = f_.values(points);
        for (std::size_t i = 0; i < points.size(); ++i)
            if (at_points[i] == 0) roots_.push_back(points[i]);
        if (!search(a_, b_, breaks, 0, r) && !excluded_) no_value_on(law_, a_, b_);
        finish(r);
        r.evaluations = f_.evaluations();
        r.complete = complete_;
        r.singular_points_found = singular_points_found_;
        return r;
    }

  private:
    // The law's singular points, where its pieces end. Roots may be missing where they are not
    // all there are; a search that is to stop then asks for them outside any hints scope, and
    // so stops at once too.
    std::vector<singular_point> break_points() {
        if (stop_) return singular_points_of(law_, a_, b_);
        singular_hints hints = singular_hints_of(law_, a_, b_);
        complete_ = singular_points_found_ = hints.complete;
        return std::move(hints.points);
    }

    // The zeros over [lo, hi] from its pieces; false when no piece has a value there. Where a
    // resolved piece's interpolant is as small as its noise (a law spanning many orders of
    // magnitude, COSH(X)-2 over [-300, 300]) it tells nothing of the zeros: that stretch is
    // searched again at its own scale.
    bool search(double lo, double hi, std::span<double const> breaks, int depth, root_report &r) {
        piece_cover const cover =
            chebyshev_pieces(f_, lo, hi, breaks, std::max(1L, evaluation_budget - f_.evaluations()),
                             [this](double l, double h) { return keeps_one_sign(l, h); });
        complete_ = complete_ && cover.complete;
        if (stop_ && !complete_) return true;
        std::vector<chebyshev_piece> const &pieces = cover.pieces;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            chebyshev_piece const &p = pieces[i];
            if (p.pole_lo > 0) r.poles.push_back(p.lo);
            if (p.pole_hi > 0) r.poles.push_back(p.hi);
            if (p.resolved() && p.scale == 0) {
                add_zero_stretch(r, p.lo, p.hi);
            } else if (p.resolved()) {
                std::size_t const before = roots_.size();
                zeros_of_resolved(p);
                if (depth >= zoom_depth) continue;
                for (auto const &[s0, s1] : faint_stretches(p)) {
                    if (zooms_left_-- <= 0) break;
                    std::erase_if(roots_,
                                  [&, k = std::size_t{0}, lo = s0, hi = s1](double x) mutable {
                                      return k++ >= before && x > lo && x < hi;
                                  });
                    search(s0, s1, {}, depth + 1, r);
                    if (stop_ && !complete_) return true;
                }
            } else {
                zeros_of_unresolved(p, neighbour_scale(pieces, i), r);
            }
        }
        return !pieces.empty();
    }

    // The stretches of a resolved piece where its interpolant stays within the noise over two
    // points or more of a grid finer than its terms; the two halves of a piece whose noise is
    // not finite (its values reach the largest double).
    std::vector<std::pair<double, double>> faint_stretches(chebyshev_piece const &p) const {
        if (!std::isfinite(p.noise)) return p.halves();
        std::vector<std::pair<double, double>> out;
        if (!(doubtful_noise * p.noise < p.scale)) return out;
        auto const faint = [&](double v) { return std::fabs(v) <= doubtful_noise * p.noise; };
        return p.fine_grid_runs(p.fine_grid(), faint, out) ? p.halves() : out;
    }

    // Whether the law's own bounds over [lo, hi] leave out 0: then it has no zero there.
    bool keeps_one_sign(double lo, double hi) {
        try {
            int failed = 0;
            ZEM::interval const r = law_->estimate_bounds(ZEM::interval(lo, hi), failed);
            bool const one_sign = !failed && r.finite() && (r.low() > 0 || r.high() < 0);
            excluded_ = excluded_ || one_sign;
            return one_sign;
        } catch (vorn_exception const &) {
            return false;
        }
    }

    // g = f w on the law, NaN where it has no value.
    double g_of(chebyshev_piece const &p, double x) { return f_.value(x) * p.weight(x); }

    static void add_zero_stretch(root_report &r, double lo, double hi) {
        if (!r.zero_stretches.empty() && r.zero_stretches.back().second >= lo)
            r.zero_stretches.back().second = hi;
        else
            r.zero_stretches.emplace_back(lo, hi);
    }

    static double neighbour_scale(std::vector<chebyshev_piece> const &pieces, std::size_t i) {
        double s = 0;
        for (std::size_t j : {i - 1, i + 1})
            if (j < pieces.size() && pieces[j].resolved()) s = std::max(s, pieces[j].scale);
        return s;
    }

    struct candidate {
        double x, g;
    };

    // Newton's method on the law, with the interpolant's slope: each step must lower |g|. Steps
    // that shrink by a steady ratio r show a zero of multiplicity 1 / (1 - r), and are lengthened
    // by it, so that a tangent zero is reached as fast as a simple one.
    candidate polish(chebyshev_piece const &p, double x, double reach) {
        candidate c{x, g_of(p, x)};
        double previous = 0, multiplicity = 1;
        for (int k = 0; k < polish_steps && c.g != 0; ++k) {
            double const slope = p.dg(c.x);
            if (!(std::fabs(slope) > 0) || std::isnan(c.g)) break;
            double const newton = c.g / slope;
            if (previous != 0) {
                double const ratio = newton / previous;
                if (ratio > 0.3 && ratio < 0.95) multiplicity = std::round(1 / (1 - ratio));
            }
            previous = newton;
            double const step = multiplicity * newton;
            if (!(std::fabs(step) <= reach) || std::fabs(step) < DBL_EPSILON * std::fabs(c.x) / 4)
                break;
            double const x2 = std::clamp(c.x - step, p.lo, p.hi);
            if (x2 == c.x) break;
            double const g2 = g_of(p, x2);
            if (!(std::fabs(g2) < std::fabs(c.g))) break;
            c = {x2, g2};
        }
        return at_zero_if_there(p, c);
    }

    // A zero within the rounding of the piece's width of 0 is 0 when the law is zero there:
    // Newton's steps towards a zero at 0 shrink without end.
    candidate at_zero_if_there(chebyshev_piece const &p, candidate c) {
        if (c.x == 0 || !(std::fabs(c.x) <= DBL_EPSILON * (p.hi - p.lo)) || p.lo > 0 || p.hi < 0)
            return c;
        double const g0 = g_of(p, 0.0);
        if (std::isnan(c.g)) c.g = g_of(p, c.x);
        return std::fabs(g0) <= std::fabs(c.g) ? candidate{0.0, g0} : c;
    }

    // g at a point between candidates: its sign, and its value on the law when the
    // interpolant is too close to zero to tell (NaN otherwise).
    struct separator {
        int sign;
        double law_value;
    };

    // The interpolant's sign where it is clearly away from zero, else the law's; 0 for a value
    // within the rounding of the law's values there. That rounding is the piece's noise, unless
    // the law's own scatter about s is smaller: a law written as a product of factors has two
    // zeros a hair apart where its expanded form has one double zero.
    separator separator_at(chebyshev_piece const &p, double s) {
        double v = p.g(s);
        if (std::fabs(v) > doubtful_noise * p.noise) return {sign_of(v), NAN};
        v = g_of(p, s);
        if (std::isnan(v) || v == 0) return {0, v};
        if (std::fabs(v) > zero_noise * p.noise) return {sign_of(v), v};
        // At an end of the piece the scatter is read inwards.
        double const h = scatter_step * std::max(std::fabs(s), DBL_MIN);
        double const centre = std::clamp(s, p.lo + h, p.hi - h);
        if (!(centre - h >= p.lo && centre + h <= p.hi)) return {0, v};
        double const at_centre = centre == s ? v : g_of(p, centre);
        double const scatter = std::fabs(g_of(p, centre - h) - 2 * at_centre + g_of(p, centre + h));
        return {std::fabs(v) > zero_noise * scatter ? sign_of(v) : 0, v};
    }

    // One Newton step on the law from a zero of the interpolant that is simple and close: its
    // error is then of the order of the rounding of the law's values, unless the step was long
    // against the zero's size (a small zero on a wide piece), when polishing goes on.
    double sharpened(chebyshev_piece const &p, double x, double reach) {
        double const step = g_of(p, x) / p.dg(x);
        if (!(std::fabs(step) <= reach)) return x;
        double const next = std::clamp(x - step, p.lo, p.hi);
        if (std::fabs(step) <= long_step * std::fabs(next))
            return at_zero_if_there(p, {next, NAN}).x;
        return polish(p, next, reach).x;
    }

    // The zeros of a resolved piece. A candidate between two separators of opposite signs that
    // the interpolant tells clearly is a simple zero, sharpened by one Newton step on the law;
    // any other is polished on the law, and kept when the law changes sign across it or is
    // zero there to the rounding of its values (a tangent zero).
    void zeros_of_resolved(chebyshev_piece const &p) {
        std::vector<candidate> cs;
        for (double t : chebyshev_zeros(p.coefficients, p.noise)) cs.push_back({p.x_of(t), NAN});
        auto reach = [&](std::size_t i) {
            double gap = p.hi - p.lo;
            if (i > 0) gap = std::min(gap, cs[i].x - cs[i - 1].x);
            if (i + 1 < cs.size()) gap = std::min(gap, cs[i + 1].x - cs[i].x);
            return std::max(gap / 2, 4 * DBL_EPSILON * std::fabs(cs[i].x));
        };
        auto settle = [&](std::size_t i) {
            if (!std::isnan(cs[i].g)) return;
            cs[i] = polish(p, cs[i].x, reach(i));
            if (std::isnan(cs[i].g)) cs[i].g = HUGE_VAL;
        };
        // Two neighbours are one zero when the law is zero between them to its rounding, or no
        // further from zero there than at them.
        std::vector<separator> seps{separator_at(p, p.lo)};
        std::vector<double> sep_x{p.lo};
        for (std::size_t i = 1; i < cs.size();) {
            double const mid = (cs[i - 1].x + cs[i].x) / 2;
            separator const s = separator_at(p, mid);
            if (s.sign == 0 || !std::isnan(s.law_value) || cs[i].x == cs[i - 1].x) {
                settle(i - 1);
                settle(i);
                double const at_zeros = std::max(std::fabs(cs[i].g), std::fabs(cs[i - 1].g));
                if (s.sign == 0 || cs[i].x == cs[i - 1].x ||
                    std::fabs(s.law_value) <= 10 * at_zeros) {
                    if (std::fabs(cs[i].g) < std::fabs(cs[i - 1].g)) cs[i - 1] = cs[i];
                    cs.erase(cs.begin() + static_cast<std::ptrdiff_t>(i));
                    continue;
                }
            }
            seps.push_back(s);
            sep_x.push_back(mid);
            ++i;
        }
        seps.push_back(separator_at(p, p.hi));
        sep_x.push_back(p.hi);
        // The interpolant can miss the zero of a law that spans many orders of magnitude; the
        // signs at the ends still tell that one is there.
        if (cs.empty() && seps[0].sign * seps[1].sign < 0)
            roots_.push_back(bracketed(p, p.lo, p.hi, seps[0].law_value, seps[1].law_value,
                                       p.lo + (p.hi - p.lo) / 2));
        for (std::size_t i = 0; i < cs.size(); ++i) {
            if (seps[i].sign * seps[i + 1].sign < 0) {
                // Where the interpolant tells both signs clearly it is good to its noise around
                // the zero; where the law had to tell one, the law is as small there as the
                // noise of a piece that spans a wide range of values (EXP(X)-2 over [0, 50]),
                // and the zero is found on the law alone, between the two.
                if (!std::isnan(seps[i].law_value) || !std::isnan(seps[i + 1].law_value))
                    roots_.push_back(bracketed(p, sep_x[i], sep_x[i + 1], seps[i].law_value,
                                               seps[i + 1].law_value, cs[i].x));
                else
                    roots_.push_back(std::isnan(cs[i].g) ? sharpened(p, cs[i].x, reach(i))
                                                         : cs[i].x);
                continue;
            }
            settle(i);
            if (std::fabs(cs[i].g) <= zero_noise * p.noise) roots_.push_back(cs[i].x);
        }
    }

    // The zero of the law between l and r, where its signs differ, by false position (Illinois)
    // from a first trial at `start`; g_l and g_r are the law's values when known (else NaN).
    double bracketed(chebyshev_piece const &p, double l, double r, double g_l, double g_r,
                     double start) {
        if (std::isnan(g_l)) g_l = g_of(p, l);
        if (std::isnan(g_r)) g_r = g_of(p, r);
        if (!(g_l * g_r < 0)) return start;
        double x = std::clamp(start, l, r);
        int side = 0;
        for (int k = 0; k < bracket_steps; ++k) {
            double const width = r - l;
            double const g = g_of(p, x);
            if (g == 0 || std::isnan(g)) return x;
            if ((g < 0) == (g_l < 0)) {
                l = x;
                g_l = g;
                if (side == 1) g_r /= 2;
                side = 1;
            } else {
                r = x;
                g_r = g;
                if (side == -1) g_l /= 2;
                side = -1;
            }
            if (r - l <= 4 * DBL_EPSILON * std::max(std::fabs(l), std::fabs(r))) break;
            // A step that did not halve the bracket is followed by a bisection.
            x = r - l > width / 2 ? l + (r - l) / 2 : (l * g_r - r * g_l) / (g_r - g_l);
            if (!(x > l && x < r)) x = l + (r - l) / 2;
        }
        return std::fabs(g_l) <= std::fabs(g_r) ? l : r;
    }

    // A piece too narrow to resolve (or left when the evaluations ran out): a zero where the
    // law changes sign across it and falls to the level of rounding of its neighbours; growth
    // instead is a pole, and a jump neither.
    void zeros_of_unresolved(chebyshev_piece const &p, double around, root_report &r) {
        double lo = p.lo, hi = p.hi, flo = p.f_lo, fhi = p.f_hi;
        if (flo == 0) roots_.push_back(lo);
        if (fhi == 0) roots_.push_back(hi);
        if (!(sign_of(flo) * sign_of(fhi) < 0)) return;
        double const reference = std::max({around, std::fabs(flo), std::fabs(fhi)});
        for (;;) {
            double const m = lo + (hi - lo) / 2;
            if (!(m > lo && m < hi)) break;
            double const fm = f_.value(m);
            if (std::isnan(fm)) return;
            if (fm == 0) {
                roots_.push_back(m);
                return;
            }
            if (sign_of(fm) == sign_of(flo)) {
                lo = m;
                flo = fm;
            } else {
                hi = m;
                fhi = fm;
            }
        }
        double const least = std::min(std::fabs(flo), std::fabs(fhi));
        if (least <= unresolved_zero * reference)
            roots_.push_back(std::fabs(flo) <= std::fabs(fhi) ? lo : hi);
        else if (least > reference)
            r.poles.push_back(lo + (hi - lo) / 2);
    }

    void finish(root_report &r) {
        for (auto const &z : r.zero_stretches) roots_.push_back(z.first);
        std::sort(roots_.begin(), roots_.end());
        // Closer than this, two zeros are one: a tangent zero polished to the square root of the
        // rounding beside the same zero found exactly (SIN(X)^2 at 0).
        double const apart = 1e-12 * (b_ - a_);
        for (double x : roots_) {
            if (!r.roots.empty() &&
                x - r.roots.back() <= std::max(apart, 16 * DBL_EPSILON * std::fabs(x)))
                continue;
            // A zero inside a stretch where the law is zero is that stretch's.
            bool const inside =
                std::any_of(r.zero_stretches.begin(), r.zero_stretches.end(),
                            [x](auto const &z) { return x > z.first && x <= z.second; });
            if (!inside) r.roots.push_back(x);
        }
        std::sort(r.poles.begin(), r.poles.end());
        r.poles.erase(std::unique(r.poles.begin(), r.poles.end()), r.poles.end());
    }

    law const *law_;
    line_sampler f_;
    double a_, b_;
    std::vector<double> roots_;
    // Whether a stretch was left out for keeping one sign (so no piece is no failure).
    bool excluded_ = false;
    bool complete_ = true;
    bool singular_points_found_ = true;
    bool stop_;
    int zooms_left_ = most_zooms;
};

root_report roots_on(law const *f, double a, double b, on_unresolved unresolved) {
    check_scalar_law(f, 1);
    check_finite_ends(a, b);
    if (a > b) std::swap(a, b);
    if (a == b) {
        root_report r;
        line_sampler s(f);
        if (s.value(a) == 0) r.roots.push_back(a);
        r.evaluations = s.evaluations();
        return r;
    }
    return root_finder(f, a, b, unresolved).run();
}
}  // namespace

root_report all_roots(law const *f, double a, double b) {
    return roots_on(f, a, b, on_unresolved::go_on);
}

double *Nroot_all(law *f, double a, double b, int *n) {
    root_report const r = all_roots(f, a, b);
    *n = static_cast<int>(r.roots.size());
    if (r.roots.empty()) return nullptr;
    double *out = VORN_ARRAY(double, *n);
    std::copy(r.roots.begin(), r.roots.end(), out);
    return out;
}

double *Nsolve_all(law *f, law *g, double a, double b, int *n) {
    if (!f || !g) law_error(LAW_DIM);
    law_ptr const difference = make_law<minus_law>(f, g);
    return Nroot_all(difference.get(), a, b, n);
}

char const *missing_roots_reason(root_report const &r) {
    if (!r.singular_points_found)
        return "the law's singular points pile up past what the search for them could find, "
               "so roots may be missing near them";
    return "the search ran out of evaluations before the law was resolved everywhere, so roots "
           "may be missing; a shorter interval resolves it";
}

namespace {
// The singular points of ABS, MAX, FLOOR and the others are zeros of their members. Asked for as
// places to cut a search, the zeros found are of use even when they are not all; asked for as
// an answer, they must be all, and a search that cannot find them all stops at once.
std::vector<double> zeros_for_singular_points(law const *f, double start, double end) {
    bool const hints = singular_hints_scope::open();
    root_report r;
    try {
        r = roots_on(f, start, end, hints ? on_unresolved::go_on : on_unresolved::stop);
    } catch (vorn_exception const &e) {
        // A member with no value on the interval has no zero there.
        if (lawutil_local_code(e) == LAW_NO_VALUE) return {};
        throw;
    }
    if (r.complete) return r.roots;
    if (!hints) {
        std::string const range = "[" + detail_number(start) + ", " + detail_number(end) + "]";
        law_error_with_detail(LAW_ROOTS_UNRESOLVED,
                              "the law's singular points on " + range +
                                  " are zeros of a part of it, more than the search could find");
    }
    singular_hints_scope::note_incomplete();
    return r.roots;
}
[[maybe_unused]] bool const zeros_installed =
    (upper_layers().zeros = zeros_for_singular_points, true);
}  // namespace
