#include <law/spline/patch_breakpoint_list.h>

#include <algorithm>
#include <cmath>

#include <law/spline/bezier_patch.h>
#include <law/spline/segment_test.h>
#include <law/spline/surface_evaluator.h>
#include <law/spline/sw_surface.h>

namespace {

// More nodes than this is a refinement that has lost its way.
constexpr std::size_t max_nodes = 100000;
// Most pieces one round cuts an interval into: where the error does not yet fall with the
// fourth power of the length, the next round sees again.
constexpr int max_pieces = 4;

// Into how many equal pieces an edge of the given excess (squared error over squared tolerance)
// is cut: a Hermite cubic's error falls with the fourth power of its length, with a margin for
// the test fractions that miss the peak.
int pieces_for(double excess) {
    if (excess <= 1) return 1;
    return std::min(max_pieces,
                    std::max(2, static_cast<int>(std::ceil(1.1 * std::pow(excess, 0.125)))));
}

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
    : f_(f),
      fit_tol_(tol),
      test_tol_sq_((0.7 * tol) * (0.7 * tol)),
      inside_tol_sq_((0.9 * tol) * (0.9 * tol)) {
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

double patch_breakpoint_list::iso_excess_s(int i0, int i1, int j) const {
    double const h = s_[i1] - s_[i0];
    if (h <= fit_tol_) return 0;
    patch_breakpoint const &a = node(i0, j), &b = node(i1, j);
    return segment_excess(hermite_cubic(a.P, a.Ps, b.P, b.Ps, h), s_[i0], s_[i1], test_tol_sq_,
                          [&](double s) { return f_.eval(s, t_[j]); });
}

double patch_breakpoint_list::iso_excess_t(int i, int j0, int j1) const {
    double const h = t_[j1] - t_[j0];
    if (h <= fit_tol_) return 0;
    patch_breakpoint const &a = node(i, j0), &b = node(i, j1);
    return segment_excess(hermite_cubic(a.P, a.Pt, b.P, b.Pt, h), t_[j0], t_[j1], test_tol_sq_,
                          [&](double t) { return f_.eval(s_[i], t); });
}

double patch_breakpoint_list::inside_excess(int i0, int i1, int j0, int j1) const {
    double const hs = s_[i1] - s_[i0], ht = t_[j1] - t_[j0];
    if (hs <= fit_tol_ && ht <= fit_tol_) return 0;
    bezier_patch patch;
    patch.init(4, 4, 0);
    int const is[2] = {i0, i1}, js[2] = {j0, j1};
    for (int b = 0; b < 4; ++b)
        for (int a = 0; a < 4; ++a)
            patch.point(a, b) = hermite_point(node(is[net_end(a)], js[net_end(b)]),
                                              net_factor(a, hs), net_factor(b, ht));
    double worst = 0;
    for (double v : segment_test_fractions)
        for (double u : segment_test_fractions) {
            double const s = s_[i0] * (1 - u) + s_[i1] * u, t = t_[j0] * (1 - v) + t_[j1] * v;
            worst = std::fmax(worst, (patch.eval(u, v) - f_.eval(s, t)).len_sq() / inside_tol_sq_);
        }
    return worst;
}

// ---- refinement

void patch_breakpoint_list::iso_line_refinement(std::vector<int> &pieces_s,
                                                std::vector<int> &pieces_t) const {
    int const ns = count_s(), nt = count_t();
    for (int j = 0; j < nt; ++j)
        for (int i = 0; i + 1 < ns; ++i)
            pieces_s[i] = std::max(pieces_s[i], pieces_for(iso_excess_s(i, i + 1, j)));
    for (int i = 0; i < ns; ++i)
        for (int j = 0; j + 1 < nt; ++j)
            pieces_t[j] = std::max(pieces_t[j], pieces_for(iso_excess_t(i, j, j + 1)));
}

// A patch whose edges pass but whose inside strays is halved both ways.
void patch_breakpoint_list::inside_patch_refinement(std::vector<int> &pieces_s,
                                                    std::vector<int> &pieces_t) const {
    for (int j = 0; j + 1 < count_t(); ++j)
        for (int i = 0; i + 1 < count_s(); ++i) {
            if (pieces_s[i] > 1 || pieces_t[j] > 1 || inside_passes(i, i + 1, j, j + 1)) continue;
            pieces_s[i] = s_[i + 1] - s_[i] > fit_tol_ ? 2 : 1;
            pieces_t[j] = t_[j + 1] - t_[j] > fit_tol_ ? 2 : 1;
        }
}

void patch_breakpoint_list::subdivide_patches(std::vector<int> const &pieces_s,
                                              std::vector<int> const &pieces_t) {
    auto cut = [](std::vector<double> const &now, std::vector<int> const &pieces) {
        std::vector<double> out;
        for (std::size_t k = 0; k < now.size(); ++k) {
            out.push_back(now[k]);
            if (k + 1 == now.size()) break;
            int const n = pieces[k];
            for (int m = 1; m < n; ++m) out.push_back(now[k] + (now[k + 1] - now[k]) * m / n);
        }
        return out;
    };
    regrid(cut(s_, pieces_s), cut(t_, pieces_t));
}

// Takes out the breakpoints the subdivision placed needlessly: an iso line goes when the patches
// and edges that span its two sides still pass. The two directions are walked side by side, so
// that neither takes all the room the tolerance leaves.
bool patch_breakpoint_list::remove_line_s(int i) {
    for (int j = 0; j < count_t(); ++j)
        if (!iso_passes_s(i - 1, i + 1, j)) return false;
    for (int j = 0; j + 1 < count_t(); ++j)
        if (!inside_passes(i - 1, i + 1, j, j + 1)) return false;
    std::vector<double> s = s_;
    s.erase(s.begin() + i);
    regrid(s, t_);
    return true;
}

bool patch_breakpoint_list::remove_line_t(int j) {
    for (int i = 0; i < count_s(); ++i)
        if (!iso_passes_t(i, j - 1, j + 1)) return false;
    for (int i = 0; i + 1 < count_s(); ++i)
        if (!inside_passes(i, i + 1, j - 1, j + 1)) return false;
    std::vector<double> t = t_;
    t.erase(t.begin() + j);
    regrid(s_, t);
    return true;
}

void patch_breakpoint_list::combine_knots() {
    for (int i = 1, j = 1; i + 1 < count_s() || j + 1 < count_t();) {
        // The direction whose walk lags behind, by the share of its lines passed.
        bool const in_s = j + 1 >= count_t() ||
                          (i + 1 < count_s() && double(i) / count_s() <= double(j) / count_t());
        if (in_s) {
            if (!remove_line_s(i)) ++i;
        } else {
            if (!remove_line_t(j)) ++j;
        }
    }
}

bool patch_breakpoint_list::refine(int budget) {
    for (;;) {
        std::vector<int> pieces_s(s_.size() - 1, 1), pieces_t(t_.size() - 1, 1);
        iso_line_refinement(pieces_s, pieces_t);
        inside_patch_refinement(pieces_s, pieces_t);
        auto added = [](std::vector<int> const &pieces) {
            std::size_t n = 0;
            for (int p : pieces) n += static_cast<std::size_t>(p - 1);
            return n;
        };
        std::size_t const more_s = added(pieces_s), more_t = added(pieces_t);
        if (more_s + more_t == 0) break;
        std::size_t const ns = s_.size() + more_s, nt = t_.size() + more_t;
        if (static_cast<int>(ns + nt) > budget || ns * nt > max_nodes) return false;
        subdivide_patches(pieces_s, pieces_t);
    }
    combine_knots();
    even_out();
    return true;
}

// ---- spacing the iso lines evenly

namespace {

// Lines from x.front() to x.back() that share out the integral of the density (constant over
// each interval of x) into n equal parts.
std::vector<double> equidistributed(std::vector<double> const &x, std::vector<double> const &rho,
                                    int n) {
    std::vector<double> cumulative = {0};
    for (std::size_t i = 0; i < rho.size(); ++i)
        cumulative.push_back(cumulative.back() + rho[i] * (x[i + 1] - x[i]));
    std::vector<double> out = {x.front()};
    std::size_t i = 0;
    for (int k = 1; k < n; ++k) {
        double const want = cumulative.back() * k / n;
        while (cumulative[i + 1] < want) ++i;
        double const part = (want - cumulative[i]) / (cumulative[i + 1] - cumulative[i]);
        double const at = x[i] + (x[i + 1] - x[i]) * part;
        if (at > out.back()) out.push_back(at);
    }
    out.push_back(x.back());
    return out;
}

}  // namespace

double patch_breakpoint_list::worst_excess(bool along_s, int k) const {
    double worst = 0;
    int const ns = count_s(), nt = count_t();
    if (along_s) {
        for (int j = 0; j < nt; ++j) worst = std::fmax(worst, iso_excess_s(k, k + 1, j));
        for (int j = 0; j + 1 < nt; ++j)
            worst = std::fmax(worst, inside_excess(k, k + 1, j, j + 1));
    } else {
        for (int i = 0; i < ns; ++i) worst = std::fmax(worst, iso_excess_t(i, k, k + 1));
        for (int i = 0; i + 1 < ns; ++i)
            worst = std::fmax(worst, inside_excess(i, i + 1, k, k + 1));
    }
    return worst;
}

bool patch_breakpoint_list::all_pass() const {
    for (int k = 0; k + 1 < count_s(); ++k)
        if (worst_excess(true, k) > 1) return false;
    for (int k = 0; k + 1 < count_t(); ++k)
        if (worst_excess(false, k) > 1) return false;
    return true;
}

// The refinement cuts intervals into equal pieces, so that where the surface is gentle the lines
// lie closer than they need. The error of a Hermite cubic goes with the fourth power of its
// length (its squared excess with the eighth): each interval's excess says how many lines its
// stretch needs, and lines spaced so that each interval needs the same are tried, with a little
// more and more margin, while they are fewer than now and until every test passes.
std::vector<double> patch_breakpoint_list::density(bool along_s) const {
    std::vector<double> const &x = along_s ? s_ : t_;
    std::vector<double> rho;
    for (std::size_t k = 0; k + 1 < x.size(); ++k)
        rho.push_back(std::pow(worst_excess(along_s, static_cast<int>(k)), 0.125) /
                      (x[k + 1] - x[k]));
    return rho;
}

void patch_breakpoint_list::respace(double share) {
    auto lines = [share](std::vector<double> const &x, std::vector<double> const &rho) {
        double need = 0;
        for (std::size_t k = 0; k < rho.size(); ++k) need += rho[k] * (x[k + 1] - x[k]);
        int const n = std::max(1, static_cast<int>(std::ceil(share * (x.size() - 1))));
        return need > 0 ? equidistributed(x, rho, n) : std::vector<double>{x.front(), x.back()};
    };
    std::vector<double> const rho_s = density(true), rho_t = density(false);
    std::vector<double> const s = lines(s_, rho_s), t = lines(t_, rho_t);
    regrid(s, t);
}

void patch_breakpoint_list::even_out() {
    auto lines = [](std::vector<double> const &x, std::vector<double> const &rho, double margin) {
        double need = 0;
        for (std::size_t k = 0; k < rho.size(); ++k) need += rho[k] * (x[k + 1] - x[k]);
        int const n = std::max(1, static_cast<int>(std::ceil(need * margin)));
        return need > 0 ? equidistributed(x, rho, n) : std::vector<double>{x.front(), x.back()};
    };
    std::vector<double> const rho_s = density(true), rho_t = density(false);
    std::vector<double> const s0 = s_, t0 = t_;
    std::vector<patch_breakpoint> const grid0 = grid_;
    for (double const margin : {1.05, 1.2, 1.4}) {
        std::vector<double> const s = lines(s0, rho_s, margin), t = lines(t0, rho_t, margin);
        if (s.size() + t.size() >= s0.size() + t0.size()) break;
        regrid(s, t);
        if (all_pass()) return;
        s_ = s0;
        t_ = t0;
        grid_ = grid0;
    }
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
