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

// The bicubic B-spline of the list's Hermite patches, with its double knots merged where the
// merged surface stays within tol.
std::unique_ptr<sw_surface> spline_of(patch_breakpoint_list const &list, law const *f, bool merge,
                                      double tol) {
    std::unique_ptr<sw_surface> S(list.convert_to_bspline());
    if (merge) {
        if (sw_surface *thinner = merge_sw_surface_knots(f, *S, 2 * tol, tol)) S.reset(thinner);
    }
    return S;
}

int net_size(sw_surface const &S) {
    return S.get_num_control_points1() * S.get_num_control_points2();
}

// Fitting at tol / 2 leaves most surfaces well within tol once merged. Fewer iso lines, spaced by
// the errors of the present ones, are tried while the merged surface stays within a margin of
// tol (room for what the check fractions miss): a Hermite cubic's error goes with the fourth
// power of its length, which says how many fewer; a milder try follows where that was too bold,
// and each success is thinned again.
std::unique_ptr<sw_surface> thinned(patch_breakpoint_list const &fitted, law const *f, double tol,
                                    std::unique_ptr<sw_surface> S) {
    constexpr double margin = 0.75, widest = 0.95;
    auto list = std::make_unique<patch_breakpoint_list>(fitted);
    for (int round = 0; round < 3; ++round) {
        double const error = largest_patch_error(f, *S);
        if (!(error > 0)) return S;
        double const bold = std::pow(error / (margin * tol), 0.25);
        bool taken = false;
        for (double const share : {bold, (bold + widest) / 2}) {
            if (!(share < widest)) break;
            auto trial = std::make_unique<patch_breakpoint_list>(*list);
            trial->respace(share);
            std::unique_ptr<sw_surface> T = spline_of(*trial, f, true, tol);
            if (net_size(*T) >= net_size(*S)) break;
            if (largest_patch_error(f, *T) <= margin * tol) {
                list = std::move(trial);
                S = std::move(T);
                taken = true;
                break;
            }
        }
        if (!taken) return S;
    }
    return S;
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
    std::unique_ptr<sw_surface> S = spline_of(list, f, merge, tol);
    if (merge && converged) S = thinned(list, f, tol, std::move(S));
    achieved = sw_surface_accuracy(f, S.get());
    if ((flag & sw_fit_check_accuracy) && !converged && !(achieved <= tol)) law_error(BS_ACCURACY);
    return S.release();
}
