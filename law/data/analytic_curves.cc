#include <law/data/analytic_curves.h>

#include <cmath>
#include <string>
#include <typeinfo>

#include <law/base/tolerance.h>
#include <law/core/counted_array.h>
#include <law/core/lawutil_errors.h>
#include <law/data/analytic_helpers.h>
#include <law/lang/law_list.h>
#include <law/ops/elementary_laws.h>
#include <law/ops/law_builders.h>

namespace {
law_data_list line_registration(new line_law_data);
law_data_list circle_registration(new circle_law_data);
law_data_list helix_registration(new helix_law_data);

void check_order(int nderiv) {
    if (nderiv < 0) law_error(LAW_DATA_CURVE);
}

// The component of v across the unit direction n, made a unit vector; LAW_DIM when v lies along
// n or vanishes.
ZEM::unit_vector across(ZEM::vector const &v, ZEM::unit_vector const &n, double &length) {
    ZEM::vector const w = v - n * (v % n);
    length = w.len();
    if (!(length > resmch)) law_error(LAW_DIM);
    return ZEM::unit_vector(w);
}

ZEM::unit_vector checked_unit(ZEM::vector const &v) {
    if (!(v.len() > resmch)) law_error(LAW_DIM);
    return ZEM::unit_vector(v);
}

law_ptr input_x() { return make_law<identity_law>(0, 'X'); }

// c * f, for the terms of the law forms.
law_ptr scaled(double c, law_ptr const &f) { return build::times(build::constant(c), f); }

// VEC of three components, component i given by the callback.
template <class Component>
law *vector_law_from(Component const &component) {
    law_array parts(3);
    for (int i = 0; i < 3; ++i) parts.push(component(i));
    return build::vector(parts.data(), parts.size()).release();
}

void print_vector(T4_ostream &out, char const *name, ZEM::vector const &v) {
    out << " " << name << " (" << v.x() << ", " << v.y() << ", " << v.z() << ")";
}
}  // namespace

// ---------------------------------------------------------------- shared part

void analytic_curve_law_data::check_range() const {
    if (!std::isfinite(data_start()) || !std::isfinite(data_end()) || data_start() > data_end())
        law_error(LAW_BAD_DOMAN);
}

// The same class over the same range.
int analytic_curve_law_data::same_range(analytic_curve_law_data const &o) const {
    return typeid(*this) == typeid(o) && path_law_data::operator==(o);
}

double analytic_curve_law_data::curvature(double t) const {
    ZEM::vector const d1 = eval(t, 1), d2 = eval(t, 2);
    double const s = d1.len();
    return (d1 * d2).len() / (s * s * s);
}

double analytic_curve_law_data::length_param(double start, double length) const {
    return start + length / speed();
}

double analytic_curve_law_data::length(double start, double end) const {
    return speed() * (end - start);
}

int analytic_curve_law_data::evaluate(double t, ZEM::position &p, ZEM::vector **derivs, int nderivs,
                                      int side) const {
    p = ZEM::origin + eval(t, 0, side);
    if (!derivs || nderivs < 0) return 0;
    for (int i = 0; i < nderivs; ++i)
        if (derivs[i]) *derivs[i] = eval(t, i + 1, side);
    return nderivs;
}

int analytic_curve_law_data::discontinuities(double **where, int **order, double, double) const {
    if (where) *where = nullptr;
    if (order) *order = nullptr;
    return 0;
}

// ---------------------------------------------------------------- line

line_law_data::line_law_data(ZEM::position const &root, ZEM::vector const &dir, double start,
                             double end)
    : analytic_curve_law_data(start, end), root_(root), dir_(dir) {
    check_range();
    checked_unit(dir);
}

ZEM::vector line_law_data::eval(double t, int nderiv, int) const {
    check_order(nderiv);
    switch (nderiv) {
        case 0:
            return (root_ - ZEM::origin) + dir_ * t;
        case 1:
            return dir_;
        default:
            return {};
    }
}

law *line_law_data::law_form() const {
    law_ptr const x = input_x();
    return vector_law_from(
        [&](int i) { return build::plus(build::constant(root_[i]), scaled(dir_[i], x)); });
}

double line_law_data::foot(ZEM::position const &p, double const *) const {
    return ((p - root_) % dir_) / dir_.len_sq();
}

void line_law_data::print(T4_ostream &out) const {
    out << symbol(law_symbol_default);
    print_vector(out, "root", root_ - ZEM::origin);
    print_vector(out, "dir", dir_);
    out << " [" << data_start() << ", " << data_end() << "]";
}

law_data *line_law_data::deep_copy(pointer_map *) const {
    return new line_law_data(root_, dir_, data_start(), data_end());
}

void line_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(line_law_data));
}

bool line_law_data::operator==(law_data const &other) const {
    auto const *o = dynamic_cast<line_law_data const *>(&other);
    return o && same_range(*o) && root_ == o->root_ && dir_ == o->dir_;
}

// ---------------------------------------------------------------- helix and circle

helix_law_data::helix_law_data(ZEM::position const &centre, ZEM::vector const &axis,
                               ZEM::vector const &major, double pitch, double start, double end)
    : analytic_curve_law_data(start, end),
      centre_(centre),
      axis_(checked_unit(axis)),
      rise_(pitch / (2 * M_PI)) {
    check_range();
    if (!std::isfinite(pitch)) law_error(LAW_DIM);
    x_ = across(major, axis_, radius_);
    y_ = ZEM::unit_vector(axis_ * x_);
}

ZEM::vector helix_law_data::eval(double t, int nderiv, int) const {
    check_order(nderiv);
    ZEM::vector const turn = circular_derivative(radius_, x_, y_, t, nderiv);
    switch (nderiv) {
        case 0:
            return (centre_ - ZEM::origin) + turn + axis_ * (rise_ * t);
        case 1:
            return turn + axis_ * rise_;
        default:
            return turn;
    }
}

law *helix_law_data::law_form() const {
    law_ptr const x = input_x();
    law_ptr const cos_x = build::apply<cos_law>(x), sin_x = build::apply<sin_law>(x);
    return vector_law_from([&](int i) {
        law_ptr const circle =
            build::plus(build::constant(centre_[i]), scaled(radius_ * x_[i], cos_x));
        return build::plus(build::plus(circle, scaled(radius_ * y_[i], sin_x)),
                           scaled(rise_ * axis_[i], x));
    });
}

// A foot searched this far along the helix, or from a point or guess that is not finite, has
// no parameter that doubles can give to the turn: LAW_NO_VALUE, not a made-up angle or a search
// that never ends.
void helix_law_data::check_turns(double farthest) {
    if (farthest <= finest_turn_limit) return;
    law_error(LAW_NO_VALUE, "the foot on the helix lies at parameter " + std::to_string(farthest) +
                                " or beyond, where its turns cannot be told apart");
}

double helix_law_data::foot(ZEM::position const &p, double const *guess) const {
    ZEM::vector const q = p - centre_;
    double const qx = q % x_, qy = q % y_, qz = q % axis_;
    double const rho = std::hypot(qx, qy), phi = std::atan2(qy, qx);
    if (!std::isfinite(rho) || !std::isfinite(qz))
        law_error(LAW_NO_VALUE, "the point whose foot on the helix is sought is not finite");
    if (rise_ == 0) {
        if (rho == 0) return guess ? *guess : data_start();
        return nearest_turn(phi, guess, data_start());
    }
    // Half the squared distance from p and its first two derivatives.
    auto f = [&](double t) {
        double const a = std::cos(t) * radius_ - qx, b = std::sin(t) * radius_ - qy;
        double const c = rise_ * t - qz;
        return 0.5 * (a * a + b * b + c * c);
    };
    auto g = [&](double t) { return radius_ * rho * std::sin(t - phi) + rise_ * (rise_ * t - qz); };
    auto h = [&](double t) { return radius_ * rho * std::cos(t - phi) + rise_ * rise_; };
    if (guess) {
        check_turns(std::fabs(*guess));
        return local_minimum(f, g, h, *guess - M_PI, *guess + M_PI);
    }
    // Every minimum lies where |rise t - qz| <= radius rho / |rise|, one per turn at most.
    double const centre_t = qz / rise_, reach = radius_ * rho / (rise_ * rise_);
    check_turns(std::fabs(centre_t) + reach);
    return nearest_of_turns(f, g, h, phi, centre_t - reach, centre_t + reach);
}

void helix_law_data::print(T4_ostream &out) const {
    out << symbol(law_symbol_default);
    print_vector(out, "centre", centre_ - ZEM::origin);
    print_vector(out, "axis", axis_);
    print_vector(out, "major", major());
    if (rise_ != 0) out << " pitch " << pitch();
    out << " [" << data_start() << ", " << data_end() << "]";
}

helix_law_data::helix_law_data(helix_law_data const &other)
    : analytic_curve_law_data(other.data_start(), other.data_end()),
      centre_(other.centre_),
      axis_(other.axis_),
      x_(other.x_),
      y_(other.y_),
      radius_(other.radius_),
      rise_(other.rise_) {}

law_data *helix_law_data::deep_copy(pointer_map *) const { return new helix_law_data(*this); }

void helix_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(helix_law_data));
}

bool helix_law_data::operator==(law_data const &other) const {
    // A circle is a helix in form only: same_range also asks for the same class.
    auto const *o = dynamic_cast<helix_law_data const *>(&other);
    return o && same_range(*o) && centre_ == o->centre_ && axis_ == o->axis_ && x_ == o->x_ &&
           radius_ == o->radius_ && rise_ == o->rise_;
}

circle_law_data::circle_law_data(ZEM::position const &centre, ZEM::vector const &normal,
                                 ZEM::vector const &major, double start, double end)
    : helix_law_data(centre, normal, major, 0, start, end) {}

law_data *circle_law_data::deep_copy(pointer_map *) const { return new circle_law_data(*this); }

void circle_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(circle_law_data));
}
