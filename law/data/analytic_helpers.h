#pragma once
// Helpers of the analytic curves and surfaces: exact derivatives of turning motion and the
// search for the nearest point on a periodic path.
#include <algorithm>
#include <cmath>

#include <law/base/interval.h>
#include <law/base/vector.h>

// The n-th derivative of cos at t, exact for every n (sin is the third derivative of cos).
inline double cos_derivative(double t, int n) {
    switch (n % 4) {
        case 0:
            return std::cos(t);
        case 1:
            return -std::sin(t);
        case 2:
            return -std::cos(t);
        default:
            return std::sin(t);
    }
}
inline double sin_derivative(double t, int n) { return cos_derivative(t, n + 3); }

// The n-th derivative of r (cos t x + sin t y).
inline ZEM::vector circular_derivative(double r, ZEM::vector const &x, ZEM::vector const &y,
                                       double t, int n) {
    return (x * cos_derivative(t, n) + y * sin_derivative(t, n)) * r;
}

// The angle phi moved by whole turns: the one nearest guess when given, otherwise the one in
// [start, start + 2 pi).
inline double nearest_turn(double phi, double const *guess, double start) {
    if (guess) return phi + 2 * M_PI * std::round((*guess - phi) / (2 * M_PI));
    map_param_into_interval(ZEM::interval(start, start + 2 * M_PI), phi);
    return phi;
}

// A minimum of f in [lo, hi], from the best of a few samples polished by Newton steps on its
// derivative g (second derivative h), kept within a shrinking bracket.
template <class F, class G, class H>
double local_minimum(F const &f, G const &g, H const &h, double lo, double hi) {
    constexpr int samples = 16;
    double const step = (hi - lo) / samples;
    double t = lo, best = f(lo);
    for (int i = 1; i <= samples; ++i) {
        double const s = lo + step * i, fs = f(s);
        if (fs < best) best = fs, t = s;
    }
    double a = std::max(lo, t - step), b = std::min(hi, t + step);
    for (int it = 0; it < 100; ++it) {
        double const gt = g(t);
        if (gt == 0) break;
        if (gt > 0)
            b = t;
        else
            a = t;
        double const ht = h(t);
        double next = ht > 0 ? t - gt / ht : 0.5 * (a + b);
        if (!(next > a && next < b)) next = 0.5 * (a + b);
        if (std::fabs(next - t) <= 4e-16 * (1 + std::fabs(t))) return next;
        t = next;
    }
    return t;
}

// The largest parameter of a turning path whose turns are still told apart finely: past it a
// turn of 2 pi holds fewer than 2^40 doubles, an angle's step is 1e-4 or more.
constexpr double finest_turn_limit = 0x1p40;

// The global minimum of f over the finite [lo, hi] when it has at most one minimum per turn of
// the angle phi: each turn around phi + 2 pi m is searched. At most max_turns turns nearest the
// middle of [lo, hi] are tried. The turns are counted in whole numbers, so the search ends even
// where doubles no longer tell one turn from the next.
template <class F, class G, class H>
double nearest_of_turns(F const &f, G const &g, H const &h, double phi, double lo, double hi) {
    constexpr double max_turns = 2000;
    double const mid = 0.5 * (lo + hi);
    int const half =
        static_cast<int>(std::ceil(std::min(0.5 * (hi - lo) / (2 * M_PI) + 1, max_turns / 2)));
    double const m0 = std::round((mid - phi) / (2 * M_PI));
    double best_t = mid, best_f = INFINITY;
    for (int k = -half; k <= half; ++k) {
        double const c = phi + 2 * M_PI * (m0 + k);
        double const t = local_minimum(f, g, h, c - M_PI, c + M_PI);
        if (double const ft = f(t); ft < best_f) best_f = ft, best_t = t;
    }
    return best_t;
}
