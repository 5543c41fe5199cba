#include <law/numeric/plane_zeros.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <numeric>

#include <law/core/law.h>
#include <law/numeric/law_enclosure.h>
#include <law/numeric/search_checks.h>

namespace {
// Cells examined, and cells left unsettled at the smallest size, before the search gives up.
constexpr int most_cells = 400000;
constexpr int most_leaves = 8000;
// A cluster of at most this many unsettled cells is divided again, down to a size this much
// smaller, within a budget of cells: zeros closer together than the smallest cell of the first
// pass are told apart there.
constexpr std::size_t small_cluster = 256;
constexpr double finer_fraction = 0x1p-20;
constexpr int cluster_budget = 4000;
// Cells are divided until their longer side is this fraction of the box's longer side.
constexpr double finest_fraction = 0x1p-16;
// Cells are cut a little off their middle, so that round numbers seldom fall on a cell edge.
constexpr double cut_fraction = 0.4921875;
// The interval Newton test runs on the cell widened by this fraction of its size on each side,
// so that a zero on the edge between two cells is shown to be alone in the wider one.
constexpr double inflation = 0.1;
// A zero of outputs that are not all shown to vanish is taken when their magnitude is below
// this fraction of their size over the box.
constexpr double residual_fraction = 1e-9;
// Newton's method and the damped Gauss-Newton search stop after this many steps.
constexpr int most_newton_steps = 60;
constexpr int most_damped_steps = 400;

using range = value_range;
using point2 = std::array<double, 2>;
using matrix2 = std::array<std::array<double, 2>, 2>;

struct cell {
    double x0, y0, x1, y1;

    point2 centre() const { return {x0 + (x1 - x0) / 2, y0 + (y1 - y0) / 2}; }
    double size() const { return std::max(x1 - x0, y1 - y0); }
    std::array<range, 2> ranges() const { return {range{x0, x1}, range{y0, y1}}; }
    cell widened(double f) const {
        double const dx = f * (x1 - x0), dy = f * (y1 - y0);
        return {x0 - dx, y0 - dy, x1 + dx, y1 + dy};
    }
    bool touches(cell const &o, double slack) const {
        return x0 <= o.x1 + slack && o.x0 <= x1 + slack && y0 <= o.y1 + slack && o.y0 <= y1 + slack;
    }
};

// The outputs of l at p, false when l raises there or gives a value that is not finite.
bool values_at(law const *l, point2 p, std::vector<double> &out) {
    out.assign(static_cast<std::size_t>(std::max(1, l->return_dim())), 0.0);
    try {
        l->evaluate(p.data(), out.data());
    } catch (vorn_exception const &) {
        return false;
    }
    return std::all_of(out.begin(), out.end(), [](double v) { return std::isfinite(v); });
}

// Output k of a law's values; a law of one output, such as the constant 0 that a vector law's
// derivative simplifies to, stands for the same value in every output.
template <class T>
T output(std::vector<T> const &v, int k) {
    return v[v.size() == 1 ? 0 : static_cast<std::size_t>(k)];
}

double largest_magnitude(std::vector<double> const &v) {
    double m = 0;
    for (double x : v) m = std::max(m, std::fabs(x));
    return m;
}

bool solve(matrix2 const &a, point2 const &b, point2 &x) {
    double const det = a[0][0] * a[1][1] - a[0][1] * a[1][0];
    double const size = std::max({std::fabs(a[0][0] * a[1][1]), std::fabs(a[0][1] * a[1][0])});
    if (!(std::fabs(det) > 1e-14 * size) || !std::isfinite(det)) return false;
    x = {(b[0] * a[1][1] - b[1] * a[0][1]) / det, (a[0][0] * b[1] - a[1][0] * b[0]) / det};
    return true;
}

// Output k of a law: one function of the plane.
struct scalar_part {
    law_ptr l;
    int k = 0;
};

// The square system the Newton tests run on, its partial derivatives, and the law whose outputs
// must all vanish at a zero. For a law of two or more outputs the system is its first two
// outputs; for a law of one output f it is the gradient of f, whose zeros hold the places where
// f touches zero.
class plane_system {
  public:
    explicit plane_system(law const *f) : f_(share(f)) {
        if (f->return_dim() == 1) {
            law_ptr const gx = derivative(f, 0), gy = derivative(f, 1);
            if (!gx || !gy) return;
            g_ = {scalar_part{gx, 0}, scalar_part{gy, 0}};
            dg_ = {{{scalar_part{derivative(gx.get(), 0), 0}, {derivative(gx.get(), 1), 0}},
                    {scalar_part{derivative(gy.get(), 0), 0}, {derivative(gy.get(), 1), 0}}}};
        } else {
            g_ = {scalar_part{f_, 0}, scalar_part{f_, 1}};
            law_ptr const dx = derivative(f, 0), dy = derivative(f, 1);
            dg_ = {{{scalar_part{dx, 0}, {dy, 0}}, {scalar_part{dx, 1}, {dy, 1}}}};
        }
    }

    law const *checked() const { return f_.get(); }
    // Whether the system and its partial derivatives are all there.
    bool has_system() const {
        return g_[0].l && g_[1].l &&
               std::all_of(&dg_[0][0], &dg_[0][0] + 4, [](scalar_part const &p) { return p.l; });
    }

    bool system_at(point2 p, point2 &g) const { return parts_at(g_, p, g); }
    bool jacobian_at(point2 p, matrix2 &j) const {
        return parts_at(dg_[0], p, j[0]) && parts_at(dg_[1], p, j[1]);
    }
    std::array<range, 2> system_over(law_enclosure &e, cell const &c) const {
        return parts_over(e, g_, c);
    }
    std::array<std::array<range, 2>, 2> jacobian_over(law_enclosure &e, cell const &c) const {
        return {parts_over(e, dg_[0], c), parts_over(e, dg_[1], c)};
    }
    // The checked law's outputs and their partial derivatives at p (one row per output), the
    // latter by central differences for a law of a class without derivatives.
    bool checked_at(point2 p, std::vector<double> &v, std::vector<point2> &d) const {
        if (!values_at(f_.get(), p, v)) return false;
        d.resize(v.size());
        std::vector<double> lo, hi;
        for (int i = 0; i < 2; ++i) {
            if (partials_[i]) {
                if (!values_at(partials_[i].get(), p, hi)) return false;
                for (std::size_t k = 0; k < v.size(); ++k)
                    d[k][i] = output(hi, static_cast<int>(k));
                continue;
            }
            double const h = 1e-7 * std::max(1.0, std::fabs(p[i]));
            point2 a = p, b = p;
            a[i] -= h;
            b[i] += h;
            if (!values_at(f_.get(), a, lo) || !values_at(f_.get(), b, hi)) return false;
            for (std::size_t k = 0; k < v.size(); ++k) d[k][i] = (hi[k] - lo[k]) / (2 * h);
        }
        return true;
    }

  private:
    // A derivative, or nothing for a law of a class that has none.
    law_ptr derivative(law const *l, int which) {
        try {
            law_ptr d = adopt(l->derivative(which));
            if (d->return_dim() != 1 && d->return_dim() != l->return_dim()) return {};
            if (l == f_.get()) partials_[which] = d;
            return d;
        } catch (vorn_exception const &) {
            return {};
        }
    }

    static bool parts_at(std::array<scalar_part, 2> const &parts, point2 p, point2 &out) {
        std::vector<double> v;
        for (int i = 0; i < 2; ++i) {
            if (i == 0 || parts[1].l.get() != parts[0].l.get()) {
                if (!values_at(parts[i].l.get(), p, v)) return false;
            }
            out[i] = output(v, parts[i].k);
        }
        return true;
    }

    static std::array<range, 2> parts_over(law_enclosure &e,
                                           std::array<scalar_part, 2> const &parts, cell const &c) {
        std::array<range, 2> const box = c.ranges();
        std::array<range, 2> out;
        std::vector<range> r;
        for (int i = 0; i < 2; ++i) {
            if (i == 0 || parts[1].l.get() != parts[0].l.get()) r = e(parts[i].l.get(), box);
            out[i] = output(r, parts[i].k);
        }
        return out;
    }

    law_ptr f_;
    law_ptr partials_[2];
    std::array<scalar_part, 2> g_;
    std::array<std::array<scalar_part, 2>, 2> dg_;
};

class zero_search {
  public:
    zero_search(law const *f, rec2d const &box)
        : system_(f),
          box_{box.x0, box.y0, box.x1, box.y1},
          finest_(box_.size() * finest_fraction),
          one_output_(f->return_dim() == 1) {
        scale_residual();
    }

    plane_zero_set run() {
        refine({box_}, finest_, most_cells, most_leaves, leaves_);
        if (!result_.on_curves) search_leaves();
        finish();
        return std::move(result_);
    }

  private:
    enum class verdict { none, one, unknown };

    // The size of the checked law's outputs over the box, from a few samples: what a residual is
    // measured against.
    void scale_residual() {
        double size = 0;
        std::vector<double> v;
        for (double fx : {0.0, 0.5, 1.0})
            for (double fy : {0.0, 0.5, 1.0}) {
                point2 const p{box_.x0 + fx * (box_.x1 - box_.x0),
                               box_.y0 + fy * (box_.y1 - box_.y0)};
                if (values_at(system_.checked(), p, v)) size = std::max(size, largest_magnitude(v));
            }
        residual_tol_ = residual_fraction * std::max(size, 1e-300);
    }

    // Examines the cells and those they are divided into, down to the finest size, where the
    // cells neither dropped nor settled go into leaves. False when the budget of cells or leaves
    // ran out first (or a curve of zeros showed).
    bool refine(std::vector<cell> work, double finest, int budget, std::size_t most,
                std::vector<cell> &leaves) {
        int const start = result_.cells;
        while (!work.empty() && !result_.on_curves) {
            if (result_.cells - start >= budget || leaves.size() >= most) {
                if (&leaves == &leaves_) result_.exhausted = true;
                return false;
            }
            cell const c = work.back();
            work.pop_back();
            ++result_.cells;
            examine(c, finest, work, leaves);
        }
        return !result_.on_curves;
    }

    void examine(cell const &c, double finest, std::vector<cell> &work, std::vector<cell> &leaves) {
        if (one_output_) watch_sign(c);
        if (excluded(c)) return;
        if (system_.has_system()) {
            point2 start;
            matrix2 inverse;
            verdict const v = krawczyk(c, start, inverse);
            if (v == verdict::none) return;
            if (v == verdict::one) {
                settle(c.widened(inflation), start, inverse);
                return;
            }
        }
        if (c.size() <= finest) {
            leaves.push_back(c);
            return;
        }
        divide(c, work);
    }

    // A law of one output that takes both signs vanishes along a curve between them; its sign
    // is watched at the corners and the centre of every cell examined.
    void watch_sign(cell const &c) {
        for (point2 const p : {c.centre(), point2{c.x0, c.y0}, point2{c.x1, c.y0},
                               point2{c.x0, c.y1}, point2{c.x1, c.y1}})
            watch_sign(p);
    }
    void watch_sign(point2 p) {
        std::vector<double> v;
        if (!values_at(system_.checked(), p, v)) return;
        if (v[0] > 0) positive_ = true;
        if (v[0] < 0) negative_ = true;
        result_.on_curves = positive_ && negative_;
    }

    bool excluded(cell const &c) {
        auto const cannot_vanish = [](range const &r) { return !r.holds(0); };
        std::vector<range> const f = enclose_(system_.checked(), c.ranges());
        if (std::any_of(f.begin(), f.end(), cannot_vanish)) return true;
        if (!one_output_ || !system_.has_system()) return false;
        std::array<range, 2> const g = system_.system_over(enclose_, c);
        return std::any_of(g.begin(), g.end(), cannot_vanish);
    }

    // The Krawczyk operator K = m - Y g(m) + (I - Y J(X)) (X - m) over the widened cell X, with m
    // its centre and Y the inverse of the Jacobian at m: every zero in X lies in K, so a K that
    // misses the cell leaves it without zeros, and a K inside X shows one zero there and no other.
    verdict krawczyk(cell const &c, point2 &m, matrix2 &y) {
        cell const x = c.widened(inflation);
        m = x.centre();
        matrix2 jm;
        if (!system_.jacobian_at(m, jm) || !invert(jm, y)) return verdict::unknown;
        // g(m) as a range that holds its rounding: near a zero that rounding is all there is.
        std::array<range, 2> const gm = system_.system_over(enclose_, {m[0], m[1], m[0], m[1]});
        std::array<std::array<range, 2>, 2> const j = system_.jacobian_over(enclose_, x);
        std::array<range, 2> const xs = x.ranges(), cs = c.ranges();
        bool inside = true;
        for (int i = 0; i < 2; ++i) {
            range k = range::point(m[i]) -
                      (range::point(y[i][0]) * gm[0] + range::point(y[i][1]) * gm[1]);
            for (int col = 0; col < 2; ++col) {
                range entry = range::point(i == col ? 1.0 : 0.0);
                for (int r = 0; r < 2; ++r) entry = entry - range::point(y[i][r]) * j[r][col];
                k = k + entry * (xs[col] - range::point(m[col]));
            }
            if (intersect(k, cs[i]).is_empty()) return verdict::none;
            inside = inside && xs[i].lo < k.lo && k.hi < xs[i].hi;
        }
        return inside ? verdict::one : verdict::unknown;
    }

    static bool invert(matrix2 const &a, matrix2 &inv) {
        point2 c0, c1;
        if (!solve(a, {1, 0}, c0) || !solve(a, {0, 1}, c1)) return false;
        inv = {{{c0[0], c1[0]}, {c0[1], c1[1]}}};
        return true;
    }

    // The one zero of the system in x: Newton's method from the start, or where it strays, the
    // simplified iteration p <- p - Y g(p), which the test showed to contract in x.
    void settle(cell const &x, point2 start, matrix2 const &y) {
        point2 p = start;
        if (!newton(x, p)) {
            p = start;
            for (int i = 0; i < 8 * most_newton_steps; ++i) {
                point2 g;
                if (!system_.system_at(p, g)) return;
                point2 const step{y[0][0] * g[0] + y[0][1] * g[1], y[1][0] * g[0] + y[1][1] * g[1]};
                p = {p[0] - step[0], p[1] - step[1]};
                if (negligible(step, p)) break;
            }
        }
        keep(p, true);
    }

    bool newton(cell const &x, point2 &p) {
        for (int i = 0; i < most_newton_steps; ++i) {
            point2 g, step;
            matrix2 j;
            if (!system_.system_at(p, g) || !system_.jacobian_at(p, j)) return false;
            if (g[0] == 0 && g[1] == 0) return true;
            if (!solve(j, g, step)) return false;
            p = {p[0] - step[0], p[1] - step[1]};
            if (p[0] < x.x0 || p[0] > x.x1 || p[1] < x.y0 || p[1] > x.y1) return false;
            if (negligible(step, p)) return true;
        }
        return true;
    }

    bool negligible(point2 step, point2 p) const {
        double const room = 4 * DBL_EPSILON * (std::fabs(p[0]) + std::fabs(p[1]) + box_.size());
        return std::fabs(step[0]) + std::fabs(step[1]) <= room;
    }

    void divide(cell const &c, std::vector<cell> &work) const {
        double const w = c.x1 - c.x0, h = c.y1 - c.y0;
        double const xm = c.x0 + cut_fraction * w, ym = c.y0 + cut_fraction * h;
        // A long thin cell is cut across only.
        if (w > 2 * h) {
            work.push_back({c.x0, c.y0, xm, c.y1});
            work.push_back({xm, c.y0, c.x1, c.y1});
        } else if (h > 2 * w) {
            work.push_back({c.x0, c.y0, c.x1, ym});
            work.push_back({c.x0, ym, c.x1, c.y1});
        } else {
            work.push_back({c.x0, c.y0, xm, ym});
            work.push_back({xm, c.y0, c.x1, ym});
            work.push_back({c.x0, ym, xm, c.y1});
            work.push_back({xm, ym, c.x1, c.y1});
        }
    }

    // A zero kept when every output vanishes there.
    void keep(point2 p, bool isolated) {
        std::vector<double> v;
        if (!values_at(system_.checked(), p, v)) return;
        double const residual = largest_magnitude(v);
        if (!(residual <= residual_tol_)) return;
        result_.zeros.push_back({{p[0], p[1]}, residual, isolated});
    }

    // Cells of the smallest size that could be neither dropped nor settled, in clusters of
    // touching cells. A small cluster is divided further; what stays unsettled is searched from
    // each cluster's cell of least residual and from its two ends. Two zeros far apart in one
    // cluster lie on a curve of zeros.
    void search_leaves() {
        for (std::vector<cell> const &cluster : clustered(leaves_)) {
            std::vector<cell> finer;
            if (cluster.size() <= small_cluster &&
                refine(cluster, finest_ * finer_fraction, cluster_budget, most_leaves, finer)) {
                for (std::vector<cell> const &part : clustered(finer)) search_cluster(part);
            } else if (!result_.on_curves) {
                search_cluster(cluster);
            }
        }
    }

    // Zeros far apart that both lie among the cluster's cells show a curve of zeros; a search
    // that runs off to a zero elsewhere (from cells beside a pole) shows nothing.
    void search_cluster(std::vector<cell> const &cluster) {
        std::size_t const before = result_.zeros.size();
        for (point2 const &start : starts_of(cluster)) {
            point2 p = start;
            if (damped_gauss_newton(p)) keep(p, false);
        }
        double const size = cluster[0].size();
        auto const among = [&](complex_number z) {
            return std::any_of(cluster.begin(), cluster.end(), [&](cell const &c) {
                return c.widened(1).touches({z.re, z.im, z.re, z.im}, 0);
            });
        };
        for (std::size_t i = before; i < result_.zeros.size(); ++i)
            for (std::size_t k = i + 1; k < result_.zeros.size(); ++k) {
                complex_number const a = result_.zeros[i].point, b = result_.zeros[k].point;
                if ((a - b).abs() > 8 * size && among(a) && among(b)) result_.on_curves = true;
            }
    }

    static std::vector<std::vector<cell>> clustered(std::vector<cell> const &leaves) {
        std::vector<std::size_t> order(leaves.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return leaves[a].x0 < leaves[b].x0; });
        std::vector<std::size_t> parent(leaves.size());
        std::iota(parent.begin(), parent.end(), 0);
        auto root = [&](std::size_t i) {
            while (parent[i] != i) i = parent[i] = parent[parent[i]];
            return i;
        };
        double const slack = 1e-9 * (leaves.empty() ? 0.0 : leaves[0].size());
        for (std::size_t a = 0; a < order.size(); ++a)
            for (std::size_t b = a + 1; b < order.size(); ++b) {
                cell const &p = leaves[order[a]], &q = leaves[order[b]];
                if (q.x0 > p.x1 + slack) break;
                if (p.touches(q, slack)) parent[root(order[a])] = root(order[b]);
            }
        std::vector<std::vector<cell>> out;
        std::vector<int> index(leaves.size(), -1);
        for (std::size_t i = 0; i < leaves.size(); ++i) {
            std::size_t const r = root(i);
            if (index[r] < 0) {
                index[r] = static_cast<int>(out.size());
                out.emplace_back();
            }
            out[static_cast<std::size_t>(index[r])].push_back(leaves[i]);
        }
        return out;
    }

    // The cluster's cell of least residual and its cells at the two ends of its longer extent.
    std::vector<point2> starts_of(std::vector<cell> const &cluster) const {
        cell span = cluster[0];
        for (cell const &c : cluster)
            span = {std::min(span.x0, c.x0), std::min(span.y0, c.y0), std::max(span.x1, c.x1),
                    std::max(span.y1, c.y1)};
        bool const wide = span.x1 - span.x0 >= span.y1 - span.y0;
        auto const along = [wide](cell const &c) { return wide ? c.x0 : c.y0; };
        std::vector<double> v;
        std::size_t best = 0, first = 0, last = 0;
        double least = INFINITY;
        for (std::size_t i = 0; i < cluster.size(); ++i) {
            if (values_at(system_.checked(), cluster[i].centre(), v) &&
                largest_magnitude(v) < least) {
                least = largest_magnitude(v);
                best = i;
            }
            if (along(cluster[i]) < along(cluster[first])) first = i;
            if (along(cluster[i]) > along(cluster[last])) last = i;
        }
        return {cluster[best].centre(), cluster[first].centre(), cluster[last].centre()};
    }

    // Levenberg-Marquardt steps on the sum of squares of the checked law's outputs.
    bool damped_gauss_newton(point2 &p) const {
        std::vector<double> v, trial;
        std::vector<point2> d, dtrial;
        if (!system_.checked_at(p, v, d)) return false;
        double damping = 1e-3;
        for (int i = 0; i < most_damped_steps; ++i) {
            double const size = squared(v);
            if (size == 0) return true;
            matrix2 a{};
            point2 b{};
            for (std::size_t k = 0; k < v.size(); ++k)
                for (int r = 0; r < 2; ++r) {
                    b[r] += d[k][r] * v[k];
                    for (int c = 0; c < 2; ++c) a[r][c] += d[k][r] * d[k][c];
                }
            // Marquardt's scaling: each unknown damped by its own curvature, so that a zero
            // where one direction is flat (a tangency) is still approached at a steady rate.
            matrix2 damped = a;
            for (int r = 0; r < 2; ++r) damped[r][r] += damping * a[r][r] + DBL_MIN;
            point2 step;
            if (!solve(damped, b, step)) return false;
            point2 const q{p[0] - step[0], p[1] - step[1]};
            if (system_.checked_at(q, trial, dtrial) && squared(trial) < size) {
                p = q;
                v.swap(trial);
                d.swap(dtrial);
                damping = std::max(damping / 4, 1e-15);
                if (negligible(step, p)) return true;
            } else {
                damping *= 8;
                if (damping > 1e12) return true;
            }
        }
        return true;
    }

    static double squared(std::vector<double> const &v) {
        double s = 0;
        for (double x : v) s += x * x;
        return s;
    }

    // Zeros in the box, one per place, in order.
    void finish() {
        double const slack = 1e-12 * box_.size();
        std::vector<plane_zero> kept;
        auto const in_box = [&](plane_zero const &z) {
            return z.point.re >= box_.x0 - slack && z.point.re <= box_.x1 + slack &&
                   z.point.im >= box_.y0 - slack && z.point.im <= box_.y1 + slack;
        };
        // Proven zeros first, so that a zero found both ways keeps its proof.
        std::stable_sort(
            result_.zeros.begin(), result_.zeros.end(),
            [](plane_zero const &a, plane_zero const &b) { return a.isolated && !b.isolated; });
        for (plane_zero const &z : result_.zeros) {
            if (!in_box(z)) continue;
            bool const seen = std::any_of(kept.begin(), kept.end(), [&](plane_zero const &k) {
                double const reach = (z.isolated && k.isolated ? 1e-9 : 1e-7) * box_.size();
                return (k.point - z.point).abs() <= reach;
            });
            if (!seen) kept.push_back(z);
        }
        std::sort(kept.begin(), kept.end(), [](plane_zero const &a, plane_zero const &b) {
            return a.point.re < b.point.re || (a.point.re == b.point.re && a.point.im < b.point.im);
        });
        result_.zeros = std::move(kept);
        if (result_.on_curves && one_output_) result_.zeros.clear();
    }

    plane_system system_;
    law_enclosure enclose_;
    cell box_;
    double finest_;
    bool one_output_;
    double residual_tol_ = 0;
    bool positive_ = false, negative_ = false;
    std::vector<cell> leaves_;
    plane_zero_set result_;
};
}  // namespace

plane_zero_set plane_zeros(law const *f, rec2d const &box) {
    check_search_box(box);
    if (!f || f->take_dim() > 2 || f->return_dim() < 1) law_error(LAW_EVALV);
    return zero_search(f, box).run();
}
