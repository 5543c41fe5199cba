#include <algorithm>
#include <vector>

#include <law/lang/law_list.h>
#include <law/spline/spline_law.h>

namespace {
law_list registration(new spline_law(nullptr));
}  // namespace

spline_law::spline_law(base_spline_law_data *data) : unary_data_law(data) {}

base_spline_law_data *spline_law::spline_data() const {
    return static_cast<base_spline_law_data *>(fsub());
}

int spline_law::return_size() const { return spline_data() ? spline_data()->return_size() : 0; }

void spline_law::evaluate(double const *x, double *answer) const {
    base_spline_law_data const *d = spline_data();
    if (!d) law_error(LAW_DATA_UNKNOWN);
    int const s = d->return_size();
    if (s <= 0) return;
    std::vector<double> buffer(static_cast<std::size_t>((nderiv_ + 1) * s));
    d->eval(x[0], nderiv_, buffer.data(), 1);
    std::copy_n(buffer.begin() + nderiv_ * s, s, answer);
}

law *spline_law::make_one(law_data *d) const {
    if (d && d->type() != spline_law_data_type) law_error(LAW_DATA_UNKNOWN);
    return new spline_law(static_cast<base_spline_law_data *>(d));
}

law *spline_law::deriv(int) const {
    auto *d = static_cast<spline_law *>(make_one(spline_data()));
    d->set_nderiv(nderiv_ + 1);
    return d;
}

int spline_law::singularities(double **where, int **type, double start, double end,
                              double **period) const {
    if (period) *period = nullptr;
    if (!spline_data()) return law::singularities(where, type, start, end);
    return spline_data()->singularities(where, type, start, end);
}

// Equal data and the same derivative order.
int spline_law::same(law const *a, law const *b) const {
    return unary_data_law::same(a, b) && static_cast<spline_law const *>(a)->nderiv_ ==
                                             static_cast<spline_law const *>(b)->nderiv_;
}
