#include "fitting.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include <law/core/curve_samples.h>

#include "law_reader.h"
#include "numbers.h"
#include "tool.h"

namespace law_tool {

law_ptr as_space_curve(law_ptr const &l) {
    if (l->take_dim() > 1)
        throw tool_error("fit needs a law of one input; this one takes " +
                         count_text(l->take_dim(), "input"));
    if (l->return_dim() == 3) return l;
    if (l->return_dim() != 1)
        throw tool_error("fit needs a law of one or three outputs; this one has " +
                         count_text(l->return_dim(), "output"));
    law_ptr const t = make_law<identity_law>(0, 'X'), zero = make_law<constant_law>(0.0);
    law *parts[3] = {t.get(), l.get(), zero.get()};
    return make_law<vector_law>(parts, 3);
}

std::unique_ptr<sw_curve> fit_curve(law const &curve, double a, double b, double tol,
                                    knot_removal_strategy strategy) {
    if (!(a < b) || !std::isfinite(b - a)) throw tool_error("fit needs finite ends A < B");
    try {
        return std::unique_ptr<sw_curve>(
            law_to_sw_curve(const_cast<law *>(&curve), ZEM::interval(a, b), tol, strategy));
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
}

namespace {
// Samples of a curve fit: as many in each span as this budget allows, between these counts.
constexpr std::size_t sample_budget = 2000000;
constexpr std::size_t fewest_per_span = 4, most_per_span = 16;
constexpr std::size_t even_samples = 8192;
constexpr double golden_fraction = 0.6180339887498949;
}  // namespace

measured_distance measure_curve_fit(law const &curve, sw_curve const &c) {
    double const *k = c.get_knot_vector();
    std::vector<std::pair<double, double>> spans;
    for (int i = c.get_degree(); i < c.get_K(); ++i)
        if (k[i + 1] > k[i]) spans.emplace_back(k[i], k[i + 1]);
    std::size_t const per = std::clamp(sample_budget / std::max<std::size_t>(spans.size(), 1),
                                       fewest_per_span, most_per_span);
    // Each span at its ends and between them at fractions that shift from span to span (by the
    // golden ratio), so that a bend the knots do not mark is met somewhere; and the whole range
    // evenly, as the accuracy figure samples it but finer.
    std::vector<double> ts;
    double shift = 0;
    for (auto const &[a, b] : spans) {
        ts.push_back(a);
        for (std::size_t j = 0; j + 1 < per; ++j)
            ts.push_back(a + (b - a) * (static_cast<double>(j) + shift) / (per - 1));
        ts.push_back(b);
        shift = std::fmod(shift + golden_fraction, 1.0);
    }
    double const t0 = c.get_min_t(), t1 = c.get_max_t();
    for (std::size_t i = 0; i <= even_samples; ++i)
        ts.push_back(i == even_samples ? t1
                                       : t0 + (t1 - t0) * static_cast<double>(i) / even_samples);
    measured_distance m;
    try {
        curve_samples const at(&curve, std::move(ts));
        m.samples = static_cast<std::size_t>(at.size());
        for (int i = 0; i < at.size(); ++i) {
            ZEM::position p;
            c.eval(at.parameter(i), &p);
            double const d = (p - at.at(i)).len();
            // A distance that is not a number is the worst of all.
            if (!(d <= m.distance)) m.distance = std::isnan(d) ? INFINITY : d;
        }
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    return m;
}

std::string measured_text(measured_distance const &m, char const *points) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "measured: %s (largest distance at %zu %s)",
                  number_text(m.distance).c_str(), m.samples, points);
    return buf;
}

bool judge_fit(double reported, measured_distance const &m, double tol, bool keep) {
    double const worst = std::max(reported, m.distance);
    if (worst <= tol) return true;
    std::string const what = "the fit strays " + number_text(worst) +
                             " from the law, more than the tolerance " + number_text(tol);
    if (!keep) throw tool_error(what + "; --keep keeps it all the same");
    std::fflush(stdout);
    std::fprintf(stderr, "law: note: %s (kept)\n", what.c_str());
    return false;
}

}  // namespace law_tool
