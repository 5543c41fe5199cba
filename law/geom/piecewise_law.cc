#include "law/geom/piecewise_law.h"

#include <algorithm>

#include "law/geom/geom_util.h"
#include "law/lang/law_list.h"

namespace {
law_list reg(new piecewise_law(nullptr, 0));
}  // namespace

law const *piecewise_law::chosen(double const *x) const {
    law *const *subs = fsub();
    int const n = fsub_num();
    for (int i = 0; i + 1 < n; i += 2)
        if (first_value(subs[i], x) != 0.0) return subs[i + 1];
    return n > 0 ? subs[n - 1] : nullptr;
}

void piecewise_law::evaluate(double const *x, double *answer) const {
    int const width = return_dim();
    if (law const *value = chosen(x)) return evaluate_fitted(value, x, answer, width);
    std::fill(answer, answer + width, 0.0);
}

int piecewise_law::return_size() const {
    int const n = fsub_num();
    int const values = widest_return(fsub(), 1, 2, n);
    return n % 2 ? std::max(values, fsub()[n - 1] ? fsub()[n - 1]->return_dim() : 0) : values;
}

law *piecewise_law::deriv(int which) const {
    law_array subs(fsub_num());
    int const n = fsub_num();
    for (int i = 0; i < n; ++i) {
        bool const condition = i % 2 == 0 && i + 1 < n;
        if (condition)
            subs.push_shared(fsub()[i]);
        else
            subs.push(adopt(fsub()[i]->derivative(which)));
    }
    return subs.make<piecewise_law>().release();
}
