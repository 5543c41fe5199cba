#include <law/numeric/nroot_2d.h>

#include <algorithm>
#include <cmath>

#include <law/base/memory.h>
#include <law/core/law.h>
#include <law/numeric/constrained_objective.h>
#include <law/numeric/nmin_2d.h>
#include <law/numeric/quad_tree.h>
#include <law/numeric/root_2d_set.h>
#include <law/numeric/root_settings.h>
#include <law/numeric/search_checks.h>

namespace {
// Evaluations of each minimisation while the quadtree is explored.
constexpr int quadtree_iter_max = 1000;

void check_box(rec2d const &box, int const *n, complex_number const *starts, int nstarts) {
    check_search_box(box);
    check_given(n, "the place for the count");
    if (nstarts > 0) check_given(starts, "the array of starts");
    for (int i = 0; i < nstarts; ++i) check_finite_ends(starts[i].re, starts[i].im);
}

bool allowed(law const *constraint, complex_number p) {
    return !constraint || scalar_at(constraint, p) > 0;
}

// A minimum of f near `from`, kept in `roots` when it is a zero inside the box.
void add_zero_from(law *f, law *constraint, rec2d const &box, complex_number from, law *stop,
                   Root_2D_set &roots) {
    double value = 0, radius = 0;
    int state = 0;
    complex_number const p = Nmin2D(f, constraint, from, root_tols().root_search_tol,
                                    box.diagonal(), &value, &radius, &state, stop);
    double const residual = stop ? scalar_at(stop, p) : value;
    if (std::fabs(residual) < root_tols().root_f_tol && box.inside(p) && allowed(constraint, p))
        roots.add(f, p, value, radius);
}

void add_zeros_from_starts(law *f, law *constraint, rec2d const &box, complex_number *starts,
                           int nstarts, law *stop, Root_2D_set &roots) {
    for (int i = 0; starts && i < nstarts; ++i)
        add_zero_from(f, constraint, box, starts[i], stop, roots);
}

complex_number *points_of(Root_2D_set const &set, int *n) {
    *n = set.size();
    complex_number *out = VORN_ARRAY(complex_number, std::max(*n, 1));
    int k = 0;
    for (Root_2D *r = set.head(); r; r = r->next) out[k++] = r->point;
    return out;
}

// The minima of the box's centre search and of the quadtree's cells.
void collect_minima(law *f, law *constraint, law *divide_law, rec2d const &box,
                    Root_2D_set &minima) {
    double const d = box.diagonal();
    double value = 0, radius = 0;
    int state = 0;
    complex_number const p =
        Nmin2D(f, constraint, box.center(), d / 10, d, &value, &radius, &state, nullptr);
    if (std::fabs(value) < root_tols().root_f_tol) minima.add(f, p, value, radius);

    coarse_search_scope const coarse(quadtree_iter_max);
    Quad_tree root(box);
    root.fill(f, constraint);
    root.mins(f, &minima);
    if (root.should_divide(f, constraint, divide_law))
        root.divide(f, constraint, divide_law, &minima);
}
}  // namespace

complex_number *Nroot2D(law *f, law *constraint, rec2d box, int *n, complex_number *starts,
                        int nstarts, law *stop) {
    check_box(box, n, starts, nstarts);
    Root_2D_set roots;
    add_zeros_from_starts(f, constraint, box, starts, nstarts, stop, roots);
    return points_of(roots, n);
}

complex_number *Nroot2D(law *f, law *constraint, law *divide_law, rec2d box, int *n,
                        complex_number *starts, int nstarts) {
    check_box(box, n, starts, nstarts);
    Root_2D_set minima, roots;
    collect_minima(f, constraint, divide_law, box, minima);
    for (Root_2D *m = minima.head(); m; m = m->next)
        if (std::fabs(m->value) < root_tols().root_f_tol)
            add_zero_from(f, constraint, box, m->point, nullptr, roots);
    add_zeros_from_starts(f, constraint, box, starts, nstarts, nullptr, roots);
    return points_of(roots, n);
}
