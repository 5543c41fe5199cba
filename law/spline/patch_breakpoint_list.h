#pragma once
// The grid of breakpoints of a bicubic fit: every s breakpoint meets every t breakpoint, and
// each node keeps the surface's position and its derivatives there. Between nodes the fit is the
// bicubic Hermite patch of the four corners; refining inserts whole iso lines where a patch or
// one of its edges strays from the surface, as many as the error seen on an edge asks for (the
// error of a Hermite cubic falls with the fourth power of its length).
#include <vector>

#include <law/base/vector.h>

class surface_evaluator;
class sw_surface;

struct patch_breakpoint {
    double s = 0, t = 0;
    ZEM::position P;
    ZEM::vector Ps, Pt, Pst;
};

class patch_breakpoint_list {
  public:
    // The four corners of [s0, s1] x [t0, t1]; tol is the fitting tolerance.
    patch_breakpoint_list(surface_evaluator const &f, double s0, double s1, double t0, double t1,
                          double tol);

    // Iso lines at the given parameters strictly inside the ranges.
    void add_starting_knots(int ns, double const *s_knots, int nt, double const *t_knots);
    // Subdivides until every test passes or the budget of iso lines is spent; true when all pass.
    bool refine(int budget);
    // Moves to share times as many intervals in each direction (at least one), spaced so that
    // each asks for the same by the errors of the present ones; the tests may fail after it.
    void respace(double share);
    // The C1 bicubic B-spline of the Hermite patches: every interior breakpoint a double knot.
    sw_surface *convert_to_bspline() const;

    int count_s() const { return static_cast<int>(s_.size()); }
    int count_t() const { return static_cast<int>(t_.size()); }

  private:
    patch_breakpoint const &node(int i, int j) const { return grid_[j * s_.size() + i]; }
    patch_breakpoint evaluate(double s, double t) const;
    // Moves to the breakpoints s x t, keeping the nodes already evaluated.
    void regrid(std::vector<double> const &s, std::vector<double> const &t);
    // The tests over the patch of s-intervals [i0, i1) and t-intervals [j0, j1) spanned by the
    // nodes at their corners (a wider patch when testing whether breakpoints can go).
    bool iso_passes_s(int i0, int i1, int j) const { return iso_excess_s(i0, i1, j) <= 1; }
    bool iso_passes_t(int i, int j0, int j1) const { return iso_excess_t(i, j0, j1) <= 1; }
    // The worst squared distance of an iso segment from the surface over the test's (at most 1
    // when it passes).
    double iso_excess_s(int i0, int i1, int j) const;
    double iso_excess_t(int i, int j0, int j1) const;
    bool inside_passes(int i0, int i1, int j0, int j1) const {
        return inside_excess(i0, i1, j0, j1) <= 1;
    }
    double inside_excess(int i0, int i1, int j0, int j1) const;
    // The worst excess of the iso segments and patches over interval k of s (along_s) or t.
    double worst_excess(bool along_s, int k) const;
    bool all_pass() const;
    // One round finds into how many equal pieces each interval of each direction is cut (1: it
    // stays whole).
    void iso_line_refinement(std::vector<int> &pieces_s, std::vector<int> &pieces_t) const;
    void inside_patch_refinement(std::vector<int> &pieces_s, std::vector<int> &pieces_t) const;
    void subdivide_patches(std::vector<int> const &pieces_s, std::vector<int> const &pieces_t);
    void combine_knots();
    // Removes iso line i of s (j of t) when the tests across it pass; true when it went.
    bool remove_line_s(int i);
    bool remove_line_t(int j);
    void even_out();
    // Per interval of s (along_s) or t: how many lines its stretch asks for per unit length.
    std::vector<double> density(bool along_s) const;

    surface_evaluator const &f_;
    double fit_tol_;
    double test_tol_sq_;    // (0.7 fit)^2, of the iso segments
    double inside_tol_sq_;  // (0.9 fit)^2, of the inside of a patch, which its edges bound
    std::vector<double> s_, t_;
    std::vector<patch_breakpoint> grid_;  // row j (t), column i (s) at j * count_s() + i
};
