#include <law/data/curve_law.h>

#include <cmath>
#include <memory>

#include <law/base/geometry.h>
#include <law/core/lawutil_errors.h>
#include <law/data/path_law_data.h>
#include <law/lang/law_list.h>

namespace {
law_list curve_registration(new curve_law(nullptr));
law_list rail_registration(new minrot_rail_law(nullptr));

constexpr int shape_samples = 7;
}  // namespace

int curve_law::evaluate(double t, ZEM::position &p, ZEM::vector **derivs, int nderivs,
                        int side) const {
    return static_cast<base_curve_law_data const *>(required_data())
        ->evaluate(t, p, derivs, nderivs, side);
}

ZEM::position *curve_law::get_points_on_curve(int n) const {
    if (n < 2) law_error(LAW_DIM);
    ZEM::interval range;
    term_domain(0, range);
    if (!std::isfinite(range.start_pt()) || !std::isfinite(range.end_pt()))
        law_error(LAW_BAD_DOMAN);
    double const lo = range.start_pt(), step = (range.end_pt() - lo) / (n - 1);
    std::unique_ptr<ZEM::position[]> points(new ZEM::position[n]);
    for (int i = 0; i < n; ++i) {
        double const s = i == 0 || i == n - 1 ? i : i + std::cos(i) / (10.0 * n);
        points[i] = evaluateR_P(lo + s * step);
    }
    return points.release();
}

// The fits answer for any points that are not degenerate; the samples must also lie on what
// was fitted.
bool curve_law::is_planar(ZEM::position &p, ZEM::unit_vector &n) const {
    std::unique_ptr<ZEM::position[]> const points(get_points_on_curve(shape_samples));
    return get_plane_from_points(shape_samples, points.get(), p, n);
}

bool curve_law::is_linear(ZEM::position &p, ZEM::unit_vector &d) const {
    std::unique_ptr<ZEM::position[]> const points(get_points_on_curve(shape_samples));
    return get_line_from_points(shape_samples, points.get(), p, d);
}

law *curve_law::set_domain(ZEM::interval const *domains, int) const {
    law_data_ptr const restricted = adopt(required_data()->set_domain(domains));
    return make_one(restricted.get());
}
