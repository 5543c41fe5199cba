#include <law/data/data_value_law.h>

#include <algorithm>
#include <cmath>

#include <law/base/tolerance.h>
#include <law/core/constant_law.h>
#include <law/core/lawutil_errors.h>
#include <law/data/curve_measure_laws.h>
#include <law/data/data_derivative_law.h>
#include <law/data/path_law_data.h>
#include <law/data/surface_law_data.h>
#include <law/lang/law_list.h>
#include <law/numeric/derivative_law.h>

namespace {

law_list wire_registration(new wire_law(nullptr));
law_list pcurve_registration(new pcurve_law(nullptr));
law_list surface_registration(new surface_law(nullptr));
law_list curvature_registration(new curvature_law(nullptr));
law_list gaussian_registration(new gaussian_curvature_law(nullptr));
law_list mean_registration(new mean_curvature_law(nullptr));
law_list max_registration(new max_curvature_law(nullptr));
law_list min_registration(new min_curvature_law(nullptr));
law_list bs3_registration(new bs3_surface_law(nullptr));
law_list intersect_registration(new intersect_lawi(nullptr));
law_list distance_registration(new distance_lawi(nullptr));
law_list pattern_registration(new patterntrans_law(nullptr));

enum class accepts { curve, wire, pcurve, path, surface, pattern };
enum class domain_from { range, surface, pattern, nothing };

using reading = void (*)(law_data const &d, double const *x, double *y, int side);

struct data_value_row {
    int id;
    accepts kind;
    int take, gives;  // take 0: the pattern's input count
    int date;         // 0: the law data's
    domain_from domain;
    int derivative_id;  // the class of the exact derivative; -1: numerical
    int inverse_id;     // the class of the inverse; -1: none
    reading value;
};

path_law_data const &path(law_data const &d) { return static_cast<path_law_data const &>(d); }
base_surface_law_data const &surface(law_data const &d) {
    return static_cast<base_surface_law_data const &>(d);
}
ZEM::par_pos uv(double const *x) { return {x[0], x[1]}; }

void put(ZEM::vector const &v, double *y, int n) {
    for (int i = 0; i < n; ++i) y[i] = v[i];
}

void point(law_data const &d, double const *x, double *y, int side) {
    put(path(d).eval(x[0], 0, side), y, 3);
}
void parameters(law_data const &d, double const *x, double *y, int side) {
    put(path(d).eval(x[0], 0, side), y, 2);
}
void surface_point(law_data const &d, double const *x, double *y, int side) {
    put(surface(d).eval(uv(x), 0, 0, side), y, 3);
}
void approximate_point(law_data const &d, double const *x, double *y, int) {
    put(surface(d).eval_approx(uv(x)), y, 3);
}
void curvature(law_data const &d, double const *x, double *y, int) {
    y[0] = path(d).curvature(x[0]);
}
template <double (base_surface_law_data::*Slot)(ZEM::par_pos const &) const>
void surface_curvature(law_data const &d, double const *x, double *y, int) {
    y[0] = (surface(d).*Slot)(uv(x));
}
double chord(law_data const &d, double const *x, int side) {
    return (path(d).eval(x[0], 0, side) - path(d).eval(x[1], 0, side)).len();
}
void self_intersection(law_data const &d, double const *x, double *y, int side) {
    double const gap = x[0] - x[1];
    if (std::fabs(gap) < get_resabs()) {
        y[0] = 1e10;
        return;
    }
    double const c = chord(d, x, side);
    y[0] = c * c / (gap * gap);
}
void self_distance(law_data const &d, double const *x, double *y, int side) {
    y[0] = chord(d, x, side);
}
void pattern_transform(law_data const &d, double const *x, double *y, int) {
    static_cast<base_pattern_law_data const &>(d).eval(x, y);
}

using S = base_surface_law_data;
constexpr int numerical = -1, none = -1;
constexpr data_value_row rows[] = {
    {law_id::curve_law, accepts::curve, 1, 3, 0, domain_from::range, law_id::dcurve_law,
     law_id::curveperp_law, point},
    {law_id::minrot_rail_law, accepts::curve, 1, 3, 0, domain_from::range, law_id::dcurve_law,
     law_id::curveperp_law, point},
    {law_id::wire_law, accepts::wire, 1, 3, 0, domain_from::range, law_id::dwire_law, none, point},
    {law_id::pcurve_law, accepts::pcurve, 1, 2, 50000, domain_from::range, law_id::dpcurve_law,
     none, parameters},
    {law_id::surface_law, accepts::surface, 2, 3, 0, domain_from::surface, law_id::dsurface_law,
     law_id::surfperp_law, surface_point},
    {law_id::curvature_law, accepts::path, 1, 1, 0, domain_from::range, numerical, none, curvature},
    {law_id::gaussian_curvature_law, accepts::surface, 2, 1, 60000, domain_from::nothing, numerical,
     none, surface_curvature<&S::gaussian_curvature>},
    {law_id::mean_curvature_law, accepts::surface, 2, 1, 60000, domain_from::nothing, numerical,
     none, surface_curvature<&S::mean_curvature>},
    {law_id::max_curvature_law, accepts::surface, 2, 1, 60000, domain_from::nothing, numerical,
     none, surface_curvature<&S::max_curvature>},
    {law_id::min_curvature_law, accepts::surface, 2, 1, 60000, domain_from::nothing, numerical,
     none, surface_curvature<&S::min_curvature>},
    {law_id::bs3_surface_law, accepts::surface, 2, 3, 60000, domain_from::nothing, numerical, none,
     approximate_point},
    {law_id::intersect_lawi, accepts::curve, 2, 1, 0, domain_from::nothing, numerical, none,
     self_intersection},
    {law_id::distance_lawi, accepts::curve, 2, 1, 0, domain_from::nothing, numerical, none,
     self_distance},
    {law_id::patterntrans_law, accepts::pattern, 0, 13, 70000, domain_from::pattern, numerical,
     none, pattern_transform},
};

data_value_row const &row_of(int id) {
    return *std::find_if(std::begin(rows), std::end(rows),
                         [id](auto const &r) { return r.id == id; });
}

bool accepted(accepts kind, int type) {
    switch (kind) {
        case accepts::curve:
            return type == curve_law_data_type;
        case accepts::wire:
            return type == wire_law_data_type;
        case accepts::pcurve:
            return type == pcurve_law_data_type;
        case accepts::path:
            return type >= path_law_data_type && type <= pcurve_law_data_type;
        case accepts::surface:
            return type == surface_law_data_type;
        case accepts::pattern:
            return type == pattern_law_data_type;
    }
    return false;
}

}  // namespace

data_value_law::data_value_law(law_data *data, int id) : unary_data_law(data), id_(id) {
    if (data && !accepted(row_of(id).kind, data->type())) law_error(LAW_DATA_UNKNOWN);
}

void data_value_law::evaluate(double const *x, double *answer) const {
    row_of(id_).value(*required_data(), x, answer, 0);
}

void data_value_law::evaluate_with_side(double const *x, double *answer, int const *side) const {
    row_of(id_).value(*required_data(), x, answer, side ? side[0] : 0);
}

int data_value_law::take_size() const {
    int const take = row_of(id_).take;
    if (take) return take;
    return fsub() ? static_cast<base_pattern_law_data const *>(fsub())->take_size() : 1;
}

int data_value_law::return_size() const { return row_of(id_).gives; }

int data_value_law::date() const {
    int const fixed = row_of(id_).date;
    return fixed ? fixed : unary_data_law::date();
}

int data_value_law::term_domain(int which, ZEM::interval &out) const {
    if (!fsub()) return law::term_domain(which, out);
    switch (row_of(id_).domain) {
        case domain_from::range:
            out = path(*fsub()).data_range();
            return 1;
        case domain_from::surface:
            return surface(*fsub()).term_domain(which, out);
        case domain_from::pattern:
            return static_cast<base_pattern_law_data const *>(fsub())->term_domain(which, out);
        case domain_from::nothing:
            break;
    }
    return law::term_domain(which, out);
}

// The point laws differentiate into the law data's own derivatives; the measures are
// differentiated numerically, over a fresh law so that no law holds its own derivative.
law *data_value_law::deriv(int which) const {
    data_value_row const &row = row_of(id_);
    if (which >= take_dim()) return new constant_law(0.0);
    law_data *data = required_data();
    if (row.derivative_id == numerical) {
        law_ptr const fresh = adopt(make_one(data));
        return new derivative_law(fresh.get(), which);
    }
    int const orders[2] = {which == 0, which == 1};
    return make_data_derivative(row.derivative_id, data, orders);
}

law *data_value_law::sub_inverse() const {
    int const inverse = row_of(id_).inverse_id;
    return inverse == none || !fsub() ? nullptr : make_perpendicular(inverse, fsub());
}
