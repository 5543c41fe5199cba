#include <law/core/lawutil_errors.h>
#include <law/lang/law_list.h>
#include <law/spline/spline_law.h>
#include <law/spline/sw_curve_breaks.h>
#include <law/spline/sw_curve_spline_law_data.h>

namespace {
law_data_list registration(new sw_curve_spline_law_data);
}  // namespace

sw_curve_spline_law_data::sw_curve_spline_law_data(sw_curve const &c)
    : base_spline_law_data(c.get_min_t(), c.get_max_t()), curve_(c.copy_curve()) {}

sw_curve_spline_law_data::~sw_curve_spline_law_data() { delete curve_; }

void sw_curve_spline_law_data::eval(double t, int nderiv, double *out, int) const {
    if (!curve_) law_error(LAW_DATA_UNKNOWN);
    if (nderiv < 0 || nderiv > 2) law_error(LAW_DATA_CURVE);
    ZEM::position p;
    ZEM::vector d[2];
    curve_->eval(t, &p, nderiv > 0 ? &d[0] : nullptr, nderiv > 1 ? &d[1] : nullptr);
    for (int c = 0; c < 3; ++c) out[c] = p[c];
    for (int k = 0; k < nderiv; ++k) {
        for (int c = 0; c < 3; ++c) out[3 * (k + 1) + c] = d[k][c];
    }
}

int sw_curve_spline_law_data::singularities(double **where, int **type, double start,
                                            double end) const {
    if (!curve_) return base_spline_law_data::singularities(where, type, start, end);
    return sw_curve_breaks(*curve_, start, end, where, type);
}

law_data *sw_curve_spline_law_data::deep_copy(pointer_map *) const {
    return curve_ ? new sw_curve_spline_law_data(*curve_) : new sw_curve_spline_law_data();
}

void sw_curve_spline_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(*this));
    if (curve_) curve_->full_size(acc, 1);
}

bool sw_curve_spline_law_data::operator==(law_data const &other) const {
    if (!base_spline_law_data::operator==(other)) return false;
    auto const &o = static_cast<sw_curve_spline_law_data const &>(other);
    if (!curve_ || !o.curve_) return curve_ == o.curve_;
    if (curve_->get_data_size() != o.curve_->get_data_size()) return false;
    for (int i = 0; i < curve_->get_data_size(); ++i) {
        if (curve_->get_IGES_DATA()[i] != o.curve_->get_IGES_DATA()[i]) return false;
    }
    return true;
}

law *make_sw_curve_spline_law(sw_curve const &c) {
    law_data_ptr const d = adopt<law_data>(new sw_curve_spline_law_data(c));
    return new spline_law(static_cast<base_spline_law_data *>(d.get()));
}
