#include <law/core/law_sample.h>

#include <algorithm>

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
