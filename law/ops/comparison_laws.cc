#include "law/ops/comparison_laws.h"

#include <algorithm>

#include "law/lang/law_list.h"

namespace {
law_list less_than_registration(new less_than_law(nullptr, nullptr));
law_list greater_than_registration(new greater_than_law(nullptr, nullptr));
law_list less_equal_registration(new less_than_or_equal_law(nullptr, nullptr));
law_list greater_equal_registration(new greater_than_or_equal_law(nullptr, nullptr));
law_list equal_registration(new equal_law(nullptr, nullptr));
law_list not_equal_registration(new not_equal_law(nullptr, nullptr));
law_list and_registration(new and_law(nullptr, nullptr));
law_list or_registration(new or_law(nullptr, nullptr));

// Truth values come from exact comparisons: a NaN makes every ordered comparison and = false.
template <int Id>
bool holds(double a, double b) {
    if constexpr (Id == law_id::less_than_law)
        return a < b;
    else if constexpr (Id == law_id::greater_than_law)
        return a > b;
    else if constexpr (Id == law_id::less_than_or_equal_law)
        return a <= b;
    else if constexpr (Id == law_id::greater_than_or_equal_law)
        return a >= b;
    else if constexpr (Id == law_id::equal_law)
        return a == b;
    else
        return a != b;
}
}  // namespace

int comparison_law::date() const { return std::max(30100, binary_law::date()); }

template <int Id>
void compare_law<Id>::evaluate(double const *x, double *y) const {
    law const *a = this->fleft(), *b = this->fright();
    if (!a || !b) law_error(LAW_EVAL);
    double const va = this->left_value(x);
    if constexpr (Id == law_id::and_law) {
        // B is not evaluated when A already decides: its errors cannot occur then.
        if (va == 0) {
            y[0] = 0;
            return;
        }
        double const vb = a == b ? va : this->right_value(x);
        y[0] = vb != 0 ? 1 : 0;
    } else if constexpr (Id == law_id::or_law) {
        if (va != 0) {
            y[0] = 1;
            return;
        }
        y[0] = a != b && this->right_value(x) != 0 ? 1 : 0;
    } else {
        y[0] = holds<Id>(va, this->right_value(x)) ? 1 : 0;
    }
}

template class compare_law<law_id::less_than_law>;
template class compare_law<law_id::greater_than_law>;
template class compare_law<law_id::less_than_or_equal_law>;
template class compare_law<law_id::greater_than_or_equal_law>;
template class compare_law<law_id::equal_law>;
template class compare_law<law_id::not_equal_law>;
template class compare_law<law_id::and_law>;
template class compare_law<law_id::or_law>;
