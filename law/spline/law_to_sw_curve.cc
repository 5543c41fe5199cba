#include <memory>
#include <utility>
#include <vector>

#include <law/core/law.h>
#include <law/spline/create_bezier_segments.h>
#include <law/spline/curve_samples.h>
#include <law/spline/fit_input.h>
#include <law/spline/knot_merge.h>
#include <law/spline/law_to_sw_curve.h>
#include <law/spline/spline_breakpoint.h>

namespace {

// Fittings at ever half the tolerance before the closest curve is taken as it is.
constexpr int max_fit_attempts = 6;

// The knots and control points of the Bezier breakpoints b0 ... bn: b0 and bn four times, each
// interior breakpoint twice.
void spline_nodes(bezier_breakpoint const *b, spline_breakpoint_list &out) {
    out.insert_next(b->t);
    out.insert_next(b->t);
    out.insert_next(b->t, b->P);
    out.insert_next(b->t, b->A);
    out.insert_next(b->next->t, b->B);
    bezier_breakpoint const *last = b->next;
    for (bezier_breakpoint const *bi = b->next; bi->next; bi = bi->next) {
        out.insert_next(bi->t, bi->A);
        out.insert_next(bi->next->t, bi->B);
        last = bi->next;
    }
    out.insert_next(last->t, last->P);
    out.insert_next(last->t);
    out.insert_next(last->t);
}

// The spans [k_i, k_i+1] of the curve where it strays farther than tol from the law at the check
// fractions; the law is sampled at all of them in one batch.
std::vector<int> spans_beyond(law const *f, sw_curve const &c, double tol) {
    double const *k = c.get_knot_vector();
    std::vector<double> ts;
    std::vector<int> span_of;
    for (int i = c.get_degree(); i < c.get_K(); ++i) {
        if (!(k[i + 1] > k[i])) continue;
        for (double const u : knot_check_fractions) {
            ts.push_back(k[i] + (k[i + 1] - k[i]) * u);
            span_of.push_back(i);
        }
    }
    curve_samples const law_at(f, std::move(ts));
    std::vector<int> out;
    for (int i = 0; i < law_at.size(); ++i) {
        ZEM::position p;
        c.eval(law_at.parameter(i), &p);
        if (!((p - law_at.at(i)).len() <= tol) && (out.empty() || out.back() != span_of[i]))
            out.push_back(span_of[i]);
    }
    return out;
}

// The curve of the breakpoints with its knots merged as the strategy says. For the strategy that
// removes knots within tolerance, the knots whose merging takes the curve farther than tol from
// the law stay double (first of all those of the singular points in keep); within tells whether
// the curve lies within tol at the check fractions.
std::unique_ptr<sw_curve> assemble_within(law const *f, bezier_breakpoint_list const &list,
                                          knot_removal_strategy strategy, double removal_tol,
                                          std::vector<double> keep, double tol, bool &within) {
    if (strategy == remove_knots_within_tolerance) {
        // Where the curve of every knot strays, no merging can help.
        std::unique_ptr<sw_curve> all(assemble_sw_curve(list, keep_all_knots, 0));
        within = spans_beyond(f, *all, tol).empty();
        if (!within) return all;
    }
    for (;;) {
        std::unique_ptr<sw_curve> c(assemble_sw_curve(list, strategy, removal_tol, keep.data(),
                                                      static_cast<int>(keep.size())));
        std::vector<int> const beyond = spans_beyond(f, *c, tol);
        within = beyond.empty();
        if (within || strategy != remove_knots_within_tolerance) return c;
        std::vector<double> const knots(c->get_knot_vector(),
                                        c->get_knot_vector() + c->get_num_knots());
        if (!keep_single_knots_near(knots, beyond, keep)) return c;
    }
}

}  // namespace

sw_curve *assemble_sw_curve(bezier_breakpoint_list const &list, knot_removal_strategy strategy,
                            double removal_tol, double const *keep, int nkeep) {
    spline_breakpoint_list nodes;
    spline_nodes(list.head(), nodes);
    knot_rows net;
    net.rows.resize(1);
    int index = 0;
    for (spline_breakpoint const *n = nodes.head(); n; n = n->next, ++index) {
        net.knots.push_back(n->t);
        if (index >= 2 && index < nodes.count() - 2) net.rows[0].push_back(n->p);
    }
    if (strategy != keep_all_knots)
        merge_double_knots(net, strategy, removal_tol, std::vector<double>(keep, keep + nkeep));
    std::vector<double> points;
    for (ZEM::position const &p : net.rows[0])
        for (int c = 0; c < 3; ++c) points.push_back(p[c]);
    int const K = static_cast<int>(net.rows[0].size());
    return new sw_curve(K, 3, 0, 0, 1, 0, net.knots.data(), nullptr, points.data(), net.knots[3],
                        net.knots[K], nullptr);
}

sw_curve *law_to_sw_curve(law *f, ZEM::interval const &range, double tol,
                          knot_removal_strategy strategy) {
    double const t0 = range.start_pt(), t1 = range.end_pt();
    check_fit_input(f, t0, t1, tol);
    strategy = to_knot_removal_strategy(strategy);
    bool const halve = strategy == remove_knots_within_tolerance;
    double fit_tol = halve ? tol / 2 : tol;
    double removal_tol = halve ? 2 * tol : 0;
    std::vector<double> const singular = fit_singular_points(f, t0, t1);
    std::unique_ptr<sw_curve> curve;
    for (int attempt = 0; attempt < max_fit_attempts; ++attempt) {
        bezier_breakpoint_list list;
        try {
            create_bezier_segments(f, t0, t1, fit_tol, list);
        } catch (vorn_exception const &e) {
            // A tighter fitting that runs out of breakpoints leaves the curve of the last one.
            if (!curve || lawutil_local_code(e) != BS_ACCURACY) throw;
            break;
        }
        bool within = false;
        curve = assemble_within(f, list, strategy, removal_tol, singular, tol, within);
        if (within) break;
        fit_tol /= 2;
        removal_tol /= 2;
    }
    return curve.release();
}
