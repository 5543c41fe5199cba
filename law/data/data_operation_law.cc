#include <law/data/data_operation_law.h>

#include <algorithm>

#include <law/core/constant_law.h>
#include <law/core/counted_array.h>
#include <law/core/eval_buffer.h>
#include <law/core/law_law_data.h>
#include <law/core/lawutil_errors.h>
#include <law/data/path_law_data.h>
#include <law/data/surface_law_data.h>
#include <law/data/transform_law_data.h>
#include <law/data/transform_laws.h>
#include <law/numeric/derivative_law.h>
#include <law/ops/law_builders.h>

namespace {

// What the law data of an operation law hold, slot by slot.
enum class holds { curve, surface, transform, point, value, guess_of_surface };

using operation = void (*)(law_data *const *d, double const *const *v, double *y);

struct operation_row {
    int id;
    holds slots[3];
    int least, most;  // number of law data
    int gives;
    bool rotated_derivative;
    operation value;
};

base_curve_law_data const &curve(law_data const *d) {
    return *static_cast<base_curve_law_data const *>(d);
}
base_surface_law_data const &surface(law_data const *d) {
    return *static_cast<base_surface_law_data const *>(d);
}
base_transform_law_data const &transform(law_data const *d) {
    return *static_cast<base_transform_law_data const *>(d);
}
ZEM::position point_of(double const *v) { return {v[0], v[1], v[2]}; }
void put(ZEM::position const &p, double *y) {
    for (int i = 0; i < 3; ++i) y[i] = p[i];
}

// v[i] holds the values of the law wrapped by law data i (null for the others); a missing guess
// is null too.
void moved_point(law_data *const *d, double const *const *v, double *y) {
    put(transform(d[1]).transform(point_of(v[0])), y);
}
void turned_direction(law_data *const *d, double const *const *v, double *y) {
    ZEM::vector const r = transform(d[1]).rotate(ZEM::vector(v[0][0], v[0][1], v[0][2]));
    for (int i = 0; i < 3; ++i) y[i] = r[i];
}
void curve_foot(law_data *const *d, double const *const *v, double *y) {
    y[0] = v[2] ? curve(d[0]).point_perp(point_of(v[1]), v[2][0])
                : curve(d[0]).point_perp(point_of(v[1]));
}
void surface_foot(law_data *const *d, double const *const *v, double *y) {
    ZEM::par_pos guess;
    if (v[2]) guess = ZEM::par_pos(v[2][0], v[2][1]);
    ZEM::par_pos const uv = surface(d[0]).point_perp(point_of(v[1]), v[2] ? &guess : nullptr);
    y[0] = uv.u;
    y[1] = uv.v;
}
void arc_length(law_data *const *d, double const *const *v, double *y) {
    y[0] = curve(d[0]).length(v[1][0], v[2][0]);
}
void arc_length_parameter(law_data *const *d, double const *const *v, double *y) {
    y[0] = curve(d[0]).length_param(v[1][0], v[2][0]);
}

constexpr operation_row rows[] = {
    {law_id::transform_law, {holds::point, holds::transform}, 2, 2, 3, true, moved_point},
    {law_id::rotate_law, {holds::point, holds::transform}, 2, 2, 3, true, turned_direction},
    {law_id::curveperp_law, {holds::curve, holds::point, holds::value}, 2, 3, 1, false, curve_foot},
    {law_id::surfperp_law,
     {holds::surface, holds::point, holds::guess_of_surface},
     2,
     3,
     2,
     false,
     surface_foot},
    {law_id::length_law, {holds::curve, holds::value, holds::value}, 3, 3, 1, false, arc_length},
    {law_id::length_param_law,
     {holds::curve, holds::value, holds::value},
     3,
     3,
     1,
     false,
     arc_length_parameter},
};

operation_row const &row_of(int id) {
    return *std::find_if(std::begin(rows), std::end(rows),
                         [id](auto const &r) { return r.id == id; });
}

// The number of values a wrapped law must give in a slot; 0 for slots of geometry.
int wrapped_size(holds h) {
    switch (h) {
        case holds::point:
            return 3;
        case holds::value:
            return 1;
        case holds::guess_of_surface:
            return 2;
        default:
            return 0;
    }
}

void check_slot(holds h, law_data const *d) {
    if (!d) law_error(LAW_DATA_UNKNOWN);
    int const type = d->type();
    if (int const size = wrapped_size(h)) {
        law const *l = wrapped_law(d);
        if (!l) law_error(LAW_DATA_UNKNOWN);
        if (l->return_dim() != size) law_error(LAW_DIM);
        return;
    }
    bool const ok = (h == holds::curve && type == curve_law_data_type) ||
                    (h == holds::surface && type == surface_law_data_type) ||
                    (h == holds::transform && type == transform_law_data_type &&
                     static_cast<base_transform_law_data const *>(d)->get_trans());
    if (!ok) law_error(LAW_DATA_UNKNOWN);
}

}  // namespace

data_operation_law::data_operation_law(law_data **data, int n, int id)
    : multiple_data_law(data, n), id_(id) {
    if (!data) return;
    operation_row const &row = row_of(id);
    if (n < row.least || n > row.most) law_error(LAW_DATA_UNKNOWN);
    for (int i = 0; i < n; ++i) check_slot(row.slots[i], data[i]);
}

void data_operation_law::evaluate(double const *x, double *answer) const {
    require_members();
    constexpr int most = 3;
    eval_buffer values[most] = {eval_buffer(3), eval_buffer(3), eval_buffer(3)};
    double const *v[most] = {nullptr, nullptr, nullptr};
    for (int i = 0; i < fsize(); ++i) {
        if (law const *l = wrapped_law(fsubs()[i])) {
            l->evaluate(x, values[i].data());
            v[i] = values[i].data();
        }
    }
    row_of(id_).value(fsubs(), v, answer);
}

int data_operation_law::take_size() const {
    int take = 0;
    for (int i = 0; i < fsize(); ++i)
        if (law const *l = wrapped_law(fsubs()[i])) take = std::max(take, l->take_dim());
    return take;
}

int data_operation_law::return_size() const { return row_of(id_).gives; }

int data_operation_law::term_domain(int which, ZEM::interval &out) const {
    out = ZEM::interval();
    for (int i = 0; i < fsize(); ++i) {
        law const *l = wrapped_law(fsubs()[i]);
        ZEM::interval dom;
        if (l && which < l->take_dim() && l->term_domain(which, dom)) out &= dom;
    }
    return 1;
}

law *data_operation_law::deriv(int which) const {
    require_members();
    if (which >= take_dim()) return new constant_law(0.0);
    if (!row_of(id_).rotated_derivative) {
        law_ptr const fresh = adopt(make_one(fsubs(), fsize()));
        return new derivative_law(fresh.get(), which);
    }
    law_ptr const d = build::d(wrapped_law(fsubs()[0]), which);
    law_data_ptr const wrapped = adopt<law_data>(new law_law_data(d.get()));
    law_data *data[2] = {wrapped.get(), fsubs()[1]};
    return new rotate_law(data, 2);
}
