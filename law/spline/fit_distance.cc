#include <law/spline/fit_distance.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include <law/core/law.h>
#include <law/spline/curve_samples.h>
#include <law/spline/sw_curve.h>
#include <law/spline/sw_surface.h>

namespace {
constexpr long curve_budget = 2000000;
constexpr long fewest_per_span = 4, most_per_span = 16;
constexpr long even_samples = 8192;
constexpr double golden_fraction = 0.6180339887498949;
constexpr long surface_budget = 1000000;
constexpr int fewest_per_side = 3, most_per_side = 9;

// A distance that is not a number is the worst of all.
void widen(fit_distance &m, double d) {
    if (!(d <= m.distance)) m.distance = std::isnan(d) ? INFINITY : d;
    ++m.samples;
}
}  // namespace

fit_distance sw_curve_distance(law const *f, sw_curve const &c) {
    if (!f || f->take_dim() != 1 || f->return_dim() != 3) law_error(LAW_DIM);
    double const *k = c.get_knot_vector();
    std::vector<std::pair<double, double>> spans;
    for (int i = c.get_degree(); i < c.get_K(); ++i)
        if (k[i + 1] > k[i]) spans.emplace_back(k[i], k[i + 1]);
    long const per = std::clamp(curve_budget / std::max<long>(static_cast<long>(spans.size()), 1),
                                fewest_per_span, most_per_span);
    std::vector<double> ts;
    double shift = 0;
    for (auto const &[a, b] : spans) {
        ts.push_back(a);
        for (long j = 0; j + 1 < per; ++j)
            ts.push_back(a +
                         (b - a) * (static_cast<double>(j) + shift) / static_cast<double>(per - 1));
        ts.push_back(b);
        shift = std::fmod(shift + golden_fraction, 1.0);
    }
    double const t0 = c.get_min_t(), t1 = c.get_max_t();
    for (long i = 0; i <= even_samples; ++i)
        ts.push_back(i == even_samples ? t1
                                       : t0 + (t1 - t0) * static_cast<double>(i) / even_samples);
    curve_samples const at(f, std::move(ts));
    fit_distance m;
    for (int i = 0; i < at.size(); ++i) {
        ZEM::position p;
        c.eval(at.parameter(i), &p);
        widen(m, (p - at.at(i)).len());
    }
    return m;
}

fit_distance sw_surface_distance(law const *f, sw_surface &S) {
    if (!f || f->take_dim() != 2 || f->return_dim() != 3) law_error(LAW_DIM);
    long const patches = static_cast<long>(S.get_num_spans1()) * S.get_num_spans2();
    int const n = std::clamp(
        static_cast<int>(std::sqrt(static_cast<double>(surface_budget / std::max(patches, 1L)))),
        fewest_per_side, most_per_side);
    fit_distance m;
    for (int i = 0; i < S.get_num_spans1(); ++i) {
        double const *k1 = S.get_knot_vector1() + 3 + i;
        for (int j = 0; j < S.get_num_spans2(); ++j) {
            double const *k2 = S.get_knot_vector2() + 3 + j;
            for (int b = 0; b < n; ++b)
                for (int a = 0; a < n; ++a) {
                    double const st[2] = {k1[0] + (k1[1] - k1[0]) * a / (n - 1),
                                          k2[0] + (k2[1] - k2[0]) * b / (n - 1)};
                    ZEM::position P;
                    S.eval(st[0], st[1], &P);
                    double v[3];
                    f->evaluate(st, v);
                    widen(m, (P - ZEM::position(v[0], v[1], v[2])).len());
                }
        }
    }
    return m;
}
