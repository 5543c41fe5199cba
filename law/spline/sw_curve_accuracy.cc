#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include <law/spline/curve_samples.h>
#include <law/core/law.h>
#include <law/spline/sw_curve.h>
#include <law/spline/sw_curve_accuracy.h>

double sw_curve_accuracy(law *f, sw_curve *c) {
    if (!f || f->take_dim() != 1 || f->return_dim() != 3 || !c) law_error(LAW_DIM);
    int const n = 2 * c->get_K() + 2;
    double const a = c->get_min_t(), b = c->get_max_t();
    std::vector<double> ts;
    for (int i = 0; i < n; ++i) ts.push_back(i == n - 1 ? b : a + (b - a) * i / (n - 1));
    curve_samples const law_at(f, std::move(ts));
    double worst = 0;
    for (int i = 0; i < n; ++i) {
        ZEM::position p;
        c->eval(law_at.parameter(i), &p);
        double const d = (p - law_at.at(i)).len_sq();
        // NaN counts as the worst distance.
        if (!(d <= worst)) worst = std::isnan(d) ? INFINITY : d;
    }
    return std::sqrt(worst);
}

sw_curve *make_identity_sw_curve(int K, int degree) {
    if (degree < 0 || K < degree + 1) law_error(SW_BAD_ORDER);
    std::vector<double> knots;
    for (int i = 0; i <= degree; ++i) knots.push_back(0);
    for (int i = 1; i <= K - degree - 1; ++i) knots.push_back(i);
    for (int i = 0; i <= degree; ++i) knots.push_back(K - degree);
    std::vector<double> points;
    for (int i = 0; i < K; ++i) {
        double sum = 0;
        for (int j = i + 1; j <= i + degree; ++j) sum += knots[j];
        points.push_back(degree > 0 ? sum / degree : knots[i]);
        points.push_back(0);
        points.push_back(0);
    }
    return new sw_curve(K, degree, 1, 0, 1, 0, knots.data(), nullptr, points.data(), knots[degree],
                        knots[K], nullptr);
}
