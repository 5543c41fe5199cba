#include <law/data/uv_line_law_data.h>

#include <cmath>

#include <law/core/lawutil_errors.h>
#include <law/data/analytic_surfaces.h>
#include <law/lang/law_list.h>

namespace {
law_data_list uv_line_registration(new uv_line_law_data);

base_surface_law_data const *checked(base_surface_law_data const *s) {
    if (!s || s->type() != surface_law_data_type) law_error(LAW_DATA_UNKNOWN);
    s->add();
    return s;
}
}  // namespace

uv_line_law_data::uv_line_law_data(base_surface_law_data const *surface, ZEM::par_pos const &root,
                                   ZEM::par_pos const &dir, double start, double end)
    : base_pcurve_law_data(start, end), surface_(nullptr), root_(root), dir_(dir) {
    if (!std::isfinite(start) || !std::isfinite(end) || start > end) law_error(LAW_BAD_DOMAN);
    surface_ = checked(surface);
}

uv_line_law_data::uv_line_law_data()
    : base_pcurve_law_data(0, 1), surface_(new plane_law_data), root_(0, 0), dir_(1, 0) {}

uv_line_law_data::~uv_line_law_data() { surface_->remove(); }

ZEM::vector uv_line_law_data::eval(double t, int nderiv, int) const {
    if (nderiv < 0) law_error(LAW_DATA_PCURVE);
    switch (nderiv) {
        case 0:
            return {root_.u + t * dir_.u, root_.v + t * dir_.v, 0};
        case 1:
            return {dir_.u, dir_.v, 0};
        default:
            return {};
    }
}

// The traced curve C(t) = S(u(t), v(t)) has C' = Su du + Sv dv and
// C'' = Suu du^2 + 2 Suv du dv + Svv dv^2, the parameters moving linearly.
double uv_line_law_data::curvature(double t) const {
    ZEM::par_pos const uv(root_.u + t * dir_.u, root_.v + t * dir_.v);
    double const du = dir_.u, dv = dir_.v;
    ZEM::vector const d1 = surface_->eval(uv, 1, 0) * du + surface_->eval(uv, 0, 1) * dv;
    ZEM::vector const d2 = surface_->eval(uv, 2, 0) * (du * du) +
                           surface_->eval(uv, 1, 1) * (2 * du * dv) +
                           surface_->eval(uv, 0, 2) * (dv * dv);
    double const s = d1.len();
    return (d1 * d2).len() / (s * s * s);
}

void uv_line_law_data::print(T4_ostream &out) const {
    out << symbol(law_symbol_default) << " root (" << root_.u << ", " << root_.v << ") dir ("
        << dir_.u << ", " << dir_.v << ") [" << data_start() << ", " << data_end() << "] on {";
    surface_->print(out);
    out << "}";
}

law_data *uv_line_law_data::deep_copy(pointer_map *map) const {
    law_data_ptr const s = adopt(surface_->deep_copy(map));
    return new uv_line_law_data(static_cast<base_surface_law_data const *>(s.get()), root_, dir_,
                                data_start(), data_end());
}

void uv_line_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(uv_line_law_data));
    surface_->full_size(acc, 1);
}

bool uv_line_law_data::operator==(law_data const &other) const {
    auto const *o = dynamic_cast<uv_line_law_data const *>(&other);
    return o && path_law_data::operator==(other) && root_ == o->root_ && dir_ == o->dir_ &&
           *surface_ == *o->surface_;
}
