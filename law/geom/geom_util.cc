#include "law/geom/geom_util.h"

#include "law/core/eval_buffer.h"

bool zero_constant(law const *l) {
    if (!l || l->take_dim() != 0) return false;
    int const n = l->return_dim();
    eval_buffer y(n);
    l->evaluate(nullptr, y);
    for (int i = 0; i < n; ++i)
        if (y[i] != 0.0) return false;
    return true;
}
