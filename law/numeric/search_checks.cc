#include <law/numeric/search_checks.h>

#include <cmath>

#include <law/core/law.h>

void check_scalar_law(law const *f, int max_inputs) {
    if (!f || f->return_dim() != 1 || f->take_dim() > max_inputs) law_error(LAW_DIM);
}

void check_finite_ends(double a, double b) {
    // An interval too long for a double to hold its length would sample at infinities.
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(b - a)) law_error(LAW_BAD_BOUNDS);
}
