#include <law/spline/patch_breakpoint_list.h>

#include <algorithm>

#include <law/spline/bezier_patch.h>
#include <law/spline/segment_test.h>
#include <law/spline/surface_evaluator.h>
#include <law/spline/sw_surface.h>

namespace {

// More nodes than this is a refinement that has lost its way.
constexpr std::size_t max_nodes = 100000;

// A point of the Bezier net of a Hermite patch: the node moved along its derivatives.
ZEM::position hermite_point(patch_breakpoint const &n, double fs, double ft) {
    return n.P + n.Ps * fs + n.Pt * ft + n.Pst * (fs * ft);
}

// Of the four Bezier points along one direction of a segment of length h: which end's node it
// comes from and how far along that node's derivative it lies.
int net_end(int a) { return a / 2; }
double net_factor(int a, double h) {
    constexpr double f[4] = {0, 1.0 / 3, -1.0 / 3, 0};
    return f[a] * h;
}

}  // namespace

patch_breakpoint_list::patch_breakpoint_list(surface_evaluator const &f, double s0, double s1,
                                             double t0, double t1, double tol)
    : f_(f), fit_tol_(tol), test_tol_sq_((0.7 * tol) * (0.7 * tol)) {
    regrid({s0, s1}, {t0, t1});
}

patch_breakpoint patch_breakpoint_list::evaluate(double s, double t) const {
    patch_breakpoint n;
    n.s = s;
    n.t = t;
    // At the far ends the differences look back into the range.
    f_.eval_derivs(s, t, n.P, n.Ps, n.Pt, n.Pst, s == s_.back(), t == t_.back());
    return n;
}

void patch_breakpoint_list::regrid(std::vector<double> const &s, std::vector<double> const &t) {
    auto old_index = [](std::vector<double> const &old, std::vector<double> const &now) {
        std::vector<int> out;
        for (double x : now) {
            auto const at = std::lower_bound(old.begin(), old.end(), x);
            out.push_back(at != old.end() && *at == x ? static_cast<int>(at - old.begin()) : -1);
        }
        return out;
    };
    std::vector<int> const is = old_index(s_, s), it = old_index(t_, t);
    std::vector<patch_breakpoint> grid;
    grid.reserve(s.size() * t.size());
    std::vector<double> const old_s = s_;
    s_ = s;
    t_ = t;
    for (std::size_t j = 0; j < t.size(); ++j)
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (is[i] >= 0 && it[j] >= 0)
                grid.push_back(grid_[static_cast<std::size_t>(it[j]) * old_s.size() +
                                     static_cast<std::size_t>(is[i])]);
            else
                grid.push_back(evaluate(s[i], t[j]));
        }
    grid_ = std::move(grid);
}

void patch_breakpoint_list::add_starting_knots(int ns, double const *s_knots, int nt,
                                               double const *t_knots) {
    auto merged = [](std::vector<double> now, int n, double const *knots) {
        for (int k = 0; k < n; ++k)
            if (knots[k] > now.front() && knots[k] < now.back()) now.push_back(knots[k]);
        std::sort(now.begin(), now.end());
        now.erase(std::unique(now.begin(), now.end()), now.end());
        return now;
    };
    regrid(merged(s_, s_knots ? ns : 0, s_knots), merged(t_, t_knots ? nt : 0, t_knots));
}

// ---- the tests

bool patch_breakpoint_list::close(ZEM::position const &fit, double s, double t) const {
    return (fit - f_.eval(s, t)).len_sq() <= test_tol_sq_;
}

bool patch_breakpoint_list::iso_passes_s(int i0, int i1, int j) const {
    double const h = s_[i1] - s_[i0];
    if (h <= fit_tol_) return true;
    patch_breakpoint const &a = node(i0, j), &b = node(i1, j);
    return segment_within(hermite_cubic(a.P, a.Ps, b.P, b.Ps, h), s_[i0], s_[i1], test_tol_sq_,
                          [&](double s) { return f_.eval(s, t_[j]); });
}

bool patch_breakpoint_list::iso_passes_t(int i, int j0, int j1) const {
    double const h = t_[j1] - t_[j0];
    if (h <= fit_tol_) return true;
    patch_breakpoint const &a = node(i, j0), &b = node(i, j1);
    return segment_within(hermite_cubic(a.P, a.Pt, b.P, b.Pt, h), t_[j0], t_[j1], test_tol_sq_,
                          [&](double t) { return f_.eval(s_[i], t); });
}

bool patch_breakpoint_list::inside_passes(int i0, int i1, int j0, int j1) const {
    double const hs = s_[i1] - s_[i0], ht = t_[j1] - t_[j0];
    if (hs <= fit_tol_ && ht <= fit_tol_) return true;
    bezier_patch patch;
    patch.init(4, 4, 0);
    int const is[2] = {i0, i1}, js[2] = {j0, j1};
    for (int b = 0; b < 4; ++b)
        for (int a = 0; a < 4; ++a)
            patch.point(a, b) = hermite_point(node(is[net_end(a)], js[net_end(b)]),
                                              net_factor(a, hs), net_factor(b, ht));
    for (double v : segment_test_fractions)
        for (double u : segment_test_fractions) {
            double const s = s_[i0] * (1 - u) + s_[i1] * u, t = t_[j0] * (1 - v) + t_[j1] * v;
            if (!close(patch.eval(u, v), s, t)) return false;
        }
    return true;
}

// ---- refinement

void patch_breakpoint_list::iso_line_refinement(std::vector<char> &split_s,
                                                std::vector<char> &split_t) const {
    int const ns = count_s(), nt = count_t();
    for (int j = 0; j < nt; ++j)
        for (int i = 0; i + 1 < ns; ++i)
            if (!split_s[i] && !iso_passes_s(i, i + 1, j)) split_s[i] = 1;
    for (int i = 0; i < ns; ++i)
        for (int j = 0; j + 1 < nt; ++j)
            if (!split_t[j] && !iso_passes_t(i, j, j + 1)) split_t[j] = 1;
}

// A patch whose edges pass but whose inside strays is halved both ways.
void patch_breakpoint_list::inside_patch_refinement(std::vector<char> &split_s,
                                                    std::vector<char> &split_t) const {
    for (int j = 0; j + 1 < count_t(); ++j)
        for (int i = 0; i + 1 < count_s(); ++i) {
            if (split_s[i] || split_t[j] || inside_passes(i, i + 1, j, j + 1)) continue;
            split_s[i] = s_[i + 1] - s_[i] > fit_tol_;
            split_t[j] = t_[j + 1] - t_[j] > fit_tol_;
        }
}

void patch_breakpoint_list::subdivide_patches(std::vector<char> const &split_s,
                                              std::vector<char> const &split_t) {
    auto halved = [](std::vector<double> const &now, std::vector<char> const &split) {
        std::vector<double> out;
        for (std::size_t k = 0; k < now.size(); ++k) {
            out.push_back(now[k]);
            if (k < split.size() && split[k]) out.push_back(0.5 * (now[k] + now[k + 1]));
        }
        return out;
    };
    regrid(halved(s_, split_s), halved(t_, split_t));
}

// Takes out the breakpoints the halving placed needlessly: an iso line goes when the patches
// and edges that span its two sides still pass.
void patch_breakpoint_list::combine_knots() {
    for (int i = 1; i + 1 < count_s();) {
        bool passes = true;
        for (int j = 0; passes && j < count_t(); ++j) passes = iso_passes_s(i - 1, i + 1, j);
        for (int j = 0; passes && j + 1 < count_t(); ++j)
            passes = inside_passes(i - 1, i + 1, j, j + 1);
        if (!passes) {
            ++i;
            continue;
        }
        std::vector<double> s = s_;
        s.erase(s.begin() + i);
        regrid(s, t_);
    }
    for (int j = 1; j + 1 < count_t();) {
        bool passes = true;
        for (int i = 0; passes && i < count_s(); ++i) passes = iso_passes_t(i, j - 1, j + 1);
        for (int i = 0; passes && i + 1 < count_s(); ++i)
            passes = inside_passes(i, i + 1, j - 1, j + 1);
        if (!passes) {
            ++j;
            continue;
        }
        std::vector<double> t = t_;
        t.erase(t.begin() + j);
        regrid(s_, t);
    }
}

bool patch_breakpoint_list::refine(int budget) {
    for (;;) {
        std::vector<char> split_s(s_.size() - 1, 0), split_t(t_.size() - 1, 0);
        iso_line_refinement(split_s, split_t);
        inside_patch_refinement(split_s, split_t);
        std::size_t const more_s =
            static_cast<std::size_t>(std::count(split_s.begin(), split_s.end(), 1));
        std::size_t const more_t =
            static_cast<std::size_t>(std::count(split_t.begin(), split_t.end(), 1));
        if (more_s + more_t == 0) break;
        std::size_t const ns = s_.size() + more_s, nt = t_.size() + more_t;
        if (static_cast<int>(ns + nt) > budget || ns * nt > max_nodes) return false;
        subdivide_patches(split_s, split_t);
    }
    combine_knots();
    return true;
}

// ---- the B-spline

sw_surface *patch_breakpoint_list::convert_to_bspline() const {
    // Control point c of a direction with n intervals: the first and last nodes, then for each
    // interval the nodes at its ends moved a third of the interval inward along the derivative.
    struct net_index {
        int node;
        double factor;
    };
    auto indices = [](std::vector<double> const &x) {
        int const n = static_cast<int>(x.size()) - 1;
        std::vector<net_index> out{{0, 0}};
        for (int m = 0; m < n; ++m) {
            double const h = x[m + 1] - x[m];
            out.push_back({m, h / 3});
            out.push_back({m + 1, -h / 3});
        }
        out.push_back({n, 0});
        return out;
    };
    auto knots = [](std::vector<double> const &x) {
        std::vector<double> out(2, x.front());
        for (double k : x) out.insert(out.end(), 2, k);
        out.insert(out.end(), 2, x.back());
        return out;
    };
    std::vector<net_index> const cs = indices(s_), ct = indices(t_);
    std::vector<double> ks = knots(s_), kt = knots(t_);
    int const K1 = static_cast<int>(cs.size()), K2 = static_cast<int>(ct.size());
    std::vector<ZEM::position> points;
    points.reserve(static_cast<std::size_t>(K1 * K2));
    for (net_index const &b : ct)
        for (net_index const &a : cs)
            points.push_back(hermite_point(node(a.node, b.node), a.factor, b.factor));
    return new sw_surface(K1, K2, 3, 3, 0, 0, 1, 0, 0, ks.data(), kt.data(), nullptr, points.data(),
                          s_.front(), s_.back(), t_.front(), t_.back());
}
