#include <law/spline/law_to_sw_surface.h>

#include <cmath>
#include <memory>

#include <law/base/tolerance.h>
#include <law/core/law.h>
#include <law/core/lawutil_errors.h>
#include <law/spline/patch_breakpoint_list.h>
#include <law/spline/surface_evaluator.h>
#include <law/spline/sw_surface.h>
#include <law/spline/sw_surface_knots.h>

namespace {

void check_range(ZEM::interval const &r) {
    if (!r.finite() || !std::isfinite(r.start_pt()) || !std::isfinite(r.end_pt()) ||
        !(r.start_pt() < r.end_pt()))
        law_error(LAW_BAD_BOUNDS);
}

}  // namespace

sw_surface *law_to_sw_surface(law *f, ZEM::interval const &s_range, ZEM::interval const &t_range,
                              double tol, double &achieved, int ns, int nt, double const *s_knots,
                              double const *t_knots, int flag) {
    if (!f) law_error(LAW_NULL_LAW, "the law to fit is null");
    if (f->take_dim() != 2 || f->return_dim() != 3)
        law_error(LAW_DIM, "a surface law takes two inputs and returns three values");
    if (ns < 0 || nt < 0) law_error(LAW_DIM, "a negative count of starting knots");
    if ((ns > 0 && !s_knots) || (nt > 0 && !t_knots))
        law_error(LAW_NULL_LAW, "the array of starting knots is null");
    check_range(s_range);
    check_range(t_range);
    if (!(tol > 0) || !std::isfinite(tol)) tol = resfit;
    surface_evaluator_law const evaluator(f);
    bool const merge = !(flag & sw_fit_keep_all_knots);
    // Fitting at half the tolerance leaves room for what the three test fractions miss and for
    // the merging of knots.
    patch_breakpoint_list list(evaluator, s_range.start_pt(), s_range.end_pt(), t_range.start_pt(),
                               t_range.end_pt(), merge ? tol / 2 : tol);
    if (ns > 0 || nt > 0) list.add_starting_knots(ns, s_knots, nt, t_knots);
    bool const converged = list.refine(sw_fit_budget);
    std::unique_ptr<sw_surface> S(list.convert_to_bspline());
    if (merge) {
        if (sw_surface *thinner = merge_sw_surface_knots(f, *S, 2 * tol, tol)) S.reset(thinner);
    }
    achieved = sw_surface_accuracy(f, S.get());
    if ((flag & sw_fit_check_accuracy) && !converged && !(achieved <= tol)) law_error(BS_ACCURACY);
    return S.release();
}
