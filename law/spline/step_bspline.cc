#include <cmath>
#include <vector>

#include <law/core/lawutil_errors.h>
#include <law/spline/exchange_real.h>
#include <law/spline/step_bspline.h>

namespace {

std::string reals(double const *v, int n) {
    std::vector<std::string> items;
    for (int i = 0; i < n; ++i) items.push_back(exchange_real(v[i]));
    return step_list(items);
}

int add_point(step_writer &w, double const *xyz) {
    for (int c = 0; c < 3; ++c)
        if (!std::isfinite(xyz[c])) law_error(LAW_BAD_RANGE);
    return w.add_entity("CARTESIAN_POINT(''," + reals(xyz, 3) + ")");
}

// The distinct knots of a knot vector and how often each occurs: "(4,2,4)" and "(0.,1.,2.)".
struct knot_lists {
    std::string multiplicities, knots;
};

knot_lists knots_of(double const *k, int n) {
    std::vector<std::string> mult;
    std::vector<double> distinct;
    for (int i = 0; i < n;) {
        int j = i;
        while (j < n && k[j] == k[i]) ++j;
        mult.push_back(std::to_string(j - i));
        distinct.push_back(k[i]);
        i = j;
    }
    return {step_list(mult), reals(distinct.data(), static_cast<int>(distinct.size()))};
}

bool all_ones(double const *w, int n) {
    for (int i = 0; i < n; ++i)
        if (w[i] != 1) return false;
    return true;
}

}  // namespace

int add_step_curve(step_writer &w, sw_curve const &c, std::string const &label) {
    int const K = c.get_K(), degree = c.get_degree();
    std::vector<std::string> points;
    for (int i = 0; i < K; ++i)
        points.push_back(step_ref(add_point(w, c.get_control_points() + 3 * i)));
    // Degree, points, form, closed, self-intersecting (not known).
    std::string const curve = std::to_string(degree) + "," + step_list(points) + ",.UNSPECIFIED.," +
                              step_bool(c.get_closed()) + ",.U.";
    knot_lists const k = knots_of(c.get_knot_vector(), c.get_num_knots());
    std::string const with_knots = k.multiplicities + "," + k.knots + ",.UNSPECIFIED.";
    std::string const name = step_string(label);
    int id = 0;
    if (c.get_polynomial() || all_ones(c.get_weights(), K)) {
        id = w.add_entity("B_SPLINE_CURVE_WITH_KNOTS(" + name + "," + curve + "," + with_knots +
                          ")");
    } else {
        // A complex instance lists its partial entities in alphabetical order.
        id = w.add_entity("(BOUNDED_CURVE()B_SPLINE_CURVE(" + curve +
                          ")B_SPLINE_CURVE_WITH_KNOTS(" + with_knots +
                          ")CURVE()GEOMETRIC_REPRESENTATION_ITEM()" + "RATIONAL_B_SPLINE_CURVE(" +
                          reals(c.get_weights(), K) + ")REPRESENTATION_ITEM(" + name + "))");
    }
    double const *knots = c.get_knot_vector();
    if (c.get_min_t() > knots[degree] || c.get_max_t() < knots[K]) {
        id = w.add_entity("TRIMMED_CURVE(" + name + "," + step_ref(id) + ",(PARAMETER_VALUE(" +
                          exchange_real(c.get_min_t()) + ")),(PARAMETER_VALUE(" +
                          exchange_real(c.get_max_t()) + ")),.T.,.PARAMETER.)");
    }
    w.add_to_part(id, false);
    return id;
}

int add_step_surface(step_writer &w, sw_surface const &S, std::string const &label) {
    int const K1 = S.get_num_control_points1(), K2 = S.get_num_control_points2();
    int const d1 = S.get_degree1(), d2 = S.get_degree2();
    // Rows of the lists run along t: the point of column i, row j comes at [i][j].
    std::vector<std::string> rows, weight_rows;
    for (int i = 0; i < K1; ++i) {
        std::vector<std::string> row, weights;
        for (int j = 0; j < K2; ++j) {
            ZEM::position const &p = S.get_control_points()[K1 * j + i];
            double const xyz[3] = {p.x(), p.y(), p.z()};
            row.push_back(step_ref(add_point(w, xyz)));
            weights.push_back(exchange_real(S.get_weights()[K1 * j + i]));
        }
        rows.push_back(step_list(row));
        weight_rows.push_back(step_list(weights));
    }
    // Degrees, points, form, closed in s and t, self-intersecting (not known).
    std::string const surface = std::to_string(d1) + "," + std::to_string(d2) + "," +
                                step_list(rows) + ",.UNSPECIFIED.," + step_bool(S.get_closed1()) +
                                "," + step_bool(S.get_closed2()) + ",.U.";
    knot_lists const ks = knots_of(S.get_knot_vector1(), S.get_num_knots1());
    knot_lists const kt = knots_of(S.get_knot_vector2(), S.get_num_knots2());
    std::string const with_knots = ks.multiplicities + "," + kt.multiplicities + "," + ks.knots +
                                   "," + kt.knots + ",.UNSPECIFIED.";
    std::string const name = step_string(label);
    int id = 0;
    if (S.get_polynomial() || all_ones(S.get_weights(), K1 * K2)) {
        id = w.add_entity("B_SPLINE_SURFACE_WITH_KNOTS(" + name + "," + surface + "," + with_knots +
                          ")");
    } else {
        id = w.add_entity("(BOUNDED_SURFACE()B_SPLINE_SURFACE(" + surface +
                          ")B_SPLINE_SURFACE_WITH_KNOTS(" + with_knots +
                          ")GEOMETRIC_REPRESENTATION_ITEM()RATIONAL_B_SPLINE_SURFACE(" +
                          step_list(weight_rows) + ")REPRESENTATION_ITEM(" + name + ")SURFACE())");
    }
    double const *k1 = S.get_knot_vector1(), *k2 = S.get_knot_vector2();
    if (S.get_min_s() > k1[d1] || S.get_max_s() < k1[K1] || S.get_min_t() > k2[d2] ||
        S.get_max_t() < k2[K2]) {
        id = w.add_entity("RECTANGULAR_TRIMMED_SURFACE(" + name + "," + step_ref(id) + "," +
                          exchange_real(S.get_min_s()) + "," + exchange_real(S.get_max_s()) + "," +
                          exchange_real(S.get_min_t()) + "," + exchange_real(S.get_max_t()) +
                          ",.T.,.T.)");
    }
    w.add_to_part(id, true);
    return id;
}
