#include <law/numeric/polynomial_law.h>

#include <law/numeric/search_checks.h>
#include <law/ops/law_builders.h>

law *make_polynomial_law(double *coefficients, int degree) {
    check_given(coefficients, "the array of coefficients");
    law_ptr sum = build::constant(coefficients[0]);
    if (degree <= 0) return sum.release();
    law_ptr const x = make_law<identity_law>(0, 'X');
    for (int k = 1; k <= degree; ++k) {
        law_ptr const power = k == 1 ? x : build::power(x, build::constant(k));
        sum = build::plus(sum, build::times(build::constant(coefficients[k]), power));
    }
    return sum.release();
}
