#include <law/spline/sample_sw_surfaces.h>

#include <random>
#include <vector>

#include <law/core/lawutil_errors.h>
#include <law/spline/sw_surface.h>

namespace {

std::vector<double> uniform_knots(int K, int degree) {
    if (degree < 1 || K <= degree) law_error(SW_BAD_ORDER);
    std::vector<double> k(static_cast<std::size_t>(degree + 1), 0.0);
    for (int i = 1; i < K - degree; ++i) k.push_back(i);
    k.insert(k.end(), static_cast<std::size_t>(degree + 1), K - degree);
    return k;
}

double greville(std::vector<double> const &k, int i, int degree) {
    double sum = 0;
    for (int m = i + 1; m <= i + degree; ++m) sum += k[m];
    return sum / degree;
}

template <class Point>
sw_surface *surface_from(int K1, int K2, int degree1, int degree2, std::vector<double> *weights,
                         Point point) {
    std::vector<double> k1 = uniform_knots(K1, degree1), k2 = uniform_knots(K2, degree2);
    std::vector<ZEM::position> points;
    for (int j = 0; j < K2; ++j)
        for (int i = 0; i < K1; ++i) points.push_back(point(k1, k2, i, j));
    return new sw_surface(K1, K2, degree1, degree2, 0, 0, weights ? 0 : 1, 0, 0, k1.data(),
                          k2.data(), weights ? weights->data() : nullptr, points.data(), k1.front(),
                          k1.back(), k2.front(), k2.back());
}

}  // namespace

sw_surface *make_identity_sw_surface(int K1, int K2, int degree1, int degree2) {
    return surface_from(
        K1, K2, degree1, degree2, nullptr,
        [&](std::vector<double> const &k1, std::vector<double> const &k2, int i, int j) {
            return ZEM::position(greville(k1, i, degree1), greville(k2, j, degree2), 0);
        });
}

sw_surface *make_random_sw_surface(int K1, int K2, int degree1, int degree2, int rational,
                                   unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> c(-1, 1), w(0.5, 2);
    std::vector<double> weights;
    for (int k = 0; k < K1 * K2; ++k) weights.push_back(w(rng));
    return surface_from(K1, K2, degree1, degree2, rational ? &weights : nullptr,
                        [&](std::vector<double> const &, std::vector<double> const &, int, int) {
                            return ZEM::position(c(rng), c(rng), c(rng));
                        });
}
