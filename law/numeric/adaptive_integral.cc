#include <law/numeric/adaptive_integral.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include <law/core/law.h>
#include <law/core/singular_points.h>
#include <law/numeric/epsilon_table.h>
#include <law/numeric/error_detail.h>
#include <law/numeric/kronrod_rules.h>
#include <law/numeric/line_sampler.h>
#include <law/numeric/search_checks.h>

namespace {
// The integrand as the rules see it: f itself on a finite interval, or f carried onto (0, 1]
// by x = bound + side (1 - t) / t, with f(x) + f(-x) when both limits are infinite.
class integrand {
  public:
    enum class map { none, above, below, both };
    integrand(law const *f, map m, double bound) : law_(f), f_(f), map_(m), bound_(bound) {}

    kronrod_rule const &rule() const {
        return map_ == map::none ? gauss_kronrod_21() : gauss_kronrod_15();
    }

    double x_of(double t) const {
        switch (map_) {
            case map::none:
                return t;
            case map::above:
                return bound_ + (1 - t) / t;
            case map::below:
                return bound_ - (1 - t) / t;
            case map::both:
                return (1 - t) / t;
        }
        return t;
    }
    // Where a point of the law's line lies in the integrand's variable.
    double t_of(double x) const {
        switch (map_) {
            case map::none:
                return x;
            case map::above:
                return 1 / (1 + (x - bound_));
            case map::below:
                return 1 / (1 + (bound_ - x));
            case map::both:
                return 1 / (1 + std::fabs(x));
        }
        return x;
    }

    // The integrand at ts; the first point where the law has no value is left in `failed`.
    bool values(std::span<double const> ts, std::span<double> out, double &failed) {
        xs_.assign(ts.size(), 0);
        for (std::size_t i = 0; i < ts.size(); ++i) xs_[i] = x_of(ts[i]);
        if (map_ == map::both)
            for (std::size_t i = 0; i < ts.size(); ++i) xs_.push_back(-xs_[i]);
        std::vector<double> const ys = f_.values(xs_);
        for (std::size_t i = 0; i < ts.size(); ++i) {
            double y = ys[i];
            if (map_ == map::both) y += ys[i + ts.size()];
            if (map_ != map::none) y /= ts[i] * ts[i];
            if (std::isnan(y)) {
                failed = std::isnan(ys[i]) ? xs_[i] : xs_[i + ts.size()];
                return false;
            }
            out[i] = y;
        }
        return true;
    }

    long evaluations() const { return f_.evaluations(); }

    // Raises LAW_NO_VALUE for x, with the law's own message.
    [[noreturn]] void no_value(double x) const;

  private:
    law const *law_;
    line_sampler f_;
    map map_;
    double bound_;
    std::vector<double> xs_;
};

struct piece {
    double a, b, result, error, spread;
    int level;  // bisections from the first pieces
};

// QUADPACK's outcome codes, after its final renumbering.
enum outcome { converged, interval_limit, rounding, bad_behaviour, no_convergence, divergent };

char const *outcome_text(outcome o) {
    switch (o) {
        case interval_limit:
            return "the limit of subintervals was reached";
        case rounding:
            return "rounding errors keep the error estimate from falling further";
        case bad_behaviour:
            return "the law behaves too badly near a point for the rule to resolve (a pole, a "
                   "jump or a singularity the extrapolation could not follow)";
        case no_convergence:
            return "the extrapolation did not converge";
        case divergent:
            return "the sums do not settle as the intervals shrink: the integral diverges, or "
                   "converges too slowly";
        case converged:
            break;
    }
    return "";
}

// What the iteration ends with: QUADPACK's result and abserr, and its code.
struct ending {
    double value, error;
    outcome code;
};

class quadrature {
  public:
    quadrature(integrand &f, double abs_tol, double rel_tol, int limit)
        : f_(f), abs_tol_(abs_tol), rel_tol_(rel_tol), limit_(limit) {}

    // QAGS over the given pieces of the integrand's interval.
    ending run(std::vector<double> const &ends) {
        double area = 0, errsum = 0, defabs = 0;
        for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
            if (!(ends[i + 1] > ends[i])) continue;
            double absolute = 0;
            pieces_.push_back(rule_on(ends[i], ends[i + 1], 0, &absolute));
            area += pieces_.back().result;
            errsum += pieces_.back().error;
            defabs += absolute;
        }
        if (pieces_.empty()) return {0, 0, converged};
        double errbnd = bound(area);
        outcome code = converged;
        if (errsum <= 100 * DBL_EPSILON * defabs && errsum > errbnd) code = rounding;
        if (static_cast<int>(pieces_.size()) >= limit_) code = interval_limit;
        if (code != converged || (errsum <= errbnd && errsum != defabs) || errsum == 0)
            return {area, errsum, code};

        epsilon_table table;
        table.seed(area);
        double result = area, abserr = DBL_MAX, correc = 0, erlarg = errsum, ertest = errbnd;
        int small_level = 2, nrmax = 1, ktmin = 0, iroff1 = 0, iroff2 = 0, iroff3 = 0;
        bool extrap = false, noext = false, first = true, rounding_in_table = false;
        int const ksgn = std::fabs(area) >= (1 - 50 * DBL_EPSILON) * defabs ? 1 : -1;
        sort_order();
        std::size_t maxerr = order_[0];
        double errmax = pieces_[maxerr].error;
        for (;;) {
            piece const old = pieces_[maxerr];
            double const mid = (old.a + old.b) / 2;
            piece const left = rule_on(old.a, mid, old.level + 1);
            piece const right = rule_on(mid, old.b, old.level + 1);
            double const area12 = left.result + right.result, erro12 = left.error + right.error;
            double const erlast = errmax;
            errsum += erro12 - errmax;
            area += area12 - old.result;
            if (left.spread != left.error && right.spread != right.error) {
                if (std::fabs(old.result - area12) <= 1e-5 * std::fabs(area12) &&
                    erro12 >= 0.99 * errmax)
                    ++(extrap ? iroff2 : iroff1);
                if (pieces_.size() > 9 && erro12 > errmax) ++iroff3;
            }
            pieces_[maxerr] = left;
            pieces_.push_back(right);
            errbnd = bound(area);
            if (iroff1 + iroff2 >= 10 || iroff3 >= 20) code = rounding;
            if (iroff2 >= 5) rounding_in_table = true;
            if (static_cast<int>(pieces_.size()) >= limit_) code = interval_limit;
            if (std::max(std::fabs(old.a), std::fabs(old.b)) <=
                (1 + 100 * DBL_EPSILON) * (std::fabs(mid) + 1000 * DBL_MIN))
                code = bad_behaviour;
            sort_order();
            maxerr = order_[nrmax - 1];
            errmax = pieces_[maxerr].error;
            if (errsum <= errbnd) return {sum(), errsum, code};
            if (code != converged) break;
            if (first) {
                first = false;
                erlarg = errsum;
                ertest = errbnd;
                table.seed(area);
                continue;
            }
            if (noext) continue;
            erlarg -= erlast;
            if (left.level < small_level) erlarg += erro12;
            if (!extrap) {
                // Extrapolate only once the interval to bisect next is a small one.
                if (pieces_[maxerr].level < small_level) continue;
                extrap = true;
                nrmax = 2;
            }
            if (!rounding_in_table && erlarg > ertest &&
                bisect_large_next(nrmax, small_level, maxerr, errmax))
                continue;
            table.add(area);
            ++ktmin;
            if (ktmin > 5 && abserr < 1e-3 * errsum) code = no_convergence;
            if (table.error() < abserr) {
                ktmin = 0;
                abserr = table.error();
                result = table.limit();
                correc = erlarg;
                ertest = bound(result);
                if (abserr <= ertest) break;
            }
            if (table.terms() == 1) noext = true;
            if (code == no_convergence) break;
            maxerr = order_[0];
            errmax = pieces_[maxerr].error;
            nrmax = 1;
            extrap = false;
            ++small_level;
            erlarg = errsum;
        }
        // The extrapolated value, or the sum when that is the better, and a test on divergence.
        if (abserr == DBL_MAX) return {sum(), errsum, code};
        if (code != converged || rounding_in_table) {
            if (rounding_in_table) abserr += correc;
            if (code == converged) code = rounding;
            if (result != 0 && area != 0) {
                if (abserr / std::fabs(result) > errsum / std::fabs(area))
                    return {sum(), errsum, code};
            } else if (abserr > errsum) {
                return {sum(), errsum, code};
            } else if (area == 0) {
                return {result, abserr, code};
            }
        }
        if (!(ksgn == -1 && std::max(std::fabs(result), std::fabs(area)) <= defabs * 0.01)) {
            double const ratio = result / area;
            if (0.01 > ratio || ratio > 100 || errsum > std::fabs(area)) code = divergent;
        }
        return {result, abserr, code};
    }

  private:
    double bound(double value) const { return std::max(abs_tol_, rel_tol_ * std::fabs(value)); }

    piece rule_on(double a, double b, int level, double *absolute = nullptr) {
        kronrod_rule const &rule = f_.rule();
        std::vector<double> ts(rule.points()), ys(rule.points());
        rule_abscissae(rule, a, b, ts);
        double failed = 0;
        if (!f_.values(ts, ys, failed)) f_.no_value(failed);
        rule_estimate const e = estimate(rule, a, b, ys);
        if (absolute) *absolute = e.absolute;
        return {a, b, e.result, e.error, e.spread, level};
    }

    // The large intervals come next when the small ones hold the largest errors: true, with
    // maxerr on the next of them, when there is one among the first in order of error.
    bool bisect_large_next(int &nrmax, int small_level, std::size_t &maxerr, double &errmax) {
        int const last = static_cast<int>(pieces_.size());
        int const upper = last > 2 + limit_ / 2 ? limit_ + 3 - last : last;
        for (int k = nrmax; k <= upper && nrmax <= last; ++k) {
            maxerr = order_[nrmax - 1];
            errmax = pieces_[maxerr].error;
            if (pieces_[maxerr].level < small_level) return true;
            ++nrmax;
        }
        nrmax = std::min(nrmax, last);
        return false;
    }

    void sort_order() {
        order_.resize(pieces_.size());
        for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = i;
        std::stable_sort(order_.begin(), order_.end(), [this](std::size_t i, std::size_t j) {
            return pieces_[i].error > pieces_[j].error;
        });
    }

    double sum() const {
        double s = 0;
        for (piece const &p : pieces_) s += p.result;
        return s;
    }

  public:
    int intervals() const { return static_cast<int>(pieces_.size()); }

  private:
    integrand &f_;
    double abs_tol_, rel_tol_;
    int limit_;
    std::vector<piece> pieces_;
    std::vector<std::size_t> order_;
};

// The ends of the pieces in the integrand's variable: the limits and the law's singular points
// between them.
std::vector<double> piece_ends(law const *f, integrand const &g, double lo, double hi, double t0,
                               double t1) {
    std::vector<double> ends{t0, t1};
    double const ask_lo = std::isfinite(lo) ? lo : -DBL_MAX;
    double const ask_hi = std::isfinite(hi) ? hi : DBL_MAX;
    // The points only cut the interval: those found serve even when they are not all.
    for (singular_point const &p : singular_hints_of(f, ask_lo, ask_hi).points) {
        double const t = g.t_of(p.where);
        if (t > t0 && t < t1) ends.push_back(t);
    }
    std::sort(ends.begin(), ends.end());
    ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
    return ends;
}
}  // namespace

void integrand::no_value(double x) const {
    law_error_with_detail(LAW_NO_VALUE, "at " + detail_number(x) + ": " + law_message_at(law_, x));
}

integral_report Nintegrate_adaptive(law const *f, double a, double b, double abs_tol,
                                    double rel_tol, int max_intervals) {
    check_scalar_law(f, 1);
    if (std::isnan(a) || std::isnan(b)) law_error(LAW_BAD_BOUNDS);
    if (!(abs_tol >= 0) || !(rel_tol >= 0) || (abs_tol == 0 && rel_tol == 0))
        law_error(LAW_BAD_TOLERANCE);
    if (max_intervals < 1) law_error(LAW_BAD_SAMPLES);
    integral_report report;
    if (a == b) return report;
    double const sign = a < b ? 1 : -1;
    double const lo = std::min(a, b), hi = std::max(a, b);
    integrand::map m = integrand::map::none;
    double bound = 0, t0 = lo, t1 = hi;
    if (std::isinf(lo) && std::isinf(hi)) {
        m = integrand::map::both;
    } else if (std::isinf(hi)) {
        m = integrand::map::above;
        bound = lo;
    } else if (std::isinf(lo)) {
        m = integrand::map::below;
        bound = hi;
    }
    if (m != integrand::map::none) t0 = 0, t1 = 1;
    integrand g(f, m, bound);
    quadrature q(g, abs_tol, rel_tol, max_intervals);
    ending const e = q.run(piece_ends(f, g, lo, hi, t0, t1));
    report.value = sign * e.value;
    report.error = e.error;
    report.evaluations = g.evaluations();
    report.intervals = q.intervals();
    bool const met = e.error <= std::max(abs_tol, rel_tol * std::fabs(e.value));
    if (e.code == converged || (met && e.code != divergent)) return report;
    std::string detail = outcome_text(e.code);
    if (e.code != divergent)
        detail += "; estimate " + detail_number(report.value) + ", estimated error " +
                  detail_number(e.error);
    detail += ", after " + std::to_string(report.evaluations) + " evaluations";
    law_error_with_detail(e.code == divergent ? LAW_INTEGRAL_DIVERGES : LAW_INTEGRAL_TOLERANCE,
                          detail);
}
