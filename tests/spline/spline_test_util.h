#pragma once
// An independent tensor-product B-spline evaluator for the tests: Cox-de Boor basis functions
// summed over the whole net, with the weights of a rational surface.
#include <algorithm>
#include <random>
#include <vector>

#include <law/base/vector.h>

struct reference_surface {
    int K1, K2, degree1, degree2;
    std::vector<double> knots1, knots2, weights;
    std::vector<ZEM::position> points;  // column i, row j at K1*j + i

    static double basis(std::vector<double> const &k, int i, int p, double x, bool last) {
        if (p == 0) {
            if (k[i] <= x && x < k[i + 1]) return 1;
            // The closed end of the last non-empty span.
            return last && x == k[i + 1] && k[i] < k[i + 1] && x == k.back() ? 1 : 0;
        }
        double out = 0;
        if (k[i + p] > k[i]) out += (x - k[i]) / (k[i + p] - k[i]) * basis(k, i, p - 1, x, last);
        if (k[i + p + 1] > k[i + 1])
            out += (k[i + p + 1] - x) / (k[i + p + 1] - k[i + 1]) * basis(k, i + 1, p - 1, x, last);
        return out;
    }
    ZEM::position eval(double s, double t) const {
        double sum[4] = {0, 0, 0, 0};
        for (int j = 0; j < K2; ++j) {
            double const bt = basis(knots2, j, degree2, t, true);
            if (bt == 0) continue;
            for (int i = 0; i < K1; ++i) {
                double const b = basis(knots1, i, degree1, s, true) * bt * weights[K1 * j + i];
                for (int c = 0; c < 3; ++c) sum[c] += b * points[K1 * j + i][c];
                sum[3] += b;
            }
        }
        return {sum[0] / sum[3], sum[1] / sum[3], sum[2] / sum[3]};
    }
};

// Clamped knots over [0, 1]: degree + 1 ends each side and sorted random interior knots, one of
// them doubled when there is room.
inline std::vector<double> random_knots(std::mt19937 &rng, int K, int degree) {
    std::uniform_real_distribution<double> u(0.05, 0.95);
    std::vector<double> inner(static_cast<std::size_t>(K - degree - 1));
    for (double &k : inner) k = u(rng);
    if (inner.size() >= 2) inner[1] = inner[0];
    std::sort(inner.begin(), inner.end());
    std::vector<double> k(static_cast<std::size_t>(degree + 1), 0.0);
    k.insert(k.end(), inner.begin(), inner.end());
    k.insert(k.end(), static_cast<std::size_t>(degree + 1), 1.0);
    return k;
}

inline reference_surface random_reference(std::mt19937 &rng, int degree1, int degree2, int K1,
                                          int K2, bool rational) {
    std::uniform_real_distribution<double> c(-2, 2), w(0.5, 2);
    reference_surface r{
        K1, K2, degree1, degree2, random_knots(rng, K1, degree1), random_knots(rng, K2, degree2),
        {}, {}};
    for (int k = 0; k < K1 * K2; ++k) {
        r.points.push_back({c(rng), c(rng), c(rng)});
        r.weights.push_back(rational ? w(rng) : 1.0);
    }
    return r;
}
