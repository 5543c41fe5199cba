#include <law/geom/geom_util.h>

#include <algorithm>

#include <law/core/eval_buffer.h>
#include <law/core/multiple_law.h>
#include <law/numeric/derivative_law.h>

bool zero_constant(law const *l) {
    if (!l || l->take_dim() != 0) return false;
    int const n = l->return_dim();
    eval_buffer y(n);
    // A law of no input may still read its first (a numerical derivative's side test).
    double const x[1] = {0.0};
    l->evaluate(x, y);
    for (int i = 0; i < n; ++i)
        if (y[i] != 0.0) return false;
    return true;
}

void evaluate_fitted(law const *l, double const *x, double *answer, int n) {
    int const m = l->return_dim();
    if (m == n) return l->evaluate(x, answer);
    eval_buffer y(m);
    l->evaluate(x, y);
    std::copy(y.data(), y.data() + std::min(m, n), answer);
    std::fill(answer + std::min(m, n), answer + n, 0.0);
}

int widest_return(law *const *subs, int first, int stride, int n) {
    int w = 0;
    for (int i = first; i < n; i += stride)
        if (subs[i]) w = std::max(w, subs[i]->return_dim());
    return w;
}

law *numerical_derivative(multiple_law const *l, int which) {
    law_ptr const fresh = adopt(l->make_one(l->fsub(), l->fsub_num()));
    if (!fresh) law_error(LAW_DERIV);
    return new derivative_law(fresh.get(), which, 1);
}
