#include <law/data/analytic_surfaces.h>

#include <cmath>

#include <law/base/tolerance.h>
#include <law/core/lawutil_errors.h>
#include <law/data/analytic_helpers.h>
#include <law/lang/law_list.h>

namespace {
law_data_list plane_registration(new plane_law_data);
law_data_list sphere_registration(new sphere_law_data);

void check_orders(int du, int dv) {
    if (du < 0 || dv < 0) law_error(LAW_DIM);
}

void print_vector(T4_ostream &out, char const *name, ZEM::vector const &v) {
    out << " " << name << " (" << v.x() << ", " << v.y() << ", " << v.z() << ")";
}

void print_range(T4_ostream &out, ZEM::interval const &r) {
    out << " [" << r.start_pt() << ", " << r.end_pt() << "]";
}
}  // namespace

// ---------------------------------------------------------------- shared part

analytic_surface_law_data::analytic_surface_law_data(ZEM::interval const &u_range,
                                                     ZEM::interval const &v_range)
    : u_range_(u_range), v_range_(v_range) {
    for (ZEM::interval const *r : {&u_range_, &v_range_})
        if (!r->finite() || r->empty() || !std::isfinite(r->length())) law_error(LAW_BAD_DOMAN);
}

int analytic_surface_law_data::term_domain(int which, ZEM::interval &out) const {
    out = which == 0 ? u_range_ : v_range_;
    return 1;
}

int analytic_surface_law_data::same_ranges(analytic_surface_law_data const &o) const {
    auto exact = [](ZEM::interval const &a, ZEM::interval const &b) {
        return a.start_pt() == b.start_pt() && a.end_pt() == b.end_pt();
    };
    return exact(u_range_, o.u_range_) && exact(v_range_, o.v_range_);
}

// ---------------------------------------------------------------- plane

plane_law_data::plane_law_data(ZEM::position const &root, ZEM::vector const &u_dir,
                               ZEM::vector const &v_dir, ZEM::interval const &u_range,
                               ZEM::interval const &v_range)
    : analytic_surface_law_data(u_range, v_range), root_(root), u_dir_(u_dir), v_dir_(v_dir) {
    if (!((u_dir * v_dir).len() > resmch)) law_error(LAW_DIM);
}

ZEM::vector plane_law_data::eval(ZEM::par_pos const &uv, int du, int dv, int) const {
    check_orders(du, dv);
    if (du + dv == 0) return (root_ - ZEM::origin) + u_dir_ * uv.u + v_dir_ * uv.v;
    if (du + dv > 1) return {};
    return du ? u_dir_ : v_dir_;
}

ZEM::par_pos plane_law_data::point_perp(ZEM::position const &p, ZEM::par_pos const *) const {
    // The normal equations of the two directions.
    ZEM::vector const q = p - root_;
    double const a = u_dir_ % u_dir_, b = u_dir_ % v_dir_, c = v_dir_ % v_dir_;
    double const r = q % u_dir_, s = q % v_dir_, det = a * c - b * b;
    return {(r * c - s * b) / det, (a * s - b * r) / det};
}

ZEM::unit_vector plane_law_data::normal(ZEM::par_pos const &) const {
    return ZEM::unit_vector(u_dir_ * v_dir_);
}

void plane_law_data::print(T4_ostream &out) const {
    out << symbol(law_symbol_default);
    print_vector(out, "root", root_ - ZEM::origin);
    print_vector(out, "u", u_dir_);
    print_vector(out, "v", v_dir_);
    print_range(out, u_range());
    print_range(out, v_range());
}

law_data *plane_law_data::deep_copy(pointer_map *) const {
    return new plane_law_data(root_, u_dir_, v_dir_, u_range(), v_range());
}

void plane_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(plane_law_data));
}

bool plane_law_data::operator==(law_data const &other) const {
    auto const *o = dynamic_cast<plane_law_data const *>(&other);
    return o && same_ranges(*o) && root_ == o->root_ && u_dir_ == o->u_dir_ && v_dir_ == o->v_dir_;
}

// ---------------------------------------------------------------- sphere

sphere_law_data::sphere_law_data(ZEM::position const &centre, double radius,
                                 ZEM::vector const &pole, ZEM::vector const &meridian,
                                 ZEM::interval const &u_range, ZEM::interval const &v_range)
    : analytic_surface_law_data(u_range, v_range), centre_(centre), radius_(radius) {
    if (!(radius > resmch) || !std::isfinite(radius) || !(pole.len() > resmch)) law_error(LAW_DIM);
    z_ = ZEM::unit_vector(pole);
    ZEM::vector const x = meridian - z_ * (meridian % z_);
    if (!(x.len() > resmch)) law_error(LAW_DIM);
    x_ = ZEM::unit_vector(x);
    y_ = ZEM::unit_vector(z_ * x_);
}

ZEM::vector sphere_law_data::eval(ZEM::par_pos const &uv, int du, int dv, int) const {
    check_orders(du, dv);
    // Each partial is the product of the partials of the latitude and longitude factors.
    ZEM::vector const around = circular_derivative(cos_derivative(uv.v, dv), x_, y_, uv.u, du);
    ZEM::vector const up = du == 0 ? z_ * sin_derivative(uv.v, dv) : ZEM::vector();
    ZEM::vector const d = (around + up) * radius_;
    return du + dv == 0 ? (centre_ - ZEM::origin) + d : d;
}

ZEM::par_pos sphere_law_data::point_perp(ZEM::position const &p, ZEM::par_pos const *guess) const {
    ZEM::vector const q = p - centre_;
    double const qx = q % x_, qy = q % y_, qz = q % z_;
    double const rho = std::hypot(qx, qy);
    // On the axis every longitude is a foot: keep the guess, or the start of the range.
    double const u = rho == 0 ? (guess ? guess->u : u_range().start_pt())
                              : nearest_turn(std::atan2(qy, qx), guess ? &guess->u : nullptr,
                                             u_range().start_pt());
    double const v = rho == 0 && qz == 0 ? (guess ? guess->v : 0.0) : std::atan2(qz, rho);
    return {u, v};
}

ZEM::unit_vector sphere_law_data::normal(ZEM::par_pos const &uv) const {
    return ZEM::unit_vector(eval(uv) - (centre_ - ZEM::origin));
}

double sphere_law_data::gaussian_curvature(ZEM::par_pos const &) const {
    return 1 / (radius_ * radius_);
}

void sphere_law_data::print(T4_ostream &out) const {
    out << symbol(law_symbol_default);
    print_vector(out, "centre", centre_ - ZEM::origin);
    out << " radius " << radius_;
    print_vector(out, "pole", z_);
    print_vector(out, "meridian", x_);
    print_range(out, u_range());
    print_range(out, v_range());
}

sphere_law_data::sphere_law_data(sphere_law_data const &other)
    : analytic_surface_law_data(other.u_range(), other.v_range()),
      centre_(other.centre_),
      radius_(other.radius_),
      x_(other.x_),
      y_(other.y_),
      z_(other.z_) {}

law_data *sphere_law_data::deep_copy(pointer_map *) const { return new sphere_law_data(*this); }

void sphere_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(sphere_law_data));
}

bool sphere_law_data::operator==(law_data const &other) const {
    auto const *o = dynamic_cast<sphere_law_data const *>(&other);
    return o && same_ranges(*o) && centre_ == o->centre_ && radius_ == o->radius_ && x_ == o->x_ &&
           z_ == o->z_;
}
