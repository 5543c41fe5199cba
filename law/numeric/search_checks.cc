#include <law/numeric/search_checks.h>

#include <cmath>

#include <law/core/law.h>

void check_scalar_law(law const *f, int max_inputs) {
    if (!f || f->return_dim() != 1 || f->take_dim() > max_inputs) law_error(LAW_DIM);
}

void check_finite_ends(double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b)) law_error(LAW_BAD_BOUNDS);
}
