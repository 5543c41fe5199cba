#include <law/numeric/nintegrate.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <law/core/eval_buffer.h>
#include <law/core/law.h>
#include <law/core/law_sample.h>
#include <law/numeric/search_checks.h>

namespace {
constexpr double piece_shrink = 1e-14;

// The first values of f along input `which` of a point, a batch of points at a time. The point's
// coordinate `which` is left at the last value sampled, as sampling one point at a time leaves it.
class line_samples {
  public:
    line_samples(law const *f, double *x, int which) : f_(f), x_(x), which_(which) {}
    double at(double t) {
        double y = 0;
        values_along(f_, x_, which_, &t, 1, &y);
        leave(t);
        return y;
    }
    // The sum, in order, of f at a + (i - 0.5) step for i = 1 ... count.
    double midpoint_sum(double a, double step, long count) {
        double sum = 0.0;
        for (long first = 1; first <= count; first += batch) {
            int const m = static_cast<int>(std::min<long>(batch, count - first + 1));
            ts_.resize(static_cast<std::size_t>(m));
            ys_.resize(static_cast<std::size_t>(m));
            for (int i = 0; i < m; ++i)
                ts_[static_cast<std::size_t>(i)] = a + (first + i - 0.5) * step;
            values_along(f_, x_, which_, ts_.data(), m, ys_.data());
            leave(ts_.back());
            for (double y : ys_) sum += y;
        }
        return sum;
    }

  private:
    static constexpr long batch = 4096;
    void leave(double t) {
        if (x_) x_[which_] = t;
    }
    law const *f_;
    double *x_;
    int which_;
    std::vector<double> ts_, ys_;
};

// Romberg's table, two rows at a time: row[j] for j = 1 ... level.
int romberg(line_samples &f, double a, double b, double *result, double tol, int min_level,
            int max_level) {
    min_level = std::min(min_level, romberg_level_cap - 1);
    max_level = std::min(max_level, romberg_level_cap);
    int const width = std::max(max_level, min_level + 1) + 2;
    eval_buffer row_a(width), row_b(width);
    double *prev = row_a, *cur = row_b;
    double step = b - a;
    double const fa = f.at(a);
    prev[1] = (fa + f.at(b)) * step / 2;
    long midpoints = 1;
    int k = 2;
    for (;;) {
        double const best = prev[k - 1];
        double const sum = f.midpoint_sum(a, step, midpoints);
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
        // A value that is not a number never meets the tolerance.
        bool const met = std::fabs(best - prev[k - 1]) <= tol;
        bool const refine = !met && k < max_level;
        if (!refine && k > min_level) break;
    }
    *result = prev[k - 1];
    return k >= max_level ? 0 : k;
}
}  // namespace

int Nintegrate(law const *f, double a, double b, double *result, double tol, int min_level,
               int max_level) {
    check_scalar_law(f, 1);
    check_finite_ends(a, b);
    check_given(result, "the place for the result");
    check_tolerance(tol);
    line_samples samples(f, nullptr, 0);
    return romberg(samples, a, b, result, tol, min_level, max_level);
}

namespace {
void check_line(law const *f, double a, double b, int which, double const *x, double *result,
                double tol) {
    check_given(f, "the law");
    if (which < 0) law_error(LAW_DIM, "input " + std::to_string(which));
    check_given(x, "the point");
    check_finite_ends(a, b);
    check_given(result, "the place for the result");
    check_tolerance(tol);
}
}  // namespace

int Nintegrate_wrt(law const *f, double a, double b, int which, double *x, double *result,
                   double tol, int min_level, int max_level) {
    check_line(f, a, b, which, x, result, tol);
    line_samples samples(f, x, which);
    return romberg(samples, a, b, result, tol, min_level, max_level);
}

int Nintegrate_wrt_and_split(law const *f, double a, double b, int which, double *x, double *result,
                             int nsplit, double const *splits, double tol, int min_level,
                             int max_level) {
    check_line(f, a, b, which, x, result, tol);
    if (nsplit > 0) check_given(splits, "the array of split points");
    for (int i = 0; i < nsplit; ++i) check_finite_ends(a, splits[i]);
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
