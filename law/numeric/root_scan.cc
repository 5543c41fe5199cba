#include <law/numeric/root_scan.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numeric>
#include <string>
#include <utility>

#include <law/base/tolerance.h>
#include <law/core/derivative_budget.h>
#include <law/core/law.h>
#include <law/numeric/open_set.h>
#include <law/numeric/root_settings.h>

namespace {
// Irregular fractions of the interval, so that the constancy test misses the symmetric points
// of a law.
constexpr double first_fraction = 0.345756734;
constexpr double fractions[] = {0.189674986, 0.2867345889, 0.498608968, 0.5986708968,
                                0.643590569, 0.7233409543, 0.854789523, 0.9472389094};

bool inside(double x, double lo, double hi) { return lo <= x && x <= hi; }

// The probes are evaluated as one batch; an error is raised only where probing one point at a
// time, up to the first that differs, would have met it.
bool numerically_constant(law const *f, double a, double length) {
    constexpr int probes = 1 + static_cast<int>(std::size(fractions));
    double ts[probes], ys[probes];
    int errors[probes];
    ts[0] = a + first_fraction * length;
    for (int i = 1; i < probes; ++i) ts[i] = a + fractions[i - 1] * length;
    values_along(f, nullptr, 0, ts, probes, ys, errors);
    for (int i = 0; i < probes; ++i) {
        if (errors[i]) sys_error(errors[i]);
        if (i > 0 && std::fabs(ys[i] - ys[0]) > root_tols().root_f_tol) return false;
    }
    return true;
}

// The laws that forming the three derivatives may make, the chains their simplification walks
// counted in laws too. The first three derivatives of laws of a million parts make fewer. A
// tower of powers x^(x^(...)) of height n has small first three, but its fourth, which the search
// for its turning points forms, makes about 80 n^3 laws: five million at height 40, more than
// memory holds at height 10^4.
constexpr long derivative_laws = 8000000;

// The error's detail when the derivatives pass their budget, written once: a scan that stays
// within the budget has no use for it.
char const *budget_detail() {
    static std::string const detail =
        "the search works from the law's first three derivatives, and forming them takes more "
        "than the work of " +
        std::to_string(derivative_laws) +
        " laws; the searches by Chebyshev interpolants (Nroot_all, Nmin_global, Nmax_global) "
        "take at most the first";
    return detail.c_str();
}

// The law and its first three derivatives.
struct law_derivatives {
    explicit law_derivatives(law const *f) : f(share(f)) {
        derivative_budget const budget(derivative_laws, LAW_ROOTS_UNRESOLVED, budget_detail());
        d1 = adopt(f->derivative(0));
        d2 = adopt(d1->derivative(0));
        d3 = adopt(d2->derivative(0));
    }
    law_ptr f, d1, d2, d3;

    int root_walk(double &x, double lo, double hi, double s) const {
        return root_newton_walk(f.get(), d1.get(), d2.get(), x, nullptr, lo, hi, s);
    }
    int critical_walk(double &x, double &x2, double lo, double hi, double s) const {
        return root_newton_walk(d1.get(), d2.get(), d3.get(), x, &x2, lo, hi, s);
    }
};

// The walks from the two ends of [a, b]: roots go into R, the stretch up to the first critical
// point (the second when the walk found two on its side) is marked examined in S.
void probe_ends(law_derivatives const &d, double a, double b, Open_set &S, Open_set &R) {
    double x, x2;
    if (d.root_walk(x, a, b, a)) R.add(x, x);
    int k = d.critical_walk(x, x2, a, b, a);
    S.add(a, k == 0 ? a : k == 2 && x2 > a ? x2 : x);
    if (d.root_walk(x, a, b, b)) R.add(x, x);
    k = d.critical_walk(x, x2, a, b, b);
    S.add(k == 0 ? b : k == 2 && x2 < b ? x2 : x, b);
}

// Marks the monotone stretches that the critical points of the gap [g0, g1] around h bound.
void mark_critical(law_derivatives const &d, double g0, double g1, double h, bool wide,
                   Open_set &S) {
    double x, x2;
    int const k = d.critical_walk(x, x2, g0, g1, h);
    root_settings const &t = root_tols();
    double const e = std::fabs(x - x2);
    if (k == 2 && e >= t.root_x_tol) {
        if (std::fabs(x - h) / e < t.root_split_ratio)
            S.add(x, h);
        else if (std::fabs(x2 - h) / e >= t.root_split_ratio)
            S.add(x, x2);
        else
            S.add(x2, h);
    } else if (k >= 1 && inside(x, g0 + t.root_x_tol, g1 - t.root_x_tol) && wide && x != h) {
        S.add(h, x);
    }
}

// Closes a narrow gap: one sign test, and a bisection when the sign changes and no probe found
// a root there.
void close_narrow(law_derivatives const &d, double g0, double g1, bool found, Open_set &S,
                  Open_set &R) {
    law const *f = d.f.get();
    if (!found && value_at(f, g0) * value_at(f, g1) < 0) {
        double const r = root_bisect(f, g0, g1);
        root_settings const &t = root_tols();
        if (std::fabs(value_at(f, r)) < t.root_f_tol) {
            R.add(r, r);
            S.add(r - t.root_x_tol, r + t.root_x_tol);
            return;
        }
    }
    S.add(g0, g1);
}

// Probes the first gap of S until S covers [a, b] or the gap stops moving.
void examine_gaps(law_derivatives const &d, double length, Open_set &S, Open_set &R) {
    double h_prev = DBL_MAX;
    while (!S.is_full()) {
        double const h = S.hole();
        if (!(std::fabs(h_prev - h) >= get_resnor())) return;  // a NaN does not move either
        h_prev = h;
        double const w = S.hole_size();
        double const g0 = h - w / 2, g1 = h + w / 2;
        double const x_tol = root_tols().root_x_tol;
        double x;
        bool const found = d.root_walk(x, g0, g1, h) && inside(x, g0 + x_tol, g1 - x_tol);
        if (found)
            R.add(x, x);
        else
            S.add(h, h);
        bool const wide = w >= root_tols().root_hole_frac * length;
        mark_critical(d, g0, g1, h, wide, S);
        if (wide)
            S.add(h, h);
        else
            close_narrow(d, g0, g1, found, S, R);
    }
}

// Walks from each root neighbourhood of R under the default tolerances; keeps the end points
// where f is small.
double *polish(law_derivatives const &d, double a, double b, Open_set const &R, int *n) {
    vorn_ptr<double> mids(R.mid_points());
    vorn_ptr<double> result(VORN_ARRAY(double, std::max(R.parts(), 1)));
    set_root_tol_default();
    int count = 0;
    for (int i = 0; i < R.parts(); ++i) {
        double x;
        if (d.root_walk(x, a, b, mids.get()[i]) &&
            std::fabs(value_at(d.f.get(), x)) < root_tols().root_f_tol)
            result.get()[count++] = x;
    }
    std::sort(result.get(), result.get() + count);
    *n = count;
    return result.release();
}
}  // namespace

int root_quadratic_step(law const *f, law const *df, law const *ddf, double x0, double &x,
                        double *x2) {
    if (!f->in_domain(&x0)) x0 += get_resabs();
    double const y = value_at(f, x0), d1 = value_at(df, x0), d2 = value_at(ddf, x0);
    double const A = d2 / 2, B = d1 - d2 * x0, C = y - A * x0 * x0 - B * x0;
    double const t = root_tols().root_step_tol;
    if (std::fabs(A) < t) {
        if (std::fabs(B) >= t && std::fabs(d1) >= t) {
            x = x0 - y / d1;
            return 1;
        }
        if (std::fabs(C) >= t) return 0;
        x = x0;
        return 1;
    }
    double const D = B * B - 4 * A * C;
    if (D < 0) {
        x = -B / (2 * A);
        return 1;
    }
    double const r1 = (std::sqrt(D) - B) / (2 * A), r2 = (-B - std::sqrt(D)) / (2 * A);
    double const larger = std::max(r1, r2), smaller = std::min(r1, r2);
    if (d2 > 0 && y >= 0) {
        x = d1 > 0 ? larger : smaller;
        return 1;
    }
    if (d2 <= 0 && y <= 0) {
        x = d1 < 0 ? larger : smaller;
        return 1;
    }
    // x0 lies between the parabola's zeros.
    bool const first_nearer = std::fabs(r1 - x0) < std::fabs(r2 - x0);
    x = first_nearer ? r1 : r2;
    if (x2) *x2 = first_nearer ? r2 : r1;
    return 2;
}

namespace {
// Quadratic steps from s: false when a step fails or leaves [lo, hi].
bool walk_from(law const *f, law const *df, law const *ddf, double s, double &x, double *x2,
               double lo, double hi) {
    double at = s;
    for (int steps = 1;; ++steps) {
        if (!root_quadratic_step(f, df, ddf, at, x, x2) || !inside(x, lo, hi)) return false;
        root_settings const &t = root_tols();
        if (steps >= t.root_walk_max || std::fabs(value_at(f, x)) <= t.root_f_tol) return true;
        at = x;
    }
}
}  // namespace

int root_newton_walk(law const *f, law const *df, law const *ddf, double &x, double *x2, double lo,
                     double hi, double s) {
    x = lo - 1;
    if (x2) *x2 = lo - 1;
    if (!walk_from(f, df, ddf, s, x, x2, lo, hi)) return 0;
    if (!x2 || !inside(*x2, lo, hi)) return 1;
    double first, second;
    if (root_quadratic_step(f, df, ddf, s, first, &second) != 2 || !inside(second, lo, hi))
        return 1;
    return walk_from(f, df, ddf, second, *x2, nullptr, lo, hi) ? 2 : 1;
}

double root_bisect(law const *f, double lo, double hi) {
    double m = std::midpoint(lo, hi);
    double f_lo = value_at(f, lo);
    for (int halvings = 0; halvings < root_tols().root_bisect_max; ++halvings) {
        double const f_m = value_at(f, m);
        if (std::fabs(f_m) <= root_tols().root_f_tol) break;
        if (f_m * f_lo > 0) {
            lo = m;
            f_lo = f_m;
        } else {
            hi = m;
        }
        m = std::midpoint(lo, hi);
    }
    return m;
}

law_ptr budgeted_derivative(law const *f) {
    derivative_budget const budget(derivative_laws, LAW_ROOTS_UNRESOLVED, budget_detail());
    return adopt(f->derivative(0));
}

double *root_scan(law const *f, double a, double b, int *n) {
    if (a > b) std::swap(a, b);
    double const length = b - a;
    *n = 0;
    if (numerically_constant(f, a, length)) {
        if (std::fabs(value_at(f, a)) >= root_tols().root_f_tol) return nullptr;
        double *one = VORN_ARRAY(double, 1);
        one[0] = a;
        *n = 1;
        return one;
    }
    coarse_search_scope const coarse;
    law_derivatives const d(f);
    Open_set S(a, b), R(a, b);
    probe_ends(d, a, b, S, R);
    examine_gaps(d, length, S, R);
    return polish(d, a, b, R, n);
}
