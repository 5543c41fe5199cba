#include <cmath>
#include <memory>
#include <vector>

#include <law/base/par_pos.h>
#include <law/core/law.h>
#include <law/spline/knot_merge.h>
#include <law/spline/sw_surface.h>
#include <law/spline/sw_surface_knots.h>

namespace {

struct net {
    std::vector<double> knots1, knots2;
    std::vector<std::vector<ZEM::position>> columns;  // columns[i][j]: column i in s, row j in t
};

net net_of(sw_surface const &S) {
    int const K1 = S.get_num_control_points1(), K2 = S.get_num_control_points2();
    net n{{S.get_knot_vector1(), S.get_knot_vector1() + S.get_num_knots1()},
          {S.get_knot_vector2(), S.get_knot_vector2() + S.get_num_knots2()},
          std::vector<std::vector<ZEM::position>>(static_cast<std::size_t>(K1))};
    for (int i = 0; i < K1; ++i)
        for (int j = 0; j < K2; ++j) n.columns[i].push_back(S.get_control_points()[K1 * j + i]);
    return n;
}

// The net with the double knots merged that the keep lists do not hold: the rows along s (one
// per row j) first, then the columns along t.
net merged(net n, double removal_tol, std::vector<double> const &keep_s,
           std::vector<double> const &keep_t) {
    std::size_t const K2 = n.columns.at(0).size();
    knot_rows along_s{n.knots1, std::vector<std::vector<ZEM::position>>(K2)};
    for (std::size_t j = 0; j < K2; ++j)
        for (auto const &column : n.columns) along_s.rows[j].push_back(column[j]);
    merge_double_knots(along_s, remove_knots_within_tolerance, removal_tol, keep_s);
    knot_rows along_t{n.knots2, std::vector<std::vector<ZEM::position>>(along_s.rows[0].size())};
    for (std::size_t i = 0; i < along_t.rows.size(); ++i)
        for (auto const &row : along_s.rows) along_t.rows[i].push_back(row[i]);
    merge_double_knots(along_t, remove_knots_within_tolerance, removal_tol, keep_t);
    return {along_s.knots, along_t.knots, along_t.rows};
}

sw_surface *surface_of(net n, sw_surface const &like) {
    int const K1 = static_cast<int>(n.columns.size()), K2 = static_cast<int>(n.columns[0].size());
    std::vector<ZEM::position> points(static_cast<std::size_t>(K1 * K2));
    for (int i = 0; i < K1; ++i)
        for (int j = 0; j < K2; ++j) points[K1 * j + i] = n.columns[i][j];
    return new sw_surface(K1, K2, 3, 3, 0, 0, 1, 0, 0, n.knots1.data(), n.knots2.data(), nullptr,
                          points.data(), like.get_min_s(), like.get_max_s(), like.get_min_t(),
                          like.get_max_t());
}

// The largest distance of patch (i, j) (as span indices into each knot vector) from the law at
// the check fractions; negative for a patch of no extent, NaN where either is not a number.
double patch_error(law const *f, sw_surface &S, int i, int j) {
    double const *k1 = S.get_knot_vector1(), *k2 = S.get_knot_vector2();
    if (!(k1[i + 1] > k1[i]) || !(k2[j + 1] > k2[j])) return -1;
    double worst = 0;
    for (double const v : knot_check_fractions)
        for (double const u : knot_check_fractions) {
            double const s = k1[i] + (k1[i + 1] - k1[i]) * u;
            double const t = k2[j] + (k2[j + 1] - k2[j]) * v;
            ZEM::position P;
            S.eval(s, t, &P);
            ZEM::vector const want = f->evaluatePP_V(ZEM::par_pos(s, t));
            double const d = (P - (ZEM::origin + want)).len();
            if (std::isnan(d)) return d;
            worst = std::fmax(worst, d);
        }
    return worst;
}

// The patches where the surface lies farther than tol from the law at the check fractions.
void patches_beyond(law const *f, sw_surface &S, double tol, std::vector<int> &spans_s,
                    std::vector<int> &spans_t) {
    for (int j = 3; j < S.get_num_control_points2(); ++j)
        for (int i = 3; i < S.get_num_control_points1(); ++i) {
            if (patch_error(f, S, i, j) <= tol) continue;
            spans_s.push_back(i);
            spans_t.push_back(j);
        }
}

}  // namespace

sw_surface *merge_sw_surface_knots(law const *f, sw_surface &hermite, double removal_tol,
                                   double tol) {
    std::vector<int> spans_s, spans_t;
    patches_beyond(f, hermite, tol, spans_s, spans_t);
    if (!spans_s.empty()) return nullptr;
    net const start = net_of(hermite);
    std::vector<double> keep_s, keep_t;
    for (;;) {
        net const n = merged(start, removal_tol, keep_s, keep_t);
        if (n.knots1.size() == start.knots1.size() && n.knots2.size() == start.knots2.size())
            return nullptr;
        std::unique_ptr<sw_surface> S(surface_of(n, hermite));
        spans_s.clear();
        spans_t.clear();
        patches_beyond(f, *S, tol, spans_s, spans_t);
        if (spans_s.empty()) return S.release();
        bool const more = keep_single_knots_near(n.knots1, spans_s, keep_s) |
                          keep_single_knots_near(n.knots2, spans_t, keep_t);
        if (!more) return nullptr;
    }
}

double largest_patch_error(law const *f, sw_surface &S) {
    double worst = 0;
    for (int j = 3; j < S.get_num_control_points2(); ++j)
        for (int i = 3; i < S.get_num_control_points1(); ++i) {
            double const e = patch_error(f, S, i, j);
            if (std::isnan(e)) return e;
            worst = std::fmax(worst, e);
        }
    return worst;
}
