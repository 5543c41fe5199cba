#include <law/data/data_derivative_law.h>

#include <algorithm>
#include <cmath>
#include <string>

#include <law/core/constant_law.h>
#include <law/core/counted_array.h>
#include <law/core/law_law_data.h>
#include <law/core/lawutil_errors.h>
#include <law/data/path_law_data.h>
#include <law/data/surface_law_data.h>
#include <law/lang/law_list.h>
#include <law/numeric/derivative_law.h>

namespace {

law_list dcurve_registration(new dcurve_law(nullptr, 0));
law_list dwire_registration(new dwire_law(nullptr, 0));
law_list dpcurve_registration(new dpcurve_law(nullptr, 0));
law_list dsurface_registration(new dsurface_law(nullptr, 0));

struct derivative_row {
    int id;
    int data_type;
    int inputs;  // also the number of orders
    int gives;
    int date;  // 0: the largest of the law data's
    bool range_domain;
    lawutil_error bad_order;
};

// The highest order the law data give directly; higher ones are numerical derivatives of it.
constexpr int exact_orders = 2;

constexpr derivative_row rows[] = {
    {law_id::dcurve_law, curve_law_data_type, 1, 3, 0, true, LAW_DATA_CURVE},
    {law_id::dwire_law, wire_law_data_type, 1, 3, 0, false, LAW_DATA_WIRE},
    {law_id::dpcurve_law, pcurve_law_data_type, 1, 2, 50000, true, LAW_DATA_PCURVE},
    {law_id::dsurface_law, surface_law_data_type, 2, 3, 0, false, LAW_DATA_UNKNOWN},
};

derivative_row const &row_of(int id) {
    return *std::find_if(std::begin(rows), std::end(rows),
                         [id](auto const &r) { return r.id == id; });
}

// The whole number held by an order's law data.
int order_value(law_data const *d, lawutil_error bad) {
    law const *l = wrapped_law(d);
    if (!l || !l->isa(constant_law::id())) law_error(bad);
    double const at = 1.0;
    double const v = l->evaluateM_R(&at);
    if (!(v >= 0 && v <= 1e6) || v != std::trunc(v)) law_error(bad);
    return static_cast<int>(v);
}

law_data_ptr order_data(int n) {
    law_ptr const k = make_law<constant_law>(static_cast<double>(n));
    return adopt<law_data>(new law_law_data(k.get()));
}

}  // namespace

data_derivative_law::data_derivative_law(law_data **data, int n, int id)
    : multiple_data_law(data, n), id_(id) {
    if (!data) return;
    derivative_row const &row = row_of(id);
    if (n != 1 + row.inputs) law_error(LAW_DATA_UNKNOWN, std::to_string(n) + " law data");
    for (int i = 0; i < n; ++i)
        if (!data[i]) law_error(LAW_NULL_LAW, "law data " + std::to_string(i + 1) + " is null");
    if (data[0]->type() != row.data_type) law_error(LAW_DATA_UNKNOWN);
    for (int i = 0; i < row.inputs; ++i) orders_[i] = order_value(data[1 + i], row.bad_order);
}

void data_derivative_law::evaluate_with_side(double const *x, double *answer,
                                             int const *side) const {
    require_members();
    int const s = side ? side[0] : 0;
    ZEM::vector v;
    if (id_ == law_id::dsurface_law)
        v = static_cast<base_surface_law_data const *>(fsubs()[0])
                ->eval(ZEM::par_pos(x[0], x[1]), orders_[0], orders_[1], s);
    else
        v = static_cast<path_law_data const *>(fsubs()[0])->eval(x[0], orders_[0], s);
    for (int i = 0; i < return_dim(); ++i) answer[i] = v[i];
}

void data_derivative_law::evaluate(double const *x, double *answer) const {
    evaluate_with_side(x, answer, nullptr);
}

int data_derivative_law::take_size() const { return row_of(id_).inputs; }
int data_derivative_law::return_size() const { return row_of(id_).gives; }

int data_derivative_law::date() const {
    int const fixed = row_of(id_).date;
    return fixed ? fixed : multiple_data_law::date();
}

int data_derivative_law::term_domain(int which, ZEM::interval &out) const {
    if (!fsubs() || !row_of(id_).range_domain) return law::term_domain(which, out);
    out = static_cast<path_law_data const *>(fsubs()[0])->data_range();
    return 1;
}

law *data_derivative_law::deriv(int which) const {
    require_members();
    if (which >= take_dim()) return new constant_law(0.0);
    int raised[2] = {orders_[0], orders_[1]};
    if (++raised[which] <= exact_orders) return make_data_derivative(id_, fsubs()[0], raised);
    law_ptr const fresh = adopt(make_one(fsubs(), fsize()));
    return new derivative_law(fresh.get(), which);
}

law *make_data_derivative(int id, law_data *data, int const *orders) {
    int const inputs = row_of(id).inputs;
    law_data_array subs(1 + inputs);
    subs.push_shared(data);
    for (int i = 0; i < inputs; ++i) subs.push(order_data(orders[i]));
    switch (id) {
        case law_id::dcurve_law:
            return new dcurve_law(subs.data(), subs.size());
        case law_id::dwire_law:
            return new dwire_law(subs.data(), subs.size());
        case law_id::dpcurve_law:
            return new dpcurve_law(subs.data(), subs.size());
        default:
            return new dsurface_law(subs.data(), subs.size());
    }
}
