#include <law/core/lawutil_errors.h>
#include <law/lang/law_list.h>
#include <law/spline/sw_curve_breaks.h>
#include <law/spline/sw_curve_law_data.h>

namespace {
law_data_list registration(new sw_curve_law_data);
}  // namespace

sw_curve_law_data::sw_curve_law_data() : base_curve_law_data(0, 0) {}

sw_curve_law_data::sw_curve_law_data(sw_curve const &c, double start, double end)
    : base_curve_law_data(start, end), curve_(c.copy_curve()) {}

sw_curve_law_data::~sw_curve_law_data() { delete curve_; }

// The prototype has no curve: asking it for geometry is LAW_DATA_UNKNOWN.
sw_curve const &sw_curve_law_data::curve() const {
    if (!curve_) law_error(LAW_DATA_UNKNOWN);
    return *curve_;
}

void sw_curve_law_data::print(T4_ostream &out) const {
    out << "SWEDGE";
    if (curve_) {
        out << " degree " << curve_->get_degree() << " control points " << curve_->get_K()
            << " range (" << data_start() << ", " << data_end() << ")";
    }
}

law_data *sw_curve_law_data::deep_copy(pointer_map *) const {
    return curve_ ? new sw_curve_law_data(*curve_, data_start(), data_end())
                  : new sw_curve_law_data();
}

law_data *sw_curve_law_data::set_domain(ZEM::interval const *domains) const {
    if (!domains) return deep_copy();
    return new sw_curve_law_data(curve(), domains->start_pt(), domains->end_pt());
}

void sw_curve_law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(*this));
    if (curve_) curve_->full_size(acc, 1);
}

bool sw_curve_law_data::operator==(law_data const &other) const {
    auto const *o = dynamic_cast<sw_curve_law_data const *>(&other);
    if (!o || !path_law_data::operator==(other)) return false;
    if (!curve_ || !o->curve_) return curve_ == o->curve_;
    sw_curve const &a = *curve_, &b = *o->curve_;
    if (a.get_K() != b.get_K() || a.get_degree() != b.get_degree() ||
        a.get_polynomial() != b.get_polynomial())
        return false;
    for (int i = 0; i < a.get_data_size(); ++i) {
        if (a.get_IGES_DATA()[i] != b.get_IGES_DATA()[i]) return false;
    }
    return true;
}

ZEM::vector sw_curve_law_data::eval(double t, int deriv, int) const {
    ZEM::position p;
    ZEM::vector d1, d2;
    switch (deriv) {
        case 0:
            curve().eval(t, &p);
            return p - ZEM::origin;
        case 1:
            curve().eval(t, nullptr, &d1);
            return d1;
        case 2:
            curve().eval(t, nullptr, nullptr, &d2);
            return d2;
        default:
            law_error(LAW_DATA_CURVE);
    }
}

int sw_curve_law_data::evaluate(double t, ZEM::position &p, ZEM::vector **derivs, int nderivs,
                                int) const {
    int const n = nderivs < 0 ? 0 : (nderivs > 2 ? 2 : nderivs);
    ZEM::vector d[2];
    curve().eval(t, &p, n > 0 ? &d[0] : nullptr, n > 1 ? &d[1] : nullptr);
    for (int i = 0; i < n; ++i) {
        if (derivs && derivs[i]) *derivs[i] = d[i];
    }
    return n;
}

double sw_curve_law_data::curvature(double) const { law_error(NO_SW_EVAL_CURVATURE); }
double sw_curve_law_data::length_param(double start, double length) const {
    return curve().length_param(start, length);
}
double sw_curve_law_data::length(double start, double end) const {
    return curve().length(start, end);
}
double sw_curve_law_data::point_perp(ZEM::position const &p, double guess) const {
    return curve().point_perp(p, guess);
}
double sw_curve_law_data::point_perp(ZEM::position const &p) const {
    return curve().point_perp(p, curve().get_min_t());
}

int sw_curve_law_data::singularities(double **where, int **type, double start, double end) const {
    return sw_curve_breaks(curve(), start, end, where, type);
}

int sw_curve_law_data::discontinuities(double **where, int **order, double start,
                                       double end) const {
    return sw_curve_breaks(curve(), start, end, where, order);
}
