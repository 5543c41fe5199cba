#include <law/numeric/nintegrate.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include <law/core/eval_buffer.h>
#include <law/core/law.h>

namespace {
constexpr double piece_shrink = 1e-14;

// Romberg's table, two rows at a time: row[j] for j = 1 ... level.
template <class Sample>
int romberg(Sample &&f, double a, double b, double *result, double tol, int min_level,
            int max_level) {
    min_level = std::min(min_level, romberg_level_cap - 1);
    max_level = std::min(max_level, romberg_level_cap);
    int const width = std::max(max_level, min_level + 1) + 2;
    eval_buffer row_a(width), row_b(width);
    double *prev = row_a, *cur = row_b;
    double step = b - a;
    prev[1] = (f(a) + f(b)) * step / 2;
    long midpoints = 1;
    int k = 2;
    for (;;) {
        double const best = prev[k - 1];
        double sum = 0.0;
        for (long i = 1; i <= midpoints; ++i) sum += f(a + (i - 0.5) * step);
        cur[1] = (prev[1] + step * sum) / 2;
        midpoints *= 2;
        double power = 1.0;
        for (int j = 2; j <= k; ++j) {
            power *= 4.0;
            cur[j] = (power * cur[j - 1] - prev[j - 1]) / (power - 1);
        }
        step /= 2;
        std::swap(prev, cur);
        ++k;
        bool const refine = std::fabs(best - prev[k - 1]) > tol && k < max_level;
        if (!refine && k > min_level) break;
    }
    *result = prev[k - 1];
    return k >= max_level ? 0 : k;
}
}  // namespace

int Nintegrate(law const *f, double a, double b, double *result, double tol, int min_level,
               int max_level) {
    int const n = std::max(f->take_dim(), 1);
    eval_buffer point(n);
    std::fill(point.data(), point.data() + n, 0.0);
    auto sample = [&](double t) {
        point[0] = t;
        return first_value(f, point);
    };
    return romberg(sample, a, b, result, tol, min_level, max_level);
}

int Nintegrate_wrt(law const *f, double a, double b, int which, double *x, double *result,
                   double tol, int min_level, int max_level) {
    if (which < 0) law_error(LAW_DIM);
    auto sample = [&](double t) {
        x[which] = t;
        return first_value(f, x);
    };
    return romberg(sample, a, b, result, tol, min_level, max_level);
}

int Nintegrate_wrt_and_split(law const *f, double a, double b, int which, double *x, double *result,
                             int nsplit, double const *splits, double tol, int min_level,
                             int max_level) {
    double total = 0.0;
    int levels = 0;
    int const pieces = std::max(nsplit, 0) + 1;
    for (int i = 0; i < pieces; ++i) {
        double const from = i == 0 ? a : splits[i - 1];
        double const to = i == pieces - 1 ? b : splits[i];
        double piece = 0.0;
        int const used = Nintegrate_wrt(f, from + piece_shrink, to - piece_shrink, which, x, &piece,
                                        tol, min_level, max_level);
        total += piece;
        levels = std::max(levels, used);
    }
    *result = total;
    return levels;
}
