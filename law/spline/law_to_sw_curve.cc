#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include <law/base/tolerance.h>
#include <law/spline/curve_samples.h>
#include <law/core/law.h>
#include <law/spline/create_bezier_segments.h>
#include <law/spline/fit_input.h>
#include <law/spline/law_to_sw_curve.h>
#include <law/spline/spline_breakpoint.h>

namespace {

// Fittings at ever half the tolerance before the closest curve is taken as it is.
constexpr int max_fit_attempts = 6;
// Where each span is checked against the law after assembly: apart from the segment test's.
constexpr double check_fractions[] = {0.05, 0.25, 0.5, 0.75, 0.95};

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

// Merges the double knots the strategy lets go; each merged pair leaves one knot whose control
// point is the mean of the two estimates made from either side.
void remove_knots(spline_breakpoint_list &list, knot_removal_strategy strategy, double removal_tol,
                  std::vector<double> const &keep) {
    spline_breakpoint *n0 = list.head()->next->next;
    while (true) {
        spline_breakpoint *n[7] = {n0};
        for (int i = 1; i < 7; ++i) n[i] = n[i - 1] ? n[i - 1]->next : nullptr;
        if (!n[6]) return;
        bool const pair = std::fabs(n[3]->t - n[2]->t) < resmch &&
                          std::find(keep.begin(), keep.end(), n[2]->t) == keep.end();
        if (!pair) {
            n0 = n[1];
            continue;
        }
        ZEM::position const L =
            n[1]->p + (n[2]->p - n[1]->p) * ((n[4]->t - n[0]->t) / (n[2]->t - n[0]->t));
        ZEM::position const R =
            n[4]->p + (n[3]->p - n[4]->p) * ((n[5]->t - n[1]->t) / (n[5]->t - n[3]->t));
        if (strategy == remove_all_knots || (L - R).len() < removal_tol) {
            list.erase_after(n[2]);
            n[2]->p = L + (R - L) * 0.5;
            n0 = n[1];
        } else {
            n0 = n[2];
        }
    }
}

// True when the curve lies within tol of the law at the check fractions of every span; the law is
// sampled at all of them in one batch.
bool curve_within(law const *f, sw_curve const &c, double tol) {
    double const *k = c.get_knot_vector();
    std::vector<double> ts;
    for (int i = c.get_degree(); i < c.get_K(); ++i) {
        if (!(k[i + 1] > k[i])) continue;
        for (double const u : check_fractions) ts.push_back(k[i] + (k[i + 1] - k[i]) * u);
    }
    curve_samples const law_at(f, std::move(ts));
    for (int i = 0; i < law_at.size(); ++i) {
        ZEM::position p;
        c.eval(law_at.parameter(i), &p);
        if (!((p - law_at.at(i)).len() <= tol)) return false;
    }
    return true;
}

// The law's singular points inside (t0, t1), which stay double knots.
std::vector<double> interior_singular_points(law const *f, double t0, double t1) {
    double *where = nullptr;
    int *type = nullptr;
    int const n = f->singularities(&where, &type, t0, t1);
    vorn_ptr<double> const where_owner(where);
    vorn_ptr<int> const type_owner(type);
    std::vector<double> out;
    for (int i = 0; i < n; ++i) {
        if (where[i] - t0 > get_resabs() && t1 - where[i] > get_resabs()) out.push_back(where[i]);
    }
    return out;
}

}  // namespace

sw_curve *assemble_sw_curve(bezier_breakpoint_list const &list, knot_removal_strategy strategy,
                            double removal_tol, double const *keep, int nkeep) {
    spline_breakpoint_list nodes;
    spline_nodes(list.head(), nodes);
    if (strategy != keep_all_knots) {
        remove_knots(nodes, strategy, removal_tol, std::vector<double>(keep, keep + nkeep));
    }
    std::vector<double> knots, points;
    int index = 0;
    for (spline_breakpoint const *n = nodes.head(); n; n = n->next, ++index) {
        knots.push_back(n->t);
        if (index >= 2 && index < nodes.count() - 2) {
            for (int c = 0; c < 3; ++c) points.push_back(n->p[c]);
        }
    }
    int const K = nodes.count() - 4;
    return new sw_curve(K, 3, 0, 0, 1, 0, knots.data(), nullptr, points.data(), knots[3], knots[K],
                        nullptr);
}

sw_curve *law_to_sw_curve(law *f, ZEM::interval const &range, double tol,
                          knot_removal_strategy strategy) {
    double const t0 = range.start_pt(), t1 = range.end_pt();
    check_fit_input(f, t0, t1, tol);
    strategy = to_knot_removal_strategy(strategy);
    bool const halve = strategy == remove_knots_within_tolerance;
    double fit_tol = halve ? tol / 2 : tol;
    double removal_tol = halve ? 2 * tol : 0;
    std::vector<double> const keep = interior_singular_points(f, t0, t1);
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
        curve.reset(assemble_sw_curve(list, strategy, removal_tol, keep.data(),
                                      static_cast<int>(keep.size())));
        if (curve_within(f, *curve, tol)) break;
        fit_tol /= 2;
        removal_tol /= 2;
    }
    return curve.release();
}
