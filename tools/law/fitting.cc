#include "fitting.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

bool fit_with_derivatives(bool differences, std::function<void()> const &fit) {
    if (!differences) return fit_with_best_derivatives(fit);
    int const before = get_option("fast_euler");
    set_option("fast_euler", 1);
    try {
        fit();
    } catch (...) {
        set_option("fast_euler", before);
        throw;
    }
    set_option("fast_euler", before);
    return false;
}

char const *derivatives_text(bool exact) {
    return exact ? "derivatives: exact" : "derivatives: differences (fast_euler)";
}

std::unique_ptr<sw_curve> fit_curve(law const &curve, double a, double b, double tol,
                                    knot_removal_strategy strategy, curve_fit_method how,
                                    bool *exact) {
    order_ends(a, b, "fit");
    auto *const f = const_cast<law *>(&curve);
    ZEM::interval const range(a, b);
    std::unique_ptr<sw_curve> out;
    try {
        bool const used = fit_with_derivatives(how.differences, [&] {
            out.reset(how.whole ? law_to_sw_curve(f, range, tol, strategy)
                                : law_to_sw_curve_in_pieces(f, range, tol, strategy));
        });
        if (exact) *exact = used;
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    return out;
}

fit_distance measure_curve_fit(law const &curve, sw_curve const &c) {
    try {
        return sw_curve_distance(&curve, c);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
}

std::string measured_text(fit_distance const &m, char const *points) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "measured: %s (largest distance at %ld %s)",
                  number_text(m.distance).c_str(), m.samples, points);
    return buf;
}

bool judge_fit(double reported, fit_distance const &m, double tol, bool keep) {
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
