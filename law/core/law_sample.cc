#include <law/core/law_sample.h>

#include <algorithm>
#include <vector>

#include <law/core/eval_buffer.h>
#include <law/core/law.h>

double value_at(law const *l, double t) {
    int const n = std::max(l->take_dim(), 1);
    if (n == 1) return first_value(l, &t);
    eval_buffer x(n);
    std::fill(x.data(), x.data() + n, 0.0);
    x[0] = t;
    return first_value(l, x);
}

void values_along(law const *l, double const *x, int which, double const *ts, int n, double *ys,
                  int *errors) {
    int const in = l->take_dim(), out = l->return_dim();
    if (out <= 0) {  // no first output: 0, as first_value gives
        std::fill(ys, ys + n, 0.0);
        if (errors) std::fill(errors, errors + n, 0);
        return;
    }
    std::vector<double> points(static_cast<std::size_t>(in) * static_cast<std::size_t>(n), 0.0);
    for (int k = 0; k < n; ++k) {
        double *const p = points.data() + static_cast<std::ptrdiff_t>(k) * in;
        if (x) std::copy(x, x + in, p);
        if (which >= 0 && which < in) p[which] = ts[k];
    }
    std::vector<double> values(static_cast<std::size_t>(out) * static_cast<std::size_t>(n));
    l->evaluate_many(points.data(), values.data(), n, errors);
    for (int k = 0; k < n; ++k) ys[k] = values[static_cast<std::size_t>(k) * out];
}
