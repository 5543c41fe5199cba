#include <law/lang/list_utils.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include <law/base/memory.h>
#include <law/base/tolerance.h>
#include <law/core/binary_law.h>
#include <law/core/law_data.h>
#include <law/lang/law_list.h>

law_data *get_law_data(char const *name) {
    if (!name) return nullptr;
    law_data *found = nullptr;
    for (law_data_list const *node = law_data_list::head(); node; node = node->next()) {
        law_data *p = node->prototype();
        char const *symbol = p ? p->symbol(law_symbol_default) : nullptr;
        if (symbol && std::strcmp(symbol, name) == 0) found = p;  // the last met is the earliest
    }
    return found;
}

law **get_asso_list(binary_law const *b, int *n) {
    if (n) *n = 0;
    if (!b || !b->associative()) return nullptr;
    std::vector<law *> const leaves = binary_law::chain_operands(b);
    law **out = VORN_ARRAY(law *, leaves.size());
    std::copy(leaves.begin(), leaves.end(), out);
    if (n) *n = static_cast<int>(leaves.size());
    return out;
}

law *make_list_law(law **list, int n, binary_law const *op) {
    if (!list || n < 1) return nullptr;
    law_ptr chain = share(list[0]);
    for (int i = 1; i < n && op; ++i) chain = adopt(op->make_one(chain.get(), list[i]));
    return chain.release();
}

int sort_singularities(double **values, int **orders, int n, double lo, double hi) {
    if (n <= 0 || !values || !*values) return 0;
    double const *v = *values;
    int const *o = orders ? *orders : nullptr;
    // NaN sorts last and never survives.
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [v](int a, int b) {
        return std::isnan(v[b]) ? !std::isnan(v[a]) : v[a] < v[b];
    });
    double const tol = get_resabs();
    std::vector<int> kept;
    for (std::size_t k = 0; k < order.size(); ++k) {
        double const x = v[order[k]];
        bool const inside = lo <= x + tol && x - tol <= hi;
        bool const apart = k == 0 || !(x - v[order[k - 1]] < tol);
        if (inside && apart) kept.push_back(order[k]);
    }
    auto const m = static_cast<int>(kept.size());
    double *new_values = m > 0 ? VORN_ARRAY(double, m) : nullptr;
    int *new_orders = m > 0 && o ? VORN_ARRAY(int, m) : nullptr;
    for (int k = 0; k < m; ++k) {
        new_values[k] = v[kept[k]];
        if (new_orders) new_orders[k] = o[kept[k]];
    }
    if (m == n) {  // nothing dropped: sorted in place
        std::copy(new_values, new_values + m, *values);
        if (new_orders) std::copy(new_orders, new_orders + m, *orders);
        vorn_discard(new_values);
        vorn_discard(new_orders);
        return m;
    }
    vorn_discard(*values);
    *values = new_values;
    if (orders) {
        vorn_discard(*orders);
        *orders = new_orders;
    }
    return m;
}
