#include <law/numeric/nmin_2d.h>

#include <law/core/law.h>
#include <law/numeric/constrained_objective.h>
#include <law/numeric/root_settings.h>
#include <law/numeric/search_checks.h>

namespace {
constexpr double shrink_factor = 0.5;
constexpr double grow_factor = 1.5;
constexpr double smallest_step = 1e-14;

bool settled(law const *stop, complex_number p, double h) {
    root_settings const &t = root_tols();
    return stop ? scalar_at(stop, p) <= t.root_f_tol : h <= t.root_x_tol;
}
}  // namespace

complex_number Nmin2D(law *f, law *constraint, complex_number start, double h, double size,
                      double *value, double *radius, int *state, law *stop) {
    check_point_law(stop, 2);
    check_finite_ends(start.re, start.im);
    check_finite(h, "the step");
    check_finite(size, "the size");
    constrained_objective objective(f, constraint, 2);
    complex_number p = start, prev = start;
    double best = objective(p);
    int status = 0;
    while (h >= smallest_step && objective.evaluations() <= root_tols().root_iter_max &&
           !settled(stop, p, h)) {
        // The four neighbours, then the point as far again along the last move.
        complex_number const trials[] = {p + complex_number(h, 0), p - complex_number(h, 0),
                                         p + complex_number(0, h), p - complex_number(0, h),
                                         p + (p - prev)};
        int const count = p == prev ? 4 : 5;
        int chosen = -1;
        for (int i = 0; i < count; ++i) {
            double const v = objective(trials[i]);
            if (v < best) {
                best = v;
                chosen = i;
            }
        }
        if (chosen < 0) {
            h *= shrink_factor;
            prev = p;  // the last move's extension failed; do not try it again
            continue;
        }
        prev = p;
        p = trials[chosen];
        h *= grow_factor;
        if ((p - start).abs() > size) {
            status = -1;
            break;
        }
    }
    if (value) *value = best;
    if (radius) *radius = 2 * h;
    if (state) *state = status;
    return p;
}
